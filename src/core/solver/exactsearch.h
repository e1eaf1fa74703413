// The finder's answer without trying every arrangement: the tried, checked and solution
// counts, the best number of pieces left and the arrangement last recorded as best, exactly
// as the search over every arrangement (SolutionSearch) ends with them.
#pragma once

#include "levels/level.h"
#include "solver/beamcheck.h"
#include "solver/count.h"
#include "solver/search.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace lumor {

class ExactSearch {
public:
    ExactSearch();
    ~ExactSearch();

    // Prepares a level; false with a German message (Windows-1252) when its slot counts
    // add up to more than SolutionSearch::MaxPieces.
    bool load(const LevelRecord& level);
    const std::string& loadMessage() const { return loadMessage_; }

    // Works out the answer on `threads` threads. poll runs on the calling thread, at the
    // start and then every few milliseconds, and may read the progress below; true stops
    // the search, which then has not finished.
    void run(const std::function<bool()>& poll = {}, int threads = 1);
    bool finished() const { return finished_; }

    // Once the fewest pieces of a win are known, the sizes after it are searched one by one
    // up to `separate` sizes more (the early ones tighten the bound most), then the rest in
    // one walk that keeps its wins, at most `maxKept` pieces of them (8 bytes each per
    // thread); beyond that the rest are searched one by one too. Answers are the same.
    void setWalk(int separate, size_t maxKept) {
        separatePasses_ = separate;
        maxKept_ = maxKept;
    }

    // The answer (valid once finished; the two counters as soon as run() has begun).
    const Count& triedCount() const { return tried_; }
    const Count& checkedCount() const { return checked_; }
    const Count& solutionCount() const { return solutions_; }
    int32_t bestLeft() const { return bestLeft_; }
    // The arrangement last recorded as best: placed pieces in PieceList order.
    const std::vector<Piece>& bestArrangement() const { return best_; }

    // Progress while running: pieces tried and beam runs of the core search, and the
    // best number of pieces left as far as it is known (-1 until then).
    int64_t workTries() const;
    int64_t workRuns() const;
    int32_t bestLeftSoFar() const { return bestLeftSoFar_; }
    // The piece count being searched (counts rise from 0; the last is at most
    // lastPass()) and the share of its search walked, 0..1: the least of the threads'.
    int pass() const { return pass_.load(std::memory_order_relaxed); }
    int lastPass() const;
    double walked() const;

private:
    friend class ExactVisitor;
    void countEnumeration();

    LevelRecord level_;
    std::string loadMessage_;
    bool loaded_ = false;
    bool finished_ = false;
    int pieces_ = 0;     // PieceList entries
    int freeCount_ = 0;  // FreeCells entries besides "not placed"
    std::array<FreeCell, SolutionSearch::MaxFreeCells> freeCells_{};
    std::array<int16_t, BeamChecker::PadCells>
        freeIndex_{};  // by BeamChecker pad index; 0 = not a free cell

    Count tried_, checked_, solutions_;
    int32_t bestLeft_ = -1;
    int32_t bestLeftSoFar_ = -1;
    std::vector<Piece> best_;
    struct Worker;
    std::vector<std::unique_ptr<Worker>> workers_;  // while running
    int64_t doneTries_ = 0, doneRuns_ = 0;
    std::atomic<int> pass_{0};
    int separatePasses_ = 3;
    size_t maxKept_ = size_t{1} << 19;
};

}  // namespace lumor
