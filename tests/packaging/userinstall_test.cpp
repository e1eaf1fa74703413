// The per-user installer's copy and desktop entry, on folders in a scratch place.
#include "installer/userinstall.h"
#include "support/fulldisk.h"
#include "support/scratch.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <tuple>

using namespace lumor::installer;
using lumortest::readFile;
using lumortest::writeFile;

namespace {

using P = fs::perms;

class UserInstall : public lumortest::ScratchFolderTest {
protected:
    // An installed program folder as root leaves it: nothing writable.
    void SetUp() override {
        add("Lumor", "game 1", true);
        add("Install", "installer", true);
        add("a.llp", "pack a");
        add("Sound/ziel.wav", "ziel");
    }
    void add(const std::string& rel, const std::string& bytes, bool program = false) {
        fs::remove(from / rel);  // read-only: only the superuser could write through it
        writeFile(from / rel, bytes);
        fs::permissions(from / rel,
                        P::owner_read | P::group_read | P::others_read |
                            (program ? P::owner_exec | P::group_exec | P::others_exec : P::none));
    }

    const fs::path from = dir / "installed", to = dir / "data" / "lumor";
};

// A first copy takes everything and makes it the player's: data writable, programs runnable.
// A second run adds what is new and renews changed programs, but keeps what the player
// changed or made, and matches names without regard to case as the game does.
TEST_F(UserInstall, CopiesOnceThenKeepsThePlayersFiles) {
    CopyResult r = copyProgramFolder(from, to);
    ASSERT_EQ(r.error, "");
    EXPECT_EQ(r.copied, 4);
    EXPECT_EQ(fs::status(to / "a.llp").permissions() & P::all, P(0644));
    EXPECT_EQ(fs::status(to / "Lumor").permissions() & P::all, P(0755));

    writeFile(to / "a.llp", "pack a, changed in the editor");
    fs::rename(to / "Sound", to / "sound");
    add("Lumor", "game 2", true);
    add("b.llp", "pack b");
    add("Sound/wand.wav", "wand");
    r = copyProgramFolder(from, to);
    ASSERT_EQ(r.error, "");
    // Copied b.llp and wand.wav; renewed Lumor; kept Install (the same), a.llp, ziel.wav.
    EXPECT_EQ(std::tuple(r.copied, r.renewed, r.kept), std::tuple(2, 1, 3));
    EXPECT_EQ(readFile(to / "Lumor"), "game 2");
    EXPECT_EQ(readFile(to / "a.llp"), "pack a, changed in the editor");
    EXPECT_EQ(readFile(to / "sound/wand.wav"), "wand");
    EXPECT_FALSE(fs::exists(to / "Sound"));

    // A copy cut short has no game executable, so nothing takes it for a finished one.
    const fs::path cut = dir / "cut";
    writeFile(cut / "Sound", "a file where the folder belongs");
    r = copyProgramFolder(from, cut);
    EXPECT_NE(r.error.find((cut / "Sound").string()), std::string::npos) << r.error;
    EXPECT_FALSE(fs::exists(cut / "Lumor"));
}

// Nothing goes through a link: not a temporary name someone planted, not a program file or
// desktop entry that is a link (it is replaced), and a copy that leads elsewhere, or a
// folder of it that does, is refused. A full disk is named as such.
TEST_F(UserInstall, NeverWritesThroughALinkAndSaysWhyNot) {
    const fs::path outside = dir / "outside", entry = dir / "applications" / "x.desktop";
    writeFile(outside, "mine");
    fs::create_directories(to);
    fs::create_directories(entry.parent_path());
    for (const fs::path& planted :
         {to / ".Lumor.lumor-install", to / ".a.llp.lumor-install", to / "Lumor", entry,
          dir / "applications" / ".x.desktop.lumor-install"})
        fs::create_symlink(outside, planted);
    ASSERT_EQ(copyProgramFolder(from, to).error, "");
    std::string error;
    ASSERT_TRUE(writeFileAtomically(entry, "entry", error)) << error;
    EXPECT_EQ(readFile(outside), "mine");
    EXPECT_EQ(fs::status(outside).permissions() & P::all, P(0644));
    EXPECT_FALSE(fs::is_symlink(to / "Lumor") || fs::is_symlink(entry));
    EXPECT_EQ(readFile(to / "Lumor") + readFile(entry), "game 1entry");

    const fs::path elsewhere = dir / "elsewhere", linkedCopy = dir / "linked";
    fs::create_directories(elsewhere);
    fs::remove_all(to / "Sound");
    fs::create_directory_symlink(elsewhere, to / "sound");
    fs::create_directory_symlink(elsewhere, linkedCopy);
    add("Sound/wand.wav", "wand");
    EXPECT_EQ(copyProgramFolder(from, to).error.rfind(
                  (to / "sound").string() + ": ein symbolischer Link", 0),
              0u);
    EXPECT_EQ(copyProgramFolder(from, linkedCopy)
                  .error.rfind(linkedCopy.string() + ": ein symbolischer Link", 0),
              0u);
    EXPECT_TRUE(fs::is_empty(elsewhere));

    add("Musik/lang.ogg", std::string(64 * 1024, 'x'));
    const auto answer = lumortest::onTinyFileSystem(
        dir / "voll", 32, [&] { return copyProgramFolder(from, dir / "voll" / "lumor").error; });
    if (!answer) GTEST_SKIP() << lumortest::NoTinyFileSystem;
    EXPECT_EQ(*answer, (dir / "voll" / "lumor" / "Musik" / "lang.ogg").string() +
                           ": der Datenträger ist voll");
}

// The Exec line as a desktop starts it: string escapes first, then the arguments, which
// the key's quoting rules make a line the shell reads the same way.
int runExecLine(const std::string& entry) {
    const size_t at = entry.find("\nExec=");
    if (at == std::string::npos) return -1;
    std::string line = entry.substr(at + 6, entry.find('\n', at + 1) - at - 6), args;
    for (size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '\\' && i + 1 < line.size() && line[i + 1] == '\\') ++i;
        if (line[i] == '%') ++i;  // %% stands for one %
        args += line[i];
    }
    return std::system(("exec " + args).c_str());
}

