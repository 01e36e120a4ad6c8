#include "level_grid.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>

bool code_is_outside(int code) { return code == CODE_OUTSIDE || code == CODE_OUTSIDE_ALT; }
bool code_has_box(int code) { return code == CODE_BOX || code == CODE_BOX_ON_TARGET; }
bool code_is_target(int code) { return code == CODE_TARGET || code == CODE_BOX_ON_TARGET; }

namespace {

std::vector<std::string> split_lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::string line;
    std::istringstream in(text);
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

bool is_board_line(const std::string& line)
{
    bool has_wall = false;
    for (char ch : line) {
        if (ch == '#') has_wall = true;
        else if (std::string(" -_.$*@+").find(ch) == std::string::npos) return false;
    }
    return has_wall;
}

std::string trim(const std::string& s)
{
    size_t a = 0, b = s.size();
    while (a < b && std::isspace(static_cast<unsigned char>(s[a]))) ++a;
    while (b > a && std::isspace(static_cast<unsigned char>(s[b - 1]))) --b;
    return s.substr(a, b - a);
}

// "; 07 Title", "07 Title", "Title: X" all give the bare title.
std::string title_from_comment(std::string text)
{
    text = trim(text);
    if (text.rfind("Title:", 0) == 0) return trim(text.substr(6));
    size_t i = 0;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) ++i;
    if (i > 0 && (i == text.size() || text[i] == ' ')) text = trim(text.substr(i));
    if (text.rfind("Level ", 0) == 0 && text.size() > 6 && std::isdigit(static_cast<unsigned char>(text[6]))) {
        size_t j = 6;
        while (j < text.size() && (std::isdigit(static_cast<unsigned char>(text[j])) || text[j] == ':')) ++j;
        text = trim(text.substr(j));
    }
    return text;
}

void add_problem(std::vector<LevelProblem>& problems, int level, const std::string& text)
{
    problems.push_back({level, text});
}

LevelGrid grid_from_block(const std::vector<std::string>& block, const std::string& title, int number,
                          std::vector<LevelProblem>& problems, bool& ok)
{
    LevelGrid grid;
    grid.title = title;
    ok = false;
    int height = static_cast<int>(block.size());
    int width = 0;
    for (const auto& line : block) width = std::max(width, static_cast<int>(line.size()));
    const int max_w = AREA_LAST_COLUMN - AREA_FIRST_COLUMN + 1;
    const int max_h = AREA_LAST_ROW - AREA_FIRST_ROW + 1;
    if (width > max_w || height > max_h) {
        add_problem(problems, number, "level is " + std::to_string(width) + " x " + std::to_string(height) +
                                          ", larger than the " + std::to_string(max_w) + " x " +
                                          std::to_string(max_h) + " that fits the board");
        return grid;
    }
    auto at = [&](int x, int y) -> char {
        if (y < 0 || y >= height || x < 0 || x >= static_cast<int>(block[y].size())) return ' ';
        return block[y][x];
    };
    int px = -1, py = -1, players = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            char ch = at(x, y);
            if (ch == '@' || ch == '+') {
                ++players;
                px = x;
                py = y;
            }
            if (ch == '+')
                add_problem(problems, number, "the player starts on a target, which the level file cannot hold");
        }
    if (players != 1) {
        add_problem(problems, number, players == 0 ? "no player" : std::to_string(players) + " players");
        return grid;
    }
    // What the player can reach is inside; a walk off the block means the room is open.
    std::vector<std::vector<char>> inside(height, std::vector<char>(width, 0));
    std::vector<std::pair<int, int>> stack{{px, py}};
    inside[py][px] = 1;
    bool open = false;
    while (!stack.empty()) {
        auto [x, y] = stack.back();
        stack.pop_back();
        const int dx[4] = {1, -1, 0, 0}, dy[4] = {0, 0, 1, -1};
        for (int d = 0; d < 4; ++d) {
            int nx = x + dx[d], ny = y + dy[d];
            if (nx < 0 || ny < 0 || nx >= width || ny >= height) {
                open = true;
                continue;
            }
            if (at(nx, ny) == '#' || inside[ny][nx]) continue;
            inside[ny][nx] = 1;
            stack.push_back({nx, ny});
        }
    }
    if (open) add_problem(problems, number, "the room is not closed: the player can walk off the level");
    const int ox = AREA_FIRST_COLUMN + (max_w - width) / 2;
    const int oy = AREA_FIRST_ROW + (max_h - height) / 2;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            char ch = at(x, y);
            int code = CODE_OUTSIDE;
            switch (ch) {
            case '#': code = CODE_WALL; break;
            case '.': code = CODE_TARGET; break;
            case '$': code = CODE_BOX; break;
            case '*': code = CODE_BOX_ON_TARGET; break;
            case '@': code = CODE_PLAYER_START; break;
            case '+': code = CODE_PLAYER_START; break;
            default: code = inside[y][x] ? CODE_FLOOR : CODE_OUTSIDE; break;
            }
            grid.code[ox + x][oy + y] = code;
        }
    ok = true;
    return grid;
}

} // namespace

