#include "core/status_bar.h"

void draw_status_bar() {}
void cycle_speed() {}
void toggle_sound() {}
void draw_sound_icon() {}
void toggle_display_mode() {}
