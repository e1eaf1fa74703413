// The board window played through its controls: captions, counts, pictures, pacing, endings,
// hints, sounds and closing. The rules themselves are the play model's test.
#include "board_support.h"

#include "app/Audio.h"
#include "app/random.h"
#include "support/edition.h"

#include <QDir>

#include <functional>

using namespace lumor;
using lumor::testing::BoardFixture;
using lumortest::level;

namespace {

constexpr QRgb YellowRgb = 0xffffff00;

// Solved by ┐ in row 5, turning the beam down, and └ below it in row 8, turning it right.
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
LevelRecord lang() { return level({"", "", "", "", "", ">..................R"}, {}, "Lang"); }

// Closed: the flow has ended at once and nothing runs on.
void expectClosed(Form1& f) {
    ASSERT_TRUE(QTest::qWaitFor([&] { return !f.isVisible() && !f.running(); }, 20000));
    QCoreApplication::processEvents();  // whatever the flow left behind runs now
    EXPECT_FALSE(!f.timersStopped());
    EXPECT_EQ(f.model().BeamState, BeamClosing);
    EXPECT_EQ(f.result(), QDialog::Rejected);
}
using Form1Test = BoardFixture;
using Form1InEachEdition = lumortest::InEachEdition<BoardFixture>;
LUMOR_IN_EACH_EDITION(Form1InEachEdition);

// Solved by clicks, the last piece starting the run (OptAutostart), on to the next level,
// the last of the pack.
TEST_P(Form1InEachEdition, SolvedByClicksShowsSiegAndStartsTheNextLevel) {
    state().Options[OptAutostart] = true;
    state().FinalMessage.clear();
    setLevels({knick(), frei()});
    Form1 f(nullptr, clock);
    open(f);
    EXPECT_FALSE(f.musicButton()->isVisible()) << "music off";
    EXPECT_EQ(f.windowTitle(), "Level 1 - Knick (Passwort:PWKnick)");
    EXPECT_EQ(cellPicture(f, 15, 1), bilder().tile(Wall));
    clickStock(f, 4);
    EXPECT_EQ(f.stockImage(4)->borderStyle(), 1);
    clickCell(f, 5, 5);
    EXPECT_EQ(cellPicture(f, 5, 5), bilder().tile(DeflectorLeftDown));
    EXPECT_TRUE(count(f, 0) == 1 && count(f, 4) == 0);
    clickStock(f, 6);
    EXPECT_EQ(f.stockImage(4)->borderStyle(), 0);
    clickCell(f, 5, 8);
    ASSERT_TRUE(reaches(f, 1));
    EXPECT_EQ(shown, (QStringList{"Knick", earlier() ? "Glück gehabt!" : "Sieg!", "Frei"}));
    EXPECT_EQ(f.windowTitle(), "Level 2 - Frei (Passwort:PWFrei)");
    EXPECT_EQ(cellPicture(f, 5, 5), bilder().tile(Empty));
    clock.onWait = [&](int64_t) {
        if (shown.size() > 4) f.close();  // fireworks after all
    };
    f.startButton()->click();  // the last level, without a final message: the window closes
    expectClosed(f);
    EXPECT_TRUE(shown.size() == 4 && shown.back() == shown[1]) << shown.join("|").toStdString();
}

// A window handed its own pack, start level, options and loudspeakers plays those; the loaded
// pack stays as it is and every sound and song goes where the window was told.
TEST_F(Form1Test, PlaysWhatItIsHandedOnTheSpeakersGiven) {
    setLevels({knick()});
    PlaySetup setup = playSetupOf(state());
    setup.pack.levels.assign({wand(), frei()});
    setup.startLevel = 1;
    setup.finalMessage.clear();
    setup.musicOn = true;
    setup.options[OptPositionFrame] = true;
    setup.appFolder = "/Spiel/";
    const std::vector<std::string> names{"a.mid", "TITEL.mid", "b.mid"};
    std::vector<std::string> sounds, songs;
    Form1 f(std::move(setup), nullptr, clock,
            PlayAudio{[&](const std::string& p) { sounds.push_back(p); },
                      [&](const std::string& p) { songs.push_back(p); }, [] { return false; },
                      [&] { return names; }});
    open(f);
    EXPECT_TRUE(f.windowTitle().startsWith("Level 2 - Frei (Passwort:PWFrei) Musik:"));
    EXPECT_TRUE(f.positionFrameOn()) << "the options handed, not the program's";
    for (int i = 0; i < 3; ++i) {
        f.musicButton()->click();
        ASSERT_EQ(songs.size(), static_cast<size_t>(i + 1));
        EXPECT_NE(f.musicIndex(), 1) << "the title song is skipped";
        EXPECT_EQ(songs.back(), "/Spiel/musik\\" + names[static_cast<size_t>(f.musicIndex())]);
    }
    f.startButton()->click();  // won at once, the last level: the window closes
    expectClosed(f);
    ASSERT_FALSE(sounds.empty());
    EXPECT_EQ(sounds.front(), std::string("/Spiel/") + SoundFiles[0]);
    EXPECT_EQ(shown.first(), "Frei");
    ASSERT_EQ(state().pack.levels.count(), 1);
    EXPECT_EQ(state().pack.levels[0].Name, "Knick");
}

// The stopped beam throws warm sparks at the wall's side for 50 finale frames, leaving the board
// as the run left it; the ending shows the pieces and counts the run started with, "Noch mal"
// sets the level back. Earlier release: red sparks, "hehehe...", always set back, counts kept.
TEST_P(Form1InEachEdition, AFailedRunEndsInSparksAndTheButtonsSetTheLevelBack) {
    setLevels({wand()});
    Form1 f(nullptr, clock);
    open(f);
    clickStock(f, 5);
    clickCell(f, 6, 0);
    clickStock(f, 1);
    clickCell(f, 2, 0);
    clickCell(f, 6, 0, Qt::RightButton);
    EXPECT_EQ(cellPicture(f, 6, 0), bilder().tile(Empty));
    EXPECT_EQ(f.stockImage(5)->borderStyle(), 1) << "OptGameRightClickTakes";
    EXPECT_EQ(count(f, 0), 2);

    QImage atEnd;
    f.onCellStep = [&] { atEnd = f.boardView()->picture().copy(); };
    int finaleWaits = 0, sparkPixels = 0;
    bool clean = false;
    clock.onWait = [&](int64_t) {
        if (f.startButton()->text() != "Start" || shown.size() != 1) return;
        if (++finaleWaits <= 3)  // around the wall's left side, (128, 160)-(128, 191)
            for (int y = 120; y < 232; ++y)
                for (int x = 88; x < 170; ++x) {
                    const QRgb p = f.boardView()->picture().pixel(x, y);
                    const bool spark = earlier() ? (p & 0xffffff) == 0xff0000 : qGreen(p) >= 128;
                    sparkPixels += p != atEnd.pixel(x, y) && qRed(p) == 255 && spark;
                }
        if (finaleWaits == 20) clean = f.boardView()->picture() == atEnd;
    };
    QTest::mouseClick(f.startButton(), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return shown.size() == 2 && ready(f); }, 20000));
    clock.onWait = nullptr;
    EXPECT_EQ(finaleWaits, 50);
    EXPECT_GT(sparkPixels, 10);
    EXPECT_TRUE(clean);
    EXPECT_EQ(shown.back(), earlier() ? "hehehe..." : "Fehlschlag!");
    EXPECT_EQ(cellPicture(f, 2, 0), bilder().tile(earlier() ? Empty : Wall));
    EXPECT_EQ(count(f, 1), earlier() ? 3 : 2);
    EXPECT_EQ(f.stockImage(1)->borderStyle(), 0);

    clickStock(f, 1);
    clickCell(f, 7, 0);
    QTest::mouseClick(f.retryButton(), Qt::LeftButton);
    for (int x : {2, 7}) EXPECT_EQ(cellPicture(f, x, 0), bilder().tile(Empty)) << x;
    EXPECT_EQ(count(f, 0), earlier() ? 2 : 3);
    EXPECT_EQ(count(f, 1), earlier() ? 2 : 3);
}

