// Level generator: carves a room with seeded random walks, sets the boxes on
// their targets and searches backwards (pulls) from that solved state. The
// deepest fully explored layer of that search holds positions whose fewest
// pushes are known exactly; the candidate whose solution moves the boxes in
// turn most often wins, and the forward solver must then prove it quickly.
#include "level_grid.h"
#include "level_map.h"
#include "solver.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

struct GenerateOptions {
    uint64_t seed = 1;
    int width = 8;        // inside, walls not counted
    int height = 6;
    int boxes = 3;
    double fill = 0.55;
    int tries = 20;
    size_t max_states = 1500000;
    int min_pushes = 0;
    int max_pushes = 1000;
    double solve_limit = 1.5;
    std::string title = "Untitled";
    bool verbose = false;
    int walks = 0;          // random pull runs per room instead of the exhaustive backward search
    int walk_steps = 300;
    bool cluster = false;   // targets in one storage area instead of scattered
    int extend = 0;         // pulls beyond a capped backward search that falls short
    int extend_tries = 12;
};

struct Carved {
    int width = 0, height = 0;
    std::vector<char> floor;   // width * height
};

// Random walkers with some persistence, now and then clearing a 2 x 2 patch.
Carved carve_room(std::mt19937_64& rng, int width, int height, double fill)
{
    Carved room{width, height, std::vector<char>(width * height, 0)};
    auto rnd = [&](int n) { return static_cast<int>(rng() % static_cast<uint64_t>(n)); };
    int want = static_cast<int>(fill * width * height);
    int carved = 0;
    int x = width / 2, y = height / 2, dir = rnd(4);
    const int dx[4] = {0, 0, -1, 1}, dy[4] = {-1, 1, 0, 0};
    auto dig = [&](int cx, int cy) {
        if (cx < 0 || cy < 0 || cx >= width || cy >= height) return;
        if (!room.floor[cy * width + cx]) {
            room.floor[cy * width + cx] = 1;
            ++carved;
        }
    };
    int guard = 0;
    while (carved < want && guard++ < 100000) {
        dig(x, y);
        if (rnd(100) < 12) {
            int ox = rnd(2) ? 1 : -1, oy = rnd(2) ? 1 : -1;
            dig(x + ox, y);
            dig(x, y + oy);
            dig(x + ox, y + oy);
        }
        if (rnd(100) < 35) dir = rnd(4);
        int nx = x + dx[dir], ny = y + dy[dir];
        if (nx < 0 || ny < 0 || nx >= width || ny >= height) {
            dir = rnd(4);
            continue;
        }
        x = nx;
        y = ny;
        if (rnd(100) < 3) {   // jump to a carved cell and branch from there
            int tries = 0;
            do {
                x = rnd(width);
                y = rnd(height);
            } while (!room.floor[y * width + x] && ++tries < 200);
        }
    }
    // Dead-end pockets of one cell only waste space.
    for (int pass = 0; pass < 2; ++pass)
        for (int cy = 0; cy < height; ++cy)
            for (int cx = 0; cx < width; ++cx) {
                if (!room.floor[cy * width + cx]) continue;
                int open = 0;
                for (int d = 0; d < 4; ++d) {
                    int nx = cx + dx[d], ny = cy + dy[d];
                    if (nx >= 0 && ny >= 0 && nx < width && ny < height && room.floor[ny * width + nx]) ++open;
                }
                if (open <= 1 && rnd(100) < 70) room.floor[cy * width + cx] = 0;
            }
    return room;
}

