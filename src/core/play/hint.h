// A hint for a player who is stuck: one cell of a best solution (one that leaves the most
// pieces unused) and the piece that belongs there. Nothing is placed for the player.
#pragma once

#include "levels/level.h"

#include "solver/search.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace lumor {

struct Hint {
    enum class Kind {
        Cell,      // put `code` on (x, y); Empty: take the piece there away
        Complete,  // the pieces on the board already make a best solution
        None,      // the level has no solution (or the search was stopped)
    };
    Kind kind = Kind::None;
    int x = -1, y = -1;
    int code = 0;
    bool operator==(const Hint&) const = default;
};

// `stored` is the level as the pack holds it, `current` the same level with the pieces the
// player has placed on its cells and the stock still left. When the player's pieces can
// still be completed to a best solution, the hint completes them; otherwise it points at
// a best solution of the level as stored. Of the cells that need a change, the hint names
// the one a beam reaches first, so hints lead along the beams.
// The best solution of the stored level is the finder's own answer (the arrangement it
// shows). `stop` is asked every few milliseconds; true ends the search with no hint.
Hint findHint(const LevelRecord& stored, const LevelRecord& current,
              const std::function<bool()>& stop = {});

// The two steps of findHint, for those who keep the first (HintSource).
// The finder's answer for the level as stored; none when stopped or refused.
struct StoredBest {
    int32_t bestLeft = -1;  // -1: the level has no solution
    std::vector<Piece> arrangement;
};
std::optional<StoredBest> storedBest(const LevelRecord& stored, const std::function<bool()>& stop,
                                     int threads);
// Whether every piece placed on `current` is one of `best`'s and the stock left holds the
// rest: then `best` completes the player's pieces without a search.
bool followsBest(const LevelRecord& stored, const StoredBest& best, const LevelRecord& current);
// The hint on `current` leading to `best` or to a best completion of the player's pieces;
// none when stopped.
std::optional<Hint> hintTowards(const LevelRecord& stored, const StoredBest& best,
                                const LevelRecord& current, const std::function<bool()>& stop);

}  // namespace lumor
