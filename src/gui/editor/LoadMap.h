// "Levelpack laden" and "Levelpack speichern": the pack files of the program folder, and
// the chosen full path handed back in Handover (empty when nothing was chosen).
#pragma once

#include <QDialog>

class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace lumor {

class LoadMap final : public QDialog {
public:
    explicit LoadMap(QWidget* parent = nullptr);

    QListWidget* List1 = nullptr;
    QPushButton* Command2 = nullptr;  // "OK"
    QPushButton* Command1 = nullptr;  // "Abbrechen"

private:
    void Command2_Click();
    void Command1_Click();
};

class SaveMap final : public QDialog {
public:
    // `offered`: the name the box starts with (the pack's own file), selected in the list.
    explicit SaveMap(QWidget* parent = nullptr, const QString& offered = {});

    QListWidget* List1 = nullptr;
    QLineEdit* Text1 = nullptr;
    QPushButton* Command1 = nullptr;  // "OK"
    QPushButton* Command2 = nullptr;  // "Abbrechen"

    void Command1_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Command2_Click();
};

}  // namespace lumor
