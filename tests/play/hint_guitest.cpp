// What the board window tells a player who looks for help: the stock pieces named with
// their counts, the chosen one marked in the beam's colour, and the hint key.
#include "play/Form1.h"
#include "play/board_support.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>

using namespace lumor;
using lumortest::level;

namespace {

constexpr QRgb BeamYellow = 0xffffff00;

// The beam must turn down somewhere in row 5 (┐) and right again in row 8 (└).
LevelRecord knick() {
    return level({"", "", "", "", "", ">", "", "", "..........R"}, {2, 0, 0, 0, 1, 0, 1}, "Knick");
}

class HintTest : public lumor::testing::BoardFixture {
protected:
    void open(Form1& f) {
        f.show();
        ASSERT_TRUE(QTest::qWaitFor([&] { return ready(f); }, 10000));
    }
    // The level is built and waits for the player.
    static bool ready(Form1& f) {
        return !f.running() && !f.Timer2->isActive() && f.Command1->isEnabled() &&
               f.messageText().isEmpty();
    }
    void place(Form1& f, int slot, int x, int y) {
        QTest::mouseClick(f.Image1[static_cast<size_t>(slot)], Qt::LeftButton);
        QTest::mouseClick(f.Feld, Qt::LeftButton, {}, QPoint(32 * x + 16, 32 * y + 16));
    }
    // Presses the hint key and waits for the search's answer.
    static void askForHint(Form1& f) {
        const std::optional<Hint> before = f.lastHint();
        QTest::keyClick(&f, Qt::Key_T);
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return !f.hintSearching() && f.lastHint() != before; }, 20000));
    }
    static QImage cell(Form1& f, int x, int y) {
        return f.Feld->picture().copy(32 * x, 32 * y, 32, 32);
    }
};

TEST_F(HintTest, StockPiecesAreNamedWithTheirCountsAndTheChosenOneStandsOut) {
    setLevels({knick()});
    Form1 f(nullptr, clock);
    open(f);
    const QString names[] = {"Wand (noch 0)",       "Kreuz (noch 0)",      "Umlenker ┌ (noch 0)",
                             "Umlenker ┐ (noch 1)", "Umlenker ┘ (noch 0)", "Umlenker └ (noch 1)",
                             "Sand (noch 0)",       "Teiler (noch 0)"};
    for (int s = 1; s <= SlotCount; ++s)
        EXPECT_EQ(f.Image1[static_cast<size_t>(s)]->toolTip(), names[s - 1]);
    place(f, 4, 3, 5);
    EXPECT_EQ(f.Image1[4]->toolTip(), "Umlenker ┐ (noch 0)");

    const QImage chosen = f.Image1[4]->grab().toImage();
    EXPECT_EQ(chosen.pixel(0, 10), qRgb(0, 0, 0)) << "the single-line frame stays";
    EXPECT_EQ(chosen.pixel(2, 10), BeamYellow);
    EXPECT_NE(f.Image1[6]->grab().toImage().pixel(2, 10), BeamYellow);
    const QImage window = f.grab().toImage();
    const QRgb beside = window.pixel(f.Image1[4]->x() - 3, 40);
    EXPECT_TRUE(qRed(beside) > qBlue(beside) + 40 && qGreen(beside) > qBlue(beside) + 40)
        << "a yellow mark behind the chosen slot";
}

// The hint shows one cell for two seconds and counts in the caption; with the first piece
// placed as shown, the next hint finishes the same solution; a new level starts uncounted.
TEST_F(HintTest, TheHintKeyMarksACellOfABestSolution) {
    setLevels({knick(), level({">"}, {}, "Frei")});
    Form1 f(nullptr, clock);
    open(f);
    const QImage plain = cell(f, 1, 5);
    askForHint(f);
    ASSERT_TRUE(f.hintShown());
    const Hint first = *f.hintShown();
    EXPECT_TRUE(first.y == 5 && first.code == DeflectorLeftDown) << first.x << "," << first.y;
    EXPECT_NE(cell(f, first.x, 5), plain) << "the piece shows on its cell";
    EXPECT_EQ(f.model().cell(first.x, 5), Empty) << "but is not placed";
    EXPECT_EQ(f.windowTitle(), "Level 1 - Knick (Passwort:PWKnick) Tipps:1");
    clock.advance(Form1::HintShownMs - 1);
    QTest::qWait(120);
    EXPECT_TRUE(f.hintShown());
    clock.advance(1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !f.hintShown(); }, 5000));
    EXPECT_EQ(cell(f, first.x, 5), plain);

    place(f, 4, first.x, 5);
    askForHint(f);
    EXPECT_EQ(f.lastHint(), (Hint{Hint::Kind::Cell, first.x, 8, DeflectorRightUp}));
    EXPECT_EQ(f.windowTitle(), "Level 1 - Knick (Passwort:PWKnick) Tipps:2");
    place(f, 6, first.x, 8);
    EXPECT_FALSE(f.hintShown()) << "placing on the marked cell ends the hint";
    askForHint(f);
    EXPECT_EQ(f.lastHint()->kind, Hint::Kind::Complete);
    EXPECT_EQ(f.windowTitle(), "Level 1 - Knick (Passwort:PWKnick) Tipps:2") << "not counted";

    bool pressedDuringRun = false;
    clock.onWait = [&](int64_t) {
        if (pressedDuringRun || !f.model().attemptRunning()) return;
        pressedDuringRun = true;
        QTest::keyClick(&f, Qt::Key_T);
        EXPECT_FALSE(f.hintSearching()) << "no hint during a run";
    };
    f.Command1->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return f.model().level() == 1 && ready(f); }, 20000));
    EXPECT_TRUE(pressedDuringRun);
    EXPECT_EQ(f.windowTitle(), "Level 2 - Frei (Passwort:PWFrei)");
    f.close();
}

}  // namespace
