// The search over cores that the finder's answer, the fast search and the level analysis
// stand on: its bounds must leave out no winning core.
#include "solver/coresearch.h"

#include "solver_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

using namespace lumor;

namespace {

// Every winning core of every size, as the search reports them: pieces (slot, cell) in
// the order they were placed.
std::vector<std::vector<std::pair<int, int>>> winningCores(const LevelRecord& level, bool bounds) {
    struct Collect : CoreVisitor {
        std::vector<std::vector<std::pair<int, int>>> wins;
        bool win(const std::vector<CorePiece>& core) override {
            wins.emplace_back();
            for (const CorePiece& p : core) wins.back().emplace_back(p.slot, p.cell);
            return false;
        }
    } collect;
    CoreSearch search(level, bounds);
    for (int size = 0; size <= level.Stock[0]; ++size) {
        search.search(size, collect);
        collect.wins.emplace_back();  // the end of a size
    }
    std::sort(collect.wins.begin(), collect.wins.end());
    return collect.wins;
}

}  // namespace

TEST(CoreSearch, BoundsKeepEveryWinningCore) {
    // Ways with turns and splits to up to four targets, spare pieces of every kind; the
    // search without the bounds is the yardstick.
    std::mt19937 rng(90210);
    lumor::testing::RouteShape shape;
    shape.minW = 6, shape.maxW = 9, shape.minH = 4, shape.maxH = 8;
    int wins = 0, split = 0;  // levels with wins, of them with splitter pieces
    for (int round = 0; round < 1000; ++round) {
        shape.beams = 1 + round % 2;
        shape.splits = round % 3;
        shape.maxTurns = 3 - shape.beams / 2 - (shape.splits + 1) / 2;
        shape.obstaclePercent = 5 + round % 20;
        shape.spareSplitters = round % 7 == 0 ? 1 : 0;
        LevelRecord level = lumor::testing::routedLevel(rng, shape);
        if (level.Stock[0] > 5) continue;
        level.Stock[std::array<int, 3>{1, 2, 7}[round % 3]] += static_cast<int16_t>(round % 2);
        const auto bounded = winningCores(level, true);
        ASSERT_EQ(bounded, winningCores(level, false)) << "round " << round;
        const int found = static_cast<int>(bounded.size()) - level.Stock[0] - 1;
        wins += found > 0;
        split += found > 0 && level.Stock[8] > 0;
    }
    EXPECT_GT(wins, 900);
    EXPECT_GT(split, 200);
}
