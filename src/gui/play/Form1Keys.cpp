// The board window's size and keys: the board scaled to the window, full screen, the size
// remembered, and play by keyboard with its cell cursor and undo.
#include "play/Form1.h"

#include "play/BoardNotes.h"
#include "play/Form1Look.h"
#include "play/placewhy.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QResizeEvent>

#include <algorithm>

namespace lumor {

using namespace boardwindow;

// ---------------------------------------------------------------------------------
// The window's size

// The controls' places in the base layout, from which every larger layout is made.
void Form1::rememberLayout() {
    placed_.clear();
    const auto add = [this](QWidget* w, bool below) {
        placed_.push_back({w, w->geometry(), below});
    };
    add(Label1, false);
    for (int i = 0; i <= SlotCount; ++i) add(Anzahl[static_cast<size_t>(i)], false);
    for (int s = 1; s <= SlotCount; ++s) add(Image1[static_cast<size_t>(s)], false);
    for (QPushButton* b : {Command1, Command2, Command3, Command4}) add(b, true);
    placeControls();
}

void Form1::placeControls() {
    layout_ = BoardLayout::fit(width(), height());
    Feld->setScale(layout_.scale);
    Feld->move(layout_.boardX, layout_.boardY);
    for (const Placed& p : placed_)
        p.control->setGeometry(p.below ? p.base.translated(layout_.buttonsDx, layout_.buttonsDy)
                                       : p.base.translated(layout_.stockDx, layout_.stockDy));
    update();
}

void Form1::resizeEvent(QResizeEvent* e) {
    QDialog::resizeEvent(e);
    placeControls();
    if (isVisible() &&
        !(windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen | Qt::WindowMinimized)))
        normalSize_ = size();
}

void Form1::restoreSize() {
    if (setup_.sizeFile.empty()) return;
    sizeLoaded_ = BoardWindowSize::load(setup_.sizeFile);
    normalSize_ = QSize(sizeLoaded_.width, sizeLoaded_.height);
    resize(normalSize_);
    if (sizeLoaded_.shown == BoardWindowSize::Shown::Maximized)
        setWindowState(Qt::WindowMaximized);
    else if (sizeLoaded_.shown == BoardWindowSize::Shown::FullScreen)
        setWindowState(Qt::WindowFullScreen);
}

// Written when the window closes, and only when something changed. The normal size is the
// window's own record: a window manager may hand Qt the maximised size for it.
void Form1::rememberSize() {
    if (setup_.sizeFile.empty() || !loaded_) return;
    BoardWindowSize now = sizeLoaded_;
    const Qt::WindowStates state = windowState();
    now.shown = state & Qt::WindowFullScreen  ? BoardWindowSize::Shown::FullScreen
                : state & Qt::WindowMaximized ? BoardWindowSize::Shown::Maximized
                                              : BoardWindowSize::Shown::Normal;
    const QSize normal = now.shown == BoardWindowSize::Shown::Normal ? size() : normalSize_;
    now.width = std::max(normal.width(), BoardLayout::BaseWidth);
    now.height = std::max(normal.height(), BoardLayout::BaseHeight);
    if (now != sizeLoaded_) now.save(setup_.sizeFile);
}

// Full screen ends in the state it began from: the window system may report a maximised
// window in full screen as full screen only.
void Form1::toggleFullScreen() {
    if (isFullScreen()) {
        setWindowState(beforeFullScreen_);
        return;
    }
    beforeFullScreen_ = windowState() & Qt::WindowMaximized;
    setWindowState(beforeFullScreen_ | Qt::WindowFullScreen);
}

// ---------------------------------------------------------------------------------
// Keys

void Form1::keyPressEvent(QKeyEvent* e) {
    // The board window has no cancel key: Escape must not end a marathon by accident. It
    // only leaves full screen.
    if (e->key() == Qt::Key_Escape) {
        e->accept();
        if (isFullScreen()) toggleFullScreen();
        return;
    }
    if (boardKey(*e)) {
        e->accept();
        return;
    }
    QDialog::keyPressEvent(e);
}

bool Form1::boardKey(const QKeyEvent& e) {
    if (e.matches(QKeySequence::Undo)) {
        undoPiece();
        return true;
    }
    // The arrows and digits of the number pad as well.
    if ((e.modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) return false;
    const int key = e.key();
    if (key >= Qt::Key_1 && key < Qt::Key_1 + SlotCount) {
        if (boardOpen()) Image1_Click(key - Qt::Key_0);
        return true;
    }
    switch (key) {
        case HintKey:
            Tipp();
            return true;
        case FullScreenKey:
            toggleFullScreen();
            return true;
        case Qt::Key_Left:
            moveCursor(-1, 0);
            return true;
        case Qt::Key_Right:
            moveCursor(1, 0);
            return true;
        case Qt::Key_Up:
            moveCursor(0, -1);
            return true;
        case Qt::Key_Down:
            moveCursor(0, 1);
            return true;
        case Qt::Key_Space:
        case Qt::Key_Return:
        case Qt::Key_Enter:
            pressOnCursor();
            return true;
        case Qt::Key_S:
            Command1->click();  // nothing while the button is disabled
            return true;
        default:
            return false;
    }
}

// The board is the player's: a level is built and no run, message or ending is under way.
bool Form1::boardOpen() const {
    return model_.hasLevel() && model_.phase() == AttemptPhase::Idle && messageText_.isEmpty();
}

std::optional<BoardLayout::Cell> Form1::cursor() const {
    if (!keyCursor_ || !PosX) return std::nullopt;
    return BoardLayout::Cell{*PosX, PosY};
}

// The first key shows the cursor where the frame was last (the board's middle before any
// frame), unless the mouse's frame is on the board to move from.
void Form1::moveCursor(int dx, int dy) {
    if (!boardOpen()) return;
    notes_->hideNote();  // the keys act on the board: a first level's note goes as by a click
    if (!keyCursor_ && !(posFrame_ && PosX)) {
        keyCursor_ = true;
        if (!PosX) {
            PosX = BoardWidth / 2 - 1;
            PosY = BoardHeight / 2 - 1;
        }
        redrawFrame(*PosX, PosY);
        return;
    }
    keyCursor_ = true;
    redrawFrame(std::clamp(*PosX + dx, 0, BoardWidth - 1),
                std::clamp(PosY + dy, 0, BoardHeight - 1));
}

// On the player's own piece the key takes it back; elsewhere it places the chosen piece.
void Form1::pressOnCursor() {
    if (!boardOpen()) return;
    if (!cursor()) {
        moveCursor(0, 0);
        return;
    }
    const int x = *PosX, y = PosY;
    if (takeBackFrom(x, y, false))
        notes_->clicked(Refusal::None);
    else if (model_.selectedSlot() >= 0)
        placeOn(x, y);
    else
        notes_->clicked(refusalAt(model_, x, y));  // says why, as a click does
    if (boardOpen()) redrawFrame(x, y);
}

void Form1::undoPiece() {
    if (!boardOpen()) return;
    const PlayModel::Taken t = model_.undo();
    if (!t.taken) return;
    showCounts();
    showSelection();
    if (hint_ && hint_->x == t.x && hint_->y == t.y) endHint(false);
    Feld->paintCell(t.x, t.y, t.code);
    if (frameOn() && PosX == t.x && PosY == t.y) Feld->drawFrame(t.x, t.y);
    foreseeHint();
}

}  // namespace lumor
