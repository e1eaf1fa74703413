// The title menu: the program's main window with its six menu entries, the loaded pack,
// the pack, skin and options frames, and the main loop that types the help text, keeps
// the title song going and acts on the chosen menu entry.
#pragma once

#include "app/Wait.h"
#include "app/state.h"
#include "title/config.h"
#include "title/helptext.h"
#include "title/progress.h"

#include <QCursor>
#include <QImage>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QCheckBox;
class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;
class QUrl;

namespace lumor {

class GlowSurface;
class TitleLogo;
class ucShadow;

// What the title menu starts outside itself; tests replace them.
struct TitelHooks {
    std::function<bool(const QUrl&)> openUrl;  // the desktop's URL handler
    // Started without waiting; the path as bytes.
    std::function<bool(const std::string& program)> startProgram;
    std::function<void(QWidget* parent)> play;    // the board window, modally
    std::function<void(QWidget* parent)> editor;  // the editor, modally
    // The solution finder for a level, not modally, waiting (handling events) until it has
    // put -1 into Handover. Without it a password with the solver prefix plays the level.
    std::function<void(QWidget* parent, int level)> finder;
};

// Where the version label and the logo lead.
inline const char* const HomePage = "https://lumor.example.org/";

class Titel : public QWidget {
public:
    // The loop and every window opened from the menu wait on `clock`. The menu keeps the
    // program's options, music switch and loaded pack in `program`, where the start level
    // for the board window and the finder is handed over too.
    explicit Titel(QWidget* parent = nullptr, Clock& clock = lumor::clock(),
                   ProgramState& program = state());
    ~Titel() override;

    // Loading the window: pack list, configuration, music, skin and pack. False when the
    // program is to end (no pack, or no pack that reads soundly).
    bool Form_Load();
    // The main loop, until the window is closed; returns the program's exit code.
    int runLoop();
    // One frame of the loop (public for tests driving it with a fake clock).
    void frame();

    void ShowLP();
    bool UpdateSkin();
    void PlayMusik();
    void SaveConfig();

    // The player has reached a level (an index) of the loaded pack: kept in the progress
    // file when that is further than before.
    void rememberLevel(int level);
    // The player has won a level (an index) of the loaded pack: kept in the progress file.
    void rememberWin(int level);
    // The password of the furthest level reached in the loaded pack (empty when none),
    // which the password box offers.
    QString rememberedPassword() const;

    TitelHooks hooks;

    // The pack and skin chosen (indexes into the lists), the program folder's pack files
    // and their display lines, the skins, and the menu entry chosen and not yet acted on.
    int packIndex() const { return PackIndex; }
    int skinIndex() const { return SkinIndex; }
    const QStringList& packFiles() const { return PackFiles; }
    const QStringList& packTitles() const { return PackTitles; }
    const QStringList& skinFiles() const { return SkinFiles; }
    bool packHasLink() const { return PackHasLink; }
    int menuChoice() const { return MenuChoice; }
    // Loads pack `index` of the list and shows it on the pack card, as choosing it does.
    void showPack(int index);

    // The status line text asked for (Windows-1252) and the one being typed.
    const std::string& statusText() const;
    const std::string& shownStatusText() const;
    bool quitRequested() const { return quit_; }
    bool endingWithoutSave() const { return abort_; }

