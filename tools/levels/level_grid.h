// Levels as the toolkit sees them: one 21 x 16 grid of file codes per level,
// plus the XSB text and the fixed-size record file they travel in.
#pragma once

#include <string>
#include <vector>

constexpr int GRID_COLUMNS = 21;
constexpr int GRID_ROWS = 16;

// The part of the board that shows in full under the top bar.
constexpr int AREA_FIRST_COLUMN = 1;
constexpr int AREA_LAST_COLUMN = 19;
constexpr int AREA_FIRST_ROW = 2;
constexpr int AREA_LAST_ROW = 14;

constexpr int CODE_OUTSIDE = 0;
constexpr int CODE_OUTSIDE_ALT = 1;
constexpr int CODE_FLOOR = 2;
constexpr int CODE_TARGET = 3;
constexpr int CODE_WALL = 4;
constexpr int CODE_BOX = 5;
constexpr int CODE_PLAYER_START = 6;
constexpr int CODE_BOX_ON_TARGET = 7;

// A record value that was not a number (already reported when read).
constexpr int CODE_UNREADABLE = -1000;

constexpr int FILE_PREAMBLE_BYTES = 29;
constexpr int FILE_RECORD_BYTES = 1044;

struct LevelGrid {
    std::string title;
    int code[GRID_COLUMNS][GRID_ROWS] = {};
};

// One problem found while reading or checking; level 0 means the file itself.
struct LevelProblem {
    int level = 0;
    std::string text;
};

bool code_is_outside(int code);

// The columns and rows the room (every cell not outside) spans; empty when max < min.
struct RoomBounds {
    int min_c, max_c, min_r, max_r;
};
RoomBounds room_bounds(const LevelGrid& level);
bool code_has_box(int code);
bool code_is_target(int code);

// XSB: '#' wall, ' ' '-' '_' floor, '.' target, '$' box, '*' box on target,
// '@' player, '+' player on target; ';' starts a comment (the title line).
// The room is centred in the visible area; floor the player cannot reach
// becomes outside ground.
std::vector<LevelGrid> parse_xsb(const std::string& text, std::vector<LevelProblem>& problems);
std::string format_xsb(const std::vector<LevelGrid>& levels);
std::string format_xsb_level(const LevelGrid& level);

// The record file: a 29-byte preamble, then 1044-byte records of a header
// line and 16 rows of 21 codes, padded so every record has the same length.
// Throws std::invalid_argument on a code outside 0..7.
std::string format_level_file(const std::vector<LevelGrid>& levels);
// Reads every record it can; structural faults go to problems.
std::vector<LevelGrid> parse_level_file(const std::string& bytes, std::vector<LevelProblem>& problems);

bool read_whole_file(const std::string& path, std::string& out);
bool write_whole_file(const std::string& path, const std::string& bytes);
