#include "solver/ideas.h"

#include "levels/cp1252.h"

#include <algorithm>
#include <array>

namespace lumor {
namespace {

// Deflector slots 3..6 by the sides they join: right+down, left+down, left+up, right+up.
// A side is a bit: right 1, down 2, left 4, up 8.
constexpr std::array<int, 4> DeflectorSides = {1 | 2, 4 | 2, 4 | 8, 1 | 8};

int sideAfter(int side, int t) {
    // t: 0-3 turns a quarter clockwise each (right -> down -> left -> up), 4-7 the same
    // after a mirror across the vertical axis (right <-> left).
    int s = side;
    if (t >= 4) s = s == 1 ? 4 : s == 4 ? 1 : s;
    for (int i = 0; i < t % 4; ++i) s = s == 8 ? 1 : s << 1;
    return s;
}

int slotAfter(int slot, int t) {
    if (slot < 3 || slot > 6) return slot;
    const int sides = DeflectorSides[static_cast<size_t>(slot - 3)];
    int turned = 0;
    for (int bit = 1; bit <= 8; bit <<= 1)
        if (sides & bit) turned |= sideAfter(bit, t);
    return 3 + static_cast<int>(std::find(DeflectorSides.begin(), DeflectorSides.end(), turned) -
                                DeflectorSides.begin());
}

std::pair<int, int> cellAfter(int x, int y, int t) {
    if (t >= 4) x = -x;
    for (int i = 0; i < t % 4; ++i) {
        const int nx = -y, ny = x;  // a quarter clockwise, y pointing down
        x = nx;
        y = ny;
    }
    return {x, y};
}

}  // namespace

std::string ideaKey(const Placement& placement) {
    std::string best;
    for (int t = 0; t < 8; ++t) {
        std::vector<std::array<int, 3>> pieces;
        for (const PlacedPiece& p : placement) {
            const auto [x, y] = cellAfter(p.x, p.y, t);
            pieces.push_back({y, x, slotAfter(p.slot, t)});
        }
        int minX = 1 << 20, minY = 1 << 20;
        for (const auto& p : pieces) {
            minY = std::min(minY, p[0]);
            minX = std::min(minX, p[1]);
        }
        for (auto& p : pieces) {
            p[0] -= minY;
            p[1] -= minX;
        }
        std::sort(pieces.begin(), pieces.end());
        std::string key;
        for (const auto& p : pieces)
            key += std::to_string(p[0]) + "," + std::to_string(p[1]) + ":" + std::to_string(p[2]) +
                   ";";
        if (t == 0 || key < best) best = key;
    }
    return best;
}

bool sameIdea(const std::vector<Placement>& a, const std::vector<Placement>& b) {
    for (const Placement& p : a)
        for (const Placement& q : b)
            if (!p.empty() && p.size() == q.size() && ideaKey(p) == ideaKey(q)) return true;
    return false;
}

std::vector<Placement> levelIdeas(const LintLevel& level, const LevelAnalysis& analysis) {
    std::vector<Placement> out;
    if (level.solution) {
        Placement mine;
        for (const SourcePiece& p : *level.solution) mine.push_back({p.slot, p.x, p.y});
        out.push_back(sortedPlacement(mine));
    }
    // A level with many solutions has no one idea; a few stand for it.
    constexpr size_t Kept = 8;
    for (size_t i = 0; i < analysis.placements.size() && i < Kept; ++i)
        out.push_back(analysis.placements[i]);
    return out;
}

void lintIdeas(const std::vector<LintPack>& packs, const LintRules& rules, int only,
               LintReport& report) {
    std::vector<std::vector<Placement>> ideas;
    for (const LintLevelReport& r : report.levels)
        ideas.push_back(
            r.analysis.ok && r.analysis.solvable()
                ? levelIdeas(packs[r.pack].levels[static_cast<size_t>(r.number - 1)], r.analysis)
                : std::vector<Placement>{});
    auto declared = [&](const LintLevelReport& from, const LintLevelReport& to) {
        const auto& s =
            packs[from.pack].levels[static_cast<size_t>(from.number - 1)].intent.similarTo;
        const std::string& pw =
            packs[to.pack].levels[static_cast<size_t>(to.number - 1)].record.Password;
        return std::find(s.begin(), s.end(), pw) != s.end();
    };
    for (size_t i = 0; i < report.levels.size(); ++i)
        for (size_t j = i + 1; j < report.levels.size(); ++j) {
            const LintLevelReport& a = report.levels[i];
            const LintLevelReport& b = report.levels[j];
            if (only && a.number != only && b.number != only) continue;
            if (!sameIdea(ideas[i], ideas[j])) continue;
            report.ideaPairs.push_back({a.pack, b.pack, a.number, b.number, 0});
            if (!rules.noIdeaRepeats || declared(a, b) || declared(b, a)) continue;
            const LintPack& other = packs[b.pack];
            report.findings.push_back(
                {a.pack, a.number, "idea",
                 "dieselbe Lösung, gedreht, gespiegelt oder verschoben, wie " +
                     cp1252::toUtf8(other.title) + " " + std::to_string(b.number) + " \"" +
                     cp1252::toUtf8(other.levels[static_cast<size_t>(b.number - 1)].record.Name) +
                     "\""});
        }
}

}  // namespace lumor