std::vector<LevelGrid> parse_xsb(const std::string& text, std::vector<LevelProblem>& problems)
{
    std::vector<LevelGrid> levels;
    auto lines = split_lines(text);
    std::string pending_title;
    size_t i = 0;
    while (i < lines.size()) {
        const std::string& line = lines[i];
        if (is_board_line(line)) {
            std::vector<std::string> block;
            while (i < lines.size() && is_board_line(lines[i])) block.push_back(lines[i++]);
            // Trailing "Title: x" after a block also names it.
            if (pending_title.empty() && i < lines.size() && trim(lines[i]).rfind("Title:", 0) == 0)
                pending_title = title_from_comment(lines[i]);
            int number = static_cast<int>(levels.size()) + 1;
            bool ok = false;
            LevelGrid grid = grid_from_block(block, pending_title.empty() ? "Level " + std::to_string(number)
                                                                          : pending_title,
                                             number, problems, ok);
            levels.push_back(grid);
            pending_title.clear();
            continue;
        }
        std::string t = trim(line);
        if (!t.empty() && t[0] == ';') pending_title = title_from_comment(t.substr(1));
        ++i;
    }
    return levels;
}

RoomBounds room_bounds(const LevelGrid& level)
{
    RoomBounds bounds{GRID_COLUMNS, -1, GRID_ROWS, -1};
    for (int c = 0; c < GRID_COLUMNS; ++c)
        for (int r = 0; r < GRID_ROWS; ++r)
            if (!code_is_outside(level.code[c][r])) {
                bounds.min_c = std::min(bounds.min_c, c);
                bounds.max_c = std::max(bounds.max_c, c);
                bounds.min_r = std::min(bounds.min_r, r);
                bounds.max_r = std::max(bounds.max_r, r);
            }
    return bounds;
}

std::string format_xsb_level(const LevelGrid& level)
{
    auto [min_c, max_c, min_r, max_r] = room_bounds(level);
    std::string out;
    for (int r = min_r; r <= max_r; ++r) {
        std::string line;
        for (int c = min_c; c <= max_c; ++c) {
            switch (level.code[c][r]) {
            case CODE_WALL: line += '#'; break;
            case CODE_TARGET: line += '.'; break;
            case CODE_BOX: line += '$'; break;
            case CODE_BOX_ON_TARGET: line += '*'; break;
            case CODE_PLAYER_START: line += '@'; break;
            default: line += ' '; break;
            }
        }
        while (!line.empty() && line.back() == ' ') line.pop_back();
        out += line + "\n";
    }
    return out;
}

std::string format_xsb(const std::vector<LevelGrid>& levels)
{
    std::string out;
    for (size_t i = 0; i < levels.size(); ++i) {
        char head[16];
        std::snprintf(head, sizeof head, "; %02d ", static_cast<int>(i + 1));
        if (i > 0) out += "\n";
        out += head + levels[i].title + "\n\n" + format_xsb_level(levels[i]);
    }
    return out;
}

namespace {
constexpr int ROW_BYTES = 62;    // 21 codes two spaces apart and the line feed
constexpr int HEADER_BYTES = FILE_RECORD_BYTES - GRID_ROWS * ROW_BYTES;
static_assert(HEADER_BYTES == 52);
} // namespace

