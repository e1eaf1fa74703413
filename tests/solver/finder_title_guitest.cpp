// The title menu's solver request: a password with the prefix "¤" typed into the
// password box opens the finder for that level and holds the menu until it answers.
#include "solver/Loesungssucher.h"

#include "app/random.h"
#include "levels/packfile.h"
#include "title/Titel.h"

#include "solver/solver_support.h"
#include "support/program.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QTimer>

#include <memory>

using namespace lumor;

namespace {

Lösungssucher* openFinder() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* finder = dynamic_cast<Lösungssucher*>(w); finder && finder->isVisible())
            return finder;
    return nullptr;
}

class FinderFromTitleTest : public lumortest::ProgramTest {
protected:
    int plays = 0;

    void SetUp() override {
        ProgramTest::SetUp();
        state().MusicOn = false;
        // Level 1 is searched to its end at once; level 2 takes seconds.
        std::vector<LevelRecord> levels = {
            lumor::testing::levelFrom({">..#", "##.#", "##D#"}, {2, 1, 0, 0, 1}, '#'),
            lumor::testing::slowLevel()};
        levels[0].Password = "ECKE";
        levels[1].Password = "LANG";
        SeededRandom random(5);
        ASSERT_TRUE(writePack((dir / "a.llp").string(), PackHeader{}, levels, random).ok);
    }
    void TearDown() override {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (dynamic_cast<Lösungssucher*>(w)) w->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ProgramTest::TearDown();
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

TEST_F(FinderFromTitleTest, APrefixedPasswordOpensTheFinderAndTheMenuWaitsForItsAnswer) {
    auto t = openTitle();
    answers = {QStringLiteral("¤ecke")};
    releasePassword(*t);
    t->frame();

    // The frame returned only after the search had ended; the window stays open.
    EXPECT_EQ(prompts, QStringList{"Bitte geben sie das Passwort ein:"});
    EXPECT_EQ(plays, 0);
    EXPECT_TRUE(state().handover == -1);
    QPointer<Lösungssucher> finder = openFinder();
    ASSERT_TRUE(finder);
    EXPECT_EQ(finder->levelIndex(), 0);
    EXPECT_EQ(finder->Label2->text(), "20 / 13 - Fertig");
    EXPECT_EQ(t->MenuChoice, -1);
}

TEST_F(FinderFromTitleTest, ClosingTheTitleWindowMidSearchEndsTheSearchAndTheProgram) {
    auto t = openTitle();
    QPointer<Lösungssucher> finder;
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
    // The program's own loop: "Passwort" released in its first frame.
    QTimer::singleShot(0, t.get(), [&] { releasePassword(*t); });

    EXPECT_EQ(t->runLoop(), 0);
    EXPECT_EQ(ends, std::vector<bool>{false});
    // The finder goes once its search has unwound.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(finder.isNull());
}
