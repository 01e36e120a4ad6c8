// The result screen after a solved level, and the finale after the last one.
#pragma once

constexpr int LEVEL_PUSHES_SIZE = 56;

extern int level_picked;                     // the level was started from the level selection
extern int level_pushes[LEVEL_PUSHES_SIZE];  // pushes per level number, this run only

// The progress arithmetic of a win.
void advance_progress_after_win();
// Slot 10 for counts ending in 2, 3 or 4, else slot 9.
int push_line_slot(int pushes);
void show_result();
