#include <gtest/gtest.h>

#include <string>

#include <allegro5/allegro_font.h>
#include <allegro5/allegro_primitives.h>
#include <allegro5/allegro_ttf.h>

#include "assets/assets.h"
#include "assets/ui_texts.h"
#include "core/moves.h"
#include "level/board.h"
#include "level/progress.h"
#include "render/finale.h"
#include "screens/result.h"
#include "test_support.h"

namespace {

struct ProgressCase {
    const char* name;
    int picked, current, unlocked, solved, levels;
    int want_current, want_unlocked, want_solved;
    ResultState want_state;
};

TEST(ResultProgress, AdvancesLikeAWin) {
    const ProgressCase cases[] = {
        {"in order", 0, 5, 5, 5, 41, 6, 6, 6, RESULT_LEVEL},
        {"picked from the selection", 1, 2, 5, 5, 41, 6, 6, 5, RESULT_LEVEL},
        {"last level of the file", 0, 40, 40, 40, 41, 41, 41, 41, RESULT_FINALE},
        {"last of a two-level file", 0, 2, 2, 2, 3, 3, 3, 3, RESULT_FINALE},
        {"beyond the file", 0, 7, 7, 7, 3, 8, 8, 8, RESULT_BEYOND},
        {"picked with nothing solved", 1, 3, 1, 0, 41, 1, 1, 0, RESULT_LEVEL},
    };
    for (const ProgressCase& c : cases) {
        level_picked = c.picked;
        current_level = c.current;
        unlocked_level = c.unlocked;
        solved_count = c.solved;
        level_count = c.levels;
        advance_progress_after_win();
        EXPECT_EQ(current_level, c.want_current) << c.name;
        EXPECT_EQ(unlocked_level, c.want_unlocked) << c.name;
        EXPECT_EQ(solved_count, c.want_solved) << c.name;
        EXPECT_EQ(level_picked, 0) << c.name;
        EXPECT_EQ(result_state(), c.want_state) << c.name;
    }
}

TEST(ResultProgress, PushLineSlotFollowsTheLastDigit) {
    for (int pushes : {2, 3, 4, 12, 23, 104}) EXPECT_EQ(push_line_slot(pushes), 10) << pushes;
    for (int pushes : {0, 1, 5, 11, 20, 105}) EXPECT_EQ(push_line_slot(pushes), 9) << pushes;
}

TEST(ResultProgress, PushCountsOutsideTheTableAreDropped) {
    for (int& entry : level_pushes) entry = -7;
    for (int level : {-1, LEVEL_PUSHES_SIZE, 1000000, -2147483647}) record_level_pushes(level, 99);
    for (int entry : level_pushes) EXPECT_EQ(entry, -7);
    record_level_pushes(0, 11);
    record_level_pushes(LEVEL_PUSHES_SIZE - 1, 12);
    EXPECT_EQ(level_pushes[0], 11);
    EXPECT_EQ(level_pushes[LEVEL_PUSHES_SIZE - 1], 12);
}

TEST(ResultPanel, IsAHundredPixelsWiderThanTheHeading) {
    struct {
        int width, x1, x2;
    } cases[] = {{300, 312, 712}, {301, 312, 712}, {0, 462, 562}, {57, 434, 590}};
    for (auto c : cases) {
        ResultPanel panel = result_panel_for_heading(c.width);
        EXPECT_EQ(panel.x1, c.x1) << c.width;
        EXPECT_EQ(panel.x2, c.x2) << c.width;
    }
}

const Rgba SCREEN_GREY{200, 200, 200, 255};
const Rgba TEAL{120, 180, 180, 255};
const Rgba YELLOW{200, 200, 111, 255};
const Rgba WHITE{222, 222, 222, 255};

// Every picture the composition touches, as memory bitmaps, with real fonts.
struct ResultCompose : testing::Test {
    void SetUp() override {
        std::string media = source_dir() + "/media/";
        game_assets.font_bold_40 = al_load_ttf_font((media + "palab.ttf").c_str(), 40, 0);
        game_assets.font_22 = al_load_ttf_font((media + "pala.ttf").c_str(), 22, 0);
        ASSERT_TRUE(game_assets.font_bold_40 && game_assets.font_22);
        game_assets.screen_buffer = memory_bitmap(1024, 768);
        game_assets.spare_buffer = memory_bitmap(1024, 768);
        game_assets.result_buffer = memory_bitmap(1024, 768);
        game_assets.tile_atlas = memory_bitmap(700, 744);
        al_set_target_bitmap(game_assets.screen_buffer);
        al_clear_to_color(al_map_rgb(SCREEN_GREY.r, SCREEN_GREY.g, SCREEN_GREY.b));
        al_set_target_bitmap(game_assets.tile_atlas);
        al_clear_to_color(al_map_rgb(0, 0, 0));
        al_set_target_bitmap(game_assets.result_buffer);
        al_clear_to_color(al_map_rgba(0, 0, 0, 0));
        ui_texts.slot[6] = "Well done, well done!";
        ui_texts.slot[7] = "Level %d solved";
        ui_texts.slot[8] = "All %d levels solved";
        ui_texts.slot[9] = "Pushes: %d";
        ui_texts.slot[10] = "Pushes (few): %d";
        ui_texts.slot[11] = "Press ENTER to continue";
        ui_texts.slot[12] = "Press ENTER to finish";
        for (int& entry : level_pushes) entry = 0;
        level_count = 3;
        push_count = 17;
    }
    void TearDown() override {
        for (ALLEGRO_BITMAP** picture : {&game_assets.screen_buffer, &game_assets.spare_buffer,
                                         &game_assets.result_buffer, &game_assets.tile_atlas}) {
            al_destroy_bitmap(*picture);
            *picture = nullptr;
        }
        al_destroy_font(game_assets.font_bold_40);
        al_destroy_font(game_assets.font_22);
        game_assets.font_bold_40 = game_assets.font_22 = nullptr;
        for (int slot = 6; slot <= 12; slot++) ui_texts.slot[slot].clear();
    }

