// The title menu's controls: the menu entries, the logo, the help and status areas, the
// skin and pack cards and the three frames, laid out as the window was designed.
#include "app/edition.h"
#include "title/GlowSurface.h"
#include "title/Titel.h"
#include "title/TitelText.h"
#include "title/TitleLogo.h"
#include "title/TitleLook.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

namespace lumor {

using namespace titletext;

namespace {

const char* const OptionCaptions[OptionCount] = {
    "Autostart beim Setzen des letzten Steins",
    "Editor: Beim Löschen mit rechter Maustaste wird auch gleichzeitig der Stein aufgenommen",
    "Turbo beschleunigen",
    "Partikel-Effekt",
    "Im Spiel: Beim Löschen mit rechter Maustaste wird auch gleichzeitig der Stein aufgenommen",
    "AutoRedraw (Wenn deaktiviert, wird die Grafik sehr beschleunigt)",
    "Positionsrahmen",
    "Sound",
    "Feld nach Versagen zurückstellen",
};

// A list whose entry, when chosen with the keyboard, is previewed as a click would.
class ChoiceList final : public QListWidget {
public:
    using QListWidget::QListWidget;
    std::function<void()> onKeyChoice;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        const int before = currentRow();
        QListWidget::keyPressEvent(event);
        if (currentRow() != before && currentRow() >= 0 && onKeyChoice) onKeyChoice();
    }
};

// A plain-text label in the UI font.
QLabel* textLabel(QWidget* parent, const QRect& geometry, int points, bool bold,
                  const QString& style) {
    auto* label = new QLabel(parent);
    label->setGeometry(geometry);
    label->setFont(look::uiFont(points, bold));
    if (!style.isEmpty()) label->setStyleSheet(style);
    label->setTextFormat(Qt::PlainText);
    return label;
}

}  // namespace

void Titel::buildControls() {
    buildMenu();
    buildSkinCard();
    buildPackCard();
    buildOptionsFrame();

    // Skin frame: choosing an entry previews it, "OK" keeps it, "Abbrechen" takes it back.
    ChoiceFrame skins = buildChoiceFrame(
        QStringLiteral("Skin wählen"), look::SkinFrameRect, [this] { File2_Click(); },
        [this] { Command2_Click(); });
    Frame2 = skins.frame;
    File2 = skins.list;
    Command2 = skins.ok;
    Command1 = skins.cancel;
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });

    // Pack frame: choosing an entry names its pack in the status line.
    ChoiceFrame packs = buildChoiceFrame(
        QStringLiteral("Levelpack wählen"), look::FrameRect, [this] { List1_Click(); },
        [this] { Command4_Click(); });
    Frame3 = packs.frame;
    List1 = packs.list;
    Command4 = packs.ok;
    Command3 = packs.cancel;
    connect(Command3, &QPushButton::clicked, this, [this] { Frame3->hide(); });
    buildLevelsButton();
    Frame3->setMouseTracking(true);
    Frame3->installEventFilter(this);
}

void Titel::buildMenu() {
    for (int k = 0; k < MenuEntryCount; ++k) {
        auto* label = new QLabel(this);
        label->setGeometry(look::MenuX, look::MenuY + k * look::MenuPitch, look::MenuWidth,
                           look::MenuPitch);
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        look::styleMenuEntry(label, false);
        label->setText(qs(menuCaption(k, program_.FolderWritable)));
        label->setMouseTracking(true);
        label->setCursor(Qt::PointingHandCursor);
        label->installEventFilter(this);
        Menu[static_cast<size_t>(k)] = label;
    }

    Logo = new TitleLogo(this);
    Logo->setGeometry(look::LogoBand);
    Logo->onClick = [this] { hooks.openUrl(QUrl(QString::fromLatin1(HomePage))); };
    Logo->onHover = [this] { setStatus(HomePageHint); };
    Logo->installEventFilter(this);

    Picture1 = new GlowSurface(this);
    Picture1->setGeometry(look::HelpRect);
    Picture1->setPanelColor(look::PanelColour);
    Picture1->setMouseTracking(true);
    Picture1->installEventFilter(this);
    Picture1->setCursor(Qt::PointingHandCursor);
    Picture1->setToolTip(QStringLiteral("Klick: die Spielregeln, Seite für Seite"));

    StatusBar = new GlowSurface(this);
    StatusBar->setGeometry(look::StatusRect);
    StatusBar->setPanelColor(look::PanelColour);

    Label1 = new QLabel(QStringLiteral("Version 1.14"), this);
    Label1->setGeometry(look::SkinCard.right() - 143, 480, 144, 24);
    Label1->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Label1->setFont(look::uiFont(9));
    Label1->setStyleSheet(QStringLiteral("color: #7f9cc8;"));
    Label1->setCursor(Qt::PointingHandCursor);
    Label1->setMouseTracking(true);
    Label1->installEventFilter(this);
}

