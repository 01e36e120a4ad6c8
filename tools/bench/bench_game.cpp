// Benchmarks of the game's own code, run by tools/run-bench under an X server
// in a working folder that holds a copy of media/.
//
//   bench_game startup   one start_up in a fresh process, split into its parts
//   bench_game frames    frame, capture, level load and preview costs
//   bench_game growth    the memory growth over 10,000 play frames
//
// The game's code runs unchanged. The program is linked with --wrap for a few
// library calls (see CMakeLists.txt): the wrappers time them (the loads that
// make up start_up, the rests a frame takes, the flips) and feed scripted
// keyboard and mouse states to the game's own polling.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <malloc.h>
#include <fstream>
#include <string>
#include <vector>

#include <allegro5/allegro.h>
#include <allegro5/allegro_audio.h>
#include <allegro5/allegro_ttf.h>

#include "assets/assets.h"
#include "core/frame_loop.h"
#include "core/input.h"
#include "core/moves.h"
#include "core/status_bar.h"
#include "level/board.h"
#include "level/progress.h"
#include "render/board_renderer.h"
#include "screens/hotspot.h"
#include "screens/level_select.h"
#include "screens/result.h"

namespace {

using Clock = std::chrono::steady_clock;

double now_ms() { return std::chrono::duration<double, std::milli>(Clock::now().time_since_epoch()).count(); }

// --- what the wrappers measure and feed --------------------------------------------

struct Parts {
    double display = 0, pictures = 0, fonts = 0, samples = 0, music = 0;
} parts;

double rest_ms = 0;            // time spent inside al_rest since the last reset

std::vector<int> scripted_keys;  // held on top of the real keyboard
bool mouse_scripted = false;
int mouse_x = 1000, mouse_y = 740, mouse_buttons = 0;
int keyboard_reads = 0;        // reads since the frame began: a sub-loop reads many

// The level selection's script: the pointer over one of two level buttons,
// and ESC once enough passes have gone by; each flip is noted with the rests so far.
struct SelectionScript {
    bool active = false;
    bool alternate = false;
    int levels[2] = {1, 2};
    int reads = 0;
    int passes = 0;
    std::vector<std::pair<double, double>> flips;
} selection;

}  // namespace

extern "C" {
ALLEGRO_DISPLAY* __real_al_create_display(int w, int h);
ALLEGRO_BITMAP* __real_al_load_bitmap(const char* filename);
ALLEGRO_FONT* __real_al_load_ttf_font(const char* filename, int size, int flags);
ALLEGRO_SAMPLE* __real_al_load_sample(const char* filename);
void __real_al_rest(double seconds);
void __real_al_flip_display(void);
void __real_al_get_keyboard_state(ALLEGRO_KEYBOARD_STATE* state);
void __real_al_get_mouse_state(ALLEGRO_MOUSE_STATE* state);

ALLEGRO_DISPLAY* __wrap_al_create_display(int w, int h) {
    double t = now_ms();
    ALLEGRO_DISPLAY* display = __real_al_create_display(w, h);
    parts.display += now_ms() - t;
    return display;
}

ALLEGRO_BITMAP* __wrap_al_load_bitmap(const char* filename) {
    double t = now_ms();
    ALLEGRO_BITMAP* bitmap = __real_al_load_bitmap(filename);
    parts.pictures += now_ms() - t;
    return bitmap;
}

ALLEGRO_FONT* __wrap_al_load_ttf_font(const char* filename, int size, int flags) {
    double t = now_ms();
    ALLEGRO_FONT* font = __real_al_load_ttf_font(filename, size, flags);
    parts.fonts += now_ms() - t;
    return font;
}

ALLEGRO_SAMPLE* __wrap_al_load_sample(const char* filename) {
    double t = now_ms();
    ALLEGRO_SAMPLE* sample = __real_al_load_sample(filename);
    bool music = strstr(filename, ".ogg") != nullptr;
    (music ? parts.music : parts.samples) += now_ms() - t;
    return sample;
}

void __wrap_al_rest(double seconds) {
    double t = now_ms();
    __real_al_rest(seconds);
    rest_ms += now_ms() - t;
}

void __wrap_al_flip_display(void) {
    __real_al_flip_display();
    if (selection.active) selection.flips.emplace_back(now_ms(), rest_ms);
}

void __wrap_al_get_keyboard_state(ALLEGRO_KEYBOARD_STATE* state) {
    __real_al_get_keyboard_state(state);
    if (selection.active) {
        if (++selection.reads > selection.passes) state->__key_down__internal__[ALLEGRO_KEY_ESCAPE / 32] |= 1u << (ALLEGRO_KEY_ESCAPE % 32);
        return;
    }
    keyboard_reads++;
    std::vector<int> keys = scripted_keys;
    // A screen entered from the frame (a win, the menu) would wait for a key:
    // after a while in one, ESC leaves it.
    if (keyboard_reads > 3) keys.push_back(ALLEGRO_KEY_ESCAPE);
    for (int key : keys) state->__key_down__internal__[key / 32] |= 1u << (key % 32);
}

void __wrap_al_get_mouse_state(ALLEGRO_MOUSE_STATE* state) {
    __real_al_get_mouse_state(state);
    if (selection.active) {
        int level = selection.levels[selection.alternate ? selection.reads % 2 : 0];
        state->x = level_button_x(level) + 20;
        state->y = level_button_y(level) + 13;
        state->buttons = 0;
        return;
    }
    if (!mouse_scripted) return;
    state->x = mouse_x;
    state->y = mouse_y;
    state->buttons = mouse_buttons;
}
}

