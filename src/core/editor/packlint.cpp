#include "editor/packlint.h"

#include "solver/lint.h"

#include <algorithm>

namespace lumor {

PackLint lintPack(const std::vector<LevelRecord>& levels, const std::string& title,
                  const std::vector<const LevelAnalysis*>& measured) {
    LintPack pack;
    pack.title = title;
    for (const LevelRecord& l : levels) pack.levels.push_back({l, {}, {}, {}, {}, 0});
    std::vector<LintLevelReport> reports;
    for (size_t i = 0; i < levels.size() && i < measured.size(); ++i)
        if (measured[i]) reports.push_back({0, static_cast<int>(i) + 1, *measured[i], {}});
    const bool all = reports.size() == levels.size();
    const LintReport report = lintMeasured({pack}, LintRules::strict(), std::move(reports), 0, all);

    PackLint out;
    out.levels.resize(levels.size());
    for (const LintFinding& f : report.findings) {
        if (f.level == 0) {
            out.pack.push_back(f.text);
            continue;
        }
        const bool fault = f.rule == "solvable" || f.rule == "bare-board" || f.rule == "password";
        out.levels[static_cast<size_t>(f.level - 1)].push_back({f.rule, f.text, fault});
    }
    return out;
}

}  // namespace lumor
