#include "app/Startup.h"

#include "app/Audio.h"
#include "app/programfolder.h"
#include "app/random.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>

#include <chrono>

namespace lumor {

QString executableFolder() { return QCoreApplication::applicationDirPath(); }

QString instanceLockPath(const QString& folder) {
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    const QByteArray key = QFile::encodeName(
        canonical.isEmpty() ? QDir::cleanPath(QDir(folder).absolutePath()) : canonical);
    const QString name =
        QStringLiteral("lumor-%1.lock")
            .arg(QString::fromLatin1(
                QCryptographicHash::hash(key, QCryptographicHash::Sha1).toHex().left(16)));
    QString dir = QStandardPaths::writableLocation(QStandardPaths::TempLocation);
    if (dir.isEmpty()) dir = QDir::tempPath();
    return dir + QLatin1Char('/') + name;
}

std::unique_ptr<QLockFile> lockProgramFolder(const QString& folder) {
    auto lock = std::make_unique<QLockFile>(instanceLockPath(folder));
    // Only a dead owner makes a lock stale: with the default 30 s a long-running
    // instance would lose its lock to the next start.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0)) {
        // A lock that cannot even be created (no temporary folder) must not keep the
        // program from starting; only a lock held by a live process does.
        if (lock->error() == QLockFile::LockFailedError) return nullptr;
        return std::make_unique<QLockFile>(QString());
    }
    return lock;
}

void prepareProgram(const QString& folder) {
    const auto now = std::chrono::system_clock::now().time_since_epoch().count();
    programRandom().seed(static_cast<uint64_t>(now));
    prepareProgramFolder(QFile::encodeName(folder).toStdString());
}

int runProgram(QApplication& app, const std::function<void()>& showTitle,
               const QString& programFolder) {
    const QString folder = programFolder.isEmpty() ? executableFolder() : programFolder;
    const std::unique_ptr<QLockFile> lock = lockProgramFolder(folder);
    if (!lock) return 0;  // another instance runs in this folder: end silently

    prepareProgram(folder);
    initAudio();
    if (showTitle) showTitle();
    const int rc = app.exec();
    shutdownAudio();
    return rc;
}

}  // namespace lumor
