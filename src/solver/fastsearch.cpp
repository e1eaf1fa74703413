// Why the search may leave so much out:
//
// * Minimal pieces. The best BestLeft belongs to a solving arrangement with the fewest
//   pieces. In such an arrangement a beam enters every piece's cell: a piece no beam
//   enters is never read, so taking it away leaves a solving arrangement with one piece
//   fewer.
// * One order per arrangement. Order the pieces of a solving arrangement S by the moment
//   a beam first enters their cells. The run of the first k pieces alone is the run of S
//   up to the moment the (k+1)-th piece's cell is first entered (no cell holding a later
//   piece has been read before), so in it that cell is entered, and after the k-th
//   piece's cell. Adding pieces one at a time, each on a free cell first entered after the
//   previous piece's cell in the current run, reaches every minimal solution exactly once.
// * A bound per target. No target can be hit twice (a second beam on the line in front of
//   it would have to pass the first one's origin, which stops or removes it), so every
//   target must be hit. A beam turns only at deflectors and splitters: at least as many
//   new pieces are needed as the fewest turns on free cells over any path that a hitting
//   beam can take. By the argument above it descends from a beam of the current run
//   standing at the start of the cell step of the last placed piece's first entry, and
//   free cells first entered before that piece's cell cannot hold a later piece, so they
//   offer no turn.
// * Bounds over all targets. After its last split a beam's way is its own: a deflector
//   turns only the first beam that enters it. So the turns on those private parts add
//   up, except that a splitter piece may start two of them; and every target not yet hit
//   needs a beam of its own, which beyond the beams standing and the splitters on the
//   board only splitter pieces make.
// * The next piece. When a bound takes every piece left, each of them is a turn on some
//   target's way and the next one is the first on its way: only pieces that turn the
//   beam first entering their cell onto a way the remaining pieces can finish are tried.
#include "solver/fastsearch.h"

#include "play/cells.h"
#include "solver/beamcheck.h"

#include <algorithm>
#include <array>
#include <functional>
#include <limits>

namespace lumor {

namespace {

constexpr std::array<int, 5> Delta = {0, 1, BeamChecker::PadW, -1, -BeamChecker::PadW};
constexpr int Unreachable = std::numeric_limits<int>::max() / 2;

// The deflector code that turns a beam moving `from` into `to` (0 for none).
constexpr int deflectorFor(int from, int to) {
    for (int code = DeflectorRightDown; code <= DeflectorRightUp; ++code)
        if (entryOf(from, code) == Entry::Pass && turnedBy(code, from) == to) return code;
    return 0;
}

constexpr size_t MaxWays = 8;
using WayCosts = std::array<std::array<uint8_t, BeamChecker::PadCells * 5>, MaxWays>;

class FastSolver {
public:
    FastSolver(const LevelRecord& level, bool useBounds) : level_(level), useBounds_(useBounds) {
        checker_.setBoard(level.Cells);
        bool levelSplitter = false;
        for (int slot = 1; slot <= SlotCount; ++slot)
            counts_[slot] = std::max<int>(0, level.Stock[slot]);
        for (int x = 0; x < BoardWidth; ++x)
            for (int y = 0; y < BoardHeight; ++y) {
                const int code = level.cell(x, y);
                if (isSource(code)) sources_.push_back({BeamChecker::pad(x, y), code});
                if (isTarget(code)) targets_.push_back(BeamChecker::pad(x, y));
                freeCell_[BeamChecker::pad(x, y)] = code == Empty;
                if (code == Splitter) {
                    levelSplitter = true;
                    levelSplitters_.push_back(BeamChecker::pad(x, y));
                }
            }
        splitterFree_ = !levelSplitter && counts_[8] == 0;
    }

