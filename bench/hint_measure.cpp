// Measures the hint as the board window gets it, on every level of the given packs: the
// level's answer prepared on one thread (from the level's start, beside the game), then
// a press on the bare board, the same press again, a press with the first hinted piece
// placed (answered from the level's answer) and that press again, and a press with the same
// piece on the first free cell instead (a search of that board). Prints each level and, per kind,
// the median and the slowest.
//
//   hint_measure PACK.llp...
#include "levels/packfile.h"
#include "play/cells.h"
#include "play/hint.h"
#include "play/hintsource.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

using namespace lumor;

namespace {

double msSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

struct Column {
    const char* name;
    std::vector<double> ms;
};

void summary(Column& c) {
    if (c.ms.empty()) return;
    std::sort(c.ms.begin(), c.ms.end());
    std::printf("%-26s median %8.2f ms, slowest %8.2f ms (%zu)\n", c.name, c.ms[c.ms.size() / 2],
                c.ms.back(), c.ms.size());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: hint_measure PACK.llp...\n");
        return 2;
    }
    Column ready{"prepared (one thread)", {}}, press{"press, bare board", {}},
        again{"same press again", {}}, next{"press, first piece placed", {}},
        nextAgain{"that press again", {}}, astray{"press, a piece astray", {}};
    for (int a = 1; a < argc; ++a) {
        Pack pack;
        std::string finalMessage;
        if (!loadPackInto(argv[a], pack, finalMessage).ok) {
            std::fprintf(stderr, "%s: cannot be read\n", argv[a]);
            return 1;
        }
        for (int i = 0; i < pack.levels.count(); ++i) {
            const LevelRecord& level = pack.levels[i];
            HintSource source(level, 1);
            auto timed = [](Column& c, auto&& f) {
                const auto start = std::chrono::steady_clock::now();
                auto r = f();
                c.ms.push_back(msSince(start));
                return r;
            };
            timed(ready, [&] { return source.prepare(); });
            const std::optional<Hint> first = timed(press, [&] { return source.hintFor(level); });
            timed(again, [&] { return source.hintFor(level); });
            std::printf("%-28s level %2d: prepared %8.1f ms, press %6.2f ms, again %6.3f ms",
                        argv[a], i + 1, ready.ms.back(), press.ms.back(), again.ms.back());
            if (first && first->kind == Hint::Kind::Cell && first->code != Empty) {
                LevelRecord placed = level;
                placed.cell(first->x, first->y) = static_cast<int16_t>(first->code);
                --placed.Stock[0];
                --placed.Stock[static_cast<size_t>(first->code - 8)];
                timed(next, [&] { return source.hintFor(placed); });
                timed(nextAgain, [&] { return source.hintFor(placed); });
                std::printf(", first piece placed %7.1f ms, again %6.3f ms", next.ms.back(),
                            nextAgain.ms.back());
                LevelRecord off = placed;
                off.cell(first->x, first->y) = Empty;
                for (size_t c = 0; c < off.Cells.size(); ++c)
                    if (off.Cells[c] == Empty &&
                        static_cast<int>(c) != cellIndex(first->x, first->y)) {
                        off.Cells[c] = static_cast<int16_t>(first->code);
                        timed(astray, [&] { return source.hintFor(off); });
                        std::printf(", astray %7.1f ms", astray.ms.back());
                        break;
                    }
            }
            std::printf("\n");
        }
    }
    for (Column* c : {&ready, &press, &again, &next, &nextAgain, &astray}) summary(*c);
    return 0;
}
