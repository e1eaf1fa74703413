#include "app/random.h"
#include "levels/level.h"
#include "levels/packfile.h"
#include "play/cells.h"

#include "support/tool_runner.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>

using namespace lumor;
namespace fs = std::filesystem;

namespace {

using lumortest::ToolResult;

class RunCommand : public lumortest::ScratchFolderTest {
protected:
    void SetUp() override {
        ScratchFolderTest::SetUp();
        // Level 1: a source right at (0,0), a target taking a beam moving down at (3,4).
        LevelRecord one;
        one.Name = "Eins";
        one.Password = "EINS";
        one.cell(0, 0) = SourceRight;
        one.cell(3, 4) = TargetDown;
        one.cell(8, 8) = Wall;
        one.Stock[0] = 2;  // two pieces in all
        one.Stock[1] = 5;
        one.Stock[4] = 1;  // one DeflectorLeftDown
        LevelRecord two = one;
        two.Name = "Zwei";
        two.Password = "ZWEI";
        two.cell(1, 0) = Sand;
        SeededRandom random(3);
        pack = (dir / "test.llp").string();
        ASSERT_TRUE(writePack(pack, PackHeader{"a", "b", "", "", "t", ""}, {one, two}, random).ok);
    }
    ToolResult run(const std::string& args) {
        return lumortest::runLumorPackLine("run " + args, dir);
    }

    std::string pack;
};

}  // namespace

TEST_F(RunCommand, PlacesPiecesAndReportsTheRun) {
    // The deflector at (3,0) turns the beam down onto the target.
    ToolResult r = run(pack + " 1 4,3,0");
    ASSERT_EQ(r.exit, 0) << r.err;
    auto j = nlohmann::json::parse(r.out);
    EXPECT_EQ(j.dump(), R"({"cell_steps":7,"hits":1,"sounds":[0,3,6],"targets":1,"won":true})");
    EXPECT_EQ(r.out.find("{\"won\":true,\"hits\":1,\"targets\":1,\"cell_steps\":7,"), 0u) << r.out;
    EXPECT_EQ(r.out.back(), '\n');

    // Without pieces the beam runs off the board.
    r = run(pack + " 1");
    ASSERT_EQ(r.exit, 0) << r.err;
    EXPECT_EQ(r.out,
              "{\"won\":false,\"hits\":0,\"targets\":1,\"cell_steps\":20,\"sounds\":[0,5]}\n");

    // Level 2 has sand in front of the source: one step longer, the sand sound first.
    r = run(pack + " 2 4,3,0 1,10,10");
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
        "4,3,0 4,5,5",        // one DeflectorLeftDown only
    };
    for (const std::string& pieces : refused) {
        const ToolResult r = run(pack + " 1 " + pieces);
        EXPECT_EQ(r.exit, 1) << pieces;
        EXPECT_TRUE(r.out.empty()) << pieces;
        EXPECT_FALSE(r.err.empty()) << pieces;
    }
    EXPECT_NE(run(pack + " 1 4,3,0 4,5,5").err.find("Fach 4"), std::string::npos);

    for (const std::string& bad : {std::string("1,5"), std::string("1,5,5,"), std::string("a,b,c"),
                                   std::string("'1;5;5'")}) {
        const ToolResult r = run(pack + " 1 " + bad);
        EXPECT_EQ(r.exit, 2) << bad;
        EXPECT_FALSE(r.err.empty());
    }
    EXPECT_EQ(run(pack + " 3").exit, 2) << "no level 3";
    EXPECT_EQ(run(pack + " 0").exit, 2);
    EXPECT_EQ(run(pack).exit, 2);
    EXPECT_EQ(run((dir / "missing.llp").string() + " 1").exit, 2);
}
