// The finder's exact answer must be what trying every arrangement ends with: all five
// values, on levels chosen to stress ties, allowance cuts, identical pieces, splitters,
// sand, crosses, crowded and empty stocks and boards. The earlier release's search finds
// the same best there, with its own ways of counting.
#include "solver/earliersearch.h"
#include "solver/exactsearch.h"
#include "solver/fastsearch.h"
#include "support/reference.h"

#include "solver_support.h"

#include <gtest/gtest.h>

#include <limits>
#include <map>
#include <random>
#include <tuple>

using namespace lumor;
using namespace lumor::testing;

namespace {

// Arrangements the search over all of them checks (roughly: only compared).
double arrangementsOf(const LevelRecord& level) {
    int n = 0, f = 0;
    for (int slot = 1; slot <= SlotCount; ++slot) n += std::max<int>(0, level.Stock[slot]);
    for (const int16_t c : level.Cells) f += c == 0;
    double total = 0, term = 1;
    for (int j = 0; j <= std::min({n, static_cast<int>(level.Stock[0]), f}); ++j) {
        total += term;
        term = term * (n - j) * (f - j) / (j + 1);
    }
    return total;
}

// A tiny area with every kind of cell, sometimes no free cell at all, allowances from -1
// to 4 and two or three pieces of a kind, sometimes more of a kind than free cells.
LevelRecord stressLevel(std::mt19937& rng) {
    auto roll = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
    const int width = 1 + roll(6), height = 1 + roll(5);
    const bool full = roll(20) == 0, open = roll(2) == 0;
    LevelRecord level = walledLevel(width, height, [&] {
        const int r = roll(100);
        if (r < (full ? 0 : open ? 75 : 52)) return 0;
        if (open) return std::array<int, 10>{9, 10, 11, 12, 13, 14, 15, 16, 17, 99}[roll(10)];
        if (r < 64) return 1 + roll(4);
        if (r < 76) return 5 + roll(4);
        return std::array<int, 12>{9, 10, 11, 12, 13, 14, 15, 16, 17, 20, 99, 98}[roll(12)];
    });
    for (const int first : {SourceRight, TargetRight})  // one or two of each if open
        for (int k = open ? roll(2) : 2; k < 2; ++k)
            level.cell(roll(width), roll(height)) = static_cast<int16_t>(first + roll(4));
    const int a = roll(50);
    level.Stock[0] = static_cast<int16_t>(a == 0 ? -1 : a < 6 ? 0 : 1 + roll(4));
    for (int k = roll(3); k < 3; ++k) level.Stock[1 + roll(8)] += static_cast<int16_t>(1 + roll(3));
    if (roll(10) == 0) level.Stock[1 + roll(8)] += static_cast<int16_t>(5 + roll(4));
    return level;
}

// What a search ends with: its counters and the arrangement last recorded as best.
struct Answer {
    std::string tried, checked, solutions;
    int32_t best;
    std::vector<Piece> arrangement;
    bool operator==(const Answer&) const = default;
};

void PrintTo(const Answer& a, std::ostream* os) {
    *os << "tried " << a.tried << ", checked " << a.checked << ", solutions " << a.solutions
        << ", best " << a.best << ", arrangement";
    for (const Piece& p : a.arrangement) *os << " (" << p.Slot << "," << p.X << "," << p.Y << ")";
}

// The search over every arrangement (SolutionSearch), or the same written out step for
// step (ReferenceSearch), run to its end.
template <class Search>
Answer answerOf(const LevelRecord& level) {
    Search search;
    EXPECT_TRUE(search.load(level));
    search.run();
    return {std::to_string(search.triedCount()), std::to_string(search.checkedCount()),
            std::to_string(search.solutionCount()), search.bestLeft(), search.bestArrangement()};
}
Answer literal(const LevelRecord& level) { return answerOf<SolutionSearch>(level); }

// The same for a random level, noting the pieces left of every win recorded as best.
Answer literalRecording(const LevelRecord& level, std::vector<int32_t>& recorded) {
    SolutionSearch all;
    all.setBestHook([&](const std::vector<Piece>&) { recorded.push_back(all.piecesLeft()); });
    all.load(level);
    all.run();
    return {std::to_string(all.triedCount()), std::to_string(all.checkedCount()),
            std::to_string(all.solutionCount()), all.bestLeft(), all.bestArrangement()};
}

// The answer worked out without trying every arrangement; the sizes beyond the best searched
// one by one up to `separate` more, then in one walk keeping at most `kept` pieces of wins.
Answer exact(const LevelRecord& level, int threads = 1, int separate = 3,
             size_t kept = size_t{1} << 19) {
    ExactSearch search;
    EXPECT_TRUE(search.load(level));
    search.setWalk(separate, kept);
    search.run({}, threads);
    EXPECT_TRUE(search.finished());
    return {search.triedCount().toString(), search.checkedCount().toString(),
            search.solutionCount().toString(), search.bestLeft(), search.bestArrangement()};
}

// An arrangement reported as best must fit the stock, stand on empty cells, come in piece-list
// order (with byCell, one slot's pieces by column, then row) and really solve the level with
// bestLeft pieces left.
void expectAchieves(const LevelRecord& level, const std::vector<Piece>& best, int32_t bestLeft,
                    bool byCell = true) {
    EXPECT_TRUE(bestLeft >= 0 || best.empty());
    if (bestLeft < 0) return;
    ASSERT_EQ(static_cast<int>(best.size()), level.Stock[0] - bestLeft);
    const auto key = [&](const Piece& p) {
        return std::tuple(std::find(PieceSlotOrder.begin(), PieceSlotOrder.end(), p.Slot),
                          byCell ? p.X : 0, byCell ? p.Y : 0);
    };
    EXPECT_TRUE(std::is_sorted(best.begin(), best.end(),
                               [&](const Piece& a, const Piece& b) { return key(a) < key(b); }));
    LevelRecord placed = level;
    std::array<int, 9> used{};
    for (const Piece& p : best) {
        ASSERT_EQ(placed.cell(p.X, p.Y), 0);
        placed.cell(p.X, p.Y) = static_cast<int16_t>(p.Slot + 8);
        EXPECT_LE(++used[static_cast<size_t>(p.Slot)], level.Stock[static_cast<size_t>(p.Slot)]);
    }
    EXPECT_TRUE(referenceBeamCheck(placed).solved);
}

// Five kinds of level (some routed ones split), each small enough for the search over every
// arrangement.
LevelRecord randomLevel(std::mt19937& rng, int kind) {
    auto roll = [&](int n) { return lumor::testing::roll(rng, 0, n - 1); };
    for (;;) {
        LevelRecord level;
        if (kind < 2) {
            level = kind == 0 ? stressLevel(rng) : smallPuzzleLevel(rng);
        } else if (kind == 2) {
            // Two beams crossing on their way: a cross, sand or a detour.
            const int w = 3 + roll(4), h = 3 + roll(3), row = roll(h), column = 1 + roll(w - 2);
            level = walledLevel(w, h, [&] { return roll(8) ? 0 : 15; });
            level.cell(0, row) = SourceRight;
            level.cell(w - 1, row) = TargetRight;
            level.cell(column, 0) = SourceDown;
            level.cell(column, h - 1) = TargetDown;
            level.Stock[2] = static_cast<int16_t>(1 + roll(2));
            level.Stock[std::array<int, 4>{1, 7, 3, 6}[roll(4)]] += 1;
            level.Stock[0] = static_cast<int16_t>(1 + roll(2));
        } else if (kind == 4 && roll(3) == 0) {
            // A beam turned down by the level: one deflector turns it onto the target's row,
            // or two turn it earlier, ranking lower: a win with more pieces recorded first.
            const int w = 4 + roll(3), h = 3 + roll(3), column = 2 + roll(w - 3);
            const int row = roll(h - 2), targetRow = row + 2 + roll(h - row - 2);
            level = walledLevel(w, h, [&] { return roll(10) ? 0 : 17; });
            level.cell(0, row) = SourceRight;
            level.cell(column, row) = DeflectorLeftDown;
            level.cell(w - 1, targetRow) = TargetRight;
            level.Stock[6] = 2;
            level.Stock[4] = 1;
            level.Stock[1 + roll(8)] += static_cast<int16_t>(roll(2));
            level.Stock[0] = static_cast<int16_t>(2 + roll(2));
        } else {
            RouteShape shape;
            if (kind == 4) shape = {3, 5, 3, 4, 1, 2, 1 + roll(2), 2, 20};
            shape.splits = kind == 3 && roll(2);
            level = routedLevel(rng, shape);
            // Crosses, sand and splitters where obstacles were; spare pieces of every kind.
            for (auto& c : level.Cells)
                if (kind == 4 && c >= 9 && c <= 20 && roll(3) == 0)
                    c = std::array<int16_t, 3>{10, 15, 16}[roll(3)];
            level.Stock[1 + roll(8)] += static_cast<int16_t>(roll(3));
            level.Stock[std::array<int, 3>{1, 2, 7}[roll(3)]] += static_cast<int16_t>(roll(2));
            level.Stock[0] = static_cast<int16_t>(level.Stock[0] + roll(3) - (roll(4) == 0));
        }
        if (arrangementsOf(level) <= 30000) return level;
    }
}

using Ended = std::tuple<std::string, std::string, int64_t, int32_t>;

// The earlier release's search run to its end: tried, total, checked, best left.
Ended runToEnd(const LevelRecord& level, EarlierSearch& search) {
    EXPECT_TRUE(search.load(level));
    search.run();
    EXPECT_TRUE(search.finished());
    return {search.triedCount().toString(), search.total().toString(), search.checkedCount(),
            search.bestLeft()};
}

}  // namespace

