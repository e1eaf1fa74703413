// The level analysis against every placement tried one by one, and the designers' rules
// that lint builds on it.
#include "solver/analysis.h"
#include "solver/lint.h"
#include "support/reference.h"

#include "solver_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <random>
#include <set>

// Intents are written with designated initializers, the fields left out at their defaults.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

using namespace lumor;
using lumor::testing::levelFrom;

namespace {

// Every placement within the allowance and the stock, each set of (cell, slot) once,
// run through the step-for-step beam check: the winning ones by size.
std::map<int, std::set<Placement>> everyWin(const LevelRecord& level) {
    std::vector<std::pair<int, int>> free;
    for (int y = 0; y < BoardHeight; ++y)
        for (int x = 0; x < BoardWidth; ++x)
            if (level.cell(x, y) == Empty) free.emplace_back(x, y);
    std::array<int, SlotCount + 1> left{};
    for (int s = 1; s <= SlotCount; ++s) left[s] = std::max<int>(0, level.Stock[s]);
    std::map<int, std::set<Placement>> wins;
    LevelRecord board = level;
    Placement placed;
    auto walk = [&](auto&& self, size_t from) -> void {
        if (referenceBeamCheck(board).solved)
            wins[static_cast<int>(placed.size())].insert(sortedPlacement(placed));
        if (static_cast<int>(placed.size()) == level.Stock[0]) return;
        for (size_t i = from; i < free.size(); ++i)
            for (int s = 1; s <= SlotCount; ++s) {
                if (left[s] == 0) continue;
                --left[s];
                board.cell(free[i].first, free[i].second) = static_cast<int16_t>(codeOfSlot(s));
                placed.push_back({s, free[i].first, free[i].second});
                self(self, i + 1);
                placed.pop_back();
                board.cell(free[i].first, free[i].second) = Empty;
                ++left[s];
            }
    };
    if (level.Stock[0] >= 0) walk(walk, 0);
    return wins;
}

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

TEST(Analysis, AgreesWithEveryPlacementTriedOneByOne) {
    std::mt19937 rng(1515);
    lumor::testing::RouteShape shape;
    shape.minW = 4, shape.maxW = 6, shape.minH = 3, shape.maxH = 4, shape.obstaclePercent = 10;
    int several = 0, forcedSome = 0, unused = 0, opened = 0;
    for (int round = 0; round < 600; ++round) {
        shape.minTurns = 1 + round % 3 / 2;
        LevelRecord level = round % 3 == 0 ? lumor::testing::smallPuzzleLevel(rng, 3)
                                           : lumor::testing::routedLevel(rng, shape);
        if (level.Stock[0] > 3) level.Stock[0] = 3;
        const auto wins = everyWin(level);
        const LevelAnalysis a = analyseLevel(level);
        ASSERT_TRUE(a.ok);
        EXPECT_EQ(a.bareWins, wins.count(0) > 0) << "round " << round;
        ASSERT_EQ(a.fewest, wins.empty() ? -1 : wins.begin()->first) << "round " << round;
        if (wins.empty()) continue;
        const auto& [fewest, minimal] = *wins.begin();
        EXPECT_EQ(a.bestLeft, level.Stock[0] - fewest);
        ASSERT_EQ(a.placementCount, minimal.size()) << "round " << round;
        EXPECT_EQ(std::set<Placement>(a.placements.begin(), a.placements.end()), minimal)
            << "round " << round;

        std::set<std::pair<int, int>> forced;
        std::set<int> used;
        for (const PlacedPiece& p : *minimal.begin()) forced.insert({p.x, p.y});
        for (const Placement& m : minimal) {
            std::set<std::pair<int, int>> cells;
            for (const PlacedPiece& p : m) {
                cells.insert({p.x, p.y});
                used.insert(p.slot);
            }
            std::erase_if(forced, [&](const auto& c) { return !cells.count(c); });
        }
        const std::set<std::pair<int, int>> forcedFound(a.forced.begin(), a.forced.end());
        EXPECT_EQ(forcedFound, forced) << "round " << round;
        std::vector<int> unusedKinds;
        for (int s = 1; s <= SlotCount; ++s)
            if (level.Stock[s] > 0 && !used.count(s)) unusedKinds.push_back(s);
        EXPECT_EQ(a.unusedKinds, unusedKinds) << "round " << round;

        // Larger wins none of whose proper parts wins: opened by the spare pieces.
        uint64_t fresh = 0;
        std::vector<Placement> smaller(minimal.begin(), minimal.end());
        for (auto it = std::next(wins.begin()); it != wins.end(); ++it) {
            for (const Placement& p : it->second)
                fresh += std::none_of(smaller.begin(), smaller.end(), [&](const Placement& s) {
                    return std::includes(p.begin(), p.end(), s.begin(), s.end());
                });
            smaller.insert(smaller.end(), it->second.begin(), it->second.end());
        }
        EXPECT_TRUE(a.sparesSearched);
        EXPECT_EQ(a.spareOpened, fresh) << "round " << round;
        if (fresh > 0) {
            // With no room for one more placement the spares stay unsearched, the rest as it was.
            AnalysisOptions tight;
            tight.keepPlacements = minimal.size();
            const LevelAnalysis t = analyseLevel(level, tight);
            EXPECT_FALSE(t.sparesSearched) << "round " << round;
            EXPECT_FALSE(t.stopped);
            EXPECT_EQ(t.placements, a.placements);
        }

        several += minimal.size() > 1;
        forcedSome += minimal.size() > 1 && !forced.empty();
        unused += !unusedKinds.empty();
        opened += fresh > 0;
    }
    // The random levels cover what is compared.
    EXPECT_GT(several, 100);
    EXPECT_GT(forcedSome, 10);
    EXPECT_GT(unused, 60);
    EXPECT_GT(opened, 5);
}

TEST(Analysis, DifficultyIsTheChanceOfBuildingBlindlyAlongTheBeam) {
    // The beam crosses five free cells before the wall. A ┐ on the second turns it down a
    // corridor of three cells, where a └ on the last turns it onto the target.
    const LevelRecord level = corridor();
    const LevelAnalysis a = analyseLevel(level);
    ASSERT_EQ(a.placementCount, 1u);
    EXPECT_EQ(a.forced.size(), 2u);
    // First 5 cells x 2 kinds, then the 3 corridor cells x the one kind left.
    EXPECT_NEAR(a.difficulty, std::log2(10.0 * 3.0), 1e-9);
    EXPECT_NEAR(placementDifficulty(level, a.placements), a.difficulty, 1e-9);
    // A wall in stock is one more choice at every step.
    LevelRecord decoy = level;
    decoy.Stock[1] = 1;
    EXPECT_NEAR(analyseLevel(decoy).difficulty, std::log2(15.0 * 6.0), 1e-9);
    EXPECT_EQ(analyseLevel(decoy).unusedKinds, std::vector<int>{1});
}

TEST(Analysis, BoardDistanceCountsChangedCellsButNotWhichStar) {
    const LevelRecord a = levelFrom({">..*..R"}, {});
    LevelRecord b = a;
    b.cell(3, 0) = Decoration3;
    EXPECT_EQ(boardDistance(a, b), 0);
    b.cell(1, 0) = Wall;
    b.cell(6, 0) = TargetLeft;
    EXPECT_EQ(boardDistance(a, b), 2);
}

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
        {"two boards two cells apart, one solution",
         {lintLevel(corridor()), lintLevel(close)},
         {"distance", "idea"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(rulesBroken({pack(c.levels)}, strict), c.broken) << c.what;

    // Declared likeness: to a level that is close, and to one that is not there.
    LintLevel first = lintLevel(corridor());
    LintLevel near = lintLevel(close, {.similarTo = {first.record.Password}}, why);
    EXPECT_TRUE(rulesBroken({pack({first, near})}, strict).empty());
    near.intent.similarTo = {"NIEMAND"};
    EXPECT_EQ(rulesBroken({pack({first, near})}, strict),
              (std::multiset<std::string>{"distance", "distance", "idea"}));

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
    // The later the beam must turn, the more the model player tries before: a harder level.
    auto bend = [](int at) {
        const std::string wall(static_cast<size_t>(at), '#');
        return levelFrom({">" + std::string(static_cast<size_t>(at) + 2, '.'), wall + ".",
                          wall + ".", wall + "..R"},
                         {2, 0, 0, 0, 1, 0, 1}, '#');
    };
    std::vector<LintLevel> rising;
    for (int at = 2; at <= 5; ++at) rising.push_back(lintLevel(bend(at)));
    std::vector<LintLevel> falling(rising.rbegin(), rising.rend());
    LintRules rules;
    rules.rising = true;
    EXPECT_TRUE(rulesBroken({pack(rising)}, rules).empty());
    EXPECT_EQ(rulesBroken({pack(falling)}, rules), std::multiset<std::string>{"rising"});
    // Up more often than down, but not by enough: tau 1/3.
    const std::vector<LintLevel> wavering = {rising[0], rising[3], rising[1], rising[2]};
    EXPECT_EQ(rulesBroken({pack(wavering)}, rules), std::multiset<std::string>{"rising"});
    // Without the model player's tries (the editor's check) the rise is not judged.
    std::vector<LintLevelReport> unasked;
    for (size_t i = 0; i < falling.size(); ++i)
        unasked.push_back({0, static_cast<int>(i) + 1, analyseLevel(falling[i].record), {}});
    EXPECT_TRUE(lintMeasured({pack(falling)}, rules, unasked, 0, true).findings.empty());
    // A lesson is left out of the rise.
    for (int i = 0; i < 3; ++i) falling[i].intent.teaching = true, falling[i].reason = "Übung";
    EXPECT_TRUE(rulesBroken({pack(falling)}, rules).empty());

    // "Schwerer als": the second half (levels 2 and 3 of 3) above the easier pack's
    // levels at the same places (1 and 2 of 2).
    LintPack easy = pack({rising[0], rising[1]}, "Leicht");
    LintPack hard = pack({rising[3], rising[1], rising[2]}, "Schwer");
    hard.harderThan = "Leicht";
    EXPECT_TRUE(rulesBroken({easy, hard}, {}).empty());
    hard.levels[1] = rising[0];  // the first of the second half no harder
    EXPECT_EQ(rulesBroken({easy, hard}, {}), std::multiset<std::string>{"harder"});
    hard.levels[2] = rising[1];  // and the last
    EXPECT_EQ(rulesBroken({easy, hard}, {}), (std::multiset<std::string>{"harder", "harder"}));
    hard.harderThan = "Fehlt";
    EXPECT_EQ(rulesBroken({easy, hard}, {}), std::multiset<std::string>{"harder"});
}