// "Stop" holds the run, "Weiter" resumes it, "Abbrechen" fails it within the cell step; no
// hint during a run, whose sounds come from the program folder (OptSound: the audio test).
// The music button never picks the title song and names the song in the caption.
TEST_F(Form1Test, StopWeiterAbbrechenMusicAndSounds) {
    for (const char* name : {"a.ogg", "Titel.ogg", "b.ogg"}) write(QString("Musik/") + name, {});
    const QDir shipped(QStringLiteral(LUMOR_PROGRAM_DIR "/Sound"));
    QDir().mkpath(path("Sound"));
    for (const QString& name : shipped.entryList(QDir::Files))
        ASSERT_TRUE(QFile::copy(shipped.filePath(name), path("Sound/" + name)));
    state().MusicOn = true;
    shutdownAudio();  // nothing left sounding from before
    setLevels({lang(), frei()});
    Form1 f(nullptr, clock);
    open(f);
    EXPECT_TRUE(f.musicButton()->isVisible());
    for (int i = 0; i < 5; ++i) {
        f.musicButton()->click();
        ASSERT_NE(f.musicIndex(), 2) << "the title song";  // a.ogg, b.ogg, Titel.ogg
        EXPECT_EQ(f.windowTitle(), QString("Level 1 - Lang (Passwort:PWLang) Musik:") +
                                       (f.musicIndex() == 0 ? "a.ogg" : "b.ogg"));
    }
    int steps = 0, pausedWaits = 0;
    bool cancelled = false, heard = false;
    QImage atPause;
    f.onCellStep = [&] { ++steps; };
    clock.onWait = [&](int64_t) {
        heard = heard || soundPlaying();
        if (f.model().BeamState == BeamPaused) {
            if (pausedWaits++ == 0) atPause = f.boardView()->picture().copy();
            if (pausedWaits < 6) return;
            EXPECT_EQ(f.boardView()->picture(), atPause);
            f.startButton()->click();
            EXPECT_EQ(f.startButton()->text(), "Stop");
        } else if (steps == 3 && pausedWaits == 0) {
            QTest::keyClick(&f, Qt::Key_T);
            EXPECT_FALSE(f.hintSearching()) << "no hint during a run";
            f.startButton()->click();
            EXPECT_EQ(f.startButton()->text(), "Weiter");
        } else if (steps == 8 && !cancelled) {
            EXPECT_EQ(f.retryButton()->text(), "Abbrechen");
            f.retryButton()->click();
            cancelled = true;
        }
    };
    f.startButton()->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return shown.size() == 2 && ready(f); }, 20000));
    EXPECT_EQ(pausedWaits, 6);
    EXPECT_EQ(steps, 8) << "five after Weiter, none after Abbrechen";
    EXPECT_EQ(shown[1], "Fehlschlag!");
    EXPECT_EQ(f.retryButton()->text(), "Noch mal");
    EXPECT_TRUE(heard || !shipped.exists("start.wav")) << "unless the build made no sounds";
}

