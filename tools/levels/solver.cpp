#include "solver.h"

#include "level_map.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <queue>

namespace {

constexpr int LB_INFINITE = 1 << 20;

uint64_t splitmix(uint64_t& s)
{
    uint64_t z = (s += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

struct OpenEntry {
    uint32_t f;
    uint32_t g;
    uint32_t node;
    bool operator<(const OpenEntry& o) const
    {
        if (f != o.f) return f > o.f;   // smallest f first
        return g < o.g;                 // then deepest
    }
};

struct Search {
    const LevelMap* map = nullptr;
    int k = 0;
    int weight = 1;
    std::vector<uint64_t> box_key, player_key;
    std::vector<uint8_t> boxes;     // k cells per node, sorted
    std::vector<uint8_t> player;    // smallest reachable cell
    std::vector<uint32_t> parent;
    std::vector<uint32_t> g;
    std::vector<uint8_t> moved_from, moved_dir;
    std::vector<uint64_t> hash;
    std::vector<uint32_t> table;
    uint64_t table_mask = 0;
    // scratch
    std::vector<char> occupied;
    std::vector<uint32_t> seen;
    uint32_t seen_stamp = 0;
    std::vector<uint32_t> reach;
    uint32_t reach_stamp = 0;
    std::vector<int> queue;
    std::vector<char> in_check;
    std::vector<int> frozen_list;
    std::vector<int> cost, u, v, p, way, minv;
    std::vector<char> used;
};

void init_search(Search& s, const LevelMap& map, int weight)
{
    s.map = &map;
    s.k = static_cast<int>(map.start_boxes.size());
    s.weight = weight;
    uint64_t seed = 0x5EED0F1E7E15ULL;
    s.box_key.resize(map.cells);
    s.player_key.resize(map.cells);
    for (int i = 0; i < map.cells; ++i) {
        s.box_key[i] = splitmix(seed);
        s.player_key[i] = splitmix(seed);
    }
    s.occupied.assign(map.cells, 0);
    s.seen.assign(map.cells, 0);
    s.reach.assign(map.cells, 0);
    s.in_check.assign(map.cells, 0);
    s.table.assign(1 << 16, 0);
    s.table_mask = (1 << 16) - 1;
    int n = s.k + 1;
    s.cost.assign(n * n, 0);
    s.u.assign(n, 0);
    s.v.assign(n, 0);
    s.p.assign(n, 0);
    s.way.assign(n, 0);
    s.minv.assign(n, 0);
    s.used.assign(n, 0);
}

// Marks every cell the player reaches from `from`; returns the smallest.
int flood_player(Search& s, int from)
{
    const LevelMap& m = *s.map;
    if (++s.seen_stamp == 0) {
        std::fill(s.seen.begin(), s.seen.end(), 0);
        s.seen_stamp = 1;
    }
    s.queue.clear();
    s.queue.push_back(from);
    s.seen[from] = s.seen_stamp;
    int smallest = from;
    for (size_t q = 0; q < s.queue.size(); ++q) {
        int x = s.queue[q];
        for (int d = 0; d < 4; ++d) {
            int y = m.next[x][d];
            if (y < 0 || s.occupied[y] || s.seen[y] == s.seen_stamp) continue;
            s.seen[y] = s.seen_stamp;
            s.queue.push_back(y);
            if (y < smallest) smallest = y;
        }
    }
    return smallest;
}

bool box_frozen(Search& s, int c);

// A box cannot move along an axis past walls, past dead squares on both
// sides, or past a box that is itself stuck.
bool axis_blocked(Search& s, int c, int d1, int d2)
{
    const LevelMap& m = *s.map;
    int a = m.next[c][d1], b = m.next[c][d2];
    if (a < 0 || b < 0 || s.in_check[a] || s.in_check[b]) return true;
    if (m.dead[a] && m.dead[b]) return true;
    if (s.occupied[a] && box_frozen(s, a)) return true;
    if (s.occupied[b] && box_frozen(s, b)) return true;
    return false;
}

bool box_frozen(Search& s, int c)
{
    s.in_check[c] = 1;
    bool frozen = axis_blocked(s, c, DIR_UP, DIR_DOWN) && axis_blocked(s, c, DIR_LEFT, DIR_RIGHT);
    s.in_check[c] = 0;
    if (frozen) s.frozen_list.push_back(c);
    return frozen;
}

bool freeze_deadlock(Search& s, int c)
{
    s.frozen_list.clear();
    if (!box_frozen(s, c)) return false;
    for (int b : s.frozen_list)
        if (!s.map->target[b]) return true;
    return false;
}

// Cheapest assignment of boxes to targets by push distance (Hungarian method).
int lower_bound(Search& s, const uint8_t* bx)
{
    const LevelMap& m = *s.map;
    const int n = s.k;
    const int W = n + 1;
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) {
            uint16_t d = m.push_distance[j][bx[i]];
            s.cost[(i + 1) * W + (j + 1)] = d == PUSH_UNREACHABLE ? LB_INFINITE : d;
        }
    std::fill(s.u.begin(), s.u.end(), 0);
    std::fill(s.v.begin(), s.v.end(), 0);
    std::fill(s.p.begin(), s.p.end(), 0);
    for (int i = 1; i <= n; ++i) {
        s.p[0] = i;
        int j0 = 0;
        std::fill(s.minv.begin(), s.minv.end(), INT32_MAX);
        std::fill(s.used.begin(), s.used.end(), 0);
        do {
            s.used[j0] = 1;
            int i0 = s.p[j0], delta = INT32_MAX, j1 = 0;
            for (int j = 1; j <= n; ++j)
                if (!s.used[j]) {
                    int cur = s.cost[i0 * W + j] - s.u[i0] - s.v[j];
                    if (cur < s.minv[j]) {
                        s.minv[j] = cur;
                        s.way[j] = j0;
                    }
                    if (s.minv[j] < delta) {
                        delta = s.minv[j];
                        j1 = j;
                    }
                }
            for (int j = 0; j <= n; ++j)
                if (s.used[j]) {
                    s.u[s.p[j]] += delta;
                    s.v[j] -= delta;
                } else {
                    s.minv[j] -= delta;
                }
            j0 = j1;
        } while (s.p[j0] != 0);
        do {
            int j1 = s.way[j0];
            s.p[j0] = s.p[j1];
            j0 = j1;
        } while (j0);
    }
    int total = 0;
    for (int j = 1; j <= n; ++j) {
        int c = s.cost[s.p[j] * W + j];
        if (c >= LB_INFINITE) return LB_INFINITE;
        total += c;
    }
    return total;
}

void grow_table(Search& s)
{
    size_t size = s.table.size() * 2;
    s.table.assign(size, 0);
    s.table_mask = size - 1;
    for (uint32_t i = 0; i < s.hash.size(); ++i) {
        uint64_t slot = s.hash[i] & s.table_mask;
        while (s.table[slot]) slot = (slot + 1) & s.table_mask;
        s.table[slot] = i + 1;
    }
}

// Index of the stored node with these boxes and player cell, or -1 with the free slot.
int64_t find_node(Search& s, uint64_t h, const uint8_t* bx, int pl, uint64_t& slot)
{
    slot = h & s.table_mask;
    while (s.table[slot]) {
        uint32_t n = s.table[slot] - 1;
        if (s.hash[n] == h && s.player[n] == pl && std::memcmp(&s.boxes[size_t(n) * s.k], bx, s.k) == 0) return n;
        slot = (slot + 1) & s.table_mask;
    }
    return -1;
}

uint32_t add_node(Search& s, uint64_t h, const uint8_t* bx, int pl, uint32_t parent, uint32_t g, int from, int dir,
                  uint64_t slot)
{
    uint32_t n = static_cast<uint32_t>(s.hash.size());
    s.boxes.insert(s.boxes.end(), bx, bx + s.k);
    s.player.push_back(static_cast<uint8_t>(pl));
    s.parent.push_back(parent);
    s.g.push_back(g);
    s.moved_from.push_back(static_cast<uint8_t>(from));
    s.moved_dir.push_back(static_cast<uint8_t>(dir));
    s.hash.push_back(h);
    s.table[slot] = n + 1;
    if (s.hash.size() * 2 > s.table.size()) grow_table(s);
    return n;
}

enum SearchOutcome { SEARCH_FOUND, SEARCH_EXHAUSTED, SEARCH_STOPPED };

SearchOutcome run_search(Search& s, std::chrono::steady_clock::time_point deadline, size_t max_nodes,
                         uint32_t& goal)
{
    const LevelMap& m = *s.map;
    const int k = s.k;
    std::vector<uint8_t> cur(k), child(k);
    std::copy(m.start_boxes.begin(), m.start_boxes.end(), cur.begin());
    for (int b : cur) s.occupied[b] = 1;
    int start_norm = flood_player(s, m.start_player);
    for (int b : cur) s.occupied[b] = 0;
    uint64_t h0 = s.player_key[start_norm];
    for (int b : cur) h0 ^= s.box_key[b];
    int lb0 = lower_bound(s, cur.data());
    if (lb0 >= LB_INFINITE) return SEARCH_EXHAUSTED;
    uint64_t slot;
    find_node(s, h0, cur.data(), start_norm, slot);
    uint32_t root = add_node(s, h0, cur.data(), start_norm, UINT32_MAX, 0, 0, 0, slot);
    if (lb0 == 0) {
        goal = root;
        return SEARCH_FOUND;
    }
    std::priority_queue<OpenEntry> open;
    open.push({static_cast<uint32_t>(s.weight * lb0), 0, root});
    size_t expansions = 0;
    while (!open.empty()) {
        OpenEntry e = open.top();
        open.pop();
        if (e.g != s.g[e.node]) continue;   // a shorter way here was found later
        if ((++expansions & 255) == 0 &&
            (std::chrono::steady_clock::now() > deadline || s.hash.size() > max_nodes))
            return SEARCH_STOPPED;
        const uint32_t node = e.node;
        std::memcpy(cur.data(), &s.boxes[size_t(node) * k], k);
        for (int b : cur) s.occupied[b] = 1;
        flood_player(s, s.player[node]);
        // the child floods below reuse the scratch marks, so keep this area apart
        if (++s.reach_stamp == 0) {
            std::fill(s.reach.begin(), s.reach.end(), 0);
            s.reach_stamp = 1;
        }
        for (int x : s.queue) s.reach[x] = s.reach_stamp;
        const uint64_t parent_hash = s.hash[node];
        const int parent_norm = s.player[node];
        const uint32_t g = s.g[node];
        for (int i = 0; i < k; ++i) {
            const int b = cur[i];
            for (int d = 0; d < 4; ++d) {
                int behind = m.next[b][opposite(d)], to = m.next[b][d];
                if (behind < 0 || to < 0 || s.reach[behind] != s.reach_stamp || s.occupied[to] || m.dead[to]) continue;
                s.occupied[b] = 0;
                s.occupied[to] = 1;
                if (!freeze_deadlock(s, to)) {
                    // keep the box list sorted
                    child = cur;
                    child[i] = static_cast<uint8_t>(to);
                    int j = i;
                    while (j > 0 && child[j - 1] > child[j]) {
                        std::swap(child[j - 1], child[j]);
                        --j;
                    }
                    while (j + 1 < k && child[j + 1] < child[j]) {
                        std::swap(child[j + 1], child[j]);
                        ++j;
                    }
                    int norm = flood_player(s, b);
                    uint64_t h = parent_hash ^ s.box_key[b] ^ s.box_key[to] ^ s.player_key[parent_norm] ^
                                 s.player_key[norm];
                    int64_t found = find_node(s, h, child.data(), norm, slot);
                    const uint32_t ng = g + 1;
                    // the bound only for positions that are new or reached by a shorter way
                    int lb = LB_INFINITE;
                    if (found < 0 || s.g[found] > ng) lb = lower_bound(s, child.data());
                    if (lb < LB_INFINITE) {
                        uint32_t id;
                        if (found < 0) {
                            id = add_node(s, h, child.data(), norm, node, ng, b, d, slot);
                        } else {
                            id = static_cast<uint32_t>(found);
                            s.g[id] = ng;
                            s.parent[id] = node;
                            s.moved_from[id] = static_cast<uint8_t>(b);
                            s.moved_dir[id] = static_cast<uint8_t>(d);
                        }
                        if (lb == 0) {
                            goal = id;
                            for (int x : cur) s.occupied[x] = 0;
                            s.occupied[to] = 0;
                            return SEARCH_FOUND;
                        }
                        open.push({ng + static_cast<uint32_t>(s.weight * lb), ng, id});
                    }
                }
                s.occupied[to] = 0;
                s.occupied[b] = 1;
            }
        }
        for (int b : cur) s.occupied[b] = 0;
    }
    return SEARCH_EXHAUSTED;
}

// Walks the player between pushes along shortest paths.
std::string spell_solution(const LevelMap& m, const std::vector<std::pair<int, int>>& pushes, int& move_count)
{
    std::vector<char> occupied(m.cells, 0);
    for (int b : m.start_boxes) occupied[b] = 1;
    int player = m.start_player;
    std::string out;
    std::vector<int> came(m.cells), queue;
    for (auto [from, dir] : pushes) {
        int behind = m.next[from][opposite(dir)];
        std::fill(came.begin(), came.end(), -1);
        queue.assign(1, player);
        came[player] = player;
        for (size_t q = 0; q < queue.size() && came[behind] < 0; ++q) {
            int x = queue[q];
            for (int d = 0; d < 4; ++d) {
                int y = m.next[x][d];
                if (y < 0 || occupied[y] || came[y] >= 0) continue;
                came[y] = x;
                queue.push_back(y);
            }
        }
        std::string walk;
        for (int x = behind; x != player; x = came[x]) {
            int prev = came[x];
            for (int d = 0; d < 4; ++d)
                if (m.next[prev][d] == x) walk += move_letter(d, false);
        }
        std::reverse(walk.begin(), walk.end());
        out += walk;
        out += move_letter(dir, true);
        occupied[from] = 0;
        occupied[m.next[from][dir]] = 1;
        player = from;
    }
    move_count = static_cast<int>(out.size());
    return out;
}

} // namespace

SolveResult solve_level(const LevelGrid& level, const SolveOptions& options)
{
    SolveResult result;
    auto started = std::chrono::steady_clock::now();
    LevelMap map;
    if (!build_level_map(level, map, result.error)) return result;
    for (int phase = 0; phase < 2 && !result.solved && !result.unsolvable; ++phase) {
        double limit = phase == 0 ? options.time_limit : options.fallback_time;
        if (limit <= 0) continue;
        Search s;
        init_search(s, map, phase == 0 ? 1 : 3);
        auto deadline = std::chrono::steady_clock::now() +
                        std::chrono::microseconds(static_cast<int64_t>(limit * 1e6));
        uint32_t goal = 0;
        SearchOutcome outcome = run_search(s, deadline, options.max_nodes, goal);
        result.nodes += s.hash.size();
        if (outcome == SEARCH_EXHAUSTED) result.unsolvable = true;
        if (outcome == SEARCH_FOUND) {
            std::vector<std::pair<int, int>> pushes;
            for (uint32_t n = goal; s.parent[n] != UINT32_MAX; n = s.parent[n])
                pushes.push_back({s.moved_from[n], s.moved_dir[n]});
            std::reverse(pushes.begin(), pushes.end());
            result.solved = true;
            result.optimal = phase == 0;
            result.pushes = static_cast<int>(pushes.size());
            result.lurd = spell_solution(map, pushes, result.moves);
        }
    }
    result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    return result;
}
