// The board window played through its controls: placing, runs, endings, pacing,
// the position frame, music and closing in every phase.
#include "board_support.h"

#include "app/Audio.h"
#include "play/Form1.h"
#include "play/cells.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>

#include <functional>
#include <set>

using namespace lumor;
using lumor::testing::BoardFixture;
using lumortest::level;

namespace {

constexpr QRgb YellowRgb = 0xffffff00;

// Source right at (0, 5), target taking a beam moving right at (10, 8): solved by a
// deflector turning right into down at (5, 5) and one turning down into right at (5, 8).
LevelRecord knick() {
    return level({"", "...............#", "", "", "", ">", "", "", "..........R"},
                 {2, 0, 0, 0, 1, 0, 1, 0, 0}, "Knick");
}
// A beam that leaves the board: won with no target.
LevelRecord frei() { return level({">"}, {}, "Frei"); }
// The beam runs into a wall before the target: fails whatever is placed off its path.
LevelRecord wand() {
    return level({"", "", "", "", "", ">...#.....R"}, {3, 3, 0, 0, 0, 1}, "Wand");
}
// A long straight run: 19 cells to the target.
LevelRecord lang() { return level({"", "", "", "", "", ">..................R"}, {}, "Lang"); }

class Form1Test : public BoardFixture {
protected:
    void open(Form1& f) {
        f.onMessage = [this](const QString& t) { messages.push_back(t); };
        f.show();
        ASSERT_TRUE(QTest::qWaitFor([&] { return ready(f); }, 10000));
    }
    // The level is built and waits for the player.
    static bool ready(Form1& f) {
        return !f.running() && !f.Timer2->isActive() && f.Command1->isEnabled() &&
               f.messageText().isEmpty();
    }
    static void clickStock(Form1& f, int slot) {
        QTest::mouseClick(f.Image1[static_cast<size_t>(slot)], Qt::LeftButton);
    }
    static void clickCell(Form1& f, int x, int y, Qt::MouseButton b = Qt::LeftButton) {
        QTest::mouseClick(f.Feld, b, {}, QPoint(32 * x + 16, 32 * y + 16));
    }
    // Waits until the run and its ending are over and the board is ready again.
    static bool idle(Form1& f) {
        return QTest::qWaitFor(
            [&] {
                return !f.running() && f.Command1->isEnabled() && f.Command1->text() == "Start" &&
                       !f.Timer2->isActive();
            },
            20000);
    }
    static int count(Form1& f, int i) { return f.Anzahl[static_cast<size_t>(i)]->text().toInt(); }
    static QImage cellPicture(Form1& f, int x, int y) {
        return f.Feld->picture().copy(32 * x, 32 * y, 32, 32);
    }

