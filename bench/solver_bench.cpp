// Arrangements checked per second by the finder's exhaustive search and by the
// step-for-step reference on three fixed levels, and the time of the fast search.
#include "solver/fastsearch.h"
#include "solver/reference.h"
#include "solver/search.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

using namespace lumor;

namespace {

LevelRecord levelOf(const std::vector<std::string>& rows, std::vector<int> stock) {
    // One character per cell; its position in this text is its code.
    static const std::string chars = ".>v<^RDLU#+abcdsx*";
    LevelRecord level;
    for (int y = 0; y < BoardHeight; ++y)
        for (int x = 0; x < BoardWidth; ++x) {
            const char ch = y < static_cast<int>(rows.size()) && x < static_cast<int>(rows[y].size())
                                ? rows[y][x] : '.';
            const auto at = chars.find(ch);
            level.cell(x, y) = static_cast<int16_t>(at == std::string::npos ? 0 : at);
        }
    for (size_t i = 0; i < stock.size(); ++i) level.Stock[i] = static_cast<int16_t>(stock[i]);
    return level;
}

// One source, one target round a corner, two deflectors: an open board.
const LevelRecord& openLevel() {
    static const LevelRecord level = levelOf({
        "....................",
        "..>.................",
        "....................",
        "....................",
        "....................",
        "....................",
        "....................",
        "....................",
        "...............U....",
        "....................",
        "....................",
        "....................",
    }, {2, 0, 0, 1, 0, 1});
    return level;
}

// Four sources, level splitters and targets: many beams.
const LevelRecord& splitterLevel() {
    static const LevelRecord level = levelOf({
        "v.........v.........",
        "....................",
        "x.........x....#....",
        "....................",
        ".....>.........x...L",
        "....................",
        "D..................#",
        ".........x..........",
        "....................",
        "....^.........^....R",
        "....................",
        "..........#.........",
    }, {2, 0, 0, 0, 0, 0, 0, 0, 2});
    return level;
}

// Sand everywhere on the beams' ways.
const LevelRecord& sandLevel() {
    static const LevelRecord level = levelOf({
        ">.s.s.s.s.s.s.s.s..#",
        "s...................",
        "..s.......s.........",
        "....s...s...........",
        "......s.............",
        "v.....s.....s......L",
        "..s...s.....s.......",
        "......s.............",
        "s.....s.....s.....s.",
        "......s.............",
        "..s...s.............",
        "....................",
    }, {2, 0, 0, 0, 1, 0, 0, 1});
    return level;
}

const LevelRecord& levelNo(int64_t i) {
    return i == 0 ? openLevel() : i == 1 ? splitterLevel() : sandLevel();
}
const char* levelName(int64_t i) { return i == 0 ? "open" : i == 1 ? "splitters" : "sand"; }

void BM_Exhaustive(benchmark::State& state) {
    const LevelRecord& level = levelNo(state.range(0));
    int64_t checked = 0;
    for (auto _ : state) {
        SolutionSearch search;
        search.setClock([] { return int64_t{0}; });
        search.load(level);
        search.run();
        checked += search.checkedCount();
        benchmark::DoNotOptimize(search.bestLeft());
    }
    state.SetItemsProcessed(checked);
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

void BM_Fast(benchmark::State& state) {
    const LevelRecord& level = levelNo(state.range(0));
    for (auto _ : state) {
        const FastResult r = fastSolve(level);
        benchmark::DoNotOptimize(r.bestLeft);
    }
    state.SetLabel(levelName(state.range(0)));
}

}  // namespace

BENCHMARK(BM_Exhaustive)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StepForStep)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Fast)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
