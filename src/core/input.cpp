#include "core/input.h"

#include <cstring>

ALLEGRO_KEYBOARD_STATE keyboard_snapshot;

void read_keyboard() {
    if (al_is_keyboard_installed()) al_get_keyboard_state(&keyboard_snapshot);
    else release_all_keys();
}

bool key_held(int keycode) {
    return al_key_down(&keyboard_snapshot, keycode);
}

void set_key_held(int keycode, bool held) {
    // The state record keeps one bit per key code, 32 to a word.
    unsigned int bit = 1u << (keycode % 32);
    unsigned int& word = keyboard_snapshot.__key_down__internal__[keycode / 32];
    word = held ? (word | bit) : (word & ~bit);
}

void release_all_keys() {
    memset(&keyboard_snapshot, 0, sizeof keyboard_snapshot);
}
