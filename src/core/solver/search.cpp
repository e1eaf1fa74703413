#include "solver/search.h"

#include "play/cells.h"

#include <chrono>

namespace lumor {

std::string tooManyPiecesMessage(int pieces) {
    // "Zu viele Steine im Vorrat: N (höchstens 991)." in Windows-1252
    return "Zu viele Steine im Vorrat: " + std::to_string(pieces) +
           " (h\xf6"
           "chstens " +
           std::to_string(SolutionSearch::MaxPieces) + ").";
}

namespace {

int64_t steadyMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace

SolutionSearch::SolutionSearch() : clock_(steadyMs) {}

bool SolutionSearch::load(const LevelRecord& level) {
    level_ = level;
    AbortRequested = 0;
    finished_ = false;
    loadMessage_.clear();
    PieceList.clear();
    best_.clear();
    BestLeft = -1;
    TriedCount = 0;
    CheckedCount = 0;
    SolutionCount = 0;
    PiecesLeft = level.Stock[0];

    int pieces = 0;
    for (int slot = 1; slot <= SlotCount; ++slot)
        if (level.Stock[slot] > 0) pieces += level.Stock[slot];
    if (pieces > MaxPieces) {
        loaded_ = false;
        loadMessage_ = tooManyPiecesMessage(pieces);
        return false;
    }
    for (const int slot : PieceSlotOrder)
        for (int k = 0; k < level.Stock[slot]; ++k) PieceList.push_back(Piece{slot, -2, 0});

    FreeCells[0] = FreeCell{-1, 0};
    freePad_[0] = -1;
    freeCount_ = 0;
    for (int x = 0; x < BoardWidth; ++x) {
        for (int y = 0; y < BoardHeight; ++y) {
            if (level.cell(x, y) == Empty) {
                ++freeCount_;
                FreeCells[freeCount_] = FreeCell{x, y};
                freePad_[freeCount_] = static_cast<int16_t>(BeamChecker::pad(x, y));
            }
        }
    }
    checker_.setBoard(level.Cells);
    loaded_ = true;
    return true;
}

void SolutionSearch::run() {
    if (!loaded_) return;
    finished_ = false;
    CellTaken.fill(0);
    PiecesLeft = level_.Stock[0];
    CheckedCount = 0;
    SolutionCount = 0;
    clockCountdown_ = 1;
    baseValid_ = false;
    cacheValid_ = false;
    recording_ = false;
    piece1Cell_ = -1;
    if (PieceList.empty()) {
        // Nothing to place: the bare board is the only arrangement.
        if (AbortRequested > 0) return;
        if (PiecesLeft >= 0) Check(0);
        finished_ = AbortRequested == 0;
        return;
    }
    StartSuche(lastPiece(), 0);
    finished_ = AbortRequested == 0;
}

void SolutionSearch::StartSuche(int32_t A, int32_t St) {
    const int32_t free = freeCount_;
    Piece& piece = PieceList[static_cast<size_t>(A)];
    const int code = codeOfSlot(piece.Slot);
    if (A == 0) baseValid_ = false;
    if (A == 1) cacheValid_ = false;
    for (int32_t s = St; s <= free; ++s) {
        ++TriedCount;
        if (AbortRequested > 0) return;
        piece.X = FreeCells[s].X;
        piece.Y = FreeCells[s].Y;
        if (CellTaken[s] == 0) {
            const bool placed = piece.X >= 0;
            if (placed) {
                --PiecesLeft;
                CellTaken[s] = -1;
                checker_.place(freePad_[s], code);
            }
            if (PiecesLeft >= 0) {
                if (A == 0) {
                    Check(s);
                } else {
                    if (A == 1) {
                        // Piece 1 nowhere: remember piece 0's runs. Piece 1 on a cell that
                        // no beam of their base enters: piece 0's runs may be taken from them.
                        recording_ = !placed;
                        piece1Cell_ = placed && cacheValid_ && !cacheBaseEntered_.test(freePad_[s])
                                          ? freePad_[s]
                                          : -1;
                        if (recording_) cacheSolved_.fill(-1);
                    }
                    StartSuche(A - 1, 0);
                    if (A == 1) {
                        if (recording_) cacheValid_ = AbortRequested == 0;
                        recording_ = false;
                        piece1Cell_ = -1;
                    }
                }
            }
            if (placed) {
                ++PiecesLeft;
                CellTaken[s] = 0;
                checker_.place(freePad_[s], Empty);
            }
        }
        progress();
    }
}

void SolutionSearch::Check(int32_t s) {
    // The arrangement already stands on the checker's board: every piece was put there
    // when it took its cell and is taken away when it leaves it.
    ++CheckedCount;
    testen(s);
}

SolutionSearch::CellSet SolutionSearch::enteredOf() const {
    CellSet set;
    for (const int16_t p : checker_.enteredOrder()) set.set(static_cast<size_t>(p));
    return set;
}

// A run reads a cell's code only when a beam moves into it, so a piece on a cell that no
// beam of the run without it enters leaves that run unchanged. Piece 0 changes fastest:
// the run with it nowhere (s = 0) is the base of all its other places. And while piece 1
// stands on a cell that the base of piece 0's runs with piece 1 nowhere does not enter,
// each of piece 0's runs is the remembered one with piece 1 nowhere, unless that run
// entered piece 1's cell.
void SolutionSearch::testen(int32_t s) {
    bool solved;
    if (s == 0) {
        if (piece1Cell_ >= 0) {
            solved = cacheBaseSolved_;
            baseEntered_ = cacheBaseEntered_;
        } else {
            solved = checker_.runMarking().solved;
            baseEntered_ = enteredOf();
        }
        baseValid_ = true;
        baseSolved_ = solved;
        if (recording_) {
            cacheBaseSolved_ = solved;
            cacheBaseEntered_ = baseEntered_;
        }
    } else if (baseValid_ && !baseEntered_.test(freePad_[s])) {
        solved = baseSolved_;
    } else if (piece1Cell_ >= 0 && cacheSolved_[s] >= 0 && !cacheEntered_[s].test(piece1Cell_)) {
        solved = cacheSolved_[s] != 0;
    } else if (recording_) {
        solved = checker_.runMarking().solved;
        cacheSolved_[s] = solved ? 1 : 0;
        cacheEntered_[s] = enteredOf();
    } else {
        solved = checker_.run().solved;
    }
    if (solved) record();
}

void SolutionSearch::record() {
    if (PiecesLeft < BestLeft) return;
    BestLeft = PiecesLeft;
    ++SolutionCount;
    best_.clear();
    for (const Piece& p : PieceList)
        if (p.X > -1) best_.push_back(p);
    if (onBest_) onBest_(best_);
}

void SolutionSearch::progress() {
    if (--clockCountdown_ > 0) return;
    clockCountdown_ = ClockEvery;
    const int64_t t = clock_();
    if (NextDisplayTime < t) {
        NextDisplayTime = t + displayInterval_;
        if (onProgress_) onProgress_();
    }
}

}  // namespace lumor
