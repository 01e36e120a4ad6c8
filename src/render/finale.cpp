#include "render/finale.h"

#include <allegro5/allegro_font.h>
#include <allegro5/allegro_primitives.h>

#include "assets/assets.h"
#include "assets/ui_texts.h"
#include "level/board.h"
#include "level/progress.h"
#include "render/board_renderer.h"
#include "screens/result.h"

static_assert(FINALE_LISTED_LEVELS < LEVEL_PUSHES_SIZE, "the list reads only entries of the table");

constexpr float FINALE_FRAME_REST = 0.003f;
constexpr int GROW_FRAMES = 110;
constexpr float GROW_STEP = 0.01f;

// Each frame is drawn into the spare buffer over the last one and shown whole.
static void show_spare_buffer_frame() {
    target_back_buffer();
    al_draw_bitmap(game_assets.spare_buffer, 0, 0, 0);
    al_rest(FINALE_FRAME_REST);
    al_flip_display();
    al_set_target_bitmap(game_assets.spare_buffer);
}

static void wall_wipe() {
    al_set_target_bitmap(game_assets.spare_buffer);
    al_draw_bitmap(game_assets.screen_buffer, 0, 0, 0);
    for (int row = 0; row < BOARD_ROWS; row++)
        for (int column = 0; column < BOARD_COLUMNS; column++) {
            draw_tile(CELL_WALL, cell_screen_x(column), cell_screen_y(row));
            show_spare_buffer_frame();
        }
}

static void grow_picture() {
    ALLEGRO_BITMAP* atlas = game_assets.tile_atlas;
    float scale = 0.0f;
    for (int i = 0; i < GROW_FRAMES; i++) {
        scale += GROW_STEP;
        al_draw_tinted_scaled_rotated_bitmap_region(atlas, 0, 244, 700, 500, al_map_rgba_f(0, 0, 0, 0.2f), 0, 0,
                                                    240 - i, 220 - i, scale, scale, 0, 0);
        al_draw_tinted_scaled_rotated_bitmap_region(atlas, 0, 244, 700, 500, al_map_rgb(255, 255, 255), 0, 0,
                                                    220 - i, 200 - i, scale, scale, 0, 0);
        al_draw_filled_rectangle(885, 20, 985, 744, al_map_rgba(0, 0, 0, 2));
        al_draw_scaled_bitmap(atlas, 400, 0, 24, 10, 885, 20, 100, 724, 0);
        al_draw_rectangle(885, 20, 985, 744, al_map_rgba(0, 0, 0, i), 2);
        show_spare_buffer_frame();
    }
}

void draw_finale_texts() {
    ALLEGRO_COLOR closing = al_map_rgb(0, 0, 0);
    draw_slot(game_assets.font_bold_26, closing, 200, 500, ALLEGRO_ALIGN_LEFT, 3);
    draw_slot(game_assets.font_18, closing, 590, 500, ALLEGRO_ALIGN_LEFT, 4);
    draw_slot(game_assets.font_18, closing, 590, 525, ALLEGRO_ALIGN_LEFT, 5);
    draw_slot(game_assets.font_18, al_map_rgb(222, 222, 222), 930, 30, ALLEGRO_ALIGN_CENTRE, 46);
    ALLEGRO_COLOR row = al_map_rgb(122, 166, 122);
    for (int level = 1; level <= FINALE_LISTED_LEVELS; level++) {
        float y = 58 + 17 * (level - 1);
        al_draw_textf(game_assets.font_18, row, 935, y, ALLEGRO_ALIGN_RIGHT, "%d - ", level);
        al_draw_textf(game_assets.font_18, row, 970, y, ALLEGRO_ALIGN_RIGHT, "%d", level_pushes[level]);
    }
}

void show_finale() {
    wall_wipe();
    grow_picture();
    draw_finale_texts();

    target_back_buffer();
    al_draw_bitmap(game_assets.spare_buffer, 0, 0, 0);
    al_flip_display();

    unlocked_level = 1;
    current_level = 1;
    step_delay = DEFAULT_STEP_DELAY;

    al_set_target_bitmap(game_assets.screen_buffer);
    al_draw_bitmap(game_assets.spare_buffer, 0, 0, 0);
    target_back_buffer();
}
