// The level toolkit: file format, the level rules, the solver, and the
// command line over the shipped levels.
#include "level_check.h"
#include "level_grid.h"
#include "solver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/wait.h>

namespace {

LevelGrid one_level(const std::string& xsb)
{
    std::vector<LevelProblem> problems;
    auto levels = parse_xsb(xsb, problems);
    EXPECT_TRUE(problems.empty()) << (problems.empty() ? "" : problems[0].text);
    EXPECT_EQ(levels.size(), 1u);
    return levels.empty() ? LevelGrid() : levels[0];
}

std::vector<std::string> problems_of(const std::vector<LevelGrid>& levels)
{
    std::vector<LevelProblem> problems;
    check_levels(levels, problems);
    std::vector<std::string> texts;
    for (const auto& p : problems) texts.push_back("level " + std::to_string(p.level) + ": " + p.text);
    return texts;
}

bool mentions(const std::vector<std::string>& texts, const std::string& part)
{
    for (const auto& t : texts)
        if (t.find(part) != std::string::npos) return true;
    return false;
}

const char* const ROOM =
    "; 01 Hall\n"
    "########\n"
    "#.   . #\n"
    "# $ $ ##\n"
    "#  @  #\n"
    "#######\n";

} // namespace

TEST(LevelFile, RecordsAreFixedSizeAndReadBack)
{
    std::vector<LevelProblem> problems;
    auto levels = parse_xsb(std::string(ROOM) + "\n; 02 Second\n#####\n#@$.#\n#####\n", problems);
    ASSERT_TRUE(problems.empty());
    ASSERT_EQ(levels.size(), 2u);
    std::string bytes = format_level_file(levels);
    ASSERT_EQ(bytes.size(), static_cast<size_t>(FILE_PREAMBLE_BYTES + 2 * FILE_RECORD_BYTES));
    // each record: one header line, then 16 lines of 21 values
    for (int i = 0; i < 2; ++i) {
        std::string rec = bytes.substr(FILE_PREAMBLE_BYTES + i * FILE_RECORD_BYTES, FILE_RECORD_BYTES);
        EXPECT_EQ(std::count(rec.begin(), rec.end(), '\n'), 17);
        EXPECT_EQ(rec.back(), '\n');
    }
    auto back = parse_level_file(bytes, problems);
    ASSERT_TRUE(problems.empty());
    ASSERT_EQ(back.size(), 2u);
    EXPECT_EQ(back[0].title, "Hall");
    EXPECT_EQ(back[1].title, "Second");
    for (int c = 0; c < GRID_COLUMNS; ++c)
        for (int r = 0; r < GRID_ROWS; ++r) ASSERT_EQ(back[0].code[c][r], levels[0].code[c][r]);
    // the room lies centred in the visible area, the player on plain floor
    EXPECT_EQ(levels[1].code[10][8], CODE_BOX);
    EXPECT_EQ(levels[1].code[9][8], CODE_PLAYER_START);
    EXPECT_EQ(format_xsb(back), format_xsb(levels));
}

TEST(LevelFile, XsbPlayerOnTargetIsRefused)
{
    std::vector<LevelProblem> problems;
    parse_xsb("#####\n#+$ #\n#####\n", problems);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_NE(problems[0].text.find("player starts on a target"), std::string::npos);
}

TEST(LevelCheck, BrokenLevelsAreEachReported)
{
    struct Case {
        const char* xsb;
        const char* problem;
    } cases[] = {
        {"#####\n#@$.#\n## ##\n", "not closed"},
        {"######\n#@$$.#\n######\n", "2 boxes but 1 targets"},
        {"#####\n# $.#\n#####\n", "no player"},
        {"#####\n#@ $#\n#####\n", "no targets"},
    };
    for (const auto& c : cases) {
        std::vector<LevelProblem> parse_problems;
        auto levels = parse_xsb(c.xsb, parse_problems);
        std::vector<std::string> texts;
        for (const auto& p : parse_problems) texts.push_back(p.text);
        if (!levels.empty())
            for (const auto& t : problems_of(levels)) texts.push_back(t);
        EXPECT_TRUE(mentions(texts, c.problem)) << c.xsb << "wanted: " << c.problem;
    }
}

TEST(LevelCheck, GridFaultsAreReportedWithTheirLevel)
{
    LevelGrid good = one_level(ROOM);
    EXPECT_TRUE(problems_of({good}).empty());

    LevelGrid unknown = good;
    unknown.code[0][0] = 9;
    LevelGrid beyond = good;
    beyond.code[20][15] = CODE_WALL;
    LevelGrid two_players = good;
    two_players.code[8][6] = CODE_PLAYER_START;
    LevelGrid stray = good;
    stray.code[1][1] = CODE_BOX;
    stray.code[1][2] = CODE_TARGET;
    LevelGrid mirrored;
    for (int c = 0; c < GRID_COLUMNS; ++c)
        for (int r = 0; r < GRID_ROWS; ++r) mirrored.code[c][r] = good.code[c][GRID_ROWS - 1 - r];

    auto texts = problems_of({good, unknown, beyond, two_players, stray, mirrored});
    EXPECT_TRUE(mentions(texts, "level 2: unknown cell code 9"));
    EXPECT_TRUE(mentions(texts, "level 3: level cell outside columns 1-19 and rows 2-14"));
    EXPECT_TRUE(mentions(texts, "level 4: 2 player starts"));
    EXPECT_TRUE(mentions(texts, "level 5: floor, target or box the player cannot reach"));
    EXPECT_TRUE(mentions(texts, "level 6: same room as level 1 (mirrored or rotated)"));
    EXPECT_FALSE(mentions(texts, "level 1:"));
}

