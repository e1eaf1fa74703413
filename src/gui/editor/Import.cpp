#include "editor/Import.h"

#include "app/Dialogs.h"
#include "app/Text.h"
#include "app/paths.h"
#include "editor/TextFields.h"
#include "editor/boardedit.h"
#include "editor/levellist.h"
#include "levels/packfile.h"

#include <QComboBox>
#include <QDragEnterEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace lumor {

namespace {

const QString PasswordPrompt = QStringLiteral("Bitte Passwort eingeben!");
const QString WrongPassword = QStringLiteral("Das Passwort war leider Falsch!");
const QString OneLevelLeft = QStringLiteral("Es muss mindestens ein Level vorhanden sein!");

QString fullMessage(int copied, int wanted) {
    return QStringLiteral(
               "Ein Levelpack fasst höchstens 101 Levels. Von den %1 gewählten "
               "Levels wurden nur %2 übernommen.")
        .arg(wanted)
        .arg(copied);
}

QString entry(int i, const std::string& name) { return toQt(levelEntry(i, name)); }

}  // namespace

// --- DropList ---------------------------------------------------------------------------

void DropList::dragEnterEvent(QDragEnterEvent* e) {
    if (e->source() == acceptFrom)
        e->acceptProposedAction();
    else
        e->ignore();
}

void DropList::dragMoveEvent(QDragMoveEvent* e) {
    if (e->source() == acceptFrom)
        e->acceptProposedAction();
    else
        e->ignore();
}

void DropList::dropEvent(QDropEvent* e) {
    if (e->source() != acceptFrom) {
        e->ignore();
        return;
    }
    e->setDropAction(Qt::CopyAction);
    e->accept();
    if (onDrop) onDrop();
}

// --- LevelPicture -----------------------------------------------------------------------

LevelPicture::LevelPicture(QWidget* parent) : QWidget(parent) {
    setFixedSize(2 * BoardWidth + 2, 2 * BoardHeight + 2);
    image_ = QImage(2 * BoardWidth, 2 * BoardHeight, QImage::Format_RGB32);
    clear();
}

void LevelPicture::clear() {
    image_.fill(palette().color(QPalette::Window));
    update();
}

void LevelPicture::draw(const LevelRecord& level) {
    clear();
    for (int y = 0; y < BoardHeight; ++y)
        for (int x = 0; x < BoardWidth; ++x)
            if (const auto rgb = previewColour(level.cell(x, y))) {
                const QRgb c = 0xff000000u | *rgb;
                for (int dy = 0; dy < 2; ++dy)
                    for (int dx = 0; dx < 2; ++dx) image_.setPixel(2 * x + dx, 2 * y + dy, c);
            }
    update();
}

void LevelPicture::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setPen(palette().color(QPalette::Mid));
    p.drawRect(0, 0, width() - 1, height() - 1);
    p.drawImage(1, 1, image_);
}

// --- Import -----------------------------------------------------------------------------

Import::Import(Levels& levels, int count, const std::string& folder, QWidget* parent)
    : QDialog(parent), target_(levels, count), folder_(folder) {
    setWindowTitle(QStringLiteral("Levelpack Manager"));

    List1 = new DropList(this);
    List1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    List1->setAcceptDrops(true);
    List1->setDragDropMode(QAbstractItemView::DropOnly);
    List2 = new QListWidget(this);
    List2->setSelectionMode(QAbstractItemView::ExtendedSelection);
    List2->setDragEnabled(true);
    List2->setDragDropMode(QAbstractItemView::DragOnly);
    List1->acceptFrom = List2;
    List1->onDrop = [this] { Command1_Click(); };
    Combo1 = new QComboBox(this);
    // A pack's name may be 255 bytes long: the box shows its start rather than widening
    // the window beyond the screen.
    Combo1->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    Combo1->setMinimumContentsLength(20);

    Command1 = new QPushButton(QStringLiteral("<-----"), this);
    Command2 = new QPushButton(QStringLiteral("< Level löschen  "), this);
    Command3 = new QPushButton(QStringLiteral("< Hoch  "), this);
    Command4 = new QPushButton(QStringLiteral("< Runter  "), this);
    Picture2 = new LevelPicture(this);
    Picture1 = new LevelPicture(this);
    Picture2->setToolTip(QStringLiteral("Das zuletzt gewählte Level dieses Levelpacks"));
    Picture1->setToolTip(QStringLiteral("Das zuletzt gewählte Level des anderen Levelpacks"));

    const std::pair<QWidget*, const char*> named[] = {
        {List1, "List1"},       {Combo1, "Combo1"},     {List2, "List2"},
        {Picture2, "Picture2"}, {Picture1, "Picture1"}, {Command1, "Command1"},
        {Command2, "Command2"}, {Command3, "Command3"}, {Command4, "Command4"}};
    for (const auto& [w, name] : named) w->setObjectName(QString::fromLatin1(name));
    layOut();
    resize(620, 420);

    // The target from the pack being edited, the source packs from the folder.
    showTarget();
    for (const std::string& name : listFiles(folder_, "*.llp"))
        Combo1->addItem(fileNameToQt(name), fileNameData(name));
    Combo1->setCurrentIndex(-1);

    connect(Combo1, &QComboBox::currentIndexChanged, this, [this] {
        if (!Reverting) Combo1_Click();
    });
    connect(Command1, &QPushButton::clicked, this, &Import::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Import::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Import::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &Import::Command4_Click);
    connect(List1, &QListWidget::itemClicked, this, &Import::List1_Click);
    connect(List1, &QListWidget::currentRowChanged, this, &Import::List1_Click);
    connect(List2, &QListWidget::itemClicked, this, &Import::List2_Click);
    connect(List2, &QListWidget::currentRowChanged, this, &Import::List2_Click);
}