// The time of a cell step: 32, 4 or 1 waited sub-steps of 12 ms, 18 ms in the earlier release.
TEST_P(Form1InEachEdition, TurboAndTurboFasterPacing) {
    state().Options[OptParticles] = false;
    const struct {
        bool turbo, faster;
        int64_t step;
    } modes[] = {{false, false, 384},
                 {false, true, 384},  // OptTurboFaster acts only with the turbo
                 {true, false, 48},
                 {true, true, 12}};
    for (const auto& m : modes) {
        SCOPED_TRACE(std::to_string(m.turbo) + std::to_string(m.faster));
        state().Options[OptTurboFaster] = m.faster;
        setLevels({lang(), frei()});
        Form1 f(nullptr, clock);
        open(f);
        if (m.turbo) f.turboButton()->click();
        EXPECT_EQ(f.turboButton()->text(), m.turbo ? "Turbo ausschalten" : "Turbo einschalten");
        std::vector<int64_t> stepTimes;
        f.onCellStep = [&] { stepTimes.push_back(clock.nowMs()); };
        f.startButton()->click();
        ASSERT_TRUE(reaches(f, 1));
        ASSERT_GE(stepTimes.size(), 10u);
        for (size_t i = 2; i + 1 < stepTimes.size(); ++i)
            EXPECT_EQ(stepTimes[i] - stepTimes[i - 1], earlier() ? m.step / 2 * 3 : m.step) << i;
        for (int s = 0; s < SubSteps; ++s)  // the turbo waits with the front at 7, 15, 23, 31
            EXPECT_EQ(BeamRun::waitsAfter(s, m.turbo, m.faster),
                      !m.turbo || (s % 8 == 6 && (!m.faster || s == 30)))
                << s;
    }
}

