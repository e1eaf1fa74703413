// The editor's work on the pack as a whole: opening, saving, the pack information,
// importing, the question before work is let go, and the recovery copy.
#include "app/Dialogs.h"
#include "app/Text.h"
#include "app/paths.h"
#include "app/random.h"
#include "app/userdata.h"
#include "editor/Editor.h"
#include "editor/IDEdit.h"
#include "editor/Import.h"
#include "editor/LiveCheck.h"
#include "editor/LoadMap.h"
#include "editor/TextFields.h"
#include "editor/boardedit.h"
#include "editor/levellist.h"
#include "editor/recovery.h"

#include <QDateTime>
#include <QTimer>

#include <cstdio>

namespace lumor {

namespace {

const QString PasswordPrompt = QStringLiteral("Bitte Passwort eingeben!");
const QString WrongPassword = QStringLiteral("Das Passwort war leider Falsch!");
const QString SaveQuestion = QStringLiteral("Wollen Sie noch speichern?");

// The file name of a pack's path as the dialogs list it.
QString packFileName(const std::string& path) { return fileNameToQt(fileNameOf(path)); }

QString failedWrite(const std::string& path, const std::string& why) {
    return QStringLiteral(
               "Das Levelpack \u201e%1\u201c wurde nicht gespeichert.\n%2\n"
               "Eine ältere Datei dieses Namens ist unverändert geblieben.")
        .arg(packFileName(path), toQt(why));
}

}  // namespace

// --- Opening ------------------------------------------------------------------------------

void Editor::Command3_Click() {
    // Opening replaces the pack and its undo history: unsaved work is asked about first.
    if (!askToSave()) return;
    const std::optional<std::string> chosen = LoadMap::choose(this, folder_);
    if (!chosen) return;
    // The pack is read whole before anything is taken: a damaged pack or a refused
    // password leaves the editor as it was.
    const std::string path = resolvePath(*chosen);
    const PackReadResult pack = readPack(path);
    if (!pack.ok) {
        showMessage(this, toQt(pack.message));
        return;
    }
    const std::string& password = pack.contents.header.PackPassword;
    if (!password.empty()) {
        const std::optional<QString> answer = askText(this, PasswordPrompt);
        if (!answer || fromQt(*answer) != password) {
            showMessage(this, WrongPassword);
            return;
        }
    }
    takePack(pack.contents.header, pack.contents.levels, -1);
    Saved = true;
    packPath_ = path;
    stateChanged();
    // Replaces a word about the pack open before, such as "Gespeichert: ...".
    showStatus(QStringLiteral("Geladen: %1").arg(packFileName(path)));
}

void Editor::takePack(const PackHeader& h, const std::vector<LevelRecord>& list, int current) {
    header() = h;
    levels().assign(list);
    count_ = static_cast<int>(list.size());
    if (count_ == 0) {
        // A pack without levels opens with one empty level to work on.
        levels()[0] = newLevel(1);
        levels().setEndMarker(1);
        count_ = 1;
    }
    CurrentLevel = current < 0 ? count_ - 1 : std::min(current, count_ - 1);
    selectLevel(CurrentLevel);
    history_.reset(levels(), header(), {count_, CurrentLevel});
}

// --- Saving -------------------------------------------------------------------------------

void Editor::Command4_Click() { saveWithDialog(); }

bool Editor::saveWithDialog() {
    const std::optional<std::string> chosen =
        SaveMap::choose(this, folder_, packPath_.empty() ? QString() : packFileName(packPath_));
    return chosen && saveTo(resolvePath(*chosen));
}

bool Editor::saveToOwnFile() { return packPath_.empty() ? saveWithDialog() : saveTo(packPath_); }

bool Editor::saveTo(const std::string& path) {
    if (const size_t length = fileNameOf(path).size(); length > MaxPackNameBytes) {
        showMessage(this, nameTooLongMessage(length));
        return false;
    }
    const std::vector<LevelRecord> list = packLevels(levels(), count_);
    if (const QString refused = unsavable(list); !refused.isEmpty()) {
        showMessage(this, refused);
        return false;
    }
    const PackWriteResult r = writer_(path, header(), list, programRandom());
    if (!r.ok) {
        QString message = r.refused ? toQt(r.message) : failedWrite(path, r.message);
        // The refusal names the text; which character of it is the designer's next question.
        if (r.refused && r.message.find("kompaktibel") != std::string::npos) {
            std::vector<const std::string*> scrambled{&header().PackPassword};
            for (const LevelRecord& l : list)
                scrambled.insert(scrambled.end(), {&l.Name, &l.Password});
            for (const std::string* text : scrambled)
                if (const std::optional<Unstorable> problem = firstUnstorable(*text)) {
                    message += QStringLiteral("\n\n") + unstorableText(*problem);
                    break;
                }
        }
        showMessage(this, message);
        return false;
    }
    Saved = true;
    packPath_ = path;
    stateChanged();
    showStatus(QStringLiteral("Gespeichert: %1").arg(packFileName(path)));
    return true;
}

// No box takes a NUL, but a pack from elsewhere may have brought one: it is not written
// into a pack again.
QString Editor::unsavable(const std::vector<LevelRecord>& list) const {
    const PackHeader& h = pack_.header;
    std::vector<std::pair<const std::string*, QString>> texts{
        {&h.PackTitle, QStringLiteral("Der Titel")},
        {&h.PackAuthor, QStringLiteral("Der Autor")},
        {&h.PackRemark, QStringLiteral("Die Bemerkung")},
        {&h.PackEndMessage, QStringLiteral("Die Meldung beim Beenden aller Levels")},
        {&h.PackLink, QStringLiteral("Die Homepageadresse")},
        {&h.PackPassword, QStringLiteral("Das Passwort des Levelpacks")}};
    for (size_t i = 0; i < list.size(); ++i) {
        texts.emplace_back(&list[i].Name, QStringLiteral("Der Name des %1. Levels").arg(i + 1));
        texts.emplace_back(&list[i].Password,
                           QStringLiteral("Das Passwort des %1. Levels").arg(i + 1));
    }
    for (const auto& [text, what] : texts)
        if (text->find('\0') != std::string::npos)
            return what + QStringLiteral(
                              " enthält ein Nullzeichen, das ein Levelpack "
                              "nicht aufnehmen kann. Bitte ändern sie ihn.");
    return {};
}

// --- The pack information and importing ---------------------------------------------------

void Editor::Command10_Click() {
    Saved = false;
    {
        IDEdit dialog(header(), this);
        dialog.exec();
    }
    record();
}

void Editor::Command11_Click() {
    // Only a change to the pack's levels counts; the end marker behind them is no level.
    const std::vector<LevelRecord> before = packLevels(levels(), count_);
    levels()[count_].Name = Levels::EndMarkerName;
    int imported;
    {
        Import window(levels(), count_, folder_, this);
        window.exec();
        imported = window.count();
    }
    count_ = imported;
    CurrentLevel = count_ - 1;
    selectLevel(CurrentLevel);
    if (packLevels(levels(), count_) != before) Saved = false;
    record();
}

// --- Letting the work go ------------------------------------------------------------------

void Editor::stateChanged() {
    QString caption = QStringLiteral("Lumor - Editor");
    if (!packPath_.empty()) caption += QStringLiteral(" - ") + packFileName(packPath_);
    if (!Saved) caption += QLatin1Char('*');
    setWindowTitle(caption);
    liveCheck_->setPack(packLevels(levels(), count_));
    lintSoon();
    if (Saved)
        removeRecoveryCopy();
    else
        recoveryTimer_->start();  // again from the start at each change
}

bool Editor::askToSave() {
    if (Saved) return true;
    switch (askQuestion(this, SaveQuestion, QuestionButtons::YesNoCancel)) {
        case Answer::Cancel:
            return false;
        case Answer::Yes:
            // Only a save that succeeded lets the work go.
            return saveToOwnFile();
        case Answer::No:
            return true;
    }
    return false;
}

void Editor::reject() {
    if (closing_) return;
    closing_ = true;
    const bool close = askToSave();
    closing_ = false;
    if (!close) return;
    removeRecoveryCopy();  // a clean close: the work is saved or given up
    QDialog::reject();
}

// --- The recovery copy --------------------------------------------------------------------

void Editor::saveRecoveryCopy() {
    recoveryTimer_->stop();
    if (Saved) return;
    const std::string folder = userDataFolder();
    if (folder.empty()) return;  // no place of the user's own: nothing to keep it in
    const std::string path = folder + "/" + recoveryFileName(folder_, packPath_);
    // Another pack than the copy written last (saved under a new name): that copy goes.
    if (path != recoveryPath_) removeRecoveryCopy();
    RecoveryCopy copy{folder_,      packPath_, QDateTime::currentSecsSinceEpoch(),
                      CurrentLevel, header(),  packLevels(levels(), count_)};
    if (writeRecoveryFile(path, recoveryBytes(copy))) recoveryPath_ = path;
}

bool Editor::recoveryPending() const { return recoveryTimer_->isActive(); }

void Editor::removeRecoveryCopy() {
    recoveryTimer_->stop();
    if (recoveryPath_.empty()) return;
    std::remove(recoveryPath_.c_str());
    recoveryPath_.clear();
}

void Editor::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (offered_) return;
    offered_ = true;
    // Asked once the window is on the screen, so the question stands in front of it.
    QTimer::singleShot(0, this, &Editor::offerRecovery);
}

