#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include <allegro5/allegro.h>
#include <allegro5/allegro_font.h>
#include <allegro5/allegro_ttf.h>

#include "assets/assets.h"
#include "assets/ui_texts.h"
#include "core/input.h"
#include "core/moves.h"
#include "core/status_bar.h"
#include "level/board.h"
#include "level/progress.h"
#include "screens/hotspot.h"
#include "test_support.h"

namespace {

struct SpeedCase {
    int stored;
    float stored_delay;
    int next;
    float next_delay;
};

TEST(StatusBar, SpeedKeyStepsThroughTheTableFromAnyStoredValue) {
    const SpeedCase cases[] = {
        {0, 0.002f, 1, 0.003f},  {7, 0.0f, 1, 0.003f},    {2, 0.002f, 3, 0.001f}, {3, 0.001f, 4, 0.0f},
        {4, 0.0f, 1, 0.003f},    {1, 0.003f, 2, 0.002f},
        // Far out of range: the level moves on, the rest stays as it was.
        {-5, 0.0025f, -4, 0.0025f},
    };
    release_all_keys();
    for (const SpeedCase& c : cases) {
        speed_level = c.stored;
        step_delay = c.stored_delay;
        cycle_speed();
        EXPECT_EQ(speed_level, c.next) << "from " << c.stored;
        EXPECT_FLOAT_EQ(step_delay, c.next_delay) << "from " << c.stored;
    }
}

TEST(StatusBar, SoundKeySwitchesBetweenOnAndOff) {
    const int cases[][2] = {{0, 1}, {1, 0}, {2, 0}, {7, 0}, {-1, 0}};
    release_all_keys();
    for (const auto& c : cases) {
        sound_off = c[0];
        toggle_sound();
        EXPECT_EQ(sound_off, c[1]) << "from " << c[0];
    }
}

// Distinct flat colours for every atlas piece the status bar cuts.
const Rgba BUTTONS{40, 40, 120, 255};
const Rgba INFO_LIT{200, 40, 40, 255};
const Rgba RESTART_LIT{40, 200, 40, 255};
const Rgba MENU_LIT{40, 40, 200, 255};
const Rgba ICON{250, 250, 250, 255};

class StatusBarDrawing : public testing::Test {
protected:
    ALLEGRO_BITMAP* target = nullptr;

    void SetUp() override {
        std::string media = source_dir() + "/media/";
        game_assets.font_18 = al_load_ttf_font((media + "pala.ttf").c_str(), 18, 0);
        game_assets.font_22 = al_load_ttf_font((media + "pala.ttf").c_str(), 22, 0);
        ASSERT_TRUE(game_assets.font_18 && game_assets.font_22);
        game_assets.tile_atlas = memory_bitmap(700, 744);
        al_set_target_bitmap(game_assets.tile_atlas);
        al_clear_to_color(al_map_rgba(0, 0, 0, 0));
        fill(10, 160, 300, 36, BUTTONS);
        fill(10, 205, 60, 25, INFO_LIT);
        fill(80, 205, 90, 25, RESTART_LIT);
        fill(180, 205, 70, 25, MENU_LIT);
        fill(350, 175, 50, 30, ICON);
        target = memory_bitmap(SCREEN_WIDTH, 60);
        al_set_target_bitmap(target);
        al_clear_to_color(al_map_rgb(0, 0, 0));

        ui_texts.slot[43] = "Level %d of:";
        ui_texts.slot[44] = "Speed:";
        ui_texts.slot[45] = "Pushes:";
        speed_level = 3;
        push_count = 17;
        current_level = 8;
        move_step = 0;
        hotspot_code = HOTSPOT_NONE;
        release_all_keys();
    }
    void TearDown() override {
        al_set_target_bitmap(nullptr);
        al_destroy_bitmap(target);
        al_destroy_bitmap(game_assets.tile_atlas);
        al_destroy_font(game_assets.font_18);
        al_destroy_font(game_assets.font_22);
        game_assets.tile_atlas = nullptr;
        game_assets.font_18 = game_assets.font_22 = nullptr;
        release_all_keys();
    }
    static void fill(int x, int y, int w, int h, Rgba c) {
        ALLEGRO_BITMAP* piece = al_create_sub_bitmap(game_assets.tile_atlas, x, y, w, h);
        al_set_target_bitmap(piece);
        al_clear_to_color(al_map_rgba(c.r, c.g, c.b, c.a));
        al_destroy_bitmap(piece);
        al_set_target_bitmap(game_assets.tile_atlas);
    }
    // The pixels of the speed part of the bar.
    std::vector<int> speed_strip() const {
        std::vector<int> out;
        for (int y = 0; y < 60; y++)
            for (int x = 0; x < 300; x++) out.push_back(pixel_at(target, x, y).r + 256 * pixel_at(target, x, y).b);
        return out;
    }

