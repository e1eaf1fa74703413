// The beam run of one attempt as a steppable model. The board window drives it: one
// cellStep() followed by subStep(0) .. subStep(31), waiting where waitsAfter() says,
// until state() is no longer BeamRunning. Every call reports what the window must do
// (draw, sound, spawn sparks) as data; the model itself draws nothing and never waits.
//
//   run.start(board, liveStock, saved);      // play output: sound 0
//   while (run.state() == BeamRunning) {
//       const StepOutput& c = run.cellStep();  // sound, sparks; may end the run
//       if (run.finished()) break;
//       for (int s = 0; s < SubSteps; ++s) {
//           // particle erase pass (OptParticles on, turbo off)
//           const StepOutput& o = run.subStep(s);
//           if (o.closing) -> close the window, draw nothing more
//           // draws, sounds, sparks; particle move-and-draw pass
//           if (BeamRun::waitsAfter(s, turbo, turboFaster)) -> wait 12 ms
//           // while state() == BeamPaused: handle events
//       }
//   }
#pragma once

#include "levels/level.h"
#include "play/beamengine.h"
#include "play/cells.h"
#include "play/particles.h"

#include <array>
#include <cstdint>
#include <vector>

namespace lumor {

// The values of BeamState, through which the game flow pauses, cancels or closes a run.
enum BeamStateValue : int {
    BeamRunning = 0,  // or idle
    BeamPaused = -1,
    BeamFailed = 1,   // failed or cancelled
    BeamClosing = 2,  // the window is being closed
    BeamWon = 3,
};

// The working board: one code per cell, index cellIndex(x, y).
using WorkingBoard = std::array<int32_t, CellCount>;

struct Beam {
    int16_t x = 0, y = 0;
    int16_t dir = Right;
    bool operator==(const Beam&) const = default;
};

struct RemovedBeam {
    Beam beam;  // where it stood when it ended (off the board for LeftBoard)
    BeamEnd why;
    bool operator==(const RemovedBeam&) const = default;
};

// One drawing on the board picture, in board pixels, in the pen colour (yellow) for
// boxes and lines.
//   Box:         filled box with the opposite corners (x1, y1) and (x2, y2), both
//                included; the corners are given as they come, not ordered.
//   Line:        straight line from (x1, y1) to (x2, y2).
//   Tile:        copy skin tile `picture` (a CellCode 0..20) with its top-left at (x1, y1);
//                (x2, y2) is the tile's bottom-right pixel.
//   SandPicture: the same with sand picture `picture` (0..3).
enum class DrawKind : uint8_t { Box, Line, Tile, SandPicture };

struct DrawOp {
    DrawKind kind = DrawKind::Box;
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    int picture = 0;
    bool operator==(const DrawOp&) const = default;
};

// What one call asks of the window, in the order it happened. The vectors are owned by
// the BeamRun and reused from call to call (valid until the next call).
struct StepOutput {
    std::vector<int> sounds;           // sound indexes to play, in order
    std::vector<SparkRequest> sparks;  // Addpartikel calls, in order
    std::vector<DrawOp> draws;         // drawings, in order (sub-steps only)
    std::vector<RemovedBeam> removed;  // beams that ended
    bool closing = false;  // subStep met BeamState 2 and stopped: close, draw nothing more

    void clear() {
        sounds.clear();
        sparks.clear();
        draws.clear();
        removed.clear();
        closing = false;
    }
};

// Outcome of a run played through without drawing.
struct RunResult {
    int state = BeamRunning;  // BeamWon or BeamFailed
    int hits = 0;
    int targets = 0;
    int cellSteps = 0;  // cell steps made, counting the last one, which finds no beam left
    bool won() const { return state == BeamWon; }
};

class BeamRun {
public:
    static constexpr int MaxBeams = BeamEngine::MaxBeams;

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

    int hits() const { return engine_.hits(); }
    int targets() const { return engine_.targets(); }
    int cellSteps() const { return engine_.steps(); }
    int soundLevel() const { return engine_.soundLevel(); }
    // The live beams, in the engine's order (valid until the next call).
    const std::vector<Beam>& beams() const;
    // The working board as the run has changed it: sand being eaten is EatenSand, eaten
    // sand Empty.
    WorkingBoard board() const;
    int32_t cell(int x, int y) const;
    int32_t trailMark(int x, int y) const { return engine_.trailAt(BeamEngine::pad(x, y)); }

private:
    struct Drawing;
    void decide();

    BeamEngine engine_;
    WorkingBoard board_{};  // as started
    int state_ = BeamRunning;
    bool finished_ = false;
    StepOutput out_;
    mutable std::vector<Beam> beamList_;
};

}  // namespace lumor
