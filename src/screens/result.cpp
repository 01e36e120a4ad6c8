#include "screens/result.h"

#include <allegro5/allegro_font.h>
#include <allegro5/allegro_primitives.h>

#include "assets/assets.h"
#include "assets/ui_texts.h"
#include "core/input.h"
#include "core/moves.h"
#include "level/board.h"
#include "level/progress.h"
#include "render/fades.h"
#include "render/finale.h"

int level_picked = 0;
int level_pushes[LEVEL_PUSHES_SIZE];

constexpr int SLIDE_PASSES = 250;
constexpr float SLIDE_FIRST_REST = 0.001f;
constexpr float SLIDE_REST_STEP = 0.001f;
constexpr double LOOP_REST = 0.002;
constexpr int PULSE_START = 100;
constexpr int PULSE_LOW = 120;
constexpr int PULSE_HIGH = 220;
constexpr int TICKS_PER_COUNT = 86;
constexpr int FINALE_LAST_COUNT = 102;
constexpr int BANNER_WRAP = 1800;
constexpr int DARKEN_PASSES = 21;

static ALLEGRO_COLOR black() { return al_map_rgb(0, 0, 0); }
static ALLEGRO_COLOR white() { return al_map_rgb(222, 222, 222); }
static ALLEGRO_COLOR teal() { return al_map_rgb(120, 180, 180); }
static ALLEGRO_COLOR green() { return al_map_rgb(111, 222, 111); }
static ALLEGRO_COLOR yellow() { return al_map_rgb(200, 200, 111); }

void advance_progress_after_win() {
    if (level_picked == 0) {
        current_level++;
        unlocked_level = current_level;
        solved_count++;
    } else {
        current_level = unlocked_level = solved_count + 1;
    }
    level_picked = 0;
}

int push_line_slot(int pushes) {
    int last_digit = pushes % 10;
    return last_digit == 2 || last_digit == 3 || last_digit == 4 ? 10 : 9;
}

ResultState result_state() {
    if (current_level < level_count) return RESULT_LEVEL;
    if (current_level == level_count) return RESULT_FINALE;
    return RESULT_BEYOND;
}

void record_level_pushes(int level, int pushes) {
    if (level >= 0 && level < LEVEL_PUSHES_SIZE) level_pushes[level] = pushes;
}

ResultPanel result_panel_for_heading(int heading_width) {
    int half = heading_width / 2;
    return {462 - half, 562 + half};
}

static ResultPanel current_panel() {
    return result_panel_for_heading(al_get_text_width(game_assets.font_bold_40, format_slot(6).c_str()));
}

// A straight copy, not a round trip through a PNG file: saving 1024 x 768
// takes about half a second and fails in a read-only folder.
void capture_displayed_frame() {
    ALLEGRO_BITMAP* back = al_get_backbuffer(game_assets.display);
    al_set_target_bitmap(game_assets.screen_buffer);
    ALLEGRO_TRANSFORM identity;
    al_identity_transform(&identity);
    al_use_transform(&identity);
    al_draw_bitmap(back, 0, 0, 0);
    target_back_buffer();
}

static void compose_darkened_frame() {
    al_set_target_bitmap(game_assets.spare_buffer);
    al_draw_bitmap(game_assets.screen_buffer, 0, 0, 0);
    // One batch: the passes still blend one over the other, in one draw call.
    al_hold_bitmap_drawing(true);
    for (int pass = 0; pass < DARKEN_PASSES; pass++)
        al_draw_tinted_scaled_bitmap(game_assets.tile_atlas, al_map_rgba(1, 1, 1, 8), 150, 50, 10, 10, 0, 12, 1024, 38,
                                     0);
    al_hold_bitmap_drawing(false);
}

