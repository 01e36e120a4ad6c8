#include "level_map.h"

#include <algorithm>

int opposite(int dir) { return dir ^ 1; }

char move_letter(int dir, bool push)
{
    static const char lower[4] = {'u', 'd', 'l', 'r'};
    static const char upper[4] = {'U', 'D', 'L', 'R'};
    return push ? upper[dir] : lower[dir];
}

bool build_level_map(const LevelGrid& level, LevelMap& map, std::string& reason)
{
    map = LevelMap();
    int pc = -1, pr = -1, players = 0;
    for (int c = 0; c < GRID_COLUMNS; ++c)
        for (int r = 0; r < GRID_ROWS; ++r) {
            map.cell_at[c][r] = -1;
            if (level.code[c][r] == CODE_PLAYER_START) {
                ++players;
                pc = c;
                pr = r;
            }
        }
    if (players != 1) {
        reason = players == 0 ? "no player start" : "more than one player start";
        return false;
    }
    // Flood from the player through everything but walls; cells off the board stop it.
    bool inside[GRID_COLUMNS][GRID_ROWS] = {};
    std::vector<std::pair<int, int>> stack{{pc, pr}};
    inside[pc][pr] = true;
    while (!stack.empty()) {
        auto [c, r] = stack.back();
        stack.pop_back();
        const int dc[4] = {0, 0, -1, 1}, dr[4] = {-1, 1, 0, 0};
        for (int d = 0; d < 4; ++d) {
            int nc = c + dc[d], nr = r + dr[d];
            if (nc < 0 || nr < 0 || nc >= GRID_COLUMNS || nr >= GRID_ROWS) continue;
            if (inside[nc][nr] || level.code[nc][nr] == CODE_WALL) continue;
            inside[nc][nr] = true;
            stack.push_back({nc, nr});
        }
    }
    for (int r = 0; r < GRID_ROWS; ++r)
        for (int c = 0; c < GRID_COLUMNS; ++c)
            if (inside[c][r]) {
                map.cell_at[c][r] = map.cells++;
                map.column.push_back(c);
                map.row.push_back(r);
            }
    if (map.cells > MAP_MAX_CELLS) {
        reason = "room too large";
        return false;
    }
    map.next.assign(map.cells, {-1, -1, -1, -1});
    map.target.assign(map.cells, 0);
    for (int i = 0; i < map.cells; ++i) {
        int c = map.column[i], r = map.row[i];
        const int dc[4] = {0, 0, -1, 1}, dr[4] = {-1, 1, 0, 0};
        for (int d = 0; d < 4; ++d) {
            int nc = c + dc[d], nr = r + dr[d];
            if (nc < 0 || nr < 0 || nc >= GRID_COLUMNS || nr >= GRID_ROWS) continue;
            map.next[i][d] = map.cell_at[nc][nr];
        }
        int v = level.code[c][r];
        if (code_is_target(v)) {
            map.target[i] = 1;
            map.targets.push_back(i);
        }
        if (code_has_box(v)) map.start_boxes.push_back(static_cast<uint8_t>(i));
    }
    map.start_player = map.cell_at[pc][pr];
    if (map.start_boxes.size() != map.targets.size() || map.targets.empty()) {
        reason = "boxes and targets differ in number (or there are none)";
        return false;
    }
    if (map.start_boxes.size() > static_cast<size_t>(MAP_MAX_BOXES)) {
        reason = "too many boxes";
        return false;
    }
    // Boxes or targets the player cannot reach are not part of the map.
    int box_total = 0, target_total = 0;
    for (int c = 0; c < GRID_COLUMNS; ++c)
        for (int r = 0; r < GRID_ROWS; ++r) {
            box_total += code_has_box(level.code[c][r]);
            target_total += code_is_target(level.code[c][r]);
        }
    if (box_total != static_cast<int>(map.start_boxes.size()) || target_total != static_cast<int>(map.targets.size())) {
        reason = "a box or target lies outside the room";
        return false;
    }
    compute_push_distances(map);
    return true;
}

void compute_push_distances(LevelMap& map)
{
    map.push_distance.assign(map.targets.size(), std::vector<uint16_t>(map.cells, PUSH_UNREACHABLE));
    map.dead.assign(map.cells, 1);
    std::vector<int> queue;
    for (size_t t = 0; t < map.targets.size(); ++t) {
        auto& dist = map.push_distance[t];
        queue.clear();
        queue.push_back(map.targets[t]);
        dist[map.targets[t]] = 0;
        // Pulling a box from x to x+d needs x+d and x+2d free of walls.
        for (size_t q = 0; q < queue.size(); ++q) {
            int x = queue[q];
            for (int d = 0; d < 4; ++d) {
                int y = map.next[x][d];
                if (y < 0) continue;
                int z = map.next[y][d];
                if (z < 0 || dist[y] != PUSH_UNREACHABLE) continue;
                dist[y] = static_cast<uint16_t>(dist[x] + 1);
                queue.push_back(y);
            }
        }
        for (int i = 0; i < map.cells; ++i)
            if (dist[i] != PUSH_UNREACHABLE) map.dead[i] = 0;
    }
}