// The random levels must exercise (and on how many of them at least) wins that need pieces,
// bare wins, ties, a win with more pieces recorded first, allowance cuts, identical pieces, a
// splitter, sand or a cross in the best, more pieces of a kind than free cells, allowance 0,
// below 0, no free cell.
TEST(ExactSearch, EqualsTheSearchOverEveryArrangementOnRandomLevels) {
    const std::array<int, 12> least = {7000, 600,  4000, 800, 9000, 200,
                                       70,   1200, 1000, 400, 60,   400};
    std::array<int, 12> seen{};
    std::mt19937 rng(1306);
    for (int round = 0; round < 20000 && !::testing::Test::HasFailure(); ++round) {
        const LevelRecord level = randomLevel(rng, round % 5);
        std::vector<int32_t> recorded;
        const Answer expected = literalRecording(level, recorded);
        // Sizes beyond the best one by one, in one walk, in one walk that overflows.
        const int walk = round % 3;
        EXPECT_EQ(
            exact(level, round % 10 == 0 ? 2 : 1, walk == 0 ? 99 : 0, walk == 2 ? 6 : 1 << 19),
            expected)
            << "round " << round;
        // The fast search, on the same cores, must find the same best; on two threads the
        // same arrangement as on one.
        const FastResult fast = fastSolve(level);
        EXPECT_EQ(fast.bestLeft, expected.best) << "round " << round;
        expectAchieves(level, fast.best, fast.bestLeft);
        if (round % 10 == 0) {
            EXPECT_EQ(fastSolve(level, true, {}, {}, 2).best, fast.best);
        }
        // So must the earlier release's search, its tries ending at the total it worked out.
        EarlierSearch earlier;
        const auto [tried, total, checked, earlierBest] = runToEnd(level, earlier);
        EXPECT_EQ(tried, total) << "round " << round;
        EXPECT_EQ(earlierBest, expected.best) << "round " << round;
        expectAchieves(level, earlier.bestArrangement(), earlierBest, false);

        int n = 0, maxSlot = 0, free = 0;
        for (int slot = 1; slot <= SlotCount; ++slot) {
            n += std::max<int>(0, level.Stock[slot]);
            maxSlot = std::max<int>(maxSlot, level.Stock[slot]);
        }
        for (const int16_t c : level.Cells) free += c == 0;
        std::array<int, SlotCount + 1> inBest{};
        for (const Piece& p : expected.arrangement) ++inBest[static_cast<size_t>(p.Slot)];
        const int best = expected.best, allowance = level.Stock[0];
        const std::array<bool, 12> has = {best >= 0 && best < allowance,
                                          best >= 0 && best == allowance,
                                          std::stoull(expected.solutions) > 1,
                                          !recorded.empty() && recorded.front() < best,
                                          allowance >= 0 && n > allowance,
                                          *std::max_element(inBest.begin(), inBest.end()) > 1,
                                          inBest[8] > 0,
                                          inBest[7] + inBest[2] > 0,
                                          maxSlot > free,
                                          allowance == 0,
                                          allowance < 0,
                                          free == 0};
        for (size_t i = 0; i < has.size(); ++i) seen[i] += has[i];
    }
    for (size_t i = 0; i < seen.size(); ++i) EXPECT_GE(seen[i], least[i]) << "trait " << i;
}

