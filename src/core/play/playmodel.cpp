#include "play/playmodel.h"

#include "app/edition.h"

namespace lumor {

void PlayModel::open(int startLevel) {
    level_ = startLevel;
    selected_ = -1;
}

bool PlayModel::hasLevel() const { return level_ >= 0 && level_ < levels().count(); }

const LevelRecord& PlayModel::stored() const { return levels()[level_]; }

void PlayModel::beginLevel() {
    phase_ = AttemptPhase::Intro;
    board_ = BeamRun::boardOf(stored());
    hints_ = 0;
}

LevelRecord PlayModel::asPlaced() const {
    LevelRecord r = stored();
    for (size_t i = 0; i < r.Cells.size(); ++i) r.Cells[i] = static_cast<int16_t>(board_[i]);
    for (size_t i = 0; i < stock_.size(); ++i) r.Stock[i] = static_cast<int16_t>(stock_[i]);
    return r;
}

void PlayModel::buildLevel() {
    saved_ = stored();
    refill();
}

void PlayModel::refill() {
    for (size_t i = 0; i < stock_.size(); ++i) stock_[i] = saved_.Stock[i];
    phase_ = AttemptPhase::Idle;
    placedOrder_.clear();
}

PlayModel::Placed PlayModel::place(int x, int y) {
    Placed result;
    if (selected_ < 0 || !hasLevel()) return result;
    const int s = selected_;
    int32_t& code = board_[static_cast<size_t>(cellIndex(x, y))];
    if (stock_[0] > 0 && stock_[static_cast<size_t>(s)] > 0 && code == Empty) {
        code = codeOfSlot(s);
        --stock_[0];
        --stock_[static_cast<size_t>(s)];
        result.placed = true;
        placedOrder_.push_back(cellIndex(x, y));
    }
    // Also when nothing was placed: the click finds the stock used up.
    result.autostart = opt(OptAutostart) && stock_[0] == 0;
    return result;
}

PlayModel::Taken PlayModel::takeBack(int x, int y, bool needsSlot) {
    Taken result;
    result.x = x;
    result.y = y;
    if ((needsSlot && selected_ < 0) || !hasLevel() || attemptRunning()) return result;
    const int stored = this->stored().cell(x, y);
    int32_t& code = board_[static_cast<size_t>(cellIndex(x, y))];
    // Only the player's own pieces differ from the level as stored.
    if (code == stored || !isPlaceable(code)) return result;
    const int slot = slotOfCode(code);
    ++stock_[0];
    ++stock_[static_cast<size_t>(slot)];
    if (opt(OptGameRightClickTakes)) selected_ = slot;
    code = stored;
    result.taken = true;
    result.code = stored;
    std::erase(placedOrder_, cellIndex(x, y));
    return result;
}

PlayModel::Taken PlayModel::undo() {
    if (phase_ != AttemptPhase::Idle || placedOrder_.empty()) return {};
    const int i = placedOrder_.back();
    const int selected = selected_;
    const Taken taken = takeBack(i % BoardWidth, i / BoardWidth, false);
    selected_ = selected;
    return taken;
}

StartAction PlayModel::pressStart() {
    if (!attemptRunning()) return StartAction::Start;
    if (BeamState != BeamRunning) {
        BeamState = BeamRunning;
        phase_ = AttemptPhase::Running;
        return StartAction::Resume;
    }
    BeamState = BeamPaused;
    phase_ = AttemptPhase::Paused;
    return StartAction::Pause;
}

bool PlayModel::pressRetry() {
    if (attemptRunning()) {
        BeamState = BeamFailed;
        return false;
    }
    selected_ = -1;
    if (!hasLevel()) return false;
    placedOrder_.clear();
    if (!edition().retryRefillsStock) {
        // The earlier release: the pieces go, the counts stay as they are.
        board_ = BeamRun::boardOf(stored());
        phase_ = AttemptPhase::Idle;
        return true;
    }
    saved_ = stored();
    board_ = BeamRun::boardOf(saved_);
    refill();
    return true;
}

const StepOutput& PlayModel::startAttempt() {
    BeamState = BeamRunning;
    phase_ = AttemptPhase::Running;
    selected_ = -1;
    placedOrder_.clear();
    return run_.start(board_, stock_, saved_);
}

AfterVictory PlayModel::advance() {
    ++level_;
    if (level_ < Levels::Capacity && !levels().isEndMarker(level_)) return AfterVictory::NextLevel;
    return finalMessage_.empty() ? AfterVictory::End : AfterVictory::FinalMessage;
}

void PlayModel::restoreAfterFailure() {
    if (edition().alwaysResetAfterFailure || opt(OptResetAfterFailure)) saved_ = stored();
    board_ = BeamRun::boardOf(saved_);
}

}  // namespace lumor
