// The earlier release's finder search: the best of the full search on random levels, the
// tried count ending at the total worked out on load, identical pieces tried in one order
// only, and no check where too few beams can exist for the targets.
#include "solver/earliersearch.h"

#include "solver_support.h"

#include <gtest/gtest.h>

#include <random>
#include <tuple>

using namespace lumor;
using namespace lumor::testing;

namespace {

using Ended = std::tuple<std::string, std::string, int64_t, int32_t>;

Ended runToEnd(const LevelRecord& level, EarlierSearch& search) {
    EXPECT_TRUE(search.load(level));
    search.run();
    EXPECT_TRUE(search.finished());
    return {search.triedCount().toString(), search.total().toString(), search.checkedCount(),
            search.bestLeft()};
}

// Stress levels, small puzzles, two beams routed round, and one beam split to two targets.
LevelRecord randomLevel(std::mt19937& rng, int kind) {
    for (;;) {
        const LevelRecord level =
            kind == 0   ? stressLevel(rng)
            : kind == 1 ? smallPuzzleLevel(rng, 4)
                        : routedLevel(rng, {3, 6, 3, 5, 1, 2, 4 - kind, 3, 12, 0, kind - 2});
        if (arrangementsOf(level) <= 20000) return level;
    }
}

}  // namespace

TEST(EarlierSearch, FindsTheBestOfTheFullSearchAndEndsWithItsTriesAtTheTotal) {
    std::mt19937 rng(1406);
    for (int round = 0; round < 12000 && !::testing::Test::HasFailure(); ++round) {
        const LevelRecord level = randomLevel(rng, round % 4);
        EarlierSearch search;
        const auto [tried, total, checked, best] = runToEnd(level, search);
        ASSERT_EQ(best, exact(level).best) << "round " << round;
        ASSERT_EQ(tried, total) << "round " << round;
        expectAchieves(level, search.bestArrangement(), best, false);
    }
}

// Two walls on three free cells: every set of cells once (1 + 3 + 3 checks, not the 13
// orders of the full search); the second wall starts behind the first one's cell and the
// indexes it skips count: 5 calls of 4 tries. One source and two targets: only
// arrangements with a splitter, placed or the level's own, are checked.
TEST(EarlierSearch, IdenticalPiecesInOneOrderAndNoCheckWhereTooFewBeamsCanExist) {
    EarlierSearch search;
    EXPECT_EQ(runToEnd(levelFrom({">...R"}, {2, 2}, '#'), search), Ended("20", "20", 7, 2));
    // A splitter on (2, 1) sends the beam up and down into the two targets.
    EXPECT_EQ(
        runToEnd(levelFrom({"..U..", ">....", "..D.."}, {1, 0, 0, 0, 0, 0, 0, 0, 1}, '#'), search),
        Ended("13", "13", 12, 0));
    EXPECT_EQ(search.bestArrangement(), (std::vector<Piece>{{8, 2, 1}}));
    EXPECT_EQ(runToEnd(levelFrom({"..U..", ">.x..", "..D.."}, {1, 1}, '#'), search),
              Ended("12", "12", 12, 1));
    EXPECT_EQ(runToEnd(levelFrom({"..U..", ">....", "..D.."}, {1, 1}, '#'), search),
              Ended("13", "13", 0, -1));
}