TEST(ExactSearch, EqualsTheSearchOverEveryArrangementWhereRareRulesMatter) {
    const std::vector<LevelRecord> levels = {
        // Wins with more pieces recorded, two pieces of a kind on cells before the
        // bound's first of that kind.
        levelFrom({"bdU..", ".....", ".U...", ".....", "...<^"}, {7, 0, 0, 1, 1, 1, 2, 1}, '#'),
        // A win with two more pieces than the best recorded below one with one more.
        levelFrom({".....", "..*U.", ".....", ".d..<"}, {3, 0, 0, 1, 0, 2, 1}, '#'),
        // The best on the first free cell; wins with more pieces that leave its kind out
        // rank below it and are recorded before it.
        levelFrom({"v....", "...R.", ".....", ">...*"}, {4, 0, 0, 1, 0, 1, 1}, '#'),
        // The last solution in order found by the second of two threads.
        levelFrom({"..x....", "*......", ".......", "......D", "....^.."}, {2, 2, 0, 3, 1, 0, 1},
                  '#'),
        // A cross matters only where a second beam enters its cell: two beams entering one
        // cell in the same step, and a beam crossing its own way; spare crosses on top.
        levelFrom({"..v..", ".....", ">...R", ".....", "..D.."}, {2, 1, 2}, '#'),
        levelFrom({"..a.b", ".....", ">...c", ".....", "..D.."}, {2, 0, 2, 0, 0, 0, 0, 1}, '#'),
        // Two beams that each need a └ to their target: one in stock is not enough, two are.
        levelFrom({"v....", "....R", "v....", "....R"}, {3, 0, 0, 2, 0, 1, 1}, '#'),
        levelFrom({"v....", "....R", "v....", "....R"}, {3, 0, 0, 2, 0, 1, 2}, '#'),
        // A beam once round the board, turned up at its last corner by the one piece (its cell
        // entered late); held to the step-for-step reference too.
        levelFrom({">..................b", "U", "", "", "", "", "", "", "", "", "",
                   "...................c"},
                  {1, 0, 0, 0, 0, 0, 1}),
    };
    for (const LevelRecord& level : levels) {
        const Answer expected = literal(level);
        for (const int threads : {1, 2}) EXPECT_EQ(exact(level, threads), expected);
    }
    EXPECT_EQ(answerOf<ReferenceSearch>(levels.back()), literal(levels.back()));
}

