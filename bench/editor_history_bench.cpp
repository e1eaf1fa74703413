// The editor's undo history: every change to the pack is compared with the history's
// mirror of the whole level list (102 records) and only what changed is kept. These
// measure a step as the editor records one, on a full pack of 101 levels.
#include "editor/history.h"
#include "editor/levellist.h"

#include <benchmark/benchmark.h>

#include <memory>

using namespace lumor;

namespace {

std::unique_ptr<Levels> fullPack() {
    auto levels = std::make_unique<Levels>();
    for (int i = 0; i < MaxLevels; ++i) {
        LevelRecord& l = (*levels)[i];
        l = newLevel(i + 1);
        for (int k = 0; k < CellCount; ++k)
            l.Cells[static_cast<size_t>(k)] = static_cast<int16_t>((k * 7 + i) % 21);
    }
    return levels;
}

// A painted cell: one record differs.
void BM_RecordOneCell(benchmark::State& state) {
    auto levels = fullPack();
    PackHeader header;
    History history;
    history.reset(*levels, header, {MaxLevels, 50});
    int16_t v = 0;
    for (auto _ : state) {
        (*levels)[50].cell(3, 4) = v = static_cast<int16_t>((v + 1) % 21);
        benchmark::DoNotOptimize(history.record(*levels, header, {MaxLevels, 50}));
    }
}
BENCHMARK(BM_RecordOneCell);

// A change handler that changed nothing (a level shown again): the whole comparison.
void BM_RecordNothing(benchmark::State& state) {
    auto levels = fullPack();
    PackHeader header;
    History history;
    history.reset(*levels, header, {MaxLevels, 50});
    for (auto _ : state) benchmark::DoNotOptimize(history.record(*levels, header, {MaxLevels, 50}));
}
BENCHMARK(BM_RecordNothing);

// Inserting a level at the front moves all 101 records: the largest step there is.
void BM_UndoRedoInsertAtFront(benchmark::State& state) {
    auto levels = fullPack();
    int count = MaxLevels - 1;
    PackHeader header;
    History history;
    history.reset(*levels, header, {count, 0});
    insertLevel(*levels, count, 0);
    history.record(*levels, header, {count, 0});
    for (auto _ : state) {
        benchmark::DoNotOptimize(history.undo(*levels, header));
        benchmark::DoNotOptimize(history.redo(*levels, header));
    }
}
BENCHMARK(BM_UndoRedoInsertAtFront);

}  // namespace

BENCHMARK_MAIN();
