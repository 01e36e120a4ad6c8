// The start sequence, the frame loop of the play screen and the quit sequence.
#pragma once

extern int quit_requested;
extern bool undo_pause;

void run_start_sequence();
// One frame; returns false once the game is to end.
bool run_frame();
void run_quit_sequence();
