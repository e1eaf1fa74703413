// The progress file: packs known by file name and title, levels that only grow, lines
// that do not read ignored, and the take-over of a program folder's own file.
#include "title/progress.h"

#include "support/scratch.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace lumor;
using lumortest::readFile;
using lumortest::writeFile;

TEST(Progress, KeepsTheFurthestLevelPerPackThroughTheFile) {
    Progress p;
    EXPECT_TRUE(p.reach("a.llp", "A", 2));
    EXPECT_FALSE(p.reach("A.LLP", "A", 1)) << "file names in any letter case";
    EXPECT_TRUE(p.reach("a.llp", "Anderes", 0)) << "another pack under the same name";
    EXPECT_TRUE(p.reach("t\tab\\.llp", "Titel\r\n\x84\\t", 4));

    const Progress back = Progress::parse(p.format());
    EXPECT_EQ(back.furthest("A.llp", "A"), 2);
    EXPECT_EQ(back.furthest("a.llp", "Anderes"), 0);
    EXPECT_EQ(back.furthest("t\tab\\.llp", "Titel\r\n\x84\\t"), 4);
    EXPECT_EQ(back.furthest("b.llp", "A"), std::nullopt);
    EXPECT_EQ(back.format(), p.format());

    const Progress read = Progress::parse(
        "3\ta.llp\tA\r\n"  // the one that reads
        "0\tb.llp\tB\r\n"
        "x\tc.llp\tC\r\n"
        "2\td.llp\r\n"
        "2\te.llp\tE\tmehr\r\n"
        "2\t\tF\r\n"
        "2\tg.llp\tG\\q\r\n"
        "\xff\x13\t\t\n"
        "7\th.llp\tH\r\n"
        "2\tA.LLP\tA\r\n"  // the same pack again, not as far
        "9\tH.llp\tH");    // and further, with no line end at the end of the file
    EXPECT_EQ(read.format(), "3\ta.llp\tA\r\n9\tH.llp\tH\r\n");
}

// Won levels and taken-over folders ride along in lines an earlier reader passes over.
TEST(Progress, WonLevelsAndTakenFoldersInLinesOlderReadersSkip) {
    Progress p;
    p.reach("a.llp", "A", 1);
    p.win("a.llp", "A", 4);
    p.win("A.LLP", "A", 0);
    p.win("t\tb.llp", "B\\", 2);  // a pack first known by a win has reached it too
    p.noteTakenOver("/opt/lu\tmor");
    EXPECT_EQ(p.format(),
              "5\ta.llp\tA\r\n+\ta.llp\tA\t1,5\r\n3\tt\\tb.llp\tB\\\\\r\n+\tt\\tb.llp\tB\\\\\t3\r\n"
              "aus\t/opt/lu\\tmor\r\n");
    const Progress back = Progress::parse(p.format());
    EXPECT_EQ(back.format(), p.format());
    EXPECT_EQ(back.wonLevels("a.llp", "A"), (std::vector<int>{0, 4}));
    EXPECT_EQ(back.furthest("t\tb.llp", "B\\"), 2);
    EXPECT_TRUE(back.tookOver("/opt/lu\tmor"));
    EXPECT_FALSE(back.tookOver("/opt"));

    // A list is taken as far as it reads; a won line of another shape is nothing.
    const Progress odd = Progress::parse("+\tc.llp\tC\t2,x,4\r\n+\td.llp\tD\r\naus\t\r\n");
    EXPECT_EQ(odd.format(), "2\tc.llp\tC\r\n+\tc.llp\tC\t2\r\n");
}

namespace {

class ProgressStoreTest : public lumortest::ScratchFolderTest {
protected:
    std::string user() const { return (dir / "user").string(); }
    std::string program() const { return (dir / "prog").string(); }
    void SetUp() override {
        ScratchFolderTest::SetUp();
        std::filesystem::create_directories(dir / "user");
        std::filesystem::create_directories(dir / "prog");
    }
};

}  // namespace

// The program folder's own file is merged into the user's once (the further level and
// every win kept) and left as it was.
TEST_F(ProgressStoreTest, ProgramFolderFileIsTakenOverOnce) {
    const ProgressStore store(user(), program());
    Progress mine;
    mine.reach("a.llp", "A", 4);
    mine.reach("b.llp", "B", 0);
    mine.win("b.llp", "B", 0);
    ASSERT_TRUE(store.save(mine));
    const std::string earlier = "2\ta.llp\tA\r\n3\tB.LLP\tB\r\n1\tc.llp\tC\r\n+\tc.llp\tC\t1\r\n";
    writeFile(dir / "prog" / ProgressFileName, earlier);

    const Progress taken = store.load();
    EXPECT_EQ(taken.furthest("a.llp", "A"), 4);
    EXPECT_EQ(taken.furthest("b.llp", "B"), 2);
    EXPECT_EQ(taken.wonLevels("b.llp", "B"), std::vector<int>{0});
    EXPECT_EQ(taken.furthest("c.llp", "C"), 0);
    EXPECT_EQ(taken.wonLevels("c.llp", "C"), std::vector<int>{0});
    EXPECT_EQ(readFile(dir / "prog" / ProgressFileName), earlier);
    EXPECT_EQ(Progress::parse(readFile(dir / "user" / ProgressFileName)).format(), taken.format())
        << "the take-over is saved at once";

    // Further play in the old folder (an earlier version) is not taken again.
    writeFile(dir / "prog" / ProgressFileName, "9\tc.llp\tC\r\n");
    EXPECT_EQ(store.load().furthest("c.llp", "C"), 0);
    // Another program folder is taken over in its turn.
    std::filesystem::create_directories(dir / "other");
    writeFile(dir / "other" / ProgressFileName, "7\tc.llp\tC\r\n");
    EXPECT_EQ(ProgressStore(user(), (dir / "other").string()).load().furthest("c.llp", "C"), 6);
}

// Progress is kept without the program folder, never written through a link, and with no
// folder at all it is simply not kept.
TEST_F(ProgressStoreTest, KeptInTheUserFolderOnlyAndNeverThroughALink) {
    std::filesystem::permissions(
        dir / "prog", std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    const ProgressStore store(user(), program());
    Progress p = store.load();
    p.win("a.llp", "A", 0);
    ASSERT_TRUE(store.save(p));
    EXPECT_EQ(store.load().wonLevels("a.llp", "A"), std::vector<int>{0});
    std::filesystem::permissions(dir / "prog", std::filesystem::perms::owner_all);

    writeFile(dir / "elsewhere", "1\tz.llp\tZ\r\n");
    std::filesystem::remove(dir / "user" / ProgressFileName);
    std::filesystem::create_symlink(dir / "elsewhere", dir / "user" / ProgressFileName);
    EXPECT_FALSE(store.save(p));
    EXPECT_EQ(readFile(dir / "elsewhere"), "1\tz.llp\tZ\r\n");

    const ProgressStore nowhere("", program());
    EXPECT_FALSE(nowhere.save(p));
    EXPECT_EQ(nowhere.load().format(), "");
}
