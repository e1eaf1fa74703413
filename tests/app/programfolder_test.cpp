#include "app/programfolder.h"
#include "app/bitmap.h"
#include "app/defaultskin.h"
#include "app/paths.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

namespace fs = std::filesystem;
using namespace lumor;

namespace {

class StartFolder : public ::testing::Test {
protected:
    void SetUp() override {
        std::random_device rd;
        root = fs::temp_directory_path() / ("lumor-start-" + std::to_string(rd()));
        fs::create_directories(root);
        app = root.string() + "/";
    }
    void TearDown() override {
        std::error_code ec;
        fs::permissions(root, fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(root, ec);
        state() = ProgramState{};
    }
    std::vector<std::string> entries() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(root))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    fs::path root;
    std::string app;
};

}  // namespace

TEST(ProgramFolderName, GetsExactlyOneSeparator) {
    EXPECT_EQ(asProgramFolder("/opt/Lumor"), "/opt/Lumor/");
    EXPECT_EQ(asProgramFolder("/opt/Lumor/"), "/opt/Lumor/");
    EXPECT_EQ(asProgramFolder("/"), "/");  // the root does not become "//"
}

TEST_F(StartFolder, FreshFolderGetsFoldersSkinAndNoTestFile) {
    state().Options[OptSound] = false;
    state().MusicOn = false;
    state().handover.set(5);
    prepareProgramFolder(root.string());
    EXPECT_EQ(state().AppFolder, app);
    EXPECT_TRUE(state().FolderWritable);
    EXPECT_TRUE(state().MusicOn);
    EXPECT_TRUE(state().opt(OptSound));
    EXPECT_TRUE(state().handover.empty());
    EXPECT_EQ(state().FinalMessage, "Gratulation! Du hast es geschafft!");
    EXPECT_EQ(entries(), (std::vector<std::string>{"Musik", "Skins", "Sound"}));
    EXPECT_EQ(listFiles(app + "Skins"), std::vector<std::string>{"Default.bmp"});
}

TEST_F(StartFolder, ExistingFoldersInOtherCaseAreKept) {
    fs::create_directory(root / "musik");
    fs::create_directory(root / "SOUND");
    fs::create_directory(root / "skins");
    prepareProgramFolder(app);
    EXPECT_EQ(entries(), (std::vector<std::string>{"SOUND", "musik", "skins"}));
    EXPECT_TRUE(fs::exists(root / "skins" / "Default.bmp"));
}

TEST_F(StartFolder, LeftoverTestFileIsReplacedNeverWrittenThrough) {
    std::ofstream(root / "test.test") << "old content from a crashed run";
    EXPECT_TRUE(CheckWritable(app));
    EXPECT_FALSE(fs::exists(root / "test.test"));
    std::ofstream(root / "ziel") << "not ours";
    fs::create_symlink(root / "ziel", root / "test.test");
    EXPECT_TRUE(CheckWritable(app));
    ASSERT_EQ(::mkfifo((root / "test.test").c_str(), 0644), 0);
    EXPECT_TRUE(CheckWritable(app)) << "and does not wait for a reader";
    EXPECT_EQ(entries(), std::vector<std::string>{"ziel"});
    std::ifstream in(root / "ziel");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "not ours");
}

TEST_F(StartFolder, LeftoversOfKilledSavesGoAtStartOnlyTheirs) {
    fs::create_directory(root / "Skins");
    const std::string skin = encodeBmp(composeDefaultSkin());
    for (const char* name : {"Skins/Default.bmp.tmp", "Skins/.Default.bmp.lumor-Ab3dE5",
                             ".Config.cfg.lumor-x1y2z3", ".a.llp.lumor-alive1", "Skins/x.tmp"})
        std::ofstream(root / name) << skin;
    const int alive = ::open((root / ".a.llp.lumor-alive1").c_str(), O_RDONLY);
    ASSERT_EQ(::flock(alive, LOCK_EX), 0);  // a save still running, in another program
    prepareProgramFolder(app);
    ::close(alive);
    EXPECT_EQ(entries(),
              (std::vector<std::string>{".a.llp.lumor-alive1", "Musik", "Skins", "Sound"}));
    EXPECT_EQ(listFiles(app + "Skins"), (std::vector<std::string>{"Default.bmp", "x.tmp"}));
}

TEST_F(StartFolder, ReadOnlyFolderIsNotWritableAndStartGoesOn) {
    fs::permissions(root, fs::perms::owner_read | fs::perms::owner_exec, fs::perm_options::replace);
    if (access(root.c_str(), W_OK) == 0)
        GTEST_SKIP() << "running with rights that ignore folder permissions";
    prepareProgramFolder(app);
    EXPECT_FALSE(state().FolderWritable);
    EXPECT_TRUE(entries().empty());  // nothing could be created, and nothing failed loudly
}

TEST_F(StartFolder, DefaultSkinIsWrittenOnlyWhenMissing) {
    ASSERT_TRUE(ensureDefaultSkin(app));
    const fs::path skin = root / "Skins" / "Default.bmp";
    const auto image = readBmp(skin.string());
    ASSERT_TRUE(image);
    EXPECT_EQ(image->width, 627);
    EXPECT_EQ(image->height, 33);
    EXPECT_EQ(*image, composeDefaultSkin());

    // A skin of the player's own under another case of the name is left alone.
    fs::remove(skin);
    std::ofstream(root / "Skins" / "DEFAULT.BMP") << "mine";
    EXPECT_TRUE(ensureDefaultSkin(app));
    EXPECT_FALSE(fs::exists(skin));

    // Deleted: the next start writes a fresh one.
    fs::remove(root / "Skins" / "DEFAULT.BMP");
    EXPECT_TRUE(ensureDefaultSkin(app));
    EXPECT_EQ(readBmp(skin.string()), composeDefaultSkin());
}

TEST_F(StartFolder, SkinFolderThatIsAFileOnlyLosesTheSkin) {
    std::ofstream(root / "Skins") << "not a folder";
    EXPECT_FALSE(ensureDefaultSkin(app));
    prepareProgramFolder(app);  // and start-up goes on
    EXPECT_TRUE(state().FolderWritable);
}
