// The board window played through its controls: the play model shown in captions, counts
// and pictures, the run drawn and paced, the endings, music and sounds, and closing in
// every phase.
#include "board_support.h"

#include "app/Audio.h"
#include "play/Form1.h"
#include "support/edition.h"

#include <QApplication>
#include <QDir>
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
constexpr int BeamRow = 5;  // the row the beams of "Wand" and "Lang" run along

// Solved by ┐ at (5, 5), turning the beam down, and └ at (5, 8), turning it right.
LevelRecord knick() {
    return level({"", "...............#", "", "", "", ">", "", "", "..........R"},
                 {2, 0, 0, 0, 1, 0, 1}, "Knick");
}
// The beam leaves the board: won with no target.
LevelRecord frei() { return level({">"}, {}, "Frei"); }
// A wall before the target: fails whatever is placed off the beam's row.
LevelRecord wand() {
    return level({"", "", "", "", "", ">...#.....R"}, {3, 3, 0, 0, 0, 1}, "Wand");
}
// 19 cells to the target.
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
    // The run and its ending are over (on the same level or the next).
    bool runOver(Form1& f, size_t messagesAfter) {
        return QTest::qWaitFor([&] { return messages.size() >= messagesAfter && ready(f); }, 20000);
    }
    static void clickStock(Form1& f, int slot) {
        QTest::mouseClick(f.Image1[static_cast<size_t>(slot)], Qt::LeftButton);
    }
    static void clickCell(Form1& f, int x, int y, Qt::MouseButton b = Qt::LeftButton) {
        QTest::mouseClick(f.Feld, b, {}, QPoint(CellPixels * x + 16, CellPixels * y + 16));
    }
    static int count(Form1& f, int i) { return f.Anzahl[static_cast<size_t>(i)]->text().toInt(); }
    static QImage cellPicture(const Form1& f, int x, int y) {
        return f.Feld->picture().copy(CellPixels * x, CellPixels * y, CellPixels, CellPixels);
    }
    // The rightmost yellow pixel of a board row: where the beam's front is.
    static int front(const Form1& f, int y) {
        int x = -1;
        for (int i = 0; i < BoardPixelWidth; ++i)
            if (f.Feld->picture().pixel(i, y) == YellowRgb) x = i;
        return x;
    }

    std::vector<QString> messages;
};

using Form1InEachEdition = lumortest::InEachEdition<Form1Test>;
LUMOR_IN_EACH_EDITION(Form1InEachEdition);

// A level solved by clicks, started by "Start" or, with OptAutostart, by the last piece.
TEST_P(Form1InEachEdition, SolvedByClicksShowsSiegAndStartsTheNextLevel) {
    for (bool autostart : {false, true}) {
        SCOPED_TRACE(autostart);
        state().Options[OptAutostart] = autostart;
        messages.clear();
        setLevels({knick(), frei()});
        Form1 f(nullptr, clock);
        EXPECT_EQ(f.size(), QSize(642, 468));
        open(f);
        EXPECT_FALSE(f.Command2->isVisible()) << "music off";
        EXPECT_EQ(f.windowTitle(), "Level 1 - Knick (Passwort:PWKnick)");
        EXPECT_EQ(cellPicture(f, 15, 1), bilder().tile(Wall));
        clickStock(f, 4);
        EXPECT_EQ(f.Image1[4]->borderStyle(), 1);
        clickCell(f, 5, 5);
        EXPECT_EQ(cellPicture(f, 5, 5), bilder().tile(DeflectorLeftDown));
        EXPECT_EQ(count(f, 0), 1);
        EXPECT_EQ(count(f, 4), 0);
        clickStock(f, 6);
        EXPECT_EQ(f.Image1[4]->borderStyle(), 0);
        clickCell(f, 5, 8);
        if (!autostart) QTest::mouseClick(f.Command1, Qt::LeftButton);
        ASSERT_TRUE(QTest::qWaitFor([&] { return f.model().level() == 1 && ready(f); }, 20000));
        EXPECT_EQ(messages,
                  (std::vector<QString>{"Knick", earlier() ? "Glück gehabt!" : "Sieg!", "Frei"}));
        EXPECT_EQ(f.windowTitle(), "Level 2 - Frei (Passwort:PWFrei)");
        EXPECT_EQ(cellPicture(f, 5, 5), bilder().tile(Empty));
        f.close();
    }
}

