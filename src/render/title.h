// The title shown at every start, drawn into the screen buffer for the fade-in.
#pragma once

constexpr const char* CREDIT_LINE = "Tarkavo Games, 2026";

void draw_title();
