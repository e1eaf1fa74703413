// The earlier release's finder search: the best of the full search on random levels, the
// tried count ending at the total worked out on load, identical pieces tried in one order
// only, and no check where too few beams can exist for the targets.
#include "solver/earliersearch.h"

#include "solver_support.h"

#include <gtest/gtest.h>

#include <map>
#include <random>

using namespace lumor;
using lumor::testing::levelFrom;

namespace {

struct Ended {
    std::string tried, total;
    int64_t checked;
    int32_t best;
    bool operator==(const Ended&) const = default;
};
void PrintTo(const Ended& e, std::ostream* os) {
    *os << e.tried << " / " << e.total << ", checked " << e.checked << ", best " << e.best;
}

Ended runToEnd(const LevelRecord& level, EarlierSearch& search) {
    EXPECT_TRUE(search.load(level));
    search.run();
    EXPECT_TRUE(search.finished());
    return {search.triedCount().toString(), search.total().toString(), search.checkedCount(),
            search.bestLeft()};
}

// One source and two targets that a splitter in the beam's way, placed or the level's own,
// can feed; now and then a target turned away. Obstacles and spare pieces around.
LevelRecord splitLevel(std::mt19937& rng) {
    auto roll = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
    const int w = 3 + roll(4), h = 3 + roll(4), row = 1 + roll(h - 2), column = 1 + roll(w - 1);
    LevelRecord level =
        lumor::testing::walledLevel(w, h, [&] { return roll(6) ? 0 : 9 + roll(12); });
    for (int x = 0; x <= column; ++x) level.cell(x, row) = Empty;
    for (int y = 0; y < h; ++y) level.cell(column, y) = Empty;
    level.cell(0, row) = SourceRight;
    level.cell(column, roll(row)) = roll(5) ? TargetUp : TargetLeft;
    level.cell(column, row + 1 + roll(h - row - 1)) = TargetDown;
    const bool own = roll(2);
    if (own) level.cell(column, row) = Splitter;
    level.Stock[8] = static_cast<int16_t>(own ? roll(2) : 1 + roll(2));
    level.Stock[3 + roll(4)] += static_cast<int16_t>(roll(2));
    level.Stock[1] += static_cast<int16_t>(roll(2));
    level.Stock[0] = static_cast<int16_t>((own ? 0 : 1) + roll(3));
    return level;
}

LevelRecord randomLevel(std::mt19937& rng, int kind) {
    for (;;) {
        LevelRecord level;
        switch (kind) {
            case 0:
                level = lumor::testing::stressLevel(rng);
                break;
            case 1:
                level = lumor::testing::smallPuzzleLevel(rng, 4);
                break;
            case 2:
                level = lumor::testing::smallRandomLevel(rng, 4);
                break;
            case 3:
                level = lumor::testing::routedLevel(rng, {3, 6, 3, 5, 1, 2, 2, 3, 15, 1});
                break;
            default:
                level = splitLevel(rng);
        }
        if (lumor::testing::arrangementsOf(level) <= 20000) return level;
    }
}

int countOf(const LevelRecord& level, int from, int to) {
    int n = 0;
    for (const int16_t c : level.Cells) n += c >= from && c <= to;
    return n;
}

}  // namespace

TEST(EarlierSearch, FindsTheBestOfTheFullSearchAndEndsWithItsTriesAtTheTotal) {
    std::mt19937 rng(1406);
    std::map<std::string, int> seen;
    for (int round = 0; round < 12000; ++round) {
        const LevelRecord level = randomLevel(rng, round % 5);
        EarlierSearch search;
        const Ended e = runToEnd(level, search);
        const int32_t best = lumor::testing::exact(level).best;
        ASSERT_EQ(e.best, best) << "round " << round;
        ASSERT_EQ(e.tried, e.total) << "round " << round;
        lumor::FastResult shown;
        shown.bestLeft = e.best;
        shown.best = search.bestArrangement();
        lumor::testing::expectAchieves(level, shown);
        if (::testing::Test::HasFailure()) return;

        const int targets = countOf(level, 5, 8), sources = countOf(level, 1, 4);
        std::map<int, int> inBest;
        for (const Piece& p : search.bestArrangement()) ++inBest[p.Slot];
        seen["needs pieces"] += best >= 0 && best < level.Stock[0];
        seen["identical in best"] +=
            std::any_of(inBest.begin(), inBest.end(), [](const auto& s) { return s.second > 1; });
        seen["splitter placed for a target"] += best >= 0 && targets > sources && inBest.count(8);
        seen["the level's splitter for a target"] +=
            best >= 0 && targets > sources && !inBest.count(8);
        seen["unsolvable"] += best < 0;
    }
    for (const auto& [what, least] :
         std::map<std::string, int>{{"needs pieces", 3000},
                                    {"identical in best", 400},
                                    {"splitter placed for a target", 700},
                                    {"the level's splitter for a target", 700},
                                    {"unsolvable", 5000}})
        EXPECT_GE(seen[what], least) << what;
}

