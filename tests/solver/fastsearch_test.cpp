#include "solver/fastsearch.h"

#include "solver_support.h"

#include <gtest/gtest.h>

#include <random>

using namespace lumor;
using lumor::testing::exhaustive;
using lumor::testing::levelFrom;
using lumor::testing::smallRandomLevel;

namespace {

// The arrangement must fit the stock, stand on empty cells, be in piece-list order and
// really solve the level with the pieces it claims to leave.
void expectAchieves(const LevelRecord& level, const FastResult& r) {
    if (r.bestLeft < 0) {
        EXPECT_TRUE(r.best.empty());
        return;
    }
    ASSERT_EQ(static_cast<int>(r.best.size()), level.Stock[0] - r.bestLeft);
    LevelRecord placed = level;
    std::array<int, 9> used{};
    int lastOrder = 0;
    for (const Piece& p : r.best) {
        const int order =
            static_cast<int>(std::find(PieceSlotOrder.begin(), PieceSlotOrder.end(), p.Slot) -
                             PieceSlotOrder.begin());
        EXPECT_GE(order, lastOrder);
        lastOrder = order;
        ASSERT_EQ(placed.cell(p.X, p.Y), 0);
        placed.cell(p.X, p.Y) = static_cast<int16_t>(p.Slot + 8);
        EXPECT_LE(++used[p.Slot], level.Stock[p.Slot]);
    }
    EXPECT_TRUE(referenceBeamCheck(placed).solved);
}

}  // namespace

TEST(FastSearch, SmallLevelsAgreeWithTheExhaustiveSearch) {
    const struct {
        const char* what;
        LevelRecord level;
        int32_t best;
    } cases[] = {
        {"two deflectors bring the beam round; a wall and a cross are spare",
         levelFrom({">.....", "......", "......", ".....R"}, {4, 1, 1, 0, 1, 0, 1}, '#'), 2},
        {"solved on the bare board", levelFrom({">..R"}, {3, 1}), 3},
        {"the target faces away from every beam a piece could make",
         levelFrom({">..#R", ".....", "....."}, {2, 0, 0, 2, 2, 2, 2}, '#'), -1},
        {"no allowance", levelFrom({">....", ".....", "..U.."}, {0, 0, 0, 0, 1}), -1},
        {"negative allowance", levelFrom({">....", ".....", "..U.."}, {-1, 0, 0, 0, 1}), -1},
        {"one splitter feeds two targets",
         levelFrom({"...U..", ">.....", "......", "......", "...D.."}, {3, 0, 0, 0, 0, 0, 0, 0, 2},
                   '#'),
         2},
        {"sand delays one beam so that two beams do not meet",
         levelFrom({"...v...", ".......", ".>....R"}, {1, 0, 0, 0, 0, 0, 0, 1}, '#'), 0},
        {"a cross lets two beams pass each other",
         levelFrom({"..v...", "......", ">.....R", "......", "..D..."}, {2, 1, 1}, '#'), 1},
    };
    for (const auto& c : cases) {
        const FastResult r = fastSolve(c.level);
        EXPECT_EQ(r.bestLeft, c.best) << c.what;
        EXPECT_EQ(exhaustive(c.level).best, c.best) << c.what;
        expectAchieves(c.level, r);
    }

    auto tooMany = cases[1].level;
    tooMany.Stock[1] = 992;
    const FastResult refused = fastSolve(tooMany);
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(refused.message, tooManyPiecesMessage(992));
}

TEST(FastSearch, EqualsTheExhaustiveSearchOnRandomSmallLevels) {
    std::mt19937 rng(7411);
    int needPieces = 0, unsolvable = 0;
    for (int round = 0; round < 600; ++round) {
        const LevelRecord level = round % 3 == 0   ? smallRandomLevel(rng)
                                  : round % 3 == 1 ? lumor::testing::smallPuzzleLevel(rng)
                                                   : lumor::testing::routedLevel(rng);
        const int32_t expected = exhaustive(level).best;
        const FastResult r = fastSolve(level);
        ASSERT_EQ(r.bestLeft, expected) << "round " << round;
        expectAchieves(level, r);
        if (HasFatalFailure()) return;
        if (expected >= 0 && expected < level.Stock[0]) ++needPieces;
        if (expected < 0) ++unsolvable;
    }
    EXPECT_GT(needPieces, 30);
    EXPECT_GT(unsolvable, 30);
}

TEST(FastSearch, BoundsCutNothingThatMattersOnLargerLevels) {
    // Too large for the exhaustive search; the search without the bounds is the yardstick.
    std::mt19937 rng(90210);
    lumor::testing::RouteShape shape;
    shape.minW = 8, shape.maxW = 12, shape.minH = 6, shape.maxH = 9;
    shape.maxLeg = 5;
    int routed = 0;
    for (int round = 0; round < 300; ++round) {
        shape.beams = 1 + round % 2;
        shape.maxTurns = shape.beams == 1 ? 4 : 3;
        shape.obstaclePercent = 5 + round % 20;
        shape.spareSplitters = round % 3 == 0 ? 1 : 0;
        const LevelRecord level = lumor::testing::routedLevel(rng, shape);
        const FastResult plain = fastSolve(level, false);
        const FastResult r = fastSolve(level);
        ASSERT_EQ(r.bestLeft, plain.bestLeft) << "round " << round;
        expectAchieves(level, r);
        if (HasFatalFailure()) return;
        EXPECT_LE(r.beamRuns, plain.beamRuns);
        routed += r.bestLeft >= 0 && r.bestLeft < level.Stock[0];
    }
    EXPECT_GT(routed, 200);
}