    std::vector<QString> messages;
};

// The window as built, then a level solved by clicks, by the Start button or, with
// OptAutostart, by placing the last piece.
TEST_F(Form1Test, SolvedByClicksShowsSiegAndStartsTheNextLevel) {
    for (bool autostart : {false, true}) {
        SCOPED_TRACE(autostart);
        state().Options[OptAutostart] = autostart;
        messages.clear();
        setLevels({knick(), frei()});
        Form1 f(nullptr, clock);
        EXPECT_EQ(f.size(), QSize(642, 468));
        open(f);
        EXPECT_FALSE(f.Command2->isVisible());  // music off
        EXPECT_EQ(f.windowTitle(), "Level 1 - Knick (Passwort:PWKnick)");
        EXPECT_EQ(cellPicture(f, 15, 1), bilder().tile(Wall));
        EXPECT_EQ(count(f, 0), 2);
        clickStock(f, 4);
        EXPECT_EQ(f.Image1[4]->borderStyle(), 1);
        clickCell(f, 5, 5);
        EXPECT_EQ(f.model().cell(5, 5), DeflectorLeftDown);
        EXPECT_EQ(cellPicture(f, 5, 5), bilder().tile(DeflectorLeftDown));
        EXPECT_EQ(count(f, 0), 1);
        EXPECT_EQ(count(f, 4), 0);
        clickCell(f, 6, 6);  // slot 4 is used up: nothing happens
        EXPECT_EQ(f.model().cell(6, 6), Empty);
        EXPECT_FALSE(f.Timer1->isActive());
        clickStock(f, 6);
        EXPECT_EQ(f.Image1[4]->borderStyle(), 0);
        clickCell(f, 5, 8);
        EXPECT_EQ(count(f, 0), 0);
        if (!autostart) QTest::mouseClick(f.Command1, Qt::LeftButton);

        ASSERT_TRUE(QTest::qWaitFor([&] { return f.model().level() == 1 && ready(f); }, 20000));
        EXPECT_EQ(messages, (std::vector<QString>{"Knick", "Sieg!", "Frei"}));
        EXPECT_EQ(f.windowTitle(), "Level 2 - Frei (Passwort:PWFrei)");
        EXPECT_EQ(f.model().cell(5, 5), Empty);
        EXPECT_EQ(f.model().saved(), state().pack.levels[1]);
        f.close();
    }
}

// A failed run keeps the pieces unless OptResetAfterFailure; "Noch mal" then restores the
// level and the full stock either way. The beam stopped by the wall throws warm sparks at
// the wall's side during the 50 finale frames; once they have died the board is as the
// run left it, pixel for pixel.
TEST_F(Form1Test, FailureKeepsThePiecesUnlessResetAfterFailureAndNochMalRestores) {
    for (bool reset : {false, true}) {
        SCOPED_TRACE(reset);
        state().Options[OptResetAfterFailure] = reset;
        messages.clear();
        setLevels({wand()});
        Form1 f(nullptr, clock);
        open(f);
        clickStock(f, 1);
        clickCell(f, 2, 0);
        clickCell(f, 3, 0);
        QImage atEnd;
        f.onCellStep = [&] { atEnd = f.Feld->picture().copy(); };
        int finaleWaits = 0, sparkPixels = 0;
        bool clean = false;
        clock.onWait = [&](int64_t) {
            if (f.Command1->text() != "Start" || messages.size() != 1) return;
            if (++finaleWaits <= 3) {
                for (int y = 120; y < 232;
                     ++y)  // around the wall's left side, (128, 160)-(128, 191)
                    for (int x = 88; x < 170; ++x) {
                        const QRgb p = f.Feld->picture().pixel(x, y);
                        sparkPixels += p != atEnd.pixel(x, y) && qRed(p) == 255 && qGreen(p) >= 128;
                    }
            }
            if (finaleWaits == 20) clean = f.Feld->picture() == atEnd;
        };
        QTest::mouseClick(f.Command1, Qt::LeftButton);
        ASSERT_TRUE(QTest::qWaitFor([&] { return messages.size() == 2; }, 20000));
        ASSERT_TRUE(idle(f));
        clock.onWait = nullptr;
        EXPECT_EQ(finaleWaits, 50);
        EXPECT_GT(sparkPixels, 10);
        EXPECT_TRUE(clean);
        EXPECT_EQ(messages.back(), "Fehlschlag!");
        EXPECT_EQ(f.model().level(), 0);
        EXPECT_EQ(f.Command3->text(), "Noch mal");
        EXPECT_EQ(f.model().selectedSlot(), -1);
        EXPECT_EQ(f.model().cell(2, 0), reset ? Empty : Wall);
        EXPECT_EQ(cellPicture(f, 2, 0), bilder().tile(reset ? Empty : Wall));
        EXPECT_EQ(count(f, 0), reset ? 3 : 1);
        EXPECT_EQ(count(f, 1), reset ? 3 : 1);
        clickCell(f, 3, 0, Qt::RightButton);  // no slot chosen after a run: takes nothing
        EXPECT_EQ(f.model().cell(3, 0), reset ? Empty : Wall);

        clickStock(f, 5);
        clickCell(f, 6, 0);
        QTest::mouseClick(f.Command3, Qt::LeftButton);
        for (int x : {2, 3, 6}) EXPECT_EQ(f.model().cell(x, 0), Empty) << x;
        EXPECT_EQ(cellPicture(f, 6, 0), bilder().tile(Empty));
        EXPECT_EQ(count(f, 0), 3);
        EXPECT_EQ(count(f, 1), 3);
        EXPECT_EQ(count(f, 5), 1);
        EXPECT_EQ(f.model().selectedSlot(), -1);
        EXPECT_EQ(f.Image1[5]->borderStyle(), 0);
        f.close();
    }
}

TEST_F(Form1Test, TakingBackOnlyThePlayersPieces) {
    setLevels({wand()});
    Form1 f(nullptr, clock);
    open(f);
    clickStock(f, 1);
    clickCell(f, 2, 0);
    clickStock(f, 5);
    clickCell(f, 6, 0);
    clickCell(f, 4, 5, Qt::RightButton);  // the level's own wall
    clickCell(f, 7, 7, Qt::RightButton);  // an empty cell
    EXPECT_EQ(f.model().cell(4, 5), Wall);
    EXPECT_EQ(count(f, 0), 1);

    clickCell(f, 6, 0, Qt::RightButton);
    EXPECT_EQ(f.model().cell(6, 0), Empty);
    EXPECT_EQ(cellPicture(f, 6, 0), bilder().tile(Empty));
    EXPECT_EQ(count(f, 0), 2);
    EXPECT_EQ(count(f, 5), 1);
    clickCell(f, 2, 0, Qt::RightButton);  // takes the wall and, by the option, its slot
    EXPECT_EQ(f.model().selectedSlot(), 1);
    EXPECT_EQ(f.Image1[1]->borderStyle(), 1);
    EXPECT_EQ(count(f, 1), 3);

    state().Options[OptGameRightClickTakes] = false;
    clickCell(f, 2, 0);
    clickStock(f, 5);
    clickCell(f, 2, 0, Qt::RightButton);
    EXPECT_EQ(f.model().selectedSlot(), 5);  // the choice stays
    EXPECT_EQ(count(f, 1), 3);
    f.close();
}

// One run: "Stop" holds it (nothing moves), "Weiter" resumes it, "Abbrechen" fails it
// after the current cell step.
TEST_F(Form1Test, PauseResumeAndAbbrechen) {
    setLevels({lang()});
    Form1 f(nullptr, clock);
    open(f);
    int waits = 0, pausedWaits = 0, stepsAfterResume = 0, stepsAfterCancel = 0;
    bool resumed = false, cancelled = false;
    QImage atPause;
    f.onCellStep = [&] {
        stepsAfterResume += resumed;
        stepsAfterCancel += cancelled;
    };
    clock.onWait = [&](int64_t) {
        if (++waits == 100) {
            QTest::mouseClick(f.Command1, Qt::LeftButton);
            EXPECT_EQ(f.Command1->text(), "Weiter");
            EXPECT_EQ(f.model().BeamState, -1);
        } else if (f.model().BeamState == -1) {
            if (pausedWaits == 0) atPause = f.Feld->picture().copy();
            if (++pausedWaits == 6) {
                EXPECT_EQ(f.Feld->picture(), atPause);  // nothing moved while paused
                QTest::mouseClick(f.Command1, Qt::LeftButton);
                EXPECT_EQ(f.Command1->text(), "Stop");
                resumed = true;
            }
        } else if (waits == 250) {
            EXPECT_EQ(f.Command3->text(), "Abbrechen");
            QTest::mouseClick(f.Command3, Qt::LeftButton);
            cancelled = true;
        }
    };
    QTest::mouseClick(f.Command1, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return messages.size() == 2; }, 20000));
    ASSERT_TRUE(idle(f));
    EXPECT_EQ(pausedWaits, 6);
    EXPECT_GT(stepsAfterResume, 2);
    EXPECT_EQ(stepsAfterCancel, 0);
    EXPECT_EQ(messages[1], "Fehlschlag!");
    EXPECT_EQ(f.Command3->text(), "Noch mal");
    f.close();
}

