// The one keyboard snapshot every loop reads into, once per pass.
#pragma once

#include <allegro5/allegro.h>

extern ALLEGRO_KEYBOARD_STATE keyboard_snapshot;

// Reads the keyboard into the snapshot; an empty snapshot without a keyboard.
void read_keyboard();
bool key_held(int keycode);
// For tests and tools that drive the rules without a keyboard.
void set_key_held(int keycode, bool held);
void release_all_keys();
