#include <gtest/gtest.h>

#include <cstring>

#include <allegro5/allegro_primitives.h>

#include "assets/assets.h"
#include "level/board.h"
#include "render/board_renderer.h"
#include "test_support.h"

namespace {

// Tile v of the fake atlas is filled with a colour that names it.
Rgba tile_colour(int value) { return {20 * value + 10, 200 - 15 * value, 100 + value, 255}; }
const Rgba BAR{250, 250, 10, 255};
const Rgba BACKGROUND{5, 60, 120, 255};

struct BoardRendererTest : testing::Test {
    ALLEGRO_BITMAP* target = memory_bitmap(1024, 768);

    void SetUp() override {
        game_assets.tile_atlas = memory_bitmap(700, 744);
        game_assets.background = memory_bitmap(1024, 768);
        al_set_target_bitmap(game_assets.tile_atlas);
        al_clear_to_color(al_map_rgba(0, 0, 0, 0));
        for (int v = 0; v < 12; v++) {
            Rgba c = tile_colour(v);
            al_draw_filled_rectangle((v % 4) * 50, (v / 4) * 50, (v % 4) * 50 + 50, (v / 4) * 50 + 50,
                                     al_map_rgba(c.r, c.g, c.b, c.a));
        }
        al_draw_filled_rectangle(0, 160, 10, 196, al_map_rgba(BAR.r, BAR.g, BAR.b, 255));
        find_invisible_tiles();
        al_set_target_bitmap(game_assets.background);
        al_clear_to_color(al_map_rgba(BACKGROUND.r, BACKGROUND.g, BACKGROUND.b, 255));
        for (auto& column : board.floor_layer)
            for (int32_t& cell : column) cell = CELL_FLOOR;
        for (auto& column : board.object_layer)
            for (int32_t& cell : column) cell = 0;
        boxes_on_targets = 0;
        al_set_target_bitmap(target);
        al_clear_to_color(al_map_rgba(0, 0, 0, 255));
    }
    void TearDown() override {
        al_destroy_bitmap(game_assets.tile_atlas);
        al_destroy_bitmap(game_assets.background);
        al_destroy_bitmap(target);
        game_assets.tile_atlas = game_assets.background = nullptr;
    }
    Rgba centre_of_cell(int c, int r) { return pixel_at(target, 50 * c - 13 + 25, 50 * r - 20 + 25); }
    void make_tile_transparent(int value) {
        ALLEGRO_LOCKED_REGION* region = al_lock_bitmap_region(game_assets.tile_atlas, (value % 4) * 50, (value / 4) * 50,
                                                               50, 50, ALLEGRO_PIXEL_FORMAT_ABGR_8888, ALLEGRO_LOCK_WRITEONLY);
        for (int y = 0; y < 50; y++) memset(static_cast<char*>(region->data) + y * region->pitch, 0, 50 * 4);
        al_unlock_bitmap(game_assets.tile_atlas);
        find_invisible_tiles();
        al_set_target_bitmap(target);
    }
};

}  // namespace

TEST_F(BoardRendererTest, FloorTilesArePlacedByTheBoardOffsets) {
    board.floor_layer[5][6] = CELL_WALL;
    board.floor_layer[20][15] = CELL_TARGET;
    draw_board();
    EXPECT_TRUE(same_colour(centre_of_cell(5, 6), tile_colour(CELL_WALL)));
    // The tile's corners land exactly at (50c - 13, 50r - 20).
    EXPECT_TRUE(same_colour(pixel_at(target, 237, 280), tile_colour(CELL_WALL)));
    EXPECT_TRUE(same_colour(pixel_at(target, 286, 329), tile_colour(CELL_WALL)));
    EXPECT_TRUE(same_colour(pixel_at(target, 236, 280), tile_colour(CELL_FLOOR)));
    EXPECT_TRUE(same_colour(pixel_at(target, 287, 329), tile_colour(CELL_FLOOR)));
    // Column 20 is cut at the right edge, row 15 at the bottom.
    EXPECT_TRUE(same_colour(pixel_at(target, 1023, 767), tile_colour(CELL_TARGET)));
}

TEST_F(BoardRendererTest, TheMostNegativeCellValuesDrawWithoutOverflow) {
    // A level file may hold any int; the sanitizer build stops on an overflow.
    board.floor_layer[3][3] = INT32_MIN;
    board.floor_layer[3][4] = INT32_MIN + 3;
    board.floor_layer[3][5] = CELL_WALL;
    draw_board();
    EXPECT_TRUE(same_colour(centre_of_cell(3, 5), tile_colour(CELL_WALL)));
    EXPECT_EQ(boxes_on_targets, 0);
}

