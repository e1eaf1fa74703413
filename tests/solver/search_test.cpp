// The search over every arrangement: its piece list and free cells, its counters on a
// level worked out by hand, its clock and its stop.
#include "solver_support.h"

#include <gtest/gtest.h>

using namespace lumor;
using lumor::testing::Answer;
using lumor::testing::levelFrom;
using lumor::testing::literal;

namespace {

// A second passes at every reading.
int clockReads = 0;
int64_t fakeClock() { return 5000 + 1000 * ++clockReads; }

}  // namespace

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

    level.Stock[1] = static_cast<int16_t>(level.Stock[1] + 992 - 8);
    EXPECT_FALSE(search.load(level));
    EXPECT_EQ(search.loadMessage(),
              "Zu viele Steine im Vorrat: 992 (h\xf6"
              "chstens 991).");
}

TEST(SolutionSearch, CountsEveryOrderOfIdenticalPiecesCutsAtTheAllowanceAndRecordsTies) {
    // Two walls, allowance 1, three free cells (the source's row is closed by a wall).
    // Outer piece: 4 tries. Not placed: inner piece 4 tries, 4 checks. Placed on each of
    // three cells: inner tries 4 each; not placed -> check; its own cell taken; the two
    // other cells cut by the allowance. No target: the bare board already solves it.
    EXPECT_EQ(literal(levelFrom({">#", "..", "##."}, {1, 2}, '#')),
              (Answer{"20", "7", "1", 1, {}}));
    // The beam must be turned down into the target by a deflector at (3, 0); with two of
    // them both orders solve, one piece left, and each is recorded.
    auto level = levelFrom({">...", "####", "####", "...D"}, {2, 0, 0, 0, 2}, '#');
    for (int y = 1; y <= 2; ++y) level.cell(3, y) = 0;
    EXPECT_EQ(literal(level).solutions, "2");
    EXPECT_EQ(literal(level).arrangement, (std::vector<Piece>{{4, 3, 0}}));
    // Nothing to place: the bare board is the one arrangement; nothing at all with a
    // negative allowance.
    EXPECT_EQ(literal(levelFrom({">R"}, {4})), (Answer{"0", "1", "1", 4, {}}));
    EXPECT_EQ(literal(levelFrom({">.R"}, {-1, 1}, '#')), (Answer{"2", "0", "0", -1, {}}));
}

TEST(SolutionSearch, ReadsTheClockEveryFewThousandTriesAndStopsAtEveryLevelWhenAborted) {
    // Two walls over 200-odd free cells: about 50,000 tries.
    const LevelRecord level = levelFrom({">......R"}, {2, 2});
    SolutionSearch search;
    search.setClock(fakeClock);
    std::vector<int64_t> shownAt;
    search.setProgressHook([&] { shownAt.push_back(search.triedCount()); });
    ASSERT_TRUE(search.load(level));
    clockReads = 0;
    search.run();
    EXPECT_TRUE(search.finished());
    const int64_t tried = search.triedCount();
    EXPECT_EQ(clockReads, 1 + (tried - 1) / SolutionSearch::ClockEvery);
    // The first display at the first try that ends (the innermost piece's), then at the
    // first reading more than two seconds later: every third.
    ASSERT_GE(shownAt.size(), 3u);
    EXPECT_EQ(shownAt[0], 2);
    EXPECT_EQ(static_cast<int>(shownAt.size()), (clockReads + 2) / 3);

    search.setProgressHook([&] { search.abort(); });
    search.setDisplayInterval(0);
    ASSERT_TRUE(search.load(level));
    search.run();
    EXPECT_FALSE(search.finished());
    EXPECT_EQ(search.triedCount(), 2 + 2);  // both levels of the search count one more try
}
