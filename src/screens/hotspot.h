// The on-screen button under the pointer, found once per pass of every loop.
#pragma once

#include <allegro5/allegro.h>

enum HotspotCode : int {
    HOTSPOT_NONE = 0,
    HOTSPOT_MENU_LEVELS = 61,
    HOTSPOT_MENU_RESUME = 62,
    HOTSPOT_MENU_NEW_GAME = 63,
    HOTSPOT_MENU_QUIT = 64,
    HOTSPOT_UNLOCKED_LEVEL = 99,
    HOTSPOT_INFO = 101,
    HOTSPOT_RESTART = 102,
    HOTSPOT_MENU = 103,
};

extern ALLEGRO_MOUSE_STATE mouse_state;
extern int prev_mouse_x;
extern int prev_mouse_y;
extern int prev_mouse_buttons;
extern int hotspot_code;

// The code of the button at a display position (0 for none).
int hotspot_at(int x, int y);
void update_hotspot();
// The button under the saved pointer with the primary button alone held.
bool hotspot_clicked(int code);
