// Why the search may leave so much out:
//
// * One order per core. A piece matters from the moment a beam first enters its cell, a
//   cross from the second entry: until then it does what an empty cell does (the first
//   beam passes and leaves its trace either way). A core with a cross entered only once
//   runs as the smaller core without it, so it is left out: its wins are never a best.
//   Order the pieces of a core K by the moment they first matter. The run of the first k
//   pieces alone is the run of K up to the moment the (k+1)-th piece first matters
//   (nothing a later piece changes has been read before), so in it that moment comes, and
//   after the k-th piece's. Adding pieces one at a time, each on a free cell entered (a
//   cross: entered a second time) after the previous piece mattered in the current run,
//   reaches every such core exactly once, through its parts. Crosses thus go only where
//   beams meet, not on every cell a beam passes.
// * A bound per target. No target can be hit twice (a second beam on the line in front of
//   it would have to pass the first one's origin, which stops or removes it), so every
//   target must be hit. A beam turns only at deflectors and splitters: at least as many
//   new pieces are needed as the fewest turns on free cells over any path that a hitting
//   beam can take. By the argument above it descends from a beam of the current run
//   standing at the start of the cell step in which the last placed piece came to matter,
//   and free cells first entered before that moment cannot hold a later piece but a
//   cross, so they offer no turn.
// * Bounds over all targets. After its last split a beam's way is its own: a deflector
//   lets only one beam go on turned (a second one on its cell is taken off). So the turns
//   on those private parts add up, except that a splitter piece may start two of them;
//   and every target not yet hit needs a beam of its own, which beyond the beams standing
//   and the splitters on the board only splitter pieces make.
// * Turns of each kind. Without splitters every target is hit by a beam of its own, and a
//   deflector turns one beam only, so the ways share no turning piece: the fewest turns a
//   way needs of one deflector kind (the other kinds turning for free) add up over the
//   targets and must be in stock.
// * Turns, not pieces. Walls, crosses and sand turn no beam, so the bounds are held
//   against the turns the pieces left can make: the fewer of the pieces left and of the
//   deflectors and splitters in stock.
// * The next piece. When a bound takes every turn left, each piece that turns is a turn
//   on some target's way (or, for the private parts with splitter pieces in stock, a
//   splitter), and the next piece, if it turns, is on a way: it turns a beam onto a way
//   the remaining turns can finish. Which beam: the first one into its cell, unless that
//   one meets the closed side of a deflector and is stopped without a trace; then any
//   later one, from either open side. A piece that turns nothing is left free.
// Each bound holds for every winning core of the limit's size, not just for one of them.
// With one piece left the bounds need only what is reached without a new piece, forward
// from the beams and backward from each target, which is far less than a search.
#include "solver/coresearch.h"

#include "play/cells.h"
#include "solver/coregrid.h"

#include <algorithm>
#include <bit>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <limits>
#include <mutex>
#include <thread>