// The beam stopped by the wall throws warm sparks at the wall's side during the 50 finale
// frames; once they have died the board is as the run left it. "Fehlschlag!" shows the
// pieces and counts the run started with; a right click takes back only the player's piece
// and "Noch mal" sets the level back. The earlier release: red sparks, "hehehe...", the level
// always set back after a run, and "Noch mal" leaves the counts.
TEST_P(Form1InEachEdition, AFailedRunEndsInSparksAndTheButtonsSetTheLevelBack) {
    setLevels({wand()});
    Form1 f(nullptr, clock);
    open(f);
    clickStock(f, 5);
    clickCell(f, 6, 0);
    clickStock(f, 1);
    clickCell(f, 2, 0);
    clickCell(f, 4, BeamRow, Qt::RightButton);  // the level's own wall
    clickCell(f, 6, 0, Qt::RightButton);
    EXPECT_EQ(cellPicture(f, 6, 0), bilder().tile(Empty));
    EXPECT_EQ(cellPicture(f, 4, BeamRow), bilder().tile(Wall));
    EXPECT_EQ(f.Image1[5]->borderStyle(), 1) << "OptGameRightClickTakes";
    EXPECT_EQ(count(f, 0), 2);

    QImage atEnd;
    f.onCellStep = [&] { atEnd = f.Feld->picture().copy(); };
    int finaleWaits = 0, sparkPixels = 0;
    bool clean = false;
    clock.onWait = [&](int64_t) {
        if (f.Command1->text() != "Start" || messages.size() != 1) return;
        if (++finaleWaits <= 3)  // around the wall's left side, (128, 160)-(128, 191)
            for (int y = 120; y < 232; ++y)
                for (int x = 88; x < 170; ++x) {
                    const QRgb p = f.Feld->picture().pixel(x, y);
                    const bool spark = earlier() ? (p & 0xffffff) == 0xff0000 : qGreen(p) >= 128;
                    sparkPixels += p != atEnd.pixel(x, y) && qRed(p) == 255 && spark;
                }
        if (finaleWaits == 20) clean = f.Feld->picture() == atEnd;
    };
    QTest::mouseClick(f.Command1, Qt::LeftButton);
    ASSERT_TRUE(runOver(f, 2));
    clock.onWait = nullptr;
    EXPECT_EQ(finaleWaits, 50);
    EXPECT_GT(sparkPixels, 10);
    EXPECT_TRUE(clean);
    EXPECT_EQ(messages.back(), earlier() ? "hehehe..." : "Fehlschlag!");
    const int kept = earlier() ? Empty : Wall;
    EXPECT_EQ(cellPicture(f, 2, 0), bilder().tile(kept));
    EXPECT_EQ(count(f, 1), earlier() ? 3 : 2);
    EXPECT_EQ(f.Image1[1]->borderStyle(), 0);
    clickCell(f, 2, 0, Qt::RightButton);  // no slot chosen after a run
    EXPECT_EQ(cellPicture(f, 2, 0), bilder().tile(kept));

    clickStock(f, 1);
    clickCell(f, 7, 0);
    QTest::mouseClick(f.Command3, Qt::LeftButton);
    for (int x : {2, 7}) EXPECT_EQ(cellPicture(f, x, 0), bilder().tile(Empty)) << x;
    EXPECT_EQ(count(f, 0), earlier() ? 2 : 3);
    EXPECT_EQ(count(f, 1), earlier() ? 2 : 3);
    f.close();
}

