// Arrangements checked per second by the search over every arrangement and by the
// step-for-step reference on three fixed levels, the time of the exact answer on the same
// levels, and the time of the fast search.
#include "solver/exactsearch.h"
#include "solver/fastsearch.h"
#include "support/reference.h"
#include "solver/search.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

using namespace lumor;

namespace {

LevelRecord levelOf(const std::vector<std::string>& rows, std::vector<int> stock) {
    // One character per cell; its position in this text is its code.
    static const std::string chars = ".>v<^RDLU#+abcdsx*123";
    LevelRecord level;
    for (int y = 0; y < BoardHeight; ++y)
        for (int x = 0; x < BoardWidth; ++x) {
            const char ch =
                y < static_cast<int>(rows.size()) && x < static_cast<int>(rows[y].size())
                    ? rows[y][x]
                    : '.';
            const auto at = chars.find(ch);
            level.cell(x, y) = static_cast<int16_t>(at == std::string::npos ? 0 : at);
        }
    for (size_t i = 0; i < stock.size(); ++i) level.Stock[i] = static_cast<int16_t>(stock[i]);
    return level;
}

// One source, a target two turns away, two deflectors: an open board.
const LevelRecord& openLevel() {
    static const LevelRecord level = levelOf(
        {
            "....................",
            "..>.................",
            "....................",
            "....................",
            "....................",
            "....................",
            "....................",
            "....................",
            "...............R....",
            "....................",
            "....................",
            "....................",
        },
        {2, 0, 0, 0, 1, 0, 1});
    return level;
}

// Two sources, two level splitters, four targets: the two middle beams meet unless a
// splitter piece takes one of them up and down.
const LevelRecord& splitterLevel() {
    static const LevelRecord level = levelOf(
        {
            ".........U..........",
            "....v.........v.....",
            ".L..x.........x...R.",
            "....................",
            "....................",
            "....................",
            ".........D..........",
            "....................",
            "....................",
            "....................",
            "....................",
            "....................",
        },
        {2, 0, 0, 0, 0, 0, 0, 0, 2});
    return level;
}

// Sand everywhere on the beams' ways; two deflectors bring both beams to their targets.
const LevelRecord& sandLevel() {
    static const LevelRecord level = levelOf(
        {
            ">.s.s.s.s.s.s.s.s..#",
            "s...................",
            "..s.......s.........",
            "....s...s...........",
            "......s.............",
            "v.....s.....s.......",
            "..s...s.....s.....D.",
            "......s.............",
            "s.....s.....s.....s.",
            "......s.............",
            "..s...s.............",
            "...s..s.....R.......",
        },
        {2, 0, 0, 0, 1, 0, 1});
    return level;
}

// Four beams, each needing two deflectors: eight pieces on an open board.
const LevelRecord& fourBeamLevel() {
    static const LevelRecord level = levelOf(
        {
            ".......a.......s...c",
            "..v...a.......x+....",
            "..........3..2.1..c.",
            ".........2...a.#....",
            "....b.U..........c..",
            ".D#................R",
            "........#....c.<....",
            ".^.d...........<....",
            "...+..............R.",
            "....................",
            "..............*.....",
            "........c...b..*..1.",
        },
        {8, 0, 0, 4, 0, 2, 2});
    return level;
}

// The same kind of level, one of the slowest for the fast search that was found.
const LevelRecord& hardFourBeamLevel() {
    static const LevelRecord level = levelOf(
        {
            "..U........c........",
            "......d.....b..b....",
            "v...................",
            "....................",
            "....D....#..........",
            "......1U......L.....",
            "..............>.....",
            ".....^...........*..",
            "....................",
            "...............s.x..",
            "c...................",
            "......#.s#^.+....*..",
        },
        {8, 0, 0, 1, 3, 2, 2});
    return level;
}

const LevelRecord& levelNo(int64_t i) {
    switch (i) {
        case 0:
            return openLevel();
        case 1:
            return splitterLevel();
        case 2:
            return sandLevel();
        case 3:
            return fourBeamLevel();
        default:
            return hardFourBeamLevel();
    }
}
const char* levelName(int64_t i) {
    static const char* names[] = {"open", "splitters", "sand", "four beams, 8 pieces",
                                  "hard four beams, 8 pieces"};
    return names[i];
}

void BM_Exhaustive(benchmark::State& state) {
    const LevelRecord& level = levelNo(state.range(0));
    int64_t checked = 0;
    int32_t best = -1;
    for (auto _ : state) {
        SolutionSearch search;
        search.setClock([] { return int64_t{0}; });
        search.load(level);
        search.run();
        checked += search.checkedCount();
        best = search.bestLeft();
        benchmark::DoNotOptimize(best);
    }
    state.SetItemsProcessed(checked);
    state.counters["best_left"] = best;
    state.SetLabel(levelName(state.range(0)));
}

void BM_StepForStep(benchmark::State& state) {
    const LevelRecord& level = levelNo(state.range(0));
    int64_t checked = 0;
    for (auto _ : state) {
        ReferenceSearch search;
        search.load(level);
        search.run();
        checked += search.checkedCount();
        benchmark::DoNotOptimize(search.bestLeft());
    }
    state.SetItemsProcessed(checked);
    state.SetLabel(levelName(state.range(0)));
}

void BM_Exact(benchmark::State& state) {
    const LevelRecord& level = levelNo(state.range(0));
    for (auto _ : state) {
        ExactSearch search;
        search.load(level);
        search.run();
        benchmark::DoNotOptimize(search.bestLeft());
    }
    state.SetLabel(levelName(state.range(0)));
}

void BM_Fast(benchmark::State& state) {
    const LevelRecord& level = levelNo(state.range(0));
    int32_t best = -1;
    for (auto _ : state) {
        const FastResult r = fastSolve(level);
        best = r.bestLeft;
        benchmark::DoNotOptimize(best);
    }
    state.counters["best_left"] = best;
    state.SetLabel(levelName(state.range(0)));
}

}  // namespace

BENCHMARK(BM_Exhaustive)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StepForStep)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Exact)->DenseRange(0, 4)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Fast)->DenseRange(0, 4)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