// Which sub-steps wait, seen from the beam front at each wait, and the time of a cell step.
TEST_F(Form1Test, TurboAndTurboFasterPacing) {
    state().Options[OptParticles] = false;
    struct Mode {
        bool turbo, faster;
        std::set<int> fronts;
        int64_t step;
    };
    std::vector<Mode> modes{
        {false, false, {}, 384}, {true, false, {7, 15, 23, 31}, 48}, {true, true, {31}, 12}};
    for (Mode& m : modes) {
        SCOPED_TRACE(m.step);
        state().Options[OptTurboFaster] = m.faster;
        messages.clear();
        setLevels({lang(), frei()});
        Form1 f(nullptr, clock);
        open(f);
        if (m.turbo) QTest::mouseClick(f.Command4, Qt::LeftButton);
        EXPECT_EQ(f.Command4->text(), m.turbo ? "Turbo ausschalten" : "Turbo einschalten");
        std::vector<int64_t> stepTimes;
        std::set<int> fronts;
        bool inRun = false;
        f.onCellStep = [&] {
            stepTimes.push_back(clock.nowMs());
            inRun = true;
        };
        clock.onWait = [&](int64_t) {
            if (!inRun || f.Command1->text() != "Stop") return;
            const int row = 32 * 5 + 16;
            int front = -1;
            for (int x = 0; x < 640; ++x)
                if (f.Feld->picture().pixel(x, row) == YellowRgb) front = x;
            if (front >= 32 && front < 32 * 18) fronts.insert(front % 32);
        };
        QTest::mouseClick(f.Command1, Qt::LeftButton);
        ASSERT_TRUE(QTest::qWaitFor([&] { return f.model().level() == 1 && ready(f); }, 20000));
        ASSERT_GE(stepTimes.size(), 10u);
        for (size_t i = 2; i + 1 < stepTimes.size(); ++i)
            EXPECT_EQ(stepTimes[i] - stepTimes[i - 1], m.step) << i;
        if (m.turbo)
            EXPECT_EQ(fronts, m.fronts);
        else
            EXPECT_EQ(fronts.size(), 32u);  // a wait after every sub-step
        f.close();
        clock.onWait = nullptr;
    }
}

