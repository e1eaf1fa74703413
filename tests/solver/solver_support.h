// Small helpers for the solver tests: levels drawn as text, random boards.
#pragma once

#include "levels/level.h"

#include <array>
#include <random>
#include <string>
#include <vector>

namespace lumor::testing {

// One character per cell: '.' empty, '>' 'v' '<' '^' sources, 'R' 'D' 'L' 'U' targets
// taking a beam moving right/down/left/up, '#' wall, '+' cross, 'a' 'b' 'c' 'd' the
// deflectors 11..14, 's' sand, 'x' splitter, '*' decoration, 'e' eaten sand (99).
// Missing rows and columns are filled with fill.
inline int codeOfChar(char ch) {
    switch (ch) {
        case '>': return 1; case 'v': return 2; case '<': return 3; case '^': return 4;
        case 'R': return 5; case 'D': return 6; case 'L': return 7; case 'U': return 8;
        case '#': return 9; case '+': return 10;
        case 'a': return 11; case 'b': return 12; case 'c': return 13; case 'd': return 14;
        case 's': return 15; case 'x': return 16; case '*': return 17; case 'e': return 99;
        default: return 0;
    }
}

inline LevelRecord levelFrom(const std::vector<std::string>& rows, std::vector<int> stock,
                             char fill = '.') {
    LevelRecord level;
    level.Name = "Test";
    level.Password = "TEST";
    for (int y = 0; y < BoardHeight; ++y)
        for (int x = 0; x < BoardWidth; ++x) {
            char ch = fill;
            if (y < static_cast<int>(rows.size()) && x < static_cast<int>(rows[y].size())) ch = rows[y][x];
            level.cell(x, y) = static_cast<int16_t>(codeOfChar(ch));
        }
    for (size_t i = 0; i < stock.size() && i < level.Stock.size(); ++i)
        level.Stock[i] = static_cast<int16_t>(stock[i]);
    return level;
}

// A random board: every code of the game (and a few a damaged level might hold), many
// sources and splitters.
inline LevelRecord randomBoard(std::mt19937& rng, int emptyPercent) {
    LevelRecord level;
    std::uniform_int_distribution<int> pct(0, 99), code(1, 20);
    for (auto& c : level.Cells) {
        if (pct(rng) < emptyPercent) {
            c = 0;
        } else {
            int v = code(rng);
            const int odd = pct(rng);
            if (odd < 8) v = 99;
            else if (odd < 10) v = std::array<int, 5>{98, 21, -1, 100, 32767}[pct(rng) % 5];
            c = static_cast<int16_t>(v);
        }
    }
    return level;
}

}  // namespace lumor::testing
