// Why the search may leave so much out:
//
// * One order per core. Order the pieces of a core K by the moment a beam first enters
//   their cells. The run of the first k pieces alone is the run of K up to the moment the
//   (k+1)-th piece's cell is first entered (no cell holding a later piece has been read
//   before), so in it that cell is entered, and after the k-th piece's cell. Adding
//   pieces one at a time, each on a free cell first entered after the previous piece's
//   cell in the current run, reaches every core exactly once, through its parts.
// * A bound per target. No target can be hit twice (a second beam on the line in front of
//   it would have to pass the first one's origin, which stops or removes it), so every
//   target must be hit. A beam turns only at deflectors and splitters: at least as many
//   new pieces are needed as the fewest turns on free cells over any path that a hitting
//   beam can take. By the argument above it descends from a beam of the current run
//   standing at the start of the cell step of the last placed piece's first entry, and
//   free cells first entered before that piece's cell cannot hold a later piece, so they
//   offer no turn.
// * Bounds over all targets. After its last split a beam's way is its own: a deflector
//   lets only one beam go on turned (a second one on its cell is taken off). So the turns
//   on those private parts add up, except that a splitter piece may start two of them;
//   and every target not yet hit needs a beam of its own, which beyond the beams standing
//   and the splitters on the board only splitter pieces make.
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

#include <algorithm>
#include <bit>
#include <functional>
#include <limits>

namespace lumor {
namespace {

constexpr std::array<int, 5> Delta = {0, 1, BeamChecker::PadW, -1, -BeamChecker::PadW};
constexpr int Unreachable = std::numeric_limits<int>::max() / 2;
constexpr int PollEvery = 256;

// Directions a beam entering a cell of this (checker) code moving `in` leaves it with,
// without a new piece, as a bit mask; and the other way round, the directions it may have
// come in with to leave moving `out`.
constexpr std::array<std::array<uint8_t, 5>, BeamChecker::CodeCount> makeThrough() {
    std::array<std::array<uint8_t, 5>, BeamChecker::CodeCount> t{};
    for (int code = 0; code < BeamChecker::CodeCount; ++code)
        for (int in = 1; in <= 4; ++in) t[code][in] = BeamChecker::exits(code, in);
    return t;
}
constexpr auto Through = makeThrough();

constexpr std::array<std::array<uint8_t, 5>, BeamChecker::CodeCount> makeInto() {
    std::array<std::array<uint8_t, 5>, BeamChecker::CodeCount> t{};
    for (int code = 0; code < BeamChecker::CodeCount; ++code)
        for (int in = 1; in <= 4; ++in)
            for (int out = 1; out <= 4; ++out)
                if (Through[code][in] & (1 << out)) t[code][out] |= static_cast<uint8_t>(1 << in);
    return t;
}
constexpr auto Into = makeInto();

// Deflectors and splitters: the pieces that turn a beam.
constexpr bool turnsBeam(int slot) {
    return isDeflector(codeOfSlot(slot)) || codeOfSlot(slot) == Splitter;
}

constexpr bool crossing(int a, int b) {
    return (a == Right || a == Left) != (b == Right || b == Left);
}

// The deflector code that turns a beam moving `from` into `to` (0 for none).
constexpr int deflectorFor(int from, int to) {
    for (int code = DeflectorRightDown; code <= DeflectorRightUp; ++code)
        if (entryOf(from, code) == Entry::Pass && turnedBy(code, from) == to) return code;
    return 0;
}

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
    grow(0, limit, -1, 1);
    visitor_ = nullptr;
    return {stopped_, limitCut_};
}

// k pieces placed, the last on the cell first entered as number prevIndex of the run, in
// cell step sigma (1 when none is placed). Returns true when the search is to stop.
bool CoreSearch::grow(int k, int limit, int prevIndex, int sigma) {
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
    if (checker_.runMarking(sigma).solved) return false;
    const std::vector<int16_t>& order = checker_.enteredOrder();
    // The cells a next piece may take, kept per depth: deeper runs overwrite the checker's.
    if (frames_.size() <= static_cast<size_t>(k)) frames_.resize(static_cast<size_t>(k) + 1);
    std::vector<Candidate>& next = frames_[static_cast<size_t>(k)];
    next.clear();
    for (int i = prevIndex + 1; i < static_cast<int>(order.size()); ++i) {
        const int cell = order[static_cast<size_t>(i)];
        if (freeCell_[cell] && checker_.codeAt(cell) == Empty)
            next.push_back({static_cast<int16_t>(cell),
                            checker_.enteredDir()[static_cast<size_t>(i)], i,
                            checker_.enteredStep()[static_cast<size_t>(i)]});
    }
    const int budget = limit - k;

    std::vector<std::pair<int, int>> ways;  // (target, new pieces after the next one)
    bool everyWay = true;                   // all of them must be served, else any one
    bool anySplitter = false;               // a splitter piece needs to serve no way
    // Only deflectors and splitters turn a beam: the bounds count turns, and the pieces
    // left can make at most `turns` of them. Walls, crosses and sand make none, so when
    // the bounds take every turn left they say nothing about those pieces.
    int turnPieces = 0;
    for (int slot = 1; slot <= SlotCount; ++slot)
        if (turnsBeam(slot)) turnPieces += counts_[slot];
    const int turns = std::min(budget, turnPieces);
    if (useBounds_) {
        prepareTurns(order, prevIndex);
        if (turns <= 2) {
            backward_.resize(targets_.size());
            for (size_t n = 0; n < targets_.size(); ++n) closeBackward(static_cast<int>(n));
        }
        // The private parts of the ways (after their last split) share no piece. A
        // splitter piece starts at most two of them, so with up to S splitter pieces
        // the parts of at most 2S targets may start anywhere: the others cost at least
        // what the ways from the beams and the splitters on the board cost. Cheaper than
        // the bound per target, so tried first.
        const int splitterPieces = counts_[8];
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
        if (toGo_.size() <= static_cast<size_t>(k)) toGo_.resize(static_cast<size_t>(k) + 1);
        for (size_t n = 0; n < ways.size(); ++n) {
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
                costToGo(ways[n].first, ways[n].second, g);
            }
        }
    }

