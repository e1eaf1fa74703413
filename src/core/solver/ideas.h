// Near-repeats by idea: two levels whose solutions are the same set of pieces in the same
// arrangement, once turned, mirrored or moved. Boards may differ in every cell and still
// ask the same question; the board distance cannot see that.
#pragma once

#include "solver/analysis.h"
#include "solver/lint.h"

#include <string>
#include <vector>

namespace lumor {

// The placement in a form that is the same for all its turned, mirrored and moved copies
// (a deflector turns with the board; the other pieces look alike from every side).
std::string ideaKey(const Placement& placement);

// Whether two levels share an idea: some solution of one is a copy of some of the other.
// Empty placements (the bare board wins) share nothing.
bool sameIdea(const std::vector<Placement>& a, const std::vector<Placement>& b);

// The solutions a level stands for: its recorded one and the first minimal placements.
std::vector<Placement> levelIdeas(const LintLevel& level, const LevelAnalysis& analysis);

// Lists the pairs of measured levels that share an idea (report.ideaPairs) and, with the
// rule, reports each pair that neither level declares "Ähnlich" to the other.
void lintIdeas(const std::vector<LintPack>& packs, const LintRules& rules, int only,
               LintReport& report);

}  // namespace lumor