// A beam through sand, a deflector and a splitter: the yellow band in rows (or columns)
// 14 to 18 of each cell it crossed.
TEST_F(Form1Test, BoardPixelsAfterARunThroughSandDeflectorAndSplitter) {
    state().Options[OptParticles] = false;
    setLevels({level({"", "", ">..~..┐", "", "", "", "......T"}, {}, "Wege"), frei()});
    Form1 f(nullptr, clock);
    open(f);
    QImage last;
    f.onCellStep = [&] { last = f.Feld->picture().copy(); };
    QTest::mouseClick(f.Command1, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return f.model().level() == 1 && ready(f); }, 20000));
    ASSERT_FALSE(last.isNull());

    auto px = [&](int cx, int cy, int x, int y) { return last.pixel(32 * cx + x, 32 * cy + y); };
    // The band across a cell: rows 14 to 18 (columns when vertical) and not one further.
    auto band = [&](int cx, int cy, bool vertical) {
        for (int a = 0; a < 32; ++a) {
            auto at = [&](int b) { return vertical ? px(cx, cy, b, a) : px(cx, cy, a, b); };
            for (int b = 14; b <= 18; ++b)
                ASSERT_EQ(at(b), YellowRgb) << cx << "," << cy << " " << a << "," << b;
            ASSERT_NE(at(13), YellowRgb) << cx << "," << cy << " " << a;
            ASSERT_NE(at(19), YellowRgb) << cx << "," << cy << " " << a;
        }
    };
    for (int cx : {1, 2, 3, 4, 5}) band(cx, 2, false);  // (3, 2): the eaten sand, now empty
    EXPECT_EQ(px(3, 2, 5, 5), bilder().tile(Empty).pixel(5, 5));
    for (int cy : {3, 4, 5}) band(6, cy, true);
    for (int cx : {0, 2, 5, 7, 12, 19}) band(cx, 6, false);
    // The deflector: in from the left to the middle, out through the bottom.
    for (int x = 0; x <= 12; ++x) EXPECT_EQ(px(6, 2, x, 16), YellowRgb) << x;
    for (int y = 19; y < 32; ++y) EXPECT_EQ(px(6, 2, 16, y), YellowRgb) << y;
    EXPECT_EQ(px(6, 2, 25, 16), bilder().tile(DeflectorLeftDown).pixel(25, 16));
    EXPECT_EQ(px(6, 2, 16, 5), bilder().tile(DeflectorLeftDown).pixel(16, 5));
    // Nothing is drawn on the splitter (but for the box of the last sub-step above it,
    // which includes its second corner one row further down).
    EXPECT_EQ(last.copy(32 * 6, 32 * 6 + 1, 32, 31), bilder().tile(Splitter).copy(0, 1, 32, 31));
    // After the run the sand is back.
    EXPECT_EQ(state().pack.levels[0].cell(3, 2), Sand);
    f.close();
}

