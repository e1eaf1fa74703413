// How the answer follows without trying every arrangement.
//
// The search over every arrangement gives each of the n pieces (PieceList order) a
// free-cell index s from 0 (not placed) to F, all placed pieces on different cells and at
// most A (stock index 0) of them placed, and goes through these arrangements in
// lexicographic order of (s[n-1], ..., s[0]): piece n-1 changes slowest. An arrangement's
// place in that order is its rank.
//
// Counters. The call for piece a makes F + 1 tries and happens once for every
// arrangement of the pieces above it that places j <= A of them: C(n-1-a, j) * P(F, j)
// of them (which pieces, and their cells in order; P(F, j) = F! / (F-j)!). Summed over a,
// with C(0, j) + ... + C(n-1, j) = C(n, j+1):
//     tried   = (F + 1) * sum over j <= min(n-1, A, F) of C(n, j+1) * P(F, j)
//     checked =           sum over j <= min(n,   A, F) of C(n, j)   * P(F, j)
// No beam is needed for them. With A < 0 only the first call's F + 1 tries happen; with no
// piece at all the bare board is checked once.
//
// Cores. A beam run reads a cell only when a beam moves into it, so pieces on cells the
// run never enters change nothing: every arrangement runs exactly as its core (its pieces
// that a beam enters) does. CoreSearch finds the winning cores of each size.
//
// Solutions. A win is recorded when its pieces left reach the best so far, that is when
// no win of lower rank places fewer pieces. Taking pieces away (s to 0) lowers the rank,
// so a win holding a smaller win (its own core, when it has pieces outside it) is never
// recorded: recorded wins are cores none of whose parts wins (nor a cross only one beam
// enters, which runs as the core without it; CoreSearch leaves those out). Let m be the fewest pieces
// of any win. Every m-piece win is recorded, in every labelling (which piece of a slot
// stands on which of the slot's cells: P(n_slot, c_slot) ways per slot), and the best
// shown is the last of them in rank order. A win with v > m pieces is recorded exactly
// when its rank lies below R(v), the lowest rank of a win with fewer pieces: R(m+1) is the
// lowest rank of an m-piece win, and R(v+1) the lower of R(v) and the lowest recorded
// v-piece win. So sizes are searched in rising order, each with its bound, and the
// labellings of a core below the bound are counted position by position from the top.
// Within a slot the lowest labelling leaves its top pieces unplaced and puts the cells,
// smallest first, on the pieces below; the highest puts the largest cell on its top
// piece. Growing a core turns a 0 of its lowest labelling into a cell and so raises it:
// a core whose lowest labelling is not below the bound is cut with all it grows into.
#include "solver/exactsearch.h"

#include "play/cells.h"
#include "solver/coresearch.h"

#include <algorithm>
#include <cstdio>

namespace lumor {
namespace {

// Ranks as vectors from the top piece down: element i is s[n-1-i].
using Rank = std::vector<int16_t>;

struct Group {
    int slot = 0;
    int size = 0;   // the slot's pieces
    int start = 0;  // its first element in a Rank
};

// P(m, k) = m (m-1) ... (m-k+1) times `times`.
Count fallingTimes(Count times, int m, int k) {
    for (int i = 0; i < k; ++i) times *= static_cast<uint32_t>(m - i);
    return times;
}

}  // namespace

class ExactVisitor final : public CoreVisitor {
public:
    explicit ExactVisitor(const ExactSearch& search) : search_(search) {
        // Rank order from the top: the slots in the reverse of PieceList's order.
        int start = 0;
        for (auto slot = PieceSlotOrder.rbegin(); slot != PieceSlotOrder.rend(); ++slot) {
            const int size = std::max<int>(0, search.level_.Stock[*slot]);
            if (size > 0) groups_.push_back({*slot, size, start});
            start += size;
        }
        pieces_ = start;
    }

    bool bounded = false;  // only wins below `bound` are recorded
    Rank bound;
    // What the search at one size found.
    bool any = false;
    Count count;
    Rank lowest, highest;

    void startSize() {
        any = false;
        count = Count();
    }

    bool cut(const std::vector<CorePiece>& core) override {
        if (!bounded) return false;
        collect(core);
        return !lowestBelowBound(boundFor(core.size()));
    }

