#pragma once

void draw_title();
