// GameAssets: every library handle the game owns, made by start_up and
// released by shut_down. Whoever replaces a picture releases the old one.
#pragma once

#include <allegro5/allegro.h>
#include <allegro5/allegro_audio.h>
#include <allegro5/allegro_font.h>

constexpr int SCREEN_WIDTH = 1024;
constexpr int SCREEN_HEIGHT = 768;
constexpr const char* WINDOW_TITLE = "Pelmak Orvo v1.3";

struct GameAssets {
    ALLEGRO_DISPLAY* display;
    ALLEGRO_BITMAP* screen_buffer;
    ALLEGRO_BITMAP* spare_buffer;
    ALLEGRO_BITMAP* background;      // the level's picture; null when the level has none
    ALLEGRO_BITMAP* result_buffer;
    ALLEGRO_BITMAP* banner;          // media/tm.png
    ALLEGRO_BITMAP* tile_atlas;      // media/gr333.png, the TileAtlas
    ALLEGRO_BITMAP* result_picture;  // media/mil2.png
    ALLEGRO_FONT* font_bold_40;
    ALLEGRO_FONT* font_bold_26;
    ALLEGRO_FONT* font_22;
    ALLEGRO_FONT* font_18;
    ALLEGRO_SAMPLE* sample_build;
    ALLEGRO_SAMPLE* sample_push;
    ALLEGRO_SAMPLE* sample_stuck;
    ALLEGRO_SAMPLE* sample_result;
    ALLEGRO_SAMPLE* music_track;
};

extern GameAssets game_assets;
extern int display_mode;   // 0 window, 1 full screen
extern bool audio_ready;   // false without a sound device: then nothing is reserved or played
// Run before a fatal exit once the game is under way (saves the progress).
extern void (*before_fatal_exit)();

// Initialises the library once (safe to call again), opens the display and
// loads every asset. A display or media file that cannot be had is fatal.
void start_up();
void shut_down();

// Starts a sample once on the default mixer, centred; silently nothing
// without a sound device or a free voice.
void play_sample(ALLEGRO_SAMPLE* sample, float gain, float speed);
void stop_all_samples();

// Makes the display's back buffer the drawing target again.
void target_back_buffer();

// A 1024 x 768 blank picture in the display's format.
ALLEGRO_BITMAP* create_screen_picture();

// One line on stderr naming the file and the working folder, exit 1.
[[noreturn]] void fail_to_load(const char* path);