    // Going down the groups of a kept core: one equal to the bound's takes no more pieces
    // (a cell in place of a 0 raises the labelling above the bound). The first group that
    // differs lies below the bound's, by fewer cells or a smaller cell; it takes pieces up
    // to the bound's count, and if the last of them makes the count, the group's smallest
    // cell must not pass the bound's. The groups after it are free.
    void limit(const std::vector<CorePiece>& core, GrowthLimits& limits) override {
        if (!bounded) return;
        collect(core);
        const Rank& held = boundFor(core.size());
        for (const Group& g : groups_) {
            const auto& c = cells_[g.slot];
            const int have = static_cast<int>(c.size());
            const auto first = held.begin() + g.start, end = first + g.size;
            const int want =
                static_cast<int>(end - std::find_if(first, end, [](int16_t s) { return s != 0; }));
            if (have == want && std::equal(c.begin(), c.end(), end - want)) {
                limits.more[g.slot] = 0;
                continue;
            }
            if (have < want) {
                limits.more[g.slot] = want - have;
                const int smallest = *(end - want);
                if (have == want - 1 && (have == 0 || c.front() > smallest)) {
                    const FreeCell& cell = search_.freeCells_[static_cast<size_t>(smallest)];
                    limits.lastKey[g.slot] = cell.X * BoardHeight + cell.Y;
                }
            } else {
                limits.more[g.slot] = 0;
            }
            return;
        }
        limits.more.fill(0);  // the bound itself, not below it
    }

    bool win(const std::vector<CorePiece>& core) override {
        if (keeping_) {
            if (kept_.size() + core.size() > maxKept_) {
                *overflow_ = true;
                return true;
            }
            kept_.insert(kept_.end(), core.begin(), core.end());
            keptSizes_.push_back(static_cast<uint16_t>(core.size()));
            // Whether or not it is recorded, no larger win is below its lowest labelling:
            // R(s + 1) is the lower of R(s) and the lowest recorded win of s pieces.
            collect(core);
            const Rank low = labelling(false);
            for (size_t size = core.size() + 1; size < boundAt_.size(); ++size)
                if (low < boundAt_[size]) boundAt_[size] = low;
            return false;
        }
        collect(core);
        if (!bounded) {
            Count labellings = 1;
            for (const Group& g : groups_)
                labellings = fallingTimes(labellings, g.size, cellCount(g));
            count += labellings;
            const Rank low = labelling(false), high = labelling(true);
            if (!any || low < lowest) lowest = low;
            if (!any || highest < high) highest = high;
            any = true;
            return false;
        }
        const Count below = countBelowBound();
        if (below.isZero()) return false;
        count += below;
        const Rank low = labelling(false);
        if (!any || low < lowest) lowest = low;
        any = true;
        return false;
    }

    std::function<bool()> onPoll;
    bool poll() override { return (onPoll && onPoll()) || (overflow_ && *overflow_); }

    // With keep, win() keeps the cores (up to a bound on memory; beyond it, it sets the
    // overflow flag and stops the search) instead of counting them.
    void keep(bool on, std::atomic<bool>* overflow, int largest = 0, size_t most = 0) {
        maxKept_ = most;
        boundAt_.assign(on ? static_cast<size_t>(largest) + 1 : 0, bound);
        keeping_ = on;
        overflow_ = on ? overflow : nullptr;
        kept_.clear();
        keptSizes_.clear();
    }
    void takeKept(std::vector<std::vector<CorePiece>>& out) const {
        size_t at = 0;
        for (const uint16_t size : keptSizes_) {
            out.emplace_back(kept_.begin() + static_cast<ptrdiff_t>(at),
                             kept_.begin() + static_cast<ptrdiff_t>(at + size));
            at += size;
        }
    }

    // A rank as the pieces it places, in PieceList order.
    std::vector<Piece> arrangement(const Rank& rank) const {
        std::vector<Piece> out;
        for (int i = pieces_ - 1; i >= 0; --i) {
            const int s = rank[static_cast<size_t>(i)];
            if (s == 0) continue;
            const Group& g = *std::find_if(groups_.begin(), groups_.end(), [&](const Group& gr) {
                return i >= gr.start && i < gr.start + gr.size;
            });
            out.push_back({g.slot, search_.freeCells_[s].X, search_.freeCells_[s].Y});
        }
        return out;
    }

private:
    int cellCount(const Group& g) const { return static_cast<int>(cells_[g.slot].size()); }

