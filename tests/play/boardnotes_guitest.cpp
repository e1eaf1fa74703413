// What the board window says beside play: why a click placed nothing, and the note of the
// first levels, shown once.
#include "board_support.h"

#include "play/BoardNotes.h"
#include "title/seennotes.h"

#include <QFile>
#include <QSet>

using namespace lumor;
using lumor::testing::BoardFixture;
using lumortest::level;

namespace {

using BoardNotesTest = BoardFixture;

void closeBoard(Form1& f) {
    f.close();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !f.isVisible() && !f.running(); }, 20000));
}

// A click that places nothing says why, for each kind of cell and each empty count; a click
// that places takes the line away.
TEST_F(BoardNotesTest, AClickThatPlacesNothingSaysWhy) {
    // Source, wall, cross, star and target of the level in row 1; two walls and a cross
    // may be placed, two pieces in all.
    setLevels({level({"", ".>#+1R"}, {2, 1, 2})});
    Form1 f(nullptr, clock);
    open(f);
    const auto says = [&](int x, int y) {
        clickCell(f, x, y);
        return f.notes()->line();
    };
    const auto text = &BoardNotes::reasonText;
    EXPECT_EQ(says(0, 5), text(Refusal::NoPiece));
    clickStock(f, 1);
    EXPECT_EQ(says(1, 1), text(Refusal::Source));
    EXPECT_EQ(says(2, 1), text(Refusal::Wall));
    EXPECT_EQ(says(3, 1), text(Refusal::LevelPiece));
    EXPECT_EQ(says(4, 1), text(Refusal::Star));
    EXPECT_EQ(says(5, 1), text(Refusal::Target));
    EXPECT_EQ(says(0, 5), "") << "placed";
    EXPECT_EQ(count(f, 1), 0);
    EXPECT_EQ(says(0, 5), text(Refusal::OwnPiece));
    EXPECT_EQ(says(0, 6), text(Refusal::SlotEmpty));
    clickStock(f, 2);
    EXPECT_EQ(says(0, 6), "");
    EXPECT_EQ(says(0, 7), text(Refusal::TotalUsed)) << "one cross left, but no piece in all";
    f.startButton()->click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return f.notes()->line().isEmpty(); }, 10000))
        << "a run takes the line away";

    QSet<QString> texts;
    for (Refusal r :
         {Refusal::NoPiece, Refusal::Star, Refusal::Wall, Refusal::Source, Refusal::Target,
          Refusal::LevelPiece, Refusal::OwnPiece, Refusal::SlotEmpty, Refusal::TotalUsed})
        texts.insert(text(r));
    EXPECT_EQ(texts.size(), 9);
    EXPECT_FALSE(texts.contains(""));
    closeBoard(f);
}

// The note of a first level names its pieces and "Start"; a click on it takes it away without
// placing on the cell beneath, and it never comes again for that pack, whatever the case of
// its file name. Another pack's first level has its own note, which a click on the board
// also takes away, the click placing its piece.
TEST_F(BoardNotesTest, AFirstLevelsNoteIsShownOnceAndTakenAwayByAClick) {
    setLevels({level({"", "", "", "", "", ">....R", "", "..3"}, {1, 0, 0, 0, 1}, "Eins"),
               level({">"}, {}, "Zwei")});
    const std::string folder = dir.string();
    {
        Form1 f(nullptr, clock);
        f.notes()->setFirstLevels(folder, "Einstieg.llp", 1);
        open(f);
        QLabel* note = f.notes()->noteLabel();
        ASSERT_TRUE(note->isVisible());
        EXPECT_TRUE(f.notes()->note().contains("Umlenker ┐"));
        EXPECT_TRUE(f.notes()->note().contains("„Start“"));
        EXPECT_TRUE(f.notes()->note().contains("Sterne")) << "a star on the board";
        EXPECT_TRUE(f.boardView()->rect().contains(note->geometry()));
        clickStock(f, 4);
        QTest::mouseClick(note, Qt::LeftButton, {}, note->rect().center());
        EXPECT_FALSE(note->isVisible());
        EXPECT_EQ(count(f, 0), 1) << "the click was the note's";
        closeBoard(f);
    }
    EXPECT_TRUE(read(QString::fromStdString(SeenNotesFileName)).contains("einstieg.llp\t1\r\n"));
    {
        Form1 f(nullptr, clock);
        f.notes()->setFirstLevels(folder, "EINSTIEG.LLP", 1);
        open(f);
        EXPECT_EQ(f.notes()->note(), "");
        closeBoard(f);
    }
    {
        Form1 f(nullptr, clock);
        f.notes()->setFirstLevels(folder, "Andere.llp", 1);
        open(f);
        ASSERT_NE(f.notes()->note(), "");
        clickStock(f, 4);
        clickCell(f, 5, 1);
        EXPECT_EQ(f.notes()->note(), "");
        EXPECT_EQ(count(f, 0), 0) << "a click on the board beside the note places as ever";
        closeBoard(f);
    }
    EXPECT_EQ(SeenNotes(folder).seen(SeenNotes::keyOf("andere.LLP", 0)), true);
    EXPECT_EQ(SeenNotes(folder).seen(SeenNotes::keyOf("andere.LLP", 1)), false);
}

}  // namespace
