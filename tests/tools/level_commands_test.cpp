// lumor-pack run and solve, as the real executable on the levels of a pack in a scratch
// folder.
#include "app/random.h"
#include "levels/level.h"
#include "levels/packfile.h"
#include "play/cells.h"

#include "solver/solver_support.h"
#include "support/tool_runner.h"

#include <gtest/gtest.h>

using namespace lumor;

namespace {

using lumortest::ToolResult;

class LevelCommand : public lumortest::ScratchFolderTest {
protected:
    void SetUp() override {
        ScratchFolderTest::SetUp();
        // 1: one deflector turns the beam down into the target; 2: the target faces away; 3:
        // more pieces than the finder's list holds; 4: the exact answer takes seconds; 5:
        // eleven pieces, none of which gives a solution quickly; 6: a target at (3,4) taking a
        // beam moving down, a wall, two pieces in all, five from slot 1, one deflector of slot
        // 4; 7: the same with sand in front of the source; 8: an open board with forty
        // stocked pieces of every kind and three targets, beyond any exact answer.
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
        levels.push_back(lumor::testing::levelFrom(
            {">", "", "", "", "...D", "", "", "", "........#"}, {2, 5, 0, 0, 1}));
        levels.push_back(levels.back());
        levels.back().cell(1, 0) = Sand;
        levels.push_back(lumor::testing::levelFrom(
            {">", "", "", "", ".....R", "", "", "", "", "", "", "..........R......R"},
            {40, 5, 5, 5, 5, 5, 5, 5, 5}));
        for (LevelRecord& level : levels) level.Name = level.Password = "X";
        SeededRandom random(5);
        pack = (dir / "test.llp").string();
        ASSERT_TRUE(writePack(pack, PackHeader{"a", "b", "", "", "t", ""}, levels, random).ok);
    }
    ToolResult solve(const std::string& args) {
        return lumortest::runLumorPackLine("solve " + args, dir);
    }
    ToolResult run(const std::string& args) {
        return lumortest::runLumorPackLine("run " + pack + " " + args, dir);
    }

    std::string pack;
};

}  // namespace

TEST_F(LevelCommand, SolveReportsTheAnswerExactlyFastOrByTryingEveryArrangement) {
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
    EXPECT_EQ(solve("--hint " + pack + " 1").out,
              "{\"hint\":\"cell\",\"x\":3,\"y\":0,\"code\":12}\n");
    EXPECT_EQ(solve("--hint " + pack + " 2").out,
              "{\"hint\":\"none\",\"x\":-1,\"y\":-1,\"code\":0}\n");
    EXPECT_EQ(solve("--earlier " + pack + " 1").out,
              "{\"best_left\":0,\"tried\":24,\"total\":24,\"checked\":24,"
              "\"best\":[[4,3,0]]}\n");
}

// A limit however large (past what the clock can add) means as long as it takes.
TEST_F(LevelCommand, SolveGivesUpHonestlyAtItsTimeLimitAndOnlyThere) {
    for (const std::string mode : {"", "--literal ", "--fast ", "--earlier ", "--hint "}) {
        const ToolResult r =
            solve(mode + "--time-limit 0.2 " + pack + (mode == "--fast " ? " 5" : " 4"));
        EXPECT_EQ(r.exit, 3) << mode;
        EXPECT_EQ(r.out, "{\"gave_up\":true,\"time_limit\":0.2}\n") << mode;
        for (const std::string huge : {"9.3e9 ", "9.3e18 ", "1e400 "}) {
            const ToolResult full = solve(mode + "--time-limit " + huge + pack + " 1");
            EXPECT_EQ(full.exit, 0) << mode << huge << full.out;
            EXPECT_EQ(full.out, solve(mode + pack + " 1").out) << mode << huge;
        }
    }
}

