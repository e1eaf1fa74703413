#include "editor/IDEdit.h"

#include "app/Dialogs.h"
#include "app/Text.h"
#include "editor/TextFields.h"
#include "editor/packfiles.h"
#include "editor/packinfo.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace lumor {

namespace {

const QString UrlPrefixed = QStringLiteral("Der Url wurde 'http://' vorangefügt");
const QString MailPrefixed = QStringLiteral("Der E-Mail Adresse wurde 'mailto:' vorangefügt");

std::string bytes(const QLineEdit* box) { return fromQt(box->text()).value_or(std::string()); }

}  // namespace

IDEdit::IDEdit(PackHeader& header, QWidget* parent) : QDialog(parent), header_(header) {
    setWindowTitle(QStringLiteral("Pack ID ändern"));
    auto* form = new QFormLayout;
    form->setRowWrapPolicy(QFormLayout::WrapAllRows);
    auto* validator = new StorableText(this);
    const auto box = [&](const char* label, const std::string& value) {
        auto* edit = new QLineEdit(toQt(value), this);
        edit->setValidator(validator);
        edit->setMinimumWidth(360);
        form->addRow(QString::fromUtf8(label), edit);
        return edit;
    };
    Text5 = box("Titel:", header.PackTitle);
    Text4 = box("Autor:", header.PackAuthor);
    Text1 = box("Bemerkung:", header.PackRemark);
    Text2 = box("Meldung beim Beenden aller Levels:", header.PackEndMessage);
    Text3 = box("Homepageadresse oder E-Mail:", header.PackLink);
    Text6 = box("Passwort zum Schutz des Levelpacks:", header.PackPassword);

    // The password is stored scrambled: what it cannot hold is shown while it is typed.
    Hint = new QLabel(this);
    Hint->setWordWrap(true);
    form->addRow(Hint);
    const auto flagPassword = [this] {
        const std::optional<Unstorable> problem = firstUnstorable(trimSpaces(bytes(Text6)));
        const QString why = problem ? unstorableText(*problem) : QString();
        flagBox(Text6, why);
        Hint->setText(why);
    };
    connect(Text6, &QLineEdit::textChanged, this, flagPassword);
    flagPassword();

    Command1 = new QPushButton(QStringLiteral("OK"), this);
    Command1->setDefault(true);
    connect(Command1, &QPushButton::clicked, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(Command1, 0, Qt::AlignRight);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void IDEdit::done(int result) {
    store();
    QDialog::done(result);
}

void IDEdit::store() {
    if (stored_) return;
    stored_ = true;
    const PackInfoTexts texts{bytes(Text5), bytes(Text4), bytes(Text1),
                              bytes(Text2), bytes(Text3), bytes(Text6)};
    switch (storePackInfo(texts, header_)) {
        case LinkPrefix::Http:
            showMessage(this, UrlPrefixed);
            break;
        case LinkPrefix::Mailto:
            showMessage(this, MailPrefixed);
            break;
        case LinkPrefix::None:
            break;
    }
}

}  // namespace lumor
