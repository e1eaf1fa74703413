#include "solver/fastsearch.h"

#include "play/cells.h"
#include "solver/coresearch.h"

#include <algorithm>

namespace lumor {

namespace {

class FirstWin final : public CoreVisitor {
public:
    explicit FirstWin(const std::function<bool()>& poll) : poll_(poll) {}
    bool win(const std::vector<CorePiece>& core) override {
        found = core;
        won = true;
        return true;
    }
    bool poll() override { return poll_ && poll_(); }
    bool won = false;
    std::vector<CorePiece> found;

private:
    const std::function<bool()>& poll_;
};

// The pieces in PieceList order, those of one slot by column, then row.
std::vector<Piece> arrangement(const std::vector<CorePiece>& core) {
    std::vector<Piece> out;
    for (const int slot : PieceSlotOrder) {
        std::vector<Piece> ofSlot;
        for (const CorePiece& p : core)
            if (p.slot == slot)
                ofSlot.push_back(Piece{slot, BeamChecker::padX(p.cell), BeamChecker::padY(p.cell)});
        std::sort(ofSlot.begin(), ofSlot.end(), [](const Piece& a, const Piece& b) {
            return a.X != b.X ? a.X < b.X : a.Y < b.Y;
        });
        out.insert(out.end(), ofSlot.begin(), ofSlot.end());
    }
    return out;
}

}  // namespace

FastResult fastSolve(const LevelRecord& level, bool useBounds, const std::function<bool()>& poll,
                     const std::function<void(int pieces, double walked)>& onProgress) {
    FastResult result;
    int pieces = 0;
    for (int slot = 1; slot <= SlotCount; ++slot) pieces += std::max<int>(0, level.Stock[slot]);
    if (pieces > SolutionSearch::MaxPieces) {
        result.ok = false;
        result.message = tooManyPiecesMessage(pieces);
        return result;
    }
    const int allowance = level.Stock[0];
    if (allowance < 0) return result;
    CoreSearch core(level, useBounds);
    int limit = 0;
    const std::function<bool()> polled = [&] {
        if (onProgress) onProgress(limit, core.walked());
        return poll && poll();
    };
    FirstWin visitor(onProgress ? polled : poll);
    for (; limit <= std::min(allowance, pieces); ++limit) {
        const CoreSearch::Outcome outcome = core.search(limit, visitor);
        if (visitor.won) {
            result.bestLeft = allowance - limit;
            result.best = arrangement(visitor.found);
            break;
        }
        if (outcome.stopped) {
            result.gaveUp = true;
            break;
        }
        if (!outcome.limitCut) break;  // nothing deeper to try: more pieces cannot help
    }
    result.beamRuns = core.runs();
    return result;
}

}  // namespace lumor