// "Stop" holds the run (nothing moves), "Weiter" resumes it, "Abbrechen" fails it within the
// cell step under way.
TEST_F(Form1Test, StopWeiterAndAbbrechen) {
    setLevels({lang(), frei()});
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
        } else if (f.model().BeamState == BeamPaused) {
            if (pausedWaits == 0) atPause = f.Feld->picture().copy();
            if (++pausedWaits == 6) {
                EXPECT_EQ(f.Feld->picture(), atPause);
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
    ASSERT_TRUE(runOver(f, 2));
    EXPECT_EQ(pausedWaits, 6);
    EXPECT_GT(stepsAfterResume, 2);
    EXPECT_EQ(stepsAfterCancel, 0);
    EXPECT_EQ(messages[1], "Fehlschlag!");
    EXPECT_EQ(f.Command3->text(), "Noch mal");
    f.close();
}

// Which sub-steps wait, seen from the beam's front at each wait, and the time of a cell step.
// A waited sub-step is 12 ms, 18 ms in the earlier release.
TEST_P(Form1InEachEdition, TurboAndTurboFasterPacing) {
    state().Options[OptParticles] = false;
    const struct {
        bool turbo, faster;
        std::set<int> fronts;  // within a cell; empty: every one of the 32
        int64_t step;
    } modes[] = {
        {false, false, {}, 384}, {true, false, {7, 15, 23, 31}, 48}, {true, true, {31}, 12}};
    for (const auto& m : modes) {
        SCOPED_TRACE(m.step);
        state().Options[OptTurboFaster] = m.faster;
        setLevels({lang(), frei()});
        Form1 f(nullptr, clock);
        open(f);
        if (m.turbo) QTest::mouseClick(f.Command4, Qt::LeftButton);
        EXPECT_EQ(f.Command4->text(), m.turbo ? "Turbo ausschalten" : "Turbo einschalten");
        std::vector<int64_t> stepTimes;
        std::set<int> fronts;
        f.onCellStep = [&] { stepTimes.push_back(clock.nowMs()); };
        clock.onWait = [&](int64_t) {
            const int x = front(f, CellPixels * BeamRow + 16);
            if (!stepTimes.empty() && x >= 32 && x < 32 * 18) fronts.insert(x % 32);
        };
        QTest::mouseClick(f.Command1, Qt::LeftButton);
        ASSERT_TRUE(QTest::qWaitFor([&] { return f.model().level() == 1 && ready(f); }, 20000));
        ASSERT_GE(stepTimes.size(), 10u);
        for (size_t i = 2; i + 1 < stepTimes.size(); ++i)
            EXPECT_EQ(stepTimes[i] - stepTimes[i - 1], earlier() ? m.step / 2 * 3 : m.step) << i;
        EXPECT_EQ(fronts, m.turbo ? m.fronts : fronts) << "turbo: the waits named";
        EXPECT_EQ(fronts.size(), m.turbo ? m.fronts.size() : 32u) << "a wait after every sub-step";
        f.close();
        clock.onWait = nullptr;
    }
}

// A beam through sand, a deflector and a splitter: the yellow band in rows (or columns) 14
// to 18 of each cell it crossed, the turn drawn into the deflector, nothing on the splitter.
TEST_F(Form1Test, BoardPixelsAfterARunThroughSandDeflectorAndSplitter) {
    state().Options[OptParticles] = false;
    setLevels({level({"", "", ">..~..\u2510", "", "", "", "......T"}, {}, "Wege"), frei()});
    Form1 f(nullptr, clock);
    open(f);
    QImage last;
    f.onCellStep = [&] { last = f.Feld->picture().copy(); };
    QTest::mouseClick(f.Command1, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return f.model().level() == 1 && ready(f); }, 20000));
    auto px = [&](int cx, int cy, int x, int y) { return last.pixel(32 * cx + x, 32 * cy + y); };
    auto band = [&](int cx, int cy, bool vertical) {
        for (int a = 0; a < 32; ++a)
            for (int b = 13; b <= 19; ++b) {
                const QRgb p = vertical ? px(cx, cy, b, a) : px(cx, cy, a, b);
                ASSERT_EQ(p == YellowRgb, b >= 14 && b <= 18) << cx << "," << cy << " " << a;
            }
    };
    for (int cx : {1, 3, 5}) band(cx, 2, false);  // (3, 2): the eaten sand, now empty
    EXPECT_EQ(px(3, 2, 5, 5), bilder().tile(Empty).pixel(5, 5));
    band(6, 4, true);
    for (int cx : {0, 5, 7, 19}) band(cx, 6, false);
    for (int x = 0; x <= 16; ++x) EXPECT_EQ(px(6, 2, x, 16), YellowRgb) << x;  // and the turn
    for (int y = 19; y < 32; ++y) EXPECT_EQ(px(6, 2, 16, y), YellowRgb) << y;
    EXPECT_EQ(px(6, 2, 25, 16), bilder().tile(DeflectorLeftDown).pixel(25, 16));
    // (the box of the last sub-step above the splitter reaches its first row)
    EXPECT_EQ(last.copy(32 * 6, 32 * 6 + 1, 32, 31), bilder().tile(Splitter).copy(0, 1, 32, 31));
    EXPECT_EQ(state().pack.levels[0].cell(3, 2), Sand) << "the pack is never written";
    f.close();
}

