// What the board window tells a player beside the rules it plays by: why a click placed
// nothing (a short line between the buttons below the board), and on the first levels of
// the first pack a note over the board of what to do, shown once and dismissed by a click.
#pragma once

#include "levels/level.h"
#include "play/placewhy.h"

#include <QObject>
#include <QString>

#include <string>

class QLabel;
class QTimer;
class QWidget;

namespace lumor {

class BoardNotes final : public QObject {
public:
    // The line sits between `leftButton` and `rightButton` of `window`, the note over `board`.
    BoardNotes(QWidget* window, QWidget* board, QWidget* leftButton, QWidget* rightButton);

    // A left click on the board: why it placed nothing (None takes the line away).
    void clicked(Refusal why);
    static QString reasonText(Refusal why);
    // The line shown now; empty when none.
    QString line() const;

    // The levels that have a note: the first `count` of the pack file `packFile`, their
    // "seen" kept in `folder` (empty: not kept).
    void setFirstLevels(const std::string& folder, const std::string& packFile, int count);
    // A level (an index) is built and waits for the player: its note, if it has one that
    // was never shown. Noted as seen as it is shown.
    void levelBuilt(int level, const LevelRecord& record);
    // The board is about to show a message or a run.
    void hideNote();
    // The note on the board now; empty when none.
    QString note() const;
    QLabel* noteLabel() const { return note_; }

    // What a level's note says: its pieces, where they go and then "Start" (rich text).
    static QString noteText(const LevelRecord& record);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void placeLine();
    void placeNote();

    QWidget* window_;
    QWidget* board_;
    QWidget* left_;
    QWidget* right_;
    QLabel* line_ = nullptr;
    QTimer* lineTimer_ = nullptr;
    QLabel* note_ = nullptr;
    bool noteAtTop_ = false;
    std::string folder_;
    std::string packFile_;
    int noteLevels_ = 0;
};

}  // namespace lumor