    for (const Candidate& candidate : next) {
        const int cell = candidate.cell, dir = candidate.dir;
        for (int slot = 1; slot <= SlotCount; ++slot) {
            if (counts_[slot] == 0) continue;
            if (!ways.empty() && !(anySplitter && slot == 8) &&
                !(turns < budget && !turnsBeam(slot)) &&
                !turnsOntoWay(toGo_[k], cell, dir, codeOfSlot(slot), ways, everyWay))
                continue;
            ++tries_;
            --counts_[slot];
            checker_.place(cell, codeOfSlot(slot));
            placed_.push_back({slot, cell});
            const bool stop =
                !visitor_->cut(placed_) && grow(k + 1, limit, candidate.index, candidate.step);
            placed_.pop_back();
            checker_.place(cell, Empty);
            ++counts_[slot];
            if (stop) return true;
        }
    }
    return false;
}

bool CoreSearch::hitBefore(int target, int sigma) const {
    for (const auto& [cell, step] : checker_.hitsMade())
        if (cell == target && step < sigma) return true;
    return false;
}

// Free cells first entered before the last placed piece's cell hold no later piece, so no
// new turn happens there; a turn needs a piece in stock that makes it.
void CoreSearch::prepareTurns(const std::vector<int16_t>& order, int prevIndex) {
    noTurn_.fill(false);
    for (int i = 0; i <= prevIndex; ++i) noTurn_[order[i]] = true;
    for (int from = 1; from <= 4; ++from)
        for (int to = 1; to <= 4; ++to) {
            const int code = deflectorFor(from, to);
            turnableByDeflector_[from][to] = code && counts_[slotOfCode(code)] > 0;
            turnable_[from][to] = turnableByDeflector_[from][to] || counts_[8] > 0;
        }
}

