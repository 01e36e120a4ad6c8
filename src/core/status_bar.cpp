#include "core/status_bar.h"

#include <string>

#include <allegro5/allegro.h>

#include "assets/assets.h"
#include "assets/ui_texts.h"
#include "core/input.h"
#include "core/moves.h"
#include "level/board.h"
#include "level/progress.h"
#include "render/board_renderer.h"
#include "render/fades.h"
#include "screens/hotspot.h"

constexpr const char* SNAPSHOT_FILE = "ekran.png";

constexpr int SLOT_LEVEL_LABEL = 43;
constexpr int SLOT_SPEED_LABEL = 44;
constexpr int SLOT_PUSHES_LABEL = 45;

constexpr float SPEED_DELAYS[] = {0.003f, 0.002f, 0.001f, 0.0f};
constexpr int FASTEST_SPEED = 4;

// While a setting key is held the game stands still; the short rest keeps the
// wait from taking a whole processor.
constexpr double RELEASE_POLL_REST = 0.001;

static ALLEGRO_COLOR label_colour() { return al_map_rgb(188, 188, 188); }

struct TopBarHighlight {
    int code;
    int atlas_x, atlas_y, width, height;
    int x, y;
};

constexpr TopBarHighlight TOP_BAR_HIGHLIGHTS[] = {
    {HOTSPOT_INFO, 10, 205, 60, 25, 741, 19},
    {HOTSPOT_RESTART, 80, 205, 90, 25, 811, 19},
    {HOTSPOT_MENU, 180, 205, 70, 25, 911, 19},
};

static void wait_for_release(int keycode) {
    for (;;) {
        read_keyboard();
        if (!key_held(keycode)) return;
        al_rest(RELEASE_POLL_REST);
    }
}

void draw_status_bar() {
    const ALLEGRO_FONT* small = game_assets.font_18;
    const ALLEGRO_FONT* large = game_assets.font_22;
    ALLEGRO_COLOR number_colour = al_map_rgb(222, 222, 22);

    draw_slot(small, label_colour(), 60, 23, ALLEGRO_ALIGN_LEFT, SLOT_SPEED_LABEL);
    int label_width = slot_width(small, SLOT_SPEED_LABEL);
    // Drawn before S is looked at, so a new speed shows from the next frame.
    draw_number(large, number_colour, label_width + 58, 21, ALLEGRO_ALIGN_LEFT, " %d", speed_level);
    if (move_step == 0 && key_held(ALLEGRO_KEY_S)) cycle_speed();

    draw_slot(small, label_colour(), 420, 22, ALLEGRO_ALIGN_RIGHT, SLOT_PUSHES_LABEL);
    draw_number(small, number_colour, 420, 22, ALLEGRO_ALIGN_LEFT, "%d", push_count);

    draw_slot(small, label_colour(), 640, 23, ALLEGRO_ALIGN_RIGHT, SLOT_LEVEL_LABEL, current_level);
    draw_number(large, al_map_rgb(222, 222, 2), 645, 21, ALLEGRO_ALIGN_LEFT, "%d", current_level);

    al_draw_bitmap_region(game_assets.tile_atlas, 10, 160, 300, 36, 740, 13, 0);
    for (const TopBarHighlight& highlight : TOP_BAR_HIGHLIGHTS)
        if (hotspot_code == highlight.code)
            al_draw_bitmap_region(game_assets.tile_atlas, highlight.atlas_x, highlight.atlas_y, highlight.width,
                                  highlight.height, highlight.x, highlight.y, 0);
}

void cycle_speed() {
    speed_level = speed_level >= FASTEST_SPEED ? 1 : speed_level + 1;
    // A stored value far out of range can still land outside the table.
    if (speed_level >= 1 && speed_level <= FASTEST_SPEED) step_delay = SPEED_DELAYS[speed_level - 1];
    wait_for_release(ALLEGRO_KEY_S);
}

void toggle_sound() {
    sound_off = sound_off > 0 ? 0 : sound_off + 1;
    wait_for_release(ALLEGRO_KEY_M);
}

void draw_sound_icon() {
    float x = board_offset_x + 470;
    al_draw_bitmap_region(game_assets.tile_atlas, 350, 175, 50, 30, x, 15, 0);
    if (sound_off == 1)
        al_draw_tinted_bitmap_region(game_assets.tile_atlas, al_map_rgba(10, 10, 10, 150), 350, 175, 50, 30, x, 15,
                                     0);
}

// A copy that belongs to no display, so it outlives shut_down.
static ALLEGRO_BITMAP* memory_copy(ALLEGRO_BITMAP* picture) {
    int flags = al_get_new_bitmap_flags();
    al_set_new_bitmap_flags(ALLEGRO_MEMORY_BITMAP);
    ALLEGRO_BITMAP* copy = al_clone_bitmap(picture);
    al_set_new_bitmap_flags(flags);
    return copy;
}

void toggle_display_mode() {
    display_mode = display_mode > 0 ? 0 : display_mode + 1;

    // The background goes across through the snapshot file; a folder we cannot
    // write to (or read back from) must not cost the level its picture, so a
    // copy in memory stands by.
    bool had_background = game_assets.background != nullptr;
    bool saved = had_background && al_save_bitmap(SNAPSHOT_FILE, game_assets.background);
    ALLEGRO_BITMAP* kept = had_background ? memory_copy(game_assets.background) : nullptr;

    shut_down();
    start_up();

    ALLEGRO_BITMAP* restored = saved ? al_load_bitmap(SNAPSHOT_FILE) : nullptr;
    if (!restored && kept) {
        // Into a picture of the new display, drawn as fast as the file's would be.
        al_convert_bitmap(kept);
        restored = kept;
        kept = nullptr;
    }
    if (kept) al_destroy_bitmap(kept);
    if (game_assets.background) al_destroy_bitmap(game_assets.background);
    // A level without a picture stays without one.
    game_assets.background = restored;

    target_back_buffer();
    fade_in_board();
}
