#pragma once

enum LevelButtonState : int {
    LEVEL_BUTTON_ABSENT = 0,
    LEVEL_BUTTON_LOCKED = 1,
    LEVEL_BUTTON_UNLOCKED = 2,
    LEVEL_BUTTON_SOLVED = 3,
};

LevelButtonState level_button_state(int level);
void select_level();