static void compose_panel() {
    al_set_target_bitmap(game_assets.result_buffer);
    // Blank even after an ESC left the last panel standing in it.
    al_clear_to_color(al_map_rgba(0, 0, 0, 0));
    ResultPanel panel = current_panel();
    ResultState state = result_state();
    al_draw_filled_rectangle(panel.x1, RESULT_PANEL_TOP, panel.x2, RESULT_PANEL_BOTTOM, al_map_rgba(0, 0, 0, 150));
    al_draw_rectangle(panel.x1, RESULT_PANEL_TOP, panel.x2, RESULT_PANEL_BOTTOM, black(), 8);
    al_draw_rectangle(panel.x1, RESULT_PANEL_TOP, panel.x2, RESULT_PANEL_BOTTOM, green(), 2);

    const ALLEGRO_FONT* heading = game_assets.font_bold_40;
    draw_slot(heading, black(), 511, 268, ALLEGRO_ALIGN_CENTRE, 6);
    draw_slot(heading, black(), 512, 267, ALLEGRO_ALIGN_CENTRE, 6);
    draw_slot(heading, black(), 513, 268, ALLEGRO_ALIGN_CENTRE, 6);
    draw_slot(heading, black(), 512, 269, ALLEGRO_ALIGN_CENTRE, 6);
    draw_slot(heading, yellow(), 512, 268, ALLEGRO_ALIGN_CENTRE, 6);

    const ALLEGRO_FONT* lines = game_assets.font_22;
    if (state == RESULT_LEVEL) draw_slot(lines, teal(), 512, 310, ALLEGRO_ALIGN_CENTRE, 7, current_level - 1);
    if (state == RESULT_FINALE) draw_slot(lines, yellow(), 512, 310, ALLEGRO_ALIGN_CENTRE, 8, current_level - 1);
    record_level_pushes(current_level - 1, push_count);
    draw_slot(lines, teal(), 512, 340, ALLEGRO_ALIGN_CENTRE, push_line_slot(push_count), push_count);
    if (state == RESULT_LEVEL) draw_slot(lines, white(), 512, 385, ALLEGRO_ALIGN_CENTRE, 11);
    if (state == RESULT_FINALE) draw_slot(lines, white(), 512, 385, ALLEGRO_ALIGN_CENTRE, 12);
}

void compose_result_screen() {
    compose_darkened_frame();
    compose_panel();
    target_back_buffer();
}

void prepare_result_screen() {
    al_set_target_bitmap(game_assets.result_buffer);
    al_draw_bitmap(al_get_backbuffer(game_assets.display), 0, 0, 0);
    al_draw_tinted_scaled_bitmap(game_assets.tile_atlas, al_map_rgba(1, 1, 1, 8), 150, 50, 10, 10, 0, 12, 1024, 38, 0);
    al_draw_filled_rectangle(0, 0, 100, 100, al_map_rgba(0, 0, 0, 150));
    al_draw_rectangle(0, 0, 100, 100, black(), 8);
    // Every glyph the panel can need, so none is rendered into the font cache later.
    draw_slot(game_assets.font_bold_40, black(), 0, 0, 0, 6);
    for (int slot = 7; slot <= 12; slot++) draw_slot(game_assets.font_22, black(), 0, 0, 0, slot, 1234567890);
    al_clear_to_color(al_map_rgba(0, 0, 0, 0));
    target_back_buffer();
}

static void slide_panel_in() {
    float rest = SLIDE_FIRST_REST;
    for (int i = 0; i < SLIDE_PASSES; i++) {
        if (i <= 244 && i % 15 == 0) rest += SLIDE_REST_STEP;
        al_draw_bitmap(game_assets.spare_buffer, 0, 0, 0);
        al_draw_bitmap(game_assets.result_buffer, 0, i - 249, 0);
        al_rest(rest);
        al_flip_display();
    }
}

static bool enter_held() { return key_held(ALLEGRO_KEY_ENTER) || key_held(ALLEGRO_KEY_PAD_ENTER); }

// ENTER on the pictures of the last frame: on to the level now current.
static void leave_to_level() {
    capture_displayed_frame();
    al_draw_bitmap(game_assets.screen_buffer, 0, 0, 0);
    al_flip_display();
    fade_out();
    load_level();
    fade_in_board();
    al_destroy_bitmap(game_assets.result_buffer);
    game_assets.result_buffer = create_screen_picture();
    target_back_buffer();
}

struct ResultLoop {
    int pulse = PULSE_START;
    bool pulse_rising = true;
    int ticks = 0;
    int finale_count = 0;
    int finale_alpha = 0;
    bool alpha_rising = true;
    int banner_shift = 0;
    bool music_started = false;
};

