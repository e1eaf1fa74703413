#include "solver/modelplayer.h"

#include "play/cells.h"
#include "solver/beamcheck.h"

#include <algorithm>
#include <array>
#include <vector>

namespace lumor {
namespace {

class Player {
public:
    Player(const LevelRecord& level, int64_t cap) : cap_(cap) {
        checker_.setBoard(level.Cells);
        for (int y = 0; y < BoardHeight; ++y)
            for (int x = 0; x < BoardWidth; ++x)
                free_[static_cast<size_t>(BeamChecker::pad(x, y))] = level.cell(x, y) == Empty;
        allowance_ = level.Stock[0];
        for (int s = 1; s <= SlotCount; ++s)
            stock_[static_cast<size_t>(s)] = std::max<int>(0, level.Stock[static_cast<size_t>(s)]);
    }

    PlayerTries play() {
        PlayerTries out;
        ++tries_;
        ++runs_;
        out.won = checker_.run().solved || (allowance_ > 0 && build(0, -1));
        out.tries = tries_;
        out.capped = capped_;
        if (capped_) out.won = false;
        return out;
    }

private:
    struct Move {
        int cell;
        int slot;
        int hits;
        int index;  // in the beams' first-entry order
    };

    // Tries every move from the current board with `placed` pieces down; true on a win.
    bool build(int placed, int lastIndex) {
        checker_.runMarking();
        const std::vector<int16_t> order = checker_.enteredOrder();
        std::vector<Move> moves;
        for (int i = lastIndex + 1; i < static_cast<int>(order.size()); ++i) {
            const int cell = order[static_cast<size_t>(i)];
            if (!free_[static_cast<size_t>(cell)] || checker_.codeAt(cell) != Empty) continue;
            for (int slot = 1; slot <= SlotCount; ++slot) {
                if (stock_[static_cast<size_t>(slot)] == 0) continue;
                if (++runs_ > cap_) {
                    capped_ = true;
                    return false;
                }
                checker_.place(cell, codeOfSlot(slot));
                const BeamResult r = checker_.run();
                checker_.place(cell, Empty);
                moves.push_back({cell, slot, r.hits, i});
            }
        }
        std::stable_sort(moves.begin(), moves.end(),
                         [](const Move& a, const Move& b) { return a.hits > b.hits; });
        for (const Move& m : moves) {
            if (capped_) return false;
            ++tries_;
            checker_.place(m.cell, codeOfSlot(m.slot));
            --stock_[static_cast<size_t>(m.slot)];
            // The try: the beams started with this piece (counted against the cap like
            // the runs that ordered the moves).
            ++runs_;
            bool won = checker_.run().solved;
            if (!won && placed + 1 < allowance_) won = build(placed + 1, m.index);
            ++stock_[static_cast<size_t>(m.slot)];
            checker_.place(m.cell, Empty);
            if (won) return true;
        }
        return false;
    }

    BeamChecker checker_;
    std::array<bool, BeamChecker::PadCells> free_{};
    std::array<int, SlotCount + 1> stock_{};
    int allowance_ = 0;
    int64_t cap_;
    int64_t tries_ = 0;
    int64_t runs_ = 0;
    bool capped_ = false;
};

}  // namespace

PlayerTries modelPlayerTries(const LevelRecord& level, int64_t cap) {
    return Player(level, cap).play();
}

}  // namespace lumor
