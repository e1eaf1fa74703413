// The model player's figure and the idea of a level's solution.
#include "solver/ideas.h"
#include "solver/modelplayer.h"
#include "solver_support.h"

#include <gtest/gtest.h>

namespace lumor {
namespace {

using lumor::testing::levelFrom;

TEST(ModelPlayer, CountsStartsUntilTheFirstWinAndPrefersHits) {
    // Won without a piece: one start.
    const LevelRecord bare = levelFrom({"#>...R#"}, {1, 0, 0, 0, 1}, '#');
    EXPECT_EQ(modelPlayerTries(bare).tries, 1);
    EXPECT_TRUE(modelPlayerTries(bare).won);

    // A splitter that scores both hits at once: the player tries it first, whatever the
    // size of the open board.
    const LevelRecord hits = levelFrom({"..........U.....", "................", ">...............",
                                        "................", "..........D....."},
                                       {1, 0, 0, 0, 0, 0, 0, 0, 1});
    const PlayerTries h = modelPlayerTries(hits);
    EXPECT_TRUE(h.won);
    EXPECT_EQ(h.tries, 2);

    // Two deflectors that score only together: the player tries its way through many
    // first pieces before the pair wins.
    const LevelRecord together =
        levelFrom({"................", ">...............", "................", "................",
                   "................", ".......L........"},
                  {2, 0, 0, 0, 1, 1, 0, 0, 0});
    const PlayerTries t = modelPlayerTries(together);
    EXPECT_TRUE(t.won);
    EXPECT_GT(t.tries, 10);

    // Out of reach: no win, and the cap is honoured.
    const LevelRecord none = levelFrom({"#>..#", "#####", "L"}, {2, 0, 0, 2}, '.');
    EXPECT_FALSE(modelPlayerTries(none).won);
    const PlayerTries capped = modelPlayerTries(together, 5);
    EXPECT_TRUE(capped.capped);
    EXPECT_FALSE(capped.won);
}

Placement turned(const Placement& p, bool mirror, int quarters, int dx, int dy) {
    // Slots 3..6 by their two sides, turned a quarter clockwise: ┌ -> ┐ -> ┘ -> └ -> ┌.
    Placement out;
    for (PlacedPiece q : p) {
        int x = mirror ? -q.x : q.x, y = q.y;
        int slot = q.slot;
        if (mirror && slot >= 3 && slot <= 6) slot = std::array{4, 3, 6, 5}[slot - 3];
        for (int i = 0; i < quarters; ++i) {
            const int nx = -y, ny = x;
            x = nx;
            y = ny;
            if (slot >= 3 && slot <= 6) slot = slot == 6 ? 3 : slot + 1;
        }
        out.push_back({slot, x + dx, y + dy});
    }
    return sortedPlacement(out);
}

TEST(Ideas, SolutionsAreTheSameUpToTurningMirroringAndMoving) {
    // A ┌ with sand two cells right of it and a splitter below: no symmetry of its own.
    const Placement idea = sortedPlacement({{3, 2, 2}, {7, 4, 2}, {8, 2, 5}});
    for (const bool mirror : {false, true})
        for (int q = 0; q < 4; ++q) {
            const Placement copy = turned(idea, mirror, q, 30, 30);
            EXPECT_EQ(ideaKey(copy), ideaKey(idea)) << mirror << q;
            EXPECT_TRUE(sameIdea({copy}, {idea}));
        }
    // Another distance, another deflector, or a piece more: another idea.
    EXPECT_NE(ideaKey(sortedPlacement({{3, 2, 2}, {7, 5, 2}, {8, 2, 5}})), ideaKey(idea));
    EXPECT_NE(ideaKey(sortedPlacement({{4, 2, 2}, {7, 4, 2}, {8, 2, 5}})), ideaKey(idea));
    EXPECT_FALSE(sameIdea({idea}, {sortedPlacement({{3, 2, 2}, {7, 4, 2}})}));
    EXPECT_FALSE(sameIdea({{}}, {{}}));
}

TEST(Ideas, LintReportsRepeatsUnlessALevelDeclaresTheLikeness) {
    // One ┐ turns the beam into the target; the second level is the same turned round
    // on another board.
    LintPack pack;
    pack.title = "Probe";
    const LevelRecord a = levelFrom({"", ">....", "", "", "....D"}, {1, 0, 0, 0, 1});
    LevelRecord b =
        levelFrom({"", "", "U", "", "", "", "", "", "", "......<"}, {1, 0, 0, 0, 0, 0, 1});
    b.Password = "ANDERS";
    pack.levels.push_back({a, {}, {}, {}, {}, 0});
    pack.levels.push_back({b, {}, {}, {}, {}, 0});
    LintRules rules;
    rules.noIdeaRepeats = true;
    LintReport r = lintPacks({pack}, rules);
    ASSERT_EQ(r.ideaPairs.size(), 1u);
    ASSERT_EQ(r.findings.size(), 1u);
    EXPECT_EQ(r.findings[0].rule, "idea");
    EXPECT_GT(r.levels[1].player.tries, 0);

    pack.levels[1].intent.similarTo = {"TEST"};
    pack.levels[1].reason = "dasselbe, andersherum";
    rules.minDistance = 10;  // a declared likeness holds by idea even on distant boards
    r = lintPacks({pack}, rules);
    EXPECT_EQ(r.ideaPairs.size(), 1u);
    EXPECT_TRUE(r.findings.empty()) << r.findings[0].text;
}

}  // namespace
}  // namespace lumor
