// What the level choice shows of a pack: every level, marked as reached or won from the
// player's progress. A reached level may be started; the first one always may.
#pragma once

#include "title/progress.h"

#include <string>
#include <vector>

namespace lumor {

struct LevelMark {
    bool reached = false;
    bool won = false;
};

// The marks of the `count` levels of a pack (its file name and title, as the progress
// knows it): up to the furthest level reached, and every level won, count as reached; a
// furthest level beyond the pack's end counts as none.
std::vector<LevelMark> levelMarks(const Progress& progress, const std::string& file,
                                  const std::string& title, int count);

}  // namespace lumor
