#include <gtest/gtest.h>

#include <sys/stat.h>

#include "level/progress.h"
#include "test_support.h"

namespace {

void set_values(float delay, int speed, int sound, int unlocked, int solved) {
    step_delay = delay, speed_level = speed, sound_off = sound, unlocked_level = unlocked, solved_count = solved;
}

void expect_values(float delay, int speed, int sound, int unlocked, int solved) {
    EXPECT_FLOAT_EQ(step_delay, delay);
    EXPECT_EQ(speed_level, speed);
    EXPECT_EQ(sound_off, sound);
    EXPECT_EQ(unlocked_level, unlocked);
    EXPECT_EQ(solved_count, solved);
}

std::string stored(const std::string& plain) { return shift_progress_bytes(plain, +1); }

}  // namespace

TEST(Progress, FirstStartGivesDefaultsAndWritesNothing) {
    TempFolder folder;
    set_values(0, 0, 0, 0, 0);
    load_progress();
    expect_values(0.002f, 2, 0, 1, 1);
    EXPECT_FALSE(folder.exists("media/dane.txt"));
    EXPECT_FALSE(folder.exists("xh.txt"));
    EXPECT_EQ(level_count, 1);  // no level file either
}

TEST(Progress, DefaultsAreStoredAsThirteenShiftedBytes) {
    TempFolder folder;
    set_values(0.002f, 2, 0, 1, 1);
    save_progress();
    std::string bytes = folder.read("media/dane.txt");
    const std::string plain = "0.002 2 0 1 1";
    ASSERT_EQ(bytes.size(), 13u);
    for (size_t i = 0; i < plain.size(); i++) EXPECT_EQ(static_cast<unsigned char>(bytes[i]), (plain[i] + i) % 256) << i;
    EXPECT_FALSE(folder.exists("xh.txt"));
    EXPECT_FALSE(folder.exists("media/dane.txt.new"));
}

TEST(Progress, RoundTrips) {
    struct Case {
        float delay;
        int speed, sound, unlocked, solved;
        const char* plain;
    } cases[] = {
        {0.0f, 4, 1, 17, 16, "0 4 1 17 16"},
        {0.003f, 1, 0, 40, 39, "0.003 1 0 40 39"},
        {0.001f, 3, 2, -5, 123456, "0.001 3 2 -5 123456"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.plain);
        TempFolder folder;
        set_values(c.delay, c.speed, c.sound, c.unlocked, c.solved);
        save_progress();
        EXPECT_EQ(shift_progress_bytes(folder.read("media/dane.txt"), -1), c.plain);
        set_values(9, 9, 9, 9, 9);
        load_progress();
        expect_values(c.delay, c.speed, c.sound, c.unlocked, c.solved);
    }
}

TEST(Progress, DamagedFiles) {
    // Values read before the damage are kept; from the first unreadable one on,
    // the old values stay. A pause out of range falls back to the default.
    struct Case {
        const char* name;
        std::string plain;
        float delay;
        int speed, sound, unlocked, solved;
    } cases[] = {
        {"empty", "", 0.0f, 7, 7, 7, 7},
        {"short", "0.001 3", 0.001f, 3, 7, 7, 7},
        {"garbage after two", "0.001 3 x 5 5", 0.001f, 3, 7, 7, 7},
        {"huge pause", "1000 3 0 4 4", 0.002f, 3, 0, 4, 4},
        {"negative pause", "-0.5 3 0 4 4", 0.002f, 3, 0, 4, 4},
        {"overflowing pause", "1e999 3 0 4 4", 0.002f, 3, 0, 4, 4},
        {"not a number", "nan 3 0 4 4", 0.002f, 3, 0, 4, 4},
        {"infinite pause", "-INF 3 0 4 4", 0.002f, 3, 0, 4, 4},
        {"a word", "fast 3 0 4 4", 0.0f, 7, 7, 7, 7},
        {"number too large for an int", "0.002 99999999999 1 2 3", 0.002f, 7, 7, 7, 7},
        {"binary", std::string("\x01\xff\x00\x80", 4), 0.0f, 7, 7, 7, 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        folder.write("media/dane.txt", stored(c.plain));
        set_values(5, 7, 7, 7, 7);
        load_progress();
        expect_values(c.delay, c.speed, c.sound, c.unlocked, c.solved);
    }
}

TEST(Progress, OnlyTheFirstLineIsRead) {
    TempFolder folder;
    folder.write("media/dane.txt", stored("0.003 1 0 9 8") + "\n" + stored("0.001 4 1 2 2"));
    load_progress();
    expect_values(0.003f, 1, 0, 9, 8);
}

TEST(Progress, LevelCountComesFromTheLevelFileSize) {
    TempFolder folder;
    folder.write("media/mapy30.txt", std::string(29 + 1044 * 40, ' '));
    load_progress();
    EXPECT_EQ(level_count, 41);
    folder.write("media/mapy30.txt", "");
    load_progress();
    EXPECT_EQ(level_count, 1);
}

TEST(Progress, AFailedSaveKeepsTheOldFileWhole) {
    TempFolder folder;
    set_values(0.001f, 3, 0, 5, 5);
    save_progress();
    std::string before = folder.read("media/dane.txt");
    // A folder standing where the temporary file goes makes the save fail
    // before anything is renamed, for root as for anyone.
    mkdir("media/dane.txt.new", 0755);
    set_values(0.003f, 1, 1, 9, 9);
    save_progress();
    EXPECT_EQ(folder.read("media/dane.txt"), before);
}
