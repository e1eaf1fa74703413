// The board window's board: drawing it, placing pieces on it, and the hint.
#include "play/Form1.h"

#include "app/Text.h"
#include "app/edition.h"
#include "app/paths.h"
#include "levels/levelsource.h"
#include "play/Bilder.h"
#include "play/BoardNotes.h"
#include "play/Form1Look.h"
#include "play/cells.h"

#include <QFontMetrics>
#include <QFutureWatcher>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPromise>
#include <QPushButton>
#include <QThreadPool>
#include <QTimer>
#include <QToolTip>

namespace lumor {

using namespace boardwindow;

namespace {

// The piece of a stock slot as its tooltip names it; deflectors by the shape of their
// turn, as the level sources draw them.
QString pieceName(int slot) {
    const int code = codeOfSlot(slot);
    switch (code) {
        case Wall:
            return QStringLiteral("Wand");
        case Cross:
            return QStringLiteral("Kreuz");
        case Sand:
            return QStringLiteral("Sand");
        case Splitter:
            return QStringLiteral("Teiler");
        default:
            return QStringLiteral("Umlenker ") + QString::fromStdString(sourceCharOf(code));
    }
}

// Where the chosen stock slot is marked behind its picture and count (in the base layout).
QRect slotPanel(int slot) { return {80 + 72 * (slot - 1) - 6, 0, 46, 47}; }

}  // namespace

// ---------------------------------------------------------------------------------
// Drawing

void Form1::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setPen(DarkGrey);
    // The lines above and below the board, as wide as it is.
    const int left = layout_.boardX, right = left + Feld->width();
    p.drawLine(left, layout_.boardY - 1, right, layout_.boardY - 1);
    p.drawLine(left, layout_.boardY + Feld->height(), right, layout_.boardY + Feld->height());
    const int slot = model_.selectedSlot();
    if (slot >= 1 && slot <= SlotCount && Image1[static_cast<size_t>(slot)]->isVisible()) {
        QColor glow = Yellow;
        glow.setAlpha(90);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(glow);
        p.drawRoundedRect(slotPanel(slot).translated(layout_.stockDx, layout_.stockDy), 6, 6);
    }
}

void Form1::showButtons() {
    const AttemptPhase phase = model_.phase();
    Command1->setText(phase == AttemptPhase::Running  ? StopCaption
                      : phase == AttemptPhase::Paused ? WeiterCaption
                                                      : StartCaption);
    Command3->setText(model_.attemptRunning() ? AbbrechenCaption : NochMalCaption);
    const bool open = phase != AttemptPhase::Intro && phase != AttemptPhase::Finale;
    Command1->setEnabled(open);
    Command3->setEnabled(open);
}

void Form1::showCounts() {
    for (int i = 0; i <= SlotCount; ++i)
        Anzahl[static_cast<size_t>(i)]->setText(QString::number(model_.stock(i)));
    for (int s = 1; s <= SlotCount; ++s)
        Image1[static_cast<size_t>(s)]->setToolTip(
            QStringLiteral("%1 (noch %2)").arg(pieceName(s)).arg(model_.stock(s)));
}

void Form1::showSelection() {
    for (int s = 1; s <= SlotCount; ++s)
        Image1[static_cast<size_t>(s)]->setBorderStyle(s == model_.selectedSlot() ? 1 : 0);
    update(0, layout_.stockDy, width(), 48);  // the mark behind the chosen slot
}

void Form1::showStock(bool visible) {
    Label1->setVisible(visible);
    for (int s = 1; s <= SlotCount; ++s) Image1[static_cast<size_t>(s)]->setVisible(visible);
    for (int i = 0; i <= SlotCount; ++i) Anzahl[static_cast<size_t>(i)]->setVisible(visible);
}

void Form1::Aufbau() {
    endHint(false);
    Feld->clear();
    messageText_.clear();
    Feld->paintBoard(edition().aufbauPaintsStored ? model_.stored().Cells : model_.saved().Cells);
    showCounts();
    CaptionUpdate();
    if (opt(OptPositionFrame)) posFrame_ = true;
    if (keyCursor_ && PosX) ErstellePosFeld(*PosX, PosY);
}

void Form1::Feld_Paint() {
    if (Feld->autoRedraw()) return;  // the persistent picture shows itself
    if (!messageText_.isEmpty()) {
        Feld->picture().fill(Qt::black);
        printCentred(messageText_, pen_);
        Feld->changedAll();
    } else {
        Feld->paintBoard(model_.board());
        if (hint_) drawHint();
        if (keyCursor_ && PosX && boardOpen()) ErstellePosFeld(*PosX, PosY);
    }
}

void Form1::ErstellePosFeld(int x, int y) {
    PosX = x;
    PosY = y;
    Feld->drawFrame(x, y);
    const int32_t pen = edition().penAfterFrame;
    pen_ = QColor(pen & 255, (pen >> 8) & 255, (pen >> 16) & 255);
}

