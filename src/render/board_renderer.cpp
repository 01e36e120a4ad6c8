#include "render/board_renderer.h"

#include "assets/assets.h"
#include "level/board.h"

int board_offset_x = 13;
int board_offset_y = 20;
int boxes_on_targets = 0;

void draw_tile(int value, float x, float y) {
    // Signed remainder and quotient, as the atlas rule has always been written;
    // scaled as floats, since a level file may hold any int (-2147483648 / 4 * 50 overflows).
    al_draw_bitmap_region(game_assets.tile_atlas, (value % 4) * TILE_SIZE, static_cast<float>(value / 4) * TILE_SIZE,
                          TILE_SIZE, TILE_SIZE, x, y, 0);
}

bool object_tile_drawn(int value) {
    return value % 4 != 0 && value / 4 != 0;
}

void draw_board() {
    // A level without a picture stands on black, not on whatever was drawn before.
    if (game_assets.background) al_draw_bitmap(game_assets.background, 0, 0, 0);
    else al_clear_to_color(al_map_rgb(0, 0, 0));

    // All tiles come from one atlas: held drawing sends them as one batch.
    al_hold_bitmap_drawing(true);
    for (int row = 0; row < BOARD_ROWS; row++)
        for (int column = 0; column < BOARD_COLUMNS; column++) {
            int floor = board.floor_layer[column][row];
            int object = board.object_layer[column][row];
            float x = cell_screen_x(column);
            float y = cell_screen_y(row);
            draw_tile(floor, x, y);
            if (object_tile_drawn(object)) draw_tile(object, x, y);
            if (object > 0 && floor == CELL_TARGET) boxes_on_targets++;
        }

    al_draw_scaled_bitmap(game_assets.tile_atlas, 0, 160, 10, 36, 0, 13, 1024, 36, 0);
    al_draw_tinted_scaled_bitmap(game_assets.tile_atlas, al_map_rgba(1, 1, 1, 66), 180, 80, 10, 10,
                                 0, 49, 1024, 10, 0);
    al_hold_bitmap_drawing(false);
}

void prepare_tile_atlas() {
    ALLEGRO_BITMAP* atlas = game_assets.tile_atlas;
    // A bitmap cannot be drawn onto itself: blend from a copy of the sources.
    ALLEGRO_BITMAP* sources = al_clone_bitmap(atlas);
    if (sources) {
        al_set_target_bitmap(atlas);
        al_draw_tinted_bitmap_region(sources, al_map_rgba(40, 140, 140, 66), 150, 50, 50, 50, 50, 50, 0);
        al_draw_bitmap_region(sources, 200, 0, 50, 50, 50, 50, 0);
        al_destroy_bitmap(sources);
    }
    if (game_assets.display) target_back_buffer();
}
