// A difficulty figure that follows a person rather than the piece count: a model player
// who builds along the beams. Knowing the allowance, they put one piece after another on
// a free cell that the beams of what they have built enter after their last piece, and
// start the beams after each piece. Among the moves they could make they first try those
// that bring the most beams into targets (a person sees where a beam would go), then
// those along the beams' order. They count every start of the beams; the figure is the
// number of starts until the first win. A level whose every piece scores a hit at once is
// easy however many pieces it needs; a level whose pieces pay off only together is hard.
#pragma once

#include "levels/level.h"

#include <cstdint>

namespace lumor {

struct PlayerTries {
    int64_t tries = 0;    // starts of the beams up to and including the first win
    bool won = false;     // false: no win within the allowance, or the cap was reached
    bool capped = false;  // stopped at the cap; tries is then a lower bound
};

inline constexpr int64_t DefaultPlayerCap = 2'000'000;

// The model player on a level. `cap` bounds the beam runs spent (ordering included).
PlayerTries modelPlayerTries(const LevelRecord& level, int64_t cap = DefaultPlayerCap);

}  // namespace lumor
