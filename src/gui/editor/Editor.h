// The level editor: one level of the pack at a time on the board, painted from the
// palette; name, password and stock of the level; the level list with its operations;
// the pack's information, opening, saving and importing; "Testen" in the board window.
// It works on the pack it is handed (the program's own when the title menu opens it);
// undo and redo keep the changed records in a history of their own.
//
// The window's work is spread by concern: Editor.cpp builds the window and its buttons,
// EditorLevel.cpp edits the level and the level list, EditorPack.cpp opens, saves and
// keeps the recovery copy, EditorCheck.cpp shows the live check and the level list's rules.
#pragma once

#include "app/Wait.h"
#include "app/state.h"
#include "editor/history.h"
#include "editor/packfiles.h"
#include "levels/level.h"
#include "play/PlaySetup.h"

#include <QDialog>
#include <QPoint>

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>

class QGroupBox;
class QLabel;
class QLayout;
class QLineEdit;
class QListWidget;
class QPushButton;
class QScrollBar;
class QTimer;
class QToolButton;

namespace lumor {

class BoardView;
class EditorPalette;
class LiveCheck;
class TileImage;

// What the editor works on and what it starts outside itself, handed to it when it is made.
struct EditorSetup {
    Pack& pack;                                    // the levels and header being edited
    const std::array<bool, OptionCount>& options;  // read as they are when used
    std::string folder;  // the program folder: its packs are listed, opened and saved
    Clock& clock;        // the board window of "Testen" and the live check's seconds
    // The board window of "Testen", modally, on what it is handed; empty: the game's own
    // board window.
    std::function<void(QWidget* parent, PlaySetup play)> boardWindow;
    PackWriter writer = writePack;
};

// The program's pack, options and folder.
EditorSetup programEditorSetup(Clock& clock);

class Editor final : public QDialog {
public:
    Editor(QWidget* parent, EditorSetup setup);
    explicit Editor(QWidget* parent = nullptr, Clock& clock = lumor::clock());
    ~Editor() override;

    // The window's fields, read.
    int currentLevel() const { return CurrentLevel; }
    int selectedCode() const { return SelectedCode; }
    bool saved() const { return Saved; }
    struct Cell {
        int x = -1, y = -1;
        bool operator==(const Cell&) const = default;
    };
    Cell frameCell() const { return FrameCell; }
    // The number of levels of the pack (the entries of the level list).
    int count() const { return count_; }

    void Aufbau();
    void LöschPosFeld();
    void ErstellePosFeld(int x, int y);

    // The board's mouse procedures, X and Y in board pixels; a drag is a press, moves and
    // a release.
    void Feld_MouseDown(Qt::MouseButton Button, qreal X, qreal Y);
    void Feld_MouseMove(qreal X, qreal Y);
    void Feld_MouseUp();
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

    // One button of the editor, made from its row: the button is named `name` (the name
    // the game's design gives it), shows `caption` and runs `handler` when clicked. The
    // buttons of a group stand in the table's order, two to a row unless `wide`.
    enum class Group { Level, List, Pack };
    struct Command {
        const char* name;
        const char* caption;  // UTF-8
        void (Editor::*handler)();
        const char* tooltip = "";   // UTF-8; empty: none
        const char* shortcut = "";  // a key sequence ("Ctrl+T"); empty: none
        Group group = Group::Level;
        bool wide = false;
        bool endsStroke = false;  // moving over it ends a stroke and takes the frame away
    };
    static std::span<const Command> commands();

protected:
    void reject() override;
    void showEvent(QShowEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* e) override;

private:
    // Controls, under their designer names (and as object names, for tests and tools).
    BoardView* Feld = nullptr;
    EditorPalette* Symbol = nullptr;
    std::array<TileImage*, 9> Image1{};  // 0: the selected code, 1..8: the stock slots
    std::array<QScrollBar*, 9> VS{};     // stock bars, inverted: the top is the highest count
    std::array<QLineEdit*, 9> Text1{};   // the stock counts as numbers, to be typed too
    QLineEdit* Levelname = nullptr;
    QLineEdit* Passw = nullptr;
    QListWidget* List1 = nullptr;
    QLabel* Status = nullptr;            // the cell under the mouse, and what happened
    QLabel* CheckLine = nullptr;         // the live check: solvable, pieces left, solutions
    QToolButton* CheckCancel = nullptr;  // "Abbrechen", while a check runs

    // Fields of the window.
    int32_t CurrentLevel = 0;
    int32_t SelectedCode = -1;
    bool Drawing = false;
    bool Saved = true;
    Cell FrameCell;

    // The buttons' handlers, named after their buttons.
    void Command1_Click();
    void Command2_Click();
    void Generate_Click();  // "Generieren"
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void Command6_Click();
    void Command7_Click();
    void Command8_Click();
    void Command9_Click();
    void Command10_Click();
    void Command11_Click();

    // The window's parts, built in this order.
    void buildControls();
    void buildBoard();
    void buildStockColumns();
    void buildFields();
    void buildCheckLine();
    QPushButton* buildCommand(const Command& c);
    QGroupBox* commandGroup(const QString& title, Group group, QLayout* above = nullptr);
    QGroupBox* stockGroup();
    void layOut(QWidget* stock, QWidget* levelBox, QWidget* listBox, QWidget* packBox);
    void connectKeys();

    void Form_Load();
    void Symbol_MouseDown(int X, int Y);
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
    bool opt(Option o) const { return options_[static_cast<size_t>(o)]; }
    // One step of the undo history for what changed; `key` joins steps of one field.
    void record(const std::string& key = {});
    // An undo or redo that went to `place`.
    void wentTo(const EditorPlace& place, const QString& said);
    void showStatus(const QString& text);
    void showCellStatus(int x, int y);
    // "Wollen Sie noch speichern?" when there are unsaved changes, before closing or
    // opening another pack: false when the work must stay (Abbrechen, or a save that did
    // not succeed).
    bool askToSave();
    bool saveWithDialog();
    bool saveTo(const std::string& path);
    // A text of the pack the file cannot hold (a NUL, a character the scrambling cannot
    // store), as the message that refuses the save; empty when all can be stored.
    QString unsavable(const std::vector<LevelRecord>& list) const;
    // A pack's header and levels in the editor (one empty level for none), level `current`
    // shown (-1: the last), with a fresh history.
    void takePack(const PackHeader& h, const std::vector<LevelRecord>& list, int current);
    // After a change, a load or a save: the caption shows the file and unsaved changes.
    void stateChanged();
    void checkLevel();
    void hidePlacement();
    void lintSoon();
    void showLint();
    void removeRecoveryCopy();

    Levels& levels() { return pack_.levels; }
    PackHeader& header() { return pack_.header; }
    LevelRecord& level();

    Pack& pack_;
    const std::array<bool, OptionCount>& options_;
    std::string folder_;
    Clock& clock_;
    std::function<void(QWidget* parent, PlaySetup play)> boardWindow_;
    PackWriter writer_;

    int count_ = 1;
    History history_;
    bool filling_ = false;  // the fields are being filled: no undo steps from them
    QPoint stroke_;         // where the pointer was at the last move of a stroke
    bool closing_ = false;
    LiveCheck* liveCheck_ = nullptr;
    bool placementShown_ = false;
    size_t placementIndex_ = 0;
    QObject* clicks_ = nullptr;  // watches for the click that takes a solution away
    QTimer* lintTimer_ = nullptr;
    std::string packPath_;
    QTimer* recoveryTimer_ = nullptr;
    std::string recoveryPath_;  // the copy this editor wrote; empty when there is none
    bool offered_ = false;
};

}  // namespace lumor