// Places the carved room (with its ring of walls) centred on the board.
LevelGrid room_to_grid(const Carved& room)
{
    LevelGrid grid;
    const int ox = AREA_FIRST_COLUMN + ((AREA_LAST_COLUMN - AREA_FIRST_COLUMN + 1) - (room.width + 2)) / 2 + 1;
    const int oy = AREA_FIRST_ROW + ((AREA_LAST_ROW - AREA_FIRST_ROW + 1) - (room.height + 2)) / 2 + 1;
    auto is_floor = [&](int x, int y) {
        return x >= 0 && y >= 0 && x < room.width && y < room.height && room.floor[y * room.width + x];
    };
    for (int y = -1; y <= room.height; ++y)
        for (int x = -1; x <= room.width; ++x) {
            int code = CODE_OUTSIDE;
            if (is_floor(x, y)) {
                code = CODE_FLOOR;
            } else {
                for (int ny = y - 1; ny <= y + 1; ++ny)
                    for (int nx = x - 1; nx <= x + 1; ++nx)
                        if (is_floor(nx, ny)) code = CODE_WALL;
            }
            grid.code[ox + x][oy + y] = code;
        }
    return grid;
}

uint64_t mix(uint64_t z)
{
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

struct PullSpace {
    const LevelMap* map = nullptr;
    int k = 0;
    std::vector<uint8_t> data;     // k box cells then the player's smallest cell, per state
    std::vector<uint32_t> parent;
    std::vector<uint8_t> moved_to, moved_dir;   // box pulled onto moved_to, player stepped moved_dir
    std::vector<uint32_t> table;
    uint64_t table_mask = 0;
    std::vector<uint64_t> hash;
};

uint64_t state_hash(const uint8_t* s, int k)
{
    uint64_t h = 1469598103934665603ULL;
    for (int i = 0; i <= k; ++i) h = mix(h ^ s[i]) + i;
    return h;
}

bool pull_insert(PullSpace& ps, const uint8_t* s, uint32_t parent, int to, int dir)
{
    const int w = ps.k + 1;
    uint64_t h = state_hash(s, ps.k);
    uint64_t slot = h & ps.table_mask;
    while (ps.table[slot]) {
        uint32_t n = ps.table[slot] - 1;
        if (ps.hash[n] == h && std::memcmp(&ps.data[size_t(n) * w], s, w) == 0) return false;
        slot = (slot + 1) & ps.table_mask;
    }
    uint32_t n = static_cast<uint32_t>(ps.hash.size());
    ps.data.insert(ps.data.end(), s, s + w);
    ps.parent.push_back(parent);
    ps.moved_to.push_back(static_cast<uint8_t>(to));
    ps.moved_dir.push_back(static_cast<uint8_t>(dir));
    ps.hash.push_back(h);
    ps.table[slot] = n + 1;
    if (ps.hash.size() * 2 > ps.table.size()) {
        ps.table.assign(ps.table.size() * 2, 0);
        ps.table_mask = ps.table.size() - 1;
        for (uint32_t i = 0; i < ps.hash.size(); ++i) {
            uint64_t sl = ps.hash[i] & ps.table_mask;
            while (ps.table[sl]) sl = (sl + 1) & ps.table_mask;
            ps.table[sl] = i + 1;
        }
    }
    return true;
}

int flood(const LevelMap& m, const std::vector<char>& occupied, int from, std::vector<char>& mark,
          std::vector<int>& queue)
{
    std::fill(mark.begin(), mark.end(), 0);
    queue.assign(1, from);
    mark[from] = 1;
    int smallest = from;
    for (size_t q = 0; q < queue.size(); ++q)
        for (int d = 0; d < 4; ++d) {
            int y = m.next[queue[q]][d];
            if (y < 0 || occupied[y] || mark[y]) continue;
            mark[y] = 1;
            queue.push_back(y);
            smallest = std::min(smallest, y);
        }
    return smallest;
}

struct Candidate {
    bool found = false;
    LevelGrid grid;
    int pushes = 0;
    int changes = 0;
    double score = 0;
    SolveResult proof;
};

void pull_walk(const LevelMap& map, std::vector<int>& boxes, int& player, int steps, std::mt19937_64& rng);
void consider_position(const LevelGrid& solved, const LevelMap& map, const std::vector<int>& boxes, int player,
                       const GenerateOptions& opt, std::mt19937_64& rng, Candidate& best, const char* how);

// Backward search from the solved state; fills `best` when this room gives a better level.
void explore_room(const LevelGrid& solved, const GenerateOptions& opt, std::mt19937_64& rng, Candidate& best)
{
    LevelMap map;
    std::string reason;
    if (!build_level_map(solved, map, reason)) return;
    const int k = static_cast<int>(map.targets.size());
    const int w = k + 1;
    PullSpace ps;
    ps.map = &map;
    ps.k = k;
    ps.table.assign(1 << 16, 0);
    ps.table_mask = (1 << 16) - 1;
    std::vector<char> occupied(map.cells, 0), mark(map.cells, 0), region(map.cells, 0);
    std::vector<int> queue;
    std::vector<uint8_t> s(w), t(w);
    for (int target : map.targets) occupied[target] = 1;
    // One start per part of the floor the player could end in.
    std::vector<char> covered(map.cells, 0);
    for (int c = 0; c < map.cells; ++c) {
        if (occupied[c] || covered[c]) continue;
        int smallest = flood(map, occupied, c, mark, queue);
        for (int x : queue) covered[x] = 1;
        std::copy(map.targets.begin(), map.targets.end(), s.begin());
        std::sort(s.begin(), s.begin() + k);
        s[k] = static_cast<uint8_t>(smallest);
        pull_insert(ps, s.data(), UINT32_MAX, 0, 0);
    }
    // layer d holds the positions d pushes from solved: [layers[d], layers[d + 1])
    std::vector<size_t> layers{0, ps.hash.size()};
    bool capped = false;
    size_t cur = 0;
    while (!capped) {
        size_t layer_end = layers.back();
        for (; cur < layer_end && !capped; ++cur) {
            std::memcpy(s.data(), &ps.data[cur * w], w);
            std::fill(occupied.begin(), occupied.end(), 0);
            for (int i = 0; i < k; ++i) occupied[s[i]] = 1;
            flood(map, occupied, s[k], region, queue);
            for (int i = 0; i < k; ++i) {
                int x = s[i];
                for (int e = 0; e < 4; ++e) {
                    int a = map.next[x][e];                // player stands here
                    if (a < 0 || !region[a]) continue;
                    int c = map.next[a][e];                // and steps back to here
                    if (c < 0 || occupied[c]) continue;
                    occupied[x] = 0;
                    occupied[a] = 1;
                    t = s;
                    t[i] = static_cast<uint8_t>(a);
                    std::sort(t.begin(), t.begin() + k);
                    t[k] = static_cast<uint8_t>(flood(map, occupied, c, mark, queue));
                    pull_insert(ps, t.data(), static_cast<uint32_t>(cur), a, e);
                    occupied[a] = 0;
                    occupied[x] = 1;
                }
            }
            if (ps.hash.size() > opt.max_states) capped = true;
        }
        if (capped || ps.hash.size() == layer_end) break;
        layers.push_back(ps.hash.size());   // the previous layer is fully expanded, so this one is whole
    }
    const int complete_depth = static_cast<int>(layers.size()) - 2;
    if (opt.verbose)
        std::fprintf(stderr, "  room of %d cells: %zu positions, complete to %d pushes%s\n", map.cells,
                     ps.hash.size(), complete_depth, capped ? " (capped)" : "");
    if (complete_depth < opt.min_pushes) {
        // Not deep enough: spread some of the deepest positions further by
        // random pulls and let the solver tell their exact distance.
        // (An exhaustive search has nothing deeper to find.)
        if (!capped || opt.extend <= 0 || complete_depth + opt.extend < opt.min_pushes) return;
        const size_t begin = layers[complete_depth], end = layers[complete_depth + 1];
        for (int i = 0; i < opt.extend_tries && end > begin; ++i) {
            size_t idx = begin + rng() % (end - begin);
            std::vector<int> boxes(&ps.data[idx * w], &ps.data[idx * w] + k);
            int player = ps.data[idx * w + k];
            pull_walk(map, boxes, player, opt.extend, rng);
            consider_position(solved, map, boxes, player, opt, rng, best, "extended");
        }
        return;
    }
    const int depth = std::min(complete_depth, opt.max_pushes);
    const size_t begin = layers[depth], end = layers[depth + 1];
    if (end <= begin) return;
    std::vector<size_t> picks;
    size_t count = end - begin;
    for (int i = 0; i < 300 && i < static_cast<int>(count); ++i) picks.push_back(begin + rng() % count);
    for (size_t idx : picks) {
        // replay forward: each parent link is one push
        int changes = 0, last_to = -1, pushes = 0;
        for (uint32_t n = static_cast<uint32_t>(idx); ps.parent[n] != UINT32_MAX; n = ps.parent[n]) {
            int from = ps.moved_to[n];
            int dir = opposite(ps.moved_dir[n]);
            int to = map.next[from][dir];
            if (last_to >= 0 && from != last_to) ++changes;
            last_to = to;
            ++pushes;
        }
        // boxes that start on their targets and never move make a dull level
        std::memcpy(s.data(), &ps.data[idx * w], w);
        int resting = 0;
        for (int i = 0; i < k; ++i) resting += map.target[s[i]] ? 1 : 0;
        double score = pushes + 2.5 * changes - 6.0 * resting;
        if (best.found && score <= best.score) continue;
        // player start: a free, non-target cell of the stored area
        std::fill(occupied.begin(), occupied.end(), 0);
        for (int i = 0; i < k; ++i) occupied[s[i]] = 1;
        flood(map, occupied, s[k], region, queue);
        std::vector<int> spots;
        for (int x : queue)
            if (!map.target[x]) spots.push_back(x);
        if (spots.empty()) continue;
        int player = spots[rng() % spots.size()];
        LevelGrid grid = solved;
        for (int c = 0; c < map.cells; ++c) {
            int col = map.column[c], row = map.row[c];
            int code = map.target[c] ? CODE_TARGET : CODE_FLOOR;
            if (occupied[c]) code = map.target[c] ? CODE_BOX_ON_TARGET : CODE_BOX;
            if (c == player) code = CODE_PLAYER_START;
            grid.code[col][row] = code;
        }
        grid.title = opt.title;
        best.found = true;
        best.grid = grid;
        best.pushes = pushes;
        best.changes = changes;
        best.score = score;
        best.proof = SolveResult();
    }
}


// Counts how often a solution turns from one box to another.
int count_box_changes(const LevelGrid& level, const std::string& lurd)
{
    int col = 0, row = 0;
    for (int c = 0; c < GRID_COLUMNS; ++c)
        for (int r = 0; r < GRID_ROWS; ++r)
            if (level.code[c][r] == CODE_PLAYER_START) {
                col = c;
                row = r;
            }
    int changes = 0, last_c = -1, last_r = -1;
    for (char ch : lurd) {
        int dc = 0, dr = 0;
        switch (ch | 0x20) {
        case 'l': dc = -1; break;
        case 'r': dc = 1; break;
        case 'u': dr = -1; break;
        case 'd': dr = 1; break;
        }
        col += dc;
        row += dr;
        if (ch >= 'A' && ch <= 'Z') {
            if (last_c >= 0 && (col != last_c || row != last_r)) ++changes;
            last_c = col + dc;
            last_r = row + dr;
        }
    }
    return changes;
}

// One run of pulls leaning toward pulls that take boxes further from the
// targets, and now and then staying with the same box. Leaves boxes and
// player at the most spread-out moment of the run.
void pull_walk(const LevelMap& map, std::vector<int>& boxes, int& player, int steps, std::mt19937_64& rng)
{
    const int k = static_cast<int>(boxes.size());
    std::vector<char> occupied(map.cells, 0), region(map.cells, 0);
    std::vector<int> queue;
    for (int b : boxes) occupied[b] = 1;
    auto nearest = [&](int cell) {
        int best_d = PUSH_UNREACHABLE;
        for (size_t t = 0; t < map.targets.size(); ++t) best_d = std::min<int>(best_d, map.push_distance[t][cell]);
        return best_d;
    };
    int last_box = -1, spread = 0, best_spread = -1;
    std::vector<int> best_boxes = boxes;
    int best_player = player;
    struct Pull { int i, a, c, gain; };
    std::vector<Pull> pulls, away, same;
    for (int step = 0; step < steps; ++step) {
        flood(map, occupied, player, region, queue);
        pulls.clear();
        away.clear();
        same.clear();
        for (int i = 0; i < k; ++i) {
            int x = boxes[i];
            for (int e = 0; e < 4; ++e) {
                int a = map.next[x][e];
                if (a < 0 || !region[a]) continue;
                int c = map.next[a][e];
                if (c < 0 || occupied[c]) continue;
                Pull p{i, a, c, nearest(a) - nearest(x)};
                pulls.push_back(p);
                if (p.gain > 0) away.push_back(p);
                if (p.gain > 0 && i == last_box) same.push_back(p);
            }
        }
        if (pulls.empty()) break;
        Pull pick = pulls[rng() % pulls.size()];
        int roll = static_cast<int>(rng() % 100);
        if (roll < 45 && !same.empty()) pick = same[rng() % same.size()];
        else if (roll < 80 && !away.empty()) pick = away[rng() % away.size()];
        occupied[boxes[pick.i]] = 0;
        occupied[pick.a] = 1;
        boxes[pick.i] = pick.a;
        player = pick.c;
        last_box = pick.i;
        spread += pick.gain;
        if (spread > best_spread) {
            best_spread = spread;
            best_boxes = boxes;
            best_player = player;
        }
    }
    boxes = best_boxes;
    player = best_player;
}

// Turns a position into a level, lets the solver prove its fewest pushes and
// keeps it when it scores better than the best so far.
void consider_position(const LevelGrid& solved, const LevelMap& map, const std::vector<int>& boxes, int player,
                       const GenerateOptions& opt, std::mt19937_64& rng, Candidate& best, const char* how)
{
    const int k = static_cast<int>(boxes.size());
    std::vector<char> occupied(map.cells, 0), region(map.cells, 0);
    std::vector<int> queue;
    for (int b : boxes) occupied[b] = 1;
    // the player may start anywhere in its area that is not a target
    flood(map, occupied, player, region, queue);
    std::vector<int> spots;
    for (int x : queue)
        if (!map.target[x]) spots.push_back(x);
    if (spots.empty()) return;
    int resting = 0;
    for (int b : boxes) resting += map.target[b] ? 1 : 0;
    if (resting * 3 > k) return;
    player = spots[rng() % spots.size()];
    LevelGrid grid = solved;
    for (int c = 0; c < map.cells; ++c) {
        int code = map.target[c] ? CODE_TARGET : CODE_FLOOR;
        if (occupied[c]) code = map.target[c] ? CODE_BOX_ON_TARGET : CODE_BOX;
        if (c == player) code = CODE_PLAYER_START;
        grid.code[map.column[c]][map.row[c]] = code;
    }
    SolveOptions so;
    so.time_limit = opt.solve_limit;
    so.fallback_time = 0;
    SolveResult r = solve_level(grid, so);
    if (!r.solved || !r.optimal || r.pushes < opt.min_pushes || r.pushes > opt.max_pushes) return;
    int changes = count_box_changes(grid, r.lurd);
    double score = r.pushes + 2.5 * changes - 6.0 * resting;
    if (best.found && score <= best.score) return;
    grid.title = opt.title;
    best.found = true;
    best.grid = grid;
    best.pushes = r.pushes;
    best.changes = changes;
    best.score = score;
    best.proof = r;
    if (opt.verbose)
        std::fprintf(stderr, "  %s: pushes %d changes %d score %.1f proved in %.2f s\n", how, r.pushes, changes,
                     score, r.seconds);
}

// Random pull runs from the solved state, each proved by the solver.
void walk_room(const LevelGrid& solved, const GenerateOptions& opt, std::mt19937_64& rng, Candidate& best)
{
    LevelMap map;
    std::string reason;
    if (!build_level_map(solved, map, reason)) return;
    for (int w = 0; w < opt.walks; ++w) {
        std::vector<int> boxes(map.targets.begin(), map.targets.end());
        std::vector<int> free_cells;
        for (int c = 0; c < map.cells; ++c)
            if (!map.target[c]) free_cells.push_back(c);
        int player = free_cells[rng() % free_cells.size()];
        pull_walk(map, boxes, player, opt.walk_steps, rng);
        consider_position(solved, map, boxes, player, opt, rng, best, "walk");
    }
}

void print_help()
{
    std::printf("pelmak-levels generate [--seed N] [--width W] [--height H] [--boxes K] [--fill F]\n"
                "                       [--tries T] [--states S] [--min-pushes P] [--max-pushes P]\n"
                "                       [--solve-limit SECONDS] [--title TEXT] [--verbose]\n"
                "                       [--walks N [--walk-steps S]] [--cluster]\n"
                "                       [--extend PULLS [--extend-tries N]]\n"
                "Prints the best level found as XSB with its fewest pushes and interaction count.\n"
                "The room is W x H inside its walls (at most 17 x 11). Without --walks the\n"
                "backward search is exhaustive up to S positions; with --walks each room gets\n"
                "N random pull runs of S steps, each proved by the solver.\n");
}

} // namespace

