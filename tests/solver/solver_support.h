// Helpers for the solver tests: levels drawn as text, random levels, and the searches
// run to their end with what they end with.
#pragma once

#include "levels/level.h"
#include "play/cells.h"
#include "solver/exactsearch.h"
#include "solver/fastsearch.h"
#include "solver/reference.h"
#include "solver/search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <random>
#include <string>
#include <tuple>
#include <vector>

namespace lumor::testing {

// One character per cell: '.' empty, '>' 'v' '<' '^' sources, 'R' 'D' 'L' 'U' targets
// taking a beam moving right/down/left/up, '#' wall, '+' cross, 'a' 'b' 'c' 'd' the
// deflectors 11..14, 's' sand, 'x' splitter, '*' decoration, 'e' eaten sand (99).
// Missing rows and columns are filled with fill.
inline int codeOfChar(char ch) {
    if (ch == 'e') return 99;
    const std::string legend = ".>v<^RDLU#+abcdsx*";
    const size_t code = legend.find(ch);
    return code == std::string::npos ? 0 : static_cast<int>(code);
}

inline LevelRecord levelFrom(const std::vector<std::string>& rows, std::vector<int> stock,
                             char fill = '.') {
    LevelRecord level;
    level.Name = "Test";
    level.Password = "TEST";
    for (int y = 0; y < BoardHeight; ++y)
        for (int x = 0; x < BoardWidth; ++x) {
            char ch = fill;
            if (y < static_cast<int>(rows.size()) && x < static_cast<int>(rows[y].size()))
                ch = rows[y][x];
            level.cell(x, y) = static_cast<int16_t>(codeOfChar(ch));
        }
    for (size_t i = 0; i < stock.size() && i < level.Stock.size(); ++i)
        level.Stock[i] = static_cast<int16_t>(stock[i]);
    return level;
}

// Walls everywhere but a width x height area at the top left, whose cells inner() draws
// column by column.
template <class Inner>
LevelRecord walledLevel(int width, int height, Inner inner) {
    LevelRecord level;
    for (int x = 0; x < BoardWidth; ++x)
        for (int y = 0; y < BoardHeight; ++y)
            level.cell(x, y) = static_cast<int16_t>(x < width && y < height ? inner() : 9);
    return level;
}

inline int roll(std::mt19937& rng, int lo, int hi) {
    return std::uniform_int_distribution<int>(lo, hi)(rng);
}

// One or two sources and targets on mostly empty cells: many of these need a piece or two.
inline LevelRecord smallPuzzleLevel(std::mt19937& rng, int maxPieces = 4) {
    const int width = roll(rng, 4, 7), height = roll(rng, 3, 6);
    LevelRecord level =
        walledLevel(width, height, [&] { return roll(rng, 0, 99) < 85 ? 0 : roll(rng, 9, 20); });
    for (const int first : {SourceRight, TargetRight})
        for (int i = roll(rng, 1, 2); i > 0; --i) {
            const int x = roll(rng, 0, width - 1), y = roll(rng, 0, height - 1);
            level.cell(x, y) = static_cast<int16_t>(first + roll(rng, 0, 3));
        }
    level.Stock[0] = static_cast<int16_t>(roll(rng, 1, maxPieces));
    for (int k = 2 + roll(rng, 0, 2); k > 0; --k)
        level.Stock[roll(rng, 1, 8)] += static_cast<int16_t>(roll(rng, 0, 2));
    return level;
}

// A walled area where each beam can be routed from its source to its target by the
// deflectors that the stock holds, and with splits by splitter pieces to several targets,
// among obstacles (every kind) and spare pieces.
struct RouteShape {
    int minW = 5, maxW = 7, minH = 4, maxH = 6, minTurns = 1, maxTurns = 2, beams = 1;
    int maxLeg = 3, obstaclePercent = 12;
    int spareSplitters = 0;  // splitter pieces added to the stock beyond the route's needs
    int splits = 0;          // splitter pieces the routes may branch at
};

inline LevelRecord routedLevel(std::mt19937& rng, const RouteShape& shape = {}) {
    constexpr int Path = -2, Turn = -3;
    const auto roll = [&](int lo, int hi) { return testing::roll(rng, lo, hi); };
    for (;;) {
        const int width = roll(shape.minW, shape.maxW), height = roll(shape.minH, shape.maxH);
        LevelRecord level = walledLevel(width, height, [] { return 0; });
        std::vector<int> needed;
        int splits = shape.splits;
        // One cell on in direction d: true if it is inside and still empty.
        auto step = [&](int& x, int& y, int d) {
            x += d == 1 ? 1 : d == 3 ? -1 : 0;
            y += d == 2 ? 1 : d == 4 ? -1 : 0;
            return x >= 0 && y >= 0 && x < width && y < height && level.cell(x, y) == 0;
        };
        // Legs and turns from (x, y) moving d to a target, or to a split into two ways.
        std::function<bool(int, int, int)> route = [&](int x, int y, int d) {
            const int turns = roll(shape.minTurns, shape.maxTurns);
            for (int t = 0;; ++t) {
                for (int k = roll(1, shape.maxLeg); k > 0; --k) {
                    if (!step(x, y, d)) return false;
                    level.cell(x, y) = Path;
                }
                if (t == turns) break;
                level.cell(x, y) = Turn;
                const bool across = d == 1 || d == 3;
                if (splits > 0 && rng() % 3 == 0) {
                    --splits;
                    needed.push_back(Splitter);
                    return route(x, y, across ? 2 : 1) && route(x, y, across ? 4 : 3);
                }
                const int d2 = across ? (rng() % 2 ? 2 : 4) : (rng() % 2 ? 1 : 3);
                for (int code = 11; code <= 14; ++code)
                    if (entryOf(d, code) == Entry::Pass && turnedBy(code, d) == d2)
                        needed.push_back(code);
                d = d2;
            }
            if (!step(x, y, d)) return false;
            level.cell(x, y) = static_cast<int16_t>(d + 4);
            return true;
        };
        bool ok = true;
        for (int b = 0; b < shape.beams && ok; ++b) {
            const int x = roll(0, width - 1), y = roll(0, height - 1), d = roll(1, 4);
            ok = level.cell(x, y) == 0;
            if (ok) level.cell(x, y) = static_cast<int16_t>(d);
            ok = ok && route(x, y, d);
        }
        if (!ok) continue;
        for (auto& c : level.Cells)
            if (c == 0 && roll(0, 99) < shape.obstaclePercent)
                c = static_cast<int16_t>(roll(9, 20));
            else if (c == Path || c == Turn)
                c = 0;
        for (const int code : needed) ++level.Stock[code - 8];
        const int spare = roll(0, 1);
        if (spare) ++level.Stock[roll(1, 8)];
        level.Stock[8] = static_cast<int16_t>(level.Stock[8] + shape.spareSplitters);
        level.Stock[0] = static_cast<int16_t>(needed.size() + spare + shape.spareSplitters);
        return level;
    }
}

// Twenty pieces on an open board, two beams, three targets: the exact answer takes
// seconds, trying every arrangement ages.
inline LevelRecord slowLevel() {
    return levelFrom(
        {"", "..>", "", "", "......v", "", "", "", "...........R", "", "L", "..........D"},
        {12, 2, 2, 3, 3, 3, 3, 2, 2});
}

// Arrangements the search over all of them checks (roughly: only compared).
inline double arrangementsOf(const LevelRecord& level) {
    int n = 0, f = 0;
    for (int slot = 1; slot <= SlotCount; ++slot) n += std::max<int>(0, level.Stock[slot]);
    for (const int16_t c : level.Cells) f += c == 0;
    double total = 0, term = 1;
    for (int j = 0; j <= std::min({n, static_cast<int>(level.Stock[0]), f}); ++j) {
        total += term;
        term = term * (n - j) * (f - j) / (j + 1);
    }
    return total;
}

// A tiny area with every kind of cell, sometimes no free cell at all, allowances from -1
// to 4 and two or three pieces of a kind, sometimes more of a kind than free cells.
inline LevelRecord stressLevel(std::mt19937& rng) {
    auto roll = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
    const int width = 1 + roll(6), height = 1 + roll(5);
    const bool full = roll(20) == 0, open = roll(2) == 0;
    LevelRecord level = walledLevel(width, height, [&] {
        const int r = roll(100);
        if (r < (full ? 0 : open ? 75 : 52)) return 0;
        if (open) return std::array<int, 10>{9, 10, 11, 12, 13, 14, 15, 16, 17, 99}[roll(10)];
        if (r < 64) return 1 + roll(4);
        if (r < 76) return 5 + roll(4);
        return std::array<int, 12>{9, 10, 11, 12, 13, 14, 15, 16, 17, 20, 99, 98}[roll(12)];
    });
    for (const int first : {SourceRight, TargetRight})  // one or two of each if open
        for (int k = open ? roll(2) : 2; k < 2; ++k)
            level.cell(roll(width), roll(height)) = static_cast<int16_t>(first + roll(4));
    const int a = roll(50);
    level.Stock[0] = static_cast<int16_t>(a == 0 ? -1 : a < 6 ? 0 : 1 + roll(4));
    for (int k = roll(3); k < 3; ++k) level.Stock[1 + roll(8)] += static_cast<int16_t>(1 + roll(3));
    if (roll(10) == 0) level.Stock[1 + roll(8)] += static_cast<int16_t>(5 + roll(4));
    return level;
}

// What a search ends with: its counters and the arrangement last recorded as best.
struct Answer {
    std::string tried, checked, solutions;
    int32_t best;
    std::vector<Piece> arrangement;
    bool operator==(const Answer&) const = default;
};

inline void PrintTo(const Answer& a, std::ostream* os) {
    *os << "tried " << a.tried << ", checked " << a.checked << ", solutions " << a.solutions
        << ", best " << a.best << ", arrangement";
    for (const Piece& p : a.arrangement) *os << " (" << p.Slot << "," << p.X << "," << p.Y << ")";
}

// The search over every arrangement (SolutionSearch), or the same written out step for
// step (ReferenceSearch), run to its end.
template <class Search>
Answer answerOf(const LevelRecord& level) {
    Search search;
    EXPECT_TRUE(search.load(level));
    search.run();
    return {std::to_string(search.triedCount()), std::to_string(search.checkedCount()),
            std::to_string(search.solutionCount()), search.bestLeft(), search.bestArrangement()};
}
inline Answer literal(const LevelRecord& level) { return answerOf<SolutionSearch>(level); }

// The answer worked out without trying every arrangement.
inline Answer exact(const LevelRecord& level, int threads = 1) {
    ExactSearch search;
    EXPECT_TRUE(search.load(level));
    search.run({}, threads);
    EXPECT_TRUE(search.finished());
    return {search.triedCount().toString(), search.checkedCount().toString(),
            search.solutionCount().toString(), search.bestLeft(), search.bestArrangement()};
}

// An arrangement reported as best must fit the stock, stand on empty cells, come in piece-list
// order (with byCell, one slot's pieces by column, then row) and really solve the level with
// bestLeft pieces left.
inline void expectAchieves(const LevelRecord& level, const std::vector<Piece>& best,
                           int32_t bestLeft, bool byCell = true) {
    EXPECT_TRUE(bestLeft >= 0 || best.empty());
    if (bestLeft < 0) return;
    ASSERT_EQ(static_cast<int>(best.size()), level.Stock[0] - bestLeft);
    const auto key = [&](const Piece& p) {
        return std::tuple(std::find(PieceSlotOrder.begin(), PieceSlotOrder.end(), p.Slot),
                          byCell ? p.X : 0, byCell ? p.Y : 0);
    };
    EXPECT_TRUE(std::is_sorted(best.begin(), best.end(),
                               [&](const Piece& a, const Piece& b) { return key(a) < key(b); }));
    LevelRecord placed = level;
    std::array<int, 9> used{};
    for (const Piece& p : best) {
        ASSERT_EQ(placed.cell(p.X, p.Y), 0);
        placed.cell(p.X, p.Y) = static_cast<int16_t>(p.Slot + 8);
        EXPECT_LE(++used[static_cast<size_t>(p.Slot)], level.Stock[static_cast<size_t>(p.Slot)]);
    }
    EXPECT_TRUE(referenceBeamCheck(placed).solved);
}

}  // namespace lumor::testing