    // Pixels near a colour in a horizontal band of the result buffer.
    static int count_in_band(int top, int bottom, Rgba colour) {
        int count = 0;
        for (int y = top; y < bottom; y++)
            for (int x = 300; x < 724; x++)
                if (same_colour(pixel_at(game_assets.result_buffer, x, y), colour, 6)) count++;
        return count;
    }
};

TEST_F(ResultCompose, PanelSpansTheHeadingWidthPlusAHundred) {
    current_level = 2;
    compose_result_screen();
    int width = al_get_text_width(game_assets.font_bold_40, ui_texts.slot[6].c_str());
    int x1 = 462 - width / 2;
    int x2 = 562 + width / 2;
    ALLEGRO_BITMAP* panel = game_assets.result_buffer;
    const Rgba green{111, 222, 111, 255};
    const Rgba black{0, 0, 0, 255};
    const Rgba fill{0, 0, 0, 150};
    const Rgba none{0, 0, 0, 0};
    // The green frame sits on the edges, inside the wider black one.
    for (int y : {300, 372}) {
        EXPECT_TRUE(same_colour(pixel_at(panel, x1, y), green)) << y;
        EXPECT_TRUE(same_colour(pixel_at(panel, x2, y), green)) << y;
        EXPECT_TRUE(same_colour(pixel_at(panel, x1 - 3, y), black)) << y;
        EXPECT_TRUE(same_colour(pixel_at(panel, x2 + 3, y), black)) << y;
        EXPECT_TRUE(same_colour(pixel_at(panel, x1 + 8, y), fill)) << y;
        EXPECT_TRUE(same_colour(pixel_at(panel, x1 - 6, y), none)) << y;
        EXPECT_TRUE(same_colour(pixel_at(panel, x2 + 6, y), none)) << y;
    }
    EXPECT_TRUE(same_colour(pixel_at(panel, 512, 250), green));
    EXPECT_TRUE(same_colour(pixel_at(panel, 512, 416), green));
    EXPECT_TRUE(same_colour(pixel_at(panel, 512, 240), none));
    EXPECT_TRUE(same_colour(pixel_at(panel, 512, 426), none));
    EXPECT_GT(count_in_band(268, 316, YELLOW), 50);
}

TEST_F(ResultCompose, DarkensOnlyTheTopBandOfTheFrame) {
    current_level = 2;
    compose_result_screen();
    // 21 passes, each keeping 247 of 255 of what lies below.
    Rgba band = pixel_at(game_assets.spare_buffer, 500, 30);
    EXPECT_GE(band.r, 88);
    EXPECT_LE(band.r, 108);
    EXPECT_TRUE(same_colour(pixel_at(game_assets.spare_buffer, 500, 11), SCREEN_GREY));
    EXPECT_TRUE(same_colour(pixel_at(game_assets.spare_buffer, 500, 51), SCREEN_GREY));
    EXPECT_TRUE(same_colour(pixel_at(game_assets.spare_buffer, 500, 600), SCREEN_GREY));
}

TEST_F(ResultCompose, LinesFollowTheStateAndThePushCountIsKept) {
    struct {
        const char* name;
        int level;
        int level_line_teal, level_line_yellow, prompt_white;
    } cases[] = {
        {"more levels follow", 2, 1, 0, 1},
        {"last level", 3, 0, 1, 1},
        {"beyond the file", 9, 0, 0, 0},
    };
    for (auto c : cases) {
        current_level = c.level;
        compose_result_screen();
        EXPECT_EQ(count_in_band(310, 338, TEAL) > 20, c.level_line_teal == 1) << c.name;
        EXPECT_EQ(count_in_band(310, 338, YELLOW) > 20, c.level_line_yellow == 1) << c.name;
        EXPECT_GT(count_in_band(340, 368, TEAL), 20) << c.name;
        EXPECT_EQ(count_in_band(385, 410, WHITE) > 20, c.prompt_white == 1) << c.name;
        EXPECT_EQ(level_pushes[c.level - 1], 17) << c.name;
    }
}

TEST_F(ResultCompose, ALevelFarBeyondTheTableStillComposes) {
    current_level = 1000000;
    level_count = 3;
    compose_result_screen();
    for (int entry : level_pushes) EXPECT_EQ(entry, 0);
    EXPECT_GT(count_in_band(340, 368, TEAL), 20);
}

// The closing screen's list: 40 rows, numbers and counts right-aligned.
TEST(FinaleList, FortyRightAlignedRows) {
    std::string media = source_dir() + "/media/";
    game_assets.font_18 = al_load_ttf_font((media + "pala.ttf").c_str(), 18, 0);
    game_assets.font_bold_26 = al_load_ttf_font((media + "palab.ttf").c_str(), 26, 0);
    ASSERT_TRUE(game_assets.font_18 && game_assets.font_bold_26);
    for (int& entry : level_pushes) entry = 0;
    level_pushes[9] = 7;
    level_pushes[12] = 1234;
    ALLEGRO_BITMAP* target = memory_bitmap(1024, 768);
    al_set_target_bitmap(target);
    al_clear_to_color(al_map_rgb(0, 0, 0));
    draw_finale_texts();

    const Rgba row{122, 166, 122, 255};
    // Rightmost and leftmost row-coloured pixels of a line between two x bounds.
    auto extent = [&](int level, int from, int to) {
        int top = 58 + 17 * (level - 1), left = -1, right = -1;
        for (int y = top; y < top + 17; y++)
            for (int x = from; x < to; x++)
                if (same_colour(pixel_at(target, x, y), row, 40)) {
                    if (left < 0 || x < left) left = x;
                    if (x > right) right = x;
                }
        return std::pair{left, right};
    };
    for (int level = 1; level <= 40; level++) {
        EXPECT_GT(extent(level, 880, 940).second, 0) << "row number of level " << level;
        EXPECT_GT(extent(level, 940, 975).second, 0) << "count of level " << level;
    }
    EXPECT_EQ(extent(41, 880, 1024).second, -1) << "no 41st row";
    // "9 - " and "10 - " end on the same column, as do the counts "7" and "1234".
    EXPECT_NEAR(extent(9, 880, 940).second, extent(10, 880, 940).second, 1);
    int seven_right = extent(9, 950, 975).second;
    EXPECT_NEAR(seven_right, extent(12, 950, 975).second, 1);
    EXPECT_LE(seven_right, 970);
    EXPECT_GE(seven_right, 964);

    al_destroy_bitmap(target);
    al_destroy_font(game_assets.font_18);
    al_destroy_font(game_assets.font_bold_26);
    game_assets.font_18 = game_assets.font_bold_26 = nullptr;
}

}  // namespace
