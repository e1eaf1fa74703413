// Why the search over cores gives every distinct minimal placement exactly once: a
// placement of the fewest pieces that wins has every piece entered by a beam (a piece no
// beam enters could go, and fewer would win), so it is a core, and none of its parts wins
// (they are smaller). The search visits each such core once, as a set of (cell, slot).
//
// What the spare pieces open: a winning placement P that contains no minimal placement
// holds an inclusion-minimal winning placement Q (no proper subset of Q wins), which
// contains no minimal placement either, so it has more pieces than the minimum. Q is a
// core none of whose parts wins, so the search at Q's size visits it. Conversely a core
// visited there that contains none of the winning placements found at smaller sizes is
// inclusion-minimal. Searching the sizes upwards and keeping what was found finds them all.
#include "solver/analysis.h"

#include "solver/beamcheck.h"
#include "solver/coresearch.h"
#include "solver/search.h"

#include <algorithm>
#include <cmath>

namespace lumor {
namespace {

Placement placementOf(const std::vector<CorePiece>& core) {
    Placement p;
    p.reserve(core.size());
    for (const CorePiece& c : core)
        p.push_back({c.slot, BeamChecker::padX(c.cell), BeamChecker::padY(c.cell)});
    return sortedPlacement(std::move(p));
}

bool contains(const Placement& big, const Placement& small) {
    return std::includes(big.begin(), big.end(), small.begin(), small.end());
}

// The chance that a player building blindly along the beams ends with this placement
// (see the header). 0 when some piece is on a cell no beam of the placement enters.
double chanceOf(BeamChecker& checker, const LevelRecord& level,
                const std::array<int, SlotCount + 1>& stock, const Placement& placement) {
    for (const PlacedPiece& p : placement)
        checker.place(BeamChecker::pad(p.x, p.y), codeOfSlot(p.slot));
    checker.runMarking();
    const std::vector<int16_t>& full = checker.enteredOrder();
    std::vector<std::pair<size_t, PlacedPiece>> ordered;
    for (const PlacedPiece& p : placement) {
        const auto at = std::find(full.begin(), full.end(), BeamChecker::pad(p.x, p.y));
        ordered.emplace_back(static_cast<size_t>(at - full.begin()), p);
    }
    const bool allEntered = std::all_of(ordered.begin(), ordered.end(),
                                        [&](const auto& o) { return o.first < full.size(); });
    for (const PlacedPiece& p : placement) checker.place(BeamChecker::pad(p.x, p.y), Empty);
    if (!allEntered) return 0;
    std::sort(ordered.begin(), ordered.end());

    std::array<int, SlotCount + 1> left = stock;
    double chance = 1;
    size_t first = 0;  // entry order index from which the next piece may stand
    for (const auto& [index, piece] : ordered) {
        checker.runMarking();
        const std::vector<int16_t>& order = checker.enteredOrder();
        int cells = 0;
        size_t at = order.size();
        for (size_t i = first; i < order.size(); ++i) {
            const int cell = order[i];
            if (checker.codeAt(cell) != Empty ||
                level.cell(BeamChecker::padX(cell), BeamChecker::padY(cell)) != Empty)
                continue;
            ++cells;
            if (cell == BeamChecker::pad(piece.x, piece.y)) at = i;
        }
        const int kinds = static_cast<int>(
            std::count_if(left.begin() + 1, left.end(), [](int n) { return n > 0; }));
        if (at == order.size() || cells == 0 || kinds == 0) break;  // cannot happen for a core
        chance /= static_cast<double>(cells) * kinds;
        --left[static_cast<size_t>(piece.slot)];
        checker.place(BeamChecker::pad(piece.x, piece.y), codeOfSlot(piece.slot));
        first = at + 1;
    }
    for (const PlacedPiece& p : placement) checker.place(BeamChecker::pad(p.x, p.y), Empty);
    return chance;
}

// Keeps the wins, at most `room` of them: one more stops the search, so that memory stays
// bounded however large the stock.
class Collector final : public CoreVisitor {
public:
    Collector(const std::function<bool()>& poll, size_t room) : poll_(poll), room_(room) {}
    bool poll() override { return poll_ && poll_(); }
    bool win(const std::vector<CorePiece>& core) override {
        if (wins.size() == room_) return full = true;
        wins.push_back(placementOf(core));
        return false;
    }
    std::vector<Placement> wins;
    bool full = false;

private:
    const std::function<bool()>& poll_;
    size_t room_;
};

// Keeps only what a minimal placement contributes, so that any number can be counted.
class MinimalCollector final : public CoreVisitor {
public:
    MinimalCollector(LevelAnalysis& out, const LevelRecord& level, size_t keep,
                     const std::function<bool()>& poll)
        : out_(out), level_(level), keep_(keep), poll_(poll) {
        checker_.setBoard(level.Cells);
    }
    bool poll() override { return poll_ && poll_(); }
    bool win(const std::vector<CorePiece>& core) override {
        Placement p = placementOf(core);
        if (out_.placementCount == 0) {
            for (const PlacedPiece& piece : p) out_.forced.emplace_back(piece.x, piece.y);
        } else {
            std::erase_if(out_.forced, [&](const std::pair<int, int>& cell) {
                return std::none_of(p.begin(), p.end(), [&](const PlacedPiece& piece) {
                    return piece.x == cell.first && piece.y == cell.second;
                });
            });
        }
        for (const PlacedPiece& piece : p) used[static_cast<size_t>(piece.slot)] = true;
        chance += chanceOf(checker_, level_, out_.stock, p);
        ++out_.placementCount;
        if (out_.placements.size() < keep_) out_.placements.push_back(std::move(p));
        return false;
    }
    std::array<bool, SlotCount + 1> used{};
    double chance = 0;

private:
    LevelAnalysis& out_;
    const LevelRecord& level_;
    size_t keep_;
    const std::function<bool()>& poll_;
    BeamChecker checker_;
};

double bitsOf(double chance) { return chance > 0 ? std::max(0.0, -std::log2(chance)) : 0.0; }

}  // namespace

Placement sortedPlacement(Placement pieces) {
    std::sort(pieces.begin(), pieces.end());
    return pieces;
}

double placementDifficulty(const LevelRecord& level, const std::vector<Placement>& placements) {
    BeamChecker checker;
    checker.setBoard(level.Cells);
    std::array<int, SlotCount + 1> stock{};
    for (int s = 1; s <= SlotCount; ++s)
        stock[static_cast<size_t>(s)] = std::max<int>(0, level.Stock[static_cast<size_t>(s)]);
    double chance = 0;
    for (const Placement& p : placements)
        chance += chanceOf(checker, level, stock, sortedPlacement(p));
    return bitsOf(chance);
}

LevelAnalysis analyseLevel(const LevelRecord& level, const AnalysisOptions& options,
                           const std::function<bool()>& poll) {
    LevelAnalysis out;
    out.allowance = level.Stock[0];
    int pieces = 0;
    for (int s = 1; s <= SlotCount; ++s) {
        out.stock[static_cast<size_t>(s)] = std::max<int>(0, level.Stock[static_cast<size_t>(s)]);
        pieces += out.stock[static_cast<size_t>(s)];
    }
    for (const int16_t c : level.Cells) out.freeCells += c == Empty;
    {
        BeamChecker bare;
        bare.setBoard(level.Cells);
        out.bareWins = bare.run().solved;
    }
    if (pieces > SolutionSearch::MaxPieces) {
        out.ok = false;
        out.message = tooManyPiecesMessage(pieces);
        return out;
    }
    if (out.allowance < 0) return out;  // the finder checks nothing

    const int most = std::min({out.allowance, pieces, out.freeCells});
    CoreSearch search(level);
    int v = std::max(0, options.fromPieces);
    const std::function<bool()> polled = [&] {
        if (options.onProgress) options.onProgress(v, search.walked());
        return poll && poll();
    };
    MinimalCollector minimal(out, level, options.keepPlacements, polled);
    for (; v <= most; ++v) {
        const CoreSearch::Outcome outcome = search.search(v, minimal);
        if (outcome.stopped) {
            out.stopped = true;
            return out;
        }
        if (out.placementCount > 0) break;
        if (!outcome.limitCut) return out;  // more pieces cannot help
    }
    if (out.placementCount == 0) return out;
    out.fewest = v;
    out.bestLeft = out.allowance - v;
    for (int s = 1; s <= SlotCount; ++s)
        if (out.stock[static_cast<size_t>(s)] > 0 && !minimal.used[static_cast<size_t>(s)])
            out.unusedKinds.push_back(s);
    out.difficulty = bitsOf(minimal.chance);

    if (!options.spares) return out;
    // Winning placements found so far that a larger one must not contain to be new.
    std::vector<Placement> known = out.placements;
    const bool allKnown = out.placements.size() == out.placementCount;
    for (++v; v <= most && allKnown; ++v) {
        // The placements kept, known and new, stay within keepPlacements; beyond it the
        // spares are left unsearched.
        const size_t room =
            options.keepPlacements > known.size() ? options.keepPlacements - known.size() : 0;
        Collector larger(polled, room);
        const CoreSearch::Outcome outcome = search.search(v, larger);
        if (larger.full) return out;  // sparesSearched stays false
        if (outcome.stopped) {
            out.stopped = true;
            return out;
        }
        std::vector<Placement> fresh;
        for (Placement& p : larger.wins) {
            if (std::any_of(known.begin(), known.end(),
                            [&](const Placement& k) { return contains(p, k); }))
                continue;
            if (out.spareOpened == 0) out.spareExample = p;
            ++out.spareOpened;
            fresh.push_back(std::move(p));
        }
        known.insert(known.end(), std::make_move_iterator(fresh.begin()),
                     std::make_move_iterator(fresh.end()));
        if (!outcome.limitCut) break;
    }
    out.sparesSearched = allKnown;
    return out;
}

int boardDistance(const LevelRecord& a, const LevelRecord& b) {
    int d = 0;
    for (int i = 0; i < CellCount; ++i) {
        const int x = a.Cells[static_cast<size_t>(i)], y = b.Cells[static_cast<size_t>(i)];
        d += x != y && !(isDecoration(x) && isDecoration(y));
    }
    return d;
}

}  // namespace lumor
