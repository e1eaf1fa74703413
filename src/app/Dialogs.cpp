#include "app/Dialogs.h"

#include <QInputDialog>
#include <QMessageBox>

namespace lumor {

DialogHooks& dialogHooks() {
    static DialogHooks hooks;
    return hooks;
}

void showMessage(QWidget* parent, const QString& text) {
    if (const auto& hook = dialogHooks().message) {
        hook(text);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Lumor"), text, QMessageBox::Ok, parent);
    box.exec();
}

std::optional<QString> askText(QWidget* parent, const QString& prompt, const QString& initial) {
    if (const auto& hook = dialogHooks().input) return hook(prompt);
    QInputDialog dialog(parent);
    dialog.setWindowTitle(QStringLiteral("Lumor"));
    dialog.setLabelText(prompt);
    dialog.setTextValue(initial);
    dialog.setInputMode(QInputDialog::TextInput);
    // The program speaks German; Qt's own button texts would otherwise be English.
    dialog.setOkButtonText(QStringLiteral("OK"));
    dialog.setCancelButtonText(QStringLiteral("Abbrechen"));
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.textValue();
}

}  // namespace lumor
