// The beam engine: the rules of a beam run, once. The board window steps it (a cell step,
// then 32 sub-steps, drawing what it reports); the searches run it to its end thousands of
// times a second. What an element does comes from the element table; what the two editions
// do differently comes in as BeamParams.
//
// The board is framed by off-board cells, so a move needs no bounds test, and a run undoes
// only the cells it changed. Whoever runs it passes a sink that hears of every event; the
// searches pass one that does nothing, which the compiler removes.
#pragma once

#include "app/edition.h"
#include "levels/level.h"
#include "play/elements.h"

#include <array>
#include <cstdint>
#include <vector>

namespace lumor {

inline constexpr int SubSteps = 32;

// The sub-steps that change a run: at 14 deflectors turn and beams that met end, at 30 a
// beam in sand steps back. The others only draw.
inline constexpr int TurnSubStep = 14;
inline constexpr int SandSubStep = 30;
// Both of them in one pass, for runs that draw nothing.
inline constexpr int SettleSubSteps = -1;

// The spark counts of the events that differ between the editions.
struct BeamParams {
    int sandSparks = 10;
    int stopSparks = 50;  // a beam stopped or leaving the board
    int targetSparks = 100;
    static BeamParams of(const EditionRules& e) {
        return {e.sandSparks, e.stopSparks, e.targetSparks};
    }
};
inline constexpr int TurnSparks = 5;   // over a deflector as it turns a beam
inline constexpr int MeetSparks = 50;  // over a cell where beams met or a used splitter

// Why a beam ended.
enum class BeamEnd : uint8_t { LeftBoard, Stopped, Taken, UsedSplitter, Collision };

struct BeamResult {
    bool solved = false;  // every beam ended and hits == targets
    int32_t hits = 0;
    int32_t targets = 0;
    int32_t steps = 0;  // cell steps until no beam was left
    bool operator==(const BeamResult&) const = default;
};

// A sink that hears nothing. A sink may hear (each optional in spirit, all required here):
//   stepStarts(step)                  a cell step begins, before the beams move
//   moved(cell, dir, step)            a beam moves into a (padded) cell
//   took(cell, step)                  a target took a beam
//   ended(cell, dir, why)             a beam ended where it stands
//   sideSparks(cell, dir, n, cool)    sparks on the side of the cell the beam came in by
//   cellSparks(cell, n)               sparks over the whole cell
//   sound(index)                      a sound to play
//   visit(s, cell, dir, code)         sub-step s reaches a beam (before its rules); false
//                                     stops the sub-step
struct SilentSink {
    void stepStarts(int) {}
    void moved(int, int, int) {}
    void took(int, int) {}
    void ended(int, int, BeamEnd) {}
    void sideSparks(int, int, int, bool) {}
    void cellSparks(int, int) {}
    void sound(int) {}
    bool visit(int, int, int, int) { return true; }
};

// The engine's code round the board, one past the last code a board may hold.
inline constexpr uint8_t OffBoardCode = EatenSand + 1;

// What a code does to a beam moving `dir` into it.
enum class BeamMove : uint8_t { Pass, Stop, Take, Eat, Leave };
// A splitter's two ways out: the beam turns to `first`, a new beam leaves to `second`.
constexpr int splitFirstWay(int dir) { return dir == Right || dir == Left ? Down : Right; }
constexpr int splitSecondWay(int dir) { return dir == Right || dir == Left ? Up : Left; }

// The rules of each engine code, worked out from the element table once.
struct BeamCodeRules {
    std::array<BeamMove, 5> move{};  // by direction 1..4
    std::array<uint8_t, 5> turn{};   // the direction after the turn in the middle
    std::array<uint8_t, 5> exits{};  // the ways out (bit 1 << dir) of a beam moving in
    bool splits = false;
    bool crosses = false;
    bool eaten = false;  // a beam standing here eats it and steps back at SandSubStep
    SoundIndex sound = SoundNone;
};
constexpr std::array<BeamCodeRules, OffBoardCode + 1> makeBeamCodeRules() {
    std::array<BeamCodeRules, OffBoardCode + 1> t{};
    for (int code = 0; code <= OffBoardCode; ++code) {
        BeamCodeRules& r = t[static_cast<size_t>(code)];
        const Element* e = elementOf(code == EatenSand ? Empty : code);
        for (int dir = Right; dir <= Up; ++dir) {
            const auto d = static_cast<size_t>(dir);
            r.turn[d] = static_cast<uint8_t>(dir);
            if (!e) {
                r.move[d] = BeamMove::Leave;
                continue;
            }
            r.turn[d] = static_cast<uint8_t>(turnedBy(e->code, dir));
            switch (e->effectFrom(dir)) {
                case Effect::Stop:
                    r.move[d] = BeamMove::Stop;
                    break;
                case Effect::Absorb:
                    r.move[d] = BeamMove::Take;
                    break;
                case Effect::Eat:
                    r.move[d] = BeamMove::Eat;
                    break;
                default:
                    r.move[d] = BeamMove::Pass;
                    break;
            }
        }
        if (!e) continue;
        r.splits = e->effectFrom(Right) == Effect::Split;
        r.crosses = e->crossing;
        r.eaten = code == EatenSand || e->effectFrom(Right) == Effect::Eat;
        r.sound = code == EatenSand ? SoundNone : e->sound;
        for (int dir = Right; dir <= Up; ++dir) {
            const auto d = static_cast<size_t>(dir);
            if (r.move[d] != BeamMove::Pass && r.move[d] != BeamMove::Eat) continue;
            r.exits[d] =
                r.splits
                    ? static_cast<uint8_t>((1 << splitFirstWay(dir)) | (1 << splitSecondWay(dir)))
                    : static_cast<uint8_t>(1 << r.turn[d]);
        }
    }
    return t;
}
inline constexpr std::array<BeamCodeRules, OffBoardCode + 1> BeamCodeRuleTable =
    makeBeamCodeRules();

class BeamEngine {
public:
    static constexpr int PadW = BoardWidth + 2;
    static constexpr int PadH = BoardHeight + 2;
    static constexpr int PadCells = PadW * PadH;
    // Every beam comes from a source or a splitter's single split.
    static constexpr int MaxBeams = CellCount;

