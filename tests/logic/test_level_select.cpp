#include <gtest/gtest.h>

#include <string>

#include "level/progress.h"
#include "screens/hotspot.h"
#include "screens/level_select.h"

namespace {

// The expected states of buttons 1..50, one letter each: s solved,
// u unlocked, l locked, a absent.
struct StateCase {
    int unlocked;
    int count;   // level_count: one more than the levels in the file
    std::string states;
};

LevelButtonState from_letter(char letter) {
    switch (letter) {
        case 's': return LEVEL_BUTTON_SOLVED;
        case 'u': return LEVEL_BUTTON_UNLOCKED;
        case 'l': return LEVEL_BUTTON_LOCKED;
        default: return LEVEL_BUTTON_ABSENT;
    }
}

std::string run(char letter, int times) { return std::string(times, letter); }

TEST(LevelSelect, ButtonStatesFollowTheUnlockedLevelAndTheFile) {
    const StateCase cases[] = {
        // first run on a file of 30 levels
        {1, 31, "u" + run('l', 29) + run('a', 20)},
        // every level of the file solved: the one past the end is the unlocked one
        {31, 31, run('s', 30) + "u" + run('a', 19)},
        // a short file with progress from a longer one
        {5, 3, run('s', 4) + "u" + run('a', 45)},
        // a file longer than the grid
        {10, 60, run('s', 9) + "u" + run('l', 40)},
        {50, 51, run('s', 49) + "u"},
        {70, 51, run('s', 50)},
    };
    for (const StateCase& c : cases) {
        unlocked_level = c.unlocked;
        level_count = c.count;
        ASSERT_EQ(c.states.size(), 50u);
        for (int level = 1; level <= LEVEL_BUTTONS; level++)
            EXPECT_EQ(level_button_state(level), from_letter(c.states[level - 1]))
                << "level " << level << " with unlocked " << c.unlocked << ", level_count " << c.count;
    }
}

TEST(LevelSelect, OnlySolvedAndUnlockedLevelButtonsCanBeHovered) {
    struct Case {
        int unlocked;
        int code;
        bool hoverable;
    };
    const Case cases[] = {
        {3, 1, true},   {3, 3, true},   {3, 4, false},  {3, 0, false},
        {50, 50, true}, {40, 41, false},
        // Codes of other buttons never name a level, however far the player got.
        {200, HOTSPOT_MENU_LEVELS, false}, {200, HOTSPOT_UNLOCKED_LEVEL, false}, {200, HOTSPOT_INFO, false},
        {200, 51, false},
    };
    for (const Case& c : cases) {
        unlocked_level = c.unlocked;
        EXPECT_EQ(level_hoverable(c.code), c.hoverable) << "code " << c.code << " with unlocked " << c.unlocked;
    }
}

TEST(LevelSelect, ButtonCornersMatchTheHitTest) {
    for (int level = 1; level <= LEVEL_BUTTONS; level++) {
        int x = level_button_x(level), y = level_button_y(level);
        // The picture's top row and left column are not part of the button;
        // its bottom-right pixel is (and lies below the menu rows).
        EXPECT_EQ(hotspot_at(x, y + 26), HOTSPOT_NONE) << level;
        EXPECT_EQ(hotspot_at(x + 39, y), HOTSPOT_NONE) << level;
        EXPECT_EQ(hotspot_at(x + 39, y + 26), level) << level;
    }
}

}  // namespace
