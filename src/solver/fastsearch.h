// The fast search for the tools: the same best number of pieces left as the finder's
// exhaustive search (the highest BestLeft) and one arrangement that achieves it, found by
// trying piece counts from 0 upwards and only arrangements in which every piece matters.
#pragma once

#include "levels/level.h"
#include "solver/search.h"

#include <cstdint>
#include <string>
#include <vector>

namespace lumor {

struct FastResult {
    bool ok = true;           // false: the level was refused (message says why)
    std::string message;      // Windows-1252
    int32_t bestLeft = -1;    // -1: no arrangement solves the level
    std::vector<Piece> best;  // placed pieces in PieceList order
    int64_t beamRuns = 0;     // arrangements run through the beam check
};

// useBounds = false leaves out the per-target bound and what follows from it, keeping
// only the minimal-pieces and one-order rules: slower, and the yardstick for the bounds.
FastResult fastSolve(const LevelRecord& level, bool useBounds = true);

}  // namespace lumor
