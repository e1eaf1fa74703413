#include "app/random.h"
#include "levels/level.h"
#include "levels/packfile.h"
#include "play/cells.h"

#include "solver_support.h"
#include "support/tool_runner.h"

#include <gtest/gtest.h>

using namespace lumor;

namespace {

using lumortest::ToolResult;

class SolveCommand : public lumortest::ScratchFolderTest {
protected:
    void SetUp() override {
        ScratchFolderTest::SetUp();
        // Level 1: a source moving right at (0,0) of a 5 x 5 area, a target taking a beam
        // moving down at (3,4); one DeflectorLeftDown in stock.
        const LevelRecord one = lumor::testing::levelFrom(
            {">....", ".....", ".....", ".....", "...D."}, {1, 0, 0, 0, 1}, '#');
        // Level 2: the target faces away.
        LevelRecord two = one;
        two.cell(3, 4) = TargetUp;
        // Level 3: more pieces than the finder's list holds.
        LevelRecord three = one;
        three.Stock[1] = 991;
        const LevelRecord four = lumor::testing::slowLevel();
        // Level 5: eleven pieces, none of which gives a solution quickly.
        const LevelRecord five = lumor::testing::levelFrom(
            {"", "aL...s", "", "................+", "", "..#", "...s....D....x..+.>.",
             "................+", "", "..a............R", ".#.c....c......c", ".......a"},
            {11, 1, 1, 0, 1, 4, 1, 1, 2});
        std::vector<LevelRecord> levels = {one, two, three, four, five};
        for (LevelRecord& level : levels) level.Name = level.Password = "X";
        SeededRandom random(5);
        pack = (dir / "test.llp").string();
        ASSERT_TRUE(writePack(pack, PackHeader{"a", "b", "", "", "t", ""}, levels, random).ok);
    }
    ToolResult solve(const std::string& args) {
        return lumortest::runLumorPackLine("solve " + args, dir);
    }

    std::string pack;
};

}  // namespace

TEST_F(SolveCommand, ReportsTheAnswerExactlyFastOrByTryingEveryArrangement) {
    // 23 free cells: the one piece tries "not placed" and every cell, and each is checked.
    const std::string answer =
        "{\"best_left\":0,\"solutions\":1,\"tried\":24,\"checked\":24,\"best\":[[4,3,0]]}\n";
    for (const std::string mode : {"", "--literal "}) {
        const ToolResult r = solve(mode + pack + " 1");
        EXPECT_EQ(r.exit, 0) << r.err;
        EXPECT_EQ(r.out, answer) << mode;
    }
    ToolResult r = solve(pack + " 2");
    EXPECT_EQ(r.out,
              "{\"best_left\":-1,\"solutions\":0,\"tried\":24,\"checked\":24,\"best\":[]}\n");
    r = solve("--fast " + pack + " 1");
    EXPECT_EQ(r.out, "{\"best_left\":0,\"best\":[[4,3,0]]}\n");
    r = solve(pack + " --fast 2");
    EXPECT_EQ(r.out, "{\"best_left\":-1,\"best\":[]}\n");
    r = solve("--earlier " + pack + " 1");
    EXPECT_EQ(r.out,
              "{\"best_left\":0,\"tried\":24,\"total\":24,\"checked\":24,"
              "\"best\":[[4,3,0]]}\n");
}

TEST_F(SolveCommand, GivesUpHonestlyAtItsTimeLimit) {
    for (const std::string mode : {"", "--literal ", "--fast ", "--earlier "}) {
        const ToolResult r =
            solve(mode + "--time-limit 0.2 " + pack + (mode == "--fast " ? " 5" : " 4"));
        EXPECT_EQ(r.exit, 3) << mode;
        EXPECT_EQ(r.out, "{\"gave_up\":true,\"time_limit\":0.2}\n") << mode;
    }
}

TEST_F(SolveCommand, RefusesBadArgumentsAndOversizedStock) {
    for (const std::string& args : std::vector<std::string>(
             {pack, pack + " 6", pack + " x", (dir / "missing.llp").string() + " 1",
              "--time-limit 0 " + pack + " 1", "--time-limit x " + pack + " 1",
              "--fast --literal " + pack + " 1", "--earlier --fast " + pack + " 1",
              pack + " 1 --time-limit"}))
        EXPECT_EQ(solve(args).exit, 2) << args;
    for (const std::string flag : {"", "--fast ", "--literal ", "--earlier "}) {
        const ToolResult r = solve(flag + pack + " 3");
        EXPECT_EQ(r.exit, 1);
        EXPECT_NE(r.err.find("Zu viele Steine im Vorrat: 992"), std::string::npos) << r.err;
        EXPECT_TRUE(r.out.empty());
    }
}
