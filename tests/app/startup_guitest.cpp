#include "app/Pictures.h"
#include "app/Startup.h"
#include "app/defaultskin.h"
#include "app/paths.h"
#include "app/random.h"

#include "support/program.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QDir>
#include <QTimer>

using namespace lumor;

namespace {

class Start : public lumortest::ProgramTest {
protected:
    const QString folder = QFile::decodeName(dir.c_str());
};

}  // namespace

TEST_F(Start, RunsTheStepsAndShowsTheTitle) {
    std::string folderWhenShown;
    const int rc = runProgram(
        *qApp,
        [&] {
            folderWhenShown = state().AppFolder;
            QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(7); });
        },
        folder);
    EXPECT_EQ(rc, 7);
    EXPECT_EQ(folderWhenShown, dir.string() + "/");
    EXPECT_TRUE(FileExists(state().AppFolder + "skins\\Default.bmp"));
    // The lock went with the program.
    EXPECT_EQ(lockProgramFolder(folder).result(), InstanceLock::Result::Acquired);
    // The default skin is a bitmap other programs read as well, pixel for pixel.
    const QImage skin(QString::fromStdString(programPath("skins\\Default.bmp")));
    EXPECT_EQ(skin.convertToFormat(QImage::Format_RGB32), toQImage(composeDefaultSkin()));
    EXPECT_EQ(fromQImage(skin), composeDefaultSkin());
}

TEST_F(Start, SecondInstanceEndsSilentlyAndABrokenLockSaysWhy) {
    bool shown = false;
    {
        const InstanceLock first = lockProgramFolder(folder);
        ASSERT_EQ(first.result(), InstanceLock::Result::Acquired);
        EXPECT_EQ(runProgram(
                      *qApp, [&] { shown = true; }, folder),
                  0);
        EXPECT_TRUE(messages.isEmpty());
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
    EXPECT_FALSE(shown);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith("Lumor kann nicht starten")) << messages[0].toStdString();
    EXPECT_TRUE(messages[0].contains(lockPath) && messages[0].contains("keine gewöhnliche Datei"));
}

TEST_F(Start, SeedsTheRandomSourceFromTheClock) {
    programRandom().seed(1);
    const double fixed = programRandom().next();
    prepareProgram(folder);
    const double a = programRandom().next();
    prepareProgram(folder);
    EXPECT_TRUE(a != fixed && programRandom().next() != a);
}
