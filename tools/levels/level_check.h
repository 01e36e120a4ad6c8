// The rules every shipped level keeps: a closed room inside the visible area,
// one player on plain floor, as many boxes as targets, no room used twice.
#pragma once

#include "level_grid.h"

#include <vector>

void check_level(const LevelGrid& level, int number, std::vector<LevelProblem>& problems);
// Same room as an earlier level, also when mirrored or rotated.
void check_rooms_differ(const std::vector<LevelGrid>& levels, std::vector<LevelProblem>& problems);
void check_levels(const std::vector<LevelGrid>& levels, std::vector<LevelProblem>& problems);