// Beams through sand, a deflector and a splitter, and one going up: the yellow band in rows
// (or columns) 14 to 18 of each cell crossed, the turn, nothing on the splitter.
TEST_F(Form1Test, BoardPixelsAfterARunThroughSandDeflectorAndSplitter) {
    state().Options[OptParticles] = false;
    setLevels(
        {level({"", "........^", ">..~..\u2510", "", "", "", "......T"}, {}, "Wege"), frei()});
    Form1 f(nullptr, clock);
    open(f);
    QImage last;
    f.onCellStep = [&] { last = f.boardView()->picture().copy(); };
    QTest::mouseClick(f.startButton(), Qt::LeftButton);
    ASSERT_TRUE(reaches(f, 1));
    auto px = [&](int cx, int cy, int x, int y) { return last.pixel(32 * cx + x, 32 * cy + y); };
    auto band = [&](int cx, int cy, bool vertical) {
        for (int a = 0; a < 32; ++a)
            for (int b = 13; b <= 19; ++b)
                ASSERT_EQ((vertical ? px(cx, cy, b, a) : px(cx, cy, a, b)) == YellowRgb,
                          b >= 14 && b <= 18)
                    << cx << "," << cy << " " << a;
    };
    for (int cx : {1, 3, 5}) band(cx, 2, false);  // (3, 2): the eaten sand, now empty
    EXPECT_EQ(px(3, 2, 5, 5), bilder().tile(Empty).pixel(5, 5));
    for (int cy : {0, 4}) band(cy ? 6 : 8, cy, true);
    for (int cx : {0, 5, 7, 19}) band(cx, 6, false);
    for (int x = 0; x <= 16; ++x) EXPECT_EQ(px(6, 2, x, 16), YellowRgb) << x;  // and the turn
    for (int y = 19; y < 32; ++y) EXPECT_EQ(px(6, 2, 16, y), YellowRgb) << y;
    EXPECT_EQ(px(6, 2, 25, 16), bilder().tile(DeflectorLeftDown).pixel(25, 16));
    // (the box of the last sub-step above the splitter reaches its first row)
    EXPECT_EQ(last.copy(32 * 6, 32 * 6 + 1, 32, 31), bilder().tile(Splitter).copy(0, 1, 32, 31));
}

