#include "screens/level_select.h"

#include <allegro5/allegro.h>
#include <allegro5/allegro_primitives.h>

#include "assets/assets.h"
#include "assets/ui_texts.h"
#include "core/input.h"
#include "level/board.h"
#include "level/progress.h"
#include "render/board_renderer.h"
#include "render/fades.h"
#include "screens/hotspot.h"
#include "screens/result.h"

constexpr int SLOT_HEADING = 1;
constexpr int SLOT_UNLOCKED_BUTTON = 2;
constexpr double SELECTION_REST = 0.001;

// The preview shows the board's 1050 x 750 window at 400 x 300; the spare
// buffer is only 1024 wide, and the strip beyond its edge is left black.
constexpr float PREVIEW_SCALE = 400.0f / 1050.0f;

static ALLEGRO_COLOR light() { return al_map_rgb(180, 180, 180); }
static ALLEGRO_COLOR dark() { return al_map_rgb(60, 60, 60); }

LevelButtonState level_button_state(int level) {
    if (level < unlocked_level) return LEVEL_BUTTON_SOLVED;
    if (level == unlocked_level) return LEVEL_BUTTON_UNLOCKED;
    if (level < level_count) return LEVEL_BUTTON_LOCKED;
    return LEVEL_BUTTON_ABSENT;
}

int level_button_x(int level) { return 500 + 45 * ((level - 1) % LEVEL_GRID_COLUMNS); }
int level_button_y(int level) { return 180 + 30 * ((level - 1) / LEVEL_GRID_COLUMNS); }

static void draw_level_button(int level) {
    float x = level_button_x(level), y = level_button_y(level);
    al_draw_bitmap_region(game_assets.tile_atlas, 310, 140, 40, 27, x, y, 0);
    switch (level_button_state(level)) {
        case LEVEL_BUTTON_SOLVED: al_draw_bitmap_region(game_assets.tile_atlas, 350, 140, 40, 27, x, y, 0); break;
        case LEVEL_BUTTON_UNLOCKED: al_draw_bitmap_region(game_assets.tile_atlas, 390, 140, 40, 27, x, y, 0); break;
        case LEVEL_BUTTON_LOCKED: al_draw_bitmap_region(game_assets.tile_atlas, 430, 140, 40, 27, x, y, 0); break;
        case LEVEL_BUTTON_ABSENT: break;
    }
    // The number is light only for a level that the file holds.
    al_draw_textf(game_assets.font_18, dark(), x + 20, y + 6, ALLEGRO_ALIGN_CENTRE, " %d ", level);
    if (level < level_count) al_draw_textf(game_assets.font_18, light(), x + 20, y + 6, ALLEGRO_ALIGN_CENTRE, " %d ", level);
}

// The level on the Board, drawn into the spare buffer for the preview.
static void draw_preview_board() {
    al_set_target_bitmap(game_assets.spare_buffer);
    // A level without a background picture must not show the last one's.
    al_clear_to_color(al_map_rgb(0, 0, 0));
    draw_board();
    target_back_buffer();
}

static void draw_selection_screen() {
    al_clear_to_color(al_map_rgb(0, 0, 0));
    for (int level = 1; level <= LEVEL_BUTTONS; level++) draw_level_button(level);
    draw_slot(game_assets.font_18, light(), 720, 150, ALLEGRO_ALIGN_CENTRE, SLOT_HEADING);
    draw_slot(game_assets.font_18, light(), 720, 442, ALLEGRO_ALIGN_CENTRE, SLOT_UNLOCKED_BUTTON);
    al_draw_rectangle(655, 438, 785, 463, dark(), 2);
}

bool level_hoverable(int code) {
    // Only the grid's codes name levels; the menu rows and the other buttons
    // that overlap it never do, however many levels are unlocked.
    return code >= 1 && code <= LEVEL_BUTTONS && code <= unlocked_level;
}

void select_level() {
    load_level();
    draw_preview_board();

    for (;;) {
        // The snapshot of the previous pass (the menu's, on the first).
        if (key_held(ALLEGRO_KEY_ESCAPE)) return;
        read_keyboard();
        update_hotspot();

        draw_selection_screen();

        if (hotspot_code >= 1 && hotspot_code <= 98 && !level_hoverable(hotspot_code)) {
            hotspot_code = HOTSPOT_NONE;
        } else if (level_hoverable(hotspot_code) && hotspot_code != current_level) {
            float x = level_button_x(hotspot_code), y = level_button_y(hotspot_code);
            al_draw_rectangle(x - 1, y - 1, x + 41, y + 27, light(), 1);
            current_level = hotspot_code;
            load_level();
            draw_preview_board();
        }
        if (hotspot_code == HOTSPOT_UNLOCKED_LEVEL) al_draw_rectangle(655, 438, 785, 463, light(), 1);

        al_draw_scaled_bitmap(game_assets.spare_buffer, 0, 0, SCREEN_WIDTH, 750, 80, 180,
                              SCREEN_WIDTH * PREVIEW_SCALE, 300, 0);

        al_flip_display();
        al_rest(SELECTION_REST);

        if (level_hoverable(hotspot_code) && prev_mouse_buttons == 1) {
            current_level = hotspot_code;
            level_picked = 1;
            build_up_level();
            return;
        }
        if (hotspot_code == HOTSPOT_UNLOCKED_LEVEL && prev_mouse_buttons == 1) {
            current_level = unlocked_level;
            load_level();
            fade_in_board();
            return;
        }
    }
}
