// Hints where the board window's test does not lead: a piece that spoils every best
// solution, pieces a best solution can keep, a level without one, and the finder's own
// answer on a fresh board.
#include "play/hint.h"
#include "play/cells.h"
#include "solver/exactsearch.h"
#include "support/boards.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace lumor;
using lumortest::level;

TEST(Hint, APieceThatSpoilsEveryBestSolutionIsTheFirstCellToChangeAndAFreshBoardFollowsTheFinder) {
    // The beam must turn down somewhere in row 5 (┐) and right again in row 8 (└); a └ right
    // where the beam starts spoils that, so its cell is the first to change.
    const LevelRecord knick =
        level({"", "", "", "", "", ">", "", "", "..........R"}, {2, 0, 0, 0, 1, 0, 1});
    LevelRecord spoilt = knick;
    spoilt.cell(1, 5) = DeflectorRightUp;
    spoilt.Stock[0] = 1;
    spoilt.Stock[6] = 0;
    const Hint fix = findHint(knick, spoilt);
    EXPECT_TRUE(fix.kind == Hint::Kind::Cell && fix.x == 1 && fix.y == 5 &&
                (fix.code == DeflectorLeftDown || fix.code == Empty))
        << fix.x << "," << fix.y << " " << fix.code;
    // A turn in any column can be kept: the hint finishes the player's own solution.
    for (int x : {3, 6}) {
        LevelRecord turned = knick;
        turned.cell(x, 5) = DeflectorLeftDown;
        turned.Stock[0] = 1;
        turned.Stock[4] = 0;
        EXPECT_EQ(findHint(knick, turned), (Hint{Hint::Kind::Cell, x, 8, DeflectorRightUp}));
    }
    EXPECT_EQ(findHint(level({">#R"}), level({">#R"})).kind, Hint::Kind::None);

    // On a fresh board the hint points into the arrangement the finder shows; a stopped
    // search gives none.
    ExactSearch finder;
    ASSERT_TRUE(finder.load(knick));
    finder.run();
    const Hint h = findHint(knick, knick);
    const std::vector<Piece>& best = finder.bestArrangement();
    EXPECT_TRUE(std::any_of(
        best.begin(), best.end(),
        [&](const Piece& p) { return p.X == h.x && p.Y == h.y && codeOfSlot(p.Slot) == h.code; }))
        << h.x << "," << h.y << " " << h.code;
    EXPECT_EQ(findHint(knick, knick, [] { return true; }).kind, Hint::Kind::None);
}
