// The search over cores: arrangements in which a beam enters every piece's cell. A run
// reads a cell's code only when a beam moves into it, so a piece on a cell no beam enters
// changes nothing, and every arrangement is a core plus pieces on cells its run never
// enters. Both the fast search and the finder's exact answer are built on this search.
#pragma once

#include "levels/level.h"
#include "solver/beamcheck.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <vector>

namespace lumor {

// A piece of a core: its stock slot and its cell (a BeamChecker pad index).
struct CorePiece {
    int slot = 0;
    int cell = 0;
};

// What a visitor still wants of a core's growth: at most `more[slot]` further pieces of
// a slot, and those only on cells up to `lastKey[slot]` in column order (x * BoardHeight
// + y). Wider than what is wanted is sound; the bounds then prune less.
struct GrowthLimits {
    std::array<int, SlotCount + 1> more{};
    std::array<int, SlotCount + 1> lastKey{};
    void reset() {
        more.fill(CellCount);
        lastKey.fill(CellCount);
    }
};

// What the search reports to, and asks of, its user.
class CoreVisitor {
public:
    virtual ~CoreVisitor() = default;
    // A core just grown by one piece (pieces in placing order): true when no core that
    // contains it is wanted, so the branch is left out.
    virtual bool cut(const std::vector<CorePiece>&) { return false; }
    // For a core kept (the empty one too): narrows `limits` (reset on entry) to what the
    // wanted cores containing it may add. The bounds then count only those pieces.
    virtual void limit(const std::vector<CorePiece>&, GrowthLimits&) {}
    // A winning core of exactly the limit's number of pieces (or fewer, see reportFrom);
    // true stops the search.
    virtual bool win(const std::vector<CorePiece>& pieces) = 0;
    // Called every few hundred steps: true stops the search (a close, a time limit).
    virtual bool poll() { return false; }
};

class CoreSearch {
public:
    // useBounds = false leaves out the per-target bounds and what follows from them,
    // keeping only the one-order rule: slower, and the yardstick for the bounds.
    CoreSearch(const LevelRecord& level, bool useBounds = true);

    struct Outcome {
        bool stopped = false;   // the visitor stopped the search
        bool limitCut = false;  // some branch was cut by the limit: a larger one may win
    };
    // Visits every winning core of exactly `limit` pieces (within the stock) whose crosses
    // are each entered twice and whose every part, in the order its pieces come to matter
    // (see coresearch.cpp), does not win yet; each once.
    Outcome search(int limit, CoreVisitor& visitor);
    // For several searches sharing the work: each walks the tree alike down to the claim
    // depth and takes only the subtrees there whose number it draws from `tickets`.
    Outcome search(int limit, CoreVisitor& visitor, std::atomic<int>& tickets);

    // With size >= 0, search() also visits the winning cores of `size` pieces up to the
    // limit's, each with no winning part: one walk for every size. The bounds, held for
    // the limit's size, hold for the smaller ones too (they leave fewer turns, and where the
    // bound takes every turn the turns are the same), so none of those cores is cut.
    void reportFrom(int size) { reportFrom_ = size; }

    // While searching with tickets: the number of the subtree being walked (-1 above the
    // claim depth). Subtrees are numbered in the order one search alone walks them.
    int subtree() const {
        return tickets_ && placed_.size() >= size_t(claimDepth_) ? claimSeen_ - 1 : -1;
    }

    // The cells a next piece may take, the last entered first (for a search that stops
    // at its first win); the cores visited are the same.
    void setLateFirst(bool on) { lateFirst_ = on; }

    int64_t tries() const { return tries_; }  // pieces put on a cell
    int64_t runs() const { return runs_; }    // beam runs
    // The share of the last or running search() walked so far, 0..1: the place of the
    // branch under way in each of the first WalkDepth levels of the tree, each branch of a
    // level weighing alike. Read it on the searching thread (the visitor's poll).
    double walked() const;
    static constexpr int WalkDepth = 4;

private:
    bool grow(int k, int limit, int prevNumber, int sigma);
    bool hitBefore(int target, int sigma) const;
    void prepareTurns(const std::vector<int16_t>& order, int earlier);
    void prepareTurnable();
    // Whether a new piece on this free cell may turn a beam moving `from` into `to`.
    template <class Table>
    bool canTurn(const Table& turnable, int cell, int from, int to, bool deflectorsOnly) const {
        if (!turnable[from][to]) return false;
        if (!cellLimits_) return true;
        const int slot = deflectorSlot_[from][to];
        const int key = columnKey_[cell];
        if (slot && avail_[slot] > 0 && key <= growth_.lastKey[slot]) return true;
        return !deflectorsOnly && avail_[8] > 0 && key <= growth_.lastKey[8];
    }
    void takeLimits(int k);
    int forward(bool privateParts, int sigma, int budget, bool sum,
                std::array<uint8_t, BeamChecker::PadCells>& cost);
    int nearBounds(int sigma, int budget);
    bool kindsSuffice(int sigma, int unhit);
    int kindTurns(int slot, int sigma, int most);
    void closeForward(bool privateParts);
    void closeBackward(int target);
    int nearCost(int target, bool privateParts) const;
    const std::array<uint8_t, BeamChecker::PadCells * 5>& oneTurn(size_t target);

