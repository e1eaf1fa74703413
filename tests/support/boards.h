// Boards for tests, drawn in the legend of the level source format:
//   .  empty   > v < ^  sources   R D L U  targets   #  wall   +  cross
//   ┌ ┐ ┘ └  deflectors   ~  sand   T  splitter   1 2 3 4  decorations
// Rows run from y = 0 down; rows and row ends left out are empty.
#pragma once

#include "levels/level.h"
#include "levels/levelsource.h"
#include "play/beamrun.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <string_view>

namespace lumortest {

inline lumor::LevelRecord level(std::initializer_list<std::string_view> rows,
                                std::initializer_list<int> stock = {}, std::string name = "Probe") {
    lumor::LevelRecord r;
    int y = 0;
    for (std::string_view row : rows) {
        int x = 0;
        for (size_t i = 0; i < row.size(); ++x) {
            const auto lead = static_cast<unsigned char>(row[i]);
            const size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
            const std::string ch(row.substr(i, length));
            i += length;
            const auto code = lumor::codeOfSourceChar(ch);
            EXPECT_TRUE(code && x < lumor::BoardWidth && y < lumor::BoardHeight)
                << "row " << y << ": \"" << ch << "\" in column " << x;
            if (code && x < lumor::BoardWidth && y < lumor::BoardHeight)
                r.cell(x, y) = static_cast<int16_t>(*code);
        }
        ++y;
    }
    size_t i = 0;
    for (int s : stock) r.Stock[i++] = static_cast<int16_t>(s);
    r.Name = name;
    r.Password = "PW" + name;
    return r;
}

inline lumor::WorkingBoard board(std::initializer_list<std::string_view> rows) {
    return lumor::BeamRun::boardOf(level(rows));
}

}  // namespace lumortest
