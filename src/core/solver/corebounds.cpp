// The bounds of the core search (see coresearch.cpp for why they hold): the fewest new
// pieces on the ways to the targets, forward from the beams and backward from each target.
#include "solver/coregrid.h"
#include "solver/coresearch.h"

#include <algorithm>
#include <bit>
#include <functional>

namespace lumor {

using namespace coregrid;

bool CoreSearch::hitBefore(int target, int sigma) const {
    for (const auto& [cell, step] : checker_.hitsMade())
        if (cell == target && step < sigma) return true;
    return false;
}

// Free cells first entered before the last placed piece mattered (the first `earlier` of
// the run's order) hold no later piece but a cross, so no new turn happens there; a turn
// needs a piece in stock that makes it.
void CoreSearch::prepareTurns(const std::vector<int16_t>& order, int earlier) {
    noTurn_.fill(false);
    for (int i = 0; i < earlier; ++i) noTurn_[order[static_cast<size_t>(i)]] = true;
    prepareTurnable();
}

void CoreSearch::prepareTurnable() {
    for (int from = 1; from <= 4; ++from)
        for (int to = 1; to <= 4; ++to) {
            const int code = deflectorFor(from, to);
            turnableByDeflector_[from][to] = code && avail_[slotOfCode(code)] > 0;
            turnable_[from][to] = turnableByDeflector_[from][to] || avail_[8] > 0;
        }
}

// Targets hit before cell step sigma stay hit: their cost is 0, the others' not known
// yet (Far). Returns how many are open.
int CoreSearch::startCosts(int sigma, std::array<uint8_t, BeamChecker::PadCells>& cost) const {
    cost.fill(Far);
    for (const auto& [cell, step] : checker_.hitsMade())
        if (step < sigma) cost[cell] = 0;
    int open = 0;
    for (const int t : targets_) open += cost[t] == Far;
    return open;
}

// The 0-1 queue of the bounds: a state whose cost drops is taken next when it costs what
// the state being expanded does (front), after those when it costs one more.
void CoreSearch::relax(ToGo& dist, int state, int cost, bool front) {
    if (cost >= dist[static_cast<size_t>(state)]) return;
    dist[static_cast<size_t>(state)] = static_cast<uint8_t>(cost);
    if (front)
        queue_[--queueHead_ & QueueMask] = static_cast<int16_t>(state);
    else
        queue_[queueTail_++ & QueueMask] = static_cast<int16_t>(state);
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
    ToGo dist;
    dist.fill(Far);
    int open = startCosts(sigma, cost);  // targets whose fewest new pieces are not known yet
    int result = 0;
    bool cut = false;
    queueHead_ = queueTail_ = 0;
    auto relax = [&](int cell, int dir, int c, bool front) {
        CoreSearch::relax(dist, cell * 5 + dir, c, front);
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
        // Along the line while the cells are empty: each step straight on costs nothing, so
        // it is taken at once rather than through the queue.
        for (int at = cell;;) {
            const int next = at + Delta[dir];
            const int code = checker_.codeAt(next);
            if (isTarget(code)) {
                if (code - 4 == dir && cost[next] == Far) {
                    // Costs leave the queue in rising order: the first is the fewest.
                    cost[next] = static_cast<uint8_t>(c);
                    result = sum ? result + c : std::max(result, c);
                    --open;
                    if (!sum && result > budget) return budget + 1;
                }
                break;
            }
            if (code != Empty) {
                // The same moves as costToGo() takes backward.
                const uint8_t outs = Through[code][dir];
                for (int out = 1; out <= 4; ++out)
                    if (outs & (1 << out)) relax(next, out, c, true);
                break;
            }
            if (freeCell_[next] && !noTurn_[next]) {
                const int perp1 = (dir == Right || dir == Left) ? Down : Right;
                const int perp2 = (dir == Right || dir == Left) ? Up : Left;
                const bool turn1 = canTurn(turnable, next, dir, perp1, privateParts);
                const bool turn2 = canTurn(turnable, next, dir, perp2, privateParts);
                if (turn1 || turn2) {
                    if (c >= budget) {
                        cut = true;  // a turn here would cost more than the budget
                    } else {
                        if (turn1) relax(next, perp1, c + 1, false);
                        if (turn2) relax(next, perp2, c + 1, false);
                    }
                }
            }
            const int straight = next * 5 + dir;
            if (c >= dist[straight]) break;
            dist[straight] = static_cast<uint8_t>(c);
            at = next;
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

// Whether the deflectors left of each kind cover the turns of that kind the ways to the
// targets need together (levels without splitters). A kind with more pieces left than
// targets to hit is not worked out: one turn each would not exceed it.
bool CoreSearch::kindsSuffice(int sigma, int unhit) {
    for (int slot = 1; slot <= SlotCount; ++slot)
        if (isDeflector(codeOfSlot(slot)) && avail_[slot] < unhit &&
            kindTurns(slot, sigma, avail_[slot]) > avail_[slot])
            return false;
    return true;
}

// The fewest turns by pieces of one slot over the ways to all targets together, the other
// deflectors in stock turning for free; most + 1 once it exceeds most.
int CoreSearch::kindTurns(int slot, int sigma, int most) {
    ToGo dist;
    dist.fill(Far);
    std::array<uint8_t, BeamChecker::PadCells> cost;
    int open = startCosts(sigma, cost);
    int sum = 0;
    queueHead_ = queueTail_ = 0;
    auto relax = [&](int cell, int dir, int c, bool front) {
        CoreSearch::relax(dist, cell * 5 + dir, c, front);
    };
    for (const auto& [cell, dir] : checker_.captured()) relax(cell, dir, 0, false);
    while (open > 0 && queueHead_ != queueTail_) {
        const int state = queue_[queueHead_++ & QueueMask];
        const int cell = state / 5, dir = state % 5;
        const int c = dist[state];
        if (sum + c > most) return most + 1;  // each open target needs c at least
        const int next = cell + Delta[dir];
        const int code = checker_.codeAt(next);
        if (isTarget(code)) {
            if (code - 4 == dir && cost[next] == Far) {
                cost[next] = static_cast<uint8_t>(c);
                sum += c;
                --open;
            }
            continue;
        }
        const uint8_t outs = Through[code][dir];
        for (int out = 1; out <= 4; ++out)
            if (outs & (1 << out)) relax(next, out, c, true);
        if (code == Empty && freeCell_[next] && !noTurn_[next]) {
            const int perp1 = (dir == Right || dir == Left) ? Down : Right;
            const int perp2 = (dir == Right || dir == Left) ? Up : Left;
            for (const int out : {perp1, perp2})
                if (canTurn(turnableByDeflector_, next, dir, out, true)) {
                    const bool counted = deflectorSlot_[dir][out] == slot;
                    relax(next, out, c + counted, !counted);
                }
        }
    }
    return open > 0 ? most + 1 : sum;
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
                        if (crossing(in, out) && canTurn(turnable_, cell, in, out, false) &&
                            oneMore[cell * 5 + out] <= 1)
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
                canTurn(turnable, cell, in, out, privateParts))
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
        if (!freeCell_[cell] || noTurn_[cell] || checker_.codeAt(cell) != Empty ||
            columnKey_[cell] > growth_.lastKey[8])
            continue;
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
    for (int u = 0; u <= avail_[8]; ++u) {
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
        if (cost <= cap) CoreSearch::relax(g, state, cost, front0);
    };
    relax(front * 5 + takes, 0, false);
    while (queueHead_ != queueTail_) {
        const int state = queue_[queueHead_++ & QueueMask];
        const int out = state % 5;
        const int cost = g[state];
        // Back along the line while the cells are empty, as forward() goes along it.
        for (int cell = state / 5;;) {
            // Through the cell as it is, or turned on a free cell by a piece in stock.
            const int code = checker_.codeAt(cell);
            if (code != Empty) {
                const uint8_t straight = Into[code][out];
                for (int in = 1; in <= 4; ++in) {
                    const int prev = cell - Delta[in];
                    if ((straight & (1 << in)) && checker_.codeAt(prev) != BeamChecker::OffBoard)
                        relax(prev * 5 + in, cost, true);
                }
                break;
            }
            if (freeCell_[cell] && !noTurn_[cell] && cost < cap)
                for (int in = 1; in <= 4; ++in) {
                    const int prev = cell - Delta[in];
                    if (crossing(in, out) && canTurn(turnable, cell, in, out, privatePart) &&
                        checker_.codeAt(prev) != BeamChecker::OffBoard)
                        relax(prev * 5 + in, cost + 1, false);
                }
            const int prev = cell - Delta[out];
            if (checker_.codeAt(prev) == BeamChecker::OffBoard) break;
            const int straightOn = prev * 5 + out;
            if (cost >= g[straightOn]) break;
            g[straightOn] = static_cast<uint8_t>(cost);
            cell = prev;
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
