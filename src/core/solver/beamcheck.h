// The searches' face of the beam engine: a board set once, pieces put on and taken off,
// and runs to the end that leave the board as it was. A marking run also records where
// the beams went, which the searches use to skip arrangements that cannot change a run.
#pragma once

#include "levels/level.h"
#include "play/beamengine.h"

#include <array>
#include <cstdint>
#include <utility>
#include <vector>

namespace lumor {

class BeamChecker : public BeamEngine {
public:
    // Takes a board; finds the sources (column order) and counts the targets.
    template <class Cells>
    void setBoard(const Cells& cells) {
        BeamEngine::setBoard(cells);
        for (const int16_t p : enteredList_) entered_[p] = 0;
        enteredList_.clear();
    }

    // Runs the beams to their end. The board is the same afterwards.
    BeamResult run();
    // The same, also recording every board cell a beam moves into, in the order of the
    // first move into it. A cell no beam moves into has its code never read: a piece put
    // there leaves the run unchanged.
    // With captureStep > 0 it also keeps the beams (cell, direction) as they stand at the
    // start of that cell step, before they move.
    BeamResult runMarking(int captureStep = 0);
    bool entered(int padIndex) const { return entered_[padIndex] != 0; }
    // Cells moved into by the last marking run, in first-entry order, with the cell step
    // of that first entry.
    const std::vector<int16_t>& enteredOrder() const { return enteredList_; }
    const std::vector<int32_t>& enteredStep() const { return enteredStep_; }
    // The direction of the beam that first entered each of those cells.
    const std::vector<uint8_t>& enteredDir() const { return enteredDir_; }
    // The first and second moves into a cell are numbered as they happen: the number of
    // each first entry above, and the second entries (cell, cell step, number) in order.
    struct SecondEntry {
        int16_t cell;
        int32_t step;
        int32_t number;
    };
    const std::vector<int32_t>& enteredNumber() const { return enteredNumber_; }
    const std::vector<SecondEntry>& secondEntries() const { return secondList_; }
    // Targets hit by the last marking run: (cell, cell step), in order.
    const std::vector<std::pair<int16_t, int32_t>>& hitsMade() const { return hitList_; }
    const std::vector<std::pair<int16_t, uint8_t>>& captured() const { return captured_; }

private:
    struct Marking;

    std::array<uint8_t, PadCells> entered_{};
    std::vector<int16_t> enteredList_;
    std::vector<int32_t> enteredStep_;
    std::vector<uint8_t> enteredDir_;
    std::vector<int32_t> enteredNumber_;
    std::vector<SecondEntry> secondList_;
    std::vector<std::pair<int16_t, int32_t>> hitList_;
    std::vector<std::pair<int16_t, uint8_t>> captured_;
};

}  // namespace lumor
