// The level selection: 50 level buttons, a live preview, and a way back to
// the unlocked level.
#pragma once

constexpr int LEVEL_BUTTONS = 50;
constexpr int LEVEL_GRID_COLUMNS = 10;

enum LevelButtonState : int {
    LEVEL_BUTTON_ABSENT = 0,    // beyond the level file and not unlocked
    LEVEL_BUTTON_LOCKED = 1,
    LEVEL_BUTTON_UNLOCKED = 2,
    LEVEL_BUTTON_SOLVED = 3,
};

LevelButtonState level_button_state(int level);
// Top-left corner of level button n (1..50) on the screen.
int level_button_x(int level);
int level_button_y(int level);
// A hover code that may be previewed and picked: a solved or unlocked level button.
bool level_hoverable(int code);

// Blocks until a level is picked, the unlocked level is chosen, or ESC.
void select_level();
