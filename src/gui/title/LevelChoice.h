// The level choice: every level of the loaded pack in a grid, the ones won and reached
// marked, any reached one to be started with a double click, Enter or "Spielen".
#pragma once

#include "levels/level.h"
#include "title/levelchoice.h"

#include <QDialog>
#include <QString>

#include <optional>
#include <vector>

class QLabel;
class QListWidget;
class QPushButton;

namespace lumor {

class LevelChoice final : public QDialog {
public:
    LevelChoice(const Levels& levels, std::vector<LevelMark> marks, const QString& packTitle,
                QWidget* parent = nullptr);

    // The level chosen (an index), once the choice was accepted.
    std::optional<int> chosen() const { return chosen_; }

    QListWidget* list() const { return list_; }
    QPushButton* playButton() const { return play_; }
    // The line below the grid: the level pointed at, or why it cannot be started.
    QString statusLine() const;

private:
    void point(int row);
    void start(int row);

    std::vector<LevelMark> marks_;
    std::vector<QString> names_;
    QListWidget* list_ = nullptr;
    QLabel* status_ = nullptr;
    QPushButton* play_ = nullptr;
    std::optional<int> chosen_;
};

}  // namespace lumor
