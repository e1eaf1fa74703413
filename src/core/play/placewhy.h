// Why a left click on the board placed nothing, so the window can say so instead of
// staying silent.
#pragma once

namespace lumor {

class PlayModel;

enum class Refusal {
    None,        // the click placed a piece, or no piece can be placed now at all
    NoPiece,     // no stock slot chosen
    Star,        // a decoration: beams pass, pieces do not go there
    Wall,        // the level's own wall
    Source,      // a source
    Target,      // a target
    LevelPiece,  // a piece the level itself holds
    OwnPiece,    // a piece the player has placed
    SlotEmpty,   // the chosen slot's count is used up
    TotalUsed,   // the total allowed is used up
};

// The reason for a left click on cell (x, y) as the model stands after the click; None
// between levels and during an attempt, where clicks do nothing by design.
Refusal refusalAt(const PlayModel& model, int x, int y);

}  // namespace lumor