// The frame follows the mouse to the cell the pointer is on (a fractional position at a
// cell's last pixel included) and goes when the mouse leaves the board for the stock.
TEST_P(Form1InEachEdition, ThePositionFrameFollowsTheMouse) {
    state().Options[OptPositionFrame] = true;
    setLevels({knick()});
    Form1 f(nullptr, clock);
    open(f);
    const QImage bare = f.boardView()->picture().copy();
    auto framed = [&](int x, int y) {
        return cellPicture(f, x, y) != bare.copy(32 * x, 32 * y, 32, 32);
    };
    QTest::keyClick(&f, Qt::Key_Escape);
    EXPECT_TRUE(f.isVisible()) << "Escape does not close the window";
    f.Feld_MouseMove(32 * 3 + 31.6, 32 * 4 + 31.6);
    EXPECT_TRUE(framed(3, 4));
    EXPECT_EQ(f.penColour(), earlier() ? QColor(192, 64, 0) : QColor(255, 255, 0)) << "after it";
    f.Feld_MouseMove(32 * 7 + 1, 32 * 9 + 1);
    EXPECT_FALSE(framed(3, 4));
    EXPECT_TRUE(framed(7, 9));
    f.Feld_MouseDown(Qt::LeftButton, 32 * 2 + 31.5, 5);
    EXPECT_TRUE(framed(2, 0));
    f.LöschPosFeld();
    f.ErstellePosFeld(9, 9);
    lumortest::hover(f.stockImage(6));
    EXPECT_EQ(f.boardView()->picture(), bare);
}

// The stock tooltips count what is left; the chosen slot is marked yellow inside its frame and
// behind it. The hint key shows a cell of a best solution for two seconds and counts in the
// caption; the same board's hint again comes at once; the next hint finishes the same
// solution; a new level starts uncounted.
TEST_F(Form1Test, TheStockAndTheHintKeyHelpThePlayer) {
    setLevels({knick(), frei()});
    Form1 f(nullptr, clock);
    open(f);
    const auto askForHint = [&f] {
        const std::optional<Hint> before = f.lastHint();
        QTest::keyClick(&f, Qt::Key_T);
        return QTest::qWaitFor([&] { return !f.hintSearching() && f.lastHint() != before; }, 20000);
    };
    const QString names[] = {"Wand (noch 0)",       "Kreuz (noch 0)",      "Umlenker ┌ (noch 0)",
                             "Umlenker ┐ (noch 1)", "Umlenker ┘ (noch 0)", "Umlenker └ (noch 1)",
                             "Sand (noch 0)",       "Teiler (noch 0)"};
    for (int s = 1; s <= SlotCount; ++s) EXPECT_EQ(f.stockImage(s)->toolTip(), names[s - 1]);
    const QImage plain = cellPicture(f, 1, 5);
    ASSERT_TRUE(askForHint());
    ASSERT_TRUE(f.hintShown());
    const int x = f.hintShown()->x;
    EXPECT_EQ(*f.hintShown(), (Hint{Hint::Kind::Cell, x, 5, DeflectorLeftDown}));
    EXPECT_NE(cellPicture(f, x, 5), plain) << "the piece shows on its cell";
    EXPECT_EQ(f.model().cell(x, 5), Empty) << "but is not placed";
    EXPECT_EQ(f.windowTitle(), "Level 1 - Knick (Passwort:PWKnick) Tipps:1");
    clock.advance(Form1::HintShownMs - 1);
    QTest::qWait(150);  // the timer that takes the hint away ticks every 50 ms
    EXPECT_TRUE(f.hintShown());
    clock.advance(1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !f.hintShown(); }, 5000));
    EXPECT_EQ(cellPicture(f, x, 5), plain);
    // The same board again: the kept answer at once, no search.
    const int searches = f.hintSearches();
    QTest::keyClick(&f, Qt::Key_T);
    EXPECT_FALSE(f.hintSearching());
    EXPECT_EQ(f.hintShown(), (Hint{Hint::Kind::Cell, x, 5, DeflectorLeftDown}));
    EXPECT_EQ(f.hintSearches(), searches);
    clock.advance(Form1::HintShownMs);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !f.hintShown(); }, 5000));

    // A piece off the finder's answer: its board is searched as soon as the piece is down,
    // so a press a moment later comes at once.
    const int other = x == 6 ? 3 : 6;
    clickStock(f, 4);
    clickCell(f, other, 5);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !f.foreseeing(); }, 20000));
    EXPECT_EQ(f.hintSearches(), searches + 1);
    QTest::keyClick(&f, Qt::Key_T);
    EXPECT_FALSE(f.hintSearching());
    EXPECT_EQ(f.hintShown(), (Hint{Hint::Kind::Cell, other, 8, DeflectorRightUp}));
    clock.advance(Form1::HintShownMs);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !f.hintShown(); }, 5000));
    QTest::keyClick(&f, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_FALSE(f.foreseeing()) << "the bare board's answer is known";

    clickCell(f, x, 5);
    EXPECT_EQ(f.stockImage(4)->toolTip(), "Umlenker ┐ (noch 0)");
    const QImage chosen = f.stockImage(4)->grab().toImage();
    EXPECT_EQ(chosen.pixel(0, 10), qRgb(0, 0, 0)) << "the single-line frame stays";
    EXPECT_EQ(chosen.pixel(2, 10), YellowRgb);
    EXPECT_NE(f.stockImage(6)->grab().toImage().pixel(2, 10), YellowRgb);
    const QRgb beside = f.grab().toImage().pixel(f.stockImage(4)->x() - 3, 40);
    EXPECT_TRUE(qRed(beside) > qBlue(beside) + 40 && qGreen(beside) > qBlue(beside) + 40)
        << "a yellow mark behind the chosen slot";
    ASSERT_TRUE(askForHint());
    EXPECT_EQ(f.lastHint(), (Hint{Hint::Kind::Cell, x, 8, DeflectorRightUp}));
    EXPECT_EQ(f.windowTitle(), "Level 1 - Knick (Passwort:PWKnick) Tipps:4");
    clickStock(f, 6);
    clickCell(f, x, 8);
    EXPECT_FALSE(f.hintShown()) << "placing on the marked cell ends the hint";
    ASSERT_TRUE(askForHint());
    EXPECT_EQ(f.lastHint()->kind, Hint::Kind::Complete);
    EXPECT_EQ(f.windowTitle(), "Level 1 - Knick (Passwort:PWKnick) Tipps:4") << "not counted";

    f.startButton()->click();
    ASSERT_TRUE(reaches(f, 1));
    EXPECT_EQ(f.windowTitle(), "Level 2 - Frei (Passwort:PWFrei)");
}

