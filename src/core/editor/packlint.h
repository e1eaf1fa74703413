// The rules of "lumor-pack lint --strict" over the pack being edited, from the levels the
// live check has measured so far, as the level list shows them: the findings of each level
// (in lint's own words) and of the pack as a whole.
#pragma once

#include "levels/level.h"
#include "solver/analysis.h"

#include <string>
#include <vector>

namespace lumor {

struct PackLintFinding {
    std::string rule;  // lint's short name: "solvable", "decoy", "password", ...
    std::string text;  // German, UTF-8
    // A fault of the level (nobody can win it, or reach it) rather than a matter of
    // design such as a decoy, spare pieces or several solutions.
    bool fault = false;
};

struct PackLint {
    std::vector<std::vector<PackLintFinding>> levels;  // one list per level
    std::vector<std::string> pack;                     // about the pack as a whole
};

// `measured[i]` is level i's whole analysis, or nullptr while it is not known; the rules
// over a single level wait for it, the rising difficulty for all of them. `title` names
// the pack in findings about pairs of levels.
PackLint lintPack(const std::vector<LevelRecord>& levels, const std::string& title,
                  const std::vector<const LevelAnalysis*>& measured);

}  // namespace lumor
