// The rules of play: moves, pushes, their 50-frame animation, undo.
#pragma once

#include <string>

constexpr int MOVE_FRAMES = 50;

enum Direction : int {
    DIRECTION_NONE = 0,
    DIRECTION_RIGHT = 1,
    DIRECTION_LEFT = 2,
    DIRECTION_UP = 3,
    DIRECTION_DOWN = 4,
};

extern int move_step;          // 0 idle, 1..50 frames of the move under way
extern int move_direction;
extern bool pushing;
extern int facing;             // frame of the figure: 0 standing, else a Direction
extern int box_draw_x;
extern int box_draw_y;
extern std::string move_history;   // MoveHistory: one letter P L G D per move
extern std::string push_history;   // PushHistory: the letter if the move pushed, else '-'
extern int push_count;

// The player's cell from the pixel position.
int player_column();
int player_row();

void try_start_move();
void advance_move();
void draw_figures();
void finish_move();
void undo_last_move();
void play_push_cue();
void play_stuck_cue();

// After every load of a level into the Board.
void forget_level_history();
// Back to idle, no move under way.
void reset_move_state();
