#include "play/placewhy.h"

#include "play/cells.h"
#include "play/playmodel.h"

namespace lumor {

Refusal refusalAt(const PlayModel& model, int x, int y) {
    if (!model.hasLevel() || model.phase() != AttemptPhase::Idle) return Refusal::None;
    if (x < 0 || y < 0 || x >= BoardWidth || y >= BoardHeight) return Refusal::None;
    const int slot = model.selectedSlot();
    if (slot < 1 || slot > SlotCount) return Refusal::NoPiece;
    const int code = model.cell(x, y);
    if (code != Empty) {
        if (isDecoration(code)) return Refusal::Star;
        if (isSource(code)) return Refusal::Source;
        if (isTarget(code)) return Refusal::Target;
        if (model.stored().cell(x, y) != code) return Refusal::OwnPiece;
        return code == Wall ? Refusal::Wall : Refusal::LevelPiece;
    }
    if (model.stock(slot) <= 0) return Refusal::SlotEmpty;
    if (model.stock(0) <= 0) return Refusal::TotalUsed;
    return Refusal::None;
}

}  // namespace lumor
