#include "app/Dialogs.h"
#include "app/Pictures.h"
#include "app/Startup.h"
#include "app/defaultskin.h"
#include "app/paths.h"
#include "app/random.h"
#include "app/state.h"
#include "support/scratch.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QThread>
#include <QTimer>

using namespace lumor;

namespace {

class Start : public lumortest::ScratchFolderTest {
protected:
    void TearDown() override { state() = ProgramState{}; }
    const QString folder = QFile::decodeName(dir.c_str());
};

}  // namespace

TEST_F(Start, RunsTheStepsAndShowsTheTitle) {
    bool shown = false;
    std::string folderWhenShown;
    const int rc = runProgram(
        *qApp,
        [&] {
            shown = true;
            folderWhenShown = state().AppFolder;
            QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(7); });
        },
        folder);
    EXPECT_EQ(rc, 7);
    EXPECT_TRUE(shown);
    EXPECT_EQ(folderWhenShown, QFile::encodeName(folder).toStdString() + "/");
    EXPECT_TRUE(state().FolderWritable);
    EXPECT_TRUE(FileExists(state().AppFolder + "skins\\Default.bmp"));
    // The lock went with the program.
    EXPECT_EQ(lockProgramFolder(folder).result(), InstanceLock::Result::Acquired);
}

TEST_F(Start, SecondInstanceEndsSilentlyAndABrokenLockSaysWhy) {
    QString said;
    dialogHooks().message = [&](const QString& text) { said = text; };
    bool shown = false;
    {
        const InstanceLock first = lockProgramFolder(folder);
        ASSERT_EQ(first.result(), InstanceLock::Result::Acquired);
        EXPECT_EQ(runProgram(
                      *qApp, [&] { shown = true; }, folder),
                  0);
        EXPECT_TRUE(said.isEmpty());
        EXPECT_TRUE(QDir(folder).isEmpty());  // nothing was touched
    }
    // A lock file that cannot be used: a message, no start.
    const QString lockPath = QFile::decodeName(lockProgramFolder(folder).path().c_str());
    QFile::remove(lockPath);
    ASSERT_TRUE(QDir().mkdir(lockPath));
    EXPECT_EQ(runProgram(
                  *qApp, [&] { shown = true; }, folder),
              1);
    QDir().rmdir(lockPath);
    dialogHooks().message = nullptr;
    EXPECT_FALSE(shown);
    EXPECT_TRUE(said.startsWith("Lumor kann nicht starten")) << said.toStdString();
    EXPECT_TRUE(said.contains(lockPath) && said.contains("keine gewöhnliche Datei"));
}

TEST_F(Start, SeedsTheRandomSourceFromTheClock) {
    programRandom().seed(1);
    const double fixed = programRandom().next();
    prepareProgram(folder);
    const double a = programRandom().next();
    prepareProgram(folder);
    const double b = programRandom().next();
    EXPECT_NE(a, b);
    EXPECT_NE(a, fixed);
}

// The real program, started twice on one folder: the second start ends at once and
// leaves the first running.
TEST_F(Start, SecondProcessEndsAndFirstRunsOn) {
    const QString exe = QStringLiteral(LUMOR_PROGRAM_DIR "/Lumor");
    if (!QFile::exists(exe)) GTEST_SKIP() << "Lumor is not built";
    const QString copy = folder + "/Lumor";
    ASSERT_TRUE(QFile::copy(exe, copy));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("SDL_AUDIODRIVER", "dummy");
    QProcess first, second;
    first.setProcessEnvironment(env);
    second.setProcessEnvironment(env);
    first.start(copy, {});
    ASSERT_TRUE(first.waitForStarted(10000));
    // The first instance has passed its start-up once the default skin is there.
    for (int i = 0; i < 200 && !QFile::exists(folder + "/Skins/Default.bmp"); ++i)
        QThread::msleep(50);
    ASSERT_TRUE(QFile::exists(folder + "/Skins/Default.bmp"));
    if (first.state() != QProcess::Running)
        GTEST_SKIP() << "the program ended by itself in an empty folder";
    // A start that got past the lock would write the default skin again.
    ASSERT_TRUE(QFile::remove(folder + "/Skins/Default.bmp"));
    second.start(copy, {});
    ASSERT_TRUE(second.waitForFinished(20000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_FALSE(QFile::exists(folder + "/Skins/Default.bmp"));
    EXPECT_EQ(first.state(), QProcess::Running);
    first.kill();
    first.waitForFinished(10000);
    QFile::remove(QFile::decodeName(lockProgramFolder(folder).path().c_str()));
}

// The default skin is a bitmap other programs read as well, pixel for pixel.
TEST_F(Start, QtReadsTheDefaultSkinPixelForPixel) {
    prepareProgram(folder);
    const QImage skin(QString::fromStdString(programPath("skins\\Default.bmp")));
    EXPECT_EQ(skin.convertToFormat(QImage::Format_RGB32), toQImage(composeDefaultSkin()));
    EXPECT_EQ(fromQImage(skin), composeDefaultSkin());
}
