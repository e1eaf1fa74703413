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
#include "solver/levelsearch.h"

#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <map>

namespace lumorpack {
namespace {

constexpr const char* SolveUsage =
    "solve [--fast|--hint|--literal|--earlier] [--time-limit SEKUNDEN] DATEI LEVEL";
using Clock = std::chrono::steady_clock;

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

// The progress line: the work counters, then the stage (the piece count searched), its
// share done and the time the stage still takes once it can be estimated.
std::string progressText(const lumor::SearchProgress& p) {
    std::string text =
        p.total ? p.tries.toString() + " / " + p.total->toString() + " Versuche"
                : p.tries.toString() + " Steine versucht, " + p.runs.toString() + " Strahlläufe";
    if (p.share >= 0) {
        if (!p.total)
            text += ", Stufe " + std::to_string(p.pass) + " von " + std::to_string(p.lastPass);
        text += ": " + std::to_string(static_cast<int>(std::floor(p.share * 100))) + " %";
        if (p.secondsLeft >= 0)
            text += ", diese Stufe noch etwa " + std::to_string(std::lround(p.secondsLeft)) + " s";
    }
    return text;
}

std::string gaveUp(double limitSeconds) {
    Json out;
    out["gave_up"] = true;
    out["time_limit"] = limitSeconds;
    return out.dump();
}

// JSON numbers past 64 bits: the library holds none, so such a count goes in as a
// placeholder text that the dumped line then carries as the exact decimal number.
class ExactCounts {
public:
    Json number(const lumor::Count& c) {
        if (c.saturated() != UINT64_MAX) return c.saturated();
        const std::string mark = "\x01" + std::to_string(big_.size()) + "\x01";
        big_[mark] = c.toString();
        return mark;
    }
    std::string dump(const Json& j) const {
        std::string text = j.dump();
        for (const auto& [mark, digits] : big_) {
            const std::string quoted = Json(mark).dump();
            text.replace(text.find(quoted), quoted.size(), digits);
        }
        return text;
    }

private:
    std::map<std::string, std::string> big_;
};

int solve(const std::vector<std::string>& args) {
    std::vector<std::string> rest;
    int modes = 0;
    bool hint = false;
    lumor::SearchMode mode = lumor::SearchMode::Exact;
    double limit = -1;
    const std::map<std::string, lumor::SearchMode> flags = {
        {"--fast", lumor::SearchMode::Best},
        {"--literal", lumor::SearchMode::Literal},
        {"--earlier", lumor::SearchMode::Earlier}};
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (const auto flag = flags.find(a); flag != flags.end()) {
            mode = flag->second;
            ++modes;
        } else if (a == "--hint") {
            hint = true;
            ++modes;
        } else if (a == "--time-limit" && i + 1 < args.size()) {
            if (!parseTimeLimit(args[++i], limit)) return ExitUsage;
        } else {
            rest.push_back(a);
        }
    }
    if (rest.size() != 2 || modes > 1) {
        std::cerr << "Aufruf: lumor-pack " << SolveUsage << '\n';
        return ExitUsage;
    }
    lumor::LevelRecord level;
    int code = ExitOk;
    if (!loadLevelArg(rest[0], rest[1], level, code)) return code;

    Watch watch(limit);
    Json out;
    if (hint) {
        lumor::HintSource source(level, lumor::waitingThreads());
        const std::optional<lumor::Hint> h = source.hintFor(
            level, [&] { return watch.expired([] { return std::string("Tipp"); }); });
        if (!h) {
            std::cout << gaveUp(limit) << '\n';
            return ExitGaveUp;
        }
        static const char* const kinds[] = {"cell", "complete", "none"};
        out["hint"] = kinds[static_cast<int>(h->kind)];
        out["x"] = h->x;
        out["y"] = h->y;
        out["code"] = h->code;
        std::cout << out.dump() << '\n';
        return ExitOk;
    }
    lumor::SearchOptions options;
    options.threads = lumor::waitingThreads();
    const std::unique_ptr<lumor::LevelSearch> search = lumor::makeSearch(mode, options);
    if (!search->load(level)) {
        std::cerr << terminalText(search->loadMessage()) << '\n';
        return ExitRefused;
    }
    search->run([&] { return watch.expired([&] { return progressText(search->progress()); }); });
    const lumor::SearchResult& r = search->result();
    if (!r.finished) {
        std::cout << gaveUp(limit) << '\n';
        return ExitGaveUp;
    }
    ExactCounts counts;
    out["best_left"] = r.bestLeft;
    if (r.solutions) out["solutions"] = counts.number(*r.solutions);
    if (r.tried) out["tried"] = counts.number(*r.tried);
    if (r.total) out["total"] = counts.number(*r.total);
    if (r.checked) out["checked"] = counts.number(*r.checked);
    out["best"] = Json::array();
    for (const lumor::Piece& p : r.best) out["best"].push_back(Json::array({p.Slot, p.X, p.Y}));
    std::cout << counts.dump(out) << '\n';
    return ExitOk;
}

const bool registered = registerCommand({"solve", SolveUsage, solve});

}  // namespace
}  // namespace lumorpack