    static constexpr uint8_t Far = 255;
    static constexpr size_t MaxWays = 8;
    using ToGo = std::array<uint8_t, BeamChecker::PadCells * 5>;
    using WayCosts = std::array<ToGo, MaxWays>;
    void costToGo(int target, int cap, ToGo& g, bool privatePart = false);
    int startCosts(int sigma, std::array<uint8_t, BeamChecker::PadCells>& cost) const;
    void relax(ToGo& dist, int state, int cost, bool front);
    int splitPartsBound(int newBeams, int turns);
    bool turnsOntoWay(const WayCosts& toGo, int cell, int dir, int code,
                      const std::vector<std::pair<int, int>>& ways, bool everyWay) const;

    // A cell a next piece may take: at its first entry, or a cross at its second.
    struct Candidate {
        int16_t cell;
        uint8_t dir;     // of the beam that first enters it
        bool second;     // the second entry
        int32_t number;  // of that entry in the run
        int32_t step;    // its cell step
    };
    std::vector<std::vector<Candidate>> frames_;  // per depth

    const bool useBounds_;
    BeamChecker checker_;
    CoreVisitor* visitor_ = nullptr;
    std::array<int, 9> counts_{};  // pieces left in stock per slot
    // What the visitor still wants at the node whose bounds are worked out: the pieces of
    // each slot the bounds may count (at most counts_), and where they may stand.
    std::array<int, 9> avail_{};
    GrowthLimits growth_;
    bool cellLimits_ = false;             // some slot is held to a part of the board
    std::vector<GrowthLimits> growthAt_;  // per depth
    std::array<int16_t, BeamChecker::PadCells> columnKey_{};
    std::array<std::array<uint8_t, 5>, 5> deflectorSlot_{};  // by (from, to); 0 for none
    std::vector<int> targets_;
    std::array<bool, BeamChecker::PadCells> freeCell_{};
    std::vector<CorePiece> placed_;  // in placing order
    int64_t tries_ = 0;
    int64_t runs_ = 0;
    int pollCountdown_ = 0;
    static constexpr int ClaimDepth = 2;
    std::atomic<int>* tickets_ = nullptr;
    int claimDepth_ = 0;
    int ticket_ = 0;     // the subtree this search takes next
    int claimSeen_ = 0;  // subtrees at the claim depth met so far
    bool stopped_ = false;
    bool limitCut_ = false;
    int reportFrom_ = -1;
    bool lateFirst_ = false;
    struct Branch {
        int at = 0;
        int of = 1;
    };
    std::array<Branch, WalkDepth> walk_{};
    int walkDepth_ = 0;  // levels of walk_ under way
    bool walkedAll_ = false;

    // The 0-1 breadth-first queue of the bounds: a ring over (cell * 5 + direction).
    static constexpr int QueueMask = 8191;
    std::array<int16_t, QueueMask + 1> queue_{};
    unsigned queueHead_ = 0, queueTail_ = 0;
    std::array<bool, BeamChecker::PadCells> noTurn_{};
    std::array<std::array<bool, 5>, 5> turnable_{};
    std::array<std::array<bool, 5>, 5> turnableByDeflector_{};
    std::array<uint8_t, BeamChecker::PadCells> costMax_{};
    std::array<uint8_t, BeamChecker::PadCells> costSum_{};
    std::vector<int> levelSplitters_;
    // With one piece left the bounds need only what is reached without a new piece:
    // forward from the beams (per cell a mask of directions, and of those moved into
    // the cell) and backward from each target (a list of states).
    std::array<uint8_t, BeamChecker::PadCells> reach_{}, entered_{};
    std::vector<int16_t> reachTouched_, reachQueue_;
    std::vector<std::vector<int16_t>> backward_;  // per target: states cell * 5 + direction
    std::vector<uint32_t> backwardSeen_;
    // Per target: the fewest new pieces to it, up to one, and the node (runs_) it is for.
    std::vector<ToGo> oneTurn_;
    std::vector<int64_t> oneTurnNode_;
    uint32_t backwardStamp_ = 0;
    // Per depth: a deeper call must not overwrite what its caller still reads.
    std::vector<WayCosts> toGo_;
    std::vector<std::array<bool, BeamChecker::PadCells>> noTurnAt_;
    bool splitterFree_ = false;
    int crossSlot_ = 0;  // the stock slot of crosses  // no splitter on the level nor in its stock
    // splitPartsBound(): per target the private part's turns from every state, and per
    // number of splitter pieces the cheapest cover of each set of targets.
    std::vector<ToGo> privateToGo_;
    std::vector<int> cover_, coverNext_;
};

// One walk on several threads sharing its subtrees: walk(t, tickets) runs thread t's search
// with the shared tickets, while the calling thread runs `meanwhile` every 10 ms until all
// have ended. Returns each thread's outcome.
std::vector<CoreSearch::Outcome> walkOnThreads(
    int threads, const std::function<CoreSearch::Outcome(int, std::atomic<int>&)>& walk,
    const std::function<void()>& meanwhile);

}  // namespace lumor
