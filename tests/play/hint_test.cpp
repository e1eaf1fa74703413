// Hints the board window's test does not reach: spoilt or kept solutions, none, a stopped search.
#include "play/hint.h"
#include "play/cells.h"
#include "play/hintsource.h"
#include "support/boards.h"

#include <gtest/gtest.h>

#include <thread>

using namespace lumor;
using lumortest::level;

TEST(Hint, APieceThatSpoilsEveryBestSolutionIsTheFirstCellToChange) {
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

    // A stopped search gives none (a fresh board's hint: the board window's test).
    EXPECT_EQ(findHint(knick, knick, [] { return true; }).kind, Hint::Kind::None);
}

// The hints of a level start: the same answers as findHint, each board searched once, the
// level's answer searched once however many ask for it at the same time.
TEST(Hint, TheSourceKeepsEveryBoardsAnswerAndSearchesTheLevelOnce) {
    const LevelRecord knick =
        level({"", "", "", "", "", ">", "", "", "..........R"}, {2, 0, 0, 0, 1, 0, 1});
    LevelRecord turned = knick;
    turned.cell(3, 5) = DeflectorLeftDown;
    turned.Stock[0] = 1;
    turned.Stock[4] = 0;

    HintSource source(knick, 2);
    EXPECT_FALSE(source.known(knick));
    EXPECT_FALSE(source.prepare([] { return true; })) << "a stopped search leaves nothing";
    std::thread early([&] { EXPECT_TRUE(source.prepare()); });
    for (int press = 0; press < 2; ++press) {
        EXPECT_EQ(source.hintFor(knick), findHint(knick, knick));
        EXPECT_EQ(source.hintFor(turned), findHint(knick, turned));
    }
    early.join();
    EXPECT_EQ(source.searches(), 3) << "the stopped one, the level's, the turned board's";
    EXPECT_EQ(source.known(turned), findHint(knick, turned));

    LevelRecord spoilt = turned;
    spoilt.cell(1, 5) = DeflectorRightUp;
    source.cancel();
    EXPECT_FALSE(source.hintFor(spoilt));
    EXPECT_EQ(source.hintFor(knick), findHint(knick, knick)) << "kept answers stay";
}

// A player who follows the hints is answered from the level's own answer, with no search,
// and the hints walk that answer piece by piece; a board that strays or runs out of the
// needed kind is searched.
TEST(Hint, FollowingTheHintsNeedsNoSearch) {
    // Two turns; the stock holds exactly what the answer needs.
    const LevelRecord knick =
        level({"", "", "", "", "", ">", "", "", "..........R"}, {2, 0, 0, 0, 1, 0, 1});
    const std::optional<StoredBest> best = storedBest(knick, {}, 1);
    ASSERT_TRUE(best && best->bestLeft == 0);

    HintSource source(knick, 1);
    LevelRecord board = knick;
    for (int step = 0; step < 3; ++step) {
        const std::optional<Hint> h = source.hintFor(board);
        ASSERT_TRUE(h);
        if (step == 2) {
            EXPECT_EQ(h->kind, Hint::Kind::Complete);
            break;
        }
        ASSERT_EQ(h->kind, Hint::Kind::Cell);
        EXPECT_TRUE(followsBest(knick, *best, board));
        board.cell(h->x, h->y) = static_cast<int16_t>(h->code);
        const int slot = slotOfCode(h->code);
        --board.Stock[0];
        --board.Stock[static_cast<size_t>(slot)];
    }
    EXPECT_EQ(source.searches(), 1) << "only the level's own";

    LevelRecord strayed = knick;
    strayed.cell(1, 5) = DeflectorRightUp;
    EXPECT_FALSE(followsBest(knick, *best, strayed));
    LevelRecord emptied = knick;
    emptied.Stock[4] = 0;
    EXPECT_FALSE(followsBest(knick, *best, emptied)) << "the needed turn is not in the stock";
    emptied.Stock[4] = 1;
    emptied.Stock[0] = 1;
    EXPECT_FALSE(followsBest(knick, *best, emptied)) << "the total allows one piece";
}
