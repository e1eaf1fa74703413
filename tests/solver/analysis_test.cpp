#include "solver/analysis.h"

#include "solver_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <random>
#include <set>

using namespace lumor;
using lumor::testing::levelFrom;

namespace {

// Every placement within the allowance and the stock, each set of (cell, slot) once,
// run through the step-for-step beam check: the winning ones by size.
std::map<int, std::set<Placement>> everyWin(const LevelRecord& level) {
    std::vector<std::pair<int, int>> free;
    for (int y = 0; y < BoardHeight; ++y)
        for (int x = 0; x < BoardWidth; ++x)
            if (level.cell(x, y) == Empty) free.emplace_back(x, y);
    std::array<int, SlotCount + 1> left{};
    for (int s = 1; s <= SlotCount; ++s) left[s] = std::max<int>(0, level.Stock[s]);
    std::map<int, std::set<Placement>> wins;
    LevelRecord board = level;
    Placement placed;
    auto walk = [&](auto&& self, size_t from) -> void {
        if (referenceBeamCheck(board).solved)
            wins[static_cast<int>(placed.size())].insert(sortedPlacement(placed));
        if (static_cast<int>(placed.size()) == level.Stock[0]) return;
        for (size_t i = from; i < free.size(); ++i)
            for (int s = 1; s <= SlotCount; ++s) {
                if (left[s] == 0) continue;
                --left[s];
                board.cell(free[i].first, free[i].second) = static_cast<int16_t>(codeOfSlot(s));
                placed.push_back({s, free[i].first, free[i].second});
                self(self, i + 1);
                placed.pop_back();
                board.cell(free[i].first, free[i].second) = Empty;
                ++left[s];
            }
    };
    if (level.Stock[0] >= 0) walk(walk, 0);
    return wins;
}

}  // namespace

TEST(Analysis, AgreesWithEveryPlacementTriedOneByOne) {
    std::mt19937 rng(1515);
    lumor::testing::RouteShape shape;
    shape.minW = 4, shape.maxW = 6, shape.minH = 3, shape.maxH = 4, shape.obstaclePercent = 10;
    int several = 0, forcedSome = 0, unused = 0, opened = 0;
    for (int round = 0; round < 600; ++round) {
        shape.minTurns = 1 + round % 3 / 2;
        LevelRecord level = round % 3 == 0 ? lumor::testing::smallPuzzleLevel(rng, 3)
                                           : lumor::testing::routedLevel(rng, shape);
        if (level.Stock[0] > 3) level.Stock[0] = 3;
        const auto wins = everyWin(level);
        const LevelAnalysis a = analyseLevel(level);
        ASSERT_TRUE(a.ok);
        EXPECT_EQ(a.bareWins, wins.count(0) > 0) << "round " << round;
        ASSERT_EQ(a.fewest, wins.empty() ? -1 : wins.begin()->first) << "round " << round;
        if (wins.empty()) continue;
        const auto& [fewest, minimal] = *wins.begin();
        EXPECT_EQ(a.bestLeft, level.Stock[0] - fewest);
        ASSERT_EQ(a.placementCount, minimal.size()) << "round " << round;
        EXPECT_EQ(std::set<Placement>(a.placements.begin(), a.placements.end()), minimal)
            << "round " << round;

        std::set<std::pair<int, int>> forced;
        std::set<int> used;
        for (const PlacedPiece& p : *minimal.begin()) forced.insert({p.x, p.y});
        for (const Placement& m : minimal) {
            std::set<std::pair<int, int>> cells;
            for (const PlacedPiece& p : m) {
                cells.insert({p.x, p.y});
                used.insert(p.slot);
            }
            std::erase_if(forced, [&](const auto& c) { return !cells.count(c); });
        }
        const std::set<std::pair<int, int>> forcedFound(a.forced.begin(), a.forced.end());
        EXPECT_EQ(forcedFound, forced) << "round " << round;
        std::vector<int> unusedKinds;
        for (int s = 1; s <= SlotCount; ++s)
            if (level.Stock[s] > 0 && !used.count(s)) unusedKinds.push_back(s);
        EXPECT_EQ(a.unusedKinds, unusedKinds) << "round " << round;

        // Larger wins none of whose proper parts wins: opened by the spare pieces.
        uint64_t fresh = 0;
        std::vector<Placement> smaller(minimal.begin(), minimal.end());
        for (auto it = std::next(wins.begin()); it != wins.end(); ++it) {
            for (const Placement& p : it->second)
                fresh += std::none_of(smaller.begin(), smaller.end(), [&](const Placement& s) {
                    return std::includes(p.begin(), p.end(), s.begin(), s.end());
                });
            smaller.insert(smaller.end(), it->second.begin(), it->second.end());
        }
        EXPECT_TRUE(a.sparesSearched);
        EXPECT_EQ(a.spareOpened, fresh) << "round " << round;

        several += minimal.size() > 1;
        forcedSome += minimal.size() > 1 && !forced.empty();
        unused += !unusedKinds.empty();
        opened += fresh > 0;
    }
    // The random levels cover what is compared.
    EXPECT_GT(several, 100);
    EXPECT_GT(forcedSome, 10);
    EXPECT_GT(unused, 60);
    EXPECT_GT(opened, 5);
}

TEST(Analysis, DifficultyIsTheChanceOfBuildingBlindlyAlongTheBeam) {
    // The beam crosses five free cells before the wall. A ┐ on the second turns it down a
    // corridor of three cells, where a └ on the last turns it onto the target.
    const LevelRecord level =
        levelFrom({">.....", "##.###", "##.###", "##...R"}, {2, 0, 0, 0, 1, 0, 1}, '#');
    const LevelAnalysis a = analyseLevel(level);
    ASSERT_EQ(a.placementCount, 1u);
    EXPECT_EQ(a.forced.size(), 2u);
    // First 5 cells x 2 kinds, then the 3 corridor cells x the one kind left.
    EXPECT_NEAR(a.difficulty, std::log2(10.0 * 3.0), 1e-9);
    EXPECT_NEAR(placementDifficulty(level, a.placements), a.difficulty, 1e-9);
    // A wall in stock is one more choice at every step.
    LevelRecord decoy = level;
    decoy.Stock[1] = 1;
    EXPECT_NEAR(analyseLevel(decoy).difficulty, std::log2(15.0 * 6.0), 1e-9);
    EXPECT_EQ(analyseLevel(decoy).unusedKinds, std::vector<int>{1});
}

TEST(Analysis, BoardDistanceCountsChangedCellsButNotWhichStar) {
    const LevelRecord a = levelFrom({">..*..R"}, {});
    LevelRecord b = a;
    b.cell(3, 0) = Decoration3;
    EXPECT_EQ(boardDistance(a, b), 0);
    b.cell(1, 0) = Wall;
    b.cell(6, 0) = TargetLeft;
    EXPECT_EQ(boardDistance(a, b), 2);
}