    // Codes on the engine's board: 0..20 and EatenSand as on a working board, OffBoard round
    // it; a code outside the table (none a level should hold) becomes a decoration.
    static constexpr uint8_t OffBoard = OffBoardCode;
    static constexpr int CodeCount = OffBoard + 1;

    static constexpr int pad(int x, int y) { return (x + 1) + PadW * (y + 1); }
    static constexpr int padX(int p) { return p % PadW - 1; }
    static constexpr int padY(int p) { return p / PadW - 1; }
    static constexpr int delta(int dir) {
        return dir == Right ? 1 : dir == Down ? PadW : dir == Left ? -1 : -PadW;
    }
    static constexpr uint8_t internalCode(int code) {
        if (code == EatenSand) return EatenSand;
        return elementOf(code) ? static_cast<uint8_t>(code) : static_cast<uint8_t>(Decoration1);
    }

    using Move = BeamMove;
    static constexpr int splitFirst(int dir) { return splitFirstWay(dir); }
    static constexpr int splitSecond(int dir) { return splitSecondWay(dir); }
    static constexpr const BeamCodeRules& rulesOf(int code) {
        return BeamCodeRuleTable[static_cast<size_t>(code)];
    }

    static constexpr Move moveInto(int dir, int code) {
        return rulesOf(code).move[static_cast<size_t>(dir)];
    }
    // The directions (bit 1 << dir) in which a beam moving `in` into a cell of this code
    // leaves it, with nothing changed on the board; 0 when it ends there.
    static constexpr uint8_t exits(int code, int in) {
        return rulesOf(code).exits[static_cast<size_t>(in)];
    }
    static constexpr bool splits(int code) { return rulesOf(code).splits; }
    static constexpr bool crosses(int code) { return rulesOf(code).crosses; }
    // Beams standing here are neither drawn nor tested for meeting in the sub-steps.
    static constexpr bool quiet(int code) { return splits(code) || crosses(code); }
    static constexpr bool eaten(int code) { return rulesOf(code).eaten; }

    explicit BeamEngine(BeamParams rules = {}) : rules_(rules) {}
    void setRules(BeamParams rules) { rules_ = rules; }

    // Takes a board; finds the sources (column order) and counts the targets.
    template <class Cells>
    void setBoard(const Cells& cells);
    // Puts a code (a placed piece, or Empty to take it away) on a cell.
    void place(int padIndex, int code) {
        board_[padIndex] = original_[padIndex] = internalCode(code);
    }
    int codeAt(int padIndex) const { return board_[padIndex]; }

