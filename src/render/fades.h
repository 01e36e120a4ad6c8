// Blocking transitions between screens, all shown through the screen buffer.
#pragma once

void fade_out();
void fade_in_screen_buffer(float fade_step_delay);
void fade_in_board();
void build_up_level();