TEST_F(Form1Test, PositionFrameIsDrawnInXorAndErasedWithoutATrace) {
    state().Options[OptPositionFrame] = true;
    setLevels({knick()});
    Form1 f(nullptr, clock);
    open(f);
    ASSERT_TRUE(f.positionFrameOn());
    const QImage before = f.Feld->picture().copy();
    f.ErstellePosFeld(15, 1);
    const QRgb wall = bilder().tile(Wall).pixel(0, 0);
    EXPECT_EQ(f.Feld->picture().pixel(32 * 15, 32), (wall ^ 0x00ffff01u) | 0xff000000u);
    EXPECT_EQ(f.Feld->picture().pixel(32 * 15 + 5, 32 + 5), before.pixel(32 * 15 + 5, 32 + 5));
    f.ErstellePosFeld(15, 1);  // every pixel of the outline once: twice is nothing
    EXPECT_EQ(f.Feld->picture(), before);
    f.ErstellePosFeld(15, 1);
    f.LöschPosFeld();
    EXPECT_EQ(f.Feld->picture(), before);

    // The mouse carries the frame from cell to cell.
    f.Feld_MouseMove(32 * 3 + 4, 32 * 4 + 4);
    EXPECT_NE(f.Feld->picture(), before);
    f.Feld_MouseMove(32 * 3 + 20, 32 * 4 + 20);  // same cell: no change
    f.Feld_MouseMove(32 * 7 + 1, 32 * 9 + 1);
    EXPECT_EQ(cellPicture(f, 3, 4), before.copy(32 * 3, 32 * 4, 32, 32));
    EXPECT_NE(cellPicture(f, 7, 9), before.copy(32 * 7, 32 * 9, 32, 32));
    f.LöschPosFeld();
    EXPECT_EQ(f.Feld->picture(), before);

    // Moving over a count label or a stock image takes the frame away.
    for (QWidget* w : {static_cast<QWidget*>(f.Anzahl[2]), static_cast<QWidget*>(f.Image1[6])}) {
        f.ErstellePosFeld(9, 9);
        ASSERT_NE(f.Feld->picture(), before);
        QMouseEvent move(QEvent::MouseMove, QPointF(3, 3), w->mapToGlobal(QPointF(3, 3)),
                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(w, &move);
        EXPECT_EQ(f.Feld->picture(), before);
    }
    f.close();
}

TEST_F(Form1Test, MusicButtonSkipsTheTitleSong) {
    for (const char* name : {"a.ogg", "Titel.ogg", "b.ogg"}) write(QString("Musik/") + name, {});
    state().MusicOn = true;
    setLevels({knick()});
    Form1 f(nullptr, clock);
    open(f);
    EXPECT_TRUE(f.Command2->isVisible());
    EXPECT_TRUE(f.Timer3->isActive());
    // The first tick of the song watch finds nothing playing and starts a song.
    state().CurrentSong.clear();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !state().CurrentSong.empty(); }, 3000));
    EXPECT_EQ(QString::fromStdString(state().CurrentSong).toUpper().indexOf("TITEL"), -1);
    for (int i = 0; i < 7; ++i) {
        QTest::mouseClick(f.Command2, Qt::LeftButton);
        ASSERT_NE(f.musicIndex(), 2) << "the title song";  // listing: a.ogg, b.ogg, Titel.ogg
        EXPECT_TRUE(f.windowTitle().startsWith("Level 1 - Knick (Passwort:PWKnick) Musik:"));
        EXPECT_TRUE(f.windowTitle().endsWith(f.musicIndex() == 0 ? "a.ogg" : "b.ogg"));
    }
    f.close();
}