TEST_F(UserInstall, DesktopEntryStartsTheCopyThroughTheLauncher) {
    const std::string installed =
        "[Desktop Entry]\nName=Lumor\nName[de]=Lumor\nTryExec=lumor\nExec=lumor\n"
        "Icon=org.example.lumor\nCategories=Game;LogicGame;\n";
    const fs::path odd = dir / "50% \"mein\" $Spiel\\`x`";
    EXPECT_EQ(
        desktopEntryFor(installed, odd),
        "[Desktop Entry]\nName=Lumor\nName[de]=Lumor\nExec=\"" + dir.string() +
            "/50%% \\\\\"mein\\\\\" \\\\$Spiel\\\\\\\\\\\\`x\\\\`/Lumor\"\nPath=" + dir.string() +
            "/50% \"mein\" $Spiel\\\\`x`\nIcon=org.example.lumor\n"
            "Categories=Game;LogicGame;\n");

    // Started from the menu, the entry runs the launcher while there is one, and the
    // copy's game once the installed game (its launcher with it) is gone. Both are
    // scripts here that note which of them ran.
    const fs::path bin = dir / "usr $bin`", ran = dir / "ran";
    fs::create_directories(odd);
    fs::create_directories(bin);
    for (const fs::path& program : {bin / "lumor", odd / "Lumor"}) {
        writeFile(program, "#!/bin/sh\necho \"$0\" > '" + ran.string() + "'\n");
        fs::permissions(program, P::owner_all);
    }
    const std::string launched = desktopEntryFor(installed, odd, bin / "lumor");
    EXPECT_EQ(runExecLine(launched), 0) << launched;
    EXPECT_EQ(readFile(ran), (bin / "lumor").string() + "\n");
    fs::remove(bin / "lumor");
    EXPECT_EQ(runExecLine(launched), 0) << launched;
    EXPECT_EQ(readFile(ran), (odd / "Lumor").string() + "\n");

    // With the copy's own icon the entry shows it; the file is replaced whole.
    fs::create_directories(to);
    writeFile(to / "Lumor.png", "png");
    const fs::path entry = dir / "applications" / "org.example.lumor.desktop";
    std::string error;
    ASSERT_TRUE(writeFileAtomically(entry, "old", error)) << error;
    ASSERT_TRUE(writeFileAtomically(entry, desktopEntryFor(installed, to), error)) << error;
    EXPECT_NE(readFile(entry).find("\nIcon=" + (to / "Lumor.png").string() + "\n"),
              std::string::npos);
    EXPECT_EQ(lumortest::entriesOf(dir / "applications").size(), 1u) << "no temporary file left";

    writeFile(dir / "blocked", "");
    EXPECT_FALSE(writeFileAtomically(dir / "blocked" / "x.desktop", "x", error));
    EXPECT_NE(error.find("blocked"), std::string::npos);
}

}  // namespace
