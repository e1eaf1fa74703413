#include "play/hint.h"

#include "play/cells.h"
#include "solver/beamcheck.h"
#include "solver/levelsearch.h"

#include <algorithm>
#include <array>
#include <memory>
#include <vector>

namespace lumor {

namespace {

// The cells (x, y, code) where `board` must change to become `target`, the ones a beam
// enters first (on the target board) first, then the rest in board order.
std::vector<Hint> changesAlongTheBeams(const LevelRecord& board, const LevelRecord& target) {
    std::vector<Hint> changes;
    for (int y = 0; y < BoardHeight; ++y)
        for (int x = 0; x < BoardWidth; ++x)
            if (board.cell(x, y) != target.cell(x, y))
                changes.push_back({Hint::Kind::Cell, x, y, target.cell(x, y)});
    BeamChecker checker;
    checker.setBoard(target.Cells);
    checker.runMarking();
    const std::vector<int16_t>& order = checker.enteredOrder();
    const auto rank = [&order](const Hint& h) {
        const auto at = std::find(order.begin(), order.end(), BeamChecker::pad(h.x, h.y));
        return at - order.begin();  // not entered: after every entered cell
    };
    std::stable_sort(changes.begin(), changes.end(),
                     [&rank](const Hint& a, const Hint& b) { return rank(a) < rank(b); });
    return changes;
}

LevelRecord withPieces(LevelRecord level, const std::vector<Piece>& pieces) {
    for (const Piece& p : pieces)
        if (p.X >= 0) level.cell(p.X, p.Y) = static_cast<int16_t>(codeOfSlot(p.Slot));
    return level;
}

}  // namespace

bool followsBest(const LevelRecord& stored, const StoredBest& best, const LevelRecord& current) {
    if (best.bestLeft < 0) return false;
    const LevelRecord target = withPieces(stored, best.arrangement);
    for (size_t i = 0; i < current.Cells.size(); ++i)
        if (current.Cells[i] != stored.Cells[i] && current.Cells[i] != target.Cells[i])
            return false;
    // The pieces still missing must be in the stock left.
    std::array<int, StockEntries> missing{};
    for (const Piece& p : best.arrangement)
        if (p.X >= 0 && current.cell(p.X, p.Y) != target.cell(p.X, p.Y)) {
            ++missing[0];
            ++missing[static_cast<size_t>(p.Slot)];
        }
    for (size_t s = 0; s <= 8; ++s)
        if (missing[s] > current.Stock[s]) return false;
    return true;
}

std::optional<StoredBest> storedBest(const LevelRecord& stored, const std::function<bool()>& stop,
                                     int threads) {
    SearchOptions options;
    options.threads = threads;
    const std::unique_ptr<LevelSearch> finder = makeSearch(SearchMode::Exact, options);
    if (!finder->load(stored)) return StoredBest{};
    finder->run(stop);
    if (!finder->result().finished) return std::nullopt;
    return StoredBest{finder->result().bestLeft, finder->result().best};
}

std::optional<Hint> hintTowards(const LevelRecord& stored, const StoredBest& best,
                                const LevelRecord& current, const std::function<bool()>& stop) {
    if (best.bestLeft < 0) return Hint{};
    // Pieces that are all part of the finder's answer: that answer completes them, no search.
    if (followsBest(stored, best, current)) {
        const std::vector<Hint> changes =
            changesAlongTheBeams(current, withPieces(stored, best.arrangement));
        if (changes.empty()) return Hint{Hint::Kind::Complete};
        return changes.front();
    }
    // Pieces already placed that a best solution can keep: complete them (any best
    // completion will do, so the quicker search finds it).
    bool keep = false;
    const std::unique_ptr<LevelSearch> onTrack = makeSearch(SearchMode::Best);
    if (current.Cells != stored.Cells) {
        if (onTrack->load(current)) {
            onTrack->run(stop);
            if (!onTrack->result().finished) return std::nullopt;
            keep = onTrack->result().bestLeft == best.bestLeft;
        }
    }
    const LevelRecord target =
        keep ? withPieces(current, onTrack->result().best) : withPieces(stored, best.arrangement);
    const std::vector<Hint> changes = changesAlongTheBeams(current, target);
    if (changes.empty()) return Hint{Hint::Kind::Complete};
    return changes.front();
}

Hint findHint(const LevelRecord& stored, const LevelRecord& current,
              const std::function<bool()>& stop) {
    // The player waits for it: as many threads as the finder window uses.
    const std::optional<StoredBest> best = storedBest(stored, stop, waitingThreads());
    if (!best) return {};
    return hintTowards(stored, *best, current, stop).value_or(Hint{});
}

}  // namespace lumor
