#include "solver/lint.h"

#include "solver_support.h"

#include <gtest/gtest.h>

#include <set>

// Intents are written with designated initializers, the fields left out at their defaults.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

using namespace lumor;
using lumor::testing::levelFrom;

namespace {

// A ┐ turns the beam down a corridor, a └ at its end onto the target: one placement.
LevelRecord corridor(int length = 5, std::vector<int> stock = {2, 0, 0, 0, 1, 0, 1}) {
    return levelFrom(
        {">" + std::string(static_cast<size_t>(length), '.'), "##.###", "##.###", "##...R"}, stock,
        '#');
}

// The beam from below meets the other one on its crossing cell unless a wall stops it
// first, on any of four cells.
LevelRecord fourWalls() {
    return levelFrom({">......R", "#####.##", "#####.##", "#####.##", "#####.##", "#####^##"},
                     {1, 1}, '#');
}

// A ┌ turns the beam down onto the target; with a second ┌ the beam may turn a cell
// earlier, meet the ┘ and come back a way that holds no minimal placement.
LevelRecord spareOpens() {
    return levelFrom({"...<.", "..c..", "..*.x", ".D.+."}, {2, 0, 0, 2}, '#');
}

LintLevel lintLevel(LevelRecord record, LevelIntent intent = {}, std::string reason = {}) {
    static int counter = 0;
    record.Password = "P" + std::to_string(++counter);
    return {record, intent, reason, {}, {}, 0};
}

LintPack pack(std::vector<LintLevel> levels, std::string title = "Pack") {
    return {title + ".lls", title, "", levels};
}

std::multiset<std::string> rulesBroken(const std::vector<LintPack>& packs, const LintRules& rules) {
    std::multiset<std::string> out;
    for (const LintFinding& f : lintPacks(packs, rules).findings) out.insert(f.rule);
    return out;
}

}  // namespace

// Each rule, from the command line or a declaration, caught on a level made to break it
// and passed on one made to keep it.
TEST(Lint, EachRuleCatchesTheLevelThatBreaksItAndPassesTheOneThatKeepsIt) {
    const LintRules strict = LintRules::strict();
    const std::string why = "so gewollt";
    LevelRecord away = corridor();
    away.cell(5, 3) = TargetLeft;
    LevelRecord loose = corridor(5, {3, 0, 0, 0, 1, 0, 1});
    LevelRecord decoy = corridor(5, {2, 0, 1, 0, 1, 0, 1});
    LevelRecord close = corridor();
    close.cell(0, 5) = close.cell(1, 5) = Decoration1;
    const LevelIntent spare1{.spare = 1}, spareOpen{.spare = 1, .spareOpens = true};

    const struct {
        const char* what;
        std::vector<LintLevel> levels;
        std::multiset<std::string> broken;
    } cases[] = {
        {"a clean level", {lintLevel(corridor())}, {}},
        {"no placement wins", {lintLevel(away)}, {"solvable"}},
        {"the bare board wins", {lintLevel(levelFrom({">..R"}, {0}, '#'))}, {"bare-board"}},
        {"one piece more than needed", {lintLevel(loose)}, {"allowance"}},
        {"the spare declared", {lintLevel(loose, spare1, why)}, {}},
        {"a declaration needs a reason", {lintLevel(loose, spare1)}, {"reason"}},
        {"the spare declared wrongly", {lintLevel(loose, {.spare = 2}, why)}, {"allowance"}},
        {"four minimal placements", {lintLevel(fourWalls())}, {"placements"}},
        {"four declared", {lintLevel(fourWalls(), {.placements = 4}, why)}, {}},
        {"a cross nobody needs", {lintLevel(decoy)}, {"decoy"}},
        {"declared a decoy", {lintLevel(decoy, {.decoys = {2}}, why)}, {}},
        {"a used piece declared a decoy", {lintLevel(decoy, {.decoys = {2, 4}}, why)}, {"decoy"}},
        {"the spare opens a new way", {lintLevel(spareOpens())}, {"allowance", "spare"}},
        {"a declared spare still may not open one",
         {lintLevel(spareOpens(), spare1, why)},
         {"spare"}},
        {"declared to open one", {lintLevel(spareOpens(), spareOpen, why)}, {}},
        {"declared to open one that it does not", {lintLevel(loose, spareOpen, why)}, {"spare"}},
        {"two boards two cells apart", {lintLevel(corridor()), lintLevel(close)}, {"distance"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(rulesBroken({pack(c.levels)}, strict), c.broken) << c.what;

    // Declared likeness: to a level that is close, and to one that is not there.
    LintLevel first = lintLevel(corridor());
    LintLevel near = lintLevel(close, {.similarTo = {first.record.Password}}, why);
    EXPECT_TRUE(rulesBroken({pack({first, near})}, strict).empty());
    near.intent.similarTo = {"NIEMAND"};
    EXPECT_EQ(rulesBroken({pack({first, near})}, strict),
              (std::multiset<std::string>{"distance", "distance"}));

    // What the source records must be true.
    LintLevel recorded = lintLevel(corridor());
    recorded.bestLeft = 1;
    recorded.solution = std::vector<SourcePiece>{{4, 2, 0}};
    EXPECT_EQ(rulesBroken({pack({recorded})}, {}),
              (std::multiset<std::string>{"recorded-best", "recorded-solution"}));
    recorded.bestLeft = 0;
    recorded.solution = std::vector<SourcePiece>{{6, 2, 3}, {4, 2, 0}};
    EXPECT_TRUE(rulesBroken({pack({recorded})}, {}).empty());
}

TEST(Lint, PacksRiseAndAHarderPackBeatsTheEasierOnesSecondHalf) {
    // Longer corridors give more choices: a harder level.
    std::vector<LintLevel> rising;
    for (int length = 3; length <= 6; ++length) rising.push_back(lintLevel(corridor(length)));
    std::vector<LintLevel> falling(rising.rbegin(), rising.rend());
    LintRules rules;
    rules.rising = true;
    EXPECT_TRUE(rulesBroken({pack(rising)}, rules).empty());
    EXPECT_EQ(rulesBroken({pack(falling)}, rules), std::multiset<std::string>{"rising"});
    // Up more often than down, but not by enough: tau 1/3.
    const std::vector<LintLevel> wavering = {rising[0], rising[3], rising[1], rising[2]};
    EXPECT_EQ(rulesBroken({pack(wavering)}, rules), std::multiset<std::string>{"rising"});
    // A lesson is left out of the rise.
    for (int i = 0; i < 3; ++i) falling[i].intent.teaching = true, falling[i].reason = "Übung";
    EXPECT_TRUE(rulesBroken({pack(falling)}, rules).empty());

    // "Schwerer als": the second half (levels 2 and 3 of 3) above the easier pack's
    // levels at the same places (1 and 2 of 2).
    LintPack easy = pack({rising[0], rising[1]}, "Leicht");
    LintPack hard = pack({rising[3], rising[1], rising[2]}, "Schwer");
    hard.harderThan = "Leicht";
    EXPECT_TRUE(rulesBroken({easy, hard}, {}).empty());
    hard.levels[2] = rising[1];
    EXPECT_EQ(rulesBroken({easy, hard}, {}), std::multiset<std::string>{"harder"});
    hard.harderThan = "Fehlt";
    EXPECT_EQ(rulesBroken({easy, hard}, {}), std::multiset<std::string>{"harder"});
}
