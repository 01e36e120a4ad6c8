#include <gtest/gtest.h>

#include <climits>

#include "screens/hotspot.h"

namespace {

struct PointerCase {
    int x, y;
    int code;
};

// The edges of every button, where the menu rows overlap the grid's last row,
// and positions outside the window.
const PointerCase POINTER_CASES[] = {
    // top bar: info, restart, menu (y 21..37)
    {744, 21, HOTSPOT_INFO}, {743, 21, HOTSPOT_NONE}, {744, 20, HOTSPOT_NONE},
    {795, 37, HOTSPOT_INFO}, {796, 37, HOTSPOT_NONE}, {795, 38, HOTSPOT_NONE},
    {818, 21, HOTSPOT_RESTART}, {817, 30, HOTSPOT_NONE}, {896, 37, HOTSPOT_RESTART}, {897, 30, HOTSPOT_NONE},
    {917, 21, HOTSPOT_MENU}, {916, 30, HOTSPOT_NONE}, {975, 37, HOTSPOT_MENU}, {976, 37, HOTSPOT_NONE},
    {975, 38, HOTSPOT_NONE},
    // level grid: button n at x 501+45c..539+45c, y 181+30r..206+30r
    {501, 181, 1}, {500, 181, HOTSPOT_NONE}, {501, 180, HOTSPOT_NONE}, {539, 206, 1},
    {540, 206, HOTSPOT_NONE}, {539, 207, HOTSPOT_NONE}, {520, 190, 1}, {546, 190, 2},
    {944, 190, 10}, {945, 190, HOTSPOT_NONE}, {501, 210, HOTSPOT_NONE}, {501, 211, 11},
    {900, 320, HOTSPOT_NONE}, {920, 320, 50}, {944, 326, 50}, {944, 327, HOTSPOT_NONE},
    // menu rows (x 386..644) win over the grid's last row where they overlap
    {520, 310, HOTSPOT_MENU_LEVELS}, {520, 324, 41}, {650, 310, 44}, {645, 321, 44},
    {386, 301, HOTSPOT_MENU_LEVELS}, {385, 301, HOTSPOT_NONE}, {386, 300, HOTSPOT_NONE},
    {644, 321, HOTSPOT_MENU_LEVELS}, {644, 322, 44}, {512, 335, HOTSPOT_NONE},
    {512, 336, HOTSPOT_MENU_RESUME}, {512, 356, HOTSPOT_MENU_RESUME}, {512, 357, HOTSPOT_NONE},
    {512, 371, HOTSPOT_MENU_NEW_GAME}, {512, 391, HOTSPOT_MENU_NEW_GAME},
    {512, 406, HOTSPOT_MENU_QUIT}, {644, 426, HOTSPOT_MENU_QUIT}, {644, 427, HOTSPOT_NONE},
    // the selection's button back to the unlocked level
    {636, 438, HOTSPOT_UNLOCKED_LEVEL}, {636, 437, HOTSPOT_NONE}, {635, 450, HOTSPOT_NONE},
    {761, 460, HOTSPOT_UNLOCKED_LEVEL}, {762, 450, HOTSPOT_NONE}, {700, 461, HOTSPOT_NONE},
    // outside the window
    {0, 0, HOTSPOT_NONE}, {-1, 30, HOTSPOT_NONE}, {770, -1, HOTSPOT_NONE}, {-5, -5, HOTSPOT_NONE},
    {1024, 30, HOTSPOT_NONE}, {520, 768, HOTSPOT_NONE}, {1767, 21, HOTSPOT_NONE},
    {INT_MIN, INT_MIN, HOTSPOT_NONE}, {INT_MAX, 30, HOTSPOT_NONE},
};

TEST(Hotspot, CodeOfEveryPointerPosition) {
    for (const PointerCase& c : POINTER_CASES)
        EXPECT_EQ(hotspot_at(c.x, c.y), c.code) << "pointer at (" << c.x << ", " << c.y << ")";
}

class HotspotPolling : public testing::Test {
protected:
    void SetUp() override {
        mouse_state = {};
        prev_mouse_x = prev_mouse_y = prev_mouse_buttons = 0;
        hotspot_code = HOTSPOT_NONE;
    }
    // The state the last poll left behind (no mouse is installed in these
    // tests, so update_hotspot's own poll changes nothing).
    void pointer(int x, int y, int buttons) {
        mouse_state.x = x;
        mouse_state.y = y;
        mouse_state.buttons = buttons;
    }
};

TEST_F(HotspotPolling, SavesThePolledStateAndClicksOnThePrimaryButtonAlone) {
    pointer(770, 29, 1);
    update_hotspot();
    EXPECT_EQ(prev_mouse_x, 770);
    EXPECT_EQ(prev_mouse_y, 29);
    EXPECT_EQ(hotspot_code, HOTSPOT_INFO);
    EXPECT_TRUE(hotspot_clicked(HOTSPOT_INFO));
    EXPECT_FALSE(hotspot_clicked(HOTSPOT_MENU));

    pointer(940, 29, 3);
    update_hotspot();
    EXPECT_EQ(hotspot_code, HOTSPOT_MENU);
    EXPECT_FALSE(hotspot_clicked(HOTSPOT_MENU)) << "primary with secondary is no click";

    pointer(940, 29, 4);
    update_hotspot();
    EXPECT_FALSE(hotspot_clicked(HOTSPOT_MENU)) << "middle button is no click";

    pointer(940, 29, 0);
    update_hotspot();
    EXPECT_EQ(hotspot_code, HOTSPOT_MENU);
    EXPECT_FALSE(hotspot_clicked(HOTSPOT_MENU));
}

TEST_F(HotspotPolling, PointerOutsideTheWindowGivesNoButton) {
    pointer(770, 29, 1);
    update_hotspot();
    pointer(-30, 29, 1);
    update_hotspot();
    EXPECT_EQ(hotspot_code, HOTSPOT_NONE);
    EXPECT_FALSE(hotspot_clicked(HOTSPOT_INFO));
    pointer(770, 800, 1);
    update_hotspot();
    EXPECT_EQ(hotspot_code, HOTSPOT_NONE);
}

}  // namespace
