#include "solver/Loesungssucher.h"

#include "app/Look.h"
#include "app/Text.h"
#include "app/Wait.h"
#include "app/state.h"
#include "play/Bilder.h"
#include "play/cells.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QVBoxLayout>

#include <chrono>
#include <cmath>

namespace lumor {

namespace {

QString number(int64_t n) { return QString::number(n); }
QString number(const Count& n) { return QString::fromStdString(n.toString()); }

// How far a search through rising piece counts is: the stage (the piece count searched),
// its share done and, once it can be estimated, the time the stage still takes.
QString stageText(const SearchProgress& p) {
    QString text = QStringLiteral("Stufe %1 von %2: %3 %")
                       .arg(p.pass)
                       .arg(p.lastPass)
                       .arg(static_cast<int>(p.share * 100));
    if (p.secondsLeft >= 0)
        text += QStringLiteral(", diese Stufe noch etwa %1 s").arg(std::llround(p.secondsLeft));
    return text;
}

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
    // The search is loaded with the window: the earlier release works out the total of its
    // tries here.
    if (levelIndex_ >= 0) {
        SearchOptions options;
        options.threads = waitingThreads();
        search_ = makeSearch(SearchMode::Finder, options);
        loaded_ = search_->load(level_);
    }
    Timer1.start();
}

void Lösungssucher::Timer1_Timer() {
    if (levelIndex_ < 0) {
        endSearch(false);
        return;
    }
    if (!loaded_) {
        // More pieces than the piece list holds: nothing is searched.
        Label1->setText(toQt(search_->loadMessage()));
        endSearch(false);
        return;
    }
    // A search that shows its bests as it goes (the earlier release's) shows each at once,
    // with an event run.
    search_->onBest = [this] {
        if (AbortRequested) return;
        showBest();
        showProgress(false);
        processEvents();
        if (onEvents) onEvents();
    };
    if (threads_ > 0) search_->setThreads(threads_);
    searching_ = true;
    nextEventsNs_ = 0;
    search_->run([this] { return poll(); });
    searching_ = false;
    finished_ = search_->result().finished;
    if (finished_) {
        showProgress(true);
        showBest();
    }
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

// While searching: the best known so far, the search's work counters and, once known, its
// share of the current piece count and the time left; at the end: the counters of trying
// every arrangement (the earlier release: its tries against their total).
void Lösungssucher::showProgress(bool done) {
    QString progress, caption;
    if (done) {
        const SearchResult& r = search_->result();
        const Count& tried = r.tried.value_or(Count());
        progress = number(tried) + QStringLiteral(" / ") +
                   number(r.total ? *r.total : r.checked.value_or(Count())) +
                   QStringLiteral(" - Fertig");
        caption = number(r.bestLeft) + QStringLiteral(" - ") + number(tried);
    } else {
        const SearchProgress p = search_->progress();
        progress = number(p.tries) + QStringLiteral(" / ") + number(p.total.value_or(p.runs));
        // The earlier release's line says how far it is by itself.
        if (!p.total && p.share > 0) progress += QStringLiteral(" - ") + stageText(p);
        caption = number(p.bestLeft) + QStringLiteral(" - ") + number(p.tries);
    }
    Label2->setText(progress);
    setWindowTitle(caption);
}

void Lösungssucher::showBest() {
    const SearchResult& r = search_->result();
    const bool running = searching_;
    const int32_t left = running ? search_->progress().bestLeft : r.bestLeft;
    if (left < 0) return;
    QString text =
        QStringLiteral("Bester Lösung: ") + number(left) + QStringLiteral(" Steine übrig");
    if (r.solutions)
        text += QStringLiteral(" - ") + number(*r.solutions) +
                QStringLiteral(" Lösungsmöglichkeiten gefunden");
    Label1->setText(text);
    paintArrangement(running ? search_->bestSoFar() : r.best);
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