TEST(LevelCheck, DamagedRecordsAreReported)
{
    std::string bytes = format_level_file({one_level(ROOM), one_level(ROOM)});
    std::string short_record = bytes.substr(0, bytes.size() - 100);
    std::string not_numbers = bytes;
    const int first_value = 52;   // after the header line
    not_numbers[FILE_PREAMBLE_BYTES + FILE_RECORD_BYTES + first_value + 3] = 'x';
    std::string missing_value = bytes;
    missing_value[FILE_PREAMBLE_BYTES + first_value] = ' ';

    struct Case {
        std::string bytes;
        const char* problem;
    } cases[] = {
        {short_record, "level 2: record is 944 bytes, not 1044"},
        {not_numbers, "level 2: \"x\""},
        {missing_value, "level 1: record holds 335 values, not 336"},
        {"too short", "shorter than its 29-byte preamble"},
    };
    for (const auto& c : cases) {
        std::vector<LevelProblem> problems;
        parse_level_file(c.bytes, problems);
        std::vector<std::string> texts;
        for (const auto& p : problems)
            texts.push_back((p.level ? "level " + std::to_string(p.level) + ": " : std::string()) + p.text);
        EXPECT_TRUE(mentions(texts, c.problem)) << c.problem;
    }
}

TEST(Solver, FindsTheFewestPushes)
{
    struct Case {
        const char* xsb;
        int pushes;
    } cases[] = {
        {"#####\n#@$.#\n#####\n", 1},
        {"######\n#@$ .#\n######\n", 2},
        {"#####\n#@  #\n# $ #\n##  #\n #. #\n ####\n", 2},
        // two boxes through one gap: the far target must be filled first
        {"########\n#..    #\n### ## #\n#  $ $@#\n#      #\n########\n", 9},
        // round the pillar: left, up twice, right
        {"#######\n#  .  #\n#  #  #\n#  $  #\n#  @  #\n#######\n", 4},
    };
    for (const auto& c : cases) {
        SolveResult r = solve_level(one_level(c.xsb), SolveOptions());
        ASSERT_TRUE(r.solved) << c.xsb;
        EXPECT_TRUE(r.optimal) << c.xsb;
        EXPECT_EQ(r.pushes, c.pushes) << c.xsb << r.lurd;
        int upper = 0;
        for (char ch : r.lurd) upper += ch >= 'A' && ch <= 'Z';
        EXPECT_EQ(upper, r.pushes);
        EXPECT_EQ(static_cast<int>(r.lurd.size()), r.moves);
    }
}

TEST(Solver, ProvesAnUnsolvableLevel)
{
    // the box can only travel along the bottom wall and the target is above it
    SolveResult r = solve_level(one_level("######\n#  . #\n#    #\n#@$  #\n######\n"), SolveOptions());
    EXPECT_FALSE(r.solved);
    EXPECT_TRUE(r.unsolvable);
}

TEST(ShippedLevels, FileIsImportedFromTheSources)
{
    std::string xsb, shipped;
    ASSERT_TRUE(read_whole_file(PELMAK_SOURCE_DIR "/levels/levels.xsb", xsb));
    ASSERT_TRUE(read_whole_file(PELMAK_SOURCE_DIR "/media/mapy30.txt", shipped));
    std::vector<LevelProblem> problems;
    auto levels = parse_xsb(xsb, problems);
    EXPECT_TRUE(problems.empty());
    EXPECT_EQ(format_level_file(levels), shipped);
}

namespace {
struct ToolRun {
    int status = -1;
    std::string output;
};

ToolRun run_tool(const std::string& args)
{
    ToolRun run;
    std::string cmd = std::string(PELMAK_LEVELS_BIN) + " " + args + " 2>&1";
    FILE* pipe = popen(cmd.c_str(), "r");
    if (!pipe) return run;
    std::array<char, 4096> buf;
    size_t n;
    while ((n = fread(buf.data(), 1, buf.size(), pipe)) > 0) run.output.append(buf.data(), n);
    int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}
} // namespace

TEST(Toolkit, CheckReportsEveryProblemOfABrokenFileAndFails)
{
    ToolRun run = run_tool("check " PELMAK_SOURCE_DIR "/tests/levels/fixtures/broken.txt");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.output.find("level 1: room not closed"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("level 2: 2 boxes but 3 targets"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("level 3: unknown cell code 8"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("level 4: record is"), std::string::npos) << run.output;
}

TEST(Toolkit, ShippedFileChecksClean)
{
    ToolRun run = run_tool("check " PELMAK_SOURCE_DIR "/media/mapy30.txt");
    EXPECT_EQ(run.status, 0) << run.output;
}

TEST(Toolkit, VerifyRejectsAWrongSolution)
{
    ToolRun run = run_tool("verify " PELMAK_SOURCE_DIR "/media/mapy30.txt " PELMAK_SOURCE_DIR
                       "/tests/levels/fixtures/wrong_solutions.txt");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.output.find("01  NOT solved: step 1 (u): the move is refused"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("02  NOT solved: step 1 (u): pushes a box where the solution walks"),
              std::string::npos)
        << run.output;
    EXPECT_NE(run.output.find("03  no solution"), std::string::npos) << run.output;
}
