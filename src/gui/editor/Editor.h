// The level editor: one level of the pack at a time on the board, painted from the
// palette; name, password and stock of the level; the level list with its operations;
// the pack's information, opening, saving and importing; "Testen" in the board window.
// It works on the program's Levels and PackHeader directly; undo and redo keep the
// changed records in a history of their own.
#pragma once

#include "app/Wait.h"
#include "editor/history.h"
#include "editor/packfiles.h"
#include "levels/level.h"

#include <QDialog>
#include <QImage>
#include <QPoint>
#include <QWidget>

#include <array>
#include <cstdint>
#include <functional>
#include <string>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QScrollBar;
class QTimer;
class QToolButton;

namespace lumor {

class BoardView;
class Editor;
class LiveCheck;

// The palette: the 21 element pictures in two columns.
class EditorPalette final : public QWidget {
public:
    explicit EditorPalette(Editor* owner);
    void paint();

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    bool event(QEvent* e) override;  // the element's name as the tooltip

private:
    Editor* owner_;
    QImage image_;
};

// One element picture (the selected code, the stock slots).
class TileImage final : public QWidget {
public:
    explicit TileImage(QWidget* parent);
    void setPicture(const QImage& picture);
    const QImage& picture() const { return picture_; }

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    QImage picture_;
};

class Editor final : public QDialog {
public:
    explicit Editor(QWidget* parent = nullptr, Clock& clock = lumor::clock());
    ~Editor() override;

    // Controls, under their designer names.
    BoardView* Feld = nullptr;
    EditorPalette* Symbol = nullptr;
    std::array<TileImage*, 9> Image1{};  // 0: the selected code, 1..8: the stock slots
    std::array<QScrollBar*, 9> VS{};     // stock bars, inverted: the top is the highest count
    std::array<QLineEdit*, 9> Text1{};   // the stock counts as numbers, to be typed too
    QLineEdit* Levelname = nullptr;
    QLineEdit* Passw = nullptr;
    QListWidget* List1 = nullptr;
    QPushButton* Command1 = nullptr;     // "Testen"
    QPushButton* Command2 = nullptr;     // "Sterne verteilen"
    QPushButton* Generate = nullptr;     // "Generieren"
    QPushButton* Command3 = nullptr;     // "Laden"
    QPushButton* Command4 = nullptr;     // "Speichern"
    QPushButton* Command5 = nullptr;     // "Neues Level einfügen"
    QPushButton* Command6 = nullptr;     // "Level anschließen"
    QPushButton* Command7 = nullptr;     // "Level löschen"
    QPushButton* Command8 = nullptr;     // "Hoch"
    QPushButton* Command9 = nullptr;     // "Runter"
    QPushButton* Command10 = nullptr;    // "Pack ID ändern"
    QPushButton* Command11 = nullptr;    // "Importieren"
    QLabel* Status = nullptr;            // the cell under the mouse, and what happened
    QLabel* CheckLine = nullptr;         // the live check: solvable, pieces left, solutions
    QToolButton* CheckCancel = nullptr;  // "Abbrechen", while a check runs

    // Fields of the window.
    int32_t CurrentLevel = 0;
    int32_t SelectedCode = -1;
    bool Drawing = false;
    bool Saved = true;
    struct Cell {
        int x = -1, y = -1;
        bool operator==(const Cell&) const = default;
    };
    Cell FrameCell;

    // The number of levels of the pack (the entries of the level list).
    int count() const { return count_; }

    void Aufbau();
    void LöschPosFeld();
    void ErstellePosFeld(int x, int y);

    // Event procedures, also called by tests in place of a click; X and Y in board pixels.
    void Feld_MouseDown(Qt::MouseButton Button, qreal X, qreal Y);
    void Feld_MouseMove(qreal X, qreal Y);
    void Feld_MouseUp();
    void Symbol_MouseDown(int X, int Y);
    void Command1_Click();
    void Command2_Click();
    void Generate_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void Command6_Click();
    void Command7_Click();
    void Command8_Click();
    void Command9_Click();
    void Command10_Click();
    void Command11_Click();
    bool undo();
    bool redo();
    // Strg+S: the pack into its own file, or through "Speichern"'s dialog when it has none.
    // True when the pack was written.
    bool saveToOwnFile();
    // The pack's own file: the one opened or saved last; empty for a new pack.
    const std::string& packPath() const { return packPath_; }

    // The recovery copy of unsaved work in the user's data folder: written a few seconds
    // after the last change (by a timer, or at once here), removed by a save or a clean close.
    void saveRecoveryCopy();
    bool recoveryPending() const;
    // When the editor is first shown: the copies a crash left behind for this program
    // folder, newest first, are offered; "Ja" restores one, "Nein" discards it.
    void offerRecovery();
    // Strg+L: a minimal placement drawn over the board, see-through and outlined, until
    // the next click or Escape; again, the next one ("Lösung 2 von 4"). False (and the
    // status line says why) while the live check has none to show.
    bool showPlacement();
    void hidePlacementShown() { hidePlacement(); }
    // Each level's entry carries the rules it breaks (lint's names, separated by blanks)
    // under this role, with an icon and the findings as its tooltip.
    static constexpr int LintRole = Qt::UserRole + 1;
    LiveCheck* liveCheck() const { return liveCheck_; }

    // What the editor starts outside itself; tests replace them.
    std::function<void(QWidget* parent)> boardWindow;  // the board window, modally
    PackWriter writer;                                 // writes a pack file

protected:
    void reject() override;
    void showEvent(QShowEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* e) override;

private:
    friend class EditorPalette;

    void buildControls();
    void Form_Load();
    void List1_Click();
    void Levelname_Change();
    void Passw_Change();
    void VS_Change(int i);
    void Text1_Change(int i);
    // Shows in the box, and while typing in the status line, whether the pack can store
    // its text; true when it cannot.
    bool flagText(QLineEdit* box, const QString& label);
    // The level list shown again from the records, `row` selected without the selection's
    // handler; then the level shown as selecting it does.
    void refillList(int row);
    void selectLevel(int row);
    void showSelectedCode();
    void paintCell(int x, int y);
    void paintStroke(const QPoint& to);
    void endDrawing();
    // One step of the undo history for what changed; `key` joins steps of one field.
    void record(const std::string& key = {});
    void showStatus(const QString& text);
    void showCellStatus(int x, int y);
    // "Wollen Sie noch speichern?" when there are unsaved changes, before closing or
    // opening another pack: false when the work must stay (Abbrechen, or a save that did
    // not succeed).
    bool askToSave();
    bool saveWithDialog();
    bool saveTo(const std::string& path);
    // After a change, a load or a save: the caption shows the file and unsaved changes.
    void stateChanged();
    void checkLevel();
    void hidePlacement();

    LevelRecord& level();
    int count_ = 1;
    History history_;
    bool filling_ = false;  // the fields are being filled: no undo steps from them
    QPoint stroke_;         // where the pointer was at the last move of a stroke
    bool closing_ = false;
    Clock& clock_;  // the board window of "Testen" waits on it
    LiveCheck* liveCheck_ = nullptr;
    bool placementShown_ = false;
    size_t placementIndex_ = 0;
    QObject* clicks_ = nullptr;  // watches for the click that takes a solution away
    QTimer* lintTimer_ = nullptr;
    void lintSoon();
    void showLint();
    std::string packPath_;
    QTimer* recoveryTimer_ = nullptr;
    std::string recoveryPath_;  // the copy this editor wrote; empty when there is none
    bool offered_ = false;
    void removeRecoveryCopy();
};

}  // namespace lumor
