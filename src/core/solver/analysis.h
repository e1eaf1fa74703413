// The designers' measurements of one level: the fewest pieces that win, every distinct
// minimal placement (a set of (cell, piece): identical pieces in another order are the
// same placement), the cells and kinds they share, what the allowance beyond the minimum
// opens, and a difficulty figure. Built on the search over cores, so it is exact.
//
// The difficulty figure ("Aufwand", in bits) is the search effort of a minimal solution
// for a player who builds along the beams: piece after piece, they put some piece still
// in stock on some free cell that the beams of what they have built enter after the cell
// of their last piece. Each such step offers (cells) x (kinds in stock) choices; a minimal
// placement is reached by one path of choices, with probability the product of 1/choices
// along it. The figure is -log2 of the chance that such a player, choosing blindly, ends
// with a minimal placement: a level with one solution needing two pieces out of 20 cells
// and 2 kinds each time scores about 2 * log2(40) = 10.6 bits. It rises with the pieces
// needed, the length of the beams' ways, the kinds in stock (decoys included) and falls
// with the number of solutions; it depends only on the level and the beam rules, not on
// how cleverly a search prunes.
#pragma once

#include "levels/level.h"
#include "play/cells.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace lumor {

// A placed piece: stock slot 1..8 on cell (x, y).
struct PlacedPiece {
    int slot = 0;
    int x = 0;
    int y = 0;
    bool operator==(const PlacedPiece&) const = default;
    // By cell (row, then column), then slot.
    auto operator<=>(const PlacedPiece& o) const {
        if (y != o.y) return y <=> o.y;
        if (x != o.x) return x <=> o.x;
        return slot <=> o.slot;
    }
};
// Sorted: two placements are the same when equal.
using Placement = std::vector<PlacedPiece>;
Placement sortedPlacement(Placement pieces);

struct AnalysisOptions {
    // Search the allowance beyond the minimum for winning placements that contain no
    // minimal one (the editor's live check leaves this out).
    bool spares = true;
    // Minimal placements kept in the result; more are counted, and their cells and kinds
    // still count for the forced cells and unused kinds. The spares search keeps at most
    // as many placements in all (a few MB); where more win, the spares stay unsearched.
    size_t keepPlacements = 20000;
    // No placement of fewer pieces wins (a search before this one found so): the search
    // starts there.
    int fromPieces = 0;
    // Called before each poll: the piece count being searched and the share of that
    // count's search walked (0..1).
    std::function<void(int pieces, double walked)> onProgress;
};

struct LevelAnalysis {
    bool ok = true;        // false: refused (message says why)
    std::string message;   // Windows-1252
    bool stopped = false;  // the poll stopped it: nothing below is complete

    int allowance = 0;                       // stock index 0
    std::array<int, SlotCount + 1> stock{};  // slots 1..8 (negative counts as 0)
    int freeCells = 0;
    bool bareWins = false;  // the board wins without any piece

    int fewest = -1;    // pieces of a minimal placement; -1: no placement within the allowance wins
    int bestLeft = -1;  // allowance - fewest: the finder's best number of pieces left
    bool solvable() const { return fewest >= 0; }

    uint64_t placementCount = 0;              // distinct minimal placements
    std::vector<Placement> placements;        // the first keepPlacements of them
    std::vector<std::pair<int, int>> forced;  // cells (x, y) in every minimal placement
    std::vector<int> unusedKinds;             // stocked slots no minimal placement uses

    // Winning placements with more pieces than the minimum, within the allowance and the
    // stock, that contain no minimal placement and no smaller winning placement: what the
    // spare pieces open. Only searched with AnalysisOptions::spares.
    bool sparesSearched = false;
    uint64_t spareOpened = 0;
    Placement spareExample;  // one of them

    double difficulty = 0;  // bits, see above; 0 when not solvable
};

// Analyses a level. poll runs every few hundred search steps; true stops the analysis.
LevelAnalysis analyseLevel(const LevelRecord& level, const AnalysisOptions& options = {},
                           const std::function<bool()>& poll = {});

// The difficulty figure of a set of minimal placements of a level (see above).
double placementDifficulty(const LevelRecord& level, const std::vector<Placement>& placements);

// Cells in which two boards differ; the four star pictures count as one kind of cell.
int boardDistance(const LevelRecord& a, const LevelRecord& b);

}  // namespace lumor
