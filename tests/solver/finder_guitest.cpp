// The solution finder window: its texts before, during and after a search, the best
// solution on its board picture, the close request during a search; and the title menu's
// solver request, a password with the prefix "¤", which opens the finder for that level
// and holds the menu until it answers.
#include "solver/Loesungssucher.h"

#include "app/Wait.h"
#include "app/random.h"
#include "app/state.h"
#include "levels/packfile.h"
#include "play/Bilder.h"
#include "title/Titel.h"

#include "solver/solver_support.h"
#include "support/edition.h"
#include "support/program.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QTimer>

#include <memory>
#include <string>
#include <vector>

using namespace lumor;
using lumor::testing::levelFrom;

namespace {

// What the window shows: caption, Label1, Label2.
struct Shown {
    QString caption, label1, label2;
    bool operator==(const Shown&) const = default;
};
void PrintTo(const Shown& s, std::ostream* os) {
    *os << (s.caption + " | " + s.label1 + " | " + s.label2).toStdString();
}
Shown shown(const Lösungssucher& w) {
    return {w.windowTitle(), w.Label1->text(), w.Label2->text()};
}

bool handedBack() { return state().handover == -1; }

class FinderTest : public lumortest::ProgramTest {
protected:
    static void usePack(const std::vector<LevelRecord>& levels, int start) {
        state().pack.levels.assign(levels);
        state().handover.set(start);
    }
};

// The earlier release's window runs its older search: tries against a total known from the
// start, and the best without the count of solutions.
using FinderInEachEdition = lumortest::InEachEdition<FinderTest>;
LUMOR_IN_EACH_EDITION(FinderInEachEdition);

// A deflector turns the beam down into the target; a wall is in stock too.
LevelRecord deflectorLevel() { return levelFrom({">..#", "##.#", "##D#"}, {2, 1, 0, 0, 1}, '#'); }

QRgb pixel(const Lösungssucher& w, int x, int y) { return w.Feld->picture().pixel(x, y); }

// A cell's square as painted against a tile picture: the whole square, or only the
// 31 x 31 inside of an outlined one.
bool showsTile(const Lösungssucher& w, int cx, int cy, int code, bool insideOnly = false) {
    const QImage& tile = bilder().tile(code);
    const int from = insideOnly ? 1 : 0;
    for (int x = from; x < 32; ++x)
        for (int y = from; y < 32; ++y)
            if (pixel(w, 32 * cx + x, 32 * cy + y) != tile.pixel(x, y)) return false;
    return true;
}

// The black outline from (32x, 32y) to (32x + 32, 32y + 32): its corners and the middles of
// its sides.
bool outlined(const Lösungssucher& w, int cx, int cy) {
    for (const auto& [x, y] :
         {std::pair{0, 0}, {16, 0}, {32, 0}, {0, 16}, {32, 16}, {0, 32}, {16, 32}, {32, 32}})
        if ((pixel(w, 32 * cx + x, 32 * cy + y) & 0xffffff) != 0) return false;
    return true;
}

Lösungssucher* openFinder() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* finder = dynamic_cast<Lösungssucher*>(w); finder && finder->isVisible())
            return finder;
    return nullptr;
}

class FinderFromTitleTest : public FinderTest {
protected:
    int plays = 0;

    void SetUp() override {
        FinderTest::SetUp();
        state().MusicOn = false;
        // Level 1 is searched to its end at once; level 2 takes seconds.
        std::vector<LevelRecord> levels = {deflectorLevel(), lumor::testing::slowLevel()};
        levels[0].Password = "ECKE";
        levels[1].Password = "LANG";
        SeededRandom random(5);
        ASSERT_TRUE(writePack((dir / "a.llp").string(), PackHeader{}, levels, random).ok);
    }
    void TearDown() override {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (dynamic_cast<Lösungssucher*>(w)) w->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        FinderTest::TearDown();
    }

