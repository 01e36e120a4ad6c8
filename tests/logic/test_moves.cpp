#include <gtest/gtest.h>

#include "core/input.h"
#include "core/moves.h"
#include "level/board.h"
#include "level/progress.h"
#include "render/board_renderer.h"

namespace {

// Boards are drawn as text: '#' wall, ' ' floor, '.' target, '$' box,
// '*' box on target, '@' player; the text's top-left is cell (1, 1).
void set_board(const std::vector<std::string>& rows) {
    for (int c = 0; c < BOARD_COLUMNS; c++)
        for (int r = 0; r < BOARD_ROWS; r++) board.floor_layer[c][r] = CELL_OUTSIDE, board.object_layer[c][r] = 0;
    target_count = 0;
    for (size_t r = 0; r < rows.size(); r++)
        for (size_t c = 0; c < rows[r].size(); c++) {
            int column = c + 1, row = r + 1;
            char cell = rows[r][c];
            board.floor_layer[column][row] = cell == '#' ? CELL_WALL : (cell == '.' || cell == '*') ? CELL_TARGET : CELL_FLOOR;
            if (cell == '$' || cell == '*') board.object_layer[column][row] = CELL_BOX;
            if (cell == '.' || cell == '*') target_count++;
            if (cell == '@') player_x = 50 * column - 13, player_y = 50 * row - 20;
        }
    reset_move_state();
    forget_level_history();
}

void hold(std::initializer_list<int> keys) {
    release_all_keys();
    for (int key : keys) set_key_held(key, true);
}

// Runs one whole move as the frame loop would; true when a move ran.
bool move(std::initializer_list<int> keys) {
    hold(keys);
    try_start_move();
    release_all_keys();
    if (move_direction == DIRECTION_NONE) return false;
    do advance_move();
    while (move_step < MOVE_FRAMES);
    finish_move();
    return true;
}

bool box_at(int c, int r) { return board.object_layer[c][r] == CELL_BOX; }

struct MovesTest : testing::Test {
    void SetUp() override { sound_off = 1; }
};

}  // namespace

TEST_F(MovesTest, WalkingTakesFiftyFramesAndRecordsTheLetter) {
    set_board({"#####", "#@  #", "#####"});
    hold({ALLEGRO_KEY_RIGHT});
    try_start_move();
    int frames = 0;
    while (move_step < MOVE_FRAMES) advance_move(), frames++;
    EXPECT_EQ(frames, 50);
    EXPECT_EQ(player_column(), 3);
    EXPECT_EQ(player_x, 50 * 3 - 13);
    finish_move();
    EXPECT_EQ(move_history, "P");
    EXPECT_EQ(push_history, "-");
    EXPECT_EQ(push_count, 0);
}

TEST_F(MovesTest, PushMovesTheBoxOneCellAndCountsIt) {
    set_board({"######", "#@$ .#", "######"});
    hold({ALLEGRO_KEY_RIGHT});
    try_start_move();
    EXPECT_TRUE(pushing);
    EXPECT_FALSE(box_at(3, 2));  // lifted out of the Board while it moves
    advance_move();
    EXPECT_EQ(box_draw_x, player_x + 50);  // one cell ahead of the player
    while (move_step < MOVE_FRAMES) advance_move();
    finish_move();
    EXPECT_TRUE(box_at(4, 2));
    EXPECT_EQ(push_count, 1);
    EXPECT_EQ(push_history, "P");
}

TEST_F(MovesTest, RefusedMoves) {
    struct Case {
        const char* name;
        std::vector<std::string> rows;
        int key;
    } cases[] = {
        {"wall", {"###", "#@#", "###"}, ALLEGRO_KEY_RIGHT},
        {"box against wall", {"####", "#@$#", "####"}, ALLEGRO_KEY_RIGHT},
        {"two boxes in a row", {"######", "#@$$ #", "######"}, ALLEGRO_KEY_RIGHT},
        {"edge of the board", {"@ "}, ALLEGRO_KEY_UP},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        set_board(test.rows);
        if (std::string(test.name) == "edge of the board") player_y = 50 * 0 - 20;  // row 0
        int x = player_x, y = player_y;
        EXPECT_FALSE(move({test.key}));
        EXPECT_EQ(player_x, x);
        EXPECT_EQ(player_y, y);
        EXPECT_EQ(push_count, 0);
        EXPECT_TRUE(move_history.empty());
    }
}

TEST_F(MovesTest, KeyPairs) {
    // A later accepted key replaces an earlier one; opposite keys cancel everything.
    set_board({"####", "# ##", "#@$ ", "####"});
    EXPECT_TRUE(move({ALLEGRO_KEY_RIGHT, ALLEGRO_KEY_UP}));
    EXPECT_EQ(move_history, "G");
    EXPECT_TRUE(box_at(3, 3));
    EXPECT_EQ(push_count, 0);

    set_board({"####", "# ##", "#@# ", "####"});
    EXPECT_TRUE(move({ALLEGRO_KEY_RIGHT, ALLEGRO_KEY_UP}));  // wall on the right: up wins
    EXPECT_EQ(move_history, "G");

    set_board({"#####", "#   #", "# @ #", "#   #", "#####"});
    EXPECT_FALSE(move({ALLEGRO_KEY_RIGHT, ALLEGRO_KEY_LEFT, ALLEGRO_KEY_UP}));
    EXPECT_FALSE(move({ALLEGRO_KEY_UP, ALLEGRO_KEY_DOWN}));
}

TEST_F(MovesTest, UndoOfAPushPutsBoxAndPlayerBack) {
    set_board({"######", "#@$ .#", "######"});
    ASSERT_TRUE(move({ALLEGRO_KEY_RIGHT}));
    undo_last_move();
    EXPECT_EQ(player_column(), 2);
    EXPECT_TRUE(box_at(3, 2));
    EXPECT_FALSE(box_at(4, 2));
    EXPECT_EQ(push_count, 2);  // an undone push counts too
    EXPECT_TRUE(move_history.empty());
    EXPECT_TRUE(push_history.empty());

    undo_last_move();  // nothing left to take back
    EXPECT_EQ(player_column(), 2);
    EXPECT_EQ(push_count, 2);
}

TEST_F(MovesTest, UndoOfAWalkMovesOnlyThePlayer) {
    set_board({"#####", "# $ #", "#@  #", "#####"});
    ASSERT_TRUE(move({ALLEGRO_KEY_RIGHT}));
    ASSERT_TRUE(move({ALLEGRO_KEY_DOWN}) == false);
    undo_last_move();
    EXPECT_EQ(player_column(), 2);
    EXPECT_EQ(player_row(), 3);
    EXPECT_TRUE(box_at(3, 2));
    EXPECT_EQ(push_count, 0);
}

TEST_F(MovesTest, SolvedOnlyWhenTheLastBoxLands) {
    set_board({"######", "#@$.##", "######"});
    hold({ALLEGRO_KEY_RIGHT});
    try_start_move();
    for (int frame = 1; frame <= MOVE_FRAMES; frame++) {
        advance_move();
        boxes_on_targets = 0;
        for (int c = 0; c < BOARD_COLUMNS; c++)
            for (int r = 0; r < BOARD_ROWS; r++)
                if (board.object_layer[c][r] > 0 && board.floor_layer[c][r] == CELL_TARGET) boxes_on_targets++;
        ASSERT_EQ(boxes_on_targets == target_count, frame == MOVE_FRAMES) << "frame " << frame;
    }
}
