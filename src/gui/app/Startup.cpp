#include "app/Startup.h"

#include "app/Audio.h"
#include "app/Dialogs.h"
#include "app/programfolder.h"
#include "app/random.h"

#include <QApplication>
#include <QFile>
#include <QStandardPaths>

#include <cerrno>
#include <chrono>

namespace lumor {

QString executableFolder() { return QCoreApplication::applicationDirPath(); }

QString runtimeFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
}

InstanceLock lockProgramFolder(const QString& folder) {
    return InstanceLock::acquire(QFile::encodeName(runtimeFolder()).toStdString(),
                                 QFile::encodeName(folder).toStdString());
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
        .arg(QFile::decodeName(lock.path().c_str()), why);
}

void prepareProgram(const QString& folder) {
    const auto now = std::chrono::system_clock::now().time_since_epoch().count();
    programRandom().seed(static_cast<uint64_t>(now));
    prepareProgramFolder(QFile::encodeName(folder).toStdString());
}

int runProgram(QApplication& app, const std::function<void()>& showTitle,
               const QString& programFolder) {
    const QString folder = programFolder.isEmpty() ? executableFolder() : programFolder;
    const InstanceLock lock = lockProgramFolder(folder);
    if (lock.result() == InstanceLock::Result::Running) return 0;  // runs already: silently
    if (lock.result() == InstanceLock::Result::Failed) {
        showMessage(nullptr, lockFailureMessage(lock));
        return 1;
    }

    prepareProgram(folder);
    initAudio();
    if (showTitle) showTitle();
    const int rc = app.exec();
    shutdownAudio();
    return rc;
}

}  // namespace lumor
