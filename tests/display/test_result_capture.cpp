#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include <time.h>

#include <allegro5/allegro_font.h>
#include <allegro5/allegro_primitives.h>
#include <allegro5/allegro_ttf.h>

#include "assets/assets.h"
#include "assets/ui_texts.h"
#include "core/moves.h"
#include "level/board.h"
#include "level/progress.h"
#include "screens/result.h"
#include "test_support.h"

namespace {

// Work done by the game's threads, the software renderer's included; unlike the
// wall clock it does not count the time other programs hold the processors.
double cpu_ms() {
    timespec now;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return now.tv_sec * 1000.0 + now.tv_nsec / 1e6;
}

// A real display, so the capture reads a real back buffer.
struct ResultCapture : testing::Test {
    void SetUp() override {
        al_set_new_display_flags(ALLEGRO_WINDOWED);
        game_assets.display = al_create_display(SCREEN_WIDTH, SCREEN_HEIGHT);
        ASSERT_NE(game_assets.display, nullptr);
        game_assets.screen_buffer = create_screen_picture();
        game_assets.spare_buffer = create_screen_picture();
        game_assets.result_buffer = create_screen_picture();
        game_assets.tile_atlas = al_create_bitmap(700, 744);
        al_set_target_bitmap(game_assets.tile_atlas);
        al_clear_to_color(al_map_rgb(30, 30, 30));
        std::string media = source_dir() + "/media/";
        game_assets.font_bold_40 = al_load_ttf_font((media + "palab.ttf").c_str(), 40, 0);
        game_assets.font_22 = al_load_ttf_font((media + "pala.ttf").c_str(), 22, 0);
        ASSERT_TRUE(game_assets.font_bold_40 && game_assets.font_22);
        ui_texts.slot[6] = "Well done!";
        ui_texts.slot[7] = "Level %d solved";
        ui_texts.slot[9] = "Pushes: %d";
        ui_texts.slot[11] = "Press ENTER to continue";
        current_level = 5;
        level_count = 41;
        push_count = 123;
    }
    void TearDown() override {
        for (ALLEGRO_BITMAP** picture : {&game_assets.screen_buffer, &game_assets.spare_buffer,
                                         &game_assets.result_buffer, &game_assets.tile_atlas}) {
            if (*picture) al_destroy_bitmap(*picture);
            *picture = nullptr;
        }
        if (game_assets.font_bold_40) al_destroy_font(game_assets.font_bold_40);
        if (game_assets.font_22) al_destroy_font(game_assets.font_22);
        game_assets.font_bold_40 = game_assets.font_22 = nullptr;
        if (game_assets.display) al_destroy_display(game_assets.display);
        game_assets.display = nullptr;
    }
    // A frame of quarters in four colours, not yet flipped.
    static void draw_frame() {
        target_back_buffer();
        al_clear_to_color(al_map_rgb(10, 20, 30));
        al_draw_filled_rectangle(0, 0, 512, 384, al_map_rgb(250, 0, 0));
        al_draw_filled_rectangle(512, 384, 1024, 768, al_map_rgb(0, 0, 250));
        al_draw_filled_rectangle(100, 600, 110, 610, al_map_rgb(0, 240, 0));
    }
};

TEST_F(ResultCapture, CopiesTheBackBufferAndComposesWithinSixtyMilliseconds) {
    // As the game does while its title shows.
    draw_frame();
    al_flip_display();
    prepare_result_screen();
    std::vector<double> wall, cpu;
    for (int run = 0; run < 7; run++) {
        draw_frame();
        // Reading a pixel back waits for the frame's drawing to be done.
        al_get_pixel(al_get_backbuffer(game_assets.display), 0, 0);
        double wall_start = al_get_time(), cpu_start = cpu_ms();
        capture_displayed_frame();
        compose_result_screen();
        // Reading the result back waits for the drawing queued for it, so that is counted too.
        al_lock_bitmap(game_assets.result_buffer, ALLEGRO_PIXEL_FORMAT_ANY, ALLEGRO_LOCK_READONLY);
        al_unlock_bitmap(game_assets.result_buffer);
        wall.push_back((al_get_time() - wall_start) * 1000.0);
        cpu.push_back(cpu_ms() - cpu_start);
        al_flip_display();
    }
    auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    };
    printf("capture + composition: first %.1f ms (%.1f ms of processor time), median %.1f ms (%.1f ms), worst %.1f ms\n",
           wall[0], cpu[0], median(wall), median(cpu), *std::max_element(wall.begin(), wall.end()));
    // Processor time, so that the test holds on a machine busy with other work.
    EXPECT_LT(cpu[0], 60.0) << "the first capture after start-up";
    EXPECT_LT(median(cpu), 60.0);

    // The screen buffer holds the frame exactly, the right way up.
    ALLEGRO_BITMAP* shot = game_assets.screen_buffer;
    EXPECT_TRUE(same_colour(pixel_at(shot, 5, 5), {250, 0, 0, 255}));
    EXPECT_TRUE(same_colour(pixel_at(shot, 1000, 760), {0, 0, 250, 255}));
    EXPECT_TRUE(same_colour(pixel_at(shot, 1000, 5), {10, 20, 30, 255}));
    EXPECT_TRUE(same_colour(pixel_at(shot, 105, 605), {0, 240, 0, 255}));
    EXPECT_TRUE(same_colour(pixel_at(shot, 111, 605), {10, 20, 30, 255}));
    EXPECT_EQ(level_pushes[4], 123);
}

}  // namespace
