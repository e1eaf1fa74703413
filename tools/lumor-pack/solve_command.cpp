// lumor-pack solve: the finder's answer for one level of a pack, as one line of JSON.
// Without an option the exact answer (the counters, the best and its arrangement, as the
// search over every arrangement ends with them); --fast only the best and one arrangement
// achieving it; --hint the game's hint for the level's bare board, by the board window's
// own path (for measuring it); --literal the search over every arrangement itself;
// --earlier the earlier release's search, with its tries (skipped ones included) and
// their total. Every search runs as long as it takes unless given a time limit; one that
// runs out of it says so (exit 3) and reports nothing it has not proven.
#include "command.h"
#include "packjson.h"
#include "timelimit.h"

#include "levels/level.h"
#include "play/hintsource.h"
#include "solver/earliersearch.h"
#include "solver/exactsearch.h"
#include "solver/fastsearch.h"
#include "solver/search.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <thread>

namespace lumorpack {
namespace {

constexpr const char* SolveUsage =
    "solve [--fast|--hint|--literal|--earlier] [--time-limit SEKUNDEN] DATEI LEVEL";
using Clock = std::chrono::steady_clock;

std::string arrangementJson(const std::vector<lumor::Piece>& pieces) {
    Json out = Json::array();
    for (const lumor::Piece& p : pieces) out.push_back(Json::array({p.Slot, p.X, p.Y}));
    return out.dump();
}

// The deadline and, on a terminal, a progress line on standard error about once a second.
class Watch {
public:
    explicit Watch(double limitSeconds)
        : deadline_(limitSeconds), terminal_(isatty(STDERR_FILENO) == 1) {}

    // True when the time is up. `what` describes the work done so far.
    template <class Describe>
    bool expired(Describe what) {
        const Clock::time_point now = Clock::now();
        if (terminal_ && now >= nextShow_) {
            nextShow_ = now + std::chrono::seconds(1);
            std::fprintf(stderr, "\rSuche: %.0f s, %s   ", deadline_.elapsed(), what().c_str());
            shown_ = true;
        }
        return deadline_.passed();
    }
    ~Watch() {
        if (shown_) std::fputs("\n", stderr);
    }

private:
    Deadline deadline_;
    bool terminal_;
    Clock::time_point nextShow_ = Clock::now() + std::chrono::seconds(1);
    bool shown_ = false;
};

std::string gaveUp(double limitSeconds) {
    Json out;
    out["gave_up"] = true;
    out["time_limit"] = limitSeconds;
    return out.dump();
}

int solve(const std::vector<std::string>& args) {
    std::vector<std::string> rest;
    bool fast = false, literal = false, earlier = false, hint = false;
    double limit = -1;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--fast") {
            fast = true;
        } else if (a == "--literal") {
            literal = true;
        } else if (a == "--earlier") {
            earlier = true;
        } else if (a == "--hint") {
            hint = true;
        } else if (a == "--time-limit" && i + 1 < args.size()) {
            if (!parseTimeLimit(args[++i], limit)) return ExitUsage;
        } else {
            rest.push_back(a);
        }
    }
    if (rest.size() != 2 || fast + literal + earlier + hint > 1) {
        std::cerr << "Aufruf: lumor-pack " << SolveUsage << '\n';
        return ExitUsage;
    }
    lumor::LevelRecord level;
    int code = ExitOk;
    if (!loadLevelArg(rest[0], rest[1], level, code)) return code;

