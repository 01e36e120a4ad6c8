// The top bar's texts, buttons and sound icon, and the three setting keys.
#pragma once

void draw_status_bar();
void cycle_speed();
void toggle_sound();
void draw_sound_icon();
void toggle_display_mode();
