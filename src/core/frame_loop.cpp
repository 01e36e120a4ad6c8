#include "core/frame_loop.h"

#include <cstdio>

#include "assets/assets.h"
#include "core/input.h"
#include "core/moves.h"
#include "core/status_bar.h"
#include "level/board.h"
#include "level/progress.h"
#include "render/board_renderer.h"
#include "render/fades.h"
#include "render/info_panel.h"
#include "render/title.h"
#include "screens/hotspot.h"
#include "screens/menu.h"
#include "screens/result.h"

int quit_requested = 0;
bool undo_pause = false;

constexpr int HIGHEST_START_LEVEL = 40;
constexpr float TITLE_FADE_STEP = 0.03f;
constexpr double TITLE_HOLD_SECONDS = 2.0;
constexpr double PUSH_EXTRA_REST = 0.001;
constexpr double UNDO_REST = 0.1;
constexpr const char* SNAPSHOT_FILE = "ekran.png";

void run_start_sequence() {
    start_up();
    load_progress();
    // From here on a fatal display failure still keeps the player's progress.
    before_fatal_exit = save_progress;

    if (unlocked_level < 1 || unlocked_level > HIGHEST_START_LEVEL) unlocked_level = 1;
    current_level = unlocked_level;
    quit_requested = 0;

    draw_title();
    fade_in_screen_buffer(TITLE_FADE_STEP);
    // The result screen's first-use costs are paid while the title stands.
    double hold_start = al_get_time();
    prepare_result_screen();
    double hold_left = TITLE_HOLD_SECONDS - (al_get_time() - hold_start);
    if (hold_left > 0) al_rest(hold_left);
    fade_out();

    push_count = 0;
    load_level();
    build_up_level();
    fade_in_board();

    forget_level_history();
    reset_move_state();
}

// A level load while a move is under way would let the rest of the move run
// from the new start: the move is cancelled with it.
static void start_level_afresh() {
    forget_level_history();
    reset_move_state();
}

bool run_frame() {
    read_keyboard();
    update_hotspot();
    if (move_step == 0) try_start_move();
    advance_move();

    boxes_on_targets = 0;
    target_back_buffer();
    draw_board();
    draw_figures();
    draw_status_bar();

    if (key_held(ALLEGRO_KEY_I) || hotspot_clicked(HOTSPOT_INFO)) draw_info_panel();

    if (key_held(ALLEGRO_KEY_R) || hotspot_clicked(HOTSPOT_RESTART)) {
        load_level();
        start_level_afresh();
    }

    if (boxes_on_targets == target_count) {
        save_progress();
        show_result();
        start_level_afresh();
    }

    if (hotspot_clicked(HOTSPOT_MENU) && show_menu(&quit_requested)) start_level_afresh();

    undo_pause = false;
    if (move_step == 0 && key_held(ALLEGRO_KEY_BACKSPACE) && !move_history.empty()) {
        undo_last_move();
        undo_pause = true;
    }

    if (move_step == 0 && key_held(ALLEGRO_KEY_M)) toggle_sound();
    draw_sound_icon();
    if (key_held(ALLEGRO_KEY_F12)) toggle_display_mode();

    al_flip_display();
    if (move_step == MOVE_FRAMES) finish_move();

    al_rest(step_delay);
    if (pushing) al_rest(PUSH_EXTRA_REST);
    if (undo_pause) al_rest(UNDO_REST);

    return !(key_held(ALLEGRO_KEY_ESCAPE) || quit_requested == 1);
}

void run_quit_sequence() {
    remove(SNAPSHOT_FILE);
    save_progress();
    shut_down();
}
