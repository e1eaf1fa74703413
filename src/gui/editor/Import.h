// "Levelpack Manager": copies levels of another pack file into the pack being edited,
// deletes and moves the pack's levels, several at a time, with a small picture of the
// level last clicked on each side. Every change is made in Levels at once; nothing is
// written to a file here.
#pragma once

#include "editor/importlist.h"
#include "levels/level.h"

#include <QDialog>
#include <QImage>
#include <QListWidget>

#include <functional>
#include <string>
#include <vector>

class QComboBox;
class QLabel;
class QPushButton;

namespace lumor {

// The target list: takes source entries dropped on it (the copy looks at the source
// list's selection, not at the dropped data).
class DropList final : public QListWidget {
public:
    using QListWidget::QListWidget;
    QWidget* acceptFrom = nullptr;
    std::function<void()> onDrop;

protected:
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dragMoveEvent(QDragMoveEvent* e) override;
    void dropEvent(QDropEvent* e) override;
};

// A 40 x 24 picture of a level: a 2 x 2 block per cell.
class LevelPicture final : public QWidget {
public:
    explicit LevelPicture(QWidget* parent = nullptr);
    void clear();
    void draw(const LevelRecord& level);
    const QImage& image() const { return image_; }

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    QImage image_;
};

class Import final : public QDialog {
public:
    // The target is Levels(0) .. Levels(count - 1) of the pack being edited; the source
    // packs are those of `folder` (ending in "/").
    Import(Levels& levels, int count, const std::string& folder, QWidget* parent = nullptr);

    // The number of target levels.
    int count() const { return target_.count(); }

    void done(int result) override;

private:
    // Controls, under their designer names (and as object names, for tests).
    DropList* List1 = nullptr;         // the target levels
    QComboBox* Combo1 = nullptr;       // the pack files of the program folder
    QListWidget* List2 = nullptr;      // the source levels
    LevelPicture* Picture2 = nullptr;  // the target level last clicked
    LevelPicture* Picture1 = nullptr;  // the source level last clicked
    QPushButton* Command1 = nullptr;   // "<-----"
    QPushButton* Command2 = nullptr;   // "< Level löschen  "
    QPushButton* Command3 = nullptr;   // "< Hoch  "
    QPushButton* Command4 = nullptr;   // "< Runter  "

    std::vector<LevelRecord> SourceLevels;
    int PreviousPackIndex = -1;
    bool Reverting = false;
    bool Idle = true;

    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();

    void layOut();
    void Combo1_Click();
    void List1_Click();
    void List2_Click();
    // The list's selection into the target, and the target back into the list.
    void takeSelection();
    void showTarget();

    ImportTarget target_;
    std::string folder_;
};

}  // namespace lumor
