// Measures the hint: how long the search behind the hint key takes on every level of the
// given packs, for a board without pieces and for one with the first hinted piece placed
// (which searches twice). The window waits for neither: the search runs beside it.
//
//   hint_measure PACK.llp...
#include "levels/packfile.h"
#include "play/cells.h"
#include "play/hint.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

using namespace lumor;

namespace {

double msSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: hint_measure PACK.llp...\n");
        return 2;
    }
    double worst = 0, total = 0;
    int hints = 0;
    for (int a = 1; a < argc; ++a) {
        Pack pack;
        std::string finalMessage;
        if (!loadPackInto(argv[a], pack, finalMessage).ok) {
            std::fprintf(stderr, "%s: cannot be read\n", argv[a]);
            return 1;
        }
        for (int i = 0; i < pack.levels.count(); ++i) {
            const LevelRecord& level = pack.levels[i];
            auto start = std::chrono::steady_clock::now();
            const Hint first = findHint(level, level);
            const double fresh = msSince(start);
            double next = 0;
            if (first.kind == Hint::Kind::Cell && first.code != Empty) {
                LevelRecord placed = level;
                placed.cell(first.x, first.y) = static_cast<int16_t>(first.code);
                --placed.Stock[0];
                --placed.Stock[static_cast<size_t>(first.code - 8)];
                start = std::chrono::steady_clock::now();
                findHint(level, placed);
                next = msSince(start);
            }
            std::printf("%-28s level %2d: %7.1f ms, after the first piece %7.1f ms\n", argv[a],
                        i + 1, fresh, next);
            worst = std::max({worst, fresh, next});
            total += fresh + next;
            hints += next > 0 ? 2 : 1;
        }
    }
    std::printf("%d hints, %.1f ms on average, at most %.1f ms\n", hints, total / hints, worst);
    return 0;
}
