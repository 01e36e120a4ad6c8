// The level file reader on arbitrary bytes. The first byte picks the level
// (including 0, a negative one and the int extremes), the rest is the file.
// Whatever was read is then drawn, as the game draws every frame.
#include <climits>

#include <allegro5/allegro.h>

#include "assets/assets.h"
#include "fuzz_support.h"
#include "level/board.h"
#include "render/board_renderer.h"

constexpr int UNTOUCHED = -99999;

// A memory atlas of the sheet's size and a one-pixel target: every tile is
// worked out and clipped, none costs a full draw.
static void prepare_drawing() {
    static bool ready = false;
    if (ready) return;
    if (!al_init()) {
        fprintf(stderr, "cannot initialise Allegro\n");
        abort();
    }
    al_set_new_bitmap_flags(ALLEGRO_MEMORY_BITMAP);
    game_assets.tile_atlas = al_create_bitmap(700, 744);
    ALLEGRO_BITMAP* target = al_create_bitmap(1, 1);
    fuzz::require(game_assets.tile_atlas && target, "memory bitmaps for drawing");
    al_set_target_bitmap(target);
    game_assets.background = nullptr;
    ready = true;
}

static int pick_level(uint8_t byte) {
    switch (byte) {
        case 255: return INT_MAX;
        case 254: return INT_MIN;
        case 253: return 41;
        default: return byte % 5 - 1;  // -1 .. 3
    }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::enter_scratch_folder();
    prepare_drawing();
    int level = size ? pick_level(data[0]) : 1;
    if (size) data++, size--;
    fuzz::write_file("media/mapy30.txt", data, size);

    // Leftovers of a previous level must not leak into this one.
    for (auto& column : board.object_layer)
        for (int32_t& cell : column) cell = CELL_BOX;
    player_x = player_y = UNTOUCHED;
    target_count = -1;

    read_level_record("media/mapy30.txt", level);

    int targets = 0;
    for (int c = 0; c < BOARD_COLUMNS; c++)
        for (int r = 0; r < BOARD_ROWS; r++) {
            int32_t floor = board.floor_layer[c][r], object = board.object_layer[c][r];
            fuzz::require(floor <= CELL_WALL, "a code above 4 reaches the floor layer");
            fuzz::require(object == 0 || object == CELL_BOX, "the object layer holds something else than 0 or a box");
            fuzz::require(object == 0 || floor == CELL_FLOOR || floor == CELL_TARGET, "a box stands on a wall or outside");
            targets += floor == CELL_TARGET;
        }
    fuzz::require(target_count == targets, "target_count differs from the target cells on the board");
    fuzz::require((player_x == UNTOUCHED) == (player_y == UNTOUCHED), "only one player coordinate was set");
    if (player_x != UNTOUCHED) {
        int column = (player_x + board_offset_x) / TILE_SIZE, row = (player_y + board_offset_y) / TILE_SIZE;
        fuzz::require(cell_on_board(column, row) && cell_screen_x(column) == player_x && cell_screen_y(row) == player_y,
                      "the player start is not a cell of the board");
        fuzz::require(board.floor_layer[column][row] == CELL_FLOOR, "the player starts on something else than floor");
    }
    if (level < 1)
        for (auto& column : board.floor_layer)
            for (int32_t cell : column) fuzz::require(cell == 0, "a level number below 1 read a record");
    // Allegro's software blitter, which only this harness draws with (the game
    // draws with OpenGL), takes minutes for a tile region millions of rows off
    // the atlas: boards with such values are checked without drawing.
    for (auto& column : board.floor_layer)
        for (int32_t cell : column)
            if (cell < -1000000) return 0;
    boxes_on_targets = 0;
    draw_board();
    int boxes_placed = 0;
    for (int c = 0; c < BOARD_COLUMNS; c++)
        for (int r = 0; r < BOARD_ROWS; r++)
            boxes_placed += board.object_layer[c][r] == CELL_BOX && board.floor_layer[c][r] == CELL_TARGET;
    fuzz::require(boxes_on_targets == boxes_placed, "draw_board miscounts the boxes on targets");
    return 0;
}
