// The earlier release's finder search: identical pieces tried in one order only, and no
// check where too few beams can exist for the targets. Its best and its tries against the
// total on random levels are held to the exact search's by the exact search's test.
#include "solver/earliersearch.h"

#include "solver_support.h"

#include <gtest/gtest.h>

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

}  // namespace

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
    // A splitter or a deflector on (3, 0) turns the beam down: of the tie, the one recorded
    // last (the deflector, the outer piece) is kept.
    runToEnd(levelFrom({">...", "###.", "...D"}, {1, 0, 0, 0, 1, 0, 0, 0, 1}, '#'), search);
    EXPECT_EQ(search.bestArrangement(), (std::vector<Piece>{{4, 3, 0}}));
}
