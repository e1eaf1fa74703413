// The search over every arrangement written out step for step, without any of
// SolutionSearch's shortcuts and without the beam engine: every check copies the whole
// board back and every beam check scans the board for its sources. The yardstick of the
// tests and benchmarks for the engine's results, SolutionSearch's counters and speed.
#pragma once

#include "levels/level.h"
#include "play/beamengine.h"
#include "solver/search.h"

#include <array>
#include <cstdint>
#include <vector>

namespace lumor {

// The beam check of one board, step for step (sand is eaten on the board given).
BeamResult referenceBeamCheck(std::array<std::array<int32_t, BoardHeight>, BoardWidth>& board);
BeamResult referenceBeamCheck(const LevelRecord& level);

class ReferenceSearch {
public:
    bool load(const LevelRecord& level);
    void run();

    int64_t triedCount() const { return TriedCount; }
    int64_t checkedCount() const { return CheckedCount; }
    int64_t solutionCount() const { return SolutionCount; }
    int32_t bestLeft() const { return BestLeft; }
    const std::vector<Piece>& bestArrangement() const { return best_; }

private:
    void StartSuche(int32_t A, int32_t St);
    void Check();
    void testen();

    LevelRecord level_;
    bool loaded_ = false;
    std::array<std::array<int32_t, BoardHeight>, BoardWidth> SolverBoard{};
    std::vector<Piece> PieceList;
    int32_t lastPiece_ = -1;
    std::array<FreeCell, SolutionSearch::MaxFreeCells> FreeCells{};
    int32_t freeCount_ = 0;
    std::array<int16_t, SolutionSearch::MaxFreeCells> CellTaken{};
    int32_t PiecesLeft = 0;
    int32_t BestLeft = -1;
    int64_t SolutionCount = 0;
    int64_t TriedCount = 0;
    int64_t CheckedCount = 0;
    std::vector<Piece> best_;
};

}  // namespace lumor
