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
        // 1: one deflector turns the beam down into the target; 2: the target faces away; 3:
        // more pieces than the finder's list holds; 4: the exact answer takes seconds; 5:
        // eleven pieces, none of which gives a solution quickly.
        std::vector<LevelRecord> levels(
            3, lumor::testing::levelFrom({">....", ".....", ".....", ".....", "...D."},
                                         {1, 0, 0, 0, 1}, '#'));
        levels[1].cell(3, 4) = TargetUp;
        levels[2].Stock[1] = 991;
        levels.push_back(lumor::testing::slowLevel());
        levels.push_back(lumor::testing::levelFrom(
            {"", "aL...s", "", "................+", "", "..#", "...s....D....x..+.>.",
             "................+", "", "..a............R", ".#.c....c......c", ".......a"},
            {11, 1, 1, 0, 1, 4, 1, 1, 2}));
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
    EXPECT_EQ(solve(pack + " 2").out,
              "{\"best_left\":-1,\"solutions\":0,\"tried\":24,\"checked\":24,\"best\":[]}\n");
    EXPECT_EQ(solve("--fast " + pack + " 1").out, "{\"best_left\":0,\"best\":[[4,3,0]]}\n");
    EXPECT_EQ(solve(pack + " --fast 2").out, "{\"best_left\":-1,\"best\":[]}\n");
    EXPECT_EQ(solve("--earlier " + pack + " 1").out,
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
    for (const std::string args :
         {" ", " 6", " x", " 1 --time-limit", " --time-limit 0 1", " --time-limit x 1",
          " --fast --literal 1", " --earlier --fast 1"})
        EXPECT_EQ(solve(pack + args).exit, 2) << args;
    EXPECT_EQ(solve((dir / "missing.llp").string() + " 1").exit, 2);
    for (const std::string flag : {"", "--fast ", "--literal ", "--earlier "}) {
        const ToolResult r = solve(flag + pack + " 3");
        EXPECT_EQ(r.exit, 1);
        EXPECT_NE(r.err.find("Zu viele Steine im Vorrat: 992"), std::string::npos) << r.err;
        EXPECT_TRUE(r.out.empty());
    }
}