// The fewest new pieces on a way to each target (into cost), combined over the targets as
// their sum (every target's cost wanted, capped at budget + 1) or their largest. Up to the
// first entry of the next piece's cell the run is the current one, so a hitting beam
// descends from a beam standing at the start of cell step sigma, and a target hit before
// that step stays hit. With splitter origins the ways may also start at any splitter: that
// measures only the part of a way after its last split, which no other target's beam
// shares. Returns budget + 1 as soon as the result is known to exceed the budget, and
// Unreachable when a target can be reached by no way at all.
int CoreSearch::forward(bool privateParts, int sigma, int budget, bool sum,
                        std::array<uint8_t, BeamChecker::PadCells>& cost) {
    // A private part turns only at deflectors: a splitter piece would split it.
    const auto& turnable = privateParts ? turnableByDeflector_ : turnable_;
    std::array<uint8_t, BeamChecker::PadCells * 5> dist;
    dist.fill(Far);
    cost.fill(Far);
    for (const auto& [cell, step] : checker_.hitsMade())
        if (step < sigma) cost[cell] = 0;
    int open = 0;  // targets whose fewest new pieces are not known yet
    for (const int t : targets_) open += cost[t] == Far;
    int result = 0;
    bool cut = false;
    queueHead_ = queueTail_ = 0;
    auto relax = [&](int cell, int dir, int c, bool front) {
        const int state = cell * 5 + dir;
        if (c >= dist[state]) return;
        dist[state] = static_cast<uint8_t>(c);
        if (front)
            queue_[--queueHead_ & QueueMask] = static_cast<int16_t>(state);
        else
            queue_[queueTail_++ & QueueMask] = static_cast<int16_t>(state);
    };
    for (const auto& [cell, dir] : checker_.captured()) relax(cell, dir, 0, false);
    if (privateParts) {
        auto origin = [&](int cell) {
            for (int dir = 1; dir <= 4; ++dir) relax(cell, dir, 0, false);
        };
        for (const int cell : levelSplitters_) origin(cell);
        for (const CorePiece& p : placed_)
            if (p.slot == 8) origin(p.cell);
    }
    while (open > 0 && queueHead_ != queueTail_) {
        const int state = queue_[queueHead_++ & QueueMask];
        const int cell = state / 5, dir = state % 5;
        const int c = dist[state];
        if (c > budget) {
            cut = true;
            break;
        }
        const int next = cell + Delta[dir];
        const int code = checker_.codeAt(next);
        if (isTarget(code)) {
            if (code - 4 == dir && cost[next] == Far) {
                // Costs leave the queue in rising order: the first is the fewest.
                cost[next] = static_cast<uint8_t>(c);
                result = sum ? result + c : std::max(result, c);
                --open;
                if (!sum && result > budget) return budget + 1;
            }
            continue;
        }
        // The same moves as costToGo() takes backward.
        const uint8_t outs = Through[code][dir];
        for (int out = 1; out <= 4; ++out)
            if (outs & (1 << out)) relax(next, out, c, true);
        if (code == Empty && freeCell_[next] && !noTurn_[next]) {
            const int perp1 = (dir == Right || dir == Left) ? Down : Right;
            const int perp2 = (dir == Right || dir == Left) ? Up : Left;
            if (turnable[dir][perp1] || turnable[dir][perp2]) {
                if (c >= budget) {
                    cut = true;  // a turn here would cost more than the budget
                } else {
                    if (turnable[dir][perp1]) relax(next, perp1, c + 1, false);
                    if (turnable[dir][perp2]) relax(next, perp2, c + 1, false);
                }
            }
        }
    }
    if (sum) {
        // Every cost is wanted: one beyond the budget stands as budget + 1.
        result = 0;
        for (const int t : targets_) {
            if (cost[t] == Far) cost[t] = static_cast<uint8_t>(budget + 1);
            result += cost[t];
        }
        return result;
    }
    if (open == 0) return result > budget ? budget + 1 : result;
    return cut ? budget + 1 : Unreachable;
}

// The bounds with one piece left, as forward() gives them with budget 1 (a target that
// can be reached by no way at all counts as beyond the budget): a way with at most one
// new turn either meets a state from which its target is reached without one, or turns
// into such a state on a free cell that a beam moves into.
// For target n, the fewest new pieces to it from every state, up to one; worked out once
// per node.
const CoreSearch::ToGo& CoreSearch::oneTurn(size_t n) {
    if (oneTurn_.size() < targets_.size()) {
        oneTurn_.resize(targets_.size());
        oneTurnNode_.resize(targets_.size(), -1);
    }
    if (oneTurnNode_[n] != runs_) {
        costToGo(targets_[n], 1, oneTurn_[n]);
        oneTurnNode_[n] = runs_;
    }
    return oneTurn_[n];
}