static void advance_loop_values(ResultLoop& loop) {
    if (loop.pulse == PULSE_LOW) {
        loop.pulse = PULSE_LOW + 1;
        loop.pulse_rising = true;
    } else if (loop.pulse == PULSE_HIGH) {
        loop.pulse = PULSE_HIGH - 1;
        loop.pulse_rising = false;
    } else {
        loop.pulse += loop.pulse_rising ? 1 : -1;
    }
    if (loop.pulse % 10 == 0) loop.ticks++;
    if (loop.pulse % 44 == 0) {
        if (loop.alpha_rising && loop.finale_count <= 19) loop.finale_alpha++;
        if (!loop.alpha_rising && loop.finale_count > 85) loop.finale_alpha--;
    }
    if (loop.ticks > TICKS_PER_COUNT) {
        loop.ticks = 0;
        loop.finale_count++;
    }
    if (loop.finale_alpha > 254) loop.alpha_rising = false;
    else if (loop.finale_alpha <= 0) loop.alpha_rising = true;
    if (loop.finale_count > 3 && loop.pulse % 15 == 0 && ++loop.banner_shift > BANNER_WRAP) loop.banner_shift = 0;
}

static void draw_finale_pass(ResultLoop& loop, ResultPanel panel) {
    if (loop.finale_count == 1 && !loop.music_started) {
        // The finale's music plays even with the cues switched off.
        play_sample(game_assets.music_track, 0.7f, 1.0f);
        loop.music_started = true;
    }
    al_draw_rectangle(panel.x1, RESULT_PANEL_TOP, panel.x2, RESULT_PANEL_BOTTOM, al_map_rgb(0, 200, 50), 4);
    int a = loop.finale_alpha;
    ALLEGRO_COLOR fade = al_map_rgba(a, a, a, a);
    if (game_assets.background) al_draw_tinted_bitmap(game_assets.background, fade, 0, 0, 0);
    al_draw_tinted_bitmap(game_assets.result_picture, fade, 200, 150, 0);
    al_draw_textf(game_assets.font_bold_26, white(), 300, 100, ALLEGRO_ALIGN_CENTRE, "%d / 100", loop.finale_count);
    al_draw_bitmap(game_assets.banner, 1300 - loop.banner_shift, 668, 0);
    if (loop.finale_count >= 2 && loop.finale_count <= 99) {
        int t = loop.ticks;
        al_draw_rectangle(panel.x1 - 5 - t, 245 - t, panel.x2 + 5 + t, 421 + t, al_map_rgba(55, 55, 55, t),
                          10 - t / 5);
    }
    al_draw_bitmap(game_assets.result_buffer, 0, 0, 0);
}

// The run of levels starts over; the closing screen starts from the captured frame.
static void end_the_run() {
    stop_all_samples();
    unlocked_level = 1;
    current_level = 0;
    solved_count = 0;
    show_finale();
}

void show_result() {
    advance_progress_after_win();
    capture_displayed_frame();
    compose_result_screen();
    if (sound_off == 0) play_sample(game_assets.sample_result, 1.4f, 1.0f);
    slide_panel_in();

    ResultLoop loop;
    ResultPanel panel = current_panel();
    // After the closing screen only a fresh press of ENTER leads on, so the
    // press that ended the run cannot skip the closing picture.
    bool enter_locked = false;
    for (;;) {
        if (key_held(ALLEGRO_KEY_ESCAPE)) return;
        read_keyboard();
        if (enter_locked && !enter_held()) enter_locked = false;
        bool enter = enter_held() && !enter_locked;

        al_draw_bitmap(game_assets.spare_buffer, 0, 0, 0);
        advance_loop_values(loop);
        if (unlocked_level >= 2) {
            ResultState state = result_state();
            if (state == RESULT_LEVEL) {
                al_draw_bitmap(game_assets.result_buffer, 0, 0, 0);
                al_draw_rectangle(panel.x1, RESULT_PANEL_TOP, panel.x2, RESULT_PANEL_BOTTOM,
                                  al_map_rgb(0, loop.pulse, 50), 2);
            } else if (state == RESULT_FINALE) {
                draw_finale_pass(loop, panel);
            }
        }

        if (unlocked_level < level_count) {
            if (enter) {
                leave_to_level();
                return;
            }
            al_rest(LOOP_REST);
            al_flip_display();
        } else {
            bool ending = enter || loop.finale_count > FINALE_LAST_COUNT;
            // The frame is taken before the flip, while the back buffer still holds it.
            if (ending) capture_displayed_frame();
            al_rest(LOOP_REST);
            al_flip_display();
            if (ending) {
                end_the_run();
                loop.finale_count = 0;
                enter_locked = true;
            }
        }
    }
}