    // Starts a run: the board as set and placed, one beam per source, nothing hit.
    void begin();
    // One cell step: moves the beams, applies what they enter, splits and marks the trails,
    // and sounds the step's loudest event. False when no beam is left: the run has ended.
    template <class Sink>
    bool cellStep(Sink& sink);
    // Sub-step s (0..31, or SettleSubSteps) of the current cell step.
    template <class Sink>
    void subStep(int s, Sink& sink);
    // Runs from where it stands to the end, drawing nothing.
    template <class Sink>
    BeamResult runToEnd(Sink& sink);
    // Puts back the sand eaten and clears the trails, so the board is as set and placed.
    void restore();

    bool ended() const { return n_ == 0; }
    BeamResult result() const { return {hits_ == targets_, hits_, targets_, steps_}; }
    int32_t targets() const { return targets_; }
    int32_t hits() const { return hits_; }
    int32_t steps() const { return steps_; }
    int soundLevel() const { return soundLevel_; }
    int sourceCount() const { return static_cast<int>(sourcePos_.size()); }
    int beamCount() const { return n_; }
    int beamCell(int i) const { return pos_[i]; }
    int beamDir(int i) const { return dir_[i]; }
    int trailAt(int padIndex) const { return trail_[padIndex]; }

private:
    template <class Sink>
    void remove(int i, BeamEnd why, Sink& sink) {
        sink.ended(pos_[i], dir_[i], why);
        for (int k = i + 1; k < n_; ++k) {
            pos_[k - 1] = pos_[k];
            dir_[k - 1] = dir_[k];
        }
        --n_;
    }
    void raise(int level) {
        if (soundLevel_ < level) soundLevel_ = level;
    }