int CoreSearch::nearBounds(int sigma, int budget) {
    closeForward(false);
    int most = 0;
    for (size_t n = 0; n < targets_.size(); ++n) {
        const int t = targets_[n];
        int c = hitBefore(t, sigma) ? 0 : nearCost(static_cast<int>(n), false);
        if (c == 2 && budget == 2) {
            // Two new turns: the first where a beam moves in without one, onto a state
            // from which one more turn at most reaches the target.
            const ToGo& oneMore = oneTurn(n);
            c = 3;
            for (const int16_t cell : reachTouched_) {
                if (c == 2) break;
                if (entered_[cell] == 0 || checker_.codeAt(cell) != Empty || !freeCell_[cell] ||
                    noTurn_[cell])
                    continue;
                for (int in = 1; in <= 4; ++in) {
                    if (!(entered_[cell] & (1 << in))) continue;
                    for (int out = 1; out <= 4; ++out)
                        if (crossing(in, out) && turnable_[in][out] && oneMore[cell * 5 + out] <= 1)
                            c = 2;
                }
            }
        }
        costMax_[t] = c > budget ? Far : static_cast<uint8_t>(c);
        most = std::max(most, c);
    }
    return most;
}

void CoreSearch::closeForward(bool privateParts) {
    for (const int16_t cell : reachTouched_) reach_[cell] = entered_[cell] = 0;
    reachTouched_.clear();
    reachQueue_.clear();
    auto add = [&](int cell, int dir, bool moved) {
        const uint8_t bit = static_cast<uint8_t>(1 << dir);
        if ((reach_[cell] | entered_[cell]) == 0)
            reachTouched_.push_back(static_cast<int16_t>(cell));
        if (moved) entered_[cell] |= bit;
        if (reach_[cell] & bit) return;
        reach_[cell] |= bit;
        reachQueue_.push_back(static_cast<int16_t>(cell * 5 + dir));
    };
    for (const auto& [cell, dir] : checker_.captured()) add(cell, dir, false);
    if (privateParts) {
        for (const int cell : levelSplitters_)
            for (int dir = 1; dir <= 4; ++dir) add(cell, dir, false);
        for (const CorePiece& p : placed_)
            if (p.slot == 8)
                for (int dir = 1; dir <= 4; ++dir) add(p.cell, dir, false);
    }
    for (size_t i = 0; i < reachQueue_.size(); ++i) {
        const int cell = reachQueue_[i] / 5, dir = reachQueue_[i] % 5;
        const int next = cell + Delta[dir];
        const int code = checker_.codeAt(next);
        for (int out = 1; out <= 4; ++out)
            if (BeamChecker::exits(code, dir) & (1 << out)) add(next, out, true);
    }
}

void CoreSearch::closeBackward(int n) {
    std::vector<int16_t>& states = backward_[static_cast<size_t>(n)];
    states.clear();
    if (backwardSeen_.empty()) backwardSeen_.assign(BeamChecker::PadCells * 5, 0);
    if (++backwardStamp_ == 0) {
        std::fill(backwardSeen_.begin(), backwardSeen_.end(), 0);
        backwardStamp_ = 1;
    }
    const int target = targets_[static_cast<size_t>(n)];
    const int takes = checker_.codeAt(target) - 4;
    const int front = target - Delta[takes];
    if (checker_.codeAt(front) == BeamChecker::OffBoard) return;
    auto add = [&](int state) {
        if (backwardSeen_[static_cast<size_t>(state)] == backwardStamp_) return;
        backwardSeen_[static_cast<size_t>(state)] = backwardStamp_;
        states.push_back(static_cast<int16_t>(state));
    };
    add(front * 5 + takes);
    for (size_t i = 0; i < states.size(); ++i) {
        const int cell = states[i] / 5, out = states[i] % 5;
        const uint8_t ins = Into[checker_.codeAt(cell)][out];
        for (int in = 1; in <= 4; ++in) {
            if (!(ins & (1 << in))) continue;
            const int prev = cell - Delta[in];
            if (checker_.codeAt(prev) != BeamChecker::OffBoard) add(prev * 5 + in);
        }
    }
}

