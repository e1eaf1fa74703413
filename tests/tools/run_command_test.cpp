// lumor-pack run, as the real executable on a pack in a scratch folder.
#include "app/random.h"
#include "levels/packfile.h"

#include "support/boards.h"
#include "support/tool_runner.h"

#include <gtest/gtest.h>

using namespace lumor;

namespace {

using lumortest::ToolResult;

class RunCommand : public lumortest::ScratchFolderTest {
protected:
    void SetUp() override {
        // A source at (0,0) beaming right, a target at (3,4) taking a beam moving down, a
        // wall; two pieces in all, five from slot 1, one deflector of slot 4. Level 2 has
        // sand in front of the source.
        const LevelRecord one = lumortest::level({">", "", "", "", "...D", "", "", "", "........#"},
                                                 {2, 5, 0, 0, 1}, "Eins");
        LevelRecord two = one;
        two.cell(1, 0) = Sand;
        SeededRandom random(3);
        ASSERT_TRUE(writePack(pack, PackHeader{}, {one, two}, random).ok);
    }
    ToolResult run(const std::string& args) {
        return lumortest::runLumorPackLine("run " + pack + " " + args, dir);
    }

    const std::string pack = (dir / "test.llp").string();
};

}  // namespace

TEST_F(RunCommand, PlacesPiecesReportsTheRunAndRefusesPiecesThePlayerCouldNotPlace) {
    // The deflector at (3,0) turns the beam down onto the target.
    EXPECT_EQ(run("1 4,3,0").out,
              "{\"won\":true,\"hits\":1,\"targets\":1,\"cell_steps\":7,\"sounds\":[0,3,6]}\n");
    // Sand first: one step longer, the sand sound first; slot 1 takes one more piece.
    EXPECT_EQ(run("2 4,3,0 1,10,10").out,
              "{\"won\":true,\"hits\":1,\"targets\":1,\"cell_steps\":8,\"sounds\":[0,2,3,6]}\n");

    // No slot 0 or 9, off the board, on the source or the level's wall, a cell twice, three
    // pieces with two allowed, a second deflector where the stock holds one.
    for (const char* pieces : {"0,5,5", "9,5,5", "1,20,0", "1,0,-1", "1,0,0", "1,8,8",
                               "1,5,5 1,5,5", "1,5,5 1,6,6 1,7,7", "4,3,0 4,5,5"}) {
        const ToolResult r = run(std::string("1 ") + pieces);
        EXPECT_EQ(r.exit, 1) << pieces;
        EXPECT_TRUE(r.out.empty() && !r.err.empty()) << pieces;
    }
    EXPECT_NE(run("1 4,3,0 4,5,5").err.find("Fach 4"), std::string::npos);

    for (const char* bad : {"1 1,5", "1 1,5,5,", "1 a,b,c", "1 '1;5;5'", "3", "0", ""}) {
        const ToolResult r = run(bad);
        EXPECT_EQ(r.exit, 2) << bad;
        EXPECT_FALSE(r.err.empty()) << bad;
    }
    EXPECT_EQ(lumortest::runLumorPackLine("run " + (dir / "fehlt.llp").string() + " 1", dir).exit,
              2);
}