// The frame follows the mouse to the cell the pointer is on (a fractional position at a
// cell's last pixel included) and goes when the mouse leaves the board for the stock.
TEST_P(Form1InEachEdition, ThePositionFrameFollowsTheMouse) {
    state().Options[OptPositionFrame] = true;
    setLevels({knick()});
    Form1 f(nullptr, clock);
    open(f);
    ASSERT_TRUE(f.positionFrameOn());
    const QImage bare = f.Feld->picture().copy();
    auto framed = [&](int x, int y) {
        return cellPicture(f, x, y) != bare.copy(32 * x, 32 * y, 32, 32);
    };
    f.Feld_MouseMove(32 * 3 + 31.6, 32 * 4 + 31.6);
    EXPECT_TRUE(framed(3, 4));
    EXPECT_EQ(f.penColour(), earlier() ? QColor(192, 64, 0) : QColor(255, 255, 0)) << "after it";
    f.Feld_MouseMove(32 * 7 + 1, 32 * 9 + 1);
    EXPECT_FALSE(framed(3, 4));
    EXPECT_TRUE(framed(7, 9));
    f.Feld_MouseDown(Qt::LeftButton, 32 * 2 + 31.5, 5);
    EXPECT_TRUE(framed(2, 0));
    f.LöschPosFeld();
    for (QWidget* w : {static_cast<QWidget*>(f.Anzahl[2]), static_cast<QWidget*>(f.Image1[6])}) {
        f.ErstellePosFeld(9, 9);
        QMouseEvent move(QEvent::MouseMove, QPointF(3, 3), w->mapToGlobal(QPointF(3, 3)),
                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(w, &move);
        EXPECT_EQ(f.Feld->picture(), bare);
    }
    f.close();
}

// The music button never picks the title song and names the song in the caption; the song
// watch starts one when none plays. The seven sounds come from the program folder under the
// names the window builds ("sound\\start.wav" for "Sound/start.wav"); OptSound silences them.
TEST_F(Form1Test, MusicAndSounds) {
    for (const char* name : {"a.ogg", "Titel.ogg", "b.ogg"}) write(QString("Musik/") + name, {});
    state().MusicOn = true;
    setLevels({knick()});
    {
        Form1 f(nullptr, clock);
        open(f);
        EXPECT_TRUE(f.Command2->isVisible());
        ASSERT_TRUE(QTest::qWaitFor([&] { return !state().CurrentSong.empty(); }, 3000));
        EXPECT_EQ(QString::fromStdString(state().CurrentSong).toUpper().indexOf("TITEL"), -1);
        for (int i = 0; i < 5; ++i) {
            QTest::mouseClick(f.Command2, Qt::LeftButton);
            ASSERT_NE(f.musicIndex(), 2) << "the title song";  // a.ogg, b.ogg, Titel.ogg
            EXPECT_EQ(f.windowTitle(), QString("Level 1 - Knick (Passwort:PWKnick) Musik:") +
                                           (f.musicIndex() == 0 ? "a.ogg" : "b.ogg"));
        }
        f.close();
    }
    const QDir shipped(QStringLiteral(LUMOR_PROGRAM_DIR "/Sound"));
    if (!shipped.exists("start.wav")) GTEST_SKIP() << "the build has not made the sounds";
    QDir().mkpath(path("Sound"));
    for (const QString& name : shipped.entryList(QDir::Files))
        ASSERT_TRUE(QFile::copy(shipped.filePath(name), path("Sound/" + name)));
    state().MusicOn = false;
    for (bool soundOn : {false, true}) {
        SCOPED_TRACE(soundOn);
        shutdownAudio();  // nothing left sounding from before
        state().Options[OptSound] = soundOn;
        setLevels({lang(), frei()});
        Form1 f(nullptr, clock);
        open(f);
        bool heard = false;
        clock.onWait = [&](int64_t) { heard = heard || soundPlaying(); };
        QTest::mouseClick(f.Command1, Qt::LeftButton);
        ASSERT_TRUE(QTest::qWaitFor([&] { return f.model().level() == 1 && ready(f); }, 20000));
        EXPECT_EQ(heard, soundOn);
        f.close();
        clock.onWait = nullptr;
    }
}

// Without OptAutoRedraw the window system's repaint draws what the board shows now: the
// message while one is shown, else the cells.
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
        for (int x = 0; x < BoardPixelWidth && !text; ++x)
            text = qRed(f.Feld->picture().pixel(x, 191)) > 100;
        EXPECT_TRUE(text);
    };
    open(f);
    EXPECT_TRUE(checked);
    QCoreApplication::processEvents();  // our own repaints are done
    f.Feld->picture().fill(Qt::red);
    f.Feld->repaint();
    EXPECT_EQ(cellPicture(f, 0, BeamRow), bilder().tile(SourceRight));
    f.close();
}

