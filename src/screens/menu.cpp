#include "screens/menu.h"

#include <allegro5/allegro.h>
#include <allegro5/allegro_primitives.h>

#include "assets/assets.h"
#include "assets/ui_texts.h"
#include "core/input.h"
#include "level/board.h"
#include "level/progress.h"
#include "screens/hotspot.h"
#include "screens/level_select.h"

constexpr int SLOT_MENU_TITLE = 33;
constexpr int SLOT_FIRST_ITEM = 38;
constexpr int MENU_ITEMS = 4;
constexpr double MENU_REST = 0.001;

// Darkens the copied top bar, so the play screen reads as paused behind the menu.
static void darken_top_bar() {
    for (int pass = 0; pass < 21; pass++)
        al_draw_tinted_scaled_bitmap(game_assets.tile_atlas, al_map_rgba(12, 12, 12, 6), 400, 450, 5, 5, 0, 15, 1024,
                                     36, 0);
}

static void draw_panel() {
    al_draw_filled_rectangle(350, 257, 670, 448, al_map_rgba(0, 0, 0, 133));
    al_draw_scaled_bitmap(game_assets.tile_atlas, 320, 88, 10, 28, 350, 262, 320, 28, 0);
    al_draw_rectangle(350, 257, 670, 448, al_map_rgb(0, 0, 0), 4);
    al_draw_rectangle(350, 257, 670, 448, al_map_rgb(111, 222, 111), 2);
    draw_slot(game_assets.font_18, al_map_rgb(100, 180, 180), 515, 269, ALLEGRO_ALIGN_CENTRE, SLOT_MENU_TITLE);
}

static void draw_items() {
    al_draw_filled_rectangle(365, 294, 655, 439, al_map_rgb(0, 20, 0));
    if (hotspot_code >= HOTSPOT_MENU_LEVELS && hotspot_code <= HOTSPOT_MENU_QUIT)
        al_draw_scaled_bitmap(game_assets.tile_atlas, 0, 160, 10, 32, 380, 35 * hotspot_code - 1839, 260, 35, 0);
    for (int item = 0; item < MENU_ITEMS; item++) {
        bool lit = hotspot_code == HOTSPOT_MENU_LEVELS + item;
        ALLEGRO_COLOR colour = lit ? al_map_rgb(200, 200, 200) : al_map_rgb(150, 150, 150);
        draw_slot(game_assets.font_22, colour, 512, 305 + 35 * item, ALLEGRO_ALIGN_CENTRE, SLOT_FIRST_ITEM + item);
    }
}

bool show_menu(int* quit_requested) {
    al_set_target_bitmap(game_assets.spare_buffer);
    al_draw_bitmap(game_assets.screen_buffer, 0, 0, 0);
    darken_top_bar();
    // With every level solved there is nothing to head the menu with.
    bool panel = unlocked_level < level_count;
    if (panel) draw_panel();
    target_back_buffer();
    if (panel) {
        al_draw_bitmap(game_assets.spare_buffer, 0, 0, 0);
        al_flip_display();
    }

    for (;;) {
        al_draw_bitmap(game_assets.spare_buffer, 0, 0, 0);
        update_hotspot();
        read_keyboard();
        draw_items();

        if (key_held(ALLEGRO_KEY_W) || hotspot_clicked(HOTSPOT_MENU_LEVELS)) {
            // The selection always reloads the Board, even when left with ESC.
            select_level();
            return true;
        }
        if (key_held(ALLEGRO_KEY_ENTER) || key_held(ALLEGRO_KEY_PAD_ENTER) || hotspot_clicked(HOTSPOT_MENU_RESUME))
            return false;
        if (key_held(ALLEGRO_KEY_X) || hotspot_clicked(HOTSPOT_MENU_NEW_GAME)) {
            unlocked_level = 1;
            current_level = 1;
            solved_count = 1;
            load_level();
            return true;
        }
        if (key_held(ALLEGRO_KEY_ESCAPE) || hotspot_clicked(HOTSPOT_MENU_QUIT)) {
            *quit_requested = 1;
            return false;
        }

        al_flip_display();
        al_rest(MENU_REST);
    }
}
