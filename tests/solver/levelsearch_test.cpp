// The one search interface: each purpose's search gives what the searches behind it give,
// the finder's search follows the edition, and progress tells how far a search is.
#include "solver/levelsearch.h"

#include "solver_support.h"

#include <gtest/gtest.h>

#include <random>

using namespace lumor;
using namespace lumor::testing;

namespace {

SearchResult answer(SearchMode mode, const LevelRecord& level,
                    const EditionRules& rules = MainRules) {
    const std::unique_ptr<LevelSearch> search = makeSearch(mode, {}, rules);
    EXPECT_TRUE(search->load(level)) << search->loadMessage();
    search->run();
    return search->result();
}

}  // namespace

TEST(LevelSearch, EveryPurposeAgreesWithTryingEveryArrangement) {
    std::mt19937 rng(25);
    int solved = 0;
    for (int round = 0; round < 800 && !::testing::Test::HasFailure(); ++round) {
        const LevelRecord level = smallPuzzleLevel(rng, 3);
        const SearchResult all = answer(SearchMode::Literal, level);
        ASSERT_TRUE(all.finished && all.tried && all.checked && all.solutions);
        solved += all.bestLeft >= 0;

        const SearchResult exact = answer(SearchMode::Exact, level);
        EXPECT_EQ(exact.tried, all.tried) << "round " << round;
        EXPECT_EQ(exact.checked, all.checked) << "round " << round;
        EXPECT_EQ(exact.solutions, all.solutions) << "round " << round;
        EXPECT_EQ(exact.bestLeft, all.bestLeft) << "round " << round;
        EXPECT_EQ(exact.best, all.best) << "round " << round;

        for (const SearchMode mode :
             {SearchMode::Best, SearchMode::Analysis, SearchMode::Earlier}) {
            const SearchResult r = answer(mode, level);
            EXPECT_TRUE(r.finished);
            EXPECT_EQ(r.bestLeft, all.bestLeft) << "round " << round << " mode " << int(mode);
            // A best arrangement places exactly the pieces the best leaves over.
            if (r.bestLeft >= 0) {
                EXPECT_EQ(static_cast<int>(r.best.size()), level.Stock[0] - r.bestLeft)
                    << "round " << round << " mode " << int(mode);
            }
        }
        const SearchResult analysis = answer(SearchMode::Analysis, level);
        EXPECT_EQ(analysis.analysis.bestLeft, all.bestLeft);
    }
    EXPECT_GT(solved, 20);
}

TEST(LevelSearch, TheFinderSearchFollowsTheEditionAndRefusesTooManyPieces) {
    const LevelRecord level = levelFrom({">.a", "..R"}, {2, 1, 0, 1});
    const SearchResult now = answer(SearchMode::Finder, level, MainRules);
    EXPECT_TRUE(now.solutions.has_value());
    EXPECT_FALSE(now.total.has_value());
    const SearchResult earlier = answer(SearchMode::Finder, level, EarlierRules);
    EXPECT_FALSE(earlier.solutions.has_value());
    ASSERT_TRUE(earlier.total.has_value());
    EXPECT_EQ(*earlier.tried, *earlier.total);
    EXPECT_EQ(earlier.bestLeft, now.bestLeft);

    LevelRecord crowded = level;
    crowded.Stock[1] = 1000;
    for (const SearchMode mode : {SearchMode::Exact, SearchMode::Earlier, SearchMode::Literal,
                                  SearchMode::Best, SearchMode::Analysis}) {
        const std::unique_ptr<LevelSearch> search = makeSearch(mode);
        EXPECT_FALSE(search->load(crowded)) << int(mode);
        EXPECT_FALSE(search->loadMessage().empty()) << int(mode);
        search->run();
        EXPECT_FALSE(search->result().finished) << int(mode);
    }
}

// Within a pass the share only grows, the passes only rise, and a cancel ends the search
// with nothing reported that is not proven.
TEST(LevelSearch, ProgressRisesWithinEachPassAndACancelEndsTheSearch) {
    for (const SearchMode mode : {SearchMode::Exact, SearchMode::Analysis}) {
        for (const int threads : {1, mode == SearchMode::Exact ? 2 : 1}) {
            SearchOptions options;
            options.threads = threads;
            const std::unique_ptr<LevelSearch> search = makeSearch(mode, options);
            ASSERT_TRUE(search->load(slowLevel()));
            SearchProgress last;
            last.share = 0;
            int polls = 0, passesSeen = 0;
            bool grew = false;
            search->run([&] {
                const SearchProgress p = search->progress();
                EXPECT_GE(p.pass, last.pass);
                EXPECT_LE(p.pass, p.lastPass);
                EXPECT_EQ(p.lastPass, 24);
                EXPECT_GE(p.share, 0.0);
                EXPECT_LE(p.share, 1.0);
                if (p.pass == last.pass) {
                    EXPECT_GE(p.share, last.share) << "mode " << int(mode) << " pass " << p.pass;
                    grew = grew || (p.share > last.share && p.share < 1);
                } else {
                    ++passesSeen;
                }
                last = p;
                return ++polls == 3000 || (grew && passesSeen >= 3);
            });
            EXPECT_TRUE(grew) << int(mode);
            EXPECT_FALSE(search->result().finished);
            EXPECT_EQ(search->result().bestLeft, -1);
            EXPECT_TRUE(search->result().best.empty());
        }
    }
}

TEST(LevelSearch, TheEarlierSearchShowsItsShareOfTheTotalAndEachBestAsItGoes) {
    const std::unique_ptr<LevelSearch> search = makeSearch(SearchMode::Earlier);
    // One deflector of four kinds turns the beam down onto the target.
    ASSERT_TRUE(search->load(levelFrom({">...", "", "...D"}, {1, 0, 0, 1, 1, 1, 1})));
    std::vector<double> shares;
    int bests = 0;
    search->onBest = [&] {
        ++bests;
        EXPECT_FALSE(search->bestSoFar().empty());
    };
    search->run([&] {
        shares.push_back(search->progress().share);
        return false;
    });
    ASSERT_TRUE(search->result().finished);
    EXPECT_GE(bests, 1);
    ASSERT_FALSE(shares.empty());
    EXPECT_EQ(shares.front(), 0.0);
    EXPECT_DOUBLE_EQ(search->progress().share, 1.0);
}

TEST(Count, Log2GivesTheShareOfCountsBeyondSixtyFourBits) {
    EXPECT_DOUBLE_EQ(Count(1).log2(), 0.0);
    EXPECT_DOUBLE_EQ(Count(uint64_t{1} << 40).log2(), 40.0);
    Count big = uint64_t{3} << 62;  // 1.5 * 2^63
    for (int i = 0; i < 10; ++i) big *= 1u << 31;
    EXPECT_NEAR(big.log2(), 63 + 310 + std::log2(1.5), 1e-9);
    EXPECT_TRUE(std::isinf(Count().log2()));
}