namespace {

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    size_t n = values.size();
    return n == 0 ? 0 : n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// What malloc has handed out and not had back, mapped blocks included.
double heap_mib() {
    struct mallinfo2 info = mallinfo2();
    return (info.uordblks + info.hblkhd) / (1024.0 * 1024.0);
}

double rss_mib() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::atof(line.c_str() + 6) / 1024.0;
    return -1;
}

void figure(const char* name, double value, const char* unit) {
    printf("%s %.3f %s\n", name, value, unit);
    fflush(stdout);
}

// The frame loop's state after a level load, as the game leaves it.
void start_level(int level) {
    current_level = level;
    load_level();
    push_count = 0;
    forget_level_history();
    reset_move_state();
}

// Most boxes, then most cells inside the walls: the most drawn per frame.
int busiest_level() {
    int best = 1, best_score = -1;
    for (int level = 1; level < level_count; level++) {
        read_level_record(LEVEL_FILE, level);
        int score = 0;
        for (int c = 0; c < BOARD_COLUMNS; c++)
            for (int r = 0; r < BOARD_ROWS; r++)
                score += (board.object_layer[c][r] == CELL_BOX) * 1000 + (board.floor_layer[c][r] >= CELL_FLOOR);
        if (score > best_score) best = level, best_score = score;
    }
    return best;
}

// One frame of the play screen, without its rests.
double play_frame() {
    keyboard_reads = 0;
    rest_ms = 0;
    double t = now_ms();
    run_frame();
    return now_ms() - t - rest_ms;
}

// The floor a frame cannot go below: two full-screen pictures and a flip.
double floor_frame(ALLEGRO_BITMAP* first, ALLEGRO_BITMAP* second) {
    double t = now_ms();
    al_draw_bitmap(first, 0, 0, 0);
    al_draw_bitmap(second, 0, 0, 0);
    al_flip_display();
    return now_ms() - t;
}

