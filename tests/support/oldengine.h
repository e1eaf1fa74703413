// The beam rules as they stood before the beam engine: the board window's steppable run and
// the searches' checker, kept only to show that the engine behaves the same step for step.
#pragma once

#include "play/beamrun.h"

#include <span>
#include <utility>

namespace lumor::old {

constexpr bool isSource(int code) { return code >= 1 && code <= 4; }
constexpr bool isTarget(int code) { return code >= 5 && code <= 8; }
constexpr bool isDeflector(int code) { return code >= 11 && code <= 14; }
constexpr bool isDecoration(int code) { return code >= 17 && code <= 20; }

// Stock slots 1..8 are placed as code slot + 8.
inline constexpr int SlotCount = 8;
constexpr int codeOfSlot(int slot) { return slot + 8; }
constexpr int slotOfCode(int code) { return code - 8; }
constexpr bool isPlaceable(int code) { return code >= 9 && code <= 16; }

// What a cell does to a beam entering it in a direction (the move of a cell step).

constexpr lumor::Entry entryOf(int dir, int code) {
    if (code == Sand) return lumor::Entry::EnterSand;
    if (isTarget(code)) return code - 4 == dir ? lumor::Entry::Take : lumor::Entry::Stop;
    if (isSource(code) || code == Wall) return lumor::Entry::Stop;
    switch (code) {
        case DeflectorRightDown:
            return (dir == Right || dir == Down) ? lumor::Entry::Stop : lumor::Entry::Pass;
        case DeflectorLeftDown:
            return (dir == Right || dir == Up) ? lumor::Entry::Pass : lumor::Entry::Stop;
        case DeflectorLeftUp:
            return (dir == Right || dir == Down) ? lumor::Entry::Pass : lumor::Entry::Stop;
        case DeflectorRightUp:
            return (dir == Left || dir == Down) ? lumor::Entry::Pass : lumor::Entry::Stop;
        default:
            return lumor::Entry::Pass;
    }
}

// The direction after a deflector's turn (only for the two open sides).
constexpr int turnedBy(int code, int dir) {
    switch (code) {
        case DeflectorRightDown:
            return dir == Left ? Down : dir == Up ? Right : dir;
        case DeflectorLeftDown:
            return dir == Right ? Down : dir == Up ? Left : dir;
        case DeflectorLeftUp:
            return dir == Right ? Up : dir == Down ? Left : dir;
        case DeflectorRightUp:
            return dir == Left ? Up : dir == Down ? Right : dir;
        default:
            return dir;
    }
}

class BeamRun {
public:
    // Sources plus splitters (each splits once) can never exceed the board's cells.
    static constexpr int MaxBeams = CellCount;

    BeamRun();

    // Start of an attempt: copies the board into the model and into saved.Cells, the nine
    // live stock counts (index 0 the total, 1..8 the slots) into saved.Stock[0..8], creates
    // one beam per source in column-major order, counts the targets, and asks for sound 0.
    const StepOutput& start(const WorkingBoard& board, const std::array<int, 9>& liveStock,
                            LevelRecord& saved);
    // The same without a saved record (tools and tests).
    const StepOutput& start(const WorkingBoard& board);
    // Convenience: the level's cells as the working board.
    static WorkingBoard boardOf(const LevelRecord& level);

    // One cell step: moves every beam, applies the cells' rules, splits, marks the
    // trails, asks for at most one sound. When no beam is left it decides the run:
    // state() becomes BeamWon or BeamFailed and finished() true; no sub-steps follow.
    const StepOutput& cellStep();

    // Sub-step s (0..31) of the current cell step: the drawings, the deflector turns, the
    // lenk and wand sounds, the collisions at s = 14 and the sand step-back at s = 30.
    // Stops at the first beam it visits while state() is BeamClosing (output.closing).
    const StepOutput& subStep(int s);

    // Whether the window waits 12 ms after sub-step s.
    static constexpr bool waitsAfter(int s, bool turbo, bool turboFaster) {
        if (!turbo) return true;
        if (s == 30) return true;
        return !turboFaster && (s == 6 || s == 14 || s == 22);
    }

    // Plays the attempt started last to its end, with no drawing (sounds collected when
    // asked, the start sound included). Starts from the current state: call after start().
    RunResult runToEnd(std::vector<int>* sounds = nullptr);
    // start(board) and runToEnd() in one.
    RunResult run(const WorkingBoard& board, std::vector<int>* sounds = nullptr);

    // BeamState: the window sets BeamPaused, BeamRunning, BeamFailed (cancel) or BeamClosing.
    int state() const { return state_; }
    void setState(int s) { state_ = s; }
    // The run has decided its outcome (no beam left).
    bool finished() const { return finished_; }

    int hits() const { return hits_; }
    int targets() const { return targets_; }
    int cellSteps() const { return cellSteps_; }
    int soundLevel() const { return soundLevel_; }
    std::span<const Beam> beams() const { return {beams_.data(), static_cast<size_t>(upper_ + 1)}; }
    const WorkingBoard& board() const { return board_; }
    int32_t cell(int x, int y) const { return board_[static_cast<size_t>(cellIndex(x, y))]; }
    int32_t trailMark(int x, int y) const { return trail_[static_cast<size_t>(cellIndex(x, y))]; }

private:
    void WegLumor(int& nr, BeamEnd why);
    void addBeam(int x, int y, int dir);
    void spark(int count, int x1, int y1, int x2, int y2, bool cool);
    void sideSpark(const Beam& b, int count, bool cool);
    void cellSpark(int x, int y, int count);
    void draw(DrawKind kind, int x1, int y1, int x2, int y2, int picture = 0);
    void sound(int index);

    WorkingBoard board_{};
    std::array<int32_t, CellCount> trail_{};
    std::array<Beam, MaxBeams> beams_{};
    int upper_ = -1;  // live beams - 1
    int targets_ = 0;
    int hits_ = 0;
    int soundLevel_ = 0;
    int state_ = BeamRunning;
    int cellSteps_ = 0;
    bool finished_ = false;
    bool record_ = true;  // false while runToEnd plays without drawing
    std::vector<int>* soundLog_ = nullptr;
    StepOutput out_;
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

}  // namespace lumor::old
