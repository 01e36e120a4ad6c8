#include "screens/hotspot.h"

#include "assets/assets.h"
#include "render/board_renderer.h"

ALLEGRO_MOUSE_STATE mouse_state;
int prev_mouse_x = 0;
int prev_mouse_y = 0;
int prev_mouse_buttons = 0;
int hotspot_code = HOTSPOT_NONE;

static bool inside(int x, int y, int left, int right, int top, int bottom) {
    return x >= left && x <= right && y >= top && y <= bottom;
}

int hotspot_at(int x, int y) {
    if (x < 0 || y < 0 || x >= SCREEN_WIDTH || y >= SCREEN_HEIGHT) return HOTSPOT_NONE;
    int code = HOTSPOT_NONE;
    int bar_top = board_offset_y + 1, bar_bottom = board_offset_y + 17;
    if (inside(x, y, 744, 795, bar_top, bar_bottom)) code = HOTSPOT_INFO;
    if (inside(x, y, 818, 896, bar_top, bar_bottom)) code = HOTSPOT_RESTART;
    if (inside(x, y, 917, 975, bar_top, bar_bottom)) code = HOTSPOT_MENU;
    for (int row = 0; row < 5; row++)
        for (int column = 0; column < 10; column++)
            if (inside(x, y, 501 + 45 * column, 539 + 45 * column, 181 + 30 * row, 206 + 30 * row))
                code = 10 * row + column + 1;
    if (inside(x, y, 636, 761, 438, 460)) code = HOTSPOT_UNLOCKED_LEVEL;
    // The menu rows come last: where they overlap the grid's last row, they win.
    for (int item = 0; item < 4; item++)
        if (inside(x, y, 386, 644, 301 + 35 * item, 321 + 35 * item)) code = HOTSPOT_MENU_LEVELS + item;
    return code;
}

void update_hotspot() {
    // The test looks at the previous poll, so the hit and the click always agree.
    prev_mouse_x = mouse_state.x;
    prev_mouse_y = mouse_state.y;
    prev_mouse_buttons = mouse_state.buttons;
    if (al_is_mouse_installed()) al_get_mouse_state(&mouse_state);
    hotspot_code = hotspot_at(prev_mouse_x, prev_mouse_y);
}

bool hotspot_clicked(int code) {
    return hotspot_code == code && prev_mouse_buttons == 1;
}
