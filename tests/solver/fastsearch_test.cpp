#include "solver/fastsearch.h"

#include "solver_support.h"

#include <gtest/gtest.h>

#include <random>

using namespace lumor;
using lumor::testing::expectAchieves;
using lumor::testing::levelFrom;

TEST(FastSearch, NamedLevels) {
    const struct {
        const char* what;
        LevelRecord level;
        int32_t best;
    } cases[] = {
        {"two deflectors bring the beam round; a wall and a cross are spare",
         levelFrom({">.....", "......", "......", ".....R"}, {4, 1, 1, 0, 1, 0, 1}, '#'), 2},
        {"the target faces away from every beam a piece could make",
         levelFrom({">..#R", ".....", "....."}, {2, 0, 0, 2, 2, 2, 2}, '#'), -1},
        {"one splitter feeds two targets",
         levelFrom({"...U..", ">.....", "......", "......", "...D.."}, {3, 0, 0, 0, 0, 0, 0, 0, 2},
                   '#'),
         2},
        {"sand delays one beam so that two beams do not meet",
         levelFrom({"...v...", ".......", ".>....R"}, {1, 0, 0, 0, 0, 0, 0, 1}, '#'), 0},
        {"the first beam into a deflector's cell meets its closed side; a later one is turned",
         levelFrom({".a..<.", ".*.*..", "..<.*.", "..d.R."}, {3, 0, 0, 0, 1, 0, 2}, '#'), 0},
    };
    for (const auto& c : cases) {
        const FastResult r = fastSolve(c.level);
        EXPECT_EQ(r.bestLeft, c.best) << c.what;
        EXPECT_EQ(lumor::testing::exact(c.level).best, c.best) << c.what;
        expectAchieves(c.level, r);
    }
    auto tooMany = cases[0].level;
    tooMany.Stock = {};
    tooMany.Stock[1] = 992;
    const FastResult refused = fastSolve(tooMany);
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(refused.message, tooManyPiecesMessage(992));

    // Given up when polled to: no best reported.
    int polls = 0;
    const FastResult stopped = fastSolve(cases[0].level, true, [&] { return ++polls == 1; });
    EXPECT_TRUE(stopped.gaveUp);
    EXPECT_EQ(stopped.bestLeft, -1);
    EXPECT_TRUE(stopped.best.empty());
}

TEST(FastSearch, BoundsCutNothingThatMattersOnLargerLevels) {
    // Too large for the search over every arrangement; the search without the bounds is
    // the yardstick.
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
