// The earlier release's finder search. It puts the level's stock pieces on its empty
// cells as the finder's full search does (PieceList and FreeCells in the same order, the
// last piece changing slowest), but with two cuts and one order for identical pieces:
//
// - an arrangement is cut as soon as more pieces are placed than stock index 0 allows;
// - on reaching piece 0 it is not checked when the beams that can ever exist, one per
//   source and one more per splitter (the level's own and the placed ones), are fewer
//   than the targets: each target must take a beam of its own;
// - a piece of the same slot as the piece above it starts at the free cell after that
//   piece's, or at "not placed" when that piece is not placed, so a set of identical
//   pieces on a set of cells is tried once instead of in every order.
//
// Counting: every call of the search stands for free count + 1 tries, one per free-cell
// index; the indexes a call starts behind are added to the tried count as skipped tries.
// The total, worked out on load, is therefore (free count + 1) times the number of calls a
// complete search makes, and a complete search ends with the tried count equal to it.
#pragma once

#include "levels/level.h"
#include "solver/beamcheck.h"
#include "solver/count.h"
#include "solver/search.h"

#include <array>
#include <bitset>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace lumor {

class EarlierSearch {
public:
    // Tries between two calls of the poll.
    static constexpr int PollEvery = 4096;

    EarlierSearch() = default;

    // Prepares a level and works out the total. False with a German message
    // (Windows-1252) when its slot counts add up to more than SolutionSearch::MaxPieces.
    bool load(const LevelRecord& level);
    const std::string& loadMessage() const { return loadMessage_; }
    const Count& total() const { return total_; }

    // The whole search. `poll` runs at the start and then every PollEvery tries; it may read
    // the counters, and true stops the search. A level whose stock holds no piece has its
    // bare board checked once.
    void run(const std::function<bool()>& poll = {});
    // Runs whenever a solution is recorded as best.
    std::function<void()> onBest;
    bool finished() const { return finished_; }

    Count triedCount() const { return tried_ + Count(pending_); }
    int64_t checkedCount() const { return checked_; }
    int32_t bestLeft() const { return bestLeft_; }
    // The last arrangement recorded as best (ties count): placed pieces in PieceList order.
    const std::vector<Piece>& bestArrangement() const { return best_; }

private:
    void StartSuche(int A, int St);
    void Check(int s);  // s: the free-cell index piece 0 stands on
    bool poll();
    void countTotal();

    std::function<bool()> poll_;
    int pollCountdown_ = 0;
    bool stop_ = false;
    bool finished_ = false;
    bool loaded_ = false;
    std::string loadMessage_;

    LevelRecord level_;
    std::vector<Piece> PieceList;
    std::array<FreeCell, SolutionSearch::MaxFreeCells> FreeCells{};
    std::array<int16_t, SolutionSearch::MaxFreeCells> freePad_{};
    std::array<bool, SolutionSearch::MaxFreeCells> CellTaken{};
    int freeCount_ = 0;
    int piecesLeft_ = 0;
    int beamsPossible_ = 0;  // sources and splitters, placed ones included
    int targets_ = 0;

    Count total_;
    Count tried_;
    uint64_t pending_ = 0;  // tries not yet added to tried_
    int64_t checked_ = 0;
    int32_t bestLeft_ = -1;
    std::vector<Piece> best_;

    // The run with piece 0 nowhere, for the call of piece 0 in progress: a piece 0 on a
    // cell none of its beams enters runs alike.
    BeamChecker checker_;
    bool baseSolved_ = false;
    std::bitset<BeamChecker::PadCells> baseEntered_;
};

}  // namespace lumor
