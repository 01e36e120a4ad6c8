// Replays stored solutions through the game's own move rules.
#pragma once

#include <string>

int command_verify(const std::string& level_file, const std::string& solutions_file);
