// The editor's work on the level and the level list: painting, the fields, the list's
// operations, "Testen", "Sterne verteilen", undo and redo.
#include "app/Dialogs.h"
#include "app/Text.h"
#include "app/random.h"
#include "editor/Editor.h"
#include "editor/EditorPalette.h"
#include "editor/TextFields.h"
#include "editor/boardedit.h"
#include "editor/levellist.h"
#include "generator/generator.h"
#include "play/Bilder.h"
#include "play/BoardView.h"
#include "play/cells.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollBar>
#include <QSignalBlocker>

#include <algorithm>

namespace lumor {

namespace {

const QString OneLevelLeft = QStringLiteral("Es muss mindestens ein Level vorhanden sein!");
const QString ReallyDelete = QStringLiteral("Wirklich löschen?");

std::string bytes(const QLineEdit* box) { return fromQt(box->text()).value_or(std::string()); }

}  // namespace

void Editor::paintCell(int x, int y) { Feld->paintCell(x, y, level().cell(x, y)); }

void Editor::showSelectedCode() {
    Image1[0]->setPicture(SelectedCode >= 0 ? bilder().tile(SelectedCode) : QImage());
}

// --- Position frame -----------------------------------------------------------------------

void Editor::ErstellePosFeld(int x, int y) {
    if (!opt(OptPositionFrame)) return;
    FrameCell = {x, y};
    Feld->drawFrame(x, y);
}

void Editor::LöschPosFeld() {
    if (!opt(OptPositionFrame)) return;
    if (FrameCell != Cell{}) paintCell(FrameCell.x, FrameCell.y);
    FrameCell = {};
}

// --- Mouse --------------------------------------------------------------------------------

void Editor::Feld_MouseDown(Qt::MouseButton Button, qreal X, qreal Y) {
    // A click while a solution is shown only takes it away.
    if (placementShown_) {
        hidePlacement();
        return;
    }
    const QPoint cell = BoardView::cellAt(QPointF(X, Y));
    const int x = cell.x(), y = cell.y();
    if (x < 0 || y < 0 || x >= BoardWidth || y >= BoardHeight) return;
    Saved = false;
    if (Button == Qt::LeftButton) {
        if (SelectedCode >= 0) {
            level().cell(x, y) = static_cast<int16_t>(SelectedCode);
            paintCell(x, y);
            Drawing = true;
            stroke_ = QPointF(X, Y).toPoint();
        }
    } else if (Button == Qt::RightButton) {
        if (opt(OptEditorRightClickTakes)) {
            SelectedCode = level().cell(x, y);
            showSelectedCode();
        }
        level().cell(x, y) = Empty;
        paintCell(x, y);
        record();
    }
    if (opt(OptPositionFrame)) {
        LöschPosFeld();
        ErstellePosFeld(x, y);
    }
    showCellStatus(x, y);
    stateChanged();
}

void Editor::Feld_MouseMove(qreal X, qreal Y) {
    const QPoint cell = BoardView::cellAt(QPointF(X, Y));
    const int x = cell.x(), y = cell.y();
    const bool onBoard = x >= 0 && x < BoardWidth && y >= 0 && y < BoardHeight;
    if (Drawing && SelectedCode >= 0) paintStroke(QPointF(X, Y).toPoint());
    if (!onBoard) return;
    if (opt(OptPositionFrame)) {
        LöschPosFeld();
        ErstellePosFeld(x, y);
    }
    showCellStatus(x, y);
}

// Every cell the pointer crossed since the last move, not only the one it is on now.
void Editor::paintStroke(const QPoint& to) {
    for (const auto& [x, y] : cellsCrossed(stroke_.x(), stroke_.y(), to.x(), to.y())) {
        if (level().cell(x, y) == SelectedCode) continue;
        level().cell(x, y) = static_cast<int16_t>(SelectedCode);
        paintCell(x, y);
    }
    stroke_ = to;
}

void Editor::Feld_MouseUp() { endDrawing(); }

void Editor::endDrawing() {
    const bool was = Drawing;
    Drawing = false;
    if (was) record();  // a whole stroke is one step
}

void Editor::mouseMoveEvent(QMouseEvent*) {
    endDrawing();
    LöschPosFeld();
}

bool Editor::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseMove) {
        endDrawing();
        LöschPosFeld();
    } else if (event->type() == QEvent::ShortcutOverride && qobject_cast<QLineEdit*>(watched)) {
        // Undo and redo are the editor's, not the text box's own.
        const auto* key = static_cast<QKeyEvent*>(event);
        const QKeyCombination combo = key->keyCombination();
        if (combo == QKeyCombination(Qt::ControlModifier, Qt::Key_Z) ||
            combo == QKeyCombination(Qt::ControlModifier, Qt::Key_Y) ||
            combo == QKeyCombination(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Z)) {
            event->ignore();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void Editor::Symbol_MouseDown(int X, int Y) {
    hidePlacement();
    const int code = paletteCode(X, Y);
    if (code < 0) return;
    SelectedCode = code;
    showSelectedCode();
}

// --- Fields -------------------------------------------------------------------------------

void Editor::List1_Click() {
    const int row = List1->currentRow();
    if (row < 0 || row >= count_) return;
    const bool remembered = Saved;
    CurrentLevel = row;
    Aufbau();
    Saved = remembered;
    history_.moveTo(CurrentLevel);
}

void Editor::Levelname_Change() {
    Saved = false;
    level().Name = bytes(Levelname);
    if (QListWidgetItem* item = List1->item(CurrentLevel))
        item->setText(toQt(levelEntry(CurrentLevel, level().Name)));
    flagText(Levelname, QStringLiteral("Name"));
    record("name " + std::to_string(CurrentLevel));
}

void Editor::Passw_Change() {
    Saved = false;
    level().Password = bytes(Passw);
    if (!flagText(Passw, QStringLiteral("Passwort")) && !filling_) {
        const int other = samePassword(levels(), count_, CurrentLevel);
        if (other >= 0)
            showStatus(QStringLiteral("Passwort: Level %1 (\u201e%2\u201c) hat dasselbe "
                                      "Passwort; den späteren der beiden erreicht kein Passwort.")
                           .arg(other + 1)
                           .arg(toQt(levels()[other].Name)));
    }
    record("password " + std::to_string(CurrentLevel));
}

bool Editor::flagText(QLineEdit* box, const QString& label) {
    const std::optional<Unstorable> problem = firstUnstorable(bytes(box));
    const QString why =
        problem ? label + QStringLiteral(": ") + unstorableText(*problem) : QString();
    flagBox(box, why);
    if (problem && !filling_) showStatus(why);
    return problem.has_value();
}

// A typed count: stored, and the bar follows without storing it again.
void Editor::Text1_Change(int i) {
    const auto s = static_cast<size_t>(i);
    if (!Text1[s]->hasAcceptableInput()) return;
    const int typed = Text1[s]->text().toInt();
    Saved = false;
    level().Stock[s] = static_cast<int16_t>(typed);
    {
        const QSignalBlocker block(VS[s]);
        VS[s]->setValue(barValue(i, typed));
    }
    record("stock " + std::to_string(i) + " " + std::to_string(CurrentLevel));
}

void Editor::VS_Change(int i) {
    const auto s = static_cast<size_t>(i);
    Saved = false;
    int16_t& stock = level().Stock[s];
    stock = stockForBar(i, VS[s]->value(), stock);
    Text1[s]->setText(QString::number(stock));
    record("stock " + std::to_string(i) + " " + std::to_string(CurrentLevel));
}

// --- Level list ---------------------------------------------------------------------------

void Editor::refillList(int row) {
    const QSignalBlocker block(List1);
    while (List1->count() > count_) delete List1->takeItem(List1->count() - 1);
    for (int i = 0; i < count_; ++i) {
        const QString text = toQt(levelEntry(i, levels()[i].Name));
        if (i < List1->count())
            List1->item(i)->setText(text);
        else
            List1->addItem(text);
    }
    List1->setCurrentRow(row);
}

void Editor::selectLevel(int row) {
    refillList(row);
    List1_Click();
}

void Editor::Command5_Click() {
    if (!insertLevel(levels(), count_, CurrentLevel)) return;
    refillList(CurrentLevel);
    Aufbau();
    record();
}

void Editor::Command6_Click() {
    const int at = count_;
    if (!appendLevel(levels(), count_)) return;
    CurrentLevel = at;
    selectLevel(CurrentLevel);
    Aufbau();
    record();
}

void Editor::Command7_Click() {
    if (count_ == 1) {
        showMessage(this, OneLevelLeft);
        return;
    }
    if (askQuestion(this, ReallyDelete, QuestionButtons::YesNoDefaultYes) != Answer::Yes) return;
    Saved = false;
    removeLevel(levels(), count_, CurrentLevel);
    CurrentLevel = std::min(CurrentLevel, count_ - 1);
    refillList(CurrentLevel);
    Aufbau();
    record();
}

void Editor::Command8_Click() {
    if (CurrentLevel <= 0) return;
    Saved = false;
    swapLevels(levels(), CurrentLevel - 1, CurrentLevel);
    --CurrentLevel;
    selectLevel(CurrentLevel);
    record();
}

void Editor::Command9_Click() {
    if (CurrentLevel >= count_ - 1) return;
    Saved = false;
    swapLevels(levels(), CurrentLevel, CurrentLevel + 1);
    ++CurrentLevel;
    selectLevel(CurrentLevel);
    record();
}

// --- The level's buttons ------------------------------------------------------------------

// "Testen": the current level alone in the board window, without music or final message.
// The board window plays a copy of the pack that ends behind the level, so the pack being
// edited is never touched. Music stays off afterwards: the title menu reads its settings
// anew when the editor closes.
void Editor::Command1_Click() {
    saveRecoveryCopy();  // the board window is a long stretch of other code
    state().MusicOn = false;
    PlaySetup play = playSetupOf(state());
    play.pack = pack_;
    play.pack.levels.setEndMarker(CurrentLevel + 1);
    play.startLevel = CurrentLevel;
    play.finalMessage.clear();
    play.musicOn = false;
    boardWindow_(this, std::move(play));
}

void Editor::Command2_Click() {
    Saved = false;
    distributeStars(level(), programRandom());
    Aufbau();
    record();
}

// "Generieren": a new board and stock for the current level, one undo step.
void Editor::Generate_Click() {
    const uint64_t seed = static_cast<uint64_t>(programRandom().next() * 1e9);
    const std::optional<std::string> made = fillWithGenerated(level(), seed);
    if (!made) {
        showStatus(QStringLiteral("Kein Level hielt alle Zusagen; bitte noch einmal."));
        return;
    }
    Saved = false;
    Aufbau();
    record();
    showStatus(QString::fromStdString(*made));
}

// --- Undo ---------------------------------------------------------------------------------

void Editor::record(const std::string& key) {
    if (filling_) return;
    history_.record(levels(), header(), {count_, CurrentLevel}, key);
    checkLevel();
    stateChanged();
}

bool Editor::undo() {
    endDrawing();
    const std::optional<EditorPlace> place = history_.undo(levels(), header());
    if (place) wentTo(*place, QStringLiteral("Rückgängig gemacht"));
    return place.has_value();
}

bool Editor::redo() {
    endDrawing();
    const std::optional<EditorPlace> place = history_.redo(levels(), header());
    if (place) wentTo(*place, QStringLiteral("Wiederholt"));
    return place.has_value();
}

void Editor::wentTo(const EditorPlace& place, const QString& said) {
    count_ = place.count;
    CurrentLevel = std::clamp(place.current, 0, count_ - 1);
    selectLevel(CurrentLevel);
    Saved = false;
    stateChanged();
    showStatus(said);
}

}  // namespace lumor
