// The level generator: from the mechanics to use, a board style, a number of pieces, a
// difficulty and a seed it builds a level and proves, with the exact analysis, what a
// designer checks by hand before it offers it: exactly one distinct minimal placement,
// every stocked kind needed by it, the allowance equal to the fewest pieces that win, and
// no spare piece. The same options give the same level on every machine.
//
// How: sources on a styled board; pieces put one after another on cells the beams enter
// after the last piece (so each is entered by the run); targets where the surviving beams
// end. Other solutions are then shut out by walls or stars on cells the intended run never
// enters, which leaves that run unchanged; what cannot be shut out starts a new attempt.
#pragma once

#include "levels/level.h"
#include "solver/analysis.h"
#include "solver/modelplayer.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace lumor {

enum class BoardStyle { Open, Walled, Corridors };
enum class Difficulty { Easy, Middle, Hard };

// A kind of piece the solution may use.
enum class Mechanic { Deflector, Splitter, Sand, Cross, Wall };

struct GeneratorOptions {
    std::vector<Mechanic> mechanics = {Mechanic::Deflector, Mechanic::Splitter};
    bool fixedElements = false;  // splitters, crosses or deflectors fixed on the board
    BoardStyle style = BoardStyle::Walled;
    int pieces = 0;  // 0: by the difficulty
    Difficulty difficulty = Difficulty::Middle;
    uint64_t seed = 1;
    int attempts = 20000;  // boards tried before giving up
};

// The model player's tries that each difficulty asks for: [least, most].
std::pair<int64_t, int64_t> triesFor(Difficulty d);
// The pieces a difficulty uses when none are given.
int piecesFor(Difficulty d);

struct GeneratedLevel {
    LevelRecord record;  // name and password set from the seed
    Placement solution;  // the one minimal placement
    LevelAnalysis analysis;
    PlayerTries player;
    int attempts = 0;  // boards tried, this one included
};

// The level, or nullopt when no attempt held every promise (or poll said stop).
std::optional<GeneratedLevel> generateLevel(const GeneratorOptions& options,
                                            const std::function<bool()>& poll = {});

// Shuts out every other minimal placement of a level by walls or stars on cells the run
// of `solution` never enters, which leaves that run as it was. True when `solution` is
// then the one minimal placement; false leaves the level as it was.
bool shutOutOthers(LevelRecord& level, const Placement& solution, uint64_t seed);

// The editor's "Generieren": the level's board and stock replaced by a generated level of
// middle difficulty (its name, password and stock entries 9..15 stay). The status line to
// show (UTF-8); nullopt leaves the level as it was.
std::optional<std::string> fillWithGenerated(LevelRecord& level, uint64_t seed);

// What a level offered by the generator must hold, checked by the exact analysis: empty
// when all holds, else the first broken promise (German, UTF-8).
std::string brokenPromise(const LevelRecord& level, const Placement& solution,
                          const LevelAnalysis& analysis);

}  // namespace lumor
