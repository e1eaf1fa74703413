// The title menu's packs: the list of the program folder's packs, loading the chosen one
// onto its card, the player's progress in it and the password that leads into it.
#include "app/Dialogs.h"
#include "app/edition.h"
#include "app/files.h"
#include "app/paths.h"
#include "app/skinfile.h"
#include "app/userdata.h"
#include "levels/packfile.h"
#include "play/Bilder.h"
#include "title/Titel.h"
#include "title/TitelText.h"
#include "title/TitleLook.h"
#include "title/links.h"
#include "title/progress.h"
#include "title/titlesetup.h"

#include "app/Audio.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QUrl>

namespace lumor {

using namespace titletext;

// --- Loading -------------------------------------------------------------------------------

bool Titel::Form_Load() {
    MenuChoice = -1;
    for (int k = 0; k < MenuEntryCount; ++k)
        Menu[static_cast<size_t>(k)]->setText(qs(menuCaption(k, program_.FolderWritable)));

    listPacksAndSkins();

    if (program_.FolderWritable) {
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
        Config{PackIndex, SkinIndex, program_.MusicOn, program_.Options}, program_.FolderWritable,
        [](Config& config) { readConfigFile(programPath(ConfigFileName), config); },
        static_cast<int>(PackFiles.size()), static_cast<int>(SkinFiles.size()));
    PackIndex = chosen.PackIndex;
    SkinIndex = chosen.SkinIndex;
    program_.MusicOn = chosen.MusicOn;
    program_.Options = chosen.Options;
    for (int k = 0; k < edition().optionCount; ++k)
        Check1[static_cast<size_t>(k)]->setChecked(program_.Options[static_cast<size_t>(k)]);

    PlayMusik();
    UpdateSkin();
    ShowLP();
    return !abort_;
}

void Titel::listPacksAndSkins() {
    // Pack list: title (or the file name less its extension) and the file name.
    List1->clear();
    PackTitles.clear();
    PackFiles.clear();
    packNames_ = listFiles(program_.AppFolder, "*.llp");
    for (const std::string& name : packNames_) {
        const QString file = shownName(name);
        PackFiles << file;
        const PackHeaderPreview header = readPackHeader(program_.AppFolder + name);
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
}

bool Titel::loadPack(int index) {
    if (index < 0 || index >= PackFiles.size()) return false;
    const PackReadResult result =
        loadPackInto(program_.AppFolder + packNames_[static_cast<size_t>(index)], program_.pack,
                     program_.FinalMessage);
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
        if (program_.FolderWritable) SaveConfig();
    }

    const PackHeader& header = program_.pack.header;
    QString title =
        header.PackTitle.empty() ? lessLastFour(PackFiles[PackIndex]) : qs(header.PackTitle);
    if (!header.PackAuthor.empty()) title += QStringLiteral(" von ") + qs(header.PackAuthor);
    Label4->setText(title);
    const int count = program_.pack.levels.count();
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

void Titel::showPack(int index) {
    PackIndex = index;
    ShowLP();
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

void Titel::Label4_Click() {
    const std::string& link = program_.pack.header.PackLink;
    if (!packLinkMayOpen(link)) return;
    const QUrl url(qs(link), QUrl::StrictMode);
    if (url.isValid()) hooks.openUrl(url);
}

void Titel::List1_Click() {
    const int i = List1->currentRow();
    if (i < 0 || i >= PackFiles.size()) return;
    const PackHeaderPreview header =
        readPackHeader(program_.AppFolder + packNames_[static_cast<size_t>(i)]);
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

// --- Progress ---------------------------------------------------------------------------

std::string Titel::playerFolder() const {
    std::string folder = userDataFolder();
    if (folder.empty() && program_.FolderWritable) folder = programPath("");
    return folder;
}

ProgressStore Titel::progressStore() const { return {playerFolder(), programPath("")}; }

void Titel::rememberLevel(int level) {
    if (PackIndex < 0 || PackIndex >= PackFiles.size()) return;
    const ProgressStore store = progressStore();
    Progress progress = store.load();
    if (!progress.reach(packNames_[static_cast<size_t>(PackIndex)], program_.pack.header.PackTitle,
                        level, program_.pack.levels.count()))
        return;
    store.save(progress);
}

void Titel::rememberWin(int level) {
    if (PackIndex < 0 || PackIndex >= PackFiles.size()) return;
    const ProgressStore store = progressStore();
    Progress progress = store.load();
    progress.win(packNames_[static_cast<size_t>(PackIndex)], program_.pack.header.PackTitle, level);
    store.save(progress);
}

QString Titel::rememberedPassword() const {
    if (PackIndex < 0 || PackIndex >= PackFiles.size()) return {};
    const std::optional<int> level = progressStore().load().furthest(
        packNames_[static_cast<size_t>(PackIndex)], program_.pack.header.PackTitle);
    const Levels& levels = program_.pack.levels;
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

    const std::optional<int> level = program_.pack.levels.findByPassword(read.password);
    if (!level) {
        showMessage(this, WrongPassword);
        return;
    }
    PlaySoundFile(programPath("Sound/start.wav"));
    program_.handover.set(*level);
    if (solverRequest_ && hooks.finder)
        hooks.finder(this, *level);
    else
        startPlay();
}

}  // namespace lumor
