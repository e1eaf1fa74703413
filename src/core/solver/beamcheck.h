// The beam check of the solution finder: the board window's beam rules run to their
// result in one call, on a board framed by off-board cells so a move needs no bounds test.
// The sources are found once per board; a run undoes only the cells it changed.
#pragma once

#include "levels/level.h"

#include <array>
#include <cstdint>
#include <utility>
#include <vector>

namespace lumor {

struct BeamResult {
    bool solved = false;  // every beam ended and hits == targets
    int32_t hits = 0;
    int32_t targets = 0;
    int32_t steps = 0;  // cell steps until no beam was left
    bool operator==(const BeamResult&) const = default;
};

class BeamChecker {
public:
    static constexpr int PadW = BoardWidth + 2;
    static constexpr int PadH = BoardHeight + 2;
    static constexpr int PadCells = PadW * PadH;
    static constexpr int MaxBeams = 1001;

    // Internal codes: 0..20 as on the board; everything a beam passes without effect
    // (decorations, unknown codes, a stray 98/99 in a level) becomes Decoration1.
    static constexpr uint8_t OffBoard = 21;
    static constexpr uint8_t Eaten = 22;
    static constexpr int CodeCount = 23;

    static constexpr int pad(int x, int y) { return (x + 1) + PadW * (y + 1); }
    static constexpr int padX(int p) { return p % PadW - 1; }
    static constexpr int padY(int p) { return p / PadW - 1; }
    static uint8_t internalCode(int code);

    // Takes a level's cells; finds the sources (column order) and counts the targets.
    void setBoard(const std::array<int16_t, CellCount>& cells);
    void setBoard(const std::array<int32_t, CellCount>& cells);

    // Puts a code (a placed piece, or Empty to take it away) on a cell.
    void place(int padIndex, int code) { board_[padIndex] = internalCode(code); }
    int codeAt(int padIndex) const { return board_[padIndex]; }

    // Runs the beams to their end. The board is the same afterwards.
    BeamResult run() { return runImpl<false>(); }
    // The same, also recording every board cell a beam moves into, in the order of the
    // first move into it. A cell no beam moves into has its code never read: a piece put
    // there leaves the run unchanged.
    // With captureStep > 0 it also keeps the beams (cell, direction) as they stand at the
    // start of that cell step, before they move.
    BeamResult runMarking(int captureStep = 0) {
        captureStep_ = captureStep;
        return runImpl<true>();
    }
    bool entered(int padIndex) const { return entered_[padIndex] != 0; }
    // Cells moved into by the last marking run, in first-entry order, with the cell step
    // of that first entry.
    const std::vector<int16_t>& enteredOrder() const { return enteredList_; }
    const std::vector<int32_t>& enteredStep() const { return enteredStep_; }
    // The direction of the beam that first entered each of those cells.
    const std::vector<uint8_t>& enteredDir() const { return enteredDir_; }
    // Targets hit by the last marking run: (cell, cell step), in order.
    const std::vector<std::pair<int16_t, int32_t>>& hitsMade() const { return hitList_; }
    const std::vector<std::pair<int16_t, uint8_t>>& captured() const { return captured_; }

    int32_t targets() const { return targets_; }
    int sourceCount() const { return static_cast<int>(sourcePos_.size()); }

private:
    template <bool Mark>
    BeamResult runImpl();

    std::array<uint8_t, PadCells> board_{};
    std::vector<int16_t> sourcePos_;
    std::vector<uint8_t> sourceDir_;
    int32_t targets_ = 0;

    std::array<int16_t, MaxBeams> beamPos_{};
    std::array<uint8_t, MaxBeams> beamDir_{};
    std::array<uint8_t, PadCells> trail_{};
    std::array<uint8_t, PadCells> entered_{};
    std::vector<int16_t> touched_;
    std::vector<int16_t> eaten_;
    std::vector<int16_t> enteredList_;
    std::vector<int32_t> enteredStep_;
    std::vector<uint8_t> enteredDir_;
    std::vector<std::pair<int16_t, int32_t>> hitList_;
    std::vector<std::pair<int16_t, uint8_t>> captured_;
    int captureStep_ = 0;
};

}  // namespace lumor
