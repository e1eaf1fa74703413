#include "solver/Loesungssucher.h"

#include "app/Text.h"
#include "app/Wait.h"
#include "app/state.h"
#include "play/Bilder.h"
#include "play/cells.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

namespace lumor {

namespace {

// The search and its display clock live as long as the program, like the window's own
// fields between loads: the next progress display time carries over from one opening
// of the finder to the next.
SolutionSearch& finderSearch() {
    static SolutionSearch search = [] {
        SolutionSearch s;
        s.setClock([] { return nowMs(); });
        return s;
    }();
    return search;
}

// The finder whose search is on the stack, if any; one search runs at a time.
Lösungssucher* runningFinder = nullptr;

QString number(int64_t n) { return QString::number(n); }

}  // namespace

// --- Board picture ---------------------------------------------------------------------

FinderBoard::FinderBoard(QWidget* parent)
    : QWidget(parent), picture_(Width, Height, QImage::Format_RGB32) {
    picture_.fill(Qt::black);
    setFixedSize(Width, Height);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void FinderBoard::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(rect(), picture_);
}

// --- Window ----------------------------------------------------------------------------

Lösungssucher::Lösungssucher(QWidget* parent) : QWidget(parent, Qt::Window) {
    Feld = new FinderBoard(this);
    Label1 = new QLabel(this);
    Label2 = new QLabel(this);
    for (QLabel* label : {Label1, Label2}) label->setFixedWidth(FinderBoard::Width);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setSpacing(6);
    layout->addWidget(Feld);
    layout->addWidget(Label1);
    layout->addWidget(Label2);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    Timer1.setInterval(1);
    connect(&Timer1, &QTimer::timeout, this, &Lösungssucher::Timer1_Timer);
    Form_Load();
}

Lösungssucher::~Lösungssucher() {
    // Never reached with the search on the stack (a close only requests the abort, the
    // window goes once the search has unwound); this keeps a stray search from calling
    // into a window that is gone.
    if (runningFinder == this) {
        finderSearch().abort();
        finderSearch().setProgressHook({});
        finderSearch().setBestHook({});
        runningFinder = nullptr;
    }
}

void Lösungssucher::Form_Load() {
    const Levels& levels = state().pack.levels;
    const int index = state().handover.toInt();
    levelIndex_ = index >= 0 && index < levels.count() ? index : -1;
    level_ = levelIndex_ >= 0 ? levels[levelIndex_] : LevelRecord{};

    setWindowTitle(QStringLiteral("-1 - 0"));
    Label1->setText(QStringLiteral("Keine Lösung"));
    Label2->setText(QStringLiteral("Label2"));
    paintBoard();
    Timer1.start();
}

void Lösungssucher::Timer1_Timer() {
    // Another finder's search is still on the stack: start once it has unwound.
    if (runningFinder != nullptr && runningFinder != this) return;
    Timer1.stop();
    if (levelIndex_ < 0) {
        endSearch();
        return;
    }
    SolutionSearch& search = finderSearch();
    if (!search.load(level_)) {
        // More pieces than the piece list holds: nothing is searched.
        Label1->setText(toQt(search.loadMessage()));
        endSearch();
        return;
    }
    search.setProgressHook([this, &search] {
        showProgress(search, false);
        processEvents();
    });
    search.setBestHook(
        [this, &search](const std::vector<Piece>& placed) { showBest(search, placed); });
    runningFinder = this;
    searching_ = true;

    search.run();

    searching_ = false;
    runningFinder = nullptr;
    search.setProgressHook({});
    search.setBestHook({});
    finished_ = search.finished();
    if (finished_) showProgress(search, true);
    endSearch();
}

void Lösungssucher::endSearch() {
    ended_ = true;
    state().handover.set(-1);
    if (unloadAfterSearch_) deleteLater();
}

void Lösungssucher::Form_QueryUnload() {
    Timer1.stop();
    if (searching_) finderSearch().abort();
    state().handover.set(-1);
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

void Lösungssucher::paintLevel(QPainter& p) const {
    for (int x = 0; x < BoardWidth; ++x)
        for (int y = 0; y < BoardHeight; ++y)
            p.drawImage(QPoint(32 * x, 32 * y), bilder().tile(level_.cell(x, y)));
}

void Lösungssucher::paintBoard() {
    QPainter p(&Feld->picture());
    paintLevel(p);
    p.end();
    Feld->update();
}

void Lösungssucher::showProgress(const SolutionSearch& search, bool done) {
    QString progress =
        number(search.triedCount()) + QStringLiteral(" / ") + number(search.checkedCount());
    if (done) progress += QStringLiteral(" - Fertig");
    Label2->setText(progress);
    setWindowTitle(number(search.bestLeft()) + QStringLiteral(" - ") + number(search.triedCount()));
}

void Lösungssucher::showBest(const SolutionSearch& search, const std::vector<Piece>& placed) {
    Label1->setText(QStringLiteral("Bester Lösung: ") + number(search.bestLeft()) +
                    QStringLiteral(" Steine übrig - ") + number(search.solutionCount()) +
                    QStringLiteral(" Lösungsmöglichkeiten gefunden"));

    // The level as it stands, then every placed piece with a black outline; the outline
    // takes 33 x 33 pixels, so its right and bottom edges lie on the next cells.
    QPainter p(&Feld->picture());
    paintLevel(p);
    p.setPen(QPen(Qt::black, 0));
    p.setBrush(Qt::NoBrush);
    for (const Piece& piece : placed) {
        if (piece.X < 0) continue;
        p.drawImage(QPoint(32 * piece.X, 32 * piece.Y), bilder().tile(codeOfSlot(piece.Slot)));
        p.drawRect(QRect(32 * piece.X, 32 * piece.Y, 32, 32));
    }
    p.end();
    Feld->update();

    showProgress(search, false);
    processEvents();
}

// --- The title menu's solver request ---------------------------------------------------

void openLösungssucher(QWidget* parent, int level) {
    state().handover.set(level);
    auto* finder = new Lösungssucher(parent);
    finder->setAttribute(Qt::WA_DeleteOnClose);
    finder->show();
    waitFor([] { return state().handover == -1; });
}

}  // namespace lumor
