// Measures the answers a player or designer waits for as whole lumor-pack processes on the
// real clock: for every level of the given packs, and every variant with one more piece of
// a stocked kind (and the allowance one higher), the best answer (solve --fast), the exact
// answer (solve) and the hint (solve --hint). Each process gets the time limit given; one
// that runs out of it counts as that long and is listed. Prints each level and, per kind of
// answer and for the levels and the variants apart, the median and the slowest.
//
//   answers_measure [--limit SECONDS] [--levels-only] LUMOR-PACK PACK.llp...
#include "app/random.h"
#include "levels/packfile.h"
#include "play/cells.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

extern char** environ;

using namespace lumor;

namespace {

struct Timed {
    double seconds = 0;
    bool gaveUp = false;  // ran out of the limit
};

// Runs lumor-pack with the arguments, its output thrown away, and times it to its end.
Timed runTimed(const std::string& tool, std::vector<std::string> args) {
    args.insert(args.begin(), tool);
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    Timed t;
    if (posix_spawn(&pid, tool.c_str(), &actions, nullptr, argv.data(), environ) != 0) {
        std::fprintf(stderr, "%s cannot be started\n", tool.c_str());
        std::exit(1);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    t.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    t.gaveUp = WIFEXITED(status) && WEXITSTATUS(status) == 3;
    posix_spawn_file_actions_destroy(&actions);
    return t;
}

struct Column {
    std::string name;
    std::vector<double> seconds;
    int gaveUp = 0;
};

void summary(Column& c) {
    if (c.seconds.empty()) return;
    std::sort(c.seconds.begin(), c.seconds.end());
    std::printf("%-22s median %8.3f s, slowest %8.3f s, %zu runs, %d over the limit\n",
                c.name.c_str(), c.seconds[c.seconds.size() / 2], c.seconds.back(), c.seconds.size(),
                c.gaveUp);
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string limit = "10";
    bool levelsOnly = false;
    while (!args.empty() && args[0].starts_with("--")) {
        if (args[0] == "--limit" && args.size() >= 2) {
            limit = args[1];
            args.erase(args.begin(), args.begin() + 2);
        } else if (args[0] == "--levels-only") {
            levelsOnly = true;
            args.erase(args.begin());
        } else {
            break;
        }
    }
    if (args.size() < 2) {
        std::fprintf(stderr,
                     "usage: answers_measure [--limit SECONDS] [--levels-only] LUMOR-PACK "
                     "PACK.llp...\n");
        return 2;
    }
    const std::string tool = args[0];
    const std::filesystem::path scratch =
        std::filesystem::temp_directory_path() / ("answers_measure." + std::to_string(getpid()));
    std::filesystem::create_directories(scratch);

    const char* kinds[] = {"best", "exact", "hint"};
    const char* flags[] = {"--fast", "", "--hint"};
    Column shipped[3], variants[3];
    for (int k = 0; k < 3; ++k) {
        shipped[k].name = std::string(kinds[k]) + ", shipped";
        variants[k].name = std::string(kinds[k]) + ", one more";
    }
    SeededRandom random(1);
    for (size_t a = 1; a < args.size(); ++a) {
        const PackReadResult read = readPack(args[a]);
        if (!read.ok) {
            std::fprintf(stderr, "%s: cannot be read\n", args[a].c_str());
            return 1;
        }
        for (size_t i = 0; i < read.contents.levels.size(); ++i) {
            const LevelRecord& level = read.contents.levels[i];
            // The level itself first, then one pack per variant.
            std::vector<std::pair<std::string, LevelRecord>> runs = {{"", level}};
            for (int slot = 1; slot <= SlotCount && !levelsOnly; ++slot) {
                if (level.Stock[static_cast<size_t>(slot)] <= 0) continue;
                LevelRecord more = level;
                ++more.Stock[static_cast<size_t>(slot)];
                ++more.Stock[0];
                runs.emplace_back("+" + std::to_string(slot), more);
            }
            for (const auto& [what, record] : runs) {
                const std::string file = (scratch / "level.llp").string();
                if (!writePack(file, read.contents.header, {record}, random).ok) {
                    std::fprintf(stderr, "the variant cannot be written\n");
                    return 1;
                }
                Column* columns = what.empty() ? shipped : variants;
                std::printf("%-22s %2zu %-3s", std::filesystem::path(args[a]).filename().c_str(),
                            i + 1, what.c_str());
                for (int k = 0; k < 3; ++k) {
                    std::vector<std::string> call = {"solve", "--time-limit", limit, file, "1"};
                    if (*flags[k]) call.insert(call.begin() + 1, flags[k]);
                    const Timed t = runTimed(tool, call);
                    columns[k].seconds.push_back(t.seconds);
                    columns[k].gaveUp += t.gaveUp;
                    std::printf("  %s %7.3f s%s", kinds[k], t.seconds, t.gaveUp ? " (limit)" : "");
                }
                std::printf("\n");
                std::fflush(stdout);
            }
        }
    }
    std::filesystem::remove_all(scratch);
    for (Column& c : shipped) summary(c);
    for (Column& c : variants) summary(c);
    return 0;
}