    Watch watch(limit);
    std::string line;
    if (fast) {
        const lumor::FastResult r = lumor::fastSolve(level, true, [&] {
            return watch.expired([] { return std::string("schnelle Suche"); });
        });
        if (!r.ok) {
            std::cerr << terminalText(r.message) << '\n';
            return ExitRefused;
        }
        if (r.gaveUp) {
            std::cout << gaveUp(limit) << '\n';
            return ExitGaveUp;
        }
        line = "{\"best_left\":" + std::to_string(r.bestLeft) +
               ",\"best\":" + arrangementJson(r.best) + "}";
    } else if (earlier) {
        lumor::EarlierSearch search;
        if (!search.load(level)) {
            std::cerr << terminalText(search.loadMessage()) << '\n';
            return ExitRefused;
        }
        search.run([&] {
            return watch.expired([&] {
                return search.triedCount().toString() + " / " + search.total().toString() +
                       " Versuche";
            });
        });
        if (!search.finished()) {
            std::cout << gaveUp(limit) << '\n';
            return ExitGaveUp;
        }
        line = "{\"best_left\":" + std::to_string(search.bestLeft()) +
               ",\"tried\":" + search.triedCount().toString() +
               ",\"total\":" + search.total().toString() +
               ",\"checked\":" + std::to_string(search.checkedCount()) +
               ",\"best\":" + arrangementJson(search.bestArrangement()) + "}";
    } else if (hint) {
        lumor::HintSource source(
            level, std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1, 8));
        const std::optional<lumor::Hint> h = source.hintFor(
            level, [&] { return watch.expired([] { return std::string("Tipp"); }); });
        if (!h) {
            std::cout << gaveUp(limit) << '\n';
            return ExitGaveUp;
        }
        static const char* const kinds[] = {"cell", "complete", "none"};
        line = "{\"hint\":\"" + std::string(kinds[static_cast<int>(h->kind)]) +
               "\",\"x\":" + std::to_string(h->x) + ",\"y\":" + std::to_string(h->y) +
               ",\"code\":" + std::to_string(h->code) + "}";
    } else if (literal) {
        lumor::SolutionSearch search;
        if (!search.load(level)) {
            std::cerr << terminalText(search.loadMessage()) << '\n';
            return ExitRefused;
        }
        // Read every few thousand tries: the deadline and the progress line.
        search.setProgressHook([&] {
            if (watch.expired([&] {
                    return std::to_string(search.triedCount()) + " Versuche, " +
                           std::to_string(search.checkedCount()) + " Anordnungen";
                }))
                search.abort();
        });
        search.setDisplayInterval(0);
        search.run();
        if (!search.finished()) {
            std::cout << gaveUp(limit) << '\n';
            return ExitGaveUp;
        }
        line = "{\"best_left\":" + std::to_string(search.bestLeft()) +
               ",\"solutions\":" + std::to_string(search.solutionCount()) +
               ",\"tried\":" + std::to_string(search.triedCount()) +
               ",\"checked\":" + std::to_string(search.checkedCount()) +
               ",\"best\":" + arrangementJson(search.bestArrangement()) + "}";
    } else {
        lumor::ExactSearch search;
        if (!search.load(level)) {
            std::cerr << terminalText(search.loadMessage()) << '\n';
            return ExitRefused;
        }
        const unsigned cores = std::thread::hardware_concurrency();
        search.run(
            [&] {
                return watch.expired([&] {
                    return std::to_string(search.workTries()) + " Steine versucht, " +
                           std::to_string(search.workRuns()) + " Strahlläufe";
                });
            },
            static_cast<int>(std::clamp(cores, 1u, 8u)));
        if (!search.finished()) {
            std::cout << gaveUp(limit) << '\n';
            return ExitGaveUp;
        }
        // Counts may pass 2^64: written as exact decimal numbers.
        line = "{\"best_left\":" + std::to_string(search.bestLeft()) +
               ",\"solutions\":" + search.solutionCount().toString() +
               ",\"tried\":" + search.triedCount().toString() +
               ",\"checked\":" + search.checkedCount().toString() +
               ",\"best\":" + arrangementJson(search.bestArrangement()) + "}";
    }
    std::cout << line << '\n';
    return ExitOk;
}

const bool registered = registerCommand({"solve", SolveUsage, solve});

}  // namespace
}  // namespace lumorpack