std::string format_level_file(const std::vector<LevelGrid>& levels)
{
    std::string out = "Pelmak Orvo levels, 21 x 16";
    out.resize(FILE_PREAMBLE_BYTES - 1, ' ');
    out += '\n';
    for (size_t i = 0; i < levels.size(); ++i) {
        char num[8];
        std::snprintf(num, sizeof num, "%02d", static_cast<int>(i + 1));
        std::string header = std::string("; ") + num + " " + levels[i].title;
        for (char& ch : header)
            if (ch == '\n' || ch == '\r') ch = ' ';
        header.resize(HEADER_BYTES - 1, ' ');
        out += header + '\n';
        for (int r = 0; r < GRID_ROWS; ++r) {
            std::string row;
            for (int c = 0; c < GRID_COLUMNS; ++c) {
                if (c > 0) row += "  ";
                int code = levels[i].code[c][r];
                // One digit per cell keeps every record the same length.
                if (code < 0 || code > CODE_BOX_ON_TARGET)
                    throw std::invalid_argument("level " + std::to_string(i + 1) + " holds cell code " +
                                                std::to_string(code));
                row += std::to_string(code);
            }
            row.resize(ROW_BYTES - 1, ' ');
            out += row + '\n';
        }
    }
    return out;
}

std::vector<LevelGrid> parse_level_file(const std::string& bytes, std::vector<LevelProblem>& problems)
{
    std::vector<LevelGrid> levels;
    if (bytes.size() < static_cast<size_t>(FILE_PREAMBLE_BYTES)) {
        add_problem(problems, 0, "file is " + std::to_string(bytes.size()) + " bytes, shorter than its " +
                                     std::to_string(FILE_PREAMBLE_BYTES) + "-byte preamble");
        return levels;
    }
    size_t body = bytes.size() - FILE_PREAMBLE_BYTES;
    size_t whole = body / FILE_RECORD_BYTES;
    if (whole == 0) add_problem(problems, 0, "file holds no level record");
    if (body % FILE_RECORD_BYTES != 0)
        add_problem(problems, static_cast<int>(whole + 1),
                    "record is " + std::to_string(body % FILE_RECORD_BYTES) + " bytes, not " +
                        std::to_string(FILE_RECORD_BYTES) + " (cut short or trailing bytes)");
    for (size_t i = 0; i < whole; ++i) {
        int number = static_cast<int>(i + 1);
        std::string rec = bytes.substr(FILE_PREAMBLE_BYTES + i * FILE_RECORD_BYTES, FILE_RECORD_BYTES);
        LevelGrid grid;
        size_t eol = rec.find('\n');
        if (eol == std::string::npos) {
            add_problem(problems, number, "record has no header line");
            levels.push_back(grid);
            continue;
        }
        std::string header = rec.substr(0, eol);
        if (!header.empty() && header.back() == '\r') header.pop_back();
        std::string t = trim(header);
        if (!t.empty() && t[0] == ';') t = t.substr(1);
        grid.title = title_from_comment(t);
        if (grid.title.empty()) grid.title = "Level " + std::to_string(number);
        std::vector<std::string> tokens;
        std::string tok;
        for (size_t k = eol + 1; k <= rec.size(); ++k) {
            char ch = k < rec.size() ? rec[k] : ' ';
            if (std::isspace(static_cast<unsigned char>(ch))) {
                if (!tok.empty()) tokens.push_back(tok);
                tok.clear();
            } else {
                tok += ch;
            }
        }
        if (tokens.size() != static_cast<size_t>(GRID_COLUMNS * GRID_ROWS))
            add_problem(problems, number, "record holds " + std::to_string(tokens.size()) + " values, not " +
                                              std::to_string(GRID_COLUMNS * GRID_ROWS));
        int bad_numbers = 0;
        for (size_t k = 0; k < tokens.size() && k < static_cast<size_t>(GRID_COLUMNS * GRID_ROWS); ++k) {
            const std::string& s = tokens[k];
            size_t start = (s[0] == '-' || s[0] == '+') ? 1 : 0;
            bool numeric = s.size() > start && s.size() < 10;
            for (size_t j = start; j < s.size() && numeric; ++j)
                numeric = std::isdigit(static_cast<unsigned char>(s[j])) != 0;
            int value = CODE_OUTSIDE;
            if (numeric) {
                value = std::stoi(s);
            } else {
                if (bad_numbers++ == 0)
                    add_problem(problems, number, "\"" + s + "\" at column " + std::to_string(k % GRID_COLUMNS) +
                                                      ", row " + std::to_string(k / GRID_COLUMNS) +
                                                      " is not a number");
                value = CODE_UNREADABLE;
            }
            grid.code[k % GRID_COLUMNS][k / GRID_COLUMNS] = value;
        }
        levels.push_back(grid);
    }
    return levels;
}

bool read_whole_file(const std::string& path, std::string& out)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream ss;
    ss << in.rdbuf();
    out = ss.str();
    return true;
}

bool write_whole_file(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out << bytes;
    return static_cast<bool>(out);
}
