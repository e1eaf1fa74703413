// One shape for every search over a level's stock pieces: load a level, run it with a poll
// that may read the progress and cancel, read the result. The finder window, the hint, the
// editor's live check, lint and lumor-pack all go through it, and makeSearch() is the one
// place that picks the search for a purpose and the edition.
#pragma once

#include "app/edition.h"
#include "levels/level.h"
#include "solver/analysis.h"
#include "solver/count.h"
#include "solver/search.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace lumor {

enum class SearchMode {
    Finder,    // the finder window's answer as the edition gives it (Exact or Earlier)
    Exact,     // the counters of trying every arrangement, worked out without it
    Earlier,   // the earlier release's search, arrangement by arrangement
    Literal,   // trying every arrangement (small levels only)
    Best,      // the best number of pieces left and one minimal arrangement
    Analysis,  // the designers' measurements (analyseLevel)
};

struct SearchOptions {
    int threads = 1;           // Exact and Best
    AnalysisOptions analysis;  // Analysis only
};

// How far a running search is. A search goes through the piece counts from 0 upwards
// (each a pass, the last at most lastPass) until its answer is known; `share` is the part
// of the current pass done, so it starts again at each pass.
struct SearchProgress {
    int32_t bestLeft = -1;       // the best number of pieces left known so far
    Count tries;                 // the search's own work counters, as the finder shows them
    Count runs;                  // beam runs (Literal: arrangements checked)
    std::optional<Count> total;  // the Earlier search's total of tries
    int pass = 0;
    int lastPass = 0;
    double share = -1;        // 0..1; -1 while not known
    double secondsLeft = -1;  // of the current pass, once an estimate can be made
};

// The answer. The counters are set only by the searches that keep them.
struct SearchResult {
    bool finished = false;    // the search went through to its answer (not cancelled)
    int32_t bestLeft = -1;    // -1: nothing solves the level
    std::vector<Piece> best;  // placed pieces in PieceList order
    std::optional<Count> tried, checked, solutions;
    std::optional<Count> total;  // the Earlier search's total of tries
    int64_t beamRuns = 0;
    LevelAnalysis analysis;  // Analysis only
};

class LevelSearch {
public:
    explicit LevelSearch(SearchMode mode) : mode_(mode) {}
    virtual ~LevelSearch() = default;
    LevelSearch(const LevelSearch&) = delete;
    LevelSearch& operator=(const LevelSearch&) = delete;

    SearchMode mode() const { return mode_; }

    // Prepares a level; false with a German message (Windows-1252) when the search refuses
    // it (more pieces than the finder's piece list holds).
    virtual bool load(const LevelRecord& level) = 0;
    const std::string& loadMessage() const { return loadMessage_; }

    // The whole search. `poll` runs at its start and then every few milliseconds on the
    // calling thread; it may read progress(), and true cancels the search.
    virtual void run(const std::function<bool()>& poll = {}) = 0;
    // Threads for the searches that share their work (Exact); the others use one.
    virtual void setThreads(int /*threads*/) {}
    // Runs on the calling thread whenever a search that shows its bests as it goes (the
    // Earlier one) records a new best; bestSoFar() then holds it.
    std::function<void()> onBest;
    virtual const std::vector<Piece>& bestSoFar() const { return result_.best; }

    // While running (from the poll) or after.
    SearchProgress progress() const;
    const SearchResult& result() const { return result_; }

protected:
    virtual SearchProgress workProgress() const = 0;
    // Starts afresh on a level with a search that keeps its own load message.
    template <typename Search>
    bool loadWith(Search& search, const LevelRecord& level) {
        result_ = {};
        const bool ok = search.load(level);
        loadMessage_ = search.loadMessage();
        return ok;
    }

    std::string loadMessage_;
    SearchResult result_;

private:
    SearchMode mode_;
    using Steady = std::chrono::steady_clock;
    mutable int timedPass_ = -1;
    mutable Steady::time_point passStart_{};
};

// The search for a purpose; SearchMode::Finder picks by the edition's rules.
std::unique_ptr<LevelSearch> makeSearch(SearchMode mode, const SearchOptions& options = {},
                                        const EditionRules& rules = edition());

// The threads a search the player waits for uses: the processor's cores, at most 8.
int waitingThreads();

}  // namespace lumor