    // Bounding box of the pixels of exactly one colour (text cores are drawn
    // at full coverage) within a strip of columns.
    struct Box {
        int left = INT32_MAX, right = -1, top = INT32_MAX, bottom = -1;
        bool empty() const { return right < 0; }
    };
    Box find(Rgba colour, int from_x, int to_x) const {
        Box box;
        for (int y = 0; y < 60; y++)
            for (int x = from_x; x < to_x; x++)
                if (same_colour(pixel_at(target, x, y), colour, 0)) {
                    box.left = std::min(box.left, x);
                    box.right = std::max(box.right, x);
                    box.top = std::min(box.top, y);
                    box.bottom = std::max(box.bottom, y);
                }
        return box;
    }
    static int width(const ALLEGRO_FONT* font, const std::string& text) { return al_get_text_width(font, text.c_str()); }
};

const Rgba LABEL{188, 188, 188, 255};
const Rgba NUMBER{222, 222, 22, 255};
const Rgba LEVEL_NUMBER{222, 222, 2, 255};

TEST_F(StatusBarDrawing, TextsSitWhereTheyBelongInTheirColours) {
    draw_status_bar();
    const ALLEGRO_FONT* small = game_assets.font_18;
    const ALLEGRO_FONT* large = game_assets.font_22;
    int speed_label = width(small, "Speed:");
    struct Case {
        const char* what;
        Rgba colour;
        int from_x, to_x;                 // the strip searched for it
        const ALLEGRO_FONT* font;
        float x, y;
        int flags;
        const char* text;                 // as it must read there
    };
    const Case cases[] = {
        {"speed label", LABEL, 0, 300, small, 60, 23, ALLEGRO_ALIGN_LEFT, "Speed:"},
        {"speed", NUMBER, 0, 300, large, speed_label + 58.0f, 21, ALLEGRO_ALIGN_LEFT, " 3"},
        {"pushes label", LABEL, 300, 421, small, 420, 22, ALLEGRO_ALIGN_RIGHT, "Pushes:"},
        {"pushes", NUMBER, 400, 520, small, 420, 22, ALLEGRO_ALIGN_LEFT, "17"},
        {"level label", LABEL, 500, 641, small, 640, 23, ALLEGRO_ALIGN_RIGHT, "Level 8 of:"},
        {"level", LEVEL_NUMBER, 600, 740, large, 645, 21, ALLEGRO_ALIGN_LEFT, "8"},
    };
    ALLEGRO_BITMAP* drawn = al_clone_bitmap(target);
    for (const Case& c : cases) {
        al_set_target_bitmap(target);
        al_clear_to_color(al_map_rgb(0, 0, 0));
        al_draw_text(c.font, al_map_rgb(c.colour.r, c.colour.g, c.colour.b), c.x, c.y, c.flags, c.text);
        Box expected = find(c.colour, c.from_x, c.to_x);
        std::swap(target, drawn);
        Box seen = find(c.colour, c.from_x, c.to_x);
        std::swap(target, drawn);
        ASSERT_FALSE(expected.empty()) << c.what;
        EXPECT_EQ(seen.left, expected.left) << c.what;
        EXPECT_EQ(seen.right, expected.right) << c.what;
        EXPECT_EQ(seen.top, expected.top) << c.what;
        EXPECT_EQ(seen.bottom, expected.bottom) << c.what;
    }
    std::swap(target, drawn);
    EXPECT_TRUE(find(NUMBER, 600, 740).empty()) << "the level number is blue 2, not 22";
    std::swap(target, drawn);
    al_destroy_bitmap(drawn);
}

TEST_F(StatusBarDrawing, HighlightFollowsTheButtonUnderThePointer) {
    struct Case {
        int code;
        int x, y;       // a pixel inside the highlight's place
        Rgba expected;
    };
    const Case cases[] = {
        {HOTSPOT_NONE, 770, 30, BUTTONS},   {HOTSPOT_INFO, 770, 30, INFO_LIT},
        {HOTSPOT_INFO, 741, 19, INFO_LIT},  {HOTSPOT_INFO, 740, 19, BUTTONS},
        {HOTSPOT_RESTART, 855, 30, RESTART_LIT}, {HOTSPOT_RESTART, 770, 30, BUTTONS},
        {HOTSPOT_MENU, 945, 43, MENU_LIT},  {HOTSPOT_MENU, 945, 44, BUTTONS},
        {HOTSPOT_MENU_LEVELS, 770, 30, BUTTONS},
    };
    for (const Case& c : cases) {
        hotspot_code = c.code;
        al_clear_to_color(al_map_rgb(0, 0, 0));
        draw_status_bar();
        EXPECT_TRUE(same_colour(pixel_at(target, c.x, c.y), c.expected))
            << "code " << c.code << " at (" << c.x << ", " << c.y << ")";
    }
    EXPECT_TRUE(same_colour(pixel_at(target, 1023, 13), BUTTONS));
    EXPECT_TRUE(same_colour(pixel_at(target, 740, 48), BUTTONS));
}

TEST_F(StatusBarDrawing, SpeedKeyActsOnlyWhenIdleAndShowsFromTheNextFrame) {
    set_key_held(ALLEGRO_KEY_S, true);
    move_step = 12;
    draw_status_bar();
    EXPECT_EQ(speed_level, 3);

    set_key_held(ALLEGRO_KEY_S, true);
    move_step = 0;
    al_clear_to_color(al_map_rgb(0, 0, 0));
    draw_status_bar();
    EXPECT_EQ(speed_level, 4);
    std::vector<int> pressed = speed_strip();

    // The frame of the press still shows 3; the next one shows 4.
    speed_level = 3;
    al_clear_to_color(al_map_rgb(0, 0, 0));
    draw_status_bar();
    EXPECT_EQ(speed_strip(), pressed);
    speed_level = 4;
    al_clear_to_color(al_map_rgb(0, 0, 0));
    draw_status_bar();
    EXPECT_NE(speed_strip(), pressed);
}

TEST_F(StatusBarDrawing, SoundIconDarkensOnlyWhenTheCuesAreOff) {
    const int cases[][2] = {{0, 0}, {1, 1}, {2, 0}};
    for (const auto& c : cases) {
        sound_off = c[0];
        al_clear_to_color(al_map_rgb(0, 0, 0));
        draw_sound_icon();
        Rgba inside = pixel_at(target, 483 + 25, 15 + 15);
        Rgba corner = pixel_at(target, 483, 15);
        EXPECT_TRUE(same_colour(corner, inside)) << "the whole icon is one colour";
        if (c[1]) EXPECT_LT(inside.r, 120) << "sound_off " << c[0];
        else EXPECT_TRUE(same_colour(inside, ICON)) << "sound_off " << c[0];
        EXPECT_TRUE(same_colour(pixel_at(target, 482, 15), {0, 0, 0, 255}));
        EXPECT_TRUE(same_colour(pixel_at(target, 533, 15), {0, 0, 0, 255}));
    }
}

}  // namespace
