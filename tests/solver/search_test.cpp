// The search over every arrangement: its counters on levels worked out by hand and its
// stop. Its piece list and free cells are held to the step-for-step reference by
// the exact finder's tests.
#include "solver_support.h"

#include <gtest/gtest.h>

using namespace lumor;
using lumor::testing::Answer;
using lumor::testing::levelFrom;
using lumor::testing::literal;

TEST(SolutionSearch, CountsEveryOrderOfIdenticalPiecesCutsAtTheAllowanceAndRecordsTies) {
    // Two walls, allowance 1, three free cells (the source's row is closed by a wall).
    // Outer piece: 4 tries. Not placed: inner piece 4 tries, 4 checks. Placed on each of
    // three cells: inner tries 4 each; not placed -> check; its own cell taken; the two
    // other cells cut by the allowance. No target: the bare board already solves it.
    EXPECT_EQ(literal(levelFrom({">#", "..", "##."}, {1, 2}, '#')),
              (Answer{"20", "7", "1", 1, {}}));
    // The beam must be turned down into the target by a deflector at (3, 0); with two of
    // them both orders solve, one piece left, and each is recorded.
    const Answer ties = literal(levelFrom({">...", "###.", "###.", "...D"}, {2, 0, 0, 0, 2}, '#'));
    EXPECT_EQ(ties.solutions, "2");
    EXPECT_EQ(ties.arrangement, (std::vector<Piece>{{4, 3, 0}}));
    // Nothing to place: the bare board is the one arrangement; nothing at all with a
    // negative allowance.
    EXPECT_EQ(literal(levelFrom({">R"}, {4})), (Answer{"0", "1", "1", 4, {}}));
    EXPECT_EQ(literal(levelFrom({">.R"}, {-1, 1}, '#')), (Answer{"2", "0", "0", -1, {}}));
}

// The progress hook runs at the first try that ends (the innermost piece's); an abort there
// stops the search at once, with one more try counted at each of its two levels.
TEST(SolutionSearch, ShowsProgressAtTheFirstTryAndStopsAtEveryLevelWhenAborted) {
    SolutionSearch search;
    search.setProgressHook([&] { search.abort(); });
    search.setDisplayInterval(0);
    ASSERT_TRUE(search.load(levelFrom({">......R"}, {2, 2})));
    search.run();
    EXPECT_FALSE(search.finished());
    EXPECT_EQ(search.triedCount(), 2 + 2);
}
