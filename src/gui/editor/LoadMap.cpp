#include "editor/LoadMap.h"

#include "app/Dialogs.h"
#include "app/paths.h"
#include "editor/TextFields.h"
#include "editor/packfiles.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace lumor {

namespace {

const QString ForbiddenMessage =
    QStringLiteral("Der Name darf keines der folgenden Zeichen enthalten:\r\n \\ / : * ? \" < > |");
const QString OverwriteQuestion = QStringLiteral("Soll das Levelpack überschrieben werden?");
// Such a name makes a hidden file, which no list of packs would show.
const QString HiddenNameMessage = QStringLiteral(
    "Der Name darf nicht mit einem Punkt beginnen: die Datei wäre versteckt "
    "und erschiene in keiner Liste.");

// The pack files of the program folder (found without regard to letter case).
void fillPackList(QListWidget* list, const std::string& folder) {
    for (const std::string& name : listFiles(folder, "*.llp")) {
        auto* item = new QListWidgetItem(fileNameToQt(name), list);
        item->setData(Qt::UserRole, fileNameData(name));
    }
}

QPushButton* button(const char* name, const char* caption, QWidget* parent) {
    auto* b = new QPushButton(QString::fromUtf8(caption), parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
}

}  // namespace

// --- LoadMap ------------------------------------------------------------------------------

LoadMap::LoadMap(const std::string& folder, QWidget* parent) : QDialog(parent), folder_(folder) {
    setWindowTitle(QStringLiteral("Levelpack laden"));
    List1 = new QListWidget(this);
    List1->setObjectName(QStringLiteral("List1"));
    Command2 = button("Command2", "OK", this);
    Command1 = button("Command1", "Abbrechen", this);
    Command2->setDefault(true);
    auto* grid = new QGridLayout(this);
    grid->addWidget(List1, 0, 0, 1, 3);
    grid->setColumnStretch(0, 1);
    grid->addWidget(Command2, 1, 1);
    grid->addWidget(Command1, 1, 2);
    resize(320, 300);

    fillPackList(List1, folder_);
    if (List1->count() > 0) List1->setCurrentRow(0);

    connect(Command2, &QPushButton::clicked, this, &LoadMap::Command2_Click);
    connect(Command1, &QPushButton::clicked, this, &LoadMap::reject);
    connect(List1, &QListWidget::itemDoubleClicked, this, &LoadMap::Command2_Click);
}

std::optional<std::string> LoadMap::choose(QWidget* parent, const std::string& folder) {
    LoadMap dialog(folder, parent);
    dialog.exec();
    return dialog.chosen();
}

void LoadMap::Command2_Click() {
    // With no pack in the folder there is nothing to choose: as "Abbrechen".
    const QListWidgetItem* item = List1->currentItem();
    if (!item) {
        reject();
        return;
    }
    chosen_ = folder_ + fileNameFromData(item->data(Qt::UserRole));
    accept();
}

// --- SaveMap ------------------------------------------------------------------------------

SaveMap::SaveMap(const std::string& folder, QWidget* parent, const QString& offered)
    : QDialog(parent), folder_(folder) {
    setWindowTitle(QStringLiteral("Levelpack speichern"));
    List1 = new QListWidget(this);
    List1->setObjectName(QStringLiteral("List1"));
    Text1 = new QLineEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Command1 = button("Command1", "OK", this);
    Command2 = button("Command2", "Abbrechen", this);
    auto* grid = new QGridLayout(this);
    grid->addWidget(List1, 0, 0, 1, 3);
    grid->addWidget(Text1, 1, 0, 1, 3);
    grid->setColumnStretch(0, 1);
    grid->addWidget(Command1, 2, 1);
    grid->addWidget(Command2, 2, 2);
    resize(320, 330);

    fillPackList(List1, folder_);
    if (!offered.isEmpty()) {
        Text1->setText(offered);
        Text1->selectAll();
        List1->setCurrentItem(List1->findItems(offered, Qt::MatchExactly).value(0));
    }
    Text1->installEventFilter(this);
    Text1->setFocus();

    connect(Command1, &QPushButton::clicked, this, &SaveMap::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &SaveMap::reject);
    connect(List1, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { Text1->setText(item->text()); });
    connect(List1, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        Text1->setText(item->text());
        Command1_Click();
    });
}

std::optional<std::string> SaveMap::choose(QWidget* parent, const std::string& folder,
                                           const QString& offered) {
    SaveMap dialog(folder, parent, offered);
    dialog.exec();
    return dialog.chosen();
}

bool SaveMap::eventFilter(QObject* watched, QEvent* event) {
    // Enter in the name box is OK, and goes no further.
    if (watched == Text1 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            Command1_Click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void SaveMap::Command1_Click() {
    // Nothing typed: nothing to save under.
    if (Text1->text().isEmpty()) return;
    // A name as the list shows it means that file, whatever bytes name it on disk; any
    // other name is written as the system writes names.
    std::string native = withPackExtension(fileNameFromQt(Text1->text()));
    const QString name = fileNameToQt(native);
    for (int i = 0; i < List1->count(); ++i)
        if (List1->item(i)->text() == name)
            native = fileNameFromData(List1->item(i)->data(Qt::UserRole));
    Text1->setText(name);
    if (hasForbiddenCharacter(native)) {
        showMessage(this, ForbiddenMessage, true);
        return;
    }
    if (name.startsWith(QLatin1Char('.'))) {
        showMessage(this, HiddenNameMessage, true);
        return;
    }
    if (native.size() > MaxPackNameBytes) {
        showMessage(this, nameTooLongMessage(native.size()), true);
        return;
    }
    const std::string path = folder_ + native;
    if (FileExists(path) &&
        askQuestion(this, OverwriteQuestion, QuestionButtons::YesNoDefaultNo) != Answer::Yes)
        return;
    chosen_ = path;
    accept();
}

}  // namespace lumor
