// The progress file: packs known by file name and title, levels that only grow, and
// lines that do not read ignored.
#include "title/progress.h"

#include <gtest/gtest.h>

using namespace lumor;

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