    FastResult solve() {
        FastResult result;
        const int allowance = level_.Stock[0];
        if (allowance < 0) return result;
        int total = 0;
        for (int slot = 1; slot <= SlotCount; ++slot) total += counts_[slot];
        const int maxPieces = std::min(allowance, total);
        for (int limit = 0; limit <= maxPieces; ++limit) {
            if (search(0, limit, -1, 1)) {
                result.bestLeft = allowance - limit;
                result.best = arrangement();
                break;
            }
            if (!anyBranchCut_) break;  // nothing deeper to try: more pieces cannot help
        }
        result.beamRuns = runs_;
        return result;
    }

private:
    // k pieces placed, the last on the cell first entered as number prevIndex of the run,
    // in cell step sigma (1 when none is placed).
    bool search(int k, int limit, int prevIndex, int sigma) {
        if (k == 0) anyBranchCut_ = false;
        ++runs_;
        if (checker_.runMarking(sigma).solved) return true;
        if (k == limit) {
            anyBranchCut_ = true;
            return false;
        }
        const std::vector<int16_t> order = checker_.enteredOrder();
        const std::vector<int32_t> steps = checker_.enteredStep();
        const std::vector<uint8_t> dirs = checker_.enteredDir();
        const int budget = limit - k;

        std::vector<std::pair<int, int>> ways;  // (target, new pieces after the next one)
        bool everyWay = true;                   // all of them must be served, else any one
        if (useBounds_) {
            prepareTurns(order, prevIndex);
            const int most = forward(false, sigma, budget, false, costMax_);
            if (most >= Unreachable) return false;
            if (k + std::max(most, 1) > limit) {
                anyBranchCut_ = true;
                return false;
            }
            // The private parts of the ways (after their last split) share no piece. A
            // splitter piece starts at most two of them, so with up to S splitter pieces
            // the parts of at most 2S targets may start anywhere: the others cost at least
            // what the ways from the beams and the splitters on the board cost.
            const int splitterPieces = counts_[8];
            if (splitterFree_) {
                costSum_ = costMax_;
            } else {
                forward(true, sigma, budget, true, costSum_);
            }
            std::vector<int> parts;
            for (const int t : targets_) parts.push_back(std::min<int>(costSum_[t], budget + 1));
            std::sort(parts.begin(), parts.end(), std::greater<int>());
            int sum = 0;
            for (const int p : parts) sum += p;
            // Every target not yet hit needs a beam of its own: beams standing now, one
            // more from each splitter on the board, the rest from splitter pieces.
            int unhit = 0;
            for (const int t : targets_) unhit += costMax_[t] != 0 || !hitBefore(t, sigma);
            int boardSplitters = static_cast<int>(levelSplitters_.size());
            for (const auto& [slot, cell] : placed_) boardSplitters += slot == 8;
            const int newBeams =
                std::max(0, unhit - static_cast<int>(checker_.captured().size()) - boardSplitters);
            if (newBeams > splitterPieces) return false;
            int privateBound = Unreachable;
            for (int used = 0, dropped = 0; used <= splitterPieces; ++used) {
                if (used > 0)
                    for (int i = 2 * used - 2; i < 2 * used && i < static_cast<int>(parts.size());
                         ++i)
                        dropped += parts[i];
                if (used >= newBeams) privateBound = std::min(privateBound, used + sum - dropped);
            }
            if (k + privateBound > limit) {
                anyBranchCut_ = true;
                return false;
            }
            const bool sumMode = splitterPieces == 0;
            // When a bound uses up every piece left, each of them is a turn on some
            // target's way, and the next piece is the first new one on its way: it must
            // turn the beam that first enters its cell onto a way that the pieces after it
            // can finish. A target needing every piece left has all of them on its way;
            // with the private parts of the ways adding up to the pieces left, the next
            // piece is on one of them.
            for (const int t : targets_)
                if (costMax_[t] == budget) ways.emplace_back(t, budget - 1);
            if (ways.empty() && sumMode && sum == budget) {
                everyWay = false;
                for (const int t : targets_)
                    if (costSum_[t] >= 1) ways.emplace_back(t, costSum_[t] - 1);
            }
            if (ways.size() > MaxWays) {
                if (everyWay)
                    ways.resize(MaxWays);  // fewer conditions: still sound
                else
                    ways.clear();
            }
            if (!ways.empty()) anyBranchCut_ = true;  // a larger limit may lift the restriction
            if (toGo_.size() <= static_cast<size_t>(k)) toGo_.resize(static_cast<size_t>(k) + 1);
            for (size_t n = 0; n < ways.size(); ++n)
                costToGo(ways[n].first, ways[n].second, toGo_[k][n]);
        }

        for (int i = prevIndex + 1; i < static_cast<int>(order.size()); ++i) {
            const int cell = order[i];
            if (!freeCell_[cell] || checker_.codeAt(cell) != Empty) continue;
            const int dir = dirs[i];
            for (int slot = 1; slot <= SlotCount; ++slot) {
                if (counts_[slot] == 0) continue;
                if (!ways.empty() &&
                    !turnsOntoWay(toGo_[k], cell, dir, codeOfSlot(slot), ways, everyWay))
                    continue;
                --counts_[slot];
                checker_.place(cell, codeOfSlot(slot));
                placed_.push_back({slot, cell});
                if (search(k + 1, limit, i, steps[i])) return true;
                placed_.pop_back();
                checker_.place(cell, Empty);
                ++counts_[slot];
            }
        }
        return false;
    }

