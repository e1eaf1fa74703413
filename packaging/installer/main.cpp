// "Install": the installer that the title menu starts when the program folder cannot be
// written (a game installed for all users). It copies the program folder into the
// player's own data folder, where the game may write and the editor is offered, gives
// that copy a desktop entry, says in German what it did, and starts the copy.
//
//   Install            the above, with message boxes
//   Install --update   quietly brings an existing copy up to the installed program
//                      (the launcher runs this when the installed game has changed)
#include "app/installorigin.h"
#include "app/programfolder.h"
#include "installer/userinstall.h"
#include "lumor_desktop_entry.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QMessageBox>
#include <QProcess>

#include <cstdlib>
#include <cstring>

#include <unistd.h>

namespace fs = std::filesystem;
using namespace lumor::installer;

namespace {

const QString Caption = QStringLiteral("Lumor installieren");

QString q(const fs::path& p) { return QString::fromStdString(p.string()); }
QString q(const std::string& s) { return QString::fromStdString(s); }

QString files(int n) {
    return n == 1 ? QStringLiteral("1 Datei") : QStringLiteral("%1 Dateien").arg(n);
}

// As bytes: a folder whose name is not UTF-8 is found all the same.
fs::path programFolder() { return lumor::executableFolder(); }

fs::path copyFolder() {
    const fs::path data = userDataHome(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
    return data.empty() ? fs::path() : data / "lumor";
}

fs::path desktopEntryPath() {
    return userDataHome(std::getenv("XDG_DATA_HOME"), std::getenv("HOME")) / "applications" /
           LUMOR_DESKTOP_ID;
}

// The installed launcher, which starts the copy and brings it up to an updated installed
// game; none beside a game run from its build folder.
fs::path launcher() {
    const fs::path path = (programFolder() / LUMOR_PROGRAM_TO_LAUNCHER).lexically_normal();
    return ::access(path.c_str(), X_OK) == 0 ? path : fs::path();
}

// The copy notes where it came from, so that it can tell the player once the installed
// game is gone; without the note it only stays silent about that.
void noteOrigin(const fs::path& from, const fs::path& to) {
    (void)lumor::noteInstallOrigin(to.string(), from.string());
}

bool sameFolder(const fs::path& a, const fs::path& b) {
    std::error_code ec;
    return fs::equivalent(a, b, ec);
}

int quietUpdate() {
    const fs::path to = copyFolder();
    if (to.empty() || sameFolder(programFolder(), to)) return 1;
    if (!copyProgramFolder(programFolder(), to).error.empty()) return 1;
    noteOrigin(programFolder(), to);
    return 0;
}

bool startCopy(const fs::path& to) { return QProcess::startDetached(q(to / "Lumor"), {}, q(to)); }

int install() {
    const fs::path from = programFolder();
    const fs::path to = copyFolder();
    if (to.empty()) {
        QMessageBox::critical(nullptr, Caption,
                              QStringLiteral("Lumor kann nicht installiert werden: Es ist kein "
                                             "Ordner für deine eigenen Daten bekannt (weder "
                                             "XDG_DATA_HOME noch HOME ist gesetzt)."));
        return 1;
    }
    if (sameFolder(from, to)) {
        QMessageBox::information(
            nullptr, Caption,
            QStringLiteral("Lumor liegt schon in deinem eigenen Ordner:\n%1\n\nDort steht dir "
                           "der Editor zur Verfügung.")
                .arg(q(to)));
        return startCopy(to) ? 0 : 1;
    }

    const bool fresh = !fs::exists(to / "Lumor");
    const CopyResult r = copyProgramFolder(from, to);
    if (!r.error.empty()) {
        QMessageBox::critical(
            nullptr, Caption,
            QStringLiteral("Lumor konnte nicht nach\n%1\nkopiert werden:\n\n%2\n\nDas "
                           "installierte Spiel bleibt, wie es ist.")
                .arg(q(to), q(r.error)));
        return 1;
    }

    noteOrigin(from, to);

    QString text;
    if (fresh) {
        text = QStringLiteral(
                   "Lumor ist jetzt für dich installiert, in deinem eigenen "
                   "Ordner:\n%1\n(%2 kopiert)\n\nDort speichert das Spiel deine "
                   "Einstellungen, und im Menü steht der Editor, mit dem du eigene "
                   "Levelpacks baust.")
                   .arg(q(to), files(r.copied));
    } else {
        text = QStringLiteral(
                   "Deine Lumor-Kopie in\n%1\nist auf dem Stand des installierten "
                   "Spiels: %2 ergänzt, %3 Programmdateien erneuert; %4 von dir "
                   "blieben unverändert.")
                   .arg(q(to), files(r.copied), QString::number(r.renewed), files(r.kept));
    }
    std::string error;
    if (writeFileAtomically(desktopEntryPath(),
                            desktopEntryFor(InstalledDesktopEntry, to, launcher()), error)) {
        text += QStringLiteral(
            "\n\nDer Eintrag „Lumor“ im Menü deiner Arbeitsumgebung startet "
            "ab jetzt diese Kopie.");
    } else {
        text += QStringLiteral(
                    "\n\nDer Menüeintrag für die Kopie konnte nicht geschrieben "
                    "werden:\n%1")
                    .arg(q(error));
    }
    text += QStringLiteral(
        "\n\nNach „OK“ startet die Kopie; das bisherige Lumor-Fenster kannst "
        "du schließen.");
    QMessageBox::information(nullptr, Caption, text);

    if (!startCopy(to)) {
        QMessageBox::critical(
            nullptr, Caption,
            QStringLiteral("Die Kopie konnte nicht gestartet werden:\n%1").arg(q(to / "Lumor")));
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--update") == 0) {
        QCoreApplication app(argc, argv);
        return quietUpdate();
    }
    QApplication app(argc, argv);
    return install();
}
