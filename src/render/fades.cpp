#include "render/fades.h"

#include "assets/assets.h"
#include "level/board.h"
#include "render/board_renderer.h"

constexpr float BOARD_FADE_STEP = 0.02f;
constexpr float FADE_OUT_STEP = 0.003f;
constexpr int FADE_IN_STEPS = 45;
constexpr float BUILD_CELL_REST = 0.01f;

void fade_out() {
    for (int n = 128; n >= 1; n--) {
        al_draw_tinted_bitmap(game_assets.screen_buffer, al_map_rgba(n, n, n, 256 - n), 0, 0, 0);
        al_rest(FADE_OUT_STEP);
        al_flip_display();
    }
}

void fade_in_screen_buffer(float fade_step_delay) {
    target_back_buffer();
    for (int i = 0; i < FADE_IN_STEPS; i++) {
        al_draw_tinted_bitmap(game_assets.screen_buffer, al_map_rgba(i, i, i, i), 0, 0, 0);
        al_rest(fade_step_delay);
        al_flip_display();
    }
}

void fade_in_board() {
    al_set_target_bitmap(game_assets.screen_buffer);
    draw_board();
    target_back_buffer();
    fade_in_screen_buffer(BOARD_FADE_STEP);
}

void build_up_level() {
    load_level();
    al_set_target_bitmap(game_assets.screen_buffer);
    if (game_assets.background) al_draw_bitmap(game_assets.background, 0, 0, 0);
    else al_clear_to_color(al_map_rgb(0, 0, 0));
    target_back_buffer();
    fade_in_screen_buffer(BOARD_FADE_STEP);

    for (int row = 0; row < BOARD_ROWS; row++)
        for (int column = 0; column < BOARD_COLUMNS; column++) {
            al_set_target_bitmap(game_assets.screen_buffer);
            int floor = board.floor_layer[column][row];
            if (floor > CELL_OUTSIDE_ALT) {
                draw_tile(floor, cell_screen_x(column), cell_screen_y(row));
                int object = board.object_layer[column][row];
                if (object_tile_drawn(object)) draw_tile(object, cell_screen_x(column), cell_screen_y(row));
                al_rest(BUILD_CELL_REST);
                play_sample(game_assets.sample_build, 0.5f, 0.7f);
            }
            target_back_buffer();
            al_draw_bitmap(game_assets.screen_buffer, 0, 0, 0);
            al_flip_display();
        }
}
