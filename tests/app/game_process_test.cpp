// The built game as a process of its own: where it finds its folder, and how it ends when
// there is no screen to show anything on.
#include "support/scratch.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <thread>

#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class GameProcess : public lumortest::ScratchFolderTest {
protected:
    void SetUp() override {
        if (!fs::exists(game)) GTEST_SKIP() << "no game built";
    }
    // Starts the game at `exe` in the working folder `cwd` with these changes to the
    // environment (a value of nullptr removes the variable); standard error goes to `err`.
    pid_t start(const fs::path& exe, const fs::path& cwd,
                const std::vector<std::pair<const char*, const char*>>& env) const {
        const pid_t child = ::fork();
        if (child == 0) {
            for (const auto& [name, value] : env)
                value ? ::setenv(name, value, 1) : ::unsetenv(name);
            ::setenv("XDG_DATA_HOME", (dir / "daten").c_str(), 1);
            ::setenv("SDL_AUDIODRIVER", "dummy", 1);
            if (::chdir(cwd.c_str()) != 0 || !std::freopen((dir / "err").c_str(), "w", stderr))
                ::_exit(125);
            ::execl(exe.c_str(), exe.c_str(), static_cast<char*>(nullptr));
            ::_exit(126);
        }
        return child;
    }
    const fs::path game = fs::path(LUMOR_PROGRAM_DIR) / "Lumor";
};

}  // namespace

// Paths are bytes: a program folder whose name is not UTF-8 is found from the executable,
// and nothing lands in the working folder.
TEST_F(GameProcess, FindsItsFolderFromTheExecutableNeverTheWorkingFolder) {
    const fs::path folder = dir / "Spi\xe9l", work = dir / "Arbeit";
    fs::create_directories(folder);
    fs::create_directories(work);
    fs::copy_file(game, folder / "Lumor");
    const pid_t child = start(folder / "Lumor", work, {{"QT_QPA_PLATFORM", "offscreen"}});
    // The default skin is the last thing the start writes before the title menu.
    for (int i = 0; i < 600 && !fs::exists(folder / "Skins" / "Default.bmp"); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    EXPECT_TRUE(fs::is_directory(folder / "Musik") && fs::is_directory(folder / "Sound"));
    EXPECT_TRUE(fs::exists(folder / "Skins" / "Default.bmp")) << lumortest::readFile(dir / "err");
    EXPECT_TRUE(fs::is_empty(work));
}

// No display, no usable platform plugin: a German line and exit code 1, not an abort.
TEST_F(GameProcess, WithoutADisplayEndsWithAGermanMessage) {
    for (const char* display : {static_cast<const char*>(nullptr), ":97"}) {
        const pid_t child =
            start(game, dir,
                  {{"QT_QPA_PLATFORM", "xcb"}, {"DISPLAY", display}, {"WAYLAND_DISPLAY", nullptr}});
        int status = 0;
        ::waitpid(child, &status, 0);
        const std::string said = lumortest::readFile(dir / "err");
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status << said;
        EXPECT_NE(said.find("Lumor kann nicht starten: Es ist keine grafische Oberfl\xc3\xa4"
                            "che erreichbar"),
                  std::string::npos)
            << said;
    }
}
