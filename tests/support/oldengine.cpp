#include "support/oldengine.h"

#include "app/edition.h"

namespace lumor::old {

namespace {

constexpr size_t at(int x, int y) { return static_cast<size_t>(cellIndex(x, y)); }

}  // namespace

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
    upper_ = -1;
    targets_ = 0;
    hits_ = 0;
    soundLevel_ = 0;
    cellSteps_ = 0;
    board_ = board;
    // Column by column, so beams are numbered in column-major order of their sources.
    for (int x = 0; x < BoardWidth; ++x) {
        for (int y = 0; y < BoardHeight; ++y) {
            trail_[at(x, y)] = 0;
            const int code = board_[at(x, y)];
            if (isSource(code))
                addBeam(x, y, code);
            else if (isTarget(code))
                ++targets_;
        }
    }
    sound(SoundStart);
    return out_;
}

void BeamRun::addBeam(int x, int y, int dir) {
    // Cannot overflow: every beam comes from a source or a splitter's single split.
    if (upper_ + 1 >= MaxBeams) return;
    beams_[static_cast<size_t>(++upper_)] =
        Beam{static_cast<int16_t>(x), static_cast<int16_t>(y), static_cast<int16_t>(dir)};
}

void BeamRun::WegLumor(int& nr, BeamEnd why) {
    if (record_) out_.removed.push_back({beams_[static_cast<size_t>(nr)], why});
    for (int j = nr; j < upper_; ++j)
        beams_[static_cast<size_t>(j)] = beams_[static_cast<size_t>(j + 1)];
    --upper_;
    // The caller's index goes back one so that the beam moved into this place is visited.
    --nr;
}

void BeamRun::sound(int index) {
    if (record_) out_.sounds.push_back(index);
    if (soundLog_) soundLog_->push_back(index);
}

void BeamRun::spark(int count, int x1, int y1, int x2, int y2, bool cool) {
    if (record_) out_.sparks.push_back({count, x1, y1, x2, y2, cool});
}

