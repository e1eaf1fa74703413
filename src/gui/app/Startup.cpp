#include "app/Startup.h"

#include "app/Audio.h"
#include "app/Dialogs.h"
#include "app/RunningGame.h"
#include "app/installorigin.h"
#include "app/paths.h"
#include "app/programfolder.h"
#include "app/random.h"
#include "app/userdata.h"

#include <QApplication>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include <unistd.h>

namespace lumor {

namespace {

QString shownPath(const std::string& path) { return QString::fromStdString(displayFileName(path)); }

QtMessageHandler qtHandler = nullptr;

void platformStartHandler(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type != QtFatalMsg) {
        if (qtHandler) qtHandler(type, context, text);
        return;
    }
    std::fputs(
        "Lumor kann nicht starten: Es ist keine grafische Oberfläche erreichbar (keine "
        "Anzeige oder kein passendes Qt-Plattformmodul; DISPLAY, WAYLAND_DISPLAY und "
        "QT_QPA_PLATFORM sagen, welche gesucht wird).\n",
        stderr);
    std::_Exit(1);
}

}  // namespace

PlatformStartGuard::PlatformStartGuard() {
    qtHandler = qInstallMessageHandler(platformStartHandler);
}

PlatformStartGuard::~PlatformStartGuard() { qInstallMessageHandler(qtHandler); }

std::string lockFolder() {
    std::string folder = userDataFolder();
    if (folder.empty()) folder = "/run/user/" + std::to_string(::geteuid());
    return folder;
}

InstanceLock lockProgramFolder(const std::string& folder) {
    return InstanceLock::acquire(lockFolder(), folder);
}

QString lockFailureMessage(const InstanceLock& lock) {
    QString why;
    if (lock.notRegular())
        why = QStringLiteral("sie ist keine gewöhnliche Datei");
    else if (lock.notOurs())
        why = QStringLiteral("sie gehört einem anderen Benutzer");
    else if (lock.errorNumber() == ELOOP)
        why = QStringLiteral("sie ist ein symbolischer Link");
    else if (lock.errorNumber() == EACCES || lock.errorNumber() == EPERM)
        why = QStringLiteral("keine Berechtigung");
    else if (lock.errorNumber() == ENOLCK || lock.errorNumber() == EOPNOTSUPP)
        why = QStringLiteral("der Ordner erlaubt keine Sperren");
    else if (lock.errorNumber() == ENOSPC || lock.errorNumber() == EDQUOT)
        why = QStringLiteral("kein Platz mehr");
    else
        why = QStringLiteral("Fehler %1").arg(lock.errorNumber());
    return QStringLiteral(
               "Lumor kann nicht starten: Die Sperrdatei \"%1\", die einen zweiten Start "
               "verhindert, lässt sich nicht benutzen (%2). Wenn kein Lumor mehr läuft, "
               "kann sie gelöscht werden.")
        .arg(shownPath(lock.path()), why);
}

void tellWhenInstalledGameRemoved(const std::string& folder) {
    const std::string origin = takeRemovedInstallOrigin(folder);
    if (origin.empty()) return;
    showMessage(nullptr,
                QStringLiteral("Das für alle installierte Lumor in \"%1\" ist entfernt worden. "
                               "Deine eigene Kopie in \"%2\" läuft weiter, mit deinem "
                               "Fortschritt, deinen Einstellungen und Levelpacks; "
                               "Aktualisierungen bekommt sie keine mehr.")
                    .arg(shownPath(origin), shownPath(folder)));
}

void prepareProgram(const std::string& folder) {
    const auto now = std::chrono::system_clock::now().time_since_epoch().count();
    programRandom().seed(static_cast<uint64_t>(now));
    prepareProgramFolder(folder);
}

int runProgram(QApplication& app, const std::function<void()>& showTitle,
               const std::string& programFolder) {
    const std::string folder = programFolder.empty() ? executableFolder() : programFolder;
    if (folder.empty()) {
        showMessage(nullptr, QStringLiteral("Lumor kann nicht starten: Das System nennt den "
                                            "Ordner des Programms nicht."));
        return 1;
    }
    const InstanceLock lock = lockProgramFolder(folder);
    if (lock.result() == InstanceLock::Result::Running) {
        // The running game comes to the front; this start ends without a word of its own.
        askRunningGameToRaise(raiseSocketPath(lock.path()));
        return 0;
    }
    if (lock.result() == InstanceLock::Result::Failed) {
        showMessage(nullptr, lockFailureMessage(lock));
        return 1;
    }

    const RaiseListener raiseListener(raiseSocketPath(lock.path()));

    prepareProgram(folder);
    tellWhenInstalledGameRemoved(folder);
    initAudio();
    if (showTitle) showTitle();
    const int rc = app.exec();
    shutdownAudio();
    return rc;
}

}  // namespace lumor
