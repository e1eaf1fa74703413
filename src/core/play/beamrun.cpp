#include "play/beamrun.h"

#include "app/edition.h"

namespace lumor {

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

}  // namespace lumor