    BeamParams rules_;
    std::array<uint8_t, PadCells> board_{};
    std::array<uint8_t, PadCells> original_{};  // as set and placed
    std::array<uint8_t, PadCells> trail_{};
    std::vector<int16_t> sourcePos_;
    std::vector<uint8_t> sourceDir_;
    std::vector<int16_t> touched_;  // cells with a trail mark
    std::vector<int16_t> changed_;  // cells whose code the run changed
    std::array<int16_t, MaxBeams> pos_{};
    std::array<uint8_t, MaxBeams> dir_{};
    int n_ = 0;
    int32_t targets_ = 0;
    int32_t hits_ = 0;
    int32_t steps_ = 0;
    int soundLevel_ = 0;
};

template <class Cells>
void BeamEngine::setBoard(const Cells& cells) {
    board_.fill(OffBoard);
    sourcePos_.clear();
    sourceDir_.clear();
    targets_ = 0;
    for (int x = 0; x < BoardWidth; ++x) {
        for (int y = 0; y < BoardHeight; ++y) {
            const int code = cells[static_cast<size_t>(cellIndex(x, y))];
            board_[pad(x, y)] = internalCode(code);
            if (isSource(code)) {
                sourcePos_.push_back(static_cast<int16_t>(pad(x, y)));
                sourceDir_.push_back(static_cast<uint8_t>(Elements[code].emitsTo));
            } else if (isTarget(code)) {
                ++targets_;
            }
        }
    }
    original_ = board_;
    trail_.fill(0);
    touched_.clear();
    changed_.clear();
    n_ = 0;
}

inline void BeamEngine::restore() {
    for (const int16_t p : touched_) trail_[p] = 0;
    touched_.clear();
    for (const int16_t p : changed_) board_[p] = original_[p];
    changed_.clear();
}

inline void BeamEngine::begin() {
    restore();
    n_ = static_cast<int>(sourcePos_.size());
    for (int i = 0; i < n_; ++i) {
        pos_[i] = sourcePos_[i];
        dir_[i] = sourceDir_[i];
    }
    hits_ = 0;
    steps_ = 0;
    soundLevel_ = 0;
}

template <class Sink>
bool BeamEngine::cellStep(Sink& sink) {
    ++steps_;
    soundLevel_ = 0;
    sink.stepStarts(steps_);

    // Every beam moves one cell and meets what stands there.
    for (int i = 0; i < n_;) {
        const int dir = dir_[i];
        const int p = pos_[i] + delta(dir);
        pos_[i] = static_cast<int16_t>(p);
        sink.moved(p, dir, steps_);
        const uint8_t code = board_[p];
        switch (moveInto(dir, code)) {
            case BeamMove::Pass:
                ++i;
                break;
            case BeamMove::Eat:
                sink.sideSparks(p, dir, rules_.sandSparks, false);
                raise(rulesOf(code).sound);
                ++i;
                break;
            case BeamMove::Take:
                sink.sideSparks(p, dir, rules_.targetSparks, true);
                ++hits_;
                sink.took(p, steps_);
                remove(i, BeamEnd::Taken, sink);
                soundLevel_ = rulesOf(code).sound;
                break;
            case BeamMove::Stop:
            case BeamMove::Leave:
                sink.sideSparks(p, dir, rules_.stopSparks, false);
                remove(i, code == OffBoard ? BeamEnd::LeftBoard : BeamEnd::Stopped, sink);
                raise(SoundWand);
                break;
        }
    }

    // Sand a beam has eaten through is gone once the beam stands in it again.
    for (int i = 0; i < n_; ++i) {
        if (board_[pos_[i]] == EatenSand) {
            board_[pos_[i]] = Empty;
            changed_.push_back(pos_[i]);
        }
    }

    // Splitters split the first beam and stop the next; every other cell but a crossing
    // marks its trail. Beams split off here are not visited in this pass.
    int bound = n_ - 1;
    for (int i = 0; i <= bound; ++i) {
        const int p = pos_[i];
        const uint8_t c = board_[p];
        const bool splitter = splits(c);
        if (splitter && trail_[p] == 0) {
            raise(rulesOf(c).sound);
            pos_[n_] = static_cast<int16_t>(p);
            dir_[n_] = static_cast<uint8_t>(splitSecond(dir_[i]));
            dir_[i] = static_cast<uint8_t>(splitFirst(dir_[i]));
            ++n_;
        }
        if (crosses(c)) {
            raise(rulesOf(c).sound);
        } else if (trail_[p] < 2) {
            if (trail_[p] == 0) touched_.push_back(static_cast<int16_t>(p));
            ++trail_[p];
        }
        if (splitter && trail_[p] == 2) {
            raise(SoundWand);
            sink.cellSparks(p, MeetSparks);
            remove(i, BeamEnd::UsedSplitter, sink);
            --i;
            --bound;
        }
    }

    // One sound for all the step's events.
    if (soundLevel_ > 0) sink.sound(soundLevel_);
    return n_ > 0;
}

template <class Sink>
void BeamEngine::subStep(int s, Sink& sink) {
    const bool turnAndMeet = s == TurnSubStep || s == SettleSubSteps;
    const bool stepBack = s == SandSubStep || s == SettleSubSteps;
    for (int i = 0; i < n_; ++i) {
        const int p = pos_[i];
        const uint8_t c = board_[p];
        if (!sink.visit(s, p, dir_[i], c)) return;
        if (quiet(c)) continue;
        if (turnAndMeet) {
            const uint8_t turned = rulesOf(c).turn[dir_[i]];
            if (turned != dir_[i]) {
                dir_[i] = turned;
                // The turn sounds unless a louder event has: after it only a meeting can.
                if (soundLevel_ < SoundWand) {
                    sink.sound(rulesOf(c).sound);
                    soundLevel_ = SoundWand;
                }
            }
            // Beams that met on this cell end in its middle.
            if (trail_[p] == 2) {
                if (soundLevel_ <= SoundWand) {
                    sink.sound(SoundWand);
                    soundLevel_ = SoundZiel;
                }
                sink.cellSparks(p, MeetSparks);
                remove(i, BeamEnd::Collision, sink);
                --i;
                continue;
            }
        }
        if (stepBack && eaten(c)) {
            // The sand is eaten: the beam steps back and enters the free cell next step.
            if (trail_[p] != 2) trail_[p] = 0;
            if (board_[p] != EatenSand) changed_.push_back(static_cast<int16_t>(p));
            board_[p] = EatenSand;
            pos_[i] = static_cast<int16_t>(p - delta(dir_[i]));
        }
    }
}

template <class Sink>
BeamResult BeamEngine::runToEnd(Sink& sink) {
    while (cellStep(sink)) subStep(SettleSubSteps, sink);
    return result();
}

}  // namespace lumor
