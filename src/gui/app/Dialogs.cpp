#include "app/Dialogs.h"

#include "app/Look.h"

#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

namespace lumor {

DialogHooks& dialogHooks() {
    static DialogHooks hooks;
    return hooks;
}

void showMessage(QWidget* parent, const QString& text, bool warning) {
    if (const auto& hook = dialogHooks().message) {
        hook(text);
        return;
    }
    QMessageBox box(warning ? QMessageBox::Warning : QMessageBox::NoIcon, QStringLiteral("Lumor"),
                    text, QMessageBox::Ok, parent);
    look::applyWindowLook(&box, look::Buttons::Roomy);
    box.exec();
}

Answer askQuestion(QWidget* parent, const QString& text, QuestionButtons buttons) {
    if (const auto& hook = dialogHooks().question) return hook(text, buttons);
    QMessageBox box(QMessageBox::Question, QStringLiteral("Lumor"), text, QMessageBox::NoButton,
                    parent);
    // German captions: Qt's own would be English without a translation loaded.
    QPushButton* yes = box.addButton(QStringLiteral("Ja"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("Nein"), QMessageBox::NoRole);
    QPushButton* cancel = nullptr;
    if (buttons == QuestionButtons::YesNoCancel)
        cancel = box.addButton(QStringLiteral("Abbrechen"), QMessageBox::RejectRole);
    box.setDefaultButton(buttons == QuestionButtons::YesNoDefaultNo ? no : yes);
    box.setEscapeButton(cancel ? cancel : no);
    look::applyWindowLook(&box, look::Buttons::Roomy);
    box.exec();
    if (box.clickedButton() == yes) return Answer::Yes;
    if (cancel && box.clickedButton() != no) return Answer::Cancel;
    return Answer::No;
}

std::optional<QString> askText(QWidget* parent, const QString& prompt, const QString& initial) {
    if (const auto& hook = dialogHooks().input) return hook(prompt, initial);
    QInputDialog dialog(parent);
    dialog.setWindowTitle(QStringLiteral("Lumor"));
    dialog.setLabelText(prompt);
    dialog.setTextValue(initial);
    dialog.setInputMode(QInputDialog::TextInput);
    // The program speaks German; Qt's own button texts would otherwise be English.
    dialog.setOkButtonText(QStringLiteral("OK"));
    dialog.setCancelButtonText(QStringLiteral("Abbrechen"));
    look::applyWindowLook(&dialog, look::Buttons::Roomy);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.textValue();
}

}  // namespace lumor
