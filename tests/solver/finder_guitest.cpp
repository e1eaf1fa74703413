// The solution finder window: its texts before, during and after a search, the best
// solution on its board picture, the close request during a search.
#include "solver/Loesungssucher.h"

#include "app/Wait.h"
#include "app/state.h"
#include "play/Bilder.h"

#include "solver/solver_support.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QLabel>
#include <QTest>
#include <QTimer>

#include <string>
#include <vector>

// Readable QStrings in failure messages.
void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

using namespace lumor;
using lumor::testing::levelFrom;

namespace {

// Time that moves one millisecond each time it is read: the search reads it once per
// try, so a progress display comes every 2000-odd tries.
class SteppingClock final : public Clock {
public:
    explicit SteppingClock(int64_t start) : now_(start) {}
    int64_t nowMs() override { return now_++; }
    void waitUntil(int64_t deadlineMs, const std::function<bool()>&) override {
        processEvents();
        if (deadlineMs > now_) now_ = deadlineMs;
    }

private:
    int64_t now_;
};

// What the window showed each time it let events run during its search.
struct Shown {
    QString caption, label1, label2;
    bool operator==(const Shown&) const = default;
};
void PrintTo(const Shown& s, std::ostream* os) {
    PrintTo(s.caption + " | " + s.label1 + " | " + s.label2, os);
}

// Samples the window each time it lets events run during its search (a zero timer fires
// once per pass).
struct Recorder {
    explicit Recorder(Lösungssucher& w) {
        timer.setInterval(0);
        QObject::connect(&timer, &QTimer::timeout, [this, &w] {
            if (!w.searching()) return;
            shown.push_back({w.windowTitle(), w.Label1->text(), w.Label2->text()});
            if (onSample) onSample(w);
        });
        timer.start();
    }
    std::vector<Shown> shown;
    std::function<void(Lösungssucher&)> onSample;
    QTimer timer;
};

bool handedBack() { return state().handover == -1; }

// Every test starts at a time well past any progress display of an earlier one, since
// the finder keeps its next display time for the program's lifetime.
int64_t freshTime() {
    static int64_t t = 1'000'000;
    t += 1'000'000;
    return t;
}

class FinderTest : public ::testing::Test {
protected:
    void SetUp() override {
        fake_.advance(freshTime());
        setClock(&fake_);
    }
    void TearDown() override {
        setClock(nullptr);
        state().pack.levels.assign({});
        state().handover.clear();
    }
    static void usePack(const std::vector<LevelRecord>& levels, int start) {
        state().pack.levels.assign(levels);
        state().handover.set(start);
    }
    FakeClock fake_;
};

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

// The black outline from (32x, 32y) to (32x + 32, 32y + 32), edges included.
bool outlined(const Lösungssucher& w, int cx, int cy) {
    const auto black = [&](int x, int y) {
        return x >= FinderBoard::Width || y >= FinderBoard::Height ||
               (pixel(w, x, y) & 0xffffff) == 0;
    };
    const int x = 32 * cx, y = 32 * cy;
    for (int i = 0; i <= 32; ++i)
        if (!black(x + i, y) || !black(x, y + i) || !black(x + 32, y + i) || !black(x + i, y + 32))
            return false;
    return true;
}

}  // namespace

TEST_F(FinderTest, SearchesASmallLevelToTheEndAndDrawsTheBestSolution) {
    const LevelRecord level = deflectorLevel();
    usePack({level, level}, 1);
    Lösungssucher w;
    EXPECT_EQ(w.levelIndex(), 1);
    EXPECT_EQ(w.windowTitle(), "-1 - 0");
    EXPECT_EQ(w.Label1->text(), "Keine Lösung");
    EXPECT_EQ(w.Label2->text(), "Label2");
    EXPECT_TRUE(showsTile(w, 0, 0, 1));
    EXPECT_TRUE(showsTile(w, 2, 0, 0));

    Recorder rec(w);
    w.show();
    waitFor(handedBack);

    // Wall outer, deflector inner, each on "not placed" and the three free cells:
    // 4 + 16 tries, 13 arrangements without a shared cell; only the deflector on (2, 0)
    // solves, leaving one piece of two.
    EXPECT_TRUE(w.finished());
    EXPECT_EQ(w.windowTitle(), "1 - 20");
    EXPECT_EQ(w.Label2->text(), "20 / 13 - Fertig");
    const QString best = "Bester Lösung: 1 Steine übrig - 1 Lösungsmöglichkeiten gefunden";
    EXPECT_EQ(w.Label1->text(), best);
    // The first display comes with the first step of the innermost piece (one try per
    // piece); the solution lets events run at once.
    EXPECT_EQ(rec.shown,
              (std::vector<Shown>{{"-1 - 2", "Keine Lösung", "2 / 1"}, {"1 - 4", best, "4 / 3"}}));

    EXPECT_TRUE(showsTile(w, 2, 0, 12, true));  // the deflector (slot 4) where it solves
    EXPECT_TRUE(outlined(w, 2, 0));
    EXPECT_TRUE(showsTile(w, 1, 0, 0));
    EXPECT_TRUE(showsTile(w, 2, 2, 6));

    // Finished, the window stays open until it is closed; closing hands back -1 again.
    EXPECT_TRUE(w.isVisible());
    state().handover.set(7);
    w.close();
    EXPECT_TRUE(handedBack());
}

