#include "play/beamrun.h"

namespace lumor {

namespace {

constexpr size_t at(int x, int y) { return static_cast<size_t>(cellIndex(x, y)); }

}  // namespace

// What the window is asked to do: the engine's events as StepOutput, and the drawing of
// each beam as the sub-steps reach it. Off when a run is played through without drawing.
struct BeamRun::Drawing {
    BeamRun& run;
    bool record;
    std::vector<int>* soundLog = nullptr;

    void stepStarts(int) {}
    void moved(int, int, int) {}
    void took(int, int) {}
    void ended(int p, int dir, BeamEnd why) {
        if (record) run.out_.removed.push_back({beamAt(p, dir), why});
    }
    // The side of the cell that faces where the beam came from; for a beam that has left
    // the board this is the board edge of the cell it left.
    void sideSparks(int p, int dir, int count, bool cool) {
        const int px = CellPixels * BeamEngine::padX(p), py = CellPixels * BeamEngine::padY(p);
        switch (dir) {
            case Right:
                spark(count, px, py, px, py + CellPixels, cool);
                break;
            case Down:
                spark(count, px, py, px + CellPixels, py, cool);
                break;
            case Left:
                spark(count, px + CellPixels, py, px + CellPixels, py + CellPixels, cool);
                break;
            default:
                spark(count, px, py + CellPixels, px + CellPixels, py + CellPixels, cool);
                break;
        }
    }
    void cellSparks(int p, int count) {
        const int px = CellPixels * BeamEngine::padX(p), py = CellPixels * BeamEngine::padY(p);
        spark(count, px, py, px + CellPixels, py + CellPixels, false);
    }
    void sound(int index) {
        if (record) run.out_.sounds.push_back(index);
        if (soundLog) soundLog->push_back(index);
    }
    bool visit(int s, int p, int dir, int code) {
        if (run.state_ == BeamClosing) {
            run.out_.closing = true;
            return false;
        }
        if (record && !BeamEngine::quiet(code)) draw(s, p, dir, code);
        return true;
    }

