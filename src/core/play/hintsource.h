// The hints of one level start: the finder's answer for the level as stored is searched
// once (in the background from the level's start, or at the first press), and every
// board's hint is kept, so a press on a board already answered costs nothing. Safe to use
// from several threads at once; cancel() stops every search of it for good.
#pragma once

#include "levels/level.h"
#include "play/hint.h"

#include <atomic>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <vector>

namespace lumor {

class HintSource {
public:
    // `threads` for the stored level's search.
    HintSource(LevelRecord stored, int threads);

    // Searches the stored level's answer unless known or under way elsewhere (then it waits
    // for that). False when stopped.
    bool prepare(const std::function<bool()>& stop = {});
    // The hint for the board and stock as they stand; none when stopped.
    std::optional<Hint> hintFor(const LevelRecord& current, const std::function<bool()>& stop = {});
    // The hint for this board when it was answered before: no search.
    std::optional<Hint> known(const LevelRecord& current) const;

    void cancel() { cancelled_ = true; }
    const LevelRecord& stored() const { return stored_; }
    // Searches run so far: the stored level's and each board's.
    int searches() const { return searches_; }

    // Boards kept at most; past that the oldest answers are forgotten.
    static constexpr size_t MaxBoards = 512;

private:
    using Board = std::vector<int16_t>;  // cells, then stock
    static Board boardOf(const LevelRecord& level);
    bool stopped(const std::function<bool()>& stop) const { return cancelled_ || (stop && stop()); }

    const LevelRecord stored_;
    const int threads_;
    std::atomic<bool> cancelled_{false};
    std::atomic<int> searches_{0};

    std::mutex bestMutex_;
    std::condition_variable bestReady_;
    bool bestRunning_ = false;
    std::optional<StoredBest> best_;

    mutable std::mutex boardsMutex_;
    std::map<Board, Hint> boards_;
    std::vector<Board> order_;  // boards_ keys, oldest first
};

}  // namespace lumor
