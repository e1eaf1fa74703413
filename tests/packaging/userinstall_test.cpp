// The per-user installer's copy and desktop entry, on folders in a scratch place.
#include "installer/userinstall.h"
#include "support/scratch.h"

#include <gtest/gtest.h>

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

TEST_F(UserInstall, DesktopEntryStartsTheCopy) {
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