    void collect(const std::vector<CorePiece>& core) {
        for (auto& c : cells_) c.clear();
        for (const CorePiece& p : core) cells_[p.slot].push_back(search_.freeIndex_[p.cell]);
        for (auto& c : cells_) std::sort(c.begin(), c.end());
    }

    // The core's lowest or highest labelling.
    Rank labelling(bool top) const {
        Rank r(static_cast<size_t>(pieces_), 0);
        for (const Group& g : groups_) {
            const auto& c = cells_[g.slot];
            const int n = static_cast<int>(c.size());
            for (int k = 0; k < n; ++k)
                r[static_cast<size_t>(top ? g.start + k : g.start + g.size - n + k)] =
                    top ? c[static_cast<size_t>(n - 1 - k)] : c[static_cast<size_t>(k)];
        }
        return r;
    }

    bool lowestBelowBound(const Rank& held) const {
        for (const Group& g : groups_) {
            const auto& c = cells_[g.slot];
            const int zeros = g.size - static_cast<int>(c.size());
            for (int k = 0; k < g.size; ++k) {
                const int mine = k < zeros ? 0 : c[static_cast<size_t>(k - zeros)];
                const int theirs = held[static_cast<size_t>(g.start + k)];
                if (mine != theirs) return mine < theirs;
            }
        }
        return false;
    }

    // Labellings of the core whose rank lies below the bound: walking down the positions
    // while the prefix equals the bound's, each smaller choice at a position adds every
    // way of filling the positions below it.
    Count countBelowBound() const {
        // below[i]: the ways to label the groups after group i.
        std::vector<Count> below(groups_.size());
        Count ways = 1;
        for (size_t i = groups_.size(); i-- > 0;) {
            below[i] = ways;
            ways = fallingTimes(ways, groups_[i].size, cellCount(groups_[i]));
        }
        Count total;
        for (size_t gi = 0; gi < groups_.size(); ++gi) {
            const Group& g = groups_[gi];
            std::vector<int16_t> left = cells_[g.slot];  // cells not yet given a piece
            int positions = g.size;
            for (int k = 0; k < g.size; ++k, --positions) {
                const int r = bound[static_cast<size_t>(g.start + k)];
                const int u = static_cast<int>(left.size());
                const bool zeroAllowed = positions - 1 >= u;
                if (zeroAllowed && r > 0) total += fallingTimes(below[gi], positions - 1, u);
                const int smaller =
                    static_cast<int>(std::lower_bound(left.begin(), left.end(), r) - left.begin());
                if (smaller > 0)
                    total += fallingTimes(below[gi] * static_cast<uint32_t>(smaller), positions - 1,
                                          u - 1);
                if (r == 0) {
                    if (!zeroAllowed) return total;
                } else {
                    const auto at = std::lower_bound(left.begin(), left.end(), r);
                    if (at == left.end() || *at != r) return total;
                    left.erase(at);
                }
            }
        }
        return total;  // the bound itself is not below it
    }

    // The bound a core of k pieces is held to: while keeping, also below every win kept
    // with fewer pieces.
    const Rank& boundFor(size_t k) const { return k < boundAt_.size() ? boundAt_[k] : bound; }

