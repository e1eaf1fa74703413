// The title menu's level choice: from the pack frame, every level of the pack with the
// ones reached and won, and the start of a level chosen there.
#include "app/Audio.h"
#include "app/paths.h"
#include "title/LevelChoice.h"
#include "title/Titel.h"
#include "title/levelchoice.h"

#include <QBoxLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

namespace lumor {

void Titel::buildLevelsButton() {
    LevelsButton = new QPushButton(QStringLiteral("Levels…"), Frame3);
    LevelsButton->setToolTip(
        QStringLiteral("Alle Levels des Packs: erreichte und gewonnene, "
                       "jeder erreichte ist direkt spielbar"));
    // Left of "OK" and "Abbrechen", in the frame's row of buttons.
    auto* rows = qobject_cast<QBoxLayout*>(Frame3->layout());
    QLayoutItem* row = rows ? rows->itemAt(rows->count() - 1) : nullptr;
    if (auto* buttons = row ? qobject_cast<QBoxLayout*>(row->layout()) : nullptr)
        buttons->insertWidget(0, LevelsButton);
    connect(LevelsButton, &QPushButton::clicked, this, [this] { openLevelChoice(); });
}

void Titel::openLevelChoice() {
    Command4_Click();  // the pack chosen in the list becomes the loaded one, as "OK" makes it
    if (PackIndex < 0 || PackIndex >= PackFiles.size() || quit_) return;
    const std::vector<LevelMark> marks =
        levelMarks(progressStore().load(), packNames_[static_cast<size_t>(PackIndex)],
                   program_.pack.header.PackTitle, program_.pack.levels.count());
    LevelChoice choice(program_.pack.levels, marks, Label4->text(), this);
    if (choice.exec() == QDialog::Accepted) chosenLevel_ = choice.chosen();
}

// As a password leads into a level: the title song stops, the start sound, the board
// window from that level, the title song again.
void Titel::startChosenLevel() {
    const int level = *chosenLevel_;
    chosenLevel_.reset();
    if (level < 0 || level >= program_.pack.levels.count()) return;
    StopSong();
    PlaySoundFile(programPath("Sound/start.wav"));
    program_.handover.set(level);
    startPlay();
    PlayMusik();
}

}  // namespace lumor