void Editor::offerRecovery() {
    const std::string folder = userDataPath();
    if (folder.empty()) return;
    for (auto& [path, copy] : findRecoveryCopies(folder, folder_)) {
        const QString when = QDateTime::fromSecsSinceEpoch(copy.savedAt)
                                 .toString(QStringLiteral("dd.MM.yyyy 'um' HH:mm 'Uhr'"));
        const QString pack =
            copy.packPath.empty()
                ? QStringLiteral("eines noch nie gespeicherten Levelpacks")
                : QStringLiteral("von \u201e%1\u201c").arg(packFileName(copy.packPath));
        const int n = static_cast<int>(copy.levels.size());
        const QString question =
            QStringLiteral(
                "Der Editor wurde nicht ordentlich beendet. Es gibt eine Sicherung %1 vom %2 "
                "mit %3 %4.\n\nWiederherstellen? (Nein verwirft die Sicherung.)")
                .arg(pack, when)
                .arg(n)
                .arg(n == 1 ? QStringLiteral("Level") : QStringLiteral("Levels"));
        if (askQuestion(this, question, QuestionButtons::YesNoDefaultYes) != Answer::Yes) {
            std::remove(path.c_str());
            continue;
        }
        takePack(copy.header, copy.levels, copy.current);
        Saved = false;
        packPath_ = copy.packPath;
        recoveryPath_ = path;
        stateChanged();
        showStatus(QStringLiteral("Wiederhergestellt: die Sicherung vom %1").arg(when));
        return;
    }
}

}  // namespace lumor
