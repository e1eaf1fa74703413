#include "title/LevelChoice.h"

#include "app/Text.h"
#include "title/TitleLook.h"

#include <algorithm>

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace lumor {

namespace {

const QColor WonColour(0x8c, 0xff, 0x9c);
const QColor ReachedColour(0xe8, 0xf2, 0xff);
const QColor LockedColour(0x4a, 0x5a, 0x78);

}  // namespace

LevelChoice::LevelChoice(const Levels& levels, std::vector<LevelMark> marks,
                         const QString& packTitle, QWidget* parent)
    : QDialog(parent), marks_(std::move(marks)) {
    setWindowTitle(QStringLiteral("Level wählen – ") + packTitle);
    setStyleSheet(QStringLiteral("QDialog { background: #060c1c; }") + look::frameStyle() +
                  QStringLiteral("QListWidget::item { border: 1px solid #23406d;"
                                 " border-radius: 6px; margin: 3px; }"));
    setFont(look::uiFont(9));

    auto* layout = new QVBoxLayout(this);
    auto* heading = new QLabel(packTitle, this);
    heading->setFont(look::uiFont(12, true));
    heading->setStyleSheet(look::textColour(QColor(0xcf, 0xe3, 0xff)));
    heading->setTextFormat(Qt::PlainText);
    layout->addWidget(heading);

    list_ = new QListWidget(this);
    list_->setViewMode(QListView::IconMode);
    list_->setMovement(QListView::Static);
    list_->setResizeMode(QListView::Adjust);
    list_->setFlow(QListView::LeftToRight);
    list_->setWrapping(true);
    list_->setGridSize(QSize(112, 58));
    list_->setUniformItemSizes(true);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setFont(look::uiFont(9));
    layout->addWidget(list_, 1);

    const int count = std::min(levels.count(), static_cast<int>(marks_.size()));
    int furthest = 0;
    for (int i = 0; i < count; ++i) {
        const LevelMark m = marks_[static_cast<size_t>(i)];
        names_.push_back(toQt(levels[i].Name));
        QFontMetrics fm(list_->font());
        const QString name = fm.elidedText(names_.back(), Qt::ElideRight, 100);
        auto* item = new QListWidgetItem(
            (m.won ? QStringLiteral("✔ %1") : QStringLiteral("%1")).arg(i + 1) + '\n' + name,
            list_);
        item->setTextAlignment(Qt::AlignCenter);
        item->setSizeHint(QSize(106, 52));
        item->setForeground(m.won ? WonColour : m.reached ? ReachedColour : LockedColour);
        item->setToolTip(names_.back() + (m.won       ? QStringLiteral(" – gewonnen")
                                          : m.reached ? QStringLiteral(" – erreicht")
                                                      : QStringLiteral(" – noch nicht erreicht")));
        if (m.reached) furthest = i;
    }

    auto* legend =
        new QLabel(QStringLiteral("<span style='color:#8cff9c'>✔ gewonnen</span> &nbsp; "
                                  "<span style='color:#e8f2ff'>hell: erreicht</span> &nbsp; "
                                  "<span style='color:#4a5a78'>dunkel: noch nicht erreicht</span>"),
                   this);
    layout->addWidget(legend);
    status_ = new QLabel(this);
    status_->setStyleSheet(look::textColour(QColor(0xff, 0xe6, 0x80)));
    status_->setTextFormat(Qt::PlainText);
    layout->addWidget(status_);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    play_ = new QPushButton(QStringLiteral("Spielen"), this);
    auto* cancel = new QPushButton(QStringLiteral("Abbrechen"), this);
    play_->setAutoDefault(false);
    cancel->setAutoDefault(false);
    buttons->addWidget(play_);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);

    connect(list_, &QListWidget::currentRowChanged, this, [this](int row) { point(row); });
    connect(list_, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { start(list_->row(item)); });
    connect(play_, &QPushButton::clicked, this, [this] { start(list_->currentRow()); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    // Every level in sight where the screen allows: five to a row.
    const int rows = (count + 4) / 5;
    resize(5 * 112 + 60, std::clamp(rows * 58 + 170, 300, 720));
    if (count > 0) list_->setCurrentRow(furthest);
    list_->setFocus();
}

QString LevelChoice::statusLine() const { return status_->text(); }

void LevelChoice::point(int row) {
    if (row < 0 || row >= static_cast<int>(names_.size())) return;
    const LevelMark m = marks_[static_cast<size_t>(row)];
    status_->setText(
        QStringLiteral("Level %1 – %2").arg(row + 1).arg(names_[static_cast<size_t>(row)]) +
        (m.reached ? QString() : QStringLiteral(": noch nicht erreicht")));
    play_->setEnabled(m.reached);
}

void LevelChoice::start(int row) {
    if (row < 0 || row >= static_cast<int>(names_.size())) return;
    if (!marks_[static_cast<size_t>(row)].reached) {
        status_->setText(QStringLiteral("Level %1 ist noch nicht erreicht – gewinne erst "
                                        "die Levels davor.")
                             .arg(row + 1));
        return;
    }
    chosen_ = row;
    accept();
}

}  // namespace lumor