void Form1::LöschPosFeld() {
    const int x = PosX.value_or(0);
    if (x >= 0 && x < BoardWidth && PosY >= 0 && PosY < BoardHeight) {
        Feld->paintCell(x, PosY, model_.cell(x, PosY));
        if (hint_ && hint_->x == x && hint_->y == PosY) drawHint();
    }
}

QFont Form1::fontForText(const QString& text) const {
    QFont f = messageFont_;
    for (int size = 24; size >= 8; --size) {
        f.setPointSize(size);
        if (QFontMetrics(f, &Feld->picture()).horizontalAdvance(text) <= FeldWidth) return f;
    }
    return f;  // size 8: a text too wide even then is cut off at the edges
}

void Form1::printCentred(const QString& text, const QColor& colour) {
    QPainter p(&Feld->picture());
    p.setFont(messageFont_);
    p.setPen(colour);
    const QFontMetrics fm = p.fontMetrics();
    const int left = FeldWidth / 2 - fm.horizontalAdvance(text) / 2;
    const int top = FeldHeight / 2 - fm.height() / 2;
    p.drawText(left, top + fm.ascent(), text);
}

void Form1::CaptionUpdate() {
    const int level = model_.level();
    if (level < 0 || level >= Levels::Capacity) return;
    const LevelRecord& rec = setup_.pack.levels[level];
    QString caption = QStringLiteral("Level %1 - ").arg(level + 1) + toQt(rec.Name) +
                      QStringLiteral(" (Passwort:") + toQt(rec.Password) + QStringLiteral(")");
    if (model_.hintsUsed() > 0) caption += QStringLiteral(" Tipps:%1").arg(model_.hintsUsed());
    if (setup_.musicOn) {
        caption += QStringLiteral(" Musik:");
        if (musicIndex_ >= 0 && musicIndex_ < static_cast<int>(music_.size()))
            caption +=
                QString::fromStdString(displayFileName(music_[static_cast<size_t>(musicIndex_)]));
    }
    setWindowTitle(caption);
}

// ---------------------------------------------------------------------------------
// Placing pieces

void Form1::Image1_Click(int Index) {
    model_.selectSlot(Index);
    showSelection();
}

void Form1::Feld_MouseDown(Qt::MouseButton Button, qreal X, qreal Y) {
    const QPoint c = BoardView::cellAt({X, Y});
    const int cx = c.x(), cy = c.y();
    if (cx < 0 || cy < 0 || cx > BoardWidth - 1 || cy > BoardHeight - 1) return;
    if (!model_.hasLevel()) return;  // no level on the board
    if (Button == Qt::LeftButton && model_.selectedSlot() >= 0)
        placeOn(cx, cy);
    else if (Button == Qt::LeftButton)
        notes_->clicked(refusalAt(model_, cx, cy));  // no piece chosen
    else if (Button == Qt::RightButton && model_.selectedSlot() >= 0)
        takeBackFrom(cx, cy, true);
    // A click moves the keys' cursor too.
    if (frameOn()) redrawFrame(cx, cy);
}

void Form1::placeOn(int x, int y) {
    const PlayModel::Placed placed = model_.place(x, y);
    notes_->clicked(placed.placed ? Refusal::None : refusalAt(model_, x, y));
    if (placed.placed) {
        if (hint_ && hint_->x == x && hint_->y == y) endHint(false);
        Feld->paintCell(x, y, model_.cell(x, y));
        showCounts();
    }
    if (placed.autostart)
        Command1_Click();
    else if (placed.placed)
        foreseeHint();
}

bool Form1::takeBackFrom(int x, int y, bool needsSlot) {
    const PlayModel::Taken taken = model_.takeBack(x, y, needsSlot);
    if (!taken.taken) return false;
    showCounts();
    showSelection();
    if (hint_ && hint_->x == x && hint_->y == y) endHint(false);
    Feld->paintCell(x, y, taken.code);
    foreseeHint();
    return true;
}

// The frame taken from where it was and drawn on cell (x, y).
void Form1::redrawFrame(int x, int y) {
    LöschPosFeld();
    ErstellePosFeld(x, y);
}

void Form1::Feld_MouseMove(qreal X, qreal Y) {
    if (!posFrame_) return;
    const QPoint c = BoardView::cellAt({X, Y});
    if (c.x() != PosX.value_or(0) || c.y() != PosY) {
        LöschPosFeld();
        ErstellePosFeld(c.x(), c.y());
    }
}

void Form1::mouseMoveEvent(QMouseEvent*) {
    // Over the window itself, a count label or a stock image: the frame goes, unless it
    // is the keys' cursor.
    if (posFrame_ && !keyCursor_) LöschPosFeld();
}

// ---------------------------------------------------------------------------------
// Hints

bool Form1::hintSearching() const { return hintSearch_->isRunning(); }

