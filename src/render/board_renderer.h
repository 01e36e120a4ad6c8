// Draws the Board from the TileAtlas onto the current drawing target.
#pragma once

constexpr int TILE_SIZE = 50;

extern int board_offset_x;      // 13: the board is placed so its middle shows
extern int board_offset_y;      // 20
extern int boxes_on_targets;    // added to by draw_board; the frame loop zeroes it

// Top-left display pixel of a cell.
inline int cell_screen_x(int column) { return TILE_SIZE * column - board_offset_x; }
inline int cell_screen_y(int row) { return TILE_SIZE * row - board_offset_y; }

// The atlas tile of a cell value, unscaled at (x, y).
void draw_tile(int value, float x, float y);
// Objects are drawn only from tiles off the atlas's first row and column.
bool object_tile_drawn(int value);

void draw_board();
// Paints the box tile at start-up and notes which tiles draw nothing.
void prepare_tile_atlas();
void find_invisible_tiles();