// 0, 1 or 2 (beyond one) new pieces for the target from what closeForward() reached.
int CoreSearch::nearCost(int n, bool privateParts) const {
    const auto& turnable = privateParts ? turnableByDeflector_ : turnable_;
    int cost = 2;
    for (const int16_t state : backward_[static_cast<size_t>(n)]) {
        const int cell = state / 5, out = state % 5;
        if (reach_[cell] & (1 << out)) return 0;
        if (cost == 1 || entered_[cell] == 0 || checker_.codeAt(cell) != Empty ||
            !freeCell_[cell] || noTurn_[cell])
            continue;
        const bool acrossOut = out == Right || out == Left;
        for (int in = 1; in <= 4; ++in)
            if ((entered_[cell] & (1 << in)) && (in == Right || in == Left) != acrossOut &&
                turnable[in][out])
                cost = 1;
    }
    return cost;
}

// The private bound again, with what the parts that splitter pieces start cost at the
// least: a splitter piece starts at most two, both on its cell, which a later piece may
// take, leaving it in opposite directions; a part turns only at deflectors. Splitter
// pieces cover targets singly or in pairs, the others cost what their parts from the
// beams and the splitters standing cost (costSum_). 0 where there are too many targets
// to weigh every cover.
int CoreSearch::splitPartsBound(int newBeams, int turns) {
    constexpr int MaxTargets = 8;
    std::array<int, MaxTargets> own{}, single{};
    std::array<std::array<int, MaxTargets>, MaxTargets> pair{};
    std::array<int, MaxTargets> open{};
    int m = 0;
    for (size_t n = 0; n < targets_.size(); ++n) {
        const int c = std::min<int>(costSum_[targets_[n]], turns + 1);
        if (c == 0) continue;
        if (m == MaxTargets) return 0;
        own[m] = c;
        open[m++] = static_cast<int>(n);
    }
    if (privateToGo_.size() < static_cast<size_t>(m)) privateToGo_.resize(static_cast<size_t>(m));
    for (int i = 0; i < m; ++i) {
        costToGo(targets_[static_cast<size_t>(open[i])], turns, privateToGo_[i], true);
        single[i] = turns + 1;
        pair[i].fill(turns + 1);
    }
    constexpr std::array<std::pair<int, int>, 4> Opposite = {
        {{Up, Down}, {Down, Up}, {Left, Right}, {Right, Left}}};
    for (int cell = 0; cell < BeamChecker::PadCells; ++cell) {
        if (!freeCell_[cell] || noTurn_[cell] || checker_.codeAt(cell) != Empty) continue;
        const size_t at = static_cast<size_t>(cell) * 5;
        for (int i = 0; i < m; ++i) {
            const ToGo& gi = privateToGo_[static_cast<size_t>(i)];
            for (int d = 1; d <= 4; ++d) single[i] = std::min<int>(single[i], gi[at + d]);
            for (int j = i + 1; j < m; ++j) {
                const ToGo& gj = privateToGo_[static_cast<size_t>(j)];
                for (const auto& [a, b] : Opposite)
                    pair[i][j] = std::min<int>(pair[i][j], gi[at + a] + gj[at + b]);
            }
        }
    }
    // cover_[mask]: the least the parts of the targets in mask cost when at most u
    // splitter pieces start them; ownCost[mask] what they cost started elsewhere.
    const size_t masks = size_t{1} << m;
    cover_.assign(masks, Unreachable);
    cover_[0] = 0;
    std::vector<int> ownCost(masks, 0);
    for (size_t mask = 1; mask < masks; ++mask) {
        const int i = std::countr_zero(mask);
        ownCost[mask] = ownCost[mask & (mask - 1)] + own[i];
    }
    const size_t all = masks - 1;
    int best = Unreachable;
    for (int u = 0; u <= counts_[8]; ++u) {
        if (u > 0 && u <= m) {
            coverNext_ = cover_;
            for (size_t mask = 1; mask < masks; ++mask) {
                const int i = std::countr_zero(mask);
                const size_t rest = mask & (mask - 1);
                int c = cover_[rest] + single[i];
                for (size_t others = rest; others; others &= others - 1) {
                    const int j = std::countr_zero(others);
                    c = std::min(c, cover_[rest & ~(size_t{1} << j)] + pair[i][j]);
                }
                coverNext_[mask] = std::min(coverNext_[mask], c);
            }
            cover_.swap(coverNext_);
        }
        if (u < newBeams) continue;
        for (size_t mask = 0; mask < masks; ++mask)
            best = std::min(best, u + cover_[mask] + ownCost[all & ~mask]);
    }
    return best;
}

