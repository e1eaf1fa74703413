#include "solver/fastsearch.h"

#include "play/cells.h"
#include "solver/coresearch.h"

#include <algorithm>
#include <atomic>
#include <limits>
#include <memory>

namespace lumor {

namespace {

// Several searches share a piece count's walk, each its own subtrees. The first win in
// the order one search alone finds them is the one of the lowest subtree: a search that
// wins stops and says so, the others give up subtrees above it and go on below it.
class FirstWin final : public CoreVisitor {
public:
    FirstWin(const CoreSearch& core, std::atomic<int>& bestSubtree, std::function<bool()> poll)
        : core_(core), bestSubtree_(bestSubtree), poll_(std::move(poll)) {}
    bool win(const std::vector<CorePiece>& pieces) override {
        found = pieces;
        subtree = core_.subtree();
        int best = bestSubtree_.load();
        while (subtree < best && !bestSubtree_.compare_exchange_weak(best, subtree)) {
        }
        won = true;
        return true;
    }
    bool poll() override {
        if (poll_ && poll_()) {
            stoppedByPoll = true;
            return true;
        }
        return core_.subtree() > bestSubtree_.load(std::memory_order_relaxed);
    }
    bool won = false;
    bool stoppedByPoll = false;
    int subtree = -1;
    std::vector<CorePiece> found;

private:
    const CoreSearch& core_;
    std::atomic<int>& bestSubtree_;
    std::function<bool()> poll_;
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
                     const std::function<void(int pieces, double walked)>& onProgress,
                     int threads) {
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
    threads = std::max(1, threads);
    std::vector<std::unique_ptr<CoreSearch>> cores;
    cores.reserve(static_cast<size_t>(threads));
    for (int t = 0; t < threads; ++t) {
        cores.push_back(std::make_unique<CoreSearch>(level, useBounds));
        cores.back()->setLateFirst(true);
    }
    int limit = 0;
    // Only the calling thread reports and asks: the first search when alone, else itself
    // while the searches run (their progress is what the first one has walked).
    std::atomic<double> walked{0};
    std::atomic<bool> stop{false};
    const std::function<bool()> callerPoll = [&] {
        if (onProgress) onProgress(limit, walked.load(std::memory_order_relaxed));
        return poll && poll();
    };
    for (; limit <= std::min(allowance, pieces); ++limit) {
        std::atomic<int> bestSubtree{std::numeric_limits<int>::max()};
        std::vector<std::unique_ptr<FirstWin>> visitors;
        visitors.reserve(static_cast<size_t>(threads));
        for (int t = 0; t < threads; ++t) {
            CoreSearch& core = *cores[static_cast<size_t>(t)];
            visitors.push_back(
                std::make_unique<FirstWin>(core, bestSubtree, [&, t, &core = core]() {
                    if (t == 0) walked.store(core.walked(), std::memory_order_relaxed);
                    if (threads == 1) return callerPoll();
                    return stop.load(std::memory_order_relaxed);
                }));
        }
        bool limitCut = false;
        if (threads == 1) {
            limitCut = cores[0]->search(limit, *visitors[0]).limitCut;
        } else {
            const std::vector<CoreSearch::Outcome> outcomes = walkOnThreads(
                threads,
                [&](int t, std::atomic<int>& tickets) {
                    const size_t i = static_cast<size_t>(t);
                    return cores[i]->search(limit, *visitors[i], tickets);
                },
                [&] {
                    if (!stop && callerPoll()) stop = true;
                });
            for (const CoreSearch::Outcome& o : outcomes) limitCut = limitCut || o.limitCut;
        }
        const FirstWin* first = nullptr;
        for (const auto& v : visitors)
            if (v->won && (!first || v->subtree < first->subtree)) first = v.get();
        const bool stopped = stop || std::any_of(visitors.begin(), visitors.end(),
                                                 [](const auto& v) { return v->stoppedByPoll; });
        // A win counts once every subtree below its own was walked: not when stopped.
        if (first && !stopped) {
            result.bestLeft = allowance - limit;
            result.best = arrangement(first->found);
            break;
        }
        if (stopped) {
            result.gaveUp = true;
            break;
        }
        if (!limitCut) break;  // nothing deeper to try: more pieces cannot help
    }
    for (const auto& core : cores) result.beamRuns += core->runs();
    return result;
}

}  // namespace lumor