TEST_F(BoardRendererTest, OutsideTilesAreDrawnOverTheBackground) {
    // A transparent tile 0 lets the background show; an opaque tile 0 covers it.
    board.floor_layer[4][4] = CELL_OUTSIDE;
    board.floor_layer[6][4] = CELL_OUTSIDE_ALT;
    draw_board();
    EXPECT_TRUE(same_colour(centre_of_cell(4, 4), tile_colour(CELL_OUTSIDE)));
    make_tile_transparent(CELL_OUTSIDE);
    draw_board();
    EXPECT_TRUE(same_colour(centre_of_cell(4, 4), BACKGROUND));
    EXPECT_TRUE(same_colour(centre_of_cell(6, 4), tile_colour(CELL_OUTSIDE_ALT)));
}

TEST_F(BoardRendererTest, OnlyObjectsOffTheAtlasFirstRowAndColumnAreDrawn) {
    const int objects[] = {4, 5, 6, 7, 8, 9};
    for (int i = 0; i < 6; i++) board.object_layer[2 + 2 * i][5] = objects[i];
    draw_board();
    for (int i = 0; i < 6; i++) {
        SCOPED_TRACE(objects[i]);
        bool drawn = objects[i] % 4 != 0 && objects[i] / 4 != 0;
        EXPECT_EQ(object_tile_drawn(objects[i]), drawn);
        Rgba expected = drawn ? tile_colour(objects[i]) : tile_colour(CELL_FLOOR);
        EXPECT_TRUE(same_colour(centre_of_cell(2 + 2 * i, 5), expected));
    }
}

TEST_F(BoardRendererTest, CountsBoxesOnTargetsAndAddsToTheCount) {
    board.floor_layer[3][3] = CELL_TARGET;
    board.object_layer[3][3] = CELL_BOX;
    board.floor_layer[4][3] = CELL_TARGET;  // empty target
    board.object_layer[5][3] = CELL_BOX;    // box on plain floor
    draw_board();
    EXPECT_EQ(boxes_on_targets, 1);
    draw_board();
    EXPECT_EQ(boxes_on_targets, 2);  // the frame loop zeroes it, not the renderer
}

TEST_F(BoardRendererTest, TopBarAndItsShadow) {
    draw_board();
    EXPECT_TRUE(same_colour(pixel_at(target, 0, 13), BAR));
    EXPECT_TRUE(same_colour(pixel_at(target, 1023, 48), BAR));
    EXPECT_FALSE(same_colour(pixel_at(target, 500, 12), BAR));
    // The shadow darkens the rows under the bar to about 74 %.
    Rgba floor = tile_colour(CELL_FLOOR);
    Rgba shadow = pixel_at(target, 500, 52);
    Rgba below = pixel_at(target, 500, 60);
    EXPECT_TRUE(same_colour(below, floor));
    EXPECT_NEAR(shadow.g, floor.g * (1 - 66 / 255.0) + tile_colour(7).g / 255.0, 3);
}

TEST_F(BoardRendererTest, PreparedBoxTileBlendsTheTintedTileSevenOver) {
    prepare_tile_atlas();
    Rgba box = pixel_at(game_assets.tile_atlas, 75, 75);
    Rgba five = tile_colour(5), seven = tile_colour(7);
    // The piece at (200, 0) of this atlas is transparent, so only the tinted copy shows.
    double alpha = 66 / 255.0;
    // Premultiplied blending: the tint scales the source's colour, and its alpha lets the tile show through.
    EXPECT_NEAR(box.r, seven.r * 40 / 255.0 + five.r * (1 - alpha), 3);
    EXPECT_NEAR(box.g, seven.g * 140 / 255.0 + five.g * (1 - alpha), 3);
    EXPECT_TRUE(same_colour(pixel_at(game_assets.tile_atlas, 175, 75), seven));
}

TEST_F(BoardRendererTest, ALevelWithoutAPictureStandsOnBlack) {
    al_destroy_bitmap(game_assets.background);
    game_assets.background = nullptr;
    al_clear_to_color(al_map_rgb(200, 10, 10));  // an earlier frame
    board.floor_layer[4][4] = CELL_OUTSIDE;
    make_tile_transparent(CELL_OUTSIDE);
    draw_board();
    EXPECT_TRUE(same_colour(centre_of_cell(4, 4), Rgba{0, 0, 0, 255}));
}