// The target list on the left, the buttons and pictures in the middle, the source pack on
// the right.
void Import::layOut() {
    auto* middle = new QVBoxLayout;
    for (QPushButton* b : {Command1, Command2, Command3, Command4}) {
        b->setAutoDefault(false);
        middle->addWidget(b);
    }
    auto* pictures = new QHBoxLayout;
    pictures->addWidget(Picture2);
    pictures->addWidget(Picture1);
    middle->addSpacing(8);
    middle->addLayout(pictures);
    middle->addStretch(1);
    auto* right = new QVBoxLayout;
    right->addWidget(Combo1);
    right->addWidget(List2, 1);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(List1, 1);
    layout->addLayout(middle);
    layout->addLayout(right, 1);
}

void Import::Combo1_Click() {
    const int index = Combo1->currentIndex();
    const auto revert = [this] {
        Reverting = true;
        Combo1->setCurrentIndex(PreviousPackIndex);
        Reverting = false;
    };
    if (index < 0) return;
    const PackReadResult pack = readPack(folder_ + fileNameFromData(Combo1->itemData(index)));
    if (!pack.ok) {
        // A damaged pack is refused; the previous source stays and the work goes on.
        showMessage(this, toQt(pack.message));
        revert();
        return;
    }
    const std::string& password = pack.contents.header.PackPassword;
    if (!password.empty()) {
        const std::optional<QString> answer = askText(this, PasswordPrompt);
        if (!answer || fromQt(*answer) != password) {
            if (answer && !answer->isEmpty()) showMessage(this, WrongPassword);
            revert();
            return;
        }
    }
    SourceLevels = pack.contents.levels;
    List2->clear();
    for (size_t i = 0; i < SourceLevels.size(); ++i)
        List2->addItem(entry(static_cast<int>(i), SourceLevels[i].Name));
    Picture1->clear();
    PreviousPackIndex = index;
}

void Import::Command1_Click() {
    Idle = false;
    takeSelection();
    std::vector<bool> chosen(SourceLevels.size(), false);
    int wanted = 0;
    for (int i = 0; i < List2->count() && i < static_cast<int>(chosen.size()); ++i)
        if (List2->item(i)->isSelected()) {
            chosen[static_cast<size_t>(i)] = true;
            ++wanted;
        }
    const CopyResult r = copyLevels(target_, SourceLevels, chosen);
    showTarget();
    Idle = true;
    if (r.full) showMessage(this, fullMessage(r.copied, wanted));
}

void Import::Command2_Click() {
    Idle = false;
    takeSelection();
    const bool keptLast = deleteSelected(target_);
    showTarget();
    if (keptLast) showMessage(this, OneLevelLeft);
    Idle = true;
}

void Import::Command3_Click() {
    Idle = false;
    takeSelection();
    moveSelectedUp(target_);
    showTarget();
    Idle = true;
}

void Import::Command4_Click() {
    Idle = false;
    takeSelection();
    moveSelectedDown(target_);
    showTarget();
    Idle = true;
}

void Import::List1_Click() {
    if (!Idle) return;
    const int row = List1->currentRow();
    if (row < 0 || row >= count()) return;
    Picture2->draw(target_.levels[row]);
}

void Import::List2_Click() {
    const int row = List2->currentRow();
    if (row < 0 || row >= static_cast<int>(SourceLevels.size())) return;
    Picture1->draw(SourceLevels[static_cast<size_t>(row)]);
}

void Import::takeSelection() {
    for (int i = 0; i < count(); ++i)
        target_.selected[static_cast<size_t>(i)] = List1->item(i)->isSelected();
    target_.current = List1->currentRow();
}

void Import::showTarget() {
    const bool wasIdle = Idle;
    Idle = false;
    while (List1->count() > count()) delete List1->takeItem(List1->count() - 1);
    for (int i = 0; i < count(); ++i) {
        const QString text = entry(i, target_.levels[i].Name);
        if (i < List1->count())
            List1->item(i)->setText(text);
        else
            List1->addItem(text);
        List1->item(i)->setSelected(target_.selected[static_cast<size_t>(i)]);
    }
    if (target_.current >= 0 && target_.current < count())
        List1->selectionModel()->setCurrentIndex(List1->model()->index(target_.current, 0),
                                                 QItemSelectionModel::NoUpdate);
    Idle = wasIdle;
}

void Import::done(int result) {
    // The end marker behind the last level, so the editor can rebuild its list.
    target_.levels[count()].Name = Levels::EndMarkerName;
    QDialog::done(result);
}

}  // namespace lumor
