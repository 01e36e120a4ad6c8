// The inside of a level as a graph of cells, shared by the solver and the
// generator. Cells are numbered 0..n-1 in reading order.
#pragma once

#include "level_grid.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

constexpr int DIR_UP = 0, DIR_DOWN = 1, DIR_LEFT = 2, DIR_RIGHT = 3;
constexpr int MAP_MAX_BOXES = 24;
constexpr int MAP_MAX_CELLS = 255;
constexpr uint16_t PUSH_UNREACHABLE = 0xFFFF;

struct LevelMap {
    int cells = 0;
    std::vector<int> column, row;
    std::vector<std::array<int, 4>> next;   // neighbour per direction, -1 for a wall
    std::vector<char> target;
    std::vector<char> dead;                 // a box here can reach no target
    std::vector<std::vector<uint16_t>> push_distance;  // [target index][cell]
    std::vector<int> targets;               // cell of each target
    std::vector<uint8_t> start_boxes;       // sorted cells
    int start_player = -1;
    int cell_at[GRID_COLUMNS][GRID_ROWS];
};

int opposite(int dir);
char move_letter(int dir, bool push);
// Fails (with a reason) when the level has no single player or too many cells or boxes.
bool build_level_map(const LevelGrid& level, LevelMap& map, std::string& reason);
// Push distances ignoring other boxes, and the squares from which no target is reachable.
void compute_push_distances(LevelMap& map);