// The end-of-pack fireworks keep bursting for as long as the window stays open. Sparks are
// the only board pixels with blue in them, or of pure red in the earlier release.
TEST_P(Form1InEachEdition, FireworksStillBurstAfterTenMinutes) {
    programRandom().seed(7);
    state().FinalMessage = "Ende gut";
    setLevels({frei()});
    const auto sparks = [](const QImage& board) {
        int n = 0;
        for (int y = 0; y < board.height(); ++y)
            for (int x = 0; x < board.width(); ++x)
                n += qBlue(board.pixel(x, y)) > 0 || (board.pixel(x, y) & 0xffffff) == 0xff0000;
        return n;
    };
    Form1 f(nullptr, clock);
    int64_t from = -1;
    int lateFrames = 0, lateFramesWithSparks = 0;
    clock.onWait = [&](int64_t now) {
        if (f.messageText() != "Ende gut") return;
        if (from < 0) from = now;
        if (now - from >= 9 * 60'000) {
            ++lateFrames;
            lateFramesWithSparks += sparks(f.boardView()->picture()) > 0;
        }
        if (now - from >= 10 * 60'000) f.close();
    };
    open(f);
    f.startButton()->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !f.isVisible(); }, 120000));
    expectClosed(f);  // closed in the fireworks
    // One burst in ten frames, each visible for up to a dozen: sparks in most late frames.
    EXPECT_GT(lateFrames, 1000);
    EXPECT_GT(lateFramesWithSparks, lateFrames / 3);
}