TEST_F(FinderTest, ALevelSolvedWithoutPiecesIsRecordedAtOnce) {
    usePack({levelFrom({">.R"}, {2, 1}, '#')}, 0);
    Lösungssucher w;
    Recorder rec(w);
    w.show();
    waitFor(handedBack);

    // Recorded at the first check; the wall on the one free cell blocks the beam: no second solution.
    const QString best = "Bester Lösung: 2 Steine übrig - 1 Lösungsmöglichkeiten gefunden";
    ASSERT_FALSE(rec.shown.empty());
    EXPECT_EQ(rec.shown[0], (Shown{"2 - 1", best, "1 / 1"}));
    EXPECT_EQ(w.Label2->text(), "2 / 2 - Fertig");
    EXPECT_EQ(w.windowTitle(), "2 - 2");
    EXPECT_EQ(w.Label1->text(), best);
    EXPECT_TRUE(showsTile(w, 1, 0, 0));
}

TEST_F(FinderTest, ProgressShowsAtMostEveryTwoSecondsAcrossOpenings) {
    // No solution anywhere: only the progress display lets events run.
    const LevelRecord level = levelFrom({">....#", "......", "#####U"}, {1, 1}, '#');
    usePack({level}, 0);
    // Time stands still: one display at the first try, none in a second finder opened
    // within the same two seconds, one again after them.
    std::vector<size_t> displays;
    for (int round = 0; round < 3; ++round) {
        if (round == 2) fake_.advance(2001);
        state().handover.set(0);
        Lösungssucher w;
        Recorder rec(w);
        w.show();
        // Waiting in real time: the fake clock would move on with every wait.
        while (!handedBack()) QTest::qWait(1);
        EXPECT_EQ(w.Label2->text(), "11 / 11 - Fertig");
        EXPECT_EQ(w.Label1->text(), "Keine Lösung");
        displays.push_back(rec.shown.size());
    }
    EXPECT_EQ(displays, (std::vector<size_t>{1, 0, 1}));
}

TEST_F(FinderTest, ClosingDuringTheSearchStopsItWithoutFinishing) {
    // Three walls over 200-odd free cells and no way to the target: millions of tries.
    const LevelRecord level =
        levelFrom({">", "", "", "", "", "", "", "", "", "", "", "###################U"}, {3, 3});
    usePack({level}, 0);
    SteppingClock stepping(freshTime());
    setClock(&stepping);

    Lösungssucher w;
    Recorder rec(w);
    rec.onSample = [&](Lösungssucher& finder) {
        if (rec.shown.size() == 3) finder.close();
    };
    w.show();
    waitFor(handedBack);

    EXPECT_TRUE(w.searchEnded());
    EXPECT_FALSE(w.finished());
    EXPECT_FALSE(w.isVisible());
    ASSERT_EQ(rec.shown.size(), 3u);  // nothing shown after the close
    EXPECT_EQ(w.Label2->text(), rec.shown.back().label2);
    EXPECT_FALSE(w.Label2->text().endsWith(" - Fertig"));
    EXPECT_EQ(rec.shown[0].caption, "-1 - 3");
    setClock(&fake_);
}

TEST_F(FinderTest, NoSearchRunsWhenThereIsNothingToSearchOrTheWindowClosesFirst) {
    LevelRecord crowded = deflectorLevel();
    crowded.Stock[1] = 992;                   // more pieces than the piece list holds
    usePack({deflectorLevel(), crowded}, 5);  // Handover names no level of the pack
    {
        Lösungssucher w;
        EXPECT_EQ(w.levelIndex(), -1);
        w.show();
        waitFor(handedBack);
        EXPECT_EQ(w.Label1->text(), "Keine Lösung");
        EXPECT_EQ(w.Label2->text(), "Label2");
    }
    state().handover.set(0);
    {
        Lösungssucher w;  // closed before Timer1 fires
        w.show();
        w.close();
        EXPECT_TRUE(handedBack());
        state().handover.set(1);
        QTest::qWait(30);  // Timer1 would have fired by now
        EXPECT_FALSE(w.searchEnded());
        EXPECT_EQ(w.Label2->text(), "Label2");
    }
    Lösungssucher w;
    w.show();
    waitFor(handedBack);
    EXPECT_TRUE(w.Label1->text().startsWith("Zu viele Steine"));
    EXPECT_FALSE(w.finished());
}
