// Push-optimal search: A* over box placements with the player's reachable
// area folded into one cell, dead-square and freeze pruning, and a lower
// bound from the cheapest matching of boxes to targets.
#pragma once

#include "level_grid.h"

#include <cstddef>
#include <string>

struct SolveOptions {
    double time_limit = 10.0;     // seconds for the optimal search
    double fallback_time = 5.0;   // seconds for a quick non-optimal search after a timeout
    size_t max_nodes = 8000000;
};

struct SolveResult {
    bool solved = false;
    bool optimal = false;         // proven fewest pushes
    bool unsolvable = false;      // proven: the search ran out of positions
    std::string lurd;
    int pushes = 0;
    int moves = 0;
    double seconds = 0.0;
    size_t nodes = 0;
    std::string error;            // the level could not be searched at all
};

SolveResult solve_level(const LevelGrid& level, const SolveOptions& options);