namespace lumor {

using namespace coregrid;

namespace {

constexpr int PollEvery = 256;

}  // namespace

CoreSearch::CoreSearch(const LevelRecord& level, bool useBounds) : useBounds_(useBounds) {
    checker_.setBoard(level.Cells);
    bool levelSplitter = false;
    for (int slot = 1; slot <= SlotCount; ++slot)
        counts_[slot] = std::max<int>(0, level.Stock[slot]);
    for (int x = 0; x < BoardWidth; ++x)
        for (int y = 0; y < BoardHeight; ++y) {
            const int code = level.cell(x, y);
            if (isTarget(code)) targets_.push_back(BeamChecker::pad(x, y));
            freeCell_[BeamChecker::pad(x, y)] = code == Empty;
            if (code == Splitter) {
                levelSplitter = true;
                levelSplitters_.push_back(BeamChecker::pad(x, y));
            }
        }
    splitterFree_ = !levelSplitter && counts_[8] == 0;
    crossSlot_ = slotOfCode(Cross);
    columnKey_.fill(CellCount);
    for (int x = 0; x < BoardWidth; ++x)
        for (int y = 0; y < BoardHeight; ++y)
            columnKey_[BeamChecker::pad(x, y)] = static_cast<int16_t>(x * BoardHeight + y);
    for (int from = 1; from <= 4; ++from)
        for (int to = 1; to <= 4; ++to)
            if (const int code = deflectorFor(from, to))
                deflectorSlot_[from][to] = static_cast<uint8_t>(slotOfCode(code));
}

// The limits the visitor set at depth k, for the bounds worked out there.
void CoreSearch::takeLimits(int k) {
    growth_ = growthAt_[static_cast<size_t>(k)];
    cellLimits_ = false;
    for (int slot = 1; slot <= SlotCount; ++slot) {
        avail_[slot] = std::min(counts_[slot], growth_.more[slot]);
        cellLimits_ = cellLimits_ || (avail_[slot] > 0 && growth_.lastKey[slot] < CellCount);
    }
}

CoreSearch::Outcome CoreSearch::search(int limit, CoreVisitor& visitor, std::atomic<int>& tickets) {
    tickets_ = &tickets;
    claimDepth_ = std::min(ClaimDepth, limit);
    claimSeen_ = 0;
    ticket_ = tickets.fetch_add(1);
    const Outcome outcome = search(limit, visitor);
    tickets_ = nullptr;
    return outcome;
}

CoreSearch::Outcome CoreSearch::search(int limit, CoreVisitor& visitor) {
    visitor_ = &visitor;
    stopped_ = false;
    limitCut_ = false;
    placed_.clear();
    // Per-depth storage is sized once: a deeper call must not move what its callers read.
    const size_t depths = static_cast<size_t>(std::max(0, limit)) + 1;
    if (frames_.size() < depths) frames_.resize(depths);
    if (toGo_.size() < depths) toGo_.resize(depths);
    if (noTurnAt_.size() < depths) noTurnAt_.resize(depths);
    if (growthAt_.size() < depths) growthAt_.resize(depths);
    walkDepth_ = 0;
    walkedAll_ = false;
    grow(0, limit, -1, 1);
    walkedAll_ = !stopped_;
    visitor_ = nullptr;
    return {stopped_, limitCut_};
}

// k pieces placed, the last one mattering first at entry number prevNumber of the run
// (-1 when none is placed), in cell step sigma (1 when none is placed). Returns true when
// the search is to stop.
bool CoreSearch::grow(int k, int limit, int prevNumber, int sigma) {
    if (tickets_ && k == claimDepth_) {
        if (claimSeen_++ != ticket_) return false;
        ticket_ = tickets_->fetch_add(1);
    }
    if (--pollCountdown_ <= 0) {
        pollCountdown_ = PollEvery;
        if (visitor_->poll()) return stopped_ = true;
    }
    ++runs_;
    if (k == limit) {
        if (checker_.run().solved) return visitor_->win(placed_) && (stopped_ = true);
        limitCut_ = true;
        return false;
    }
    // A part that wins already: every core containing it has a winning part.
    if (checker_.runMarking(sigma).solved)
        return reportFrom_ >= 0 && k >= reportFrom_ && visitor_->win(placed_) && (stopped_ = true);
    const std::vector<int16_t>& order = checker_.enteredOrder();
    const std::vector<int32_t>& numbers = checker_.enteredNumber();
    // Cells first entered up to the last piece's entry take no later piece but a cross.
    const int earlier = static_cast<int>(
        std::upper_bound(numbers.begin(), numbers.end(), prevNumber) - numbers.begin());
    // The cells a next piece may take, kept per depth: deeper runs overwrite the checker's.
    std::vector<Candidate>& next = frames_[static_cast<size_t>(k)];
    next.clear();
    for (int i = earlier; i < static_cast<int>(order.size()); ++i) {
        const int cell = order[static_cast<size_t>(i)];
        if (freeCell_[cell] && checker_.codeAt(cell) == Empty)
            next.push_back(
                {static_cast<int16_t>(cell), checker_.enteredDir()[static_cast<size_t>(i)], false,
                 numbers[static_cast<size_t>(i)], checker_.enteredStep()[static_cast<size_t>(i)]});
    }
    const bool crossesLeft = crossSlot_ > 0 && counts_[crossSlot_] > 0;
    if (crossesLeft)
        for (const BeamChecker::SecondEntry& e : checker_.secondEntries())
            if (e.number > prevNumber && freeCell_[e.cell] && checker_.codeAt(e.cell) == Empty)
                next.push_back({e.cell, 0, true, e.number, e.step});
    // A search for any one win tries the cells entered last first: fewer cells follow
    // them, so their subtrees are small and many of them are over soon. Measured on the
    // slowest answers, it finds the first win sooner.
    if (lateFirst_) std::reverse(next.begin(), next.end());
    const int budget = limit - k;
    GrowthLimits& wanted = growthAt_[static_cast<size_t>(k)];
    wanted.reset();
    visitor_->limit(placed_, wanted);
    takeLimits(k);

    std::vector<std::pair<int, int>> ways;  // (target, new pieces after the next one)
    unsigned waysPending = 0;               // ways whose costs are not worked out yet
    bool everyWay = true;                   // all of them must be served, else any one
    bool anySplitter = false;               // a splitter piece needs to serve no way
    // Only deflectors and splitters turn a beam: the bounds count turns, and the pieces
    // left can make at most `turns` of them. Walls, crosses and sand make none, so when
    // the bounds take every turn left they say nothing about those pieces.
    int turnPieces = 0;
    for (int slot = 1; slot <= SlotCount; ++slot)
        if (turnsBeam(slot)) turnPieces += avail_[slot];
    const int turns = std::min(budget, turnPieces);
    if (useBounds_) {
        // Fewer pieces wanted than the limit's size needs (when only that size is visited).
        int wantedPieces = 0;
        for (int slot = 1; slot <= SlotCount; ++slot) wantedPieces += avail_[slot];
        if (reportFrom_ < 0 && wantedPieces < budget) return false;
        prepareTurns(order, earlier);
        if (turns <= 2) {
            backward_.resize(targets_.size());
            for (size_t n = 0; n < targets_.size(); ++n) closeBackward(static_cast<int>(n));
        }
        // The private parts of the ways (after their last split) share no piece. A
        // splitter piece starts at most two of them, so with up to S splitter pieces
        // the parts of at most 2S targets may start anywhere: the others cost at least
        // what the ways from the beams and the splitters on the board cost. Cheaper than
        // the bound per target, so tried first.
        const int splitterPieces = avail_[8];
        auto privateBound = [&](int newBeams) {
            std::vector<int> parts;
            for (const int t : targets_) parts.push_back(std::min<int>(costSum_[t], turns + 1));
            std::sort(parts.begin(), parts.end(), std::greater<int>());
            int sum = 0;
            for (const int p : parts) sum += p;
            int bound = Unreachable;
            for (int used = 0, dropped = 0; used <= splitterPieces; ++used) {
                if (used > 0)
                    for (int i = 2 * used - 2; i < 2 * used && i < static_cast<int>(parts.size());
                         ++i)
                        dropped += parts[i];
                if (used >= newBeams) bound = std::min(bound, used + sum - dropped);
            }
            return std::pair(bound, sum);
        };
        if (!splitterFree_) {
            if (turns == 1) {
                closeForward(true);
                for (size_t n = 0; n < targets_.size(); ++n)
                    costSum_[targets_[n]] = static_cast<uint8_t>(
                        hitBefore(targets_[n], sigma) ? 0 : nearCost(static_cast<int>(n), true));
            } else {
                forward(true, sigma, turns, true, costSum_);
            }
            if (privateBound(0).first > turns) {
                limitCut_ = true;
                return false;
            }
        }
        const int most =
            turns <= 2 ? nearBounds(sigma, turns) : forward(false, sigma, turns, false, costMax_);
        if (most >= Unreachable) return false;
        if (most > turns) {
            limitCut_ = true;
            return false;
        }
        if (splitterFree_) costSum_ = costMax_;
        // Every target not yet hit needs a beam of its own: beams standing now, one more
        // from each splitter on the board, the rest from splitter pieces.
        int unhit = 0;
        for (const int t : targets_) unhit += costMax_[t] != 0 || !hitBefore(t, sigma);
        if (splitterFree_ && turns > 0 && !kindsSuffice(sigma, unhit)) {
            limitCut_ = true;
            return false;
        }
        int boardSplitters = static_cast<int>(levelSplitters_.size());
        for (const CorePiece& p : placed_) boardSplitters += p.slot == 8;
        const int newBeams =
            std::max(0, unhit - static_cast<int>(checker_.captured().size()) - boardSplitters);
        if (newBeams > splitterPieces) return false;
        auto [bound, sum] = privateBound(newBeams);
        if (bound <= turns && splitterPieces > 0)
            bound = std::max(bound, splitPartsBound(newBeams, turns));
        if (bound > turns) {
            limitCut_ = true;
            return false;
        }
        const bool sumMode = splitterPieces == 0;
        // When a bound uses up every turn left, each piece that turns is a turn on some
        // target's way, and the next such piece is the first new one on its way: it must
        // turn the beam that first enters its cell onto a way that the turns after it can
        // finish. A target needing every turn left has all of them on its way; with the
        // private parts of the ways adding up to the turns left, the next turn is on one
        // of them.
        for (const int t : targets_)
            if (costMax_[t] == turns) ways.emplace_back(t, turns - 1);
        if (ways.empty() && sumMode && sum == turns) {
            everyWay = false;
            for (const int t : targets_)
                if (costSum_[t] >= 1) ways.emplace_back(t, costSum_[t] - 1);
        }
        // With splitter pieces the tight private bound makes every turning piece a splitter
        // or a turn on some private part: the next one is a splitter, or a deflector
        // turning a beam onto a way.
        if (ways.empty() && !sumMode && bound == turns) {
            everyWay = false;
            anySplitter = true;
            for (const int t : targets_) ways.emplace_back(t, turns - 1);
        }
        if (turns == 0) ways.clear();
        if (ways.size() > MaxWays) {
            if (everyWay)
                ways.resize(MaxWays);  // fewer conditions: still sound
            else
                ways.clear();
        }
        if (!ways.empty()) limitCut_ = true;
        // a larger limit may lift the restriction
        for (size_t n = 0; n < ways.size() && !next.empty(); ++n) {
            const size_t t = static_cast<size_t>(
                std::find(targets_.begin(), targets_.end(), ways[n].first) - targets_.begin());
            ToGo& g = toGo_[k][n];
            if (turns <= 2 && ways[n].second == 0) {
                // The states from which the target is reached without a new piece.
                g.fill(Far);
                for (const int16_t state : backward_[t]) g[static_cast<size_t>(state)] = 0;
            } else if (turns == 2 && ways[n].second == 1) {
                g = oneTurn(t);
            } else {
                // The whole way back is worked out only when a piece asks for it (often none
                // does): by then deeper nodes have changed the cells without a turn.
                waysPending |= 1u << n;
                noTurnAt_[k] = noTurn_;
            }
        }
    }

    // The branches here: a first entry with every kind in stock but a cross, a second
    // entry with a cross.
    int kinds = 0, crossEntries = 0;
    for (int slot = 1; slot <= SlotCount; ++slot) kinds += counts_[slot] > 0 && slot != crossSlot_;
    for (const Candidate& candidate : next) crossEntries += candidate.second;
    const bool walking = k < WalkDepth;
    if (walking)
        walk_[static_cast<size_t>(k)] = {
            -1, std::max(1, kinds * (int(next.size()) - crossEntries) + crossEntries)};
    for (const Candidate& candidate : next) {
        const int cell = candidate.cell, dir = candidate.dir;
        for (int slot = 1; slot <= SlotCount; ++slot) {
            if (counts_[slot] == 0 || (slot == crossSlot_) != candidate.second) continue;
            if (walking) {
                ++walk_[static_cast<size_t>(k)].at;
                walkDepth_ = k + 1;
            }
            const GrowthLimits& own = growthAt_[static_cast<size_t>(k)];
            if (own.more[slot] == 0 || columnKey_[cell] > own.lastKey[slot]) continue;
            if (!ways.empty() && !(anySplitter && slot == 8) &&
                !(turns < budget && !turnsBeam(slot))) {
                if (waysPending) {
                    noTurn_ = noTurnAt_[k];
                    takeLimits(k);
                    prepareTurnable();
                    for (size_t n = 0; n < ways.size(); ++n)
                        if (waysPending & (1u << n))
                            costToGo(ways[n].first, ways[n].second, toGo_[k][n]);
                    waysPending = 0;
                }
                if (!turnsOntoWay(toGo_[k], cell, dir, codeOfSlot(slot), ways, everyWay)) continue;
            }
            ++tries_;
            --counts_[slot];
            checker_.place(cell, codeOfSlot(slot));
            placed_.push_back({slot, cell});
            const bool stop =
                !visitor_->cut(placed_) && grow(k + 1, limit, candidate.number, candidate.step);
            placed_.pop_back();
            checker_.place(cell, Empty);
            ++counts_[slot];
            if (stop) return true;
        }
    }
    if (walking) walkDepth_ = k;
    return false;
}

std::vector<CoreSearch::Outcome> walkOnThreads(
    int threads, const std::function<CoreSearch::Outcome(int, std::atomic<int>&)>& walk,
    const std::function<void()>& meanwhile) {
    std::atomic<int> tickets{0};
    int running = threads;
    std::vector<CoreSearch::Outcome> outcomes(static_cast<size_t>(threads));
    std::mutex mutex;
    std::condition_variable done;
    std::vector<std::thread> pool;
    pool.reserve(static_cast<size_t>(threads));
    for (int t = 0; t < threads; ++t)
        pool.emplace_back([&, t] {
            outcomes[static_cast<size_t>(t)] = walk(t, tickets);
            std::lock_guard lock(mutex);
            --running;
            done.notify_all();
        });
    {
        std::unique_lock lock(mutex);
        while (running > 0) {
            done.wait_for(lock, std::chrono::milliseconds(10));
            if (running == 0) break;
            lock.unlock();
            meanwhile();
            lock.lock();
        }
    }
    for (std::thread& th : pool) th.join();
    return outcomes;
}

double CoreSearch::walked() const {
    if (walkedAll_) return 1;
    double share = 0, width = 1;
    for (int d = 0; d < walkDepth_; ++d) {
        const Branch& b = walk_[static_cast<size_t>(d)];
        share += width * std::max(0, b.at) / b.of;
        width /= b.of;
    }
    return share;
}

}  // namespace lumor
