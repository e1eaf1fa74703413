// "Pack ID ändern": the six texts that describe the pack being edited. There is no
// cancel: closing the dialog in any way stores them.
#pragma once

#include "levels/level.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace lumor {

class IDEdit final : public QDialog {
public:
    // Edits the header in place; it is written by the next save.
    explicit IDEdit(PackHeader& header, QWidget* parent = nullptr);

    QLineEdit* Text5 = nullptr;       // "Titel:"
    QLineEdit* Text4 = nullptr;       // "Autor:"
    QLineEdit* Text1 = nullptr;       // "Bemerkung:"
    QLineEdit* Text2 = nullptr;       // "Meldung beim Beenden aller Levels:"
    QLineEdit* Text3 = nullptr;       // "Homepageadresse oder E-Mail:"
    QLineEdit* Text6 = nullptr;       // "Passwort zum Schutz des Levelpacks:"
    QPushButton* Command1 = nullptr;  // "OK"
    QLabel* Hint = nullptr;           // why the password cannot be stored, while it cannot

    void done(int result) override;

private:
    void store();

    PackHeader& header_;
    bool stored_ = false;
};

}  // namespace lumor
