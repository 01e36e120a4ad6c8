#include "level_check.h"

#include <algorithm>
#include <string>

namespace {

std::string where(int c, int r) { return "column " + std::to_string(c) + ", row " + std::to_string(r); }

bool in_area(int c, int r)
{
    return c >= AREA_FIRST_COLUMN && c <= AREA_LAST_COLUMN && r >= AREA_FIRST_ROW && r <= AREA_LAST_ROW;
}

// Several cells with the same fault make one line with the first of them.
void report_cells(std::vector<LevelProblem>& problems, int number, const std::string& what,
                  const std::vector<std::pair<int, int>>& cells)
{
    if (cells.empty()) return;
    std::string text = what + " at " + where(cells[0].first, cells[0].second);
    if (cells.size() > 1) text += " and " + std::to_string(cells.size() - 1) + " more";
    problems.push_back({number, text});
}

// The room as a shape: wall, inside, or nothing, cropped to its bounds.
std::vector<std::string> room_shape(const LevelGrid& level)
{
    auto [min_c, max_c, min_r, max_r] = room_bounds(level);
    std::vector<std::string> shape;
    for (int r = min_r; r <= max_r; ++r) {
        std::string line;
        for (int c = min_c; c <= max_c; ++c) {
            int v = level.code[c][r];
            line += v == CODE_WALL ? '#' : code_is_outside(v) ? ' ' : '.';
        }
        shape.push_back(line);
    }
    return shape;
}

std::vector<std::string> rotate(const std::vector<std::string>& s)
{
    if (s.empty()) return s;
    size_t h = s.size(), w = s[0].size();
    std::vector<std::string> out(w, std::string(h, ' '));
    for (size_t y = 0; y < h; ++y)
        for (size_t x = 0; x < w; ++x) out[x][h - 1 - y] = s[y][x];
    return out;
}

std::vector<std::string> mirror(std::vector<std::string> s)
{
    for (auto& line : s) std::reverse(line.begin(), line.end());
    return s;
}

} // namespace

void check_level(const LevelGrid& level, int number, std::vector<LevelProblem>& problems)
{
    std::vector<std::pair<int, int>> unknown, beyond;
    std::vector<std::pair<int, int>> players;
    int boxes = 0, targets = 0;
    for (int r = 0; r < GRID_ROWS; ++r)
        for (int c = 0; c < GRID_COLUMNS; ++c) {
            int v = level.code[c][r];
            if (v == CODE_UNREADABLE) continue;
            if (v < CODE_OUTSIDE || v > CODE_BOX_ON_TARGET) {
                unknown.push_back({c, r});
                continue;
            }
            if (v == CODE_PLAYER_START) players.push_back({c, r});
            if (code_has_box(v)) ++boxes;
            if (code_is_target(v)) ++targets;
            if (!code_is_outside(v) && !in_area(c, r)) beyond.push_back({c, r});
        }
    report_cells(problems, number, "unknown cell code " + (unknown.empty() ? std::string() :
                     std::to_string(level.code[unknown[0].first][unknown[0].second])), unknown);
    report_cells(problems, number, "level cell outside columns 1-19 and rows 2-14", beyond);
    if (targets == 0) problems.push_back({number, "no targets"});
    if (boxes != targets)
        problems.push_back({number, std::to_string(boxes) + " boxes but " + std::to_string(targets) + " targets"});
    if (players.empty()) {
        problems.push_back({number, "no player start"});
        return;
    }
    if (players.size() > 1)
        problems.push_back({number, std::to_string(players.size()) + " player starts"});

    // The player may step on any code up to 3, so walls alone must hold it in.
    bool reached[GRID_COLUMNS][GRID_ROWS] = {};
    // Breadth first, so the first leak reported is the one nearest the player.
    std::vector<std::pair<int, int>> queue{players[0]};
    reached[players[0].first][players[0].second] = true;
    std::vector<std::pair<int, int>> leaks;
    bool off_board = false;
    for (size_t q = 0; q < queue.size(); ++q) {
        auto [c, r] = queue[q];
        int v = level.code[c][r];
        if (code_is_outside(v) || v < 0) leaks.push_back({c, r});
        const int dc[4] = {1, -1, 0, 0}, dr[4] = {0, 0, 1, -1};
        for (int d = 0; d < 4; ++d) {
            int nc = c + dc[d], nr = r + dr[d];
            if (nc < 0 || nr < 0 || nc >= GRID_COLUMNS || nr >= GRID_ROWS) {
                off_board = true;
                continue;
            }
            if (reached[nc][nr] || level.code[nc][nr] == CODE_WALL) continue;
            reached[nc][nr] = true;
            queue.push_back({nc, nr});
        }
    }
    report_cells(problems, number, "room not closed: the player can reach outside ground", leaks);
    if (off_board) problems.push_back({number, "room not closed: the player can walk off the board"});
    std::vector<std::pair<int, int>> stray;
    for (int r = 0; r < GRID_ROWS; ++r)
        for (int c = 0; c < GRID_COLUMNS; ++c) {
            int v = level.code[c][r];
            if ((v == CODE_FLOOR || v == CODE_TARGET || code_has_box(v) || v == CODE_PLAYER_START) && !reached[c][r])
                stray.push_back({c, r});
        }
    report_cells(problems, number, "floor, target or box the player cannot reach", stray);
}

void check_rooms_differ(const std::vector<LevelGrid>& levels, std::vector<LevelProblem>& problems)
{
    std::vector<std::vector<std::vector<std::string>>> seen;
    for (size_t i = 0; i < levels.size(); ++i) {
        auto base = room_shape(levels[i]);
        std::vector<std::vector<std::string>> forms;
        auto s = base;
        for (int k = 0; k < 4; ++k) {
            forms.push_back(s);
            forms.push_back(mirror(s));
            s = rotate(s);
        }
        for (size_t j = 0; j < i; ++j) {
            const auto& other = seen[j][0];
            if (std::find(forms.begin(), forms.end(), other) != forms.end()) {
                problems.push_back({static_cast<int>(i + 1),
                                    "same room as level " + std::to_string(j + 1) +
                                        (other == base ? "" : " (mirrored or rotated)")});
                break;
            }
        }
        seen.push_back(forms);
    }
}

void check_levels(const std::vector<LevelGrid>& levels, std::vector<LevelProblem>& problems)
{
    for (size_t i = 0; i < levels.size(); ++i) check_level(levels[i], static_cast<int>(i + 1), problems);
    check_rooms_differ(levels, problems);
}
