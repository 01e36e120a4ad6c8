#include "core/moves.h"

#include "assets/assets.h"
#include "core/input.h"
#include "level/board.h"
#include "level/progress.h"
#include "render/board_renderer.h"

int move_step = 0;
int move_direction = DIRECTION_NONE;
bool pushing = false;
int facing = 0;
int box_draw_x = 0;
int box_draw_y = 0;
std::string move_history;
std::string push_history;
int push_count = 0;

struct DirectionRule {
    int key;
    char letter;
    int dc;
    int dr;
};

// Indexed by Direction; examined in this order, a later key replacing an earlier one.
static const DirectionRule DIRECTIONS[5] = {
    {0, '-', 0, 0},
    {ALLEGRO_KEY_RIGHT, 'P', 1, 0},
    {ALLEGRO_KEY_LEFT, 'L', -1, 0},
    {ALLEGRO_KEY_UP, 'G', 0, -1},
    {ALLEGRO_KEY_DOWN, 'D', 0, 1},
};

static int direction_of_letter(char letter) {
    for (int d = DIRECTION_RIGHT; d <= DIRECTION_DOWN; d++)
        if (DIRECTIONS[d].letter == letter) return d;
    return DIRECTION_NONE;
}

int player_column() { return (player_x + board_offset_x) / TILE_SIZE; }
int player_row() { return (player_y + board_offset_y) / TILE_SIZE; }

static bool blocks_box(int column, int row) {
    return floor_at(column, row) == CELL_WALL || object_at(column, row) > 0;
}

void try_start_move() {
    if ((key_held(ALLEGRO_KEY_RIGHT) && key_held(ALLEGRO_KEY_LEFT)) ||
        (key_held(ALLEGRO_KEY_DOWN) && key_held(ALLEGRO_KEY_UP)))
        return;

    int c = player_column();
    int r = player_row();
    int direction = DIRECTION_NONE;
    for (int d = DIRECTION_RIGHT; d <= DIRECTION_DOWN; d++) {
        const DirectionRule& rule = DIRECTIONS[d];
        if (key_held(rule.key) && floor_at(c + rule.dc, r + rule.dr) <= CELL_TARGET) {
            facing = d;
            direction = d;
        }
    }
    if (direction == DIRECTION_NONE) return;

    const DirectionRule& rule = DIRECTIONS[direction];
    int tc = c + rule.dc, tr = r + rule.dr;
    if (object_at(tc, tr) > 0) {
        if (blocks_box(tc + rule.dc, tr + rule.dr)) return;
        board.object_layer[tc][tr] = 0;
        push_count++;
        move_direction = direction;
        pushing = true;
        if (sound_off == 0) {
            play_push_cue();
            if (blocks_box(c + 3 * rule.dc, r + 3 * rule.dr)) play_stuck_cue();
        }
    } else {
        move_direction = direction;
    }
}

void advance_move() {
    if (move_step == 1) {
        char letter = DIRECTIONS[move_direction].letter;
        move_history += letter;
        push_history += pushing ? letter : '-';
    }
    box_draw_x = player_x;
    box_draw_y = player_y;
    if (move_direction == DIRECTION_NONE) return;

    const DirectionRule& rule = DIRECTIONS[move_direction];
    move_step++;
    player_x += rule.dc;
    player_y += rule.dr;
    box_draw_x += (TILE_SIZE + 1) * rule.dc;
    box_draw_y += (TILE_SIZE + 1) * rule.dr;
    if (move_step == MOVE_FRAMES && pushing) {
        int c = player_column(), r = player_row();
        if (cell_on_board(c, r)) board.object_layer[c][r] = 0;
        if (cell_on_board(c + rule.dc, r + rule.dr)) board.object_layer[c + rule.dc][r + rule.dr] = CELL_BOX;
    }
}

void draw_figures() {
    ALLEGRO_BITMAP* atlas = game_assets.tile_atlas;
    if (pushing && move_step <= MOVE_FRAMES - 1)
        al_draw_bitmap_region(atlas, 50, 50, TILE_SIZE, TILE_SIZE, box_draw_x, box_draw_y, 0);
    if (move_step == 0) facing = 0;
    if (boxes_on_targets < target_count)
        al_draw_bitmap_region(atlas, TILE_SIZE * facing, 100, TILE_SIZE, TILE_SIZE, player_x, player_y, 0);
}

void finish_move() {
    move_direction = DIRECTION_NONE;
    pushing = false;
    move_step = 0;
}

void undo_last_move() {
    if (move_history.empty()) return;
    const DirectionRule& moved = DIRECTIONS[direction_of_letter(move_history.back())];
    player_x -= TILE_SIZE * moved.dc;
    player_y -= TILE_SIZE * moved.dr;
    move_history.pop_back();

    int pushed = push_history.empty() ? DIRECTION_NONE : direction_of_letter(push_history.back());
    if (pushed != DIRECTION_NONE) {
        const DirectionRule& rule = DIRECTIONS[pushed];
        int c = player_column(), r = player_row();
        if (cell_on_board(c + 2 * rule.dc, r + 2 * rule.dr)) board.object_layer[c + 2 * rule.dc][r + 2 * rule.dr] = 0;
        if (cell_on_board(c + rule.dc, r + rule.dr)) board.object_layer[c + rule.dc][r + rule.dr] = CELL_BOX;
        push_count++;
        if (sound_off == 0) play_push_cue();
    }
    if (!push_history.empty()) push_history.pop_back();
}

void play_push_cue() { play_sample(game_assets.sample_push, 0.6f, 1.0f); }
void play_stuck_cue() { play_sample(game_assets.sample_stuck, 0.6f, 1.0f); }

void forget_level_history() {
    move_history.clear();
    push_history.clear();
    push_count = 0;
}

void reset_move_state() {
    finish_move();
    facing = 0;
}
