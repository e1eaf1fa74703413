#include "play/hintsource.h"

#include <chrono>

namespace lumor {

HintSource::HintSource(LevelRecord stored, int threads)
    : stored_(std::move(stored)), threads_(threads) {}

HintSource::Board HintSource::boardOf(const LevelRecord& level) {
    Board b(level.Cells.begin(), level.Cells.end());
    b.insert(b.end(), level.Stock.begin(), level.Stock.end());
    return b;
}

bool HintSource::prepare(const std::function<bool()>& stop) {
    std::unique_lock lock(bestMutex_);
    // One search at a time; a waiter still answers to its own stop.
    while (bestRunning_) {
        if (stopped(stop)) return false;
        bestReady_.wait_for(lock, std::chrono::milliseconds(10));
    }
    if (best_) return true;
    bestRunning_ = true;
    lock.unlock();
    ++searches_;
    std::optional<StoredBest> found = storedBest(
        stored_, [&] { return stopped(stop); }, threads_);
    lock.lock();
    bestRunning_ = false;
    best_ = std::move(found);
    bestReady_.notify_all();
    return best_.has_value();
}

std::optional<Hint> HintSource::known(const LevelRecord& current) const {
    const std::lock_guard lock(boardsMutex_);
    const auto at = boards_.find(boardOf(current));
    if (at == boards_.end()) return std::nullopt;
    return at->second;
}

std::optional<Hint> HintSource::hintFor(const LevelRecord& current,
                                        const std::function<bool()>& stop) {
    if (std::optional<Hint> h = known(current)) return h;
    if (!prepare(stop)) return std::nullopt;
    StoredBest best;
    {
        const std::lock_guard lock(bestMutex_);
        best = *best_;
    }
    if (current.Cells != stored_.Cells && !followsBest(stored_, best, current)) ++searches_;
    const std::optional<Hint> h =
        hintTowards(stored_, best, current, [&] { return stopped(stop); });
    if (!h) return h;
    const std::lock_guard lock(boardsMutex_);
    Board key = boardOf(current);
    if (boards_.emplace(key, *h).second) {
        order_.push_back(std::move(key));
        if (order_.size() > MaxBoards) {
            boards_.erase(order_.front());
            order_.erase(order_.begin());
        }
    }
    return h;
}

}  // namespace lumor
