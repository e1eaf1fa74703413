// Hints: the cell of a best solution that a beam reaches first, completing the player's
// pieces while a best solution can keep them (the board window's test covers the rest).
#include "play/hint.h"
#include "support/boards.h"

#include <gtest/gtest.h>

using namespace lumor;
using lumortest::level;

namespace {

// The beam must turn down somewhere in row 5 (┐) and right again in row 8 (└).
LevelRecord knick() {
    return level({"", "", "", "", "", ">", "", "", "..........R"}, {2, 0, 0, 0, 1, 0, 1});
}

LevelRecord placed(LevelRecord r, std::initializer_list<std::tuple<int, int, int>> pieces) {
    for (const auto& [x, y, code] : pieces) {
        r.cell(x, y) = static_cast<int16_t>(code);
        --r.Stock[0];
        --r.Stock[static_cast<size_t>(code - 8)];
    }
    return r;
}

TEST(Hint, LeadsAlongTheBeamAndCompletesThePlayersPieces) {
    const LevelRecord k = knick();
    // A turn in column 3 of row 5 can be kept: the hint finishes that solution.
    const LevelRecord turned = placed(k, {{3, 5, DeflectorLeftDown}});
    EXPECT_EQ(findHint(k, turned), (Hint{Hint::Kind::Cell, 3, 8, DeflectorRightUp}));

    // A piece that spoils every best solution, right where the beam starts: that cell is
    // the first to change, towards a best solution of the level as stored.
    const Hint fix = findHint(k, placed(k, {{1, 5, DeflectorRightUp}}));
    EXPECT_TRUE(fix.kind == Hint::Kind::Cell && fix.x == 1 && fix.y == 5 &&
                (fix.code == DeflectorLeftDown || fix.code == Empty))
        << fix.x << "," << fix.y << " " << fix.code;

    EXPECT_EQ(findHint(level({">#R"}), level({">#R"})).kind, Hint::Kind::None);
}

}  // namespace
