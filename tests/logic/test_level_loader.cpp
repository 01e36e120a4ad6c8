#include <gtest/gtest.h>

#include "level/board.h"
#include "level/progress.h"
#include "render/board_renderer.h"
#include "test_support.h"

namespace {

std::vector<std::string> blank_rows() { return std::vector<std::string>(16, std::string(21, '0')); }

// A small room: walls around, a box on floor, a box on a target, a target, the start.
std::vector<std::string> small_room() {
    auto rows = blank_rows();
    rows[3] = "000444444000000000000";
    rows[4] = "000426534000000000000";
    rows[5] = "000422734000000000000";
    rows[6] = "000444444000000000000";
    return rows;
}

void load(const std::string& file_text, int level) {
    TempFolder folder;
    folder.write("media/mapy30.txt", file_text);
    read_level_record(LEVEL_FILE, level);
}

}  // namespace

TEST(LevelLoader, ReadsCellsIntoBothLayersAndPlacesThePlayer) {
    load(level_file({blank_rows(), small_room()}), 2);
    EXPECT_EQ(board.floor_layer[3][3], CELL_WALL);
    EXPECT_EQ(board.floor_layer[5][4], CELL_FLOOR);  // the start is plain floor
    EXPECT_EQ(player_x, 50 * 5 - 13);
    EXPECT_EQ(player_y, 50 * 4 - 20);
    EXPECT_EQ(board.floor_layer[6][4], CELL_FLOOR);
    EXPECT_EQ(board.object_layer[6][4], CELL_BOX);
    EXPECT_EQ(board.floor_layer[6][5], CELL_TARGET);
    EXPECT_EQ(board.object_layer[6][5], CELL_BOX);
    EXPECT_EQ(board.floor_layer[7][4], CELL_TARGET);
    EXPECT_EQ(board.object_layer[7][4], 0);
    EXPECT_EQ(target_count, 3);  // two targets and a box on a target
}

TEST(LevelLoader, LaterStartWinsAndMissingStartKeepsThePosition) {
    auto rows = small_room();
    rows[5][5] = '6';
    load(level_file({rows}), 1);
    EXPECT_EQ(player_x, 50 * 5 - 13);
    EXPECT_EQ(player_y, 50 * 5 - 20);

    auto no_start = small_room();
    no_start[4][5] = '2';
    load(level_file({no_start}), 1);
    EXPECT_EQ(player_x, 50 * 5 - 13);
    EXPECT_EQ(player_y, 50 * 5 - 20);
}

TEST(LevelLoader, OddCodesAndNumbers) {
    // Code 9 is plain floor without a box; negatives and huge values stay on the floor layer as read.
    std::string file = level_file({small_room()});
    size_t first_row = file.find('\n', 29) + 1;
    std::string odd = "9 -3 99999999999 ";
    file.replace(first_row, odd.size(), odd);
    load(file, 1);
    EXPECT_EQ(board.floor_layer[0][0], CELL_FLOOR);
    EXPECT_EQ(board.object_layer[0][0], 0);
    EXPECT_EQ(board.floor_layer[1][0], -3);
    EXPECT_EQ(board.floor_layer[2][0], CELL_FLOOR);  // saturated, then "8 or more"
}

TEST(LevelLoader, LevelsOutsideTheFileGiveAnEmptyBoard) {
    for (int level : {0, -1, 3, 2000000000}) {
        SCOPED_TRACE(level);
        player_x = 123;
        load(level_file({small_room(), small_room()}), level);
        for (int c = 0; c < BOARD_COLUMNS; c++)
            for (int r = 0; r < BOARD_ROWS; r++) {
                ASSERT_EQ(board.floor_layer[c][r], 0);
                ASSERT_EQ(board.object_layer[c][r], 0);
            }
        EXPECT_EQ(target_count, 0);
        EXPECT_EQ(player_x, 123);
    }
}

TEST(LevelLoader, AShortRecordRepeatsTheLastValueRead) {
    // The record stops after two values: every later cell repeats the 3,
    // each counting as a target.
    std::string file = level_file({}) + "short\n4 3\n";
    load(file, 1);
    EXPECT_EQ(board.floor_layer[0][0], CELL_WALL);
    EXPECT_EQ(board.floor_layer[1][0], CELL_TARGET);
    EXPECT_EQ(board.floor_layer[20][15], CELL_TARGET);
    EXPECT_EQ(target_count, 335);
}

TEST(LevelLoader, MissingFileGivesAnEmptyBoard) {
    TempFolder folder;
    board.floor_layer[5][5] = CELL_WALL;
    read_level_record(LEVEL_FILE, 1);
    EXPECT_EQ(board.floor_layer[5][5], 0);
    EXPECT_EQ(target_count, 0);
}

TEST(LevelLoader, BackgroundPictureByGroupsOfTen) {
    EXPECT_EQ(background_picture_name(1), "media/mar1.jpg");
    EXPECT_EQ(background_picture_name(10), "media/mar1.jpg");
    EXPECT_EQ(background_picture_name(11), "media/mar2.jpg");
    EXPECT_EQ(background_picture_name(0), "media/mar1.jpg");
    EXPECT_EQ(background_picture_name(41), "media/mar5.jpg");
}

TEST(LevelLoader, LevelCountFromTheFileSize) {
    EXPECT_EQ(level_count_for_size(29 + 1044LL * 40), 41);
    EXPECT_EQ(level_count_for_size(0), 1);
    EXPECT_EQ(level_count_for_size(-1), 1);
    EXPECT_EQ(level_count_for_size(29 + 1044LL * 2), 3);
}

TEST(LevelLoader, CellsBeyondTheBoardAreWalls) {
    EXPECT_EQ(floor_at(-1, 3), CELL_WALL);
    EXPECT_EQ(floor_at(21, 3), CELL_WALL);
    EXPECT_EQ(floor_at(3, 16), CELL_WALL);
    EXPECT_EQ(object_at(3, -1), 0);
}
