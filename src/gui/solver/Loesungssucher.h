// The solution finder window: works out, for one level of the pack, what trying every
// arrangement of its stock pieces ends with (tries, checks, the best solution and how often
// it was recorded) and draws the best solution. Opened modeless from the title menu's
// password entry; answers (in the program: Handover = -1) when its search has ended and
// again when it is closed.
#pragma once

#include "app/Wait.h"
#include "app/state.h"
#include "levels/level.h"
#include "play/BoardView.h"
#include "solver/levelsearch.h"

#include <QTimer>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class QLabel;

namespace lumor {

// What the finder is handed: the levels of the pack, the index of the one to solve, and
// what it does to answer.
struct FinderSetup {
    Levels levels;
    int index = -1;
    std::function<void()> answer;
};

// The loaded pack and the level in Handover; the answer puts -1 into Handover.
FinderSetup finderSetupOf(ProgramState& program);

// No Q_OBJECT here (the name would not survive moc): everything is connected by
// member-function pointer, and the end of a search is reported by callback.
class Lösungssucher final : public QWidget {
public:
    static constexpr int64_t DisplayIntervalMs = 2000;  // between progress displays
    static constexpr int EventIntervalMs = 10;          // between event runs while searching

    // Loads the window for the level handed. Its progress displays follow `clock`.
    Lösungssucher(FinderSetup setup, QWidget* parent, Clock& clock = lumor::clock());
    // Loads the window for the level whose index is in Handover.
    explicit Lösungssucher(QWidget* parent = nullptr, Clock& clock = lumor::clock());
    ~Lösungssucher() override;

    BoardView* Feld = nullptr;
    QLabel* Label1 = nullptr;  // the best-solution line
    QLabel* Label2 = nullptr;  // the progress line
    QTimer Timer1;             // starts the search once after loading

    // Runs when the search has ended (true: it went through to the answer), after the
    // window has answered.
    std::function<void(bool finished)> onSearchEnded;
    // Runs each time the search has let events run (for tests and measurements).
    std::function<void()> onEvents;

    // The level being solved; -1 when Handover named no level of the pack.
    int levelIndex() const { return levelIndex_; }
    bool searching() const { return searching_; }
    bool finished() const { return finished_; }
    bool searchEnded() const { return ended_; }
    // The edition's finder search; null when Handover named no level of the pack.
    const LevelSearch* search() const { return search_.get(); }
    // Threads the search uses (the processor's cores unless set before it starts).
    void setThreads(int threads) { threads_ = threads; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Load(const Levels& levels, int index);
    void Timer1_Timer();
    void Form_QueryUnload();

    bool poll();

    void showProgress(bool done);
    void showBest();
    void paintArrangement(const std::vector<Piece>& pieces);
    void endSearch(bool finished);

    Clock& clock_;
    std::function<void()> answer_;
    int levelIndex_ = -1;
    LevelRecord level_;
    std::unique_ptr<LevelSearch> search_;
    bool loaded_ = false;
    int threads_ = 0;
    int64_t NextDisplayTime = 0;
    int64_t nextEventsNs_ = 0;
    bool AbortRequested = false;
    bool searching_ = false;
    bool finished_ = false;
    bool ended_ = false;
    bool unloadAfterSearch_ = false;
};

// The solver request of the title menu: opens the finder for a level of the loaded pack,
// not modally, and waits, handling events, until the finder has put -1 into Handover.
// Closing the parent window meanwhile closes the finder too, which ends its search.
void openLösungssucher(QWidget* parent, int level);
// The same for the pack and Handover of `program`, waiting on and pacing the finder by
// the given clock.
void openLösungssucherOn(QWidget* parent, int level, Clock& clock, ProgramState& program = state());

}  // namespace lumor