    // Controls, named as in the window's design.
    std::array<QLabel*, MenuEntryCount> Menu{};
    QLabel* Label1 = nullptr;  // "Version 1.14"
    QLabel* Label2 = nullptr;  // "Skin:" + name
    QLabel* Label3 = nullptr;  // number of levels
    QLabel* Label4 = nullptr;  // title and author; a link when the pack has one
    QLabel* Label5 = nullptr;  // the pack's remark
    QLabel* Image3 = nullptr;  // tile of code 4
    QLabel* Image4 = nullptr;  // tile of code 8
    QLabel* Image5 = nullptr;  // tile of code 0
    TitleLogo* Logo = nullptr;
    GlowSurface* Picture1 = nullptr;   // help area
    GlowSurface* StatusBar = nullptr;  // status line
    QGroupBox* Frame1 = nullptr;       // options
    QGroupBox* Frame2 = nullptr;       // skin choice
    QGroupBox* Frame3 = nullptr;       // pack choice
    // One per option of the edition; the earlier release has no last one.
    std::array<QCheckBox*, OptionCount> Check1{};
    QCheckBox* Check2 = nullptr;      // "Hintergrundmusik"
    QListWidget* List1 = nullptr;     // pack display lines
    QListWidget* File2 = nullptr;     // skin files
    QPushButton* Command1 = nullptr;  // skin "Abbrechen"
    QPushButton* Command2 = nullptr;  // skin "OK"
    QPushButton* Command3 = nullptr;  // pack "Abbrechen"
    QPushButton* Command4 = nullptr;  // pack "OK"
    // Drop shadow and fade-in, every property at its default; none in the earlier release.
    ucShadow* ucShadow1 = nullptr;
    // In the pack frame, "Levels…": the level choice of the pack chosen there.
    QPushButton* LevelsButton = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    // A frame with a list, "OK" and "Abbrechen".
    struct ChoiceFrame {
        QGroupBox* frame = nullptr;
        QListWidget* list = nullptr;
        QPushButton* ok = nullptr;
        QPushButton* cancel = nullptr;
    };
    void buildControls();
    void buildMenu();
    void buildSkinCard();
    void buildPackCard();
    void buildOptionsFrame();
    // `onChoice` when an entry is clicked or reached with the keys, `onOk` on "OK" or a
    // double click.
    ChoiceFrame buildChoiceFrame(const QString& title, const QRect& geometry,
                                 const std::function<void()>& onChoice,
                                 const std::function<void()>& onOk);
    // The pack and skin lists from the files as they are now.
    void listPacksAndSkins();
    void setStatus(std::string text);
    void pointAtMenu(int k);
    // The menu entry under a point of the screen, -1 for none.
    int entryAt(const QPointF& globalPosition) const;
    // The pointer over, or a left click released inside, the pack link, the version label
    // or a plain area: the status line follows, the link opens (a click on the help area
    // turns to the rules). False for other controls.
    bool pointAtLink(QObject* watched);
    bool clickLink(QObject* watched);
    void Label4_Click();
    void List1_Click();
    void Command4_Click();
    void File2_Click();
    void Command2_Click();
    void Command1_Click();
    void Check1_Click(int k);
    void Check2_Click();
    void actOnMenuChoice();
    void passwordEntry();
    void startPlay();
    // The level choice: "Levels…" takes the pack chosen in the list as "OK" does and shows
    // its levels; a level chosen there is started by the loop as a password would start it.
    void buildLevelsButton();
    void openLevelChoice();
    void startChosenLevel();
    // The user's own folder for what the player has done (progress, notes seen).
    std::string playerFolder() const;
    bool loadPack(int index);
    void layoutPackCard();
    bool applySkin(int index);
    // The progress file in the user's data folder (or, without one, in a writable program
    // folder), taking over the program folder's own file once.
    ProgressStore progressStore() const;

    int32_t PackIndex = 0;
    int32_t SkinIndex = 0;
    QStringList PackFiles;   // File1: the pack files of the program folder
    QStringList PackTitles;  // their display lines, same order
    QStringList SkinFiles;   // File2: the skins of "Skins" that load as skins
    bool PackHasLink = false;
    int MenuChoice = -1;
    std::optional<int> chosenLevel_;  // from the level choice, not yet started

    Clock& clock_;
    ProgramState& program_;
    std::vector<std::string> packNames_;  // PackFiles and SkinFiles as the files are named (bytes)
    std::vector<std::string> skinNames_;
    HelpTyper helpTyper_;
    StatusTyper statusTyper_;
    int64_t nextFrame_ = 0;
    int lastHiddenFrame_ = -1;  // the frame (its MenuEntry) hidden as this action began
    bool quit_ = false;
    bool abort_ = false;  // a damaged pack ends the program without saving
    bool loopRunning_ = false;
    bool musicBusy_ = false;
    bool solverRequest_ = false;
    QCursor linkCursor_;
};

// Creates the title menu, loads it, shows it and runs its loop; the program's exit code.
int runTitleMenu(Clock& clock = lumor::clock());
// Shows the title menu from the application's event loop and ends the program (with the
// loop's exit code) when the title loop ends: the entry routine's last step.
void showTitleMenu(Clock& clock = lumor::clock());

}  // namespace lumor
