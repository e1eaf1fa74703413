// "Levelpack laden" and "Levelpack speichern": the pack files of the program folder; each
// dialog answers with the chosen pack's full path, or with nothing when none was chosen.
#pragma once

#include <QDialog>

#include <optional>
#include <string>

class QLineEdit;
class QListWidget;
class QPushButton;

namespace lumor {

class LoadMap final : public QDialog {
public:
    // The packs of `folder` (ending in "/"), the first one selected.
    explicit LoadMap(const std::string& folder, QWidget* parent = nullptr);
    // Runs the dialog: the path of the pack to open.
    static std::optional<std::string> choose(QWidget* parent, const std::string& folder);
    const std::optional<std::string>& chosen() const { return chosen_; }

private:
    QListWidget* List1 = nullptr;
    QPushButton* Command2 = nullptr;  // "OK"
    QPushButton* Command1 = nullptr;  // "Abbrechen"

    void Command2_Click();
    std::string folder_;
    std::optional<std::string> chosen_;
};

class SaveMap final : public QDialog {
public:
    // `offered`: the name the box starts with (the pack's own file), selected in the list.
    explicit SaveMap(const std::string& folder, QWidget* parent = nullptr,
                     const QString& offered = {});
    // Runs the dialog: the path to save the pack under, its overwriting agreed to.
    static std::optional<std::string> choose(QWidget* parent, const std::string& folder,
                                             const QString& offered = {});
    const std::optional<std::string>& chosen() const { return chosen_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QListWidget* List1 = nullptr;
    QLineEdit* Text1 = nullptr;
    QPushButton* Command1 = nullptr;  // "OK"
    QPushButton* Command2 = nullptr;  // "Abbrechen"

    void Command1_Click();
    std::string folder_;
    std::optional<std::string> chosen_;
};

}  // namespace lumor
