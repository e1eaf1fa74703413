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
        const std::initializer_list<int> stock = {2, 5, 0, 0, 1};
        const LevelRecord one =
            lumortest::level({">", "", "", "", "...D", "", "", "", "........#"}, stock, "Eins");
        const LevelRecord two =
            lumortest::level({">~", "", "", "", "...D", "", "", "", "........#"}, stock, "Zwei");
        SeededRandom random(3);
        ASSERT_TRUE(writePack(pack, PackHeader{}, {one, two}, random).ok);
    }
    ToolResult run(const std::string& args) {
        return lumortest::runLumorPackLine("run " + pack + " " + args, dir);
    }

    const std::string pack = (dir / "test.llp").string();
};

}  // namespace

TEST_F(RunCommand, PlacesPiecesAndReportsTheRun) {
    // The deflector at (3,0) turns the beam down onto the target.
    ToolResult r = run("1 4,3,0");
    ASSERT_EQ(r.exit, 0) << r.err;
    EXPECT_EQ(r.out,
              "{\"won\":true,\"hits\":1,\"targets\":1,\"cell_steps\":7,\"sounds\":[0,3,6]}\n");
    // Sand first: one step longer, the sand sound first; slot 1 takes one more piece.
    r = run("2 4,3,0 1,10,10");
    ASSERT_EQ(r.exit, 0) << r.err;
    EXPECT_EQ(r.out,
              "{\"won\":true,\"hits\":1,\"targets\":1,\"cell_steps\":8,\"sounds\":[0,2,3,6]}\n");
}

TEST_F(RunCommand, RefusesPiecesThePlayerCouldNotPlace) {
    const std::vector<std::string> refused = {
        "0,5,5",              // no slot 0
        "9,5,5",              // no slot 9
        "1,20,0",             // off the board
        "1,0,-1",             // off the board
        "1,0,0",              // the source's cell
        "1,8,8",              // the level's own wall
        "1,5,5 1,5,5",        // the same cell twice
        "1,5,5 1,6,6 1,7,7",  // three pieces, two allowed in all
        "4,3,0 4,5,5",        // one deflector of slot 4 only
    };
    for (const std::string& pieces : refused) {
        const ToolResult r = run("1 " + pieces);
        EXPECT_EQ(r.exit, 1) << pieces;
        EXPECT_TRUE(r.out.empty()) << pieces;
        EXPECT_FALSE(r.err.empty()) << pieces;
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