// The seven sounds are found in the program folder under the names the window builds
// ("sound\\start.wav" for "Sound/start.wav"), and OptSound silences them.
TEST_F(Form1Test, SoundsComeFromTheProgramFolder) {
    const QDir shipped(QStringLiteral(LUMOR_PROGRAM_DIR "/Sound"));
    if (!shipped.exists("start.wav")) GTEST_SKIP() << "the build has not made the sounds";
    QDir().mkpath(path("Sound"));
    for (const QString& name : shipped.entryList(QDir::Files))
        ASSERT_TRUE(QFile::copy(shipped.filePath(name), path("Sound/" + name)));
    for (bool soundOn : {false, true}) {
        SCOPED_TRACE(soundOn);
        shutdownAudio();  // nothing left sounding from before
        state().Options[OptSound] = soundOn;
        setLevels({lang(), frei()});
        Form1 f(nullptr, clock);
        open(f);
        bool heard = false;
        int runWaits = 0;
        clock.onWait = [&](int64_t) {
            if (f.Command1->text() == "Stop" && ++runWaits <= 3) heard = heard || soundPlaying();
        };
        QTest::mouseClick(f.Command1, Qt::LeftButton);
        ASSERT_TRUE(QTest::qWaitFor([&] { return f.model().level() == 1 && ready(f); }, 20000));
        EXPECT_EQ(heard, soundOn);
        f.close();
        clock.onWait = nullptr;
    }
}

TEST_F(Form1Test, WithoutAutoRedrawASystemRepaintShowsTheMessage) {
    state().Options[OptAutoRedraw] = false;
    setLevels({knick()});
    Form1 f(nullptr, clock);
    bool checked = false;
    int waits = 0;
    clock.onWait = [&](int64_t) {
        if (checked || f.messageText() != "Knick" || ++waits < 20) return;  // bright by now
        checked = true;
        f.Feld->picture().fill(Qt::red);  // as if covered
        f.Feld->repaint();                // uncovered: the window system asks for the board
        EXPECT_EQ(f.Feld->picture().pixel(2, 2), 0xff000000u);
        bool text = false;
        for (int x = 0; x < 640 && !text; ++x) text = qRed(f.Feld->picture().pixel(x, 191)) > 100;
        EXPECT_TRUE(text);
    };
    open(f);
    EXPECT_TRUE(checked);
    QTest::qWait(20);  // our own repaints are done
    f.Feld->picture().fill(Qt::red);
    f.Feld->repaint();
    EXPECT_EQ(cellPicture(f, 0, 5), bilder().tile(SourceRight));
    f.close();
}

// ---------------------------------------------------------------------------------
// Closing in every phase: the flow ends at once, nothing runs on, nothing is shown.

