#include "solver/fastsearch.h"
#include "solver/reference.h"
#include "solver/search.h"

#include "solver_support.h"

#include <gtest/gtest.h>

#include <random>

using namespace lumor;
using lumor::testing::levelFrom;
using lumor::testing::smallRandomLevel;

namespace {

int32_t exhaustiveBest(const LevelRecord& level) {
    SolutionSearch search;
    search.setClock([] { return int64_t{0}; });
    EXPECT_TRUE(search.load(level));
    search.run();
    return search.bestLeft();
}

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
        const int order = static_cast<int>(std::find(PieceSlotOrder.begin(), PieceSlotOrder.end(), p.Slot) -
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

TEST(FastSearch, NeedsOnlyTheTurnsAndFindsThem) {
    // Two deflectors bring the beam round to the target; a wall and a cross are spare.
    const auto level = levelFrom({">.....", "......", "......", ".....R"}, {4, 1, 1, 0, 1, 0, 1}, '#');
    const FastResult r = fastSolve(level);
    EXPECT_EQ(r.bestLeft, 2);
    expectAchieves(level, r);
    EXPECT_EQ(exhaustiveBest(level), 2);
}

TEST(FastSearch, BareBoardAndHopelessLevels) {
    const auto solved = levelFrom({">..R"}, {3, 1});
    EXPECT_EQ(fastSolve(solved).bestLeft, 3);
    EXPECT_TRUE(fastSolve(solved).best.empty());

    // The target faces away from every beam a piece could make.
    const auto hopeless = levelFrom({">..#R"}, {2, 0, 0, 2, 2, 2, 2});
    EXPECT_EQ(fastSolve(hopeless).bestLeft, -1);

    const auto noAllowance = levelFrom({">....", ".....", "..U.."}, {0, 0, 0, 0, 1});
    EXPECT_EQ(fastSolve(noAllowance).bestLeft, -1);
    auto negative = noAllowance;
    negative.Stock[0] = -1;
    EXPECT_EQ(fastSolve(negative).bestLeft, -1);
    EXPECT_EQ(exhaustiveBest(negative), -1);

    auto tooMany = solved;
    tooMany.Stock[1] = 992;
    const FastResult refused = fastSolve(tooMany);
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(refused.message, tooManyPiecesMessage(992));
}

TEST(FastSearch, SplittersSandAndCollisionsAgreeWithTheExhaustiveSearch) {
    const std::vector<LevelRecord> levels = {
        // One splitter feeds two targets.
        levelFrom({"...U..", ">.....", "......", "......", "...D.."}, {3, 0, 0, 0, 0, 0, 0, 0, 2}, '#'),
        // Sand delays one beam so that two beams do not meet.
        levelFrom({"...v...", ".......", ".>....R"}, {1, 0, 0, 0, 0, 0, 0, 1}, '#'),
        // A cross lets two beams pass each other.
        levelFrom({"..v...", "......", ">.....R", "......", "..D..."}, {2, 1, 1}, '#'),
    };
    const std::vector<int32_t> best = {2, 0, 1};
    for (size_t i = 0; i < levels.size(); ++i) {
        const LevelRecord& level = levels[i];
        const FastResult r = fastSolve(level);
        EXPECT_EQ(r.bestLeft, best[i]);
        EXPECT_EQ(r.bestLeft, exhaustiveBest(level));
        expectAchieves(level, r);
    }
}

TEST(FastSearch, EqualsTheExhaustiveSearchOnRandomSmallLevels) {
    std::mt19937 rng(7411);
    int needPieces = 0, unsolvable = 0;
    for (int round = 0; round < 600; ++round) {
        const LevelRecord level = round % 3 == 0   ? smallRandomLevel(rng)
                                  : round % 3 == 1 ? lumor::testing::smallPuzzleLevel(rng)
                                                   : lumor::testing::routedLevel(rng);
        const int32_t expected = exhaustiveBest(level);
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