    bool hitBefore(int target, int sigma) const {
        for (const auto& [cell, step] : checker_.hitsMade())
            if (cell == target && step < sigma) return true;
        return false;
    }

    // Free cells first entered before the last placed piece's cell hold no later piece, so
    // no new turn happens there; a turn needs a piece in stock that makes it.
    void prepareTurns(const std::vector<int16_t>& order, int prevIndex) {
        noTurn_.fill(false);
        for (int i = 0; i <= prevIndex; ++i) noTurn_[order[i]] = true;
        for (int from = 1; from <= 4; ++from)
            for (int to = 1; to <= 4; ++to) {
                const int code = deflectorFor(from, to);
                turnableByDeflector_[from][to] = code && counts_[slotOfCode(code)] > 0;
                turnable_[from][to] = turnableByDeflector_[from][to] || counts_[8] > 0;
            }
    }

    // The fewest new pieces on a way to each target (into cost), combined over the targets
    // as their sum (every target's cost wanted, capped at budget + 1) or their largest. Up to the first entry of the next piece's cell the
    // run is the current one, so a hitting beam descends from a beam standing at the start
    // of cell step sigma, and a target hit before that step stays hit. With splitter
    // origins the ways may also start at any splitter: that measures only the part of a
    // way after its last split, which no other target's beam shares. Returns budget + 1
    // as soon as the result is known to exceed the budget, and Unreachable when a target
    // can be reached by no way at all.
    int forward(bool privateParts, int sigma, int budget, bool sum,
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
            for (const auto& [slot, cell] : placed_)
                if (slot == 8) origin(cell);
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
            // The same moves as transition(), spelled out for speed.
            const int perp1 = (dir == Right || dir == Left) ? Down : Right;
            const int perp2 = (dir == Right || dir == Left) ? Up : Left;
            if (code == Empty) {
                relax(next, dir, c, true);
                if (freeCell_[next] && !noTurn_[next] &&
                    (turnable[dir][perp1] || turnable[dir][perp2])) {
                    if (c >= budget) {
                        cut = true;  // a turn here would cost more than the budget
                    } else {
                        if (turnable[dir][perp1]) relax(next, perp1, c + 1, false);
                        if (turnable[dir][perp2]) relax(next, perp2, c + 1, false);
                    }
                }
            } else if (isDeflector(code)) {
                if (entryOf(dir, code) == Entry::Pass) relax(next, turnedBy(code, dir), c, true);
            } else if (code == Splitter) {
                relax(next, perp1, c, true);
                relax(next, perp2, c, true);
            } else if (code == Cross || code == Sand || isDecoration(code) ||
                       code == BeamChecker::Eaten) {
                relax(next, dir, c, true);
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

    // What a beam coming in moving `from` may leave a cell moving `to` by, in new pieces
    // (0 or 1), or -1 when it cannot.
    int transition(int cell, int from, int to) const {
        const int code = checker_.codeAt(cell);
        const bool straight = from == to;
        const bool perpendicular = ((from == Right || from == Left) != (to == Right || to == Left));
        if (code == Empty) {
            if (straight) return 0;
            if (perpendicular && freeCell_[cell] && !noTurn_[cell] && turnable_[from][to]) return 1;
            return -1;
        }
        if (isDeflector(code))
            return entryOf(from, code) == Entry::Pass && turnedBy(code, from) == to ? 0 : -1;
        if (code == Splitter) return perpendicular ? 0 : -1;
        if (code == Cross || code == Sand || isDecoration(code) || code == BeamChecker::Eaten)
            return straight ? 0 : -1;
        return -1;  // wall, source, target, off the board
    }

    // For every (cell, direction) the fewest new pieces from a beam standing there and
    // leaving in that direction to the target, up to cap (Far beyond).
    void costToGo(int target, int cap, std::array<uint8_t, BeamChecker::PadCells * 5>& g) {
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
            for (int in = 1; in <= 4; ++in) {
                const int w = transition(cell, in, out);
                if (w < 0) continue;
                const int prev = cell - Delta[in];
                if (checker_.codeAt(prev) == BeamChecker::OffBoard) continue;
                relax(prev * 5 + in, cost + w, w == 0);
            }
        }
    }

    // Whether a piece of this code on the cell turns a beam coming in moving dir onto the
    // way to every target listed (everyWay) or to one of them, within the pieces allowed.
    bool turnsOntoWay(const WayCosts& toGo, int cell, int dir, int code,
                      const std::vector<std::pair<int, int>>& ways, bool everyWay) const {
        const int perp1 = (dir == Right || dir == Left) ? Down : Right;
        const int perp2 = (dir == Right || dir == Left) ? Up : Left;
        for (size_t n = 0; n < ways.size(); ++n) {
            const auto& g = toGo[n];
            const int cap = ways[n].second;
            bool serves = false;
            if (code == Splitter)
                serves = std::min(g[cell * 5 + perp1], g[cell * 5 + perp2]) <= cap;
            else if (isDeflector(code))
                serves =
                    entryOf(dir, code) == Entry::Pass && g[cell * 5 + turnedBy(code, dir)] <= cap;
            if (serves && !everyWay) return true;
            if (!serves && everyWay) return false;
        }
        return everyWay;
    }

    std::vector<Piece> arrangement() const {
        std::vector<Piece> out;
        for (const int slot : PieceSlotOrder) {
            std::vector<Piece> ofSlot;
            for (const auto& [s, cell] : placed_)
                if (s == slot)
                    ofSlot.push_back(Piece{slot, BeamChecker::padX(cell), BeamChecker::padY(cell)});
            std::sort(ofSlot.begin(), ofSlot.end(), [](const Piece& a, const Piece& b) {
                return a.X != b.X ? a.X < b.X : a.Y < b.Y;
            });
            out.insert(out.end(), ofSlot.begin(), ofSlot.end());
        }
        return out;
    }

    const LevelRecord& level_;
    const bool useBounds_;
    BeamChecker checker_;
    std::array<int, SlotCount + 1> counts_{};
    std::vector<std::pair<int, int>> sources_;  // (cell, direction)
    std::vector<int> targets_;
    std::array<bool, BeamChecker::PadCells> freeCell_{};
    std::vector<std::pair<int, int>> placed_;  // (slot, cell) in order of placing
    int64_t runs_ = 0;
    bool anyBranchCut_ = false;

    // The 0-1 breadth-first queue of lowerBound: a ring over (cell * 5 + direction).
    static constexpr uint8_t Far = 255;
    static constexpr int QueueMask = 8191;
    std::array<int16_t, QueueMask + 1> queue_{};
    unsigned queueHead_ = 0, queueTail_ = 0;
    std::array<bool, BeamChecker::PadCells> noTurn_{};
    std::array<std::array<bool, 5>, 5> turnable_{};
    std::array<std::array<bool, 5>, 5> turnableByDeflector_{};
    std::array<uint8_t, BeamChecker::PadCells> costMax_{};
    std::array<uint8_t, BeamChecker::PadCells> costSum_{};
    std::vector<int> levelSplitters_;
    // Per depth of the search: a deeper call must not overwrite what its caller still reads.
    std::vector<WayCosts> toGo_;
    bool splitterFree_ = false;  // no splitter on the level nor in its stock
};

}  // namespace

FastResult fastSolve(const LevelRecord& level, bool useBounds) {
    int pieces = 0;
    for (int slot = 1; slot <= SlotCount; ++slot)
        if (level.Stock[slot] > 0) pieces += level.Stock[slot];
    if (pieces > SolutionSearch::MaxPieces) {
        FastResult refused;
        refused.ok = false;
        refused.message = tooManyPiecesMessage(pieces);
        return refused;
    }
    return FastSolver(level, useBounds).solve();
}

}  // namespace lumor
