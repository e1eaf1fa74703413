#include "solver_support.h"

#include <gtest/gtest.h>

#include <random>

using namespace lumor;
using lumor::testing::Counters;
using lumor::testing::exhaustive;
using lumor::testing::levelFrom;
using lumor::testing::reference;
using lumor::testing::smallRandomLevel;

TEST(SolutionSearch, BuildsPieceListInSlotOrderAndFreeCellsColumnWise) {
    auto level = levelFrom({">..R", "#..."}, {3, 1, 2, 1, 0, 0, 1, 1, 2});
    SolutionSearch search;
    ASSERT_TRUE(search.load(level));
    std::vector<int> slots;
    for (const Piece& p : search.pieceList()) slots.push_back(p.Slot);
    EXPECT_EQ(slots, (std::vector<int>{8, 8, 3, 6, 2, 2, 1, 7}));
    EXPECT_EQ(search.freeCells()[0], (FreeCell{-1, 0}));
    EXPECT_EQ(search.freeCells()[1], (FreeCell{0, 2}));  // column 0 below the wall
    EXPECT_EQ(search.freeCount(), CellCount - 3);
}

TEST(SolutionSearch, RefusesMoreThan991PiecesAndChecksAnEmptyStockOnce) {
    auto level = levelFrom({">R"}, {5, 500, 492});
    SolutionSearch search;
    EXPECT_FALSE(search.load(level));
    EXPECT_EQ(search.loadMessage(),
              "Zu viele Steine im Vorrat: 992 (h\xf6"
              "chstens 991).");
    search.run();
    EXPECT_EQ(search.checkedCount(), 0);
    EXPECT_EQ(search.bestLeft(), -1);

    level.Stock[2] = 491;
    EXPECT_TRUE(search.load(level));
    EXPECT_EQ(search.pieceList().size(), 991u);

    // Counters: tried, checked, solutions, best left, best arrangement.
    EXPECT_EQ(exhaustive(levelFrom({">R"}, {4})), (Counters{0, 1, 1, 4, {}}));
    EXPECT_EQ(exhaustive(levelFrom({">.L"}, {4})), (Counters{0, 1, 0, -1, {}}));
}

TEST(SolutionSearch, CountsEveryOrderOfIdenticalPiecesAndCutsAtTheAllowance) {
    // Two walls, allowance 1, three free cells (the source's row is closed by a wall).
    // Outer piece: 4 tries. Not placed: inner piece 4 tries, 4 checks. Placed on each of
    // three cells: inner tries 4 each; not placed -> check; its own cell taken; the two
    // other cells cut by the allowance. No target: the bare board already solves it.
    EXPECT_EQ(exhaustive(levelFrom({">#", "..", "##."}, {1, 2}, '#')),
              (Counters{4 + 4 + 3 * 4, 4 + 3, 1, 1, {}}));
}

TEST(SolutionSearch, TiesAreCountedAndRedrawnWorseOnesAreNot) {
    // The beam must be turned down into the target: a deflector at (3,0) does it.
    // Two deflectors of that kind: both orders solve with one piece left.
    auto level = levelFrom({">...", "####", "####", "...D"}, {2, 0, 0, 0, 2}, '#');
    for (int y = 1; y <= 2; ++y) level.cell(3, y) = 0;
    std::vector<std::vector<Piece>> drawn;
    SolutionSearch search;
    search.setClock([] { return int64_t{0}; });
    search.setBestHook([&](const std::vector<Piece>& placed) { drawn.push_back(placed); });
    ASSERT_TRUE(search.load(level));
    search.run();
    EXPECT_EQ(search.bestLeft(), 1);
    EXPECT_EQ(search.solutionCount(), 2);
    EXPECT_EQ(drawn, (std::vector<std::vector<Piece>>(2, {{4, 3, 0}})));
    EXPECT_EQ(search.bestArrangement(), drawn.back());
}

TEST(SolutionSearch, ProgressFollowsTheClockAndAbortStopsEveryLevel) {
    auto level = levelFrom({">......R"}, {2, 2, 0, 0, 0, 0, 0, 0, 0});
    int64_t now = 5000;
    int progressCalls = 0;
    std::vector<int64_t> triedAtDisplay;
    SolutionSearch search;
    search.setClock([&] { return now; });
    search.setProgressHook([&] {
        ++progressCalls;
        triedAtDisplay.push_back(search.triedCount());
        if (progressCalls == 3) search.abort();
    });
    ASSERT_TRUE(search.load(level));
    EXPECT_EQ(search.nextDisplayTime(), 0);
    // The clock moves 1 ms per try: progress at the first try, then every 2001 tries.
    search.setClock([&] { return now++; });
    search.run();
    EXPECT_TRUE(search.aborted());
    EXPECT_FALSE(search.finished());
    EXPECT_EQ(progressCalls, 3);
    // The first display comes with the first try that ends: the outer piece's first try
    // goes deeper at once, so that is the inner piece's first.
    ASSERT_EQ(triedAtDisplay.size(), 3u);
    EXPECT_EQ(triedAtDisplay[0], 2);
    const int64_t triedAtAbort = search.triedCount();
    EXPECT_LE(triedAtAbort, triedAtDisplay[2] + 2);
    // Both recursion levels count their one more try and return.
    EXPECT_EQ(search.nextDisplayTime(), 5000 + 2 * 2001 + 2000);

    // A new load keeps the display time and clears the abort.
    ASSERT_TRUE(search.load(level));
    EXPECT_FALSE(search.aborted());
    EXPECT_EQ(search.nextDisplayTime(), 5000 + 2 * 2001 + 2000);
    EXPECT_GT(triedAtAbort, 2 * 2001);
}

TEST(SolutionSearch, CountersEqualTheStepForStepSearchOnSmallLevels) {
    std::mt19937 rng(20261206);
    int solvedLevels = 0, needPieces = 0;
    int64_t checked = 0;
    for (int round = 0; round < 300; ++round) {
        const LevelRecord level =
            round % 2 ? smallRandomLevel(rng) : lumor::testing::routedLevel(rng);
        const Counters fast = exhaustive(level);
        ASSERT_EQ(fast, reference(level)) << "round " << round;
        if (fast.best >= 0) ++solvedLevels;
        if (fast.best >= 0 && fast.best < level.Stock[0]) ++needPieces;
        checked += fast.checked;
    }
    EXPECT_GT(solvedLevels, 100);
    EXPECT_GT(needPieces, 50);
    EXPECT_GT(checked, 100000);
}

TEST(SolutionSearch, CountersEqualTheStepForStepSearchOnOpenBoards) {
    // Two pieces among 230-odd free cells: most arrangements are settled from
    // runs already made, which must give exactly what running them gives.
    const std::vector<LevelRecord> levels = {
        levelFrom({"", "..>", "", "", "", "", "", "", "...............R"}, {2, 0, 0, 0, 1, 0, 1}),
        levelFrom(
            {".........U", "....v.........v", ".L..x.........x...R.", "", "", "", ".........D"},
            {2, 0, 0, 0, 0, 0, 0, 0, 2}),
        levelFrom({">.s.s.s.s..#", "s", "..s.......s", "v.....s.....s", "..s...s.....s.....D.", "",
                   "...s..s.....R"},
                  {2, 0, 0, 0, 1, 0, 1}),
    };
    for (const LevelRecord& level : levels) EXPECT_EQ(exhaustive(level), reference(level));
}
