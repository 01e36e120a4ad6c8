#include "screens/level_select.h"

#include "level/progress.h"

LevelButtonState level_button_state(int level) {
    if (level < unlocked_level) return LEVEL_BUTTON_SOLVED;
    if (level == unlocked_level) return LEVEL_BUTTON_UNLOCKED;
    if (level < level_count) return LEVEL_BUTTON_LOCKED;
    return LEVEL_BUTTON_ABSENT;
}

void select_level() {}
