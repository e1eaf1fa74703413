// The editor's core where the windows do not reach it alone: the undo history's steps,
// strokes, the link rule and the recovery copy's file.
#include "editor/boardedit.h"
#include "editor/history.h"
#include "editor/levellist.h"
#include "editor/packinfo.h"
#include "editor/recovery.h"

#include "support/scratch.h"

#include <gtest/gtest.h>

#include <memory>

using namespace lumor;

TEST(EditorCore, HistoryStepsJoinWhileOneFieldIsTypedIn) {
    auto levels = std::make_unique<Levels>();
    (*levels)[0] = newLevel(1);
    PackHeader header;
    History history;
    history.reset(*levels, header, {1, 0});
    const auto type = [&](const char* name, const char* key = "name 0") {
        (*levels)[0].Name = name;
        return history.record(*levels, header, {1, 0}, key);
    };
    type("N");
    type("Neu");
    (*levels)[0].Stock[0] = 5;
    history.record(*levels, header, {1, 0}, "stock 0 0");
    type("Neu!");
    EXPECT_EQ(history.steps(), 3u);
    history.undo(*levels, header);
    history.undo(*levels, header);
    EXPECT_EQ((*levels)[0].Name, "Neu");
    // After an undo the same field starts a new step.
    type("Anders");
    EXPECT_EQ(history.steps(), 2u);
    history.undo(*levels, header);
    EXPECT_EQ((*levels)[0].Name, "Neu");
    // Typed and taken back again: no step is left; no change records nothing.
    history.undo(*levels, header);
    type("x", "password 0");
    type("Noname", "password 0");
    EXPECT_EQ(history.steps(), 0u);
    EXPECT_FALSE(type("Noname"));

    // Old steps go when the records they hold pass the budget; the newest always stays.
    History small(4);
    small.reset(*levels, header, {1, 0});
    for (const char* name : {"a", "b", "c"}) {
        (*levels)[0].Name = name;
        small.record(*levels, header, {1, 0});
    }
    EXPECT_EQ(small.steps(), 2u);
    (*levels)[1].Name = (*levels)[2].Name = (*levels)[3].Name = "d";  // over the budget
    small.record(*levels, header, {1, 0});
    EXPECT_EQ(small.steps(), 1u);
}

// A fast stroke leaves no gap and stops at the board's edges; the link gets a scheme only
// when it has none of its own (the pack information dialog shows the common cases).
TEST(EditorCore, StrokesAndTheLinkRule) {
    using Cells = std::vector<std::pair<int, int>>;
    EXPECT_EQ(cellsCrossed(100, 100, 36, 100), (Cells{{3, 3}, {2, 3}, {1, 3}}));
    const Cells row = cellsCrossed(-100, 370, 700, 370);
    EXPECT_TRUE(row.size() == 20 && row.front() == std::pair(0, 11) &&
                row.back() == std::pair(19, 11));

    for (const auto& [typed, stored] :
         {std::pair{"mailto:x@y", "mailto:x@y"}, {"ftp://a@b", "mailto:ftp://a@b"}, {"   ", ""}})
        EXPECT_EQ(packLinkRule(typed).link, stored);
}

// Every byte of the texts comes back, those a pack cannot store included; a copy cut short
// or changed is no copy.
using RecoveryFiles = lumortest::ScratchFolderTest;
TEST_F(RecoveryFiles, KeepEveryByteRefuseDamageAndNeverFollowALink) {
    RecoveryCopy copy{"/spiel/", "/spiel/p.llp", 1700000000, 1, {}, {LevelRecord{}, LevelRecord{}}};
    copy.header.PackTitle = std::string("T\0\r\n\xff", 5);
    copy.levels[1].Name = "Tolle T\xfcr";
    copy.levels[1].Cells[239] = -32768;
    copy.levels[0].Stock[15] = 32767;
    const std::string bytes = recoveryBytes(copy);
    EXPECT_EQ(parseRecovery(bytes), copy);
    const size_t lastLevel = bytes.rfind("level");
    for (const std::string& bad :
         {bytes.substr(0, bytes.size() - 3),
          bytes.substr(0, lastLevel) + bytes.substr(bytes.rfind("ende")),
          std::string(bytes).replace(bytes.find("gezeigt 1"), 9, "gezeigt 2"),
          std::string(bytes).replace(lastLevel + 6, 1, "x")})
        EXPECT_FALSE(parseRecovery(bad)) << bad.substr(0, 80);

    // A copy is an automatic write: a link in its place is refused, its target kept.
    lumortest::writeFile(dir / "elsewhere", "kept");
    std::filesystem::create_symlink(dir / "elsewhere", dir / "copy.recovery");
    EXPECT_FALSE(writeRecoveryFile((dir / "copy.recovery").string(), bytes));
    EXPECT_EQ(lumortest::readFile(dir / "elsewhere"), "kept");
}