// The side of the beam's cell that faces where it came from; for a beam that has left
// the board this is the board edge of the cell it left.
void BeamRun::sideSpark(const Beam& b, int count, bool cool) {
    const int px = CellPixels * b.x, py = CellPixels * b.y;
    switch (b.dir) {
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

void BeamRun::cellSpark(int x, int y, int count) {
    const int px = CellPixels * x, py = CellPixels * y;
    spark(count, px, py, px + CellPixels, py + CellPixels, false);
}

void BeamRun::draw(DrawKind kind, int x1, int y1, int x2, int y2, int picture) {
    if (record_) out_.draws.push_back({kind, x1, y1, x2, y2, picture});
}

const StepOutput& BeamRun::cellStep() {
    out_.clear();
    if (finished_) return out_;
    ++cellSteps_;
    soundLevel_ = 0;

    // A. Move every beam one cell and apply the rule of the cell it enters.
    for (int i = 0; i <= upper_; ++i) {
        Beam& b = beams_[static_cast<size_t>(i)];
        b.x = static_cast<int16_t>(b.x + stepX(b.dir));
        b.y = static_cast<int16_t>(b.y + stepY(b.dir));
        if (b.x < 0 || b.y < 0 || b.x >= BoardWidth || b.y >= BoardHeight) {
            sideSpark(b, edition().stopSparks, false);
            WegLumor(i, BeamEnd::LeftBoard);
            if (soundLevel_ < SoundWand) soundLevel_ = SoundWand;
            continue;
        }
        switch (entryOf(b.dir, board_[at(b.x, b.y)])) {
            case Entry::Stop:
                sideSpark(b, edition().stopSparks, false);
                WegLumor(i, BeamEnd::Stopped);
                if (soundLevel_ < SoundWand) soundLevel_ = SoundWand;
                break;
            case Entry::Take:
                sideSpark(b, edition().targetSparks, true);
                ++hits_;
                WegLumor(i, BeamEnd::Taken);
                soundLevel_ = SoundZiel;
                break;
            case Entry::EnterSand:
                sideSpark(b, edition().sandSparks, false);
                if (soundLevel_ < SoundSand) soundLevel_ = SoundSand;
                break;
            case Entry::Pass:
                break;
        }
    }

    // B. Sand that a beam has eaten through is gone.
    for (int i = 0; i <= upper_; ++i) {
        int32_t& c = board_[at(beams_[static_cast<size_t>(i)].x, beams_[static_cast<size_t>(i)].y)];
        if (c == EatenSand) c = Empty;
    }

    // C. Splitters and trail marks; beams split off here are not visited in this pass.
    int bound = upper_;
    for (int i = 0; i <= bound; ++i) {
        Beam& b = beams_[static_cast<size_t>(i)];
        const size_t k = at(b.x, b.y);
        const int32_t c = board_[k];
        if (c == Splitter && trail_[k] == 0) {
            if (soundLevel_ < SoundTeiler) soundLevel_ = SoundTeiler;
            const bool across = b.dir == Right || b.dir == Left;
            addBeam(b.x, b.y, across ? Up : Left);
            b.dir = static_cast<int16_t>(across ? Down : Right);
        }
        if (c == Cross) {
            if (soundLevel_ < SoundKreuz) soundLevel_ = SoundKreuz;
        } else if (trail_[k] == 1) {
            trail_[k] = 2;
        } else if (trail_[k] == 0) {
            trail_[k] = 1;
        }
        if (c == Splitter && trail_[k] == 2) {
            if (soundLevel_ < SoundWand) soundLevel_ = SoundWand;
            cellSpark(b.x, b.y, 50);
            WegLumor(i, BeamEnd::UsedSplitter);
            --bound;
        }
    }

    // D. One sound for all events of the step.
    if (soundLevel_ > 0) sound(soundLevel_);

    // E. No beam left: the hits decide.
    if (upper_ < 0) {
        finished_ = true;
        state_ = hits_ == targets_ ? BeamWon : BeamFailed;
    }
    return out_;
}

const StepOutput& BeamRun::subStep(int s) {
    out_.clear();
    for (int i = 0; i <= upper_; ++i) {
        if (state_ == BeamClosing) {
            out_.closing = true;
            return out_;
        }
        Beam& b = beams_[static_cast<size_t>(i)];
        const size_t k = at(b.x, b.y);
        const int32_t c = board_[k];
        const int px = CellPixels * b.x, py = CellPixels * b.y;

        if (c == Splitter || c == Cross) continue;  // nothing drawn, no collision test

        if (c == Sand || c == EatenSand) {
            if (s == 0 || s == 8 || s == 16 || s == 24) {
                draw(DrawKind::SandPicture, px, py, px + CellPixels - 1, py + CellPixels - 1,
                     s / 8);
            } else if (s == 30) {
                // The sand is eaten: the beam steps back and re-enters the free cell next step.
                draw(DrawKind::Tile, px, py, px + CellPixels - 1, py + CellPixels - 1, Empty);
                if (trail_[k] != 2) trail_[k] = 0;
                board_[k] = EatenSand;
                b.x = static_cast<int16_t>(b.x - stepX(b.dir));
                b.y = static_cast<int16_t>(b.y - stepY(b.dir));
            }
        } else if (isDeflector(c) && s >= 12 && s <= 18) {
            switch (s) {
                case 12:  // the band reaches the middle, in the direction before the turn
                    switch (b.dir) {
                        case Right:
                            draw(DrawKind::Box, px + 12, py + 14, px + 12, py + 18);
                            draw(DrawKind::Box, px + 13, py + 14, px + 13, py + 17);
                            break;
                        case Down:
                            draw(DrawKind::Box, px + 14, py + 12, px + 18, py + 12);
                            break;
                        case Left:
                            draw(DrawKind::Box, px + 19, py + 14, px + 19, py + 18);
                            break;
                        default:
                            draw(DrawKind::Box, px + 14, py + 19, px + 18, py + 19);
                            break;
                    }
                    break;
                case 14:
                    b.dir = static_cast<int16_t>(turnedBy(c, b.dir));
                    if (soundLevel_ <= 4) {
                        sound(SoundLenk);
                        soundLevel_ = 5;
                    }
                    break;
                case 16:
                    cellSpark(b.x, b.y, 5);
                    for (int n = (c == DeflectorLeftUp ? 1 : 0); n <= 5; ++n) {
                        switch (c) {
                            case DeflectorRightDown:
                                draw(DrawKind::Line, px + 18 - n, py + 18, px + 18 - n,
                                     py + 13 + n);
                                break;
                            case DeflectorLeftDown:
                                draw(DrawKind::Line, px + 13 + n, py + 18, px + 13 + n,
                                     py + 13 + n);
                                break;
                            case DeflectorLeftUp:
                                draw(DrawKind::Line, px + 13 + n, py + 13, px + 13 + n,
                                     py + 18 - n);
                                break;
                            default:
                                draw(DrawKind::Line, px + 18 - n, py + 13, px + 18 - n,
                                     py + 18 - n);
                                break;
                        }
                    }
                    break;
                case 18:  // the band leaves the middle, in the direction after the turn
                    switch (b.dir) {
                        case Right:
                            draw(DrawKind::Box, px + 19, py + 14, px + 19, py + 18);
                            break;
                        case Down:
                            draw(DrawKind::Box, px + 14, py + 19, px + 18, py + 19);
                            break;
                        case Left:
                            draw(DrawKind::Box, px + 12, py + 14, px + 12, py + 18);
                            draw(DrawKind::Box, px + 13, py + 14, px + 13, py + 17);
                            break;
                        default:
                            draw(DrawKind::Box, px + 14, py + 12, px + 18, py + 12);
                            break;
                    }
                    break;
                default:
                    break;
            }
        } else {
            // The beam's front moves one pixel on.
            switch (b.dir) {
                case Right:
                    draw(DrawKind::Box, px + s, py + 14, px + s + 1, py + 18);
                    break;
                case Down:
                    draw(DrawKind::Box, px + 14, py + s, px + 18, py + s + 1);
                    break;
                case Left:
                    draw(DrawKind::Box, px + 31 - s, py + 14, px + 30 - s, py + 18);
                    break;
                default:
                    draw(DrawKind::Box, px + 14, py + 31 - s, px + 18, py + 30 - s);
                    break;
            }
        }

        // Two beams met on this cell: every beam standing on it ends in the middle.
        if (s == 14 && trail_[k] == 2) {
            if (soundLevel_ <= 5) {
                sound(SoundWand);
                soundLevel_ = 6;
            }
            cellSpark(b.x, b.y, 50);
            WegLumor(i, BeamEnd::Collision);
        }
    }
    return out_;
}

RunResult BeamRun::runToEnd(std::vector<int>* sounds) {
    const bool recorded = record_;
    record_ = false;
    soundLog_ = sounds;
    // The start sound was asked for by start(); report it here too.
    if (sounds && cellSteps_ == 0 && !finished_) sounds->push_back(SoundStart);
    while (state_ == BeamRunning) {
        cellStep();
        if (finished_) break;
        // Undrawn, only two sub-steps change anything: 14 (turns, collisions, lenk and wand)
        // and 30 (the sand step-back); the others only draw and spark.
        subStep(14);
        subStep(30);
    }
    soundLog_ = nullptr;
    record_ = recorded;
    return RunResult{state_, hits_, targets_, cellSteps_};
}

RunResult BeamRun::run(const WorkingBoard& board, std::vector<int>* sounds) {
    start(board);
    return runToEnd(sounds);
}

namespace checker {

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

}  // namespace checker

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
            const int p = beamPos_[i] + checker::Delta[dir];
            if constexpr (Mark) {
                if (!entered_[p]) {
                    entered_[p] = 1;
                    enteredList_.push_back(static_cast<int16_t>(p));
                    enteredStep_.push_back(result.steps);
                    enteredDir_.push_back(static_cast<uint8_t>(dir));
                }
            }
            const uint8_t what = checker::MoveTable[dir][board_[p]];
            if (what == checker::MovePass) {
                beamPos_[i] = static_cast<int16_t>(p);
                ++i;
            } else {
                if (what == checker::MoveTake) {
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
                beamPos_[i] = static_cast<int16_t>(p - checker::Delta[beamDir_[i]]);
            } else if (c >= DeflectorRightDown && c <= DeflectorRightUp) {
                beamDir_[i] = checker::TurnTable[c][beamDir_[i]];
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

}  // namespace lumor::old