// Two walls on three free cells: every set of cells once (1 + 3 + 3 checks, not the
// 13 orders of the full search); the second wall starts behind the first one's cell, and
// the indexes it skips count: 5 calls of 4 tries.
TEST(EarlierSearch, IdenticalPiecesAreTriedInOneOrderAndTheirSkippedTriesCount) {
    EarlierSearch search;
    EXPECT_EQ(runToEnd(levelFrom({">...R"}, {2, 2}, '#'), search), (Ended{"20", "20", 7, 2}));
    EXPECT_EQ(lumor::testing::exact(levelFrom({">...R"}, {2, 2}, '#')).checked, "13");
    // Stopped by the poll: fewer tries than the total, not finished.
    int polls = 0;
    ASSERT_TRUE(search.load(lumor::testing::slowLevel()));
    search.run([&] { return ++polls == 3; });
    EXPECT_FALSE(search.finished());
    EXPECT_TRUE(search.triedCount() < search.total());
    EXPECT_GT(search.triedCount().saturated(), 2u * EarlierSearch::PollEvery - 1);
}

// One source, two targets: only arrangements with a splitter, placed or the level's own, are
// checked; each target takes a beam of its own.
TEST(EarlierSearch, NoCheckWhereTooFewBeamsCanExist) {
    EarlierSearch search;
    // A splitter on (2, 1) sends the beam up and down into the two targets.
    EXPECT_EQ(
        runToEnd(levelFrom({"..U..", ">....", "..D.."}, {1, 0, 0, 0, 0, 0, 0, 0, 1}, '#'), search),
        (Ended{"13", "13", 12, 0}));
    EXPECT_EQ(search.bestArrangement(), (std::vector<Piece>{{8, 2, 1}}));
    EXPECT_EQ(runToEnd(levelFrom({"..U..", ">.x..", "..D.."}, {1, 1}, '#'), search),
              (Ended{"12", "12", 12, 1}));
    EXPECT_EQ(runToEnd(levelFrom({"..U..", ">....", "..D.."}, {1, 1}, '#'), search),
              (Ended{"13", "13", 0, -1}));
}

TEST(EarlierSearch, TotalsBeyondSixtyFourBitsAndOversizedStock) {
    // Twelve walls over F free cells: the (m+1)-th is called once for every set of at most
    // m cells, so the total is (F + 1) * sum over m < 12 of sum over j <= m of C(F, j).
    LevelRecord level =
        levelFrom({">.........R", "", "", "", "", "", "", "", "", "", "##########"}, {12, 12});
    const unsigned free = CellCount - 12;
    unsigned __int128 calls = 0, upToM = 0, choose = 1;
    for (unsigned m = 0; m < 12; ++m) {
        upToM += choose;  // + C(F, m)
        calls += upToM;
        choose = choose * (free - m) / (m + 1);
    }
    std::string text;
    for (unsigned __int128 v = calls * (free + 1); v != 0 || text.empty(); v /= 10)
        text.insert(text.begin(), static_cast<char>('0' + static_cast<int>(v % 10)));
    EarlierSearch search;
    ASSERT_TRUE(search.load(level));
    EXPECT_EQ(search.total().toString(), text);
    EXPECT_EQ(search.total().saturated(), UINT64_MAX) << "beyond 64 bits";

    level.Stock[1] = 992;
    EXPECT_FALSE(search.load(level));
    EXPECT_EQ(search.loadMessage(), tooManyPiecesMessage(992));
}