    std::unique_ptr<Titel> openTitle() {
        auto t = std::make_unique<Titel>(nullptr, clock);
        t->hooks.play = [this](QWidget*) { ++plays; };
        t->hooks.finder = [this](QWidget* parent, int level) {
            openLösungssucherOn(parent, level, clock);
        };
        EXPECT_TRUE(t->Form_Load());
        t->show();
        return t;
    }
    // Releasing the mouse over "Passwort".
    static void releasePassword(Titel& t) {
        QTest::mouseRelease(t.Menu[1], Qt::LeftButton, {}, QPoint(10, 10));
    }
};

}  // namespace

TEST_P(FinderInEachEdition, ShowsWhatTryingEveryArrangementEndsWithAndDrawsTheBestSolution) {
    const LevelRecord level = deflectorLevel();
    usePack({level, level}, 1);
    Lösungssucher w(nullptr, clock);
    EXPECT_EQ(w.levelIndex(), 1);
    EXPECT_EQ(shown(w), (Shown{"-1 - 0", "Keine Lösung", "Label2"}));
    EXPECT_TRUE(showsTile(w, 0, 0, 1) && showsTile(w, 2, 0, 0));
    std::vector<Shown> atEvents;
    w.onEvents = [&] { atEvents.push_back(shown(w)); };
    std::vector<bool> ends;
    w.onSearchEnded = [&](bool finished) { ends.push_back(finished && handedBack()); };

    w.show();
    clock.waitFor(handedBack);

    // Wall outer, deflector inner, each on "not placed" and the three free cells:
    // 4 + 16 tries, 13 arrangements without a shared cell; only the deflector on (2, 0)
    // solves, leaving one piece of two.
    EXPECT_TRUE(w.finished());
    EXPECT_EQ(ends, std::vector<bool>{true});
    const QString best = earlier()
                             ? "Bester Lösung: 1 Steine übrig"
                             : "Bester Lösung: 1 Steine übrig - 1 Lösungsmöglichkeiten gefunden";
    EXPECT_EQ(shown(w),
              (Shown{"1 - 20", best, earlier() ? "20 / 20 - Fertig" : "20 / 13 - Fertig"}));
    // The first display comes as the search starts.
    ASSERT_FALSE(atEvents.empty());
    EXPECT_EQ(atEvents[0], (Shown{"-1 - 0", "Keine Lösung", earlier() ? "0 / 20" : "0 / 0"}));
    // The deflector (slot 4) where it solves, outlined, on the level as it stands.
    EXPECT_TRUE(showsTile(w, 2, 0, 12, true) && outlined(w, 2, 0));
    EXPECT_TRUE(showsTile(w, 1, 0, 0) && showsTile(w, 2, 2, 6));

    // Finished, the window stays open until it is closed; closing hands back -1 again.
    EXPECT_TRUE(w.isVisible());
    state().handover.set(7);
    w.close();
    EXPECT_TRUE(handedBack());
}

TEST_P(FinderInEachEdition, EndTextsOfOtherLevels) {
    LevelRecord crowded = deflectorLevel();
    crowded.Stock[1] = 992;  // more pieces than the piece list holds
    const struct {
        LevelRecord level;
        int index;
        Shown end;
    } cases[] = {
        // Recorded at the first check; the wall on the one free cell blocks the beam.
        {levelFrom({">.R"}, {2, 1}, '#'),
         0,
         {"2 - 2",
          earlier() ? "Bester Lösung: 2 Steine übrig"
                    : "Bester Lösung: 2 Steine übrig - 1 Lösungsmöglichkeiten gefunden",
          "2 / 2 - Fertig"}},
        {levelFrom({">....#", "......", "#####U"}, {1, 1}, '#'),
         0,
         {"-1 - 11", "Keine Lösung", "11 / 11 - Fertig"}},
        {crowded, 0, {"-1 - 0", "Zu viele Steine im Vorrat: 993 (höchstens 991).", "Label2"}},
        {deflectorLevel(),
         5,
         {"-1 - 0", "Level 6 gibt es in diesem Levelpack nicht (1 Level).", "Label2"}},
    };
    for (const auto& c : cases) {
        usePack({c.level}, c.index);
        Lösungssucher w(nullptr, clock);
        w.show();
        clock.waitFor(handedBack);
        EXPECT_TRUE(w.searchEnded());
        EXPECT_EQ(shown(w), c.end);
    }
}

