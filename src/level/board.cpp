#include "level/board.h"

#include <cstdio>

#include <allegro5/allegro.h>

#include "assets/assets.h"
#include "render/board_renderer.h"

Board board;
int current_level = 0;
int player_x = 0;
int player_y = 0;
int target_count = 0;

bool cell_on_board(int column, int row) {
    return column >= 0 && column < BOARD_COLUMNS && row >= 0 && row < BOARD_ROWS;
}

int32_t floor_at(int column, int row) {
    return cell_on_board(column, row) ? board.floor_layer[column][row] : CELL_WALL;
}

int32_t object_at(int column, int row) {
    return cell_on_board(column, row) ? board.object_layer[column][row] : 0;
}

std::string background_picture_name(int level) {
    return "media/mar" + std::to_string((level - 1) / 10 + 1) + ".jpg";
}

// Reads one decimal integer after any whitespace, as a stream read would;
// false when none is there. Values beyond int32 saturate rather than wrap.
static bool read_number(FILE* file, int32_t* value) {
    int c;
    do c = fgetc(file); while (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f');
    bool negative = false;
    if (c == '-' || c == '+') {
        negative = c == '-';
        c = fgetc(file);
    }
    if (c < '0' || c > '9') return false;
    long long magnitude = 0;
    for (; c >= '0' && c <= '9'; c = fgetc(file))
        if (magnitude <= INT32_MAX) magnitude = magnitude * 10 + (c - '0');
    if (c != EOF) ungetc(c, file);
    if (magnitude > INT32_MAX) magnitude = negative ? 1LL + INT32_MAX : INT32_MAX;
    *value = static_cast<int32_t>(negative ? -magnitude : magnitude);
    return true;
}

static void place_cell(int column, int row, int32_t value) {
    if (value <= CELL_WALL) {
        board.floor_layer[column][row] = value;
        if (value == CELL_TARGET) target_count++;
    } else if (value == CELL_BOX) {
        board.floor_layer[column][row] = CELL_FLOOR;
        board.object_layer[column][row] = CELL_BOX;
    } else if (value == CELL_PLAYER_START) {
        board.floor_layer[column][row] = CELL_FLOOR;
        player_x = cell_screen_x(column);
        player_y = cell_screen_y(row);
    } else if (value == CELL_BOX_ON_TARGET) {
        board.floor_layer[column][row] = CELL_TARGET;
        board.object_layer[column][row] = CELL_BOX;
        target_count++;
    } else {
        board.floor_layer[column][row] = CELL_FLOOR;
    }
}

void read_level_record(const char* path, int level) {
    for (auto& column : board.object_layer)
        for (int32_t& cell : column) cell = 0;
    target_count = 0;
    int32_t value = 0;

    FILE* file = fopen(path, "rb");
    bool readable = file && level >= 1;
    if (readable) {
        long long offset = LEVEL_PREAMBLE_BYTES + static_cast<long long>(LEVEL_RECORD_BYTES) * (level - 1);
        readable = fseeko(file, offset, SEEK_SET) == 0;
        // Skip the record's header line.
        int c;
        do c = fgetc(file); while (readable && c != '\n' && c != EOF);
    }
    for (int row = 0; row < BOARD_ROWS; row++)
        for (int column = 0; column < BOARD_COLUMNS; column++) {
            // A failed read leaves the last value standing, as a stream read would.
            if (readable && !read_number(file, &value)) readable = false;
            place_cell(column, row, value);
        }
    if (file) fclose(file);
}

void load_level() {
    if (game_assets.background) al_destroy_bitmap(game_assets.background);
    std::string picture = background_picture_name(current_level);
    // Levels past the last picture are played without one.
    game_assets.background = al_load_bitmap(picture.c_str());
    read_level_record(LEVEL_FILE, current_level);
}
