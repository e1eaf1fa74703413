// The board window by keyboard alone, with its cursor and undo; the board scaled to the
// window, full screen, and the size kept for the next window.
#include "board_support.h"

#include "play/BoardNotes.h"
#include "play/boardlayout.h"

using namespace lumor;
using lumor::testing::BoardFixture;
using lumortest::level;

namespace {

using Form1KeysTest = BoardFixture;

// Solved by ┐ on (5, 5) and └ on (5, 8).
LevelRecord knick() {
    return level({"", "...............#", "", "", "", ">", "", "", "..........R"},
                 {2, 0, 0, 0, 1, 0, 1}, "Knick");
}

void key(Form1& f, Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) {
    QTest::keyClick(&f, k, m);
}
void keys(Form1& f, Qt::Key k, int times) {
    for (int i = 0; i < times; ++i) key(f, k);
}

// The first key shows the cursor in the board's middle; the arrows move it (not beyond the
// edge), the digits choose, Space and Enter place and take back, Ctrl+Z takes back newest
// first; nothing of it while the beams run; S starts them and the cursor shows on the next
// level where it was.
TEST_F(Form1KeysTest, ALevelIsPlayedByKeysAloneWithUndo) {
    setLevels({knick(), level({">"}, {}, "Frei")});
    Form1 f(nullptr, clock);
    open(f);
    const QImage bare = f.boardView()->picture().copy();
    const auto framed = [&](int x, int y) {
        return cellPicture(f, x, y) != bare.copy(32 * x, 32 * y, 32, 32);
    };
    const auto at = [&f](int x, int y) { return f.cursor() == BoardLayout::Cell{x, y}; };
    key(f, Qt::Key_Space);
    ASSERT_TRUE(at(9, 5));
    EXPECT_TRUE(framed(9, 5));
    key(f, Qt::Key_Space);
    EXPECT_EQ(f.notes()->line(), "Wähle zuerst oben einen Stein.") << "as a click says";
    keys(f, Qt::Key_Up, 7);
    EXPECT_TRUE(at(9, 0)) << "stops at the edge";
    EXPECT_FALSE(framed(9, 5));
    keys(f, Qt::Key_Down, 5);
    keys(f, Qt::Key_Left, 4);
    ASSERT_TRUE(at(5, 5));
    EXPECT_TRUE(framed(5, 5) && !framed(9, 0));

    key(f, Qt::Key_4);
    EXPECT_EQ(f.model().selectedSlot(), 4);
    EXPECT_EQ(f.stockImage(4)->borderStyle(), 1);
    key(f, Qt::Key_Space);
    EXPECT_EQ(f.model().cell(5, 5), DeflectorLeftDown);
    EXPECT_TRUE(count(f, 0) == 1 && count(f, 4) == 0);
    EXPECT_NE(cellPicture(f, 5, 5), bilder().tile(DeflectorLeftDown)) << "framed on the piece";
    key(f, Qt::Key_Return);
    EXPECT_EQ(f.model().cell(5, 5), Empty) << "the player's piece taken back";
    EXPECT_TRUE(count(f, 0) == 2 && count(f, 4) == 1);
    key(f, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(f.model().cell(5, 5), DeflectorLeftDown);
    keys(f, Qt::Key_Down, 3);
    key(f, Qt::Key_6, Qt::KeypadModifier);
    key(f, Qt::Key_Space);
    EXPECT_EQ(f.model().cell(5, 8), DeflectorRightUp);

    key(f, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(f.model().cell(5, 8), Empty);
    EXPECT_TRUE(framed(5, 8)) << "the cursor stays on the emptied cell";
    key(f, Qt::Key_Z, Qt::ControlModifier);
    key(f, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(f.model().cell(5, 5), Empty);
    EXPECT_EQ(f.model().stock(), (PlayModel::Stock{2, 0, 0, 0, 1, 0, 1}));
    EXPECT_EQ(f.model().selectedSlot(), 6) << "undo keeps the choice";
    key(f, Qt::Key_Space);
    keys(f, Qt::Key_Up, 3);
    key(f, Qt::Key_4);
    key(f, Qt::Key_Space);
    ASSERT_EQ(f.model().stock(0), 0);

    bool tried = false;
    clock.onWait = [&](int64_t) {
        if (tried || f.model().phase() != AttemptPhase::Running) return;
        tried = true;
        key(f, Qt::Key_Z, Qt::ControlModifier);
        key(f, Qt::Key_Left);
        key(f, Qt::Key_Space);
        key(f, Qt::Key_1);
        EXPECT_TRUE(at(5, 5));
        EXPECT_EQ(f.model().cell(5, 5), DeflectorLeftDown);
        EXPECT_EQ(f.model().selectedSlot(), -1);
    };
    key(f, Qt::Key_S);
    ASSERT_TRUE(reaches(f, 1));
    EXPECT_TRUE(tried);
    EXPECT_TRUE(at(5, 5));
    EXPECT_NE(cellPicture(f, 5, 5), bilder().tile(Empty)) << "the cursor on the next level";
    clock.onWait = nullptr;
    f.close();
}

// Larger, the board is drawn in whole multiples, each picture pixel a square, centred with
// the controls; clicks find their cells. F11 switches full screen, Escape leaves it; the size
// chosen comes back with the next window.
TEST_F(Form1KeysTest, TheBoardScalesCrisplyAndTheSizeIsKept) {
    setLevels({knick()});
    {
        Form1 f(nullptr, clock);
        open(f);
        EXPECT_EQ(f.size(), QSize(642, 468));
        EXPECT_EQ(f.boardView()->geometry(), QRect(0, 48, 640, 383));
        for (const int k : {2, 3}) {
            f.resize(1640 + 640 * (k - 2), 1000 + 383 * (k - 2));
            ASSERT_EQ(f.layout().scale, k);
            EXPECT_EQ(f.boardView()->geometry(),
                      QRect(f.layout().boardX, f.layout().boardY, 640 * k, 383 * k));
            EXPECT_EQ(f.startButton()->geometry(),
                      QRect(552 + (f.width() - 642) / 2, f.layout().boardY + 383 * k + 9, 89, 25));
            const QImage big =
                f.boardView()
                    ->picture()
                    .scaled(640 * k, 384 * k, Qt::IgnoreAspectRatio, Qt::FastTransformation)
                    .copy(0, 0, 640 * k, 383 * k);
            EXPECT_EQ(f.boardView()->grab().toImage().convertToFormat(big.format()), big);
        }
        clickStock(f, 4);
        QTest::mouseClick(f.boardView(), Qt::LeftButton, {}, QPoint(3 * 32 * 7, 3 * 32 * 4 - 1));
        EXPECT_EQ(f.model().cell(7, 3), DeflectorLeftDown);
        EXPECT_EQ(cellPicture(f, 7, 3), bilder().tile(DeflectorLeftDown));

        key(f, Qt::Key_F11);
        EXPECT_TRUE(f.isFullScreen());
        key(f, Qt::Key_F11);
        EXPECT_FALSE(f.isFullScreen());
        key(f, Qt::Key_F11);
        key(f, Qt::Key_Escape);
        EXPECT_FALSE(f.isFullScreen());
        EXPECT_TRUE(f.isVisible());
        f.resize(900, 700);
        f.showMaximized();
        f.close();
    }
    EXPECT_EQ(lumortest::readFile(dir / ".daten/lumor/Brettfenster.txt"),
              "Breite 900\nHoehe 700\nAnsicht maximiert\n");
    Form1 again(nullptr, clock);
    open(again);
    EXPECT_TRUE(again.isMaximized());
    EXPECT_EQ(again.normalGeometry().size(), QSize(900, 700));
    again.close();
}

}  // namespace
