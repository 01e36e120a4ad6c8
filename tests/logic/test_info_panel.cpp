#include <gtest/gtest.h>

#include <string>

#include <allegro5/allegro_font.h>
#include <allegro5/allegro_ttf.h>

#include "assets/assets.h"
#include "assets/ui_texts.h"
#include "level/progress.h"
#include "render/board_renderer.h"
#include "render/info_panel.h"
#include "test_support.h"

namespace {

const Rgba BOARD{200, 100, 50, 255};

struct InfoPanel : testing::Test {
    ALLEGRO_BITMAP* target = memory_bitmap(1024, 768);

    void SetUp() override {
        std::string media = source_dir() + "/media/";
        game_assets.font_18 = al_load_ttf_font((media + "pala.ttf").c_str(), 18, 0);
        game_assets.font_bold_26 = al_load_ttf_font((media + "palab.ttf").c_str(), 26, 0);
        ASSERT_TRUE(game_assets.font_18 && game_assets.font_bold_26);
        for (int slot = 14; slot <= 32; slot++) ui_texts.slot[slot] = "x";
        ui_texts.slot[14] = "HELP";  // no descenders to reach the line below
        ui_texts.slot[15] = "%d levels";
        level_count = 41;
        clear();
    }
    void TearDown() override {
        al_destroy_bitmap(target);
        al_destroy_font(game_assets.font_18);
        al_destroy_font(game_assets.font_bold_26);
        game_assets.font_18 = game_assets.font_bold_26 = nullptr;
        for (int slot = 14; slot <= 32; slot++) ui_texts.slot[slot].clear();
    }
    void clear() {
        al_set_target_bitmap(target);
        al_clear_to_color(al_map_rgb(BOARD.r, BOARD.g, BOARD.b));
    }
    // Left and right ends of the pixels of the level-count line.
    std::pair<int, int> count_line_extent() {
        int left = -1, right = -1;
        for (int y = 238; y < 260; y++)
            for (int x = 310; x < 715; x++)
                if (same_colour(pixel_at(target, x, y), {120, 200, 200, 255}, 60)) {
                    if (left < 0 || x < left) left = x;
                    if (x > right) right = x;
                }
        return {left, right};
    }
};

TEST_F(InfoPanel, CoversItsRectangleHalfTransparently) {
    ASSERT_EQ(board_offset_x, 13);
    EXPECT_EQ(info_panel_right(), 723);
    EXPECT_EQ(info_panel_text_centre(), 506);
    draw_info_panel();
    EXPECT_EQ(al_get_target_bitmap(), target) << "the target is left as it was";
    // The board shows through the fill at 75 of 255.
    Rgba inside = pixel_at(target, 320, 550);
    EXPECT_NEAR(inside.r, 200 * 75 / 255, 2);
    EXPECT_NEAR(inside.g, 100 * 75 / 255, 2);
    EXPECT_NEAR(inside.b, 50 * 75 / 255, 2);
    // The thin green frame lies on the edges, over the thicker dark one.
    const Rgba green{111, 222, 111, 255};
    EXPECT_TRUE(same_colour(pixel_at(target, 300, 400), green));
    EXPECT_TRUE(same_colour(pixel_at(target, 723, 400), green));
    EXPECT_TRUE(same_colour(pixel_at(target, 500, 190), green));
    EXPECT_TRUE(same_colour(pixel_at(target, 500, 566), green));
    EXPECT_LT(pixel_at(target, 298, 400).r, BOARD.r * 0.6);
    for (auto [x, y] : {std::pair{296, 400}, {727, 400}, {500, 186}, {500, 570}})
        EXPECT_TRUE(same_colour(pixel_at(target, x, y), BOARD)) << x << "," << y;
}

TEST_F(InfoPanel, ShowsTheLevelsOfTheFileCentred) {
    draw_info_panel();
    auto [left, right] = count_line_extent();
    ASSERT_GE(left, 0);
    EXPECT_NEAR((left + right) / 2.0, 506, 2.5);

    // The same line drawn from a fixed text of "40 levels" gives the same pixels.
    ALLEGRO_BITMAP* drawn = al_clone_bitmap(target);
    ui_texts.slot[15] = "40 levels";
    level_count = 7;
    clear();
    draw_info_panel();
    for (int y = 238; y < 260; y++)
        for (int x = 300; x < 724; x++)
            ASSERT_TRUE(same_colour(pixel_at(drawn, x, y), pixel_at(target, x, y), 0)) << x << "," << y;
    al_destroy_bitmap(drawn);
}

}  // namespace