double cpu_ms() {
    timespec t;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

void bench_startup() {
    double t = now_ms(), cpu = cpu_ms();
    start_up();
    double total = now_ms() - t;
    figure("startup_ms", total, "ms");
    // On a shared machine the wall clock also counts waiting for a processor.
    figure("startup_cpu_ms", cpu_ms() - cpu, "ms");
    figure("startup_display_ms", parts.display, "ms");
    figure("startup_pictures_ms", parts.pictures, "ms");
    figure("startup_fonts_ms", parts.fonts, "ms");
    figure("startup_samples_ms", parts.samples, "ms");
    figure("startup_music_ms", parts.music, "ms");
    figure("startup_rest_of_it_ms",
           total - parts.display - parts.pictures - parts.fonts - parts.samples - parts.music, "ms");
    // Memory once play could begin: the progress read and the first level loaded.
    load_progress();
    start_level(1);
    play_frame();
    figure("rss_mb", rss_mib(), "MiB");
}

void bench_frames() {
    start_up();
    load_progress();
    prepare_result_screen();
    mouse_scripted = true;   // the pointer rests over no button
    const int busiest = busiest_level();
    fprintf(stderr, "bench: busiest level %d of %d\n", busiest, level_count - 1);
    start_level(busiest);

    // A second full-screen picture for the floor frame: another level's background.
    ALLEGRO_BITMAP* other = al_load_bitmap(background_picture_name(busiest + 10).c_str());
    if (!other) other = al_load_bitmap(background_picture_name(1).c_str());
    ALLEGRO_BITMAP* first = game_assets.background;

    // Frames, interleaved so both see the same machine.
    const int WARM_UP = 60, FRAMES = 600;
    std::vector<double> play, floor;
    for (int i = 0; i < WARM_UP + FRAMES; i++) {
        double p = play_frame();
        double f = floor_frame(first, other);
        if (i >= WARM_UP) play.push_back(p), floor.push_back(f);
    }
    double floor_ms = median(floor);
    figure("play_frame_ms", median(play), "ms");
    figure("floor_frame_ms", floor_ms, "ms");
    figure("frame_ratio", median(play) / floor_ms, "x");

    // The result screen's capture and panel, from a frame drawn as the solved
    // frame has it (not yet flipped); floor frames in between.
    std::vector<double> capture, capture_floor;
    for (int i = 0; i < 5 + 40; i++) {
        target_back_buffer();
        draw_board();
        draw_figures();
        draw_status_bar();
        double t = now_ms();
        capture_displayed_frame();
        compose_result_screen();
        double c = now_ms() - t;
        al_flip_display();
        double f = floor_frame(first, other);
        if (i >= 5) capture.push_back(c), capture_floor.push_back(f);
    }
    figure("capture_ms", median(capture), "ms");
    figure("capture_ratio", median(capture) / median(capture_floor), "x");

    // load_level against decoding its background picture alone.
    std::vector<double> loads, decodes;
    std::string picture = background_picture_name(busiest);
    for (int i = 0; i < 3 + 40; i++) {
        double t = now_ms();
        load_level();
        double l = now_ms() - t;
        t = now_ms();
        ALLEGRO_BITMAP* decoded = al_load_bitmap(picture.c_str());
        al_destroy_bitmap(decoded);
        double d = now_ms() - t;
        if (i >= 3) loads.push_back(l), decodes.push_back(d);
    }
    figure("load_level_ms", median(loads), "ms");
    figure("decode_picture_ms", median(decodes), "ms");
    figure("load_level_ratio", median(loads) / median(decodes), "x");

    // The level selection, the pointer moving between two level buttons on
    // every pass, so each pass previews another level; then passes that keep one.
    int saved_unlocked = unlocked_level;
    unlocked_level = std::min(level_count - 1, LEVEL_BUTTONS);
    const int a = busiest, b = busiest > 1 ? busiest - 1 : busiest + 1;
    for (bool alternate : {true, false}) {
        selection.active = true;
        selection.alternate = alternate;
        selection.levels[0] = a, selection.levels[1] = b;
        selection.reads = 0;
        selection.passes = 130;
        selection.flips.clear();
        release_all_keys();
        scripted_keys.clear();
        current_level = a;
        load_level();
        select_level();
        selection.active = false;
        std::vector<double> passes;
        for (size_t k = 11; k < selection.flips.size(); k++)
            passes.push_back(selection.flips[k].first - selection.flips[k - 1].first -
                             (selection.flips[k].second - selection.flips[k - 1].second));
        figure(alternate ? "preview_ms" : "selection_pass_ms", median(passes), "ms");
    }
    unlocked_level = saved_unlocked;
    release_all_keys();

    al_destroy_bitmap(other);
}

// Memory over 10,800 play frames of a random walk with pushes, undos and
// restarts on the busiest level (which a random walk does not solve), after 2,000 frames that let every cache and pool reach
// its size. The resident size swings by a few MiB with the restarts, which
// free and make again the background texture, in a period of 3,600 frames:
// the growth is the highest sample of the last period less the highest of
// the first, sampling every 300 frames.
void bench_growth() {
    start_up();
    load_progress();
    prepare_result_screen();
    mouse_scripted = true;
    step_delay = 0.0f;
    start_level(busiest_level());
    const int CYCLE = 400, WARM_UP = 2000, PERIOD = 3 * 3 * CYCLE, FRAMES = 3 * PERIOD, SAMPLE_EVERY = 300;
    const int keys[] = {ALLEGRO_KEY_RIGHT, ALLEGRO_KEY_DOWN, ALLEGRO_KEY_LEFT, ALLEGRO_KEY_UP};
    std::vector<double> samples, heap;
    int moves = 0, pushes = 0, undos = 0, restarts = 0, direction = 0;
    unsigned random = 12345;
    for (int frame = 0; frame < WARM_UP + FRAMES; frame++) {
        int in_cycle = frame % CYCLE;
        scripted_keys.clear();
        bool restart = in_cycle == 390 && frame / CYCLE % 3 == 2;
        if (in_cycle < 320) scripted_keys.push_back(keys[direction]);
        else if (in_cycle < 324) scripted_keys.push_back(ALLEGRO_KEY_BACKSPACE);
        else if (restart) scripted_keys.push_back(ALLEGRO_KEY_R), restarts++;
        size_t history = move_history.size();
        int pushed = push_count;
        play_frame();
        if (move_history.size() > history) moves++;
        if (push_count > pushed) pushes++;
        if (move_history.size() < history && !restart) undos++;
        // A fresh direction whenever the figure stands: a random walk.
        if (move_step == 0) {
            random = random * 1103515245u + 12345u;
            direction = (random >> 16) % 4;
        }
        if (frame >= WARM_UP && (frame + 1 - WARM_UP) % SAMPLE_EVERY == 0) {
            samples.push_back(rss_mib());
            heap.push_back(heap_mib());
            fprintf(stderr, "bench: rss %.2f MiB, heap %.3f MiB after %d frames\n", samples.back(), heap.back(),
                    frame + 1);
        }
    }
    scripted_keys.clear();
    fprintf(stderr, "bench: %d moves, %d pushes, %d undos, %d restarts; level %d at the end\n", moves, pushes, undos,
            restarts, current_level);
    size_t per_period = PERIOD / SAMPLE_EVERY;
    double first = *std::max_element(samples.begin(), samples.begin() + per_period);
    double last = *std::max_element(samples.end() - per_period, samples.end());
    figure("rss_growth_mb", last - first, "MiB");
    // The same for the heap alone, which tells a leak from pages the allocator keeps.
    first = *std::max_element(heap.begin(), heap.begin() + per_period);
    last = *std::max_element(heap.end() - per_period, heap.end());
    figure("heap_growth_mb", last - first, "MiB");
}

}  // namespace

int main(int argc, char** argv) {
    std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "startup") bench_startup();
    else if (mode == "frames") bench_frames();
    else if (mode == "growth") bench_growth();
    else {
        fprintf(stderr, "usage: bench_game startup|frames|growth\n");
        return 2;
    }
    return 0;
}
