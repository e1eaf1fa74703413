// Reading and writing level packs: the title menu reads the chosen pack at every start,
// the editor writes whole packs.
#include "app/random.h"
#include "levels/packfile.h"

#include <benchmark/benchmark.h>

#include <cstdlib>

using namespace lumor;

namespace {

std::vector<LevelRecord> levels(int n) {
    std::vector<LevelRecord> out;
    for (int i = 0; i < n; ++i) {
        LevelRecord l;
        l.Name = "Gew\xf6hnlicher Level " + std::to_string(i);
        l.Password = "PASSWORT" + std::to_string(i);
        for (int k = 0; k < CellCount; ++k)
            l.Cells[static_cast<size_t>(k)] = static_cast<int16_t>((k * 13 + i) % 21);
        for (int k = 0; k < StockEntries; ++k)
            l.Stock[static_cast<size_t>(k)] = static_cast<int16_t>(k % 9);
        out.push_back(l);
    }
    return out;
}

std::string packOf(int n) {
    PackHeader h{"Autor", "Bemerkung", "Geschafft!", "http://example.org", "Titel", "Kennwort"};
    SeededRandom random(1);
    std::string bytes;
    if (!packBytes(h, levels(n), random, bytes).ok) std::abort();
    return bytes;
}

void BM_ReadPack(benchmark::State& state) {
    const std::string bytes = packOf(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        PackReadResult r = readPackFromBytes(bytes);
        benchmark::DoNotOptimize(r);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_ReadPack)->Arg(10)->Arg(101)->Unit(benchmark::kMicrosecond);

void BM_PackBytes(benchmark::State& state) {
    const PackHeader h{"Autor", "Bemerkung", "Geschafft!", "http://example.org",
                       "Titel", "Kennwort"};
    const auto list = levels(static_cast<int>(state.range(0)));
    SeededRandom random(1);
    std::string bytes;
    for (auto _ : state) {
        packBytes(h, list, random, bytes);
        benchmark::DoNotOptimize(bytes);
    }
}
BENCHMARK(BM_PackBytes)->Arg(101)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