// For every (cell, direction) the fewest new pieces from a beam standing there and leaving
// in that direction to the target, up to cap (Far beyond); for a private part, turning
// only at deflectors.
void CoreSearch::costToGo(int target, int cap, ToGo& g, bool privatePart) {
    const auto& turnable = privatePart ? turnableByDeflector_ : turnable_;
    g.fill(Far);
    const int takes = checker_.codeAt(target) - 4;
    const int front = target - Delta[takes];
    if (checker_.codeAt(front) == BeamChecker::OffBoard) return;
    queueHead_ = queueTail_ = 0;
    auto relax = [&](int state, int cost, bool front0) {
        if (cost > cap || cost >= g[state]) return;
        g[state] = static_cast<uint8_t>(cost);
        if (front0)
            queue_[--queueHead_ & QueueMask] = static_cast<int16_t>(state);
        else
            queue_[queueTail_++ & QueueMask] = static_cast<int16_t>(state);
    };
    relax(front * 5 + takes, 0, false);
    while (queueHead_ != queueTail_) {
        const int state = queue_[queueHead_++ & QueueMask];
        const int cell = state / 5, out = state % 5;
        const int cost = g[state];
        // Through the cell as it is, or turned on a free cell by a piece in stock.
        const int code = checker_.codeAt(cell);
        const uint8_t straight = Into[code][out];
        const bool turns = code == Empty && freeCell_[cell] && !noTurn_[cell];
        for (int in = 1; in <= 4; ++in) {
            int w = 0;
            if (!(straight & (1 << in))) {
                if (!turns || !crossing(in, out) || !turnable[in][out]) continue;
                w = 1;
            }
            const int prev = cell - Delta[in];
            if (checker_.codeAt(prev) == BeamChecker::OffBoard) continue;
            relax(prev * 5 + in, cost + w, w == 0);
        }
    }
}

// Whether a piece of this code on the cell turns a beam coming in moving dir onto the way
// to every target listed (everyWay) or to one of them, within the pieces allowed.
bool CoreSearch::turnsOntoWay(const WayCosts& toGo, int cell, int dir, int code,
                              const std::vector<std::pair<int, int>>& ways, bool everyWay) const {
    const int perp1 = (dir == Right || dir == Left) ? Down : Right;
    const int perp2 = (dir == Right || dir == Left) ? Up : Left;
    for (size_t n = 0; n < ways.size(); ++n) {
        const auto& g = toGo[n];
        const int cap = ways[n].second;
        bool serves = false;
        if (code == Splitter) {
            serves = std::min(g[cell * 5 + perp1], g[cell * 5 + perp2]) <= cap;
        } else if (isDeflector(code)) {
            if (entryOf(dir, code) == Entry::Pass) {
                serves = g[cell * 5 + turnedBy(code, dir)] <= cap;
            } else {
                // The first beam is stopped at the closed side: a later one, from either
                // open side, may be the way's.
                for (int in = 1; in <= 4 && !serves; ++in)
                    serves =
                        entryOf(in, code) == Entry::Pass && g[cell * 5 + turnedBy(code, in)] <= cap;
            }
        }
        if (serves && !everyWay) return true;
        if (!serves && everyWay) return false;
    }
    return everyWay;
}

}  // namespace lumor
