#include "render/board_renderer.h"

#include "assets/assets.h"
#include "level/board.h"

int board_offset_x = 13;
int board_offset_y = 20;
int boxes_on_targets = 0;

// Tiles 0 to 7 that are wholly transparent: drawing them changes no pixel,
// and skipping them spares a software renderer most of a screen of blending.
static bool tile_invisible[8];

static bool region_transparent(ALLEGRO_BITMAP* bitmap, int x, int y, int width, int height) {
    ALLEGRO_LOCKED_REGION* region =
        al_lock_bitmap_region(bitmap, x, y, width, height, ALLEGRO_PIXEL_FORMAT_ABGR_8888, ALLEGRO_LOCK_READONLY);
    if (!region) return false;
    bool transparent = true;
    for (int row = 0; row < height && transparent; row++) {
        const unsigned char* pixel = static_cast<const unsigned char*>(region->data) + row * region->pitch;
        for (int column = 0; column < width && transparent; column++) transparent = pixel[4 * column + 3] == 0;
    }
    al_unlock_bitmap(bitmap);
    return transparent;
}

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
    if (game_assets.background) {
        // The picture is opaque: a plain copy gives the same pixels as blending, for less work.
        ALLEGRO_STATE state;
        al_store_state(&state, ALLEGRO_STATE_BLENDER);
        al_set_blender(ALLEGRO_ADD, ALLEGRO_ONE, ALLEGRO_ZERO);
        al_draw_bitmap(game_assets.background, 0, 0, 0);
        al_restore_state(&state);
    } else {
        al_clear_to_color(al_map_rgb(0, 0, 0));
    }

    // All tiles come from one atlas: held drawing sends them as one batch.
    al_hold_bitmap_drawing(true);
    for (int row = 0; row < BOARD_ROWS; row++)
        for (int column = 0; column < BOARD_COLUMNS; column++) {
            int floor = board.floor_layer[column][row];
            int object = board.object_layer[column][row];
            float x = cell_screen_x(column);
            float y = cell_screen_y(row);
            if (floor < 0 || floor > 7 || !tile_invisible[floor]) draw_tile(floor, x, y);
            if (object_tile_drawn(object)) draw_tile(object, x, y);
            if (object > 0 && floor == CELL_TARGET) boxes_on_targets++;
        }

    al_draw_scaled_bitmap(game_assets.tile_atlas, 0, 160, 10, 36, 0, 13, 1024, 36, 0);
    al_draw_tinted_scaled_bitmap(game_assets.tile_atlas, al_map_rgba(1, 1, 1, 66), 180, 80, 10, 10,
                                 0, 49, 1024, 10, 0);
    al_hold_bitmap_drawing(false);
}

void find_invisible_tiles() {
    for (int value = 0; value < 8; value++)
        tile_invisible[value] = region_transparent(game_assets.tile_atlas, (value % 4) * TILE_SIZE,
                                                   (value / 4) * TILE_SIZE, TILE_SIZE, TILE_SIZE);
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
    find_invisible_tiles();
    if (game_assets.display) target_back_buffer();
}