// Handed its own levels, the finder solves those and answers as it was told: at the end of
// the search and again when closed. The loaded pack and Handover stay as they are.
TEST_F(FinderTest, SolvesTheLevelsHandedAndAnswersAsTold) {
    usePack({}, 7);
    int answered = 0;
    FinderSetup setup;
    setup.levels.assign({deflectorLevel(), deflectorLevel()});
    setup.index = 1;
    setup.answer = [&answered] { ++answered; };
    Lösungssucher w(std::move(setup), nullptr, clock);
    w.setAttribute(Qt::WA_DeleteOnClose, false);
    EXPECT_EQ(w.levelIndex(), 1);
    w.show();
    clock.waitFor([&answered] { return answered > 0; });
    EXPECT_TRUE(w.finished());
    EXPECT_TRUE(w.Label1->text().startsWith("Bester Lösung: 1 Steine übrig"));
    w.close();
    EXPECT_EQ(answered, 2);
    EXPECT_EQ(state().handover.toInt(), 7);
    EXPECT_EQ(state().pack.levels.count(), 0);
}

TEST_P(FinderInEachEdition, ClosingDuringTheSearchStopsItAtOnce) {
    usePack({lumor::testing::slowLevel()}, 0);
    Lösungssucher w(nullptr, clock);
    w.setAttribute(Qt::WA_DeleteOnClose, false);
    int events = 0, eventsAfterClose = 0;
    std::vector<Shown> atEvents;
    w.onEvents = [&] {
        atEvents.push_back(shown(w));
        if (!w.isVisible()) ++eventsAfterClose;
        if (++events == 2) clock.advance(1999);  // not yet time for the next display
        if (events == 3) clock.advance(2);
        if (events == 6) w.close();
    };
    std::vector<bool> ends;
    w.onSearchEnded = [&](bool finished) { ends.push_back(finished); };
    w.show();
    clock.waitFor(handedBack);

    EXPECT_TRUE(w.searchEnded());
    EXPECT_FALSE(w.finished());
    EXPECT_EQ(ends, std::vector<bool>{false});
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(eventsAfterClose, 0);
    ASSERT_EQ(atEvents.size(), 6u);
    // One display at the start, the next one only once 2000 ms have passed.
    EXPECT_EQ(atEvents[2], atEvents[0]);
    EXPECT_NE(atEvents[3].label2, atEvents[0].label2);
    EXPECT_FALSE(w.Label2->text().endsWith(" - Fertig"));
    EXPECT_EQ(w.Label1->text(), "Keine Lösung");
}

TEST_F(FinderFromTitleTest, APrefixedPasswordOpensTheFinderAndClosingTheTitleEndsItsSearch) {
    auto t = openTitle();
    answers = {QStringLiteral("¤ecke")};
    releasePassword(*t);
    t->frame();
    // The frame returned only after the search had ended; the window stays open.
    EXPECT_EQ(plays, 0);
    EXPECT_TRUE(handedBack());
    QPointer<Lösungssucher> finder = openFinder();
    ASSERT_TRUE(finder);
    EXPECT_EQ(finder->levelIndex(), 0);
    EXPECT_EQ(finder->Label2->text(), "20 / 13 - Fertig");
    EXPECT_EQ(t->menuChoice(), -1);
    finder->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    // Level 2 takes seconds: the title window closed mid-search ends the search and the
    // program's own loop, in which "Passwort" is released in the first frame.
    std::vector<bool> ends;
    QTimer closer;
    closer.setInterval(0);
    QObject::connect(&closer, &QTimer::timeout, [&] {
        Lösungssucher* open = openFinder();
        if (!open || !open->searching() || finder) return;
        finder = open;
        finder->onSearchEnded = [&](bool finished) { ends.push_back(finished); };
        t->close();
    });
    closer.start();
    answers = {QStringLiteral("¤lang")};
    QTimer::singleShot(0, t.get(), [&] { releasePassword(*t); });
    EXPECT_EQ(t->runLoop(), 0);
    EXPECT_EQ(ends, std::vector<bool>{false});
    // The finder goes once its search has unwound.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(finder.isNull());
}