// The level's answer, searched on one thread from the level's start: the beam run keeps
// the other core. A level from the editor may be beyond any search: it gives up after a
// while, and at once when the window or the level goes.
void Form1::prepareHints() {
    if (hints_) hints_->cancel();
    hints_ = std::make_shared<HintSource>(model_.stored(), 1);
    const auto deadline = std::chrono::steady_clock::now() + HintSearchLimit;
    QThreadPool::globalInstance()->start([source = hints_, deadline] {
        source->prepare([deadline] { return std::chrono::steady_clock::now() > deadline; });
    });
}

QFuture<Hint> Form1::searchHint(const LevelRecord& current) {
    auto promise = std::make_shared<QPromise<Hint>>();
    QFuture<Hint> future = promise->future();
    promise->start();
    const auto deadline = std::chrono::steady_clock::now() + HintSearchLimit;
    QThreadPool::globalInstance()->start([promise, deadline, source = hints_, current] {
        promise->addResult(source
                               ->hintFor(current,
                                         [&promise, deadline] {
                                             return promise->isCanceled() ||
                                                    std::chrono::steady_clock::now() > deadline;
                                         })
                               .value_or(Hint{}));
        promise->finish();
    });
    return future;
}

void Form1::foreseeHint() {
    stopForesight();
    if (!hints_ || !model_.hasLevel() || model_.phase() != AttemptPhase::Idle) return;
    foreseenBoard_ = model_.asPlaced();
    if (hints_->known(foreseenBoard_)) return;
    foreseen_ = searchHint(foreseenBoard_);
}

void Form1::stopForesight() {
    // Called when the board changes or a run starts: a press waiting for this search
    // would drop its answer anyway.
    if (foreseen_.isRunning()) foreseen_.cancel();
    foreseen_ = {};
}

void Form1::Tipp() {
    if (!model_.hasLevel() || model_.phase() != AttemptPhase::Idle || !messageText_.isEmpty() ||
        hintSearching())
        return;
    hintAskedFor_ = model_.asPlaced();
    if (!hints_ || hints_->stored().Cells != model_.stored().Cells ||
        hints_->stored().Stock != model_.stored().Stock)
        prepareHints();
    if (const std::optional<Hint> known = hints_->known(hintAskedFor_)) {
        answerHint(*known);
        return;
    }
    // Already under way since the last piece went down: wait for that search.
    const bool ahead = foreseen_.isRunning() && foreseenBoard_.Cells == hintAskedFor_.Cells &&
                       foreseenBoard_.Stock == hintAskedFor_.Stock;
    hintSearch_->setFuture(ahead ? foreseen_ : searchHint(hintAskedFor_));
}

void Form1::answerHint(const Hint& h) {
    const LevelRecord now = model_.asPlaced();
    // The player has moved on meanwhile: the answer is about another board.
    if (model_.phase() != AttemptPhase::Idle || !messageText_.isEmpty() ||
        now.Cells != hintAskedFor_.Cells || now.Stock != hintAskedFor_.Stock)
        return;
    lastHint_ = h;
    if (h.kind != Hint::Kind::Cell) {
        QToolTip::showText(Command1->mapToGlobal(QPoint(0, 0)),
                           h.kind == Hint::Kind::Complete
                               ? QStringLiteral("Alle Steine liegen richtig: Start!")
                               : QStringLiteral("Für diesen Level ist keine Lösung bekannt."),
                           Command1);
        return;
    }
    endHint(true);
    model_.noteHint();
    CaptionUpdate();
    hint_ = h;
    hintUntil_ = clock_.nowMs() + HintShownMs;
    drawHint();
    if (frameOn() && PosX == h.x && PosY == h.y) Feld->drawFrame(h.x, h.y);
    hintTimer_->start();
}

void Form1::drawHint() {
    const Hint& h = *hint_;
    Feld->paintCell(h.x, h.y, model_.cell(h.x, h.y));
    const QRect cell(CellPixels * h.x, CellPixels * h.y, CellPixels, CellPixels);
    QPainter p(&Feld->picture());
    if (h.code != Empty) {
        p.setOpacity(0.65);
        p.drawImage(cell.topLeft(), bilder().tile(h.code));
        p.setOpacity(1);
    } else {
        // Nothing belongs here: the piece on the cell is to be taken away.
        p.setPen(QPen(Yellow, 3));
        p.drawLine(cell.topLeft() + QPoint(8, 8), cell.bottomRight() - QPoint(8, 8));
        p.drawLine(cell.topRight() + QPoint(-8, 8), cell.bottomLeft() + QPoint(8, -8));
    }
    p.setPen(QPen(Yellow, 2));
    p.drawRect(QRectF(cell).adjusted(2, 2, -2, -2));
    p.end();
    Feld->changed(cell);
}

void Form1::endHint(bool repaint) {
    hintTimer_->stop();
    if (!hint_) return;
    const Hint h = *hint_;
    hint_.reset();
    if (!repaint || !messageText_.isEmpty()) return;
    Feld->paintCell(h.x, h.y, model_.cell(h.x, h.y));
    if (frameOn() && PosX == h.x && PosY == h.y) Feld->drawFrame(h.x, h.y);
}

}  // namespace lumor
