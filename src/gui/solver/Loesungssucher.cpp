#include "solver/Loesungssucher.h"

#include "app/Look.h"
#include "app/Text.h"
#include "app/Wait.h"
#include "app/edition.h"
#include "app/state.h"
#include "play/Bilder.h"
#include "play/cells.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QVBoxLayout>

#include <algorithm>
#include <chrono>
#include <thread>

namespace lumor {

namespace {

QString number(int64_t n) { return QString::number(n); }
QString number(const Count& n) { return QString::fromStdString(n.toString()); }

int64_t steadyNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace

// --- Window ----------------------------------------------------------------------------

FinderSetup finderSetupOf(ProgramState& program) {
    return {program.pack.levels, program.handover.toInt(),
            [&program] { program.handover.set(-1); }};
}

Lösungssucher::Lösungssucher(QWidget* parent, Clock& clock)
    : Lösungssucher(finderSetupOf(state()), parent, clock) {}

Lösungssucher::Lösungssucher(FinderSetup setup, QWidget* parent, Clock& clock)
    : QWidget(parent, Qt::Window), clock_(clock), answer_(std::move(setup.answer)) {
    Feld = new BoardView(this);
    Label1 = new QLabel(this);
    Label2 = new QLabel(this);
    for (QLabel* label : {Label1, Label2}) label->setFixedWidth(BoardPixelWidth);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setSpacing(6);
    layout->addWidget(Feld);
    layout->addWidget(Label1);
    layout->addWidget(Label2);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    look::applyWindowLook(this);

    Timer1.setInterval(1);
    Timer1.setSingleShot(true);
    connect(&Timer1, &QTimer::timeout, this, &Lösungssucher::Timer1_Timer);
    Form_Load(setup.levels, setup.index);
}

// The window goes only once its search has unwound (closeEvent), so nothing of the
// search is left running here.
Lösungssucher::~Lösungssucher() = default;

void Lösungssucher::Form_Load(const Levels& levels, int index) {
    levelIndex_ = index >= 0 && index < levels.count() ? index : -1;
    level_ = levelIndex_ >= 0 ? levels[levelIndex_] : LevelRecord{};
    AbortRequested = false;

    setWindowTitle(QStringLiteral("-1 - 0"));
    Label2->setText(QStringLiteral("Label2"));
    if (levelIndex_ >= 0)
        Label1->setText(QStringLiteral("Keine Lösung"));
    else
        Label1->setText(QStringLiteral("Level %1 gibt es in diesem Levelpack nicht (%2 Level).")
                            .arg(index + 1)
                            .arg(levels.count()));
    Feld->paintBoard(level_.Cells);
    // The earlier release works out the total of its tries as the window loads.
    if (edition().olderFinder && levelIndex_ >= 0) earlierLoaded_ = earlier_.load(level_);
    Timer1.start();
}

void Lösungssucher::Timer1_Timer() {
    if (levelIndex_ < 0) {
        endSearch(false);
        return;
    }
    if (edition().olderFinder) {
        runEarlierSearch();
        return;
    }
    if (!search_.load(level_)) {
        // More pieces than the piece list holds: nothing is searched.
        Label1->setText(toQt(search_.loadMessage()));
        endSearch(false);
        return;
    }
    searching_ = true;
    nextEventsNs_ = 0;
    const int cores = static_cast<int>(std::thread::hardware_concurrency());
    search_.run([this] { return poll(); }, threads_ > 0 ? threads_ : std::clamp(cores, 1, 8));
    searching_ = false;
    finished_ = search_.finished();
    if (finished_) {
        showProgress(true);
        showBest();
    }
    endSearch(finished_);
}

// The earlier release: the older search, tried arrangement by arrangement; each solution
// recorded as best is shown at once, with an event run.
void Lösungssucher::runEarlierSearch() {
    if (!earlierLoaded_) {
        Label1->setText(toQt(earlier_.loadMessage()));
        endSearch(false);
        return;
    }
    earlier_.onBest = [this] {
        if (AbortRequested) return;
        showBest();
        showProgress(false);
        processEvents();
        if (onEvents) onEvents();
    };
    searching_ = true;
    nextEventsNs_ = 0;
    earlier_.run([this] { return poll(); });
    searching_ = false;
    finished_ = earlier_.finished();
    if (finished_) showProgress(true);
    endSearch(finished_);
}

// Called by the search at its start and then every few milliseconds: the progress display
// at most every 2000 ms by the program's clock, events every 10 ms of real time.
bool Lösungssucher::poll() {
    if (AbortRequested) return true;
    const int64_t t = clock_.nowMs();
    if (NextDisplayTime < t) {
        NextDisplayTime = t + DisplayIntervalMs;
        showProgress(false);
    }
    const int64_t ns = steadyNs();
    if (ns >= nextEventsNs_) {
        nextEventsNs_ = ns + EventIntervalMs * 1'000'000;
        processEvents();
        if (onEvents) onEvents();
    }
    return AbortRequested;
}

void Lösungssucher::endSearch(bool finished) {
    ended_ = true;
    if (answer_) answer_();
    if (onSearchEnded) onSearchEnded(finished);
    if (unloadAfterSearch_) deleteLater();
}

void Lösungssucher::Form_QueryUnload() {
    Timer1.stop();
    AbortRequested = true;
    if (answer_) answer_();
}

void Lösungssucher::closeEvent(QCloseEvent* event) {
    Form_QueryUnload();
    if (searching_ && testAttribute(Qt::WA_DeleteOnClose)) {
        // The search is still on the stack below this event: the window goes once it
        // has unwound.
        setAttribute(Qt::WA_DeleteOnClose, false);
        unloadAfterSearch_ = true;
    }
    event->accept();
}

// While searching: the best known so far, and the pieces tried and beam runs made; at the
// end: the counters of trying every arrangement.
void Lösungssucher::showProgress(bool done) {
    QString progress, caption;
    if (edition().olderFinder) {
        // Tries so far, skipped ones included, against the total worked out on load.
        progress = number(earlier_.triedCount()) + QStringLiteral(" / ") +
                   number(earlier_.total()) + (done ? QStringLiteral(" - Fertig") : QString());
        caption =
            number(earlier_.bestLeft()) + QStringLiteral(" - ") + number(earlier_.triedCount());
    } else if (done) {
        progress = number(search_.triedCount()) + QStringLiteral(" / ") +
                   number(search_.checkedCount()) + QStringLiteral(" - Fertig");
        caption = number(search_.bestLeft()) + QStringLiteral(" - ") + number(search_.triedCount());
    } else {
        progress = number(search_.workTries()) + QStringLiteral(" / ") + number(search_.workRuns());
        caption =
            number(search_.bestLeftSoFar()) + QStringLiteral(" - ") + number(search_.workTries());
    }
    Label2->setText(progress);
    setWindowTitle(caption);
}

void Lösungssucher::showBest() {
    if (edition().olderFinder) {
        Label1->setText(QStringLiteral("Bester Lösung: ") + number(earlier_.bestLeft()) +
                        QStringLiteral(" Steine übrig"));
        paintArrangement(earlier_.bestArrangement());
        return;
    }
    if (search_.bestLeft() < 0) return;
    Label1->setText(QStringLiteral("Bester Lösung: ") + number(search_.bestLeft()) +
                    QStringLiteral(" Steine übrig - ") + number(search_.solutionCount()) +
                    QStringLiteral(" Lösungsmöglichkeiten gefunden"));
    paintArrangement(search_.bestArrangement());
}

// The level as it stands, then every placed piece with a black outline; the outline takes
// 33 x 33 pixels, so its right and bottom edges lie on the next cells.
void Lösungssucher::paintArrangement(const std::vector<Piece>& pieces) {
    Feld->paintBoard(level_.Cells);
    QPainter p(&Feld->picture());
    p.setPen(QPen(Qt::black, 0));
    p.setBrush(Qt::NoBrush);
    for (const Piece& piece : pieces) {
        const QPoint at(CellPixels * piece.X, CellPixels * piece.Y);
        p.drawImage(at, bilder().tile(codeOfSlot(piece.Slot)));
        p.drawRect(QRect(at, QSize(CellPixels, CellPixels)));
    }
    p.end();
    Feld->changedAll();
}

// --- The title menu's solver request ---------------------------------------------------

namespace {

// Closes the finder when its parent window is asked to close.
class CloseAlong final : public QObject {
public:
    CloseAlong(QWidget* parent, Lösungssucher* finder) : QObject(finder), finder_(finder) {
        parent->installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Close && finder_->isVisible()) finder_->close();
        return false;
    }

private:
    Lösungssucher* finder_;
};

}  // namespace

void openLösungssucher(QWidget* parent, int level) { openLösungssucherOn(parent, level, clock()); }

void openLösungssucherOn(QWidget* parent, int level, Clock& clock, ProgramState& program) {
    program.handover.set(level);
    auto* finder = new Lösungssucher(finderSetupOf(program), parent, clock);
    finder->setAttribute(Qt::WA_DeleteOnClose);
    if (parent) new CloseAlong(parent, finder);
    finder->show();
    clock.waitFor([&program] { return program.handover == -1; });
}

}  // namespace lumor
