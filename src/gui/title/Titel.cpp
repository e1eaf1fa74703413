#include "title/Titel.h"

#include "app/Audio.h"
#include "app/Dialogs.h"
#include "app/Text.h"
#include "app/Wait.h"
#include "app/edition.h"
#include "app/files.h"
#include "app/paths.h"
#include "app/process.h"
#include "app/skinfile.h"
#include "app/state.h"
#include "editor/Editor.h"
#include "levels/cp1252.h"
#include "levels/packfile.h"
#include "play/Bilder.h"
#include "play/Form1.h"
#include "solver/Loesungssucher.h"
#include "title/GlowSurface.h"
#include "title/TitleLogo.h"
#include "title/TitleLook.h"
#include "title/links.h"
#include "title/progress.h"
#include "title/titlesetup.h"
#include "ui/UcShadow.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

namespace lumor {
namespace {

// --- Texts -----------------------------------------------------------------------------

QString qs(const std::string& cp) { return toQt(cp); }

// Windows-1252 form of a text from the file system, for showing only: a character the
// code page cannot hold becomes "?".
std::string cpShown(const QString& text) {
    if (auto cp = fromQt(text)) return *cp;
    std::string out;
    for (QChar ch : text) out += fromQt(QString(ch)).value_or("?");
    return out;
}

// A file name less its last four characters (the extension, for the names listed here).
QString lessLastFour(const QString& name) {
    return name.left(std::max<qsizetype>(0, name.size() - 4));
}

// A file name for the lists; the file itself is always opened by its own bytes.
QString shownName(const std::string& native) {
    return QString::fromStdString(displayFileName(native));
}

const QString NoPacksMessage = QStringLiteral("Keine LevelPacks vorhanden!");
const QString WrongPassword = QStringLiteral("Passwort falsch!");
const std::string HomePageHint = "  Zur Homepage von Lumor   ";

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

}  // namespace

// --- Window ------------------------------------------------------------------------------

Titel::Titel(QWidget* parent, Clock& clock)
    : QWidget(parent), clock_(clock), helpTyper_({helpPages().begin(), helpPages().end()}) {
    setWindowTitle(QStringLiteral("Lumor"));
    setWindowIcon(titleIcon());
    setFixedSize(look::WindowWidth, look::WindowHeight);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    buildControls();
    if (edition().windowShadow) ucShadow1 = new ucShadow(this);

    hooks.openUrl = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
    hooks.startProgram = [this](const std::string& program) {
        // Programs here carry no extension: the installer "Install.exe" is "Install".
        std::string native = program;
        if (native.size() >= 4 && sameNameIgnoringCase(native.substr(native.size() - 4), ".exe"))
            native.resize(native.size() - 4);
        native = resolvePath(native);
        if (startDetached(native)) return true;
        showMessage(this,
                    QStringLiteral("„%1“ konnte nicht gestartet werden.")
                        .arg(shownName(native.substr(native.rfind('/') + 1))),
                    true);
        return false;
    };
    hooks.play = [this](QWidget* owner) {
        Form1 board(owner, clock_);
        board.onLevelStart = [this](int level) { rememberLevel(level); };
        board.exec();
    };
    hooks.finder = openLösungssucher;
    hooks.editor = [this](QWidget* owner) {
        Editor editor(owner, clock_);
        editor.exec();
    };
}

Titel::~Titel() = default;

void Titel::buildControls() {
    for (int k = 0; k < MenuEntryCount; ++k) {
        auto* label = new QLabel(this);
        label->setGeometry(look::MenuX, look::MenuY + k * look::MenuPitch, look::MenuWidth,
                           look::MenuPitch);
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        look::styleMenuEntry(label, false);
        label->setText(qs(menuCaption(k, state().FolderWritable)));
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

    // Skin card: name and three tiles of the current skin, twice their size.
    Label2 = new QLabel(QStringLiteral("Skin:"), this);
    Label2->setGeometry(look::SkinCard.x() + 12, look::SkinCard.y() + 12,
                        look::SkinCard.width() - 24, 22);
    Label2->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    Label2->setFont(look::uiFont(10, true));
    Label2->setStyleSheet(QStringLiteral("color: #cfe3ff;"));
    Label2->setTextFormat(Qt::PlainText);
    const int tileX = look::SkinCard.x() + (look::SkinCard.width() - 64) / 2;
    const std::array<QLabel**, 3> images{&Image3, &Image4, &Image5};
    for (size_t i = 0; i < images.size(); ++i) {
        auto* img = new QLabel(this);
        img->setGeometry(tileX, look::SkinCard.y() + 48 + static_cast<int>(i) * 76, 64, 64);
        *images[i] = img;
    }

    // Pack card: title and author (a link when the pack has one), count, remark.
    Label4 = new QLabel(this);
    Label4->setGeometry(look::PackCard.x() + 14, look::PackCard.y() + 10,
                        look::PackCard.width() - 28, 40);
    Label4->setFont(look::uiFont(11, true));
    Label4->setWordWrap(true);
    Label4->setTextFormat(Qt::PlainText);
    Label4->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label4->setMouseTracking(true);
    Label4->installEventFilter(this);
    Label3 = new QLabel(this);
    Label3->setGeometry(look::PackCard.x() + 14, look::PackCard.y() + 50,
                        look::PackCard.width() - 28, 18);
    Label3->setFont(look::uiFont(9, true));
    Label3->setStyleSheet(QStringLiteral("color: #69b8ff;"));
    Label3->setTextFormat(Qt::PlainText);
    Label5 = new QLabel(this);
    Label5->setGeometry(look::PackCard.x() + 14, look::PackCard.y() + 70,
                        look::PackCard.width() - 28, 36);
    Label5->setFont(look::uiFont(9));
    Label5->setStyleSheet(QStringLiteral("color: #aab8d0;"));
    Label5->setWordWrap(true);
    Label5->setTextFormat(Qt::PlainText);
    Label5->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label5->setMouseTracking(true);
    Label5->installEventFilter(this);

    // Options frame.
    Frame1 = new QGroupBox(QStringLiteral("Options"), this);
    Frame1->setGeometry(look::FrameRect);
    Frame1->setStyleSheet(look::frameStyle());
    const QFont optionFont = look::uiFont(9);
    const int captionWidth =
        look::FrameRect.width() - 24 - 2 - 24;  // frame padding, border, indicator
    {
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
    }
    Frame1->hide();

    // Skin frame.
    Frame2 = new QGroupBox(QStringLiteral("Skin wählen"), this);
    Frame2->setGeometry(look::SkinFrameRect);
    Frame2->setStyleSheet(look::frameStyle());
    Frame2->setFont(look::uiFont(9));
    {
        auto* layout = new QVBoxLayout(Frame2);
        auto* skins = new ChoiceList(Frame2);
        skins->onKeyChoice = [this] { File2_Click(); };
        File2 = skins;
        layout->addWidget(File2, 1);
        auto* buttons = new QHBoxLayout;
        buttons->addStretch(1);
        Command2 = new QPushButton(QStringLiteral("OK"), Frame2);
        Command1 = new QPushButton(QStringLiteral("Abbrechen"), Frame2);
        buttons->addWidget(Command2);
        buttons->addWidget(Command1);
        layout->addLayout(buttons);
        connect(File2, &QListWidget::itemClicked, this, [this] { File2_Click(); });
        connect(File2, &QListWidget::itemDoubleClicked, this, [this] { Command2_Click(); });
        connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
        connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    }
    Frame2->hide();

    // Pack frame.
    Frame3 = new QGroupBox(QStringLiteral("Levelpack wählen"), this);
    Frame3->setGeometry(look::FrameRect);
    Frame3->setStyleSheet(look::frameStyle());
    Frame3->setFont(look::uiFont(9));
    Frame3->setMouseTracking(true);
    Frame3->installEventFilter(this);
    {
        auto* layout = new QVBoxLayout(Frame3);
        auto* packs = new ChoiceList(Frame3);
        packs->onKeyChoice = [this] { List1_Click(); };
        List1 = packs;
        layout->addWidget(List1, 1);
        auto* buttons = new QHBoxLayout;
        buttons->addStretch(1);
        Command4 = new QPushButton(QStringLiteral("OK"), Frame3);
        Command3 = new QPushButton(QStringLiteral("Abbrechen"), Frame3);
        buttons->addWidget(Command4);
        buttons->addWidget(Command3);
        layout->addLayout(buttons);
        connect(List1, &QListWidget::itemClicked, this, [this] { List1_Click(); });
        connect(List1, &QListWidget::itemDoubleClicked, this, [this] { Command4_Click(); });
        connect(Command4, &QPushButton::clicked, this, [this] { Command4_Click(); });
        connect(Command3, &QPushButton::clicked, this, [this] { Frame3->hide(); });
    }
    Frame3->hide();
}

void Titel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    look::paintBackdrop(p, size(), {Image3->geometry(), Image4->geometry(), Image5->geometry()});
}

// --- Loading -------------------------------------------------------------------------------

bool Titel::Form_Load() {
    ProgramState& st = state();
    MenuChoice = -1;
    for (int k = 0; k < MenuEntryCount; ++k)
        Menu[static_cast<size_t>(k)]->setText(qs(menuCaption(k, st.FolderWritable)));

    // Pack list: title (or the file name less its extension) and the file name.
    List1->clear();
    PackTitles.clear();
    PackFiles.clear();
    packNames_ = listFiles(st.AppFolder, "*.llp");
    for (const std::string& name : packNames_) {
        const QString file = shownName(name);
        PackFiles << file;
        const PackHeaderPreview header = readPackHeader(st.AppFolder + name);
        QString title = qs(header.title).trimmed();
        if (title.isEmpty()) title = lessLastFour(file);
        const QString line = title + QStringLiteral(" (") + file + QStringLiteral(")");
        List1->addItem(line);
        PackTitles << line;
    }

    SkinFiles.clear();
    File2->clear();
    skinNames_ = listSkins(programPath("Skins"));
    for (const std::string& name : skinNames_) SkinFiles << shownName(name);
    File2->addItems(SkinFiles);

    if (st.FolderWritable) {
        if (PackFiles.isEmpty()) {
            UpdateSkin();
            showMessage(this, NoPacksMessage);
            if (hooks.editor) hooks.editor(this);
            return false;
        }
    } else if (PackFiles.isEmpty()) {
        // Nothing to play and nowhere to create a pack.
        showMessage(this, NoPacksMessage);
        return false;
    }
    const Config chosen = startChoices(
        Config{PackIndex, SkinIndex, st.MusicOn, st.Options}, st.FolderWritable,
        [](Config& config) { readConfigFile(programPath(ConfigFileName), config); },
        static_cast<int>(PackFiles.size()), static_cast<int>(SkinFiles.size()));
    PackIndex = chosen.PackIndex;
    SkinIndex = chosen.SkinIndex;
    st.MusicOn = chosen.MusicOn;
    st.Options = chosen.Options;
    for (int k = 0; k < edition().optionCount; ++k)
        Check1[static_cast<size_t>(k)]->setChecked(st.Options[static_cast<size_t>(k)]);

    PlayMusik();
    UpdateSkin();
    ShowLP();
    return !abort_;
}

bool Titel::loadPack(int index) {
    if (index < 0 || index >= PackFiles.size()) return false;
    const PackReadResult result =
        loadPackInto(state().AppFolder + packNames_[static_cast<size_t>(index)], state().pack,
                     state().FinalMessage);
    return result.ok;
}

void Titel::ShowLP() {
    if (!loadPack(PackIndex)) {
        // A damaged pack: say so and fall back to the first pack that reads soundly, so that
        // a broken file does not lock the player out; with none the program ends.
        showMessage(this, qs(PackDamagedMessage));
        const std::optional<int> sound = fallbackPack(static_cast<int>(PackFiles.size()), PackIndex,
                                                      [this](int i) { return loadPack(i); });
        if (!sound) {
            quit_ = true;
            abort_ = true;
            return;
        }
        PackIndex = *sound;
        if (state().FolderWritable) SaveConfig();
    }

    const PackHeader& header = state().pack.header;
    QString title =
        header.PackTitle.empty() ? lessLastFour(PackFiles[PackIndex]) : qs(header.PackTitle);
    if (!header.PackAuthor.empty()) title += QStringLiteral(" von ") + qs(header.PackAuthor);
    Label4->setText(title);
    const int count = state().pack.levels.count();
    Label3->setText(qs(levelCountText(count)));
    Label5->setText(qs(header.PackRemark));
    layoutPackCard();

    PackHasLink = !header.PackLink.empty();
    if (PackHasLink) {
        if (linkCursor_.pixmap().isNull()) linkCursor_ = look::linkCursor(devicePixelRatioF());
        Label4->setStyleSheet(look::textColour(look::LinkColour));
        Label4->setCursor(linkCursor_);
    } else {
        Label4->setStyleSheet(look::textColour(Qt::white));
        Label4->unsetCursor();
    }
}

void Titel::layoutPackCard() {
    // Title, count and remark follow each other; a long title takes a second line.
    const int x = look::PackCard.x() + 14, w = look::PackCard.width() - 28;
    int y = look::PackCard.y() + 12;
    const int titleHeight = std::clamp(Label4->heightForWidth(w), 18, 40);
    Label4->setGeometry(x, y, w, titleHeight);
    y += titleHeight + 4;
    Label3->setGeometry(x, y, w, 18);
    y += 22;
    Label5->setGeometry(x, y, w, std::max(0, look::PackCard.bottom() - 8 - y));
}

bool Titel::applySkin(int index) {
    if (index < 0 || index >= SkinFiles.size()) return false;
    const QString name = SkinFiles[index];
    if (!bilder().LoadSkin(programPath("Skins") + "/" + skinNames_[static_cast<size_t>(index)])) {
        // Changed or removed since the list was made: the pictures stay as they were.
        setStatus("  Der Skin " + cpShown(name) + " kann nicht geladen werden  ");
        return false;
    }
    Label2->setText(QStringLiteral("Skin:") + lessLastFour(name));
    const qreal dpr = devicePixelRatioF();
    Image4->setPixmap(look::tilePixmap(bilder().tile(8), 64, dpr));
    Image3->setPixmap(look::tilePixmap(bilder().tile(4), 64, dpr));
    Image5->setPixmap(look::tilePixmap(bilder().tile(0), 64, dpr));
    return true;
}

bool Titel::UpdateSkin() { return applySkin(SkinIndex); }

void Titel::PlayMusik() {
    ProgramState& st = state();
    musicBusy_ = true;
    const std::vector<std::string> files = musicFiles();
    std::string song;
    if (!files.empty()) {
        Check2->setVisible(true);
        song = files.front();
        for (const std::string& f : files)
            if (matchesPattern(f, "TITEL.*")) song = f;
    } else {
        st.MusicOn = false;
        Check2->setVisible(false);
    }
    if (st.MusicOn) {
        PlaySong(programPath("Musik/" + song));
        Check2->setChecked(true);
    } else {
        StopSong();
        Check2->setChecked(false);
    }
    musicBusy_ = false;
}

void Titel::SaveConfig() {
    const ProgramState& st = state();
    const Config config{PackIndex, SkinIndex, st.MusicOn, st.Options};
    saveConfigFile(programPath(ConfigFileName), config);
}

// --- Pointing and clicking -----------------------------------------------------------------

const std::string& Titel::statusText() const { return statusTyper_.text(); }
const std::string& Titel::shownStatusText() const { return statusTyper_.shown(); }

void Titel::setStatus(std::string text) { statusTyper_.setText(std::move(text)); }

void Titel::pointAtMenu(int k) {
    for (int i = 0; i < MenuEntryCount; ++i) {
        QLabel* label = Menu[static_cast<size_t>(i)];
        if (label->font().pointSize() != look::menuEntryPoints(i == k))
            look::styleMenuEntry(label, i == k);
    }
    setStatus(k >= 0 ? menuHint(k, state().FolderWritable) : std::string());
}

void Titel::mouseMoveEvent(QMouseEvent*) { pointAtMenu(-1); }

int Titel::entryAt(const QPointF& globalPosition) const {
    for (int k = 0; k < MenuEntryCount; ++k) {
        const QLabel* entry = Menu[static_cast<size_t>(k)];
        if (entry->isVisible() &&
            entry->rect().contains(entry->mapFromGlobal(globalPosition).toPoint()))
            return k;
    }
    return -1;
}

// Releasing any mouse button over an entry chooses it, wherever it was pressed.
void Titel::mouseReleaseEvent(QMouseEvent* event) {
    const int k = entryAt(event->globalPosition());
    if (k >= 0) MenuChoice = k;
}

bool Titel::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    const bool pointing = type == QEvent::Enter || type == QEvent::MouseMove;
    auto releasedInside = [&](QWidget* w) {
        if (type != QEvent::MouseButtonRelease) return false;
        auto* me = static_cast<QMouseEvent*>(event);
        return me->button() == Qt::LeftButton && w->rect().contains(me->position().toPoint());
    };
    if (type == QEvent::MouseButtonRelease) {
        const int k = entryAt(static_cast<QMouseEvent*>(event)->globalPosition());
        if (k >= 0) {
            MenuChoice = k;
            // The entries themselves do nothing else with it; other controls finish their click.
            if (std::find(Menu.begin(), Menu.end(), watched) != Menu.end()) return true;
        }
    }