    const ExactSearch& search_;
    std::vector<Rank> boundAt_;  // by size, while keeping
    bool keeping_ = false;
    size_t maxKept_ = 0;  // pieces
    std::atomic<bool>* overflow_ = nullptr;
    std::vector<CorePiece> kept_;
    std::vector<uint16_t> keptSizes_;
    std::vector<Group> groups_;
    int pieces_ = 0;
    std::array<std::vector<int16_t>, SlotCount + 1> cells_;
};

bool ExactSearch::load(const LevelRecord& level) {
    level_ = level;
    finished_ = false;
    loadMessage_.clear();
    best_.clear();
    bestLeft_ = bestLeftSoFar_ = -1;
    tried_ = checked_ = solutions_ = Count();
    pieces_ = 0;
    for (int slot = 1; slot <= SlotCount; ++slot) pieces_ += std::max<int>(0, level.Stock[slot]);
    loaded_ = pieces_ <= SolutionSearch::MaxPieces;
    if (!loaded_) {
        loadMessage_ = tooManyPiecesMessage(pieces_);
        return false;
    }
    freeCells_[0] = FreeCell{-1, 0};
    freeIndex_.fill(0);
    freeCount_ = 0;
    for (int x = 0; x < BoardWidth; ++x)
        for (int y = 0; y < BoardHeight; ++y)
            if (level.cell(x, y) == Empty) {
                freeCells_[++freeCount_] = FreeCell{x, y};
                freeIndex_[BeamChecker::pad(x, y)] = static_cast<int16_t>(freeCount_);
            }
    return true;
}

void ExactSearch::countEnumeration() {
    const int n = pieces_, f = freeCount_, allowance = level_.Stock[0];
    tried_ = checked_ = Count();
    if (n == 0) {
        checked_ = allowance >= 0 ? 1 : 0;
        return;
    }
    if (allowance < 0) {
        tried_ = static_cast<uint64_t>(f + 1);
        return;
    }
    // checked: terms C(n, j) P(F, j); tried: terms C(n, j+1) P(F, j), times F + 1.
    Count checkTerm = 1, tryTerm = static_cast<uint64_t>(n);
    for (int j = 0; j <= std::min({n, allowance, f}); ++j) {
        checked_ += checkTerm;
        if (j <= n - 1) tried_ += tryTerm;
        checkTerm *= static_cast<uint32_t>(n - j);
        checkTerm *= static_cast<uint32_t>(f - j);
        checkTerm.divideExactly(static_cast<uint32_t>(j + 1));
        tryTerm *= static_cast<uint32_t>(std::max(0, n - j - 1));
        tryTerm *= static_cast<uint32_t>(f - j);
        tryTerm.divideExactly(static_cast<uint32_t>(j + 2));
    }
    tried_ *= static_cast<uint32_t>(f + 1);
}

struct ExactSearch::Worker {
    Worker(const ExactSearch& search) : core(search.level_), visitor(search) {}
    void publish() {
        tries.store(core.tries(), std::memory_order_relaxed);
        runs.store(core.runs(), std::memory_order_relaxed);
        walked.store(core.walked(), std::memory_order_relaxed);
    }
    CoreSearch core;
    ExactVisitor visitor;
    std::atomic<int64_t> tries{0}, runs{0};
    std::atomic<double> walked{0};
};

ExactSearch::ExactSearch() = default;
ExactSearch::~ExactSearch() = default;

int64_t ExactSearch::workTries() const {
    int64_t sum = doneTries_;
    for (const auto& w : workers_) sum += w->tries.load(std::memory_order_relaxed);
    return sum;
}

int64_t ExactSearch::workRuns() const {
    int64_t sum = doneRuns_;
    for (const auto& w : workers_) sum += w->runs.load(std::memory_order_relaxed);
    return sum;
}

int ExactSearch::lastPass() const {
    return std::max(0, std::min({int(level_.Stock[0]), pieces_, freeCount_}));
}

double ExactSearch::walked() const {
    if (workers_.empty()) return finished_ ? 1 : 0;
    double least = 1;
    for (const auto& w : workers_)
        least = std::min(least, w->walked.load(std::memory_order_relaxed));
    return least;
}

void ExactSearch::run(const std::function<bool()>& poll, int threads) {
    if (!loaded_) return;
    finished_ = false;
    best_.clear();
    bestLeft_ = bestLeftSoFar_ = -1;
    solutions_ = Count();
    doneTries_ = doneRuns_ = 0;
    countEnumeration();
    const int allowance = level_.Stock[0];
    if (allowance < 0) {  // nothing is checked
        finished_ = true;
        return;
    }

    threads = std::max(1, threads);
    std::atomic<bool> stop{false};
    workers_.clear();
    for (int t = 0; t < threads; ++t) {
        workers_.push_back(std::make_unique<Worker>(*this));
        Worker& w = *workers_.back();
        // One search polls for the caller itself; several are polled by the caller.
        w.visitor.onPoll = threads == 1 ? std::function<bool()>([&w, &poll] {
            w.publish();
            return poll && poll();
        })
                                        : std::function<bool()>([&w, &stop] {
                                              w.publish();
                                              return stop.load(std::memory_order_relaxed);
                                          });
    }

    // One walk of the core search at `limit` on every worker.
    std::atomic<bool> overflow{false};
    auto walk = [&](int limit) {
        if (threads == 1) return workers_[0]->core.search(limit, workers_[0]->visitor);
        const std::vector<CoreSearch::Outcome> outcomes = walkOnThreads(
            threads,
            [&](int t, std::atomic<int>& tickets) {
                Worker& w = *workers_[static_cast<size_t>(t)];
                const CoreSearch::Outcome outcome = w.core.search(limit, w.visitor, tickets);
                w.publish();
                return outcome;
            },
            [&] {
                if (!stop && !overflow && poll && poll()) stop = true;
            });
        CoreSearch::Outcome all;
        for (const CoreSearch::Outcome& o : outcomes) {
            all.stopped = all.stopped || o.stopped;
            all.limitCut = all.limitCut || o.limitCut;
        }
        return all;
    };
    const int last = lastPass();
    auto startWalk = [&](bool bounded, const Rank& bound, bool keep) {
        for (auto& w : workers_) {
            w->walked = 0;
            w->visitor.startSize();
            w->visitor.bounded = bounded;
            w->visitor.bound = bound;
            w->visitor.keep(keep, &overflow, last, maxKept_);
        }
    };

    int fewest = -1;
    Rank highest, bound;
    bool stopped = poll && poll();
    int v = 0;
    // Sizes in rising order, each with its bound, up to the fewest pieces of a win.
    for (bool larger = true; !stopped && larger && v <= last; ++v) {
        pass_ = v;
        startWalk(fewest >= 0, bound, false);
        const CoreSearch::Outcome outcome = walk(v);
        stopped = outcome.stopped;
        larger = outcome.limitCut;
        if (stopped) break;
        bool any = false;
        Rank lowest;
        for (auto& w : workers_) {
            const ExactVisitor& found = w->visitor;
            if (!found.any) continue;
            solutions_ += found.count;
            if (!any || found.lowest < lowest) lowest = found.lowest;
            if (fewest < 0 && (!any || highest < found.highest)) highest = found.highest;
            any = true;
        }
        if (any) {
            if (fewest < 0) {
                fewest = v;
                bestLeftSoFar_ = allowance - v;
            }
            bound = lowest;  // found below the bound, or the first bound
        }
        // The larger sizes in one walk, their wins kept: each size's bound follows from the
        // smaller ones'. Were too many kept, the sizes are searched one by one after all.
        if (fewest >= 0 && v >= fewest + separatePasses_ && larger && v < last && !overflow) {
            pass_ = last;
            startWalk(true, bound, true);
            for (auto& w : workers_) w->core.reportFrom(v + 1);
            const CoreSearch::Outcome all = walk(last);
            for (auto& w : workers_) w->core.reportFrom(-1);
            if (overflow) continue;
            stopped = all.stopped;
            ExactVisitor& tally = workers_[0]->visitor;
            std::vector<std::vector<CorePiece>> wins;
            for (auto& w : workers_) w->visitor.takeKept(wins);
            for (int size = v + 1; !stopped && size <= last; ++size) {
                tally.keep(false, &overflow);
                tally.startSize();
                tally.bound = bound;
                for (const std::vector<CorePiece>& core : wins)
                    if (static_cast<int>(core.size()) == size) tally.win(core);
                if (!tally.any) continue;
                solutions_ += tally.count;
                bound = tally.lowest;
            }
            break;
        }
    }
    for (auto& w : workers_) {
        doneTries_ += w->core.tries();
        doneRuns_ += w->core.runs();
    }
    if (!stopped && fewest >= 0) {
        bestLeft_ = allowance - fewest;
        best_ = workers_[0]->visitor.arrangement(highest);
    }
    workers_.clear();
    finished_ = !stopped;
}

}  // namespace lumor
