// pelmak-levels: check, solve, verify, import and export level files.
#include "level_check.h"
#include "level_grid.h"
#include "level_verify.h"
#include "solver.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

int generate_main(int argc, char** argv);

namespace {

void usage()
{
    std::fprintf(stderr,
                 "usage: pelmak-levels check FILE\n"
                 "       pelmak-levels solve FILE [LEVEL] [--time SECONDS]\n"
                 "       pelmak-levels verify FILE SOLUTIONS\n"
                 "       pelmak-levels import XSB OUTPUT\n"
                 "       pelmak-levels export FILE [OUTPUT]\n"
                 "       pelmak-levels generate ...   (see pelmak-levels generate --help)\n"
                 "FILE is a level file of fixed records, XSB is standard text (# $ . * @ +).\n");
}

void print_problems(const std::vector<LevelProblem>& problems)
{
    for (const auto& p : problems) {
        if (p.level > 0) std::printf("level %d: %s\n", p.level, p.text.c_str());
        else std::printf("file: %s\n", p.text.c_str());
    }
}

bool load_level_file(const std::string& path, std::vector<LevelGrid>& levels, std::vector<LevelProblem>& problems)
{
    std::string bytes;
    if (!read_whole_file(path, bytes)) {
        std::fprintf(stderr, "cannot read %s\n", path.c_str());
        return false;
    }
    levels = parse_level_file(bytes, problems);
    return true;
}

int command_check(const std::string& path)
{
    std::vector<LevelGrid> levels;
    std::vector<LevelProblem> problems;
    if (!load_level_file(path, levels, problems)) return 2;
    check_levels(levels, problems);
    print_problems(problems);
    if (!problems.empty()) return 1;
    std::printf("%zu levels, no problems\n", levels.size());
    return 0;
}

int command_solve(const std::string& path, int only, double time_limit)
{
    std::vector<LevelGrid> levels;
    std::vector<LevelProblem> problems;
    if (!load_level_file(path, levels, problems)) return 2;
    if (only > static_cast<int>(levels.size())) {
        std::fprintf(stderr, "%s holds %zu levels\n", path.c_str(), levels.size());
        return 2;
    }
    SolveOptions options;
    options.time_limit = time_limit;
    // Levels are independent: one worker per core, printed in order at the end.
    std::vector<int> wanted;
    for (int i = 0; i < static_cast<int>(levels.size()); ++i)
        if (only == 0 || i + 1 == only) wanted.push_back(i);
    std::vector<SolveResult> results(levels.size());
    std::atomic<size_t> next{0};
    auto started = std::chrono::steady_clock::now();
    auto work = [&]() {
        for (size_t j = next++; j < wanted.size(); j = next++) results[wanted[j]] = solve_level(levels[wanted[j]], options);
    };
    unsigned workers = std::max(1u, std::min<unsigned>(std::thread::hardware_concurrency(), wanted.size()));
    std::vector<std::thread> pool;
    for (unsigned w = 1; w < workers; ++w) pool.emplace_back(work);
    work();
    for (auto& t : pool) t.join();
    double total = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    int failed = 0;
    for (int i : wanted) {
        const SolveResult& r = results[i];
        if (!r.error.empty()) {
            std::printf("%02d  cannot solve: %s\n", i + 1, r.error.c_str());
            ++failed;
        } else if (r.solved) {
            std::printf("%02d  %s  pushes %d  moves %d  %.2f s  %s\n", i + 1, r.optimal ? "optimal" : "best found",
                        r.pushes, r.moves, r.seconds, r.lurd.c_str());
        } else if (r.unsolvable) {
            std::printf("%02d  unsolvable (proven)  %.2f s\n", i + 1, r.seconds);
            ++failed;
        } else {
            std::printf("%02d  no solution found in the time limit  %.2f s\n", i + 1, r.seconds);
            ++failed;
        }
    }
    if (only == 0) std::printf("total %.2f s on %u threads\n", total, workers);
    return failed ? 1 : 0;
}

int command_import(const std::string& xsb_path, const std::string& out_path)
{
    std::string text;
    if (!read_whole_file(xsb_path, text)) {
        std::fprintf(stderr, "cannot read %s\n", xsb_path.c_str());
        return 2;
    }
    std::vector<LevelProblem> problems;
    auto levels = parse_xsb(text, problems);
    if (levels.empty()) problems.push_back({0, "no levels found"});
    if (problems.empty()) check_levels(levels, problems);
    if (!problems.empty()) {
        print_problems(problems);
        std::fprintf(stderr, "nothing written\n");
        return 1;
    }
    std::string bytes;
    try {
        bytes = format_level_file(levels);
    } catch (const std::invalid_argument& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    if (!write_whole_file(out_path, bytes)) {
        std::fprintf(stderr, "cannot write %s\n", out_path.c_str());
        return 2;
    }
    std::printf("%zu levels written to %s\n", levels.size(), out_path.c_str());
    return 0;
}

int command_export(const std::string& path, const std::string& out_path)
{
    std::vector<LevelGrid> levels;
    std::vector<LevelProblem> problems;
    if (!load_level_file(path, levels, problems)) return 2;
    if (!problems.empty()) {
        print_problems(problems);
        return 1;
    }
    std::string text = format_xsb(levels);
    if (out_path.empty()) {
        std::fputs(text.c_str(), stdout);
        return 0;
    }
    if (!write_whole_file(out_path, text)) {
        std::fprintf(stderr, "cannot write %s\n", out_path.c_str());
        return 2;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        usage();
        return 2;
    }
    std::string cmd = argv[1];
    std::vector<std::string> args;
    double time_limit = 10.0;
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--time") == 0 && i + 1 < argc && cmd == "solve") {
            time_limit = std::atof(argv[++i]);
            continue;
        }
        args.push_back(argv[i]);
    }
    if (cmd == "check" && args.size() == 1) return command_check(args[0]);
    if (cmd == "solve" && (args.size() == 1 || args.size() == 2)) {
        int level = args.size() == 2 ? std::atoi(args[1].c_str()) : 0;
        if (args.size() == 2 && level < 1) {
            std::fprintf(stderr, "level numbers start at 1\n");
            return 2;
        }
        return command_solve(args[0], level, time_limit);
    }
    if (cmd == "verify" && args.size() == 2) return command_verify(args[0], args[1]);
    if (cmd == "import" && args.size() == 2) return command_import(args[0], args[1]);
    if (cmd == "export" && (args.size() == 1 || args.size() == 2))
        return command_export(args[0], args.size() == 2 ? args[1] : "");
    if (cmd == "generate") return generate_main(argc - 1, argv + 1);
    usage();
    return 2;
}