// An open area with a large stock, all of it allowed: a beam routed by one to three
// deflectors, some of them split, and two or three spare pieces, mostly deflectors. Wins with
// more pieces than the best abound, and the sizes beyond the best are searched in one walk.
LevelRecord openField(std::mt19937& rng) {
    const auto roll = [&](int lo, int hi) { return lumor::testing::roll(rng, lo, hi); };
    for (;;) {
        RouteShape shape{4, 5, 3, 4, 1, 3, 1, 2, 4};
        shape.splits = roll(0, 3) == 0;
        LevelRecord level = routedLevel(rng, shape);
        // Spares of the kinds placed first in the piece list, whose wins rank low.
        for (int i = roll(2, 4); i > 0; --i)
            ++level.Stock[std::array<int, 8>{3, 3, 4, 4, 5, 8, 2, 1}[roll(0, 7)]];
        level.Stock[0] = 0;
        for (int slot = 1; slot <= SlotCount; ++slot) level.Stock[0] += level.Stock[slot];
        if (arrangementsOf(level) <= 3000000) return level;
    }
}

// Each way of searching the sizes beyond the best: one by one, in one walk after the first
// few (as the finder does), in one walk at once, and one walk whose kept wins overflow.
TEST(ExactSearch, OpenFieldsWithALargeStockEqualTheSearchOverEveryArrangement) {
    std::mt19937 rng(2512);
    int larger = 0, solved = 0;
    for (int round = 0; round < 160 && !::testing::Test::HasFailure(); ++round) {
        const LevelRecord level = openField(rng);
        std::vector<int32_t> recorded;
        const Answer expected = literalRecording(level, recorded);
        solved += expected.best >= 0;
        larger += !recorded.empty() && recorded.front() < expected.best;
        for (const auto& [separate, kept] :
             {std::pair<int, size_t>{99, 0}, {3, 1 << 19}, {0, 1 << 19}, {0, 12}})
            EXPECT_EQ(exact(level, 1 + round % 2, separate, kept), expected)
                << "round " << round << ", " << separate << " sizes one by one";
        EXPECT_EQ(fastSolve(level, true, {}, {}, 2).best, fastSolve(level).best) << round;
    }
    EXPECT_GE(solved, 100);
    EXPECT_GE(larger, 1);
}