int generate_main(int argc, char** argv)
{
    GenerateOptions opt;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        auto value = [&]() -> std::string { return i + 1 < argc ? argv[++i] : ""; };
        if (a == "--seed") opt.seed = std::strtoull(value().c_str(), nullptr, 10);
        else if (a == "--width") opt.width = std::atoi(value().c_str());
        else if (a == "--height") opt.height = std::atoi(value().c_str());
        else if (a == "--boxes") opt.boxes = std::atoi(value().c_str());
        else if (a == "--fill") opt.fill = std::atof(value().c_str());
        else if (a == "--tries") opt.tries = std::atoi(value().c_str());
        else if (a == "--states") opt.max_states = std::strtoull(value().c_str(), nullptr, 10);
        else if (a == "--min-pushes") opt.min_pushes = std::atoi(value().c_str());
        else if (a == "--max-pushes") opt.max_pushes = std::atoi(value().c_str());
        else if (a == "--solve-limit") opt.solve_limit = std::atof(value().c_str());
        else if (a == "--title") opt.title = value();
        else if (a == "--verbose") opt.verbose = true;
        else if (a == "--cluster") opt.cluster = true;
        else if (a == "--extend") opt.extend = std::atoi(value().c_str());
        else if (a == "--extend-tries") opt.extend_tries = std::atoi(value().c_str());
        else if (a == "--walks") opt.walks = std::atoi(value().c_str());
        else if (a == "--walk-steps") opt.walk_steps = std::atoi(value().c_str());
        else {
            print_help();
            return a == "--help" ? 0 : 2;
        }
    }
    if (opt.width < 3 || opt.height < 3 || opt.width > 17 || opt.height > 11 || opt.boxes < 1 ||
        opt.boxes > MAP_MAX_BOXES) {
        print_help();
        return 2;
    }
    Candidate overall;
    for (int t = 0; t < opt.tries; ++t) {
        std::mt19937_64 rng(mix(opt.seed * 1000003ULL + static_cast<uint64_t>(t)));
        Carved room = carve_room(rng, opt.width, opt.height, opt.fill);
        std::vector<int> floor_cells;
        for (int i = 0; i < opt.width * opt.height; ++i)
            if (room.floor[i]) floor_cells.push_back(i);
        if (static_cast<int>(floor_cells.size()) < opt.boxes * 3 + 4) continue;
        LevelGrid solved = room_to_grid(room);
        // targets in the carved area; the player on some other floor cell
        std::shuffle(floor_cells.begin(), floor_cells.end(), rng);
        if (opt.cluster) {
            // a storage area: targets taken in breadth-first order from one cell, some skipped
            std::vector<char> taken(room.width * room.height, 0);
            std::vector<int> order{floor_cells[0]}, picked;
            taken[floor_cells[0]] = 1;
            for (size_t q = 0; q < order.size() && static_cast<int>(picked.size()) < opt.boxes; ++q) {
                int i = order[q];
                if (q == 0 || rng() % 100 < 75) picked.push_back(i);
                const int nx[4] = {1, -1, 0, 0}, ny[4] = {0, 0, 1, -1};
                for (int d = 0; d < 4; ++d) {
                    int x = i % room.width + nx[d], y = i / room.width + ny[d];
                    if (x < 0 || y < 0 || x >= room.width || y >= room.height) continue;
                    int j = y * room.width + x;
                    if (!room.floor[j] || taken[j]) continue;
                    taken[j] = 1;
                    order.push_back(j);
                }
            }
            if (static_cast<int>(picked.size()) < opt.boxes) continue;
            std::vector<int> rest;
            for (int i : floor_cells)
                if (std::find(picked.begin(), picked.end(), i) == picked.end()) rest.push_back(i);
            floor_cells = picked;
            floor_cells.insert(floor_cells.end(), rest.begin(), rest.end());
        }
        const int ox = AREA_FIRST_COLUMN + ((AREA_LAST_COLUMN - AREA_FIRST_COLUMN + 1) - (room.width + 2)) / 2 + 1;
        const int oy = AREA_FIRST_ROW + ((AREA_LAST_ROW - AREA_FIRST_ROW + 1) - (room.height + 2)) / 2 + 1;
        for (int b = 0; b < opt.boxes; ++b) {
            int i = floor_cells[b];
            solved.code[ox + i % room.width][oy + i / room.width] = CODE_BOX_ON_TARGET;
        }
        int pi = floor_cells[opt.boxes];
        solved.code[ox + pi % room.width][oy + pi / room.width] = CODE_PLAYER_START;
        Candidate best;
        if (opt.walks > 0) {
            walk_room(solved, opt, rng, best);
            if (best.found && (!overall.found || best.score > overall.score)) overall = best;
            continue;
        }
        explore_room(solved, opt, rng, best);
        if (!best.found) continue;
        if (overall.found && best.score <= overall.score) continue;
        SolveOptions so;
        so.time_limit = opt.solve_limit;
        so.fallback_time = 0;
        SolveResult r = solve_level(best.grid, so);
        if (!r.solved || !r.optimal || r.pushes != best.pushes) {
            std::fprintf(stderr, "try %d: pushes %d score %.1f not proven in %.1f s (solver %s, %d pushes)\n", t,
                         best.pushes, best.score, opt.solve_limit, r.solved ? "solved" : "failed", r.pushes);
            continue;
        }
        best.proof = r;
        overall = best;
        std::fprintf(stderr, "try %d: pushes %d changes %d score %.1f solved in %.2f s\n", t, best.pushes,
                     best.changes, best.score, r.seconds);
    }
    if (!overall.found) {
        std::fprintf(stderr, "no level found\n");
        return 1;
    }
    std::printf("; pushes %d changes %d solve %.2f s\n; %s\n\n%s", overall.pushes, overall.changes,
                overall.proof.seconds, overall.grid.title.c_str(), format_xsb_level(overall.grid).c_str());
    return 0;
}