    static Beam beamAt(int p, int dir) {
        return Beam{static_cast<int16_t>(BeamEngine::padX(p)),
                    static_cast<int16_t>(BeamEngine::padY(p)), static_cast<int16_t>(dir)};
    }
    void spark(int count, int x1, int y1, int x2, int y2, bool cool) {
        if (record) run.out_.sparks.push_back({count, x1, y1, x2, y2, cool});
    }
    void op(DrawKind kind, int x1, int y1, int x2, int y2, int picture = 0) {
        run.out_.draws.push_back({kind, x1, y1, x2, y2, picture});
    }
    void draw(int s, int p, int dir, int c);
    void turnDraw(int s, int p, int dir, int c);
};

void BeamRun::Drawing::draw(int s, int p, int dir, int c) {
    const int px = CellPixels * BeamEngine::padX(p), py = CellPixels * BeamEngine::padY(p);
    if (BeamEngine::eaten(c)) {
        if (s == 0 || s == 8 || s == 16 || s == 24)
            op(DrawKind::SandPicture, px, py, px + CellPixels - 1, py + CellPixels - 1, s / 8);
        else if (s == SandSubStep)
            op(DrawKind::Tile, px, py, px + CellPixels - 1, py + CellPixels - 1, Empty);
    } else if (isDeflector(c) && s >= 12 && s <= 18) {
        turnDraw(s, p, dir, c);
    } else {
        // The beam's front moves one pixel on.
        switch (dir) {
            case Right:
                op(DrawKind::Box, px + s, py + 14, px + s + 1, py + 18);
                break;
            case Down:
                op(DrawKind::Box, px + 14, py + s, px + 18, py + s + 1);
                break;
            case Left:
                op(DrawKind::Box, px + 31 - s, py + 14, px + 30 - s, py + 18);
                break;
            default:
                op(DrawKind::Box, px + 14, py + 31 - s, px + 18, py + 30 - s);
                break;
        }
    }
}

// A deflector draws the band to the middle (before the turn at 14), a wedge in its corner
// and the band out of the middle (after the turn).
void BeamRun::Drawing::turnDraw(int s, int p, int dir, int c) {
    const int px = CellPixels * BeamEngine::padX(p), py = CellPixels * BeamEngine::padY(p);
    const auto towardsMiddleFromLeft = [&] {
        op(DrawKind::Box, px + 12, py + 14, px + 12, py + 18);
        op(DrawKind::Box, px + 13, py + 14, px + 13, py + 17);
    };
    if (s == 12 || s == 18) {
        // Seen from the middle, a beam coming in moving right and one going out moving left
        // touch the same side.
        const int side = s == 12 ? dir : (dir + 1) % 4 + 1;
        switch (side) {
            case Right:
                towardsMiddleFromLeft();
                break;
            case Down:
                op(DrawKind::Box, px + 14, py + 12, px + 18, py + 12);
                break;
            case Left:
                op(DrawKind::Box, px + 19, py + 14, px + 19, py + 18);
                break;
            default:
                op(DrawKind::Box, px + 14, py + 19, px + 18, py + 19);
                break;
        }
    } else if (s == 16) {
        cellSparks(p, TurnSparks);
        for (int n = (c == DeflectorLeftUp ? 1 : 0); n <= 5; ++n) {
            switch (c) {
                case DeflectorRightDown:
                    op(DrawKind::Line, px + 18 - n, py + 18, px + 18 - n, py + 13 + n);
                    break;
                case DeflectorLeftDown:
                    op(DrawKind::Line, px + 13 + n, py + 18, px + 13 + n, py + 13 + n);
                    break;
                case DeflectorLeftUp:
                    op(DrawKind::Line, px + 13 + n, py + 13, px + 13 + n, py + 18 - n);
                    break;
                default:
                    op(DrawKind::Line, px + 18 - n, py + 13, px + 18 - n, py + 18 - n);
                    break;
            }
        }
    }
}

BeamRun::BeamRun() {
    // Reserved once so that a run never allocates: a sub-step draws at most six lines and
    // asks for at most two sparks per beam.
    out_.sounds.reserve(8);
    out_.sparks.reserve(2 * MaxBeams + 16);
    out_.draws.reserve(6 * MaxBeams + 16);
    out_.removed.reserve(MaxBeams + 16);
}

WorkingBoard BeamRun::boardOf(const LevelRecord& level) {
    WorkingBoard b{};
    for (int i = 0; i < CellCount; ++i)
        b[static_cast<size_t>(i)] = level.Cells[static_cast<size_t>(i)];
    return b;
}

const StepOutput& BeamRun::start(const WorkingBoard& board, const std::array<int, 9>& liveStock,
                                 LevelRecord& saved) {
    for (size_t i = 0; i < liveStock.size(); ++i)
        saved.Stock[i] = static_cast<int16_t>(liveStock[i]);
    start(board);
    for (int i = 0; i < CellCount; ++i)
        saved.Cells[static_cast<size_t>(i)] = static_cast<int16_t>(board[static_cast<size_t>(i)]);
    return out_;
}

const StepOutput& BeamRun::start(const WorkingBoard& board) {
    out_.clear();
    state_ = BeamRunning;
    finished_ = false;
    board_ = board;
    engine_.setRules(BeamParams::of(edition()));
    engine_.setBoard(board);
    engine_.begin();
    out_.sounds.push_back(SoundStart);
    return out_;
}

void BeamRun::decide() {
    finished_ = true;
    state_ = engine_.result().solved ? BeamWon : BeamFailed;
}

const StepOutput& BeamRun::cellStep() {
    out_.clear();
    if (finished_) return out_;
    Drawing d{*this, true};
    if (!engine_.cellStep(d)) decide();
    return out_;
}

const StepOutput& BeamRun::subStep(int s) {
    out_.clear();
    Drawing d{*this, true};
    engine_.subStep(s, d);
    return out_;
}

RunResult BeamRun::runToEnd(std::vector<int>* sounds) {
    // The start sound was asked for by start(); report it here too.
    if (sounds && engine_.steps() == 0 && !finished_) sounds->push_back(SoundStart);
    Drawing d{*this, false, sounds};
    while (state_ == BeamRunning) {
        if (!engine_.cellStep(d)) {
            decide();
            break;
        }
        engine_.subStep(SettleSubSteps, d);
    }
    return RunResult{state_, engine_.hits(), engine_.targets(), engine_.steps()};
}

RunResult BeamRun::run(const WorkingBoard& board, std::vector<int>* sounds) {
    start(board);
    return runToEnd(sounds);
}

const std::vector<Beam>& BeamRun::beams() const {
    beamList_.clear();
    for (int i = 0; i < engine_.beamCount(); ++i)
        beamList_.push_back(Drawing::beamAt(engine_.beamCell(i), engine_.beamDir(i)));
    return beamList_;
}

int32_t BeamRun::cell(int x, int y) const {
    // The engine keeps the codes of the table; any other code stays as the board had it.
    const int code = engine_.codeAt(BeamEngine::pad(x, y));
    const int32_t was = board_[at(x, y)];
    return code == BeamEngine::internalCode(was) ? was : code;
}

WorkingBoard BeamRun::board() const {
    WorkingBoard b{};
    for (int x = 0; x < BoardWidth; ++x)
        for (int y = 0; y < BoardHeight; ++y) b[at(x, y)] = cell(x, y);
    return b;
}

}  // namespace lumor