TEST(ExactSearch, TheSearchOverEveryArrangementEqualsItsStepForStepTransliteration) {
    std::mt19937 rng(77);
    for (int round = 0; round < 1500; ++round) {
        const LevelRecord level = randomLevel(rng, round % 5);
        ASSERT_EQ(literal(level), answerOf<ReferenceSearch>(level)) << "round " << round;
    }
}

TEST(ExactSearch, CountsBeyondSixtyFourBitsAreExact) {
    // Twelve walls over 228 free cells: checked = sum over j of C(12, j) P(228, j), tried
    // = 229 * sum over j < 12 of C(12, j+1) P(228, j), both beyond 2^64 (worked out with
    // exact integers elsewhere).
    LevelRecord level =
        levelFrom({">.........R", "", "", "", "", "", "", "", "", "", "##########"}, {12, 12});
    ExactSearch search;
    ASSERT_TRUE(search.load(level));
    search.run();
    EXPECT_EQ(search.checkedCount().toString(), "15534281300318038411343798353");
    EXPECT_EQ(search.triedCount().toString(), "16389182420840284006116944700");
    EXPECT_EQ(search.solutionCount().toString(), "1");  // the bare board only
    EXPECT_EQ(search.bestLeft(), 12);
    Count sum = std::numeric_limits<uint64_t>::max();
    sum += Count(1);  // a carry into a third limb
    EXPECT_EQ(sum.toString(), "18446744073709551616");
}

TEST(ExactSearch, StopsWhenPolledToAndReportsItsWork) {
    // The search over every arrangement polls at its first try that ends (the innermost
    // piece's); stopped there, it has counted one more try at each of its two levels.
    SolutionSearch all;
    all.setProgressHook([&] { all.abort(); });
    all.setDisplayInterval(0);
    ASSERT_TRUE(all.load(levelFrom({">......R"}, {2, 2})));
    all.run();
    EXPECT_FALSE(all.finished());
    EXPECT_EQ(all.triedCount(), 2 + 2);

    const LevelRecord level = slowLevel();
    for (const int threads : {1, 2}) {
        ExactSearch search;
        ASSERT_TRUE(search.load(level));
        int polls = 0;
        search.run([&] { return ++polls == 3; }, threads);
        EXPECT_FALSE(search.finished());
        EXPECT_EQ(polls, 3);
        EXPECT_GT(search.workRuns(), 0);
        EXPECT_EQ(search.bestLeft(), -1);  // nothing reported that is not proven
    }
}

// Two walls on three free cells: every set of cells once (1 + 3 + 3 checks, not the 13
// orders of the full search); the second wall starts behind the first one's cell and the
// indexes it skips count: 5 calls of 4 tries. One source and two targets: only
// arrangements with a splitter, placed or the level's own, are checked.
TEST(EarlierSearch, IdenticalPiecesInOneOrderAndNoCheckWhereTooFewBeamsCanExist) {
    EarlierSearch search;
    EXPECT_EQ(runToEnd(levelFrom({">...R"}, {2, 2}, '#'), search), Ended("20", "20", 7, 2));
    // A splitter on (2, 1) sends the beam up and down into the two targets.
    EXPECT_EQ(
        runToEnd(levelFrom({"..U..", ">....", "..D.."}, {1, 0, 0, 0, 0, 0, 0, 0, 1}, '#'), search),
        Ended("13", "13", 12, 0));
    EXPECT_EQ(search.bestArrangement(), (std::vector<Piece>{{8, 2, 1}}));
    EXPECT_EQ(runToEnd(levelFrom({"..U..", ">.x..", "..D.."}, {1, 1}, '#'), search),
              Ended("12", "12", 12, 1));
    EXPECT_EQ(runToEnd(levelFrom({"..U..", ">....", "..D.."}, {1, 1}, '#'), search),
              Ended("13", "13", 0, -1));
    // A splitter or a deflector on (3, 0) turns the beam down: of the tie, the one recorded
    // last (the deflector, the outer piece) is kept.
    runToEnd(levelFrom({">...", "###.", "...D"}, {1, 0, 0, 0, 1, 0, 0, 0, 1}, '#'), search);
    EXPECT_EQ(search.bestArrangement(), (std::vector<Piece>{{4, 3, 0}}));
}
