#include "assets/assets.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include <fcntl.h>
#include <unistd.h>

#include <allegro5/allegro_acodec.h>
#include <allegro5/allegro_image.h>
#include <allegro5/allegro_primitives.h>
#include <allegro5/allegro_ttf.h>

#include "assets/ui_texts.h"
#include "render/board_renderer.h"
#include "render/fades.h"

GameAssets game_assets;
int display_mode = 0;
bool audio_ready = false;
void (*before_fatal_exit)() = nullptr;

constexpr int ATLAS_MIN_WIDTH = 700;
constexpr int ATLAS_MIN_HEIGHT = 744;
constexpr int RESERVED_SAMPLES = 4;

static std::string working_folder() {
    std::error_code error;
    std::string folder = std::filesystem::current_path(error).string();
    return error ? std::string("?") : folder;
}

void fail_to_load(const char* path) {
    if (before_fatal_exit) before_fatal_exit();
    std::error_code error;
    if (std::filesystem::exists(path, error))
        fprintf(stderr, "pelmak: cannot decode %s (working folder %s): the file is damaged; remake media/ with make media\n",
                path, working_folder().c_str());
    else
        fprintf(stderr, "pelmak: cannot load %s (working folder %s): run the game from the folder that holds media/\n",
                path, working_folder().c_str());
    exit(1);
}

static void fail_without_display() {
    if (before_fatal_exit) before_fatal_exit();
    fprintf(stderr, "pelmak: cannot open a %d x %d display (working folder %s): is there a screen (DISPLAY)?\n",
            SCREEN_WIDTH, SCREEN_HEIGHT, working_folder().c_str());
    exit(1);
}

static void initialise_library() {
    // Each of these is a no-op when already done, so a second start_up is cheap.
    if (!al_init() || !al_init_image_addon() || !al_init_primitives_addon() || !al_init_font_addon() ||
        !al_init_ttf_addon()) {
        fprintf(stderr, "pelmak: cannot initialise the Allegro library\n");
        exit(1);
    }
    al_init_acodec_addon();
    if (!al_is_audio_installed()) {
        // The sound drivers complain on stderr when there is no device; a game
        // without sound is normal, so their lines are kept out of the player's way.
        fflush(stderr);
        int saved_stderr = dup(2);
        int null_device = open("/dev/null", O_WRONLY);
        if (null_device >= 0) dup2(null_device, 2);
        // Without a sound device Allegro would assert on the first sample played.
        audio_ready = al_install_audio() && al_reserve_samples(RESERVED_SAMPLES);
        if (!audio_ready && al_is_audio_installed()) al_uninstall_audio();
        fflush(stderr);
        if (saved_stderr >= 0) dup2(saved_stderr, 2), close(saved_stderr);
        if (null_device >= 0) close(null_device);
    }
}

static ALLEGRO_DISPLAY* open_display(int mode) {
    al_set_new_display_flags(mode == 1 ? ALLEGRO_FULLSCREEN : ALLEGRO_WINDOWED);
    // The game is paced by its own rests, frame by frame, not by the refresh.
    al_set_new_display_option(ALLEGRO_VSYNC, 2, ALLEGRO_SUGGEST);
    return al_create_display(SCREEN_WIDTH, SCREEN_HEIGHT);
}

ALLEGRO_BITMAP* create_screen_picture() {
    ALLEGRO_BITMAP* picture = al_create_bitmap(SCREEN_WIDTH, SCREEN_HEIGHT);
    if (!picture) fail_to_load("a 1024 x 768 work picture");
    ALLEGRO_STATE state;
    al_store_state(&state, ALLEGRO_STATE_TARGET_BITMAP);
    al_set_target_bitmap(picture);
    al_clear_to_color(al_map_rgba(0, 0, 0, 0));
    al_restore_state(&state);
    return picture;
}

static ALLEGRO_BITMAP* load_picture(const char* path) {
    ALLEGRO_BITMAP* picture = al_load_bitmap(path);
    if (!picture) fail_to_load(path);
    return picture;
}

static ALLEGRO_FONT* load_font(const char* path, int size) {
    ALLEGRO_FONT* font = al_load_ttf_font(path, size, 0);
    if (!font) fail_to_load(path);
    return font;
}

