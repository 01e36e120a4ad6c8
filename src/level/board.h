// The Board of the level being played, and the level values around it.
#pragma once

#include <cstdint>
#include <string>

constexpr int BOARD_COLUMNS = 21;
constexpr int BOARD_ROWS = 16;

enum CellCode : int32_t {
    CELL_OUTSIDE = 0,
    CELL_OUTSIDE_ALT = 1,
    CELL_FLOOR = 2,
    CELL_TARGET = 3,
    CELL_WALL = 4,
    CELL_BOX = 5,
    CELL_PLAYER_START = 6,
    CELL_BOX_ON_TARGET = 7,
};

struct Board {
    int32_t floor_layer[BOARD_COLUMNS][BOARD_ROWS];
    int32_t object_layer[BOARD_COLUMNS][BOARD_ROWS];
};

extern Board board;
extern int current_level;
extern int player_x;   // display pixels of the player's cell corner
extern int player_y;
extern int target_count;

constexpr const char* LEVEL_FILE = "media/mapy30.txt";
constexpr int LEVEL_PREAMBLE_BYTES = 29;
constexpr int LEVEL_RECORD_BYTES = 1044;

bool cell_on_board(int column, int row);
// Cells beyond the Board read as walls and hold no box.
int32_t floor_at(int column, int row);
int32_t object_at(int column, int row);

// "media/marN.jpg" for the level's group of ten.
std::string background_picture_name(int level);

// Fills the Board from the level file and replaces the background picture.
void load_level();
// The level file part of load_level alone, from any file.
void read_level_record(const char* path, int level);
