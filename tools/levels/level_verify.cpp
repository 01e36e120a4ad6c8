// Replays each stored solution through the move rules the game itself runs:
// the game's level reader fills the Board, arrow keys go into the keyboard
// snapshot, and every move runs its 50 frames.
#include "level_verify.h"

#include "level_grid.h"

#include "core/input.h"
#include "core/moves.h"
#include "level/board.h"
#include "level/progress.h"

#include <allegro5/allegro.h>

#include <cctype>
#include <cstdio>
#include <map>
#include <sstream>
#include <string>

namespace {

struct Replay {
    bool solved = false;
    int pushes = 0;
    int moves = 0;
    std::string fault;
};

int boxes_placed()
{
    int placed = 0;
    for (int c = 0; c < BOARD_COLUMNS; ++c)
        for (int r = 0; r < BOARD_ROWS; ++r)
            if (board.object_layer[c][r] == CELL_BOX && board.floor_layer[c][r] == CELL_TARGET) ++placed;
    return placed;
}

Replay replay_level(const std::string& path, int level, const std::string& lurd)
{
    Replay out;
    read_level_record(path.c_str(), level);
    forget_level_history();
    reset_move_state();
    for (size_t i = 0; i < lurd.size(); ++i) {
        char ch = lurd[i];
        int key = 0;
        switch (std::tolower(static_cast<unsigned char>(ch))) {
        case 'l': key = ALLEGRO_KEY_LEFT; break;
        case 'r': key = ALLEGRO_KEY_RIGHT; break;
        case 'u': key = ALLEGRO_KEY_UP; break;
        case 'd': key = ALLEGRO_KEY_DOWN; break;
        default:
            out.fault = "step " + std::to_string(i + 1) + ": '" + std::string(1, ch) + "' is not a move";
            return out;
        }
        const bool push_expected = std::isupper(static_cast<unsigned char>(ch)) != 0;
        const int pushes_before = push_count;
        release_all_keys();
        set_key_held(key, true);
        try_start_move();
        release_all_keys();
        if (move_direction == DIRECTION_NONE) {
            out.fault = "step " + std::to_string(i + 1) + " (" + std::string(1, ch) + "): the move is refused";
            return out;
        }
        if (pushing != push_expected || (push_count - pushes_before) != (push_expected ? 1 : 0)) {
            out.fault = "step " + std::to_string(i + 1) + " (" + std::string(1, ch) + "): " +
                        (pushing ? "pushes a box where the solution walks" : "walks where the solution pushes");
            return out;
        }
        // One frame per pixel, as the frame loop drives it.
        int frames = 0;
        do {
            advance_move();
        } while (move_step < MOVE_FRAMES && ++frames < 2 * MOVE_FRAMES);
        finish_move();
    }
    out.pushes = push_count;
    out.moves = static_cast<int>(move_history.size());
    out.solved = target_count > 0 && boxes_placed() == target_count;
    if (!out.solved)
        out.fault = std::to_string(boxes_placed()) + " of " + std::to_string(target_count) + " boxes on targets";
    return out;
}

} // namespace

int command_verify(const std::string& level_file, const std::string& solutions_file)
{
    std::string bytes, text;
    if (!read_whole_file(level_file, bytes)) {
        std::fprintf(stderr, "cannot read %s\n", level_file.c_str());
        return 2;
    }
    if (!read_whole_file(solutions_file, text)) {
        std::fprintf(stderr, "cannot read %s\n", solutions_file.c_str());
        return 2;
    }
    std::vector<LevelProblem> problems;
    auto levels = parse_level_file(bytes, problems);
    for (const auto& p : problems)
        std::printf("%s%s\n", p.level ? ("level " + std::to_string(p.level) + ": ").c_str() : "file: ",
                    p.text.c_str());
    std::map<int, std::string> solutions;
    std::istringstream in(text);
    std::string line;
    int bad_lines = 0;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == ';' || line[0] == '#') continue;
        std::istringstream fields(line);
        int number = 0;
        std::string lurd;
        if (!(fields >> number) || number < 1) {
            std::printf("solutions: unreadable line \"%s\"\n", line.c_str());
            ++bad_lines;
            continue;
        }
        fields >> lurd;
        solutions[number] = lurd;
    }
    sound_off = 1;   // a tool has no sound to play
    int failed = bad_lines + static_cast<int>(problems.size());
    for (int level = 1; level <= static_cast<int>(levels.size()); ++level) {
        auto it = solutions.find(level);
        if (it == solutions.end()) {
            std::printf("%02d  no solution\n", level);
            ++failed;
            continue;
        }
        Replay r = replay_level(level_file, level, it->second);
        if (r.solved) {
            std::printf("%02d  solved  pushes %d  moves %d\n", level, r.pushes, r.moves);
        } else {
            std::printf("%02d  NOT solved: %s\n", level, r.fault.c_str());
            ++failed;
        }
    }
    for (const auto& [number, lurd] : solutions)
        if (number > static_cast<int>(levels.size())) {
            std::printf("%02d  solution for a level the file does not hold\n", number);
            ++failed;
        }
    if (failed) return 1;
    std::printf("all %zu levels solved\n", levels.size());
    return 0;
}