// Skin card: name and three tiles of the current skin, twice their size.
void Titel::buildSkinCard() {
    const QRect& card = look::SkinCard;
    Label2 = textLabel(this, QRect(card.x() + 12, card.y() + 12, card.width() - 24, 22), 10, true,
                       QStringLiteral("color: #cfe3ff;"));
    Label2->setText(QStringLiteral("Skin:"));
    Label2->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    const int tileX = card.x() + (card.width() - 64) / 2;
    const std::array<QLabel**, 3> images{&Image3, &Image4, &Image5};
    for (size_t i = 0; i < images.size(); ++i) {
        auto* img = new QLabel(this);
        img->setGeometry(tileX, card.y() + 48 + static_cast<int>(i) * 76, 64, 64);
        *images[i] = img;
    }
}

// Pack card: title and author (a link when the pack has one), count, remark.
void Titel::buildPackCard() {
    const QRect& card = look::PackCard;
    const int x = card.x() + 14, w = card.width() - 28;
    Label4 = textLabel(this, QRect(x, card.y() + 10, w, 40), 11, true, {});
    Label4->setWordWrap(true);
    Label4->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label4->setMouseTracking(true);
    Label4->installEventFilter(this);
    Label3 =
        textLabel(this, QRect(x, card.y() + 50, w, 18), 9, true, QStringLiteral("color: #69b8ff;"));
    Label5 = textLabel(this, QRect(x, card.y() + 70, w, 36), 9, false,
                       QStringLiteral("color: #aab8d0;"));
    Label5->setWordWrap(true);
    Label5->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label5->setMouseTracking(true);
    Label5->installEventFilter(this);
}

void Titel::buildOptionsFrame() {
    Frame1 = new QGroupBox(QStringLiteral("Options"), this);
    Frame1->setGeometry(look::FrameRect);
    Frame1->setStyleSheet(look::frameStyle());
    const QFont optionFont = look::uiFont(9);
    const int captionWidth =
        look::FrameRect.width() - 24 - 2 - 24;  // frame padding, border, indicator
    auto* layout = new QVBoxLayout(Frame1);
    layout->setSpacing(3);
    for (int k = 0; k < edition().optionCount; ++k) {
        auto* box = new QCheckBox(look::wrapCaption(QString::fromUtf8(OptionCaptions[k]),
                                                    QFontMetrics(optionFont), captionWidth),
                                  Frame1);
        box->setFont(optionFont);
        connect(box, &QCheckBox::clicked, this, [this, k] { Check1_Click(k); });
        layout->addWidget(box);
        Check1[static_cast<size_t>(k)] = box;
    }
    Check2 = new QCheckBox(QStringLiteral("Hintergrundmusik"), Frame1);
    Check2->setFont(optionFont);
    connect(Check2, &QCheckBox::toggled, this, [this] { Check2_Click(); });
    layout->addSpacing(4);
    layout->addWidget(Check2);
    layout->addStretch(1);
    Frame1->hide();
}

Titel::ChoiceFrame Titel::buildChoiceFrame(const QString& title, const QRect& geometry,
                                           const std::function<void()>& onChoice,
                                           const std::function<void()>& onOk) {
    ChoiceFrame f;
    f.frame = new QGroupBox(title, this);
    f.frame->setGeometry(geometry);
    f.frame->setStyleSheet(look::frameStyle());
    f.frame->setFont(look::uiFont(9));
    auto* layout = new QVBoxLayout(f.frame);
    auto* list = new ChoiceList(f.frame);
    list->onKeyChoice = onChoice;
    f.list = list;
    layout->addWidget(f.list, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    f.ok = new QPushButton(QStringLiteral("OK"), f.frame);
    f.cancel = new QPushButton(QStringLiteral("Abbrechen"), f.frame);
    buttons->addWidget(f.ok);
    buttons->addWidget(f.cancel);
    layout->addLayout(buttons);
    connect(f.list, &QListWidget::itemClicked, this, onChoice);
    connect(f.list, &QListWidget::itemDoubleClicked, this, onOk);
    connect(f.ok, &QPushButton::clicked, this, onOk);
    f.frame->hide();
    return f;
}

void Titel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    look::paintBackdrop(p, size(), {Image3->geometry(), Image4->geometry(), Image5->geometry()});
}

}  // namespace lumor