// On a terminal the search says about once a second how far it is, on standard error.
TEST_F(LevelCommand, SolveShowsItsProgressOnATerminal) {
    if (std::system("command -v script >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "no script(1) to give the tool a terminal";
    // script(1) runs the tool on a terminal of its own and copies what it shows.
    const std::filesystem::path shown = dir / "terminal.txt";
    const std::string tool = lumortest::shellQuoted(LUMOR_PACK_EXE) + " solve --time-limit 1.6 " +
                             lumortest::shellQuoted(pack) + " 8";
    const int status = std::system(("script -qec " + lumortest::shellQuoted(tool) + " /dev/null >" +
                                    lumortest::shellQuoted(shown.string()) + " 2>&1 </dev/null")
                                       .c_str());
    ToolResult r;
    r.exit = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.out = lumortest::readFile(shown);
    EXPECT_EQ(r.exit, 3) << r.out << r.err;
    EXPECT_NE(r.out.find("Suche: 1 s, "), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("{\"gave_up\":true,\"time_limit\":1.6}"), std::string::npos);
    EXPECT_EQ(solve("--time-limit 0.1 " + pack + " 8").err, "") << "no terminal, no progress";
}

TEST_F(LevelCommand, SolveRefusesBadArgumentsAndOversizedStock) {
    for (const std::string args :
         {" ", " 9", " x", " 1 --time-limit", " --time-limit 0 1", " --time-limit x 1",
          " --time-limit -3 1", " --time-limit nan 1", " --time-limit 2s 1", " --time-limit '' 1",
          " --fast --literal 1", " --earlier --fast 1", " --hint --fast 1"})
        EXPECT_EQ(solve(pack + args).exit, 2) << args;
    EXPECT_EQ(solve((dir / "missing.llp").string() + " 1").exit, 2);
    for (const std::string flag : {"", "--fast ", "--literal ", "--earlier "}) {
        const ToolResult r = solve(flag + pack + " 3");
        EXPECT_EQ(r.exit, 1);
        EXPECT_NE(r.err.find("Zu viele Steine im Vorrat: 992"), std::string::npos) << r.err;
        EXPECT_TRUE(r.out.empty());
    }
}

TEST_F(LevelCommand, RunPlacesPiecesReportsTheRunAndRefusesPiecesThePlayerCouldNotPlace) {
    // The deflector at (3,0) turns the beam down onto the target.
    EXPECT_EQ(run("6 4,3,0").out,
              "{\"won\":true,\"hits\":1,\"targets\":1,\"cell_steps\":7,\"sounds\":[0,3,6]}\n");
    // Sand first: one step longer, the sand sound first; slot 1 takes one more piece.
    EXPECT_EQ(run("7 4,3,0 1,10,10").out,
              "{\"won\":true,\"hits\":1,\"targets\":1,\"cell_steps\":8,\"sounds\":[0,2,3,6]}\n");

    // No slot 0 or 9, off the board, on the source or the level's wall, a cell twice, three
    // pieces with two allowed, a second deflector where the stock holds one.
    for (const char* pieces : {"0,5,5", "9,5,5", "1,20,0", "1,0,-1", "1,0,0", "1,8,8",
                               "1,5,5 1,5,5", "1,5,5 1,6,6 1,7,7", "4,3,0 4,5,5"}) {
        const ToolResult r = run(std::string("6 ") + pieces);
        EXPECT_EQ(r.exit, 1) << pieces;
        EXPECT_TRUE(r.out.empty() && !r.err.empty()) << pieces;
    }
    EXPECT_NE(run("6 4,3,0 4,5,5").err.find("Fach 4"), std::string::npos);

    for (const char* bad : {"6 1,5", "6 1,5,5,", "6 a,b,c", "6 '1;5;5'", "9", "0", ""}) {
        const ToolResult r = run(bad);
        EXPECT_EQ(r.exit, 2) << bad;
        EXPECT_FALSE(r.err.empty()) << bad;
    }
    EXPECT_EQ(lumortest::runLumorPackLine("run " + (dir / "fehlt.llp").string() + " 1", dir).exit,
              2);
}