// ---------------------------------------------------------------------------------
// Closing in every phase: the flow ends at once, nothing runs on, nothing is shown.

class CloseTest : public Form1Test {
protected:
    void expectClosed(Form1& f) {
        ASSERT_TRUE(QTest::qWaitFor([&] { return !f.isVisible() && !f.running(); }, 20000));
        QCoreApplication::processEvents();  // whatever the flow left behind runs now
        EXPECT_FALSE(f.Timer1->isActive() || f.Timer2->isActive() || f.Timer3->isActive());
        EXPECT_EQ(f.model().BeamState, BeamClosing);
        EXPECT_EQ(f.result(), QDialog::Rejected);
    }
};

// Each phase under exec: the window closes on the n-th wait spent in it; that wait is the
// last, and only the messages named were shown.
TEST_F(CloseTest, InEveryPhase) {
    using InPhase = std::function<bool(Form1&)>;
    const InPhase always = [](Form1&) { return true; };
    const InPhase running = [](Form1& f) { return f.Command1->text() == "Stop"; };
    const InPhase paused = [](Form1& f) {
        if (f.Command1->text() == "Stop") f.Command1->click();
        return f.model().BeamState == BeamPaused;
    };
    // Once the run has ended the button reads "Start" again: the waits are the finale's.
    const InPhase finale = [this](Form1& f) {
        return f.Command1->text() == "Start" && messages.size() == 1;
    };
    const InPhase fireworks = [](Form1& f) {
        return f.messageText() == "Ende gut" && f.Command1->text() == "Start";
    };
    const struct {
        const char* name;
        std::vector<LevelRecord> levels;
        bool start;  // click "Start" once the level waits
        int n;
        InPhase in;
        std::vector<QString> shown;
    } phases[] = {
        {"intro fade-in", {knick()}, false, 5, always, {"Knick"}},  // no hold, no fade-out
        {"intro fade-out", {knick()}, false, 40, always, {"Knick"}},
        {"run", {lang()}, true, 50, running, {"Lang"}},
        {"pause", {lang()}, true, 3, paused, {"Lang"}},
        {"finale", {frei(), frei()}, true, 10, finale, {"Frei"}},
        {"fireworks", {frei()}, true, 200, fireworks, {"Frei", "Sieg!", "Ende gut"}},
    };
    state().FinalMessage = "Ende gut";
    for (const auto& p : phases) {
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
        EXPECT_EQ(f.windowTitle() == "Lumor", !p.start) << "closed before the level was built";
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