class CloseTest : public Form1Test {
protected:
    void expectClosed(Form1& f) {
        ASSERT_TRUE(QTest::qWaitFor([&] { return !f.isVisible() && !f.running(); }, 20000));
        QTest::qWait(20);
        EXPECT_FALSE(f.Timer1->isActive());
        EXPECT_FALSE(f.Timer2->isActive());
        EXPECT_FALSE(f.Timer3->isActive());
        EXPECT_EQ(f.model().BeamState, 2);
        EXPECT_EQ(f.result(), QDialog::Rejected);
    }
};

// Each phase under exec: the window closes on the n-th wait spent in it; that wait is the
// last, and only the messages named were shown.
TEST_F(CloseTest, InEveryPhase) {
    using InPhase = std::function<bool(Form1&)>;
    struct Phase {
        const char* name;
        std::vector<LevelRecord> levels;
        bool start;  // click "Start" once the level waits
        int n;
        InPhase in;
        std::vector<QString> shown;
    };
    const InPhase always = [](Form1&) { return true; };
    const InPhase running = [](Form1& f) { return f.Command1->text() == "Stop"; };
    const Phase phases[] = {
        {"intro fade-in", {knick()}, false, 5, always, {"Knick"}},  // no hold, no fade-out
        {"intro fade-out", {knick()}, false, 40, always, {"Knick"}},
        {"run", {lang()}, true, 50, running, {"Lang"}},
        {"pause",
         {lang()},
         true,
         3,
         [](Form1& f) {
             if (f.Command1->text() == "Stop") f.Command1->click();
             return f.model().BeamState == -1;
         },
         {"Lang"}},
        // Once the run has ended the button reads "Start" again: the waits are the finale's.
        {"finale",
         {frei(), frei()},
         true,
         10,
         [&](Form1& f) { return f.Command1->text() == "Start" && messages.size() == 1; },
         {"Frei"}},
        {"fireworks",
         {frei()},
         true,
         200,
         [](Form1& f) { return f.messageText() == "Ende gut" && f.Command1->text() == "Start"; },
         {"Frei", "Sieg!", "Ende gut"}},
    };
    state().FinalMessage = "Ende gut";
    for (const Phase& p : phases) {
        SCOPED_TRACE(p.name);
        messages.clear();
        setLevels(p.levels);
        Form1 f(nullptr, clock);
        f.onMessage = [this](const QString& t) { messages.push_back(t); };
        int waits = 0;
        bool started = false;  // waits count from the click on "Start" for the later phases
        clock.onWait = [&](int64_t) {
            if ((started || !p.start) && p.in(f) && ++waits == p.n) f.close();
        };
        QTimer::singleShot(0, &f, [&] {
            if (p.start && QTest::qWaitFor([&] { return ready(f); }, 10000))
                started = true, f.Command1->click();
        });
        EXPECT_EQ(f.exec(), QDialog::Rejected);
        expectClosed(f);
        EXPECT_EQ(waits, p.n);
        EXPECT_EQ(messages, p.shown);
        EXPECT_EQ(f.windowTitle() == "Lumor",
                  !p.start);  // the intro closed before the level was built
        clock.onWait = nullptr;
    }
}

// Escape does not close the window; the last level without a final message and a start
// level outside the pack close it by themselves.
TEST_F(CloseTest, EscapeIsIgnoredTheEndAndABadStartLevelClose) {
    setLevels({knick()});
    Form1 f(nullptr, clock);
    open(f);
    QTest::keyClick(&f, Qt::Key_Escape);
    EXPECT_TRUE(f.isVisible());
    EXPECT_EQ(f.model().BeamState, 0);
    f.close();
    expectClosed(f);

    messages.clear();
    state().FinalMessage.clear();
    setLevels({frei()});
    Form1 last(nullptr, clock);
    open(last);
    last.Command1->click();
    expectClosed(last);
    EXPECT_EQ(messages, (std::vector<QString>{"Frei", "Sieg!"}));

    state().handover.set(5);
    Form1 outside(nullptr, clock);
    outside.show();
    expectClosed(outside);
}

}  // namespace
