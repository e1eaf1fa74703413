#include "app/Pictures.h"
#include "app/RunningGame.h"
#include "app/Startup.h"
#include "app/defaultskin.h"
#include "app/installorigin.h"
#include "app/paths.h"
#include "app/random.h"

#include "support/program.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <QWindow>
#include <QtTest/QTest>

#include <cstdlib>

using namespace lumor;
namespace fs = std::filesystem;

namespace {

class Start : public lumortest::ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        for (const char* name : {"XDG_DATA_HOME", "XDG_RUNTIME_DIR"}) {
            const char* value = std::getenv(name);
            savedEnv.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
        }
        ::setenv("XDG_DATA_HOME", (dir / "daten").c_str(), 1);  // where the lock goes
        fs::create_directory(folder);
    }
    void TearDown() override {
        for (const auto& [name, value] : savedEnv)
            value ? ::setenv(name, value->c_str(), 1) : ::unsetenv(name);
        ProgramTest::TearDown();
    }
    std::vector<std::pair<const char*, std::optional<std::string>>> savedEnv;
    // Its name is not UTF-8: "Spiél" in Latin-1.
    const std::string folder = dir.string() + "/Spi\xe9l";
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
    EXPECT_EQ(folderWhenShown, folder + "/");
    EXPECT_TRUE(FileExists(state().AppFolder + "skins\\Default.bmp"));
    // The lock went with the program.
    EXPECT_EQ(lockProgramFolder(folder).result(), InstanceLock::Result::Acquired);
    // The default skin is a bitmap other programs read as well, pixel for pixel.
    const QImage skin = QImage::fromData(
        QByteArray::fromStdString(lumortest::readFile(programPath("skins\\Default.bmp"))));
    EXPECT_EQ(skin.convertToFormat(QImage::Format_RGB32), toQImage(composeDefaultSkin()));
    EXPECT_EQ(fromQImage(skin), composeDefaultSkin());
}

TEST_F(Start, SecondInstanceRaisesTheFirstAndABrokenLockSaysWhy) {
    bool shown = false;
    {
        const InstanceLock first = lockProgramFolder(folder);
        ASSERT_EQ(first.result(), InstanceLock::Result::Acquired);
        int raised = 0;
        const RaiseListener running(raiseSocketPath(first.path()), [&] { ++raised; });
        ASSERT_TRUE(running.listening());
        EXPECT_EQ(runProgram(
                      *qApp, [&] { shown = true; }, folder),
                  0);
        EXPECT_TRUE(QTest::qWaitFor([&] { return raised == 1; }));
        // Another program folder is another game, which starts.
        const std::string other = dir.string() + "/anders";
        fs::create_directory(other);
        EXPECT_EQ(runProgram(
                      *qApp, [] { QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(3); }); },
                      other),
                  3);
        QCoreApplication::processEvents();
        EXPECT_EQ(raised, 1);
        // The lock lies in the user's data folder, whatever the runtime folder is.
        EXPECT_EQ(first.path().rfind((dir / "daten" / "lumor/").string(), 0), 0u);
        ::setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
        EXPECT_EQ(runProgram(
                      *qApp, [&] { shown = true; }, folder),
                  0);
        ::unsetenv("XDG_RUNTIME_DIR");
        EXPECT_EQ(runProgram(
                      *qApp, [&] { shown = true; }, folder),
                  0);
        EXPECT_TRUE(messages.isEmpty());
        EXPECT_TRUE(fs::is_empty(folder));  // nothing was touched
    }
    // A lock file that cannot be used: a message, no start.
    const std::string lockPath = lockProgramFolder(folder).path();
    fs::remove(lockPath);
    fs::create_directory(lockPath);
    EXPECT_EQ(runProgram(
                  *qApp, [&] { shown = true; }, folder),
              1);
    fs::remove(lockPath);
    EXPECT_FALSE(shown);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith("Lumor kann nicht starten")) << messages[0].toStdString();
    EXPECT_TRUE(messages[0].contains(QString::fromStdString(lockPath)) &&
                messages[0].contains("keine gewöhnliche Datei"));
}

TEST_F(Start, SeedsTheRandomSourceFromTheClock) {
    programRandom().seed(1);
    const double fixed = programRandom().next();
    prepareProgram(folder);
    const double a = programRandom().next();
    prepareProgram(folder);
    EXPECT_TRUE(a != fixed && programRandom().next() != a);
}

// The running game answers a second start with the window the player used last, a
// minimised one shown again, or the modal box open in it.
TEST_F(Start, ASecondStartBringsTheWindowUsedLastToTheFront) {
    const InstanceLock first = lockProgramFolder(folder);
    const RaiseListener running(raiseSocketPath(first.path()));
    QWidget board, title;
    for (QWidget* w : {&board, &title, &board}) {  // the board is used last
        w->show();
        w->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(w));
    }
    board.showMinimized();
    ASSERT_TRUE(askRunningGameToRaise(raiseSocketPath(first.path())));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !board.isMinimized() && board.isActiveWindow(); }))
        << "minimised: " << board.isMinimized();

    QDialog box(&board);
    box.setModal(true);
    box.show();
    title.activateWindow();
    ASSERT_TRUE(askRunningGameToRaise(raiseSocketPath(first.path())));
    EXPECT_TRUE(QTest::qWaitFor([&] { return box.isActiveWindow(); }));
}

// A copy made by "Install" notes the installed game; once that is removed, the copy says
// so at its next start, once, and starts all the same.
TEST_F(Start, TheCopyOfARemovedGameSaysSoOnce) {
    const fs::path installed = dir / "usr" / "lib" / "lumor";
    fs::create_directories(installed);
    lumortest::writeFile(installed / "Lumor", "game");
    ASSERT_EQ(noteInstallOrigin(folder, installed.string()), SaveStatus::Ok);
    const auto start = [&] {
        return runProgram(
            *qApp, [] { QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(5); }); }, folder);
    };
    EXPECT_EQ(start(), 5);
    EXPECT_TRUE(messages.isEmpty()) << "the installed game is still there";
    fs::remove_all(dir / "usr");
    EXPECT_EQ(start(), 5);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains("entfernt") &&
                messages[0].contains(QString::fromStdString(installed.string())))
        << messages[0].toStdString();
    EXPECT_EQ(start(), 5);
    EXPECT_EQ(messages.size(), 1) << "said once";
}
