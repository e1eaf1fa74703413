// The level source: a pack as UTF-8 text that a person can read, edit and review in a
// diff. The build compiles sources into ".llp" packs; "lumor-pack decompile" turns a pack
// back into a source. For every pack the format can hold (any texts without line breaks,
// any 16-bit cell and stock values, up to 101 levels) the two are exact inverses.
//
//   Lumor-Levelquelle 1
//   Titel: Einstieg
//   Autor: ...                       (also Bemerkung, Schlussmeldung, Link, Packpasswort)
//
//   Level: Erstes Licht
//   Passwort: FUNKE
//   Vorrat: 3 | ┌ 1 | # 2            (total, then piece character and count; 0 omitted)
//   Vorrat 9-15: 0 0 0 0 0 0 1       (only when one of them is not 0)
//   Bestwert: 2                      (optional: pieces left by the best solution)
//   Lösung: ┌ 4,7                   (optional: a solving arrangement, x 0-19, y 0-11)
//   Absicht: Lösungen 5 | Köder #    (optional: what the designer intends, for lumor-pack
//   Grund: Der erste Teiler ...       lint; the reason for it in words)
//   Brett:
//   ####################             (12 rows of 20 characters, one per cell)
//   ...
//   Zelle 3,4: 99                    (one per "?" on the board: a code outside 0-20)
//
// A header may say "Schwerer als: TITEL": the pack is meant to be harder than that one.
//
// Lines beginning with ";" and empty lines are ignored outside the board. A text that
// starts or ends with a blank, starts with a double quote or holds a control character
// is written in double quotes with \" \\ and \xHH (a Windows-1252 byte) escapes.
#pragma once

#include "levels/level.h"

#include <optional>
#include <string>
#include <vector>

namespace lumor {

inline const std::string LevelSourceMagic = "Lumor-Levelquelle 1";

// The board character of each code 0..20 (UTF-8), and the character of other codes.
const std::string& sourceCharOf(int code);
inline const std::string SourceOtherCode = "?";
// The code of a board character, nullopt when it is not in the legend.
std::optional<int> codeOfSourceChar(const std::string& utf8Char);

// A piece of a recorded solution: stock slot 1..8 at (x, y).
struct SourcePiece {
    int slot = 0;
    int x = 0;
    int y = 0;
    bool operator==(const SourcePiece&) const = default;
};

// What a level declares it intends ("Absicht"), each part departing from what a level
// is expected to be: at most 3 distinct minimal placements, the allowance equal to the
// fewest pieces that win, every stocked kind used, no spare piece opening new ways to win,
// no other level close to it, a difficulty in line with its place in the pack.
struct LevelIntent {
    std::optional<int> placements;       // "Lösungen N": at most N minimal placements
    std::vector<int> decoys;             // "Köder ┌ +": stocked slots meant to go unused
    int spare = 0;                       // "Reserve N": the allowance exceeds the minimum by N
    bool spareOpens = false;             // "Reserve öffnet": the spare opens new placements
    std::vector<std::string> similarTo;  // "Ähnlich PASSWORT": meant to be close to that level
    bool teaching = false;               // "Einführung": a lesson, left out of the pack's rise
    bool any() const {
        return placements || !decoys.empty() || spare != 0 || spareOpens || !similarTo.empty() ||
               teaching;
    }
    bool operator==(const LevelIntent&) const = default;
};

struct SourceLevel {
    LevelRecord record;                                // texts in Windows-1252
    std::optional<int> bestLeft;                       // "Bestwert"
    std::optional<std::vector<SourcePiece>> solution;  // "Lösung"
    int line = 0;                                      // line of "Level:" (for messages)
    LevelIntent intent;                                // "Absicht"
    std::string reason;                                // "Grund" (UTF-8)
    bool operator==(const SourceLevel& o) const {
        return record == o.record && bestLeft == o.bestLeft && solution == o.solution &&
               intent == o.intent && reason == o.reason;
    }
};

struct LevelSource {
    PackHeader header;       // Windows-1252
    std::string harderThan;  // "Schwerer als" (UTF-8): the title of an easier pack
    std::vector<SourceLevel> levels;
    std::vector<LevelRecord> records() const;
};

struct LevelSourceResult {
    bool ok = false;
    std::string error;  // UTF-8, "Zeile N: ..." when !ok
    LevelSource source;
};

// Parses a source (UTF-8, LF or CR LF line ends).
LevelSourceResult parseLevelSource(const std::string& utf8);

// Writes a source (UTF-8, LF line ends) with a legend comment at the top. Recorded best
// values and solutions are written when present.
std::string writeLevelSource(const LevelSource& source);
// The source of a pack's contents.
std::string writeLevelSource(const PackHeader& header, const std::vector<LevelRecord>& levels);

}  // namespace lumor
