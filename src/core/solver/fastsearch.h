// The fast search for the tools: the same best number of pieces left as the finder (the
// highest BestLeft) and one arrangement that achieves it, found by trying piece counts
// from 0 upwards over cores only: the first winning core is one with the fewest pieces.
#pragma once

#include "levels/level.h"
#include "solver/search.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace lumor {

struct FastResult {
    bool ok = true;           // false: the level was refused (message says why)
    std::string message;      // Windows-1252
    bool gaveUp = false;      // stopped by poll before the answer was known
    int32_t bestLeft = -1;    // -1: no arrangement solves the level
    std::vector<Piece> best;  // placed pieces in PieceList order
    int64_t beamRuns = 0;     // arrangements run through the beam check
};

// useBounds = false leaves out the per-target bounds (the yardstick for them). poll runs
// every few hundred steps; true gives up.
// onProgress, when given, runs before each poll with the piece count being searched
// and the share of its search walked. Several threads find the same arrangement as one.
FastResult fastSolve(const LevelRecord& level, bool useBounds = true,
                     const std::function<bool()>& poll = {},
                     const std::function<void(int pieces, double walked)>& onProgress = {},
                     int threads = 1);

}  // namespace lumor