static ALLEGRO_SAMPLE* load_sound(const char* path) {
    ALLEGRO_SAMPLE* sample = al_load_sample(path);
    if (!sample) fail_to_load(path);
    return sample;
}

void target_back_buffer() {
    al_set_target_backbuffer(game_assets.display);
}

void start_up() {
    initialise_library();

    game_assets.display = open_display(display_mode);
    if (!game_assets.display && display_mode == 1) {
        // No 1024 x 768 mode on this monitor: play on in a window.
        display_mode = 0;
        game_assets.display = open_display(0);
    }
    if (!game_assets.display) game_assets.display = open_display(0);
    if (!game_assets.display) fail_without_display();
    // The keyboard and mouse drivers need the display's connection.
    if (!al_install_keyboard() || !al_install_mouse()) {
        fprintf(stderr, "pelmak: cannot use the keyboard and mouse\n");
        exit(1);
    }
    al_set_window_title(game_assets.display, WINDOW_TITLE);

    game_assets.screen_buffer = create_screen_picture();
    game_assets.spare_buffer = create_screen_picture();
    game_assets.background = create_screen_picture();
    game_assets.banner = load_picture("media/tm.png");
    game_assets.result_buffer = create_screen_picture();
    game_assets.tile_atlas = load_picture("media/gr333.png");
    if (al_get_bitmap_width(game_assets.tile_atlas) < ATLAS_MIN_WIDTH ||
        al_get_bitmap_height(game_assets.tile_atlas) < ATLAS_MIN_HEIGHT)
        fail_to_load("media/gr333.png");
    al_convert_mask_to_alpha(game_assets.tile_atlas, al_map_rgb(255, 0, 255));
    game_assets.result_picture = load_picture("media/mil2.png");

    game_assets.font_bold_40 = load_font("media/palab.ttf", 40);
    game_assets.font_bold_26 = load_font("media/palab.ttf", 26);
    game_assets.font_22 = load_font("media/pala.ttf", 22);
    game_assets.font_18 = load_font("media/pala.ttf", 18);

    game_assets.sample_build = load_sound("media/s0.wav");
    game_assets.sample_push = load_sound("media/s2.wav");
    game_assets.sample_stuck = load_sound("media/s2.wav");
    game_assets.sample_result = load_sound("media/s3.wav");
    game_assets.music_track = load_sound("media/Lumavale.ogg");

    load_ui_texts();
    prepare_tile_atlas();
    target_back_buffer();
}

template <typename Handle>
static void release(Handle*& handle, void (*destroy)(Handle*)) {
    if (handle) destroy(handle);
    handle = nullptr;
}

void shut_down() {
    fade_out();
    stop_all_samples();
    // Pictures and fonts go before the display, so none is first copied to memory.
    release(game_assets.tile_atlas, al_destroy_bitmap);
    release(game_assets.spare_buffer, al_destroy_bitmap);
    release(game_assets.screen_buffer, al_destroy_bitmap);
    release(game_assets.background, al_destroy_bitmap);
    release(game_assets.result_buffer, al_destroy_bitmap);
    release(game_assets.result_picture, al_destroy_bitmap);
    release(game_assets.banner, al_destroy_bitmap);
    release(game_assets.sample_build, al_destroy_sample);
    release(game_assets.sample_push, al_destroy_sample);
    release(game_assets.sample_stuck, al_destroy_sample);
    release(game_assets.sample_result, al_destroy_sample);
    release(game_assets.music_track, al_destroy_sample);
    release(game_assets.font_bold_40, al_destroy_font);
    release(game_assets.font_bold_26, al_destroy_font);
    release(game_assets.font_22, al_destroy_font);
    release(game_assets.font_18, al_destroy_font);
    release(game_assets.display, al_destroy_display);
}

void play_sample(ALLEGRO_SAMPLE* sample, float gain, float speed) {
    if (!audio_ready || !sample) return;
    al_play_sample(sample, gain, 0.0f, speed, ALLEGRO_PLAYMODE_ONCE, nullptr);
}

void stop_all_samples() {
    if (audio_ready) al_stop_samples();
}