    for (int k = 0; k < MenuEntryCount; ++k) {
        if (watched != Menu[static_cast<size_t>(k)]) continue;
        if (pointing) {
            pointAtMenu(k);
            return true;
        }
        return false;
    }
    if (watched == Label4) {
        if (pointing) {
            setStatus("    " + state().pack.header.PackLink + "  ");
            return true;
        }
        if (releasedInside(Label4)) {
            Label4_Click();
            return true;
        }
    } else if (watched == Label1) {
        if (pointing) {
            setStatus(HomePageHint);
            return true;
        }
        if (releasedInside(Label1)) {
            hooks.openUrl(QUrl(QString::fromLatin1(HomePage)));
            return true;
        }
    } else if (watched == Label5 || watched == Picture1 || watched == Frame3) {
        if (pointing) {
            setStatus({});
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void Titel::Label4_Click() {
    const std::string& link = state().pack.header.PackLink;
    if (!packLinkMayOpen(link)) return;
    const QUrl url(qs(link), QUrl::StrictMode);
    if (url.isValid()) hooks.openUrl(url);
}

void Titel::List1_Click() {
    const int i = List1->currentRow();
    if (i < 0 || i >= PackFiles.size()) return;
    const PackHeaderPreview header =
        readPackHeader(state().AppFolder + packNames_[static_cast<size_t>(i)]);
    std::string title = header.title;
    if (title.empty()) title = cpShown(lessLastFour(PackFiles[i]));
    std::string text = "  " + title;
    if (!header.author.empty()) text += " von " + header.author;
    setStatus(text + "  ");
}

void Titel::Command4_Click() {
    QListWidgetItem* item = List1->currentItem();
    if (item && item->isSelected()) {
        PackIndex = List1->row(item);
        ShowLP();
    }
    Frame3->hide();
}

void Titel::File2_Click() {
    // A preview: the skin is shown, but the choice stays what it was.
    const int row = File2->currentRow();
    if (row < 0) return;
    const int32_t chosen = SkinIndex;
    SkinIndex = row;
    UpdateSkin();
    SkinIndex = chosen;
}

void Titel::Command2_Click() {
    QListWidgetItem* item = File2->currentItem();
    if (item && item->isSelected()) {
        const int row = File2->row(item);
        // A skin that cannot be cut keeps the previous one.
        if (applySkin(row))
            SkinIndex = row;
        else
            UpdateSkin();
    }
    Frame2->hide();
}

void Titel::Command1_Click() {
    UpdateSkin();
    Frame2->hide();
}

void Titel::Check1_Click(int k) {
    state().Options[static_cast<size_t>(k)] = Check1[static_cast<size_t>(k)]->isChecked();
}

void Titel::Check2_Click() {
    state().MusicOn = Check2->isChecked();
    if (!musicBusy_) PlayMusik();
}

void Titel::closeEvent(QCloseEvent* event) {
    if (loopRunning_) {
        // The loop notices the request at its next check, saves and ends the program.
        quit_ = true;
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

// --- The loop ------------------------------------------------------------------------------

int Titel::runLoop() {
    loopRunning_ = true;
    Picture1->show();
    setStatus({});
    nextFrame_ = clock_.nowMs();
    while (!quit_) frame();
    loopRunning_ = false;
    if (!abort_ && state().FolderWritable) SaveConfig();
    StopSong();
    hide();
    return abort_ ? 1 : 0;
}

void Titel::frame() {
    Picture1->apply(helpTyper_.frame());
    StatusBar->apply(statusTyper_.frame());
    if (state().MusicOn) PollSong();

    clock_.waitUntil(nextFrame_, [this] { return quit_; });
    nextFrame_ = clock_.nowMs() + 16;
    if (quit_ || MenuChoice < 0) return;

    lastHiddenFrame_ = -1;
    if (Frame1->isVisible()) {
        Frame1->hide();
        lastHiddenFrame_ = MenuOption;
    }
    if (Frame2->isVisible()) {
        UpdateSkin();  // takes back a preview
        Frame2->hide();
        lastHiddenFrame_ = MenuSkin;
    }
    if (Frame3->isVisible()) {
        Frame3->hide();
        lastHiddenFrame_ = MenuLevelPack;
    }
    if (MenuChoice > MenuOption) {
        MenuChoice = -1;
        return;
    }
    actOnMenuChoice();
    MenuChoice = -1;
}

void Titel::startPlay() {
    if (hooks.play) hooks.play(this);
}

void Titel::actOnMenuChoice() {
    ProgramState& st = state();
    switch (MenuChoice) {
        case MenuStart:
            StopSong();
            PlaySoundFile(programPath("Sound/start.wav"));
            st.handover.set(0);
            startPlay();
            PlayMusik();
            break;
        case MenuPasswort:
            StopSong();
            passwordEntry();
            PlayMusik();
            break;
        case MenuEditor:
            if (!st.FolderWritable) {
                hooks.startProgram(programPath("Install.exe"));
                break;
            }
            StopSong();
            SaveConfig();
            if (hooks.editor) hooks.editor(this);
            // Packs may have been saved or removed in the editor.
            if (!Form_Load()) {
                quit_ = true;
                abort_ = true;
            }
            break;
        case MenuLevelPack:
        case MenuSkin:
        case MenuOption: {
            QGroupBox* frame = MenuChoice == MenuLevelPack ? Frame3
                               : MenuChoice == MenuSkin    ? Frame2
                                                           : Frame1;
            if (lastHiddenFrame_ != MenuChoice) {
                if (frame == Frame3 && PackIndex < List1->count()) List1->setCurrentRow(PackIndex);
                if (frame == Frame2 && SkinIndex < File2->count()) File2->setCurrentRow(SkinIndex);
                frame->show();
                frame->raise();
            }
            break;
        }
        default:
            break;
    }
}

// --- Progress ---------------------------------------------------------------------------

Progress Titel::readProgress() const {
    std::string bytes;
    if (readRegularFile(programPath(ProgressFileName), MaxProgressFileBytes, bytes) !=
        ReadStatus::Ok)
        return {};
    return Progress::parse(bytes);
}

void Titel::rememberLevel(int level) {
    if (!state().FolderWritable || PackIndex < 0 || PackIndex >= PackFiles.size()) return;
    Progress progress = readProgress();
    if (!progress.reach(packNames_[static_cast<size_t>(PackIndex)], state().pack.header.PackTitle,
                        level, state().pack.levels.count()))
        return;
    saveFileAtomically(programPath(ProgressFileName), progress.format(), LinkPolicy::Refuse);
}

QString Titel::rememberedPassword() const {
    if (PackIndex < 0 || PackIndex >= PackFiles.size()) return {};
    const std::optional<int> level = readProgress().furthest(
        packNames_[static_cast<size_t>(PackIndex)], state().pack.header.PackTitle);
    const Levels& levels = state().pack.levels;
    if (!level || *level >= levels.count()) return {};
    return qs(levels[*level].Password);
}

void Titel::passwordEntry() {
    const std::optional<QString> answer =
        askText(this, QString::fromUtf8(edition().passwordPrompt), rememberedPassword());
    const QString typed = answer.value_or(QString());
    const std::optional<std::string> bytes = fromQt(typed);
    if (!bytes) {
        // A character the code page cannot hold is in no password.
        showMessage(this, WrongPassword);
        return;
    }
    const PasswordAnswer read = readPasswordAnswer(*bytes);
    solverRequest_ = read.solverRequest;
    if (read.password.empty()) return;

    const std::optional<int> level = state().pack.levels.findByPassword(read.password);
    if (!level) {
        showMessage(this, WrongPassword);
        return;
    }
    PlaySoundFile(programPath("Sound/start.wav"));
    state().handover.set(*level);
    if (solverRequest_ && hooks.finder)
        hooks.finder(this, *level);
    else
        startPlay();
}

int runTitleMenu(Clock& clock) {
    // The program ends through the title loop only, not when a message box shown before
    // the title window closes.
    QGuiApplication::setQuitOnLastWindowClosed(false);
    Titel titel(nullptr, clock);
    if (!titel.Form_Load()) return titel.endingWithoutSave() ? 1 : 0;
    titel.show();
    return titel.runLoop();
}

void showTitleMenu(Clock& clock) {
    // Started from the event loop, like the loop's own timer; its end ends the program.
    QTimer::singleShot(0, qApp, [&clock] { QCoreApplication::exit(runTitleMenu(clock)); });
}

}  // namespace lumor
