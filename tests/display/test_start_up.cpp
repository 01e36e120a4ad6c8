#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include <sys/wait.h>

#include "assets/assets.h"
#include "assets/ui_texts.h"
#include "core/moves.h"
#include "test_support.h"

namespace {

bool audio_expected() {
    const char* expect = getenv("PELMAK_EXPECT_AUDIO");
    return expect && std::string(expect) == "1";
}

void expect_every_handle(bool present) {
    const void* handles[] = {game_assets.display, game_assets.screen_buffer, game_assets.spare_buffer,
                             game_assets.background, game_assets.result_buffer, game_assets.banner,
                             game_assets.tile_atlas, game_assets.result_picture, game_assets.font_bold_40,
                             game_assets.font_bold_26, game_assets.font_22, game_assets.font_18,
                             game_assets.sample_build, game_assets.sample_push, game_assets.sample_stuck,
                             game_assets.sample_result, game_assets.music_track};
    for (const void* handle : handles) EXPECT_EQ(handle != nullptr, present);
}

struct RunResult {
    int exit_code;
    std::string output;
};

// Runs the game binary in a folder and collects what it printed.
RunResult run_game(const std::string& folder, const char* display) {
    std::string command = "cd '" + folder + "' && " + (display ? "" : "env -u DISPLAY ") + "timeout 20 " +
                          PELMAK_GAME_BINARY + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    std::string output;
    char buffer[512];
    while (fgets(buffer, sizeof buffer, pipe)) output += buffer;
    int status = pclose(pipe);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

size_t file_count(const std::string& folder) {
    size_t count = 0;
    for (auto& entry : std::filesystem::recursive_directory_iterator(folder)) count += entry.is_regular_file();
    return count;
}

}  // namespace

TEST(StartUp, StartsAndShutsDownTwiceInOneRun) {
    TempFolder folder;
    folder.copy_media();
    start_up();
    expect_every_handle(true);
    EXPECT_EQ(audio_ready, audio_expected());
    EXPECT_EQ(al_get_display_width(game_assets.display), 1024);
    EXPECT_EQ(al_get_display_height(game_assets.display), 768);
    EXPECT_EQ(al_get_target_bitmap(), al_get_backbuffer(game_assets.display));
    play_push_cue();  // must not abort without a sound device
    std::string first_heading = ui_texts.slot[6];
    EXPECT_FALSE(first_heading.empty());
    shut_down();
    expect_every_handle(false);

    // Texts that cannot be read at the second start-up stay as they were.
    std::filesystem::remove("media/tekstyOrvo.txt");
    start_up();
    expect_every_handle(true);
    EXPECT_EQ(ui_texts.slot[6], first_heading);

    // The two push cues are samples of their own: one gone, the other still plays.
    al_destroy_sample(game_assets.sample_stuck);
    game_assets.sample_stuck = nullptr;
    play_push_cue();
    shut_down();
    expect_every_handle(false);
}

TEST(StartUp, MissingOrBrokenMediaEndsWithOneLineNamingTheFile) {
    struct Case {
        const char* name;
        const char* broken_file;  // null: no media folder at all
        const char* message;
    } cases[] = {
        {"no media folder", nullptr, "pelmak: cannot load media/tm.png (working folder "},
        {"corrupt sprite sheet", "media/gr333.png", "pelmak: cannot decode media/gr333.png (working folder "},
        {"corrupt music", "media/Lumavale.ogg", "pelmak: cannot decode media/Lumavale.ogg (working folder "},
        {"missing font", "media/pala.ttf", "pelmak: cannot load media/pala.ttf (working folder "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        if (c.broken_file) {
            folder.copy_media();
            std::filesystem::remove(c.broken_file);
            if (std::string(c.name).find("corrupt") == 0) folder.write(c.broken_file, "this is not a picture or a sound");
        } else {
            std::filesystem::remove_all("media");
        }
        size_t files_before = file_count(folder.path);
        RunResult run = run_game(folder.path, getenv("DISPLAY"));
        EXPECT_EQ(run.exit_code, 1);
        EXPECT_EQ(run.output.rfind(c.message + folder.path, 0), 0u) << run.output;
        EXPECT_EQ(std::count(run.output.begin(), run.output.end(), '\n'), 1) << run.output;
        EXPECT_EQ(file_count(folder.path), files_before);  // nothing written
    }
}

TEST(StartUp, NoDisplayEndsWithOneLine) {
    TempFolder folder;
    folder.copy_media();
    RunResult run = run_game(folder.path, nullptr);
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_EQ(run.output.rfind("pelmak: cannot open a 1024 x 768 display", 0), 0u) << run.output;
    EXPECT_EQ(std::count(run.output.begin(), run.output.end(), '\n'), 1) << run.output;
}
