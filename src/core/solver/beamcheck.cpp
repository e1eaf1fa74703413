#include "solver/beamcheck.h"

#include "play/cells.h"

namespace lumor {

namespace {

enum Move : uint8_t { MovePass, MoveStop, MoveTake };

constexpr std::array<int, 5> Delta = {0, 1, BeamChecker::PadW, -1, -BeamChecker::PadW};

// What a move into a cell does, by direction and internal code.
constexpr std::array<std::array<uint8_t, BeamChecker::CodeCount>, 5> makeMoveTable() {
    std::array<std::array<uint8_t, BeamChecker::CodeCount>, 5> t{};
    for (int dir = 1; dir <= 4; ++dir) {
        for (int code = 0; code < BeamChecker::CodeCount; ++code) {
            if (code == BeamChecker::OffBoard) {
                t[dir][code] = MoveStop;
                continue;
            }
            if (code == BeamChecker::Eaten) {
                t[dir][code] = MovePass;
                continue;
            }
            switch (entryOf(dir, code)) {
                case Entry::Stop:
                    t[dir][code] = MoveStop;
                    break;
                case Entry::Take:
                    t[dir][code] = MoveTake;
                    break;
                default:
                    t[dir][code] = MovePass;
                    break;  // sand holds the beam: it stands there
            }
        }
    }
    return t;
}
constexpr auto MoveTable = makeMoveTable();

constexpr std::array<std::array<uint8_t, 5>, BeamChecker::CodeCount> makeTurnTable() {
    std::array<std::array<uint8_t, 5>, BeamChecker::CodeCount> t{};
    for (int code = 0; code < BeamChecker::CodeCount; ++code)
        for (int dir = 0; dir <= 4; ++dir) t[code][dir] = static_cast<uint8_t>(turnedBy(code, dir));
    return t;
}
constexpr auto TurnTable = makeTurnTable();

}  // namespace

uint8_t BeamChecker::internalCode(int code) {
    if (code >= 0 && code <= 20) return static_cast<uint8_t>(code);
    return Decoration1;
}

void BeamChecker::setBoard(const std::array<int16_t, CellCount>& cells) {
    std::array<int32_t, CellCount> wide{};
    for (int i = 0; i < CellCount; ++i) wide[i] = cells[i];
    setBoard(wide);
}

void BeamChecker::setBoard(const std::array<int32_t, CellCount>& cells) {
    board_.fill(OffBoard);
    sourcePos_.clear();
    sourceDir_.clear();
    targets_ = 0;
    for (int x = 0; x < BoardWidth; ++x) {
        for (int y = 0; y < BoardHeight; ++y) {
            const int code = cells[cellIndex(x, y)];
            board_[pad(x, y)] = internalCode(code);
            if (isSource(code)) {
                sourcePos_.push_back(static_cast<int16_t>(pad(x, y)));
                sourceDir_.push_back(static_cast<uint8_t>(code));
            } else if (isTarget(code)) {
                ++targets_;
            }
        }
    }
    trail_.fill(0);
    entered_.fill(0);
    enteredList_.clear();
}

template <bool Mark>
BeamResult BeamChecker::runImpl() {
    if constexpr (Mark) {
        for (const int16_t p : enteredList_) entered_[p] = 0;
        enteredList_.clear();
        enteredStep_.clear();
        enteredDir_.clear();
        hitList_.clear();
        captured_.clear();
    }
    int n = static_cast<int>(sourcePos_.size());  // LastBeam + 1
    for (int i = 0; i < n; ++i) {
        beamPos_[i] = sourcePos_[i];
        beamDir_[i] = sourceDir_[i];
    }
    auto remove = [&](int nr) {  // WegLumor: later beams move down, keeping their order
        for (int k = nr + 1; k < n; ++k) {
            beamPos_[k - 1] = beamPos_[k];
            beamDir_[k - 1] = beamDir_[k];
        }
        --n;
    };

    BeamResult result;
    result.targets = targets_;
    for (;;) {
        ++result.steps;
        if constexpr (Mark) {
            if (result.steps == captureStep_)
                for (int i = 0; i < n; ++i) captured_.emplace_back(beamPos_[i], beamDir_[i]);
        }
        // Move.
        for (int i = 0; i < n;) {
            const int dir = beamDir_[i];
            const int p = beamPos_[i] + Delta[dir];
            if constexpr (Mark) {
                if (!entered_[p]) {
                    entered_[p] = 1;
                    enteredList_.push_back(static_cast<int16_t>(p));
                    enteredStep_.push_back(result.steps);
                    enteredDir_.push_back(static_cast<uint8_t>(dir));
                }
            }
            const uint8_t what = MoveTable[dir][board_[p]];
            if (what == MovePass) {
                beamPos_[i] = static_cast<int16_t>(p);
                ++i;
            } else {
                if (what == MoveTake) {
                    ++result.hits;
                    if constexpr (Mark)
                        hitList_.emplace_back(static_cast<int16_t>(p), result.steps);
                }
                remove(i);
            }
        }
        // Eaten sand is free again once the beam stands in it a second time.
        for (int i = 0; i < n; ++i)
            if (board_[beamPos_[i]] == Eaten) board_[beamPos_[i]] = Empty;
        // Splitters and trail.
        int j = n - 1;
        for (int i = 0; i <= j; ++i) {
            const int p = beamPos_[i];
            const uint8_t c = board_[p];
            if (c == Splitter && trail_[p] == 0 && n < MaxBeams) {
                const int dir = beamDir_[i];
                beamPos_[n] = static_cast<int16_t>(p);
                if (dir == Right || dir == Left) {
                    beamDir_[n] = Up;
                    beamDir_[i] = Down;
                } else {
                    beamDir_[n] = Left;
                    beamDir_[i] = Right;
                }
                ++n;
            }
            if (c != Cross) {
                if (trail_[p] == 0) touched_.push_back(static_cast<int16_t>(p));
                if (trail_[p] < 2) ++trail_[p];
            }
            if (c == Splitter && trail_[p] == 2) {
                remove(i);
                --i;
                --j;
            }
        }
        if (n == 0) break;
        // Collisions, sand and turns. Beams on a splitter or a cross are never taken off
        // here: the board window makes no collision test for them.
        for (int i = 0; i < n;) {
            const int p = beamPos_[i];
            const uint8_t c = board_[p];
            if (trail_[p] == 2 && c != Splitter && c != Cross) {
                remove(i);
                continue;
            }
            if (c == Sand || c == Eaten) {
                trail_[p] = 0;
                if (c == Sand) eaten_.push_back(static_cast<int16_t>(p));
                board_[p] = Eaten;
                beamPos_[i] = static_cast<int16_t>(p - Delta[beamDir_[i]]);
            } else if (c >= DeflectorRightDown && c <= DeflectorRightUp) {
                beamDir_[i] = TurnTable[c][beamDir_[i]];
            }
            ++i;
        }
    }
    result.solved = result.hits == result.targets;

    for (const int16_t p : touched_) trail_[p] = 0;
    touched_.clear();
    for (const int16_t p : eaten_) board_[p] = Sand;
    eaten_.clear();
    return result;
}

template BeamResult BeamChecker::runImpl<false>();
template BeamResult BeamChecker::runImpl<true>();

}  // namespace lumor