// Each phase under exec: the window closes on the n-th wait spent in it; that wait is the
// last, and only the level's name was shown. A start level outside the pack closes it.
TEST_F(Form1Test, ClosesInEveryPhase) {
    using InPhase = std::function<bool(Form1&)>;
    const InPhase always = [](Form1&) { return true; };
    const InPhase running = [](Form1& f) { return f.startButton()->text() == "Stop"; };
    const InPhase paused = [](Form1& f) {
        if (f.startButton()->text() == "Stop") f.startButton()->click();
        return f.model().BeamState == BeamPaused;
    };
    const InPhase finale = [this](Form1& f) {  // the run over, the button reads "Start"
        return f.startButton()->text() == "Start" && shown.size() == 1;
    };
    const struct {
        const char* name;
        std::vector<LevelRecord> levels;
        bool start;  // click "Start" once the level waits
        int n;
        InPhase in;
    } phases[] = {
        {"intro fade-in", {knick()}, false, 5, always},  // no hold, no fade-out
        {"intro fade-out", {knick()}, false, 40, always},
        {"run", {lang()}, true, 50, running},
        {"pause", {lang()}, true, 3, paused},
        {"finale", {frei(), frei()}, true, 10, finale},
    };
    for (const auto& p : phases) {
        SCOPED_TRACE(p.name);
        shown.clear();
        setLevels(p.levels);
        Form1 f(nullptr, clock);
        f.onMessage = [this](const QString& t) { shown << t; };
        int waits = 0;
        bool started = false;  // waits count from the click on "Start" for the later phases
        clock.onWait = [&](int64_t) {
            if ((started || !p.start) && p.in(f) && ++waits == p.n) f.close();
        };
        QTimer::singleShot(0, &f, [&] {
            if (p.start && QTest::qWaitFor([&] { return ready(f); }, 10000))
                started = true, f.startButton()->click();
        });
        EXPECT_EQ(f.exec(), QDialog::Rejected);
        expectClosed(f);
        EXPECT_EQ(waits, p.n);
        EXPECT_EQ(shown.size(), 1) << "the level's name only";
        EXPECT_EQ(f.windowTitle() == "Lumor", !p.start) << "closed before the level was built";
        clock.onWait = nullptr;
    }
    state().handover.set(5);  // a start level outside the pack
    Form1 outside(nullptr, clock);
    outside.show();
    expectClosed(outside);
}

}  // namespace

// The grid the player may switch on lies over the free cells on the screen, never over a
// piece, and never in the picture that particles and messages read: that is the same pixel
// for pixel as a window's without the grid, before and after a piece is placed.
TEST_F(Form1Test, TheGridShowsOnTheScreenOverFreeCellsOnly) {
    setLevels({knick()});
    auto make = [&](bool grid) {
        PlaySetup setup = playSetupOf(state());
        setup.grid = grid;
        return std::make_unique<Form1>(std::move(setup), nullptr, clock);
    };
    const auto plain = make(false), gridded = make(true);
    open(*plain);
    open(*gridded);
    auto screenCell = [](Form1& f, int x, int y) {
        return f.boardView()
            ->grab(QRect(CellPixels * x, CellPixels * y, CellPixels, CellPixels))
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    };
    for (Form1* f : {plain.get(), gridded.get()}) {
        clickStock(*f, 4);
        clickCell(*f, 5, 5);
    }
    for (Form1* f : {plain.get(), gridded.get()})
        for (const QPoint piece : {QPoint(15, 1), QPoint(5, 5), QPoint(0, 5)})
            EXPECT_EQ(screenCell(*f, piece.x(), piece.y()), cellPicture(*f, piece.x(), piece.y()));
    EXPECT_EQ(screenCell(*plain, 3, 3), cellPicture(*plain, 3, 3));
    const QImage free = screenCell(*gridded, 3, 3);
    EXPECT_NE(free.pixel(0, 0), cellPicture(*gridded, 3, 3).pixel(0, 0));
    EXPECT_EQ(free.pixel(16, 16), cellPicture(*gridded, 3, 3).pixel(16, 16)) << "faint lines only";
    EXPECT_EQ(gridded->boardView()->picture(), plain->boardView()->picture());
}
