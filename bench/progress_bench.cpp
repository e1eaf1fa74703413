// The progress file on the path of a level start: read the file, parse it, note the level
// reached and save it again (the password box takes the first two steps). The file holds
// one line per pack a player has played, so a long one is a hostile one: 5 000 and 20 000
// lines, and the reader's limit of 1 MB in the shortest lines that read.
#include "app/files.h"
#include "title/progress.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

using namespace lumor;

namespace {

std::string progressFile(size_t lines, size_t bytes) {
    std::string text;
    for (size_t i = 0; i < lines || text.size() < bytes; ++i) {
        const std::string line = "1\t" + std::to_string(i) + "\tT\r\n";
        if (bytes && text.size() + line.size() > bytes) break;
        text += line;
    }
    return text;
}

void BM_LevelStart(benchmark::State& state) {
    const auto lines = static_cast<size_t>(state.range(0));
    const auto bytes = static_cast<size_t>(state.range(1));
    const std::string path =
        (std::filesystem::temp_directory_path() / "lumor-progress-bench.dat").string();
    if (saveFileAtomically(path, progressFile(lines, bytes)) != SaveStatus::Ok) std::abort();
    for (auto _ : state) {
        std::string text;
        if (readRegularFile(path, MaxProgressFileBytes, text) != ReadStatus::Ok) std::abort();
        Progress p = Progress::parse(text);
        p.reach("neu.llp", "Neu", 3);
        if (saveFileAtomically(path, p.format()) != SaveStatus::Ok) std::abort();
        // The next round starts from the same file.
        state.PauseTiming();
        saveFileAtomically(path, text);
        state.ResumeTiming();
    }
    std::filesystem::remove(path);
}
BENCHMARK(BM_LevelStart)
    ->Args({5000, 0})
    ->Args({20000, 0})
    ->Args({0, MaxProgressFileBytes})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
