// The solution finder window: tries every arrangement of one level's stock pieces and
// shows the best solution found, with its progress in the caption and two labels.
// Opened modeless from the title menu's password entry; answers with Handover = -1 when
// its search has ended and again when it is closed.
#pragma once

#include "levels/level.h"
#include "solver/search.h"

#include <QImage>
#include <QTimer>
#include <QWidget>

#include <vector>

class QLabel;
class QPainter;

namespace lumor {

// The finder's board picture: 640 x 384 pixels, cell (x, y) on the square at (32x, 32y).
class FinderBoard final : public QWidget {
public:
    static constexpr int Width = BoardWidth * 32;
    static constexpr int Height = BoardHeight * 32;

    explicit FinderBoard(QWidget* parent = nullptr);
    QImage& picture() { return picture_; }
    const QImage& picture() const { return picture_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage picture_;
};

// No Q_OBJECT here (the name would not survive moc): everything is connected by
// member-function pointer.
class Lösungssucher final : public QWidget {
public:
    // Loads the window for the level whose index is in Handover.
    explicit Lösungssucher(QWidget* parent = nullptr);
    ~Lösungssucher() override;

    FinderBoard* Feld = nullptr;
    QLabel* Label1 = nullptr;  // the best-solution line
    QLabel* Label2 = nullptr;  // the progress line
    QTimer Timer1;             // starts the search once after loading

    // The level being solved; -1 when Handover named no level of the pack.
    int levelIndex() const { return levelIndex_; }
    // True while the search is on the stack (it runs inside a Timer1 event).
    bool searching() const { return searching_; }
    // True once a search has gone through every arrangement.
    bool finished() const { return finished_; }
    // The search ended (completely or by the close request).
    bool searchEnded() const { return ended_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Load();
    void Timer1_Timer();
    void Form_QueryUnload();

    void paintBoard();
    void paintLevel(QPainter& p) const;
    void showProgress(const SolutionSearch& search, bool done);
    void showBest(const SolutionSearch& search, const std::vector<Piece>& placed);
    void endSearch();

    int levelIndex_ = -1;
    LevelRecord level_;
    bool searching_ = false;
    bool finished_ = false;
    bool ended_ = false;
    bool unloadAfterSearch_ = false;
};

// The solver request of the title menu: opens the finder for the level, not modally,
// and waits, handling events, until the finder has put -1 into Handover.
void openLösungssucher(QWidget* parent, int level);

}  // namespace lumor
