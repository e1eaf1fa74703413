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

class SolveCommand : public lumortest::ScratchFolderTest {
protected:
    void SetUp() override {
        ScratchFolderTest::SetUp();
        // Level 1: a 5 x 5 area walled in; a source moving right at (0,0), a target taking
        // a beam moving down at (3,4); one DeflectorLeftDown in stock.
        LevelRecord one;
        one.Name = "Eins";
        one.Password = "EINS";
        for (int x = 0; x < BoardWidth; ++x)
            for (int y = 0; y < BoardHeight; ++y) one.cell(x, y) = (x < 5 && y < 5) ? Empty : Wall;
        one.cell(0, 0) = SourceRight;
        one.cell(3, 4) = TargetDown;
        one.Stock[0] = 1;
        one.Stock[4] = 1;
        // Level 2: the target faces away.
        LevelRecord two = one;
        two.Name = "Zwei";
        two.Password = "ZWEI";
        two.cell(3, 4) = TargetUp;
        // Level 3: more pieces than the finder's list holds.
        LevelRecord three = one;
        three.Name = "Drei";
        three.Password = "DREI";
        three.Stock[1] = 991;
        SeededRandom random(5);
        pack = (dir / "test.llp").string();
        ASSERT_TRUE(
            writePack(pack, PackHeader{"a", "b", "", "", "t", ""}, {one, two, three}, random).ok);
    }
    ToolResult solve(const std::string& args) {
        return lumortest::runLumorPackLine("solve " + args, dir);
    }

    std::string pack;
};

}  // namespace

TEST_F(SolveCommand, ExhaustiveSearchReportsCountersAndTheBestArrangement) {
    ToolResult r = solve(pack + " 1");
    ASSERT_EQ(r.exit, 0) << r.err;
    // 23 free cells: the one piece tries "not placed" and every cell, and each is checked.
    EXPECT_EQ(r.out,
              "{\"best_left\":0,\"solutions\":1,\"tried\":24,\"checked\":24,\"best\":[[4,3,0]]}\n");

    r = solve(pack + " 2");
    ASSERT_EQ(r.exit, 0) << r.err;
    const auto j = nlohmann::json::parse(r.out);
    EXPECT_EQ(j["best_left"], -1);
    EXPECT_EQ(j["solutions"], 0);
    EXPECT_EQ(j["best"], nlohmann::json::array());
}

TEST_F(SolveCommand, FastSearchGivesTheSameBest) {
    ToolResult r = solve("--fast " + pack + " 1");
    ASSERT_EQ(r.exit, 0) << r.err;
    EXPECT_EQ(r.out, "{\"best_left\":0,\"best\":[[4,3,0]]}\n");
    r = solve(pack + " --fast 2");
    ASSERT_EQ(r.exit, 0) << r.err;
    EXPECT_EQ(r.out, "{\"best_left\":-1,\"best\":[]}\n");
}

TEST_F(SolveCommand, RefusesBadArgumentsAndOversizedStock) {
    EXPECT_EQ(solve(pack).exit, 2);
    EXPECT_EQ(solve(pack + " 4").exit, 2);
    EXPECT_EQ(solve(pack + " x").exit, 2);
    EXPECT_EQ(solve((dir / "missing.llp").string() + " 1").exit, 2);
    for (const std::string flag : {"", "--fast "}) {
        const ToolResult r = solve(flag + pack + " 3");
        EXPECT_EQ(r.exit, 1);
        EXPECT_NE(r.err.find("Zu viele Steine im Vorrat: 992"), std::string::npos) << r.err;
        EXPECT_TRUE(r.out.empty());
    }
}
