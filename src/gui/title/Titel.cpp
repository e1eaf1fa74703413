// The title menu: making it, the skin, the music and the options, pointing and clicking,
// and the loop that acts on the chosen menu entry.
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
#include "play/BoardNotes.h"
#include "play/Form1.h"
#include "solver/Loesungssucher.h"
#include "title/GlowSurface.h"
#include "title/TitelText.h"
#include "title/TitleLogo.h"
#include "title/TitleLook.h"
#include "title/links.h"
#include "title/progress.h"
#include "title/seennotes.h"
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

using namespace titletext;

// --- Window ------------------------------------------------------------------------------

Titel::Titel(QWidget* parent, Clock& clock, ProgramState& programState)
    : QWidget(parent),
      clock_(clock),
      program_(programState),
      helpTyper_({helpPages().begin(), helpPages().end()}, FirstRulesPage) {
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
        Form1 board(playSetupOf(program_), owner, clock_);
        board.onLevelStart = [this](int level) { rememberLevel(level); };
        board.onLevelWon = [this](int level) { rememberWin(level); };
        if (PackIndex == 0 && !packNames_.empty())
            board.notes()->setFirstLevels(playerFolder(), packNames_.front(), NotedLevels);
        board.exec();
    };
    hooks.finder = openLösungssucher;
    hooks.editor = [this](QWidget* owner) {
        Editor editor(owner, clock_);
        editor.exec();
    };
}

Titel::~Titel() = default;

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
    Image4->setPixmap(look::tilePixmap(bilder().tile(TargetUp), 64, dpr));
    Image3->setPixmap(look::tilePixmap(bilder().tile(SourceUp), 64, dpr));
    Image5->setPixmap(look::tilePixmap(bilder().tile(Empty), 64, dpr));
    return true;
}

bool Titel::UpdateSkin() { return applySkin(SkinIndex); }

void Titel::PlayMusik() {
    musicBusy_ = true;
    const std::vector<std::string> files = musicFiles();
    std::string song;
    if (!files.empty()) {
        Check2->setVisible(true);
        song = files.front();
        for (const std::string& f : files)
            if (matchesPattern(f, "TITEL.*")) song = f;
    } else {
        program_.MusicOn = false;
        Check2->setVisible(false);
    }
    if (program_.MusicOn) {
        PlaySong(programPath("Musik/" + song));
        Check2->setChecked(true);
    } else {
        StopSong();
        Check2->setChecked(false);
    }
    musicBusy_ = false;
}

void Titel::SaveConfig() {
    const Config config{PackIndex, SkinIndex, program_.MusicOn, program_.Options};
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
    setStatus(k >= 0 ? menuHint(k, program_.FolderWritable) : std::string());
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
    if (pointing && pointAtLink(watched)) return true;
    if (type == QEvent::MouseButtonRelease) {
        auto* me = static_cast<QMouseEvent*>(event);
        auto* w = qobject_cast<QWidget*>(watched);
        if (me->button() == Qt::LeftButton && w && w->rect().contains(me->position().toPoint()) &&
            clickLink(watched))
            return true;
    }
    return QWidget::eventFilter(watched, event);
}

bool Titel::pointAtLink(QObject* watched) {
    if (watched == Label4)
        setStatus("    " + program_.pack.header.PackLink + "  ");
    else if (watched == Label1)
        setStatus(HomePageHint);
    else if (watched == Label5 || watched == Picture1 || watched == Frame3)
        setStatus({});
    else
        return false;
    return true;
}

bool Titel::clickLink(QObject* watched) {
    if (watched == Label4)
        Label4_Click();
    else if (watched == Label1)
        hooks.openUrl(QUrl(QString::fromLatin1(HomePage)));
    else if (watched == Picture1)
        helpTyper_.click();  // the rules, then page by page
    else
        return false;
    return true;
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
    program_.Options[static_cast<size_t>(k)] = Check1[static_cast<size_t>(k)]->isChecked();
}

void Titel::Check2_Click() {
    program_.MusicOn = Check2->isChecked();
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
    if (!abort_ && program_.FolderWritable) SaveConfig();
    StopSong();
    hide();
    return abort_ ? 1 : 0;
}

void Titel::frame() {
    Picture1->apply(helpTyper_.frame());
    StatusBar->apply(statusTyper_.frame());
    if (program_.MusicOn) PollSong();

    clock_.waitUntil(nextFrame_, [this] { return quit_; });
    nextFrame_ = clock_.nowMs() + 16;
    if (chosenLevel_ && !quit_) startChosenLevel();
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
    switch (MenuChoice) {
        case MenuStart:
            StopSong();
            PlaySoundFile(programPath("Sound/start.wav"));
            program_.handover.set(0);
            startPlay();
            PlayMusik();
            break;
        case MenuPasswort:
            StopSong();
            passwordEntry();
            PlayMusik();
            break;
        case MenuEditor:
            if (!program_.FolderWritable) {
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
