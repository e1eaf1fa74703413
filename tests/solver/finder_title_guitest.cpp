// The title menu's solver request: a password with the prefix "¤" typed into the
// password box opens the finder for that level and holds the menu until it answers.
#include "solver/Loesungssucher.h"

#include "app/Audio.h"
#include "app/Dialogs.h"
#include "app/Wait.h"
#include "app/random.h"
#include "app/state.h"
#include "levels/packfile.h"
#include "title/Titel.h"

#include "solver/solver_support.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace lumor;
using lumor::testing::levelFrom;

namespace {

Lösungssucher* openFinder() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* finder = dynamic_cast<Lösungssucher*>(w); finder && finder->isVisible())
            return finder;
    return nullptr;
}

class FinderFromTitleTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    FakeClock clock_;
    QStringList prompts;
    QString answer;
    int plays = 0;

    void SetUp() override {
        ProgramState& st = state();
        st.AppFolder = dir.path().toStdString() + "/";
        st.FolderWritable = false;
        st.MusicOn = false;
        st.handover.clear();
        st.pack = Pack{};
        dialogHooks().input = [this](const QString& prompt,
                                     const QString&) -> std::optional<QString> {
            prompts << prompt;
            return answer;
        };
        dialogHooks().message = [](const QString&) {};

        // Level 1 is searched to its end at once; level 2 takes seconds.
        std::vector<LevelRecord> levels = {
            levelFrom({">..#", "##.#", "##D#"}, {2, 1, 0, 0, 1}, '#'),
            lumor::testing::slowLevel(),
        };
        levels[0].Password = "ECKE";
        levels[1].Password = "LANG";
        SeededRandom random(5);
        ASSERT_TRUE(
            writePack((dir.path() + "/a.llp").toStdString(), PackHeader{}, levels, random).ok);
    }

    void TearDown() override {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (dynamic_cast<Lösungssucher*>(w)) w->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        dialogHooks() = {};
        state().pack = Pack{};
        state().handover.clear();
    }

    std::unique_ptr<Titel> openTitle() {
        auto t = std::make_unique<Titel>(nullptr, clock_);
        t->hooks.play = [this](QWidget*) { ++plays; };
        t->hooks.finder = [this](QWidget* parent, int level) {
            openLösungssucherOn(parent, level, clock_);
        };
        EXPECT_TRUE(t->Form_Load());
        t->show();
        return t;
    }

    // Releasing the mouse over "Passwort", then the frame that acts on it.
    static void choosePassword(Titel& t) {
        QTest::mouseRelease(t.Menu[1], Qt::LeftButton, {}, QPoint(10, 10));
        t.frame();
    }
};

}  // namespace

TEST_F(FinderFromTitleTest, APrefixedPasswordOpensTheFinderAndTheMenuWaitsForItsAnswer) {
    auto t = openTitle();
    answer = QStringLiteral("¤ecke");
    choosePassword(*t);

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
    answer = QStringLiteral("¤lang");
    // The program's own loop: "Passwort" released in its first frame.
    QTimer::singleShot(
        0, t.get(), [&] { QTest::mouseRelease(t->Menu[1], Qt::LeftButton, {}, QPoint(10, 10)); });

    EXPECT_EQ(t->runLoop(), 0);
    EXPECT_EQ(ends, std::vector<bool>{false});
    // The finder goes once its search has unwound.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(finder.isNull());
}
