#include "app/programfolder.h"
#include "app/bitmap.h"
#include "app/defaultskin.h"
#include "app/paths.h"

#include "support/scratch.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace lumor;
using lumortest::entriesOf;
using Names = std::vector<std::string>;

namespace {

class StartFolder : public lumortest::ScratchFolderTest {
protected:
    void TearDown() override {
        fs::permissions(dir, fs::perms::owner_all, fs::perm_options::add);
        state() = ProgramState{};
    }
    const std::string app = dir.string() + "/";
};

}  // namespace

TEST_F(StartFolder, FreshFolderGetsStateFoldersAndSkinAndKeepsFoldersInOtherCase) {
    EXPECT_EQ(asProgramFolder("/opt/Lumor"), "/opt/Lumor/");
    EXPECT_EQ(asProgramFolder("/"), "/");  // the root does not become "//"
    state().Options[OptSound] = false;
    state().MusicOn = false;
    state().handover.set(5);
    fs::create_directory(dir / "SOUND");
    // Leftovers of killed saves go, only theirs; not only the default skin's own, which the
    // start writes anew anyway.
    for (const char* name : {"Skins/Default.bmp.tmp", "Skins/.Holz.bmp.lumor-Ab3dE5",
                             ".Config.cfg.lumor-x1y2z3", "Skins/x.tmp"})
        lumortest::writeFile(dir / name, "x");
    prepareProgramFolder(dir.string());
    EXPECT_EQ(state().AppFolder, app);
    EXPECT_TRUE(state().FolderWritable && state().MusicOn && state().opt(OptSound));
    EXPECT_TRUE(state().handover.empty());
    EXPECT_EQ(state().FinalMessage, "Gratulation! Du hast es geschafft!");
    EXPECT_EQ(entriesOf(dir), (Names{"Musik", "SOUND", "Skins"}));
    EXPECT_EQ(entriesOf(dir / "Skins"), (Names{"Default.bmp", "x.tmp"}));
    EXPECT_EQ(readBmp(app + "Skins/Default.bmp"), composeDefaultSkin());
}

TEST_F(StartFolder, LeftoverTestFileIsReplacedNeverWrittenThrough) {
    lumortest::writeFile(dir / "test.test", "old content from a crashed run");
    EXPECT_TRUE(CheckWritable(app));
    lumortest::writeFile(dir / "ziel", "not ours");
    fs::create_symlink(dir / "ziel", dir / "test.test");
    EXPECT_TRUE(CheckWritable(app));
    ASSERT_EQ(::mkfifo((dir / "test.test").c_str(), 0644), 0);
    EXPECT_TRUE(CheckWritable(app)) << "and does not wait for a reader";
    EXPECT_EQ(entriesOf(dir), Names{"ziel"});
    EXPECT_EQ(lumortest::readFile(dir / "ziel"), "not ours");
}

TEST_F(StartFolder, ReadOnlyFolderIsNotWritableAndStartGoesOn) {
    fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec, fs::perm_options::replace);
    if (access(dir.c_str(), W_OK) == 0)
        GTEST_SKIP() << "running with rights that ignore folder permissions";
    prepareProgramFolder(app);
    EXPECT_FALSE(state().FolderWritable);
    EXPECT_TRUE(entriesOf(dir).empty());  // nothing could be created, and nothing failed loudly
}

TEST_F(StartFolder, DefaultSkinIsWrittenOnlyWhenMissing) {
    // A skin of the player's own under another case of the name is left alone.
    fs::create_directory(dir / "skins");
    lumortest::writeFile(dir / "skins" / "DEFAULT.BMP", "mine");
    EXPECT_TRUE(ensureDefaultSkin(app));
    EXPECT_EQ(entriesOf(dir / "skins"), Names{"DEFAULT.BMP"});
    EXPECT_EQ(lumortest::readFile(dir / "skins" / "DEFAULT.BMP"), "mine");
    // Deleted: the next start writes a fresh one.
    fs::remove(dir / "skins" / "DEFAULT.BMP");
    EXPECT_TRUE(ensureDefaultSkin(app));
    EXPECT_EQ(readBmp(app + "skins/Default.bmp"), composeDefaultSkin());
    // A "Skins" that is a file only loses the skin; start-up goes on. One that leads
    // elsewhere gets nothing written into it.
    fs::remove_all(dir / "skins");
    lumortest::writeFile(dir / "Skins", "not a folder");
    EXPECT_FALSE(ensureDefaultSkin(app));
    prepareProgramFolder(app);
    EXPECT_TRUE(state().FolderWritable);
    fs::remove(dir / "Skins");
    fs::create_directory(dir / "anderswo");
    fs::create_directory_symlink(dir / "anderswo", dir / "Skins");
    EXPECT_FALSE(ensureDefaultSkin(app));
    EXPECT_TRUE(fs::is_empty(dir / "anderswo"));
}
