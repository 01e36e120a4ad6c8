// The closing screen after the last level: the wall wipe, the growing
// picture, the list of pushes per level; the progress starts over at level 1.
#pragma once

constexpr int FINALE_LISTED_LEVELS = 40;

// Phase 3 alone: the closing texts and the list, onto the current target.
void draw_finale_texts();

// Starts from the captured frame in the screen buffer; leaves the closing
// picture in the spare buffer and the screen buffer, shown on the display.
void show_finale();
