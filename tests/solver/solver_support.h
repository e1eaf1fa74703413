// Helpers for the solver tests: levels drawn as text and random levels.
#pragma once

#include "levels/level.h"
#include "play/cells.h"
#include "solver/search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <random>
#include <string>
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
    for (size_t y = 0; y < BoardHeight; ++y)
        for (size_t x = 0; x < BoardWidth; ++x)
            level.cell(static_cast<int>(x), static_cast<int>(y)) = static_cast<int16_t>(
                codeOfChar(y < rows.size() && x < rows[y].size() ? rows[y][x] : fill));
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

// Twenty-four pieces of eight kinds on an open board, one beam, three targets: the exact
// answer takes far longer than a test waits, trying every arrangement ages.
inline LevelRecord slowLevel() {
    return levelFrom({">", "", "", "", ".....R", "", "", "", "", "", "", "..........R......R"},
                     {24, 3, 3, 3, 3, 3, 3, 3, 3});
}

}  // namespace lumor::testing
