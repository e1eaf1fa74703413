// The search over every arrangement of a level's stock pieces on its empty cells, each
// run through the beam check, the best one (most pieces left of the allowance) reported:
// the definition of the finder's answer, which ExactSearch works out without it. Used by
// "lumor-pack solve --literal" and as the tests' yardstick; it ends on small levels only.
#pragma once

#include "levels/level.h"
#include "solver/beamcheck.h"

#include <array>
#include <bitset>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace lumor {

// One stock piece of the search: its slot and where the current arrangement puts it.
struct Piece {
    int32_t Slot = 0;  // stock slot 1..8, stands on the board as code Slot + 8
    int32_t X = -2;    // column; -1 not placed; -2 not yet tried
    int32_t Y = 0;     // row; 0 while not placed
    bool operator==(const Piece&) const = default;
};

struct FreeCell {
    int32_t X = -1;
    int32_t Y = 0;
    bool operator==(const FreeCell&) const = default;
};

// Slots in the order their pieces enter PieceList: splitters, the four deflectors,
// cross, wall, sand last.
inline constexpr std::array<int, 8> PieceSlotOrder = {8, 3, 4, 5, 6, 2, 1, 7};

class SolutionSearch {
public:
    static constexpr int MaxPieces = 991;
    static constexpr int MaxFreeCells = 253;  // FreeCells indexes 0..252, 0 = not placed
    static constexpr int MaxBeams = 1001;
    static constexpr int64_t DisplayIntervalMs = 2000;

    // Milliseconds of the system timer. Read once every ClockEvery tries (and at the
    // first), so a plain function: nothing in the loop over the tries calls through more.
    using ClockFn = int64_t (*)();
    static constexpr int ClockEvery = 4096;
    using ProgressFn = std::function<void()>;
    // The arrangement just recorded as best: the placed pieces, in PieceList order.
    using BestFn = std::function<void(const std::vector<Piece>& placed)>;

    SolutionSearch();

    // Hooks. The progress hook runs at the first try and then at most once every 2000 ms
    // (by the clock); it may show the counters. The best hook runs
    // whenever a solution is recorded as best. Either may call abort().
    void setClock(ClockFn clock) { clock_ = clock; }
    // The least time between two progress displays (2000 ms unless set).
    void setDisplayInterval(int64_t ms) { displayInterval_ = ms; }
    void setProgressHook(ProgressFn hook) { onProgress_ = std::move(hook); }
    void setBestHook(BestFn hook) { onBest_ = std::move(hook); }

    // Prepares a level: board, piece list, free cells, BestLeft = -1, TriedCount = 0,
    // the abort flag cleared. Returns false with a German message (Windows-1252) when the
    // level's slot counts add up to more than MaxPieces; the search is then not runnable.
    bool load(const LevelRecord& level);
    const std::string& loadMessage() const { return loadMessage_; }
    bool loaded() const { return loaded_; }

    // The whole search (the window's first timer tick): resets CheckedCount and
    // SolutionCount, then tries every arrangement unless aborted. A level whose stock
    // holds no piece has its bare board checked once. Does nothing when not loaded.
    void run();

    // The abort request (the window's close): the running search stops at its next try.
    void abort() { AbortRequested = 1; }
    bool aborted() const { return AbortRequested > 0; }
    // True when the last run() went through every arrangement (the " - Fertig" state).
    bool finished() const { return finished_; }

    int64_t triedCount() const { return TriedCount; }
    int64_t checkedCount() const { return CheckedCount; }
    int64_t solutionCount() const { return SolutionCount; }
    int32_t bestLeft() const { return BestLeft; }
    int32_t piecesLeft() const { return PiecesLeft; }
    // The last arrangement recorded as best (placed pieces in PieceList order); empty
    // when none was recorded or the best placed no piece.
    const std::vector<Piece>& bestArrangement() const { return best_; }
    bool hasSolution() const { return BestLeft >= 0; }

    const LevelRecord& level() const { return level_; }
    const std::vector<Piece>& pieceList() const { return PieceList; }
    int32_t lastPiece() const { return static_cast<int32_t>(PieceList.size()) - 1; }
    int32_t freeCount() const { return freeCount_; }
    const std::array<FreeCell, MaxFreeCells>& freeCells() const { return FreeCells; }

    // Kept by the object, not reset by load(): 0 on construction.
    int64_t nextDisplayTime() const { return NextDisplayTime; }

private:
    void StartSuche(int32_t A, int32_t St);
    void Check(int32_t s);   // s: the free-cell index piece 0 stands on
    void testen(int32_t s);  // the beam check of the current arrangement, recording a solution
    void record();           // a solving arrangement: recorded when it ties or beats the best
    void progress();

    ClockFn clock_;
    int clockCountdown_ = 1;
    int64_t displayInterval_ = DisplayIntervalMs;
    ProgressFn onProgress_;
    BestFn onBest_;

    LevelRecord level_;
    std::string loadMessage_;
    bool loaded_ = false;
    bool finished_ = false;

    std::vector<Piece> PieceList;
    std::array<FreeCell, MaxFreeCells> FreeCells{};
    int32_t freeCount_ = 0;
    std::array<int16_t, MaxFreeCells> CellTaken{};
    int32_t PiecesLeft = 0;
    int32_t BestLeft = -1;
    int64_t SolutionCount = 0;
    int64_t TriedCount = 0;
    int64_t CheckedCount = 0;
    int64_t NextDisplayTime = 0;
    int32_t AbortRequested = 0;
    std::vector<Piece> best_;

    BeamChecker checker_;                          // the level with the current arrangement
    std::array<int16_t, MaxFreeCells> freePad_{};  // FreeCells as checker cell indexes
    // What is known of runs that differ from the current arrangement only in pieces 0
    // and 1 (see testen).
    using CellSet = std::bitset<BeamChecker::PadCells>;
    CellSet enteredOf() const;
    bool baseValid_ = false;  // the run without piece 0 of this arrangement is known
    bool baseSolved_ = false;
    CellSet baseEntered_;
    bool recording_ = false;   // piece 1 stands nowhere: remember the runs of piece 0
    bool cacheValid_ = false;  // the runs with piece 1 nowhere are remembered
    int piece1Cell_ = -1;      // piece 1's cell when no beam of those runs' base enters it
    bool cacheBaseSolved_ = false;
    CellSet cacheBaseEntered_;
    std::array<int8_t, MaxFreeCells> cacheSolved_{};  // by piece 0's free-cell index; -1 unknown
    std::array<CellSet, MaxFreeCells> cacheEntered_{};
};

// The German refusal of a level with more pieces than the piece list holds (Windows-1252).
std::string tooManyPiecesMessage(int pieces);

}  // namespace lumor
