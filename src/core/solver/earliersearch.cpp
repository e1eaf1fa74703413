#include "solver/earliersearch.h"

#include "play/cells.h"

#include <algorithm>

namespace lumor {

bool EarlierSearch::load(const LevelRecord& level) {
    level_ = level;
    loaded_ = finished_ = stop_ = false;
    loadMessage_.clear();
    PieceList.clear();
    best_.clear();
    bestLeft_ = -1;
    tried_ = total_ = Count();
    pending_ = 0;
    checked_ = 0;

    int pieces = 0;
    for (int slot = 1; slot <= SlotCount; ++slot)
        if (level.Stock[slot] > 0) pieces += level.Stock[slot];
    if (pieces > SolutionSearch::MaxPieces) {
        loadMessage_ = tooManyPiecesMessage(pieces);
        return false;
    }
    for (const int slot : PieceSlotOrder)
        for (int k = 0; k < level.Stock[slot]; ++k) PieceList.push_back(Piece{slot, -2, 0});

    FreeCells[0] = FreeCell{-1, 0};
    freePad_[0] = -1;
    freeCount_ = 0;
    int splitters = 0;
    for (int x = 0; x < BoardWidth; ++x)
        for (int y = 0; y < BoardHeight; ++y) {
            const int code = level.cell(x, y);
            if (code == Empty) {
                ++freeCount_;
                FreeCells[static_cast<size_t>(freeCount_)] = FreeCell{x, y};
                freePad_[static_cast<size_t>(freeCount_)] =
                    static_cast<int16_t>(BeamChecker::pad(x, y));
            }
            splitters += code == Splitter;
        }
    checker_.setBoard(level.Cells);
    targets_ = checker_.targets();
    beamsPossible_ = checker_.sourceCount() + splitters;
    countTotal();
    loaded_ = true;
    return true;
}

// (free count + 1) tries for every call. The call of a piece happens once for every way
// the search reaches it: per slot group above it, a set of cells for the group's pieces
// (its unplaced pieces come first), the sets disjoint, at most A (stock index 0) placed in
// all. With D[p] the ways to place p pieces in the groups already counted, a group of k
// pieces calls its (m+1)-th piece once for every set of at most m of the F - p cells left
// (m = 0 .. k-1), and leaves p + j pieces placed in C(F - p, j) ways:
//     calls     += D[p] * C(F - p, j) * (k - j)   for j <= k - 1, p + j <= A
//     D'[p + j] += D[p] * C(F - p, j)             for j <= k,     p + j <= A
void EarlierSearch::countTotal() {
    total_ = Count();
    const int F = freeCount_, A = level_.Stock[0];
    if (PieceList.empty()) return;  // the bare board only: no try
    if (A < 0) {
        total_ = static_cast<uint64_t>(F + 1);  // every branch of the first call is cut
        return;
    }
    const int cap = std::min(A, F);
    std::vector<Count> D(static_cast<size_t>(cap + 1)), next(static_cast<size_t>(cap + 1));
    D[0] = 1;
    Count calls;
    for (auto slot = PieceSlotOrder.rbegin(); slot != PieceSlotOrder.rend(); ++slot) {
        const int k = std::max<int>(0, level_.Stock[*slot]);
        if (k == 0) continue;
        std::fill(next.begin(), next.end(), Count());
        for (int p = 0; p <= cap; ++p) {
            Count term = D[static_cast<size_t>(p)];  // D[p] * C(F - p, j)
            for (int j = 0; j <= std::min(k, cap - p) && !term.isZero(); ++j) {
                if (j < k) calls += term * static_cast<uint32_t>(k - j);
                next[static_cast<size_t>(p + j)] += term;
                term *= static_cast<uint32_t>(F - p - j);
                term.divideExactly(static_cast<uint32_t>(j + 1));
            }
        }
        std::swap(D, next);
    }
    total_ = calls * static_cast<uint32_t>(F + 1);
}

void EarlierSearch::run(const std::function<bool()>& poll) {
    if (!loaded_) return;
    poll_ = poll;
    stop_ = finished_ = false;
    tried_ = Count();
    pending_ = 0;
    checked_ = 0;
    bestLeft_ = -1;
    best_.clear();
    CellTaken.fill(false);
    piecesLeft_ = level_.Stock[0];
    if (this->poll()) return;
    if (PieceList.empty()) {
        if (piecesLeft_ >= 0) Check(0);
    } else {
        StartSuche(static_cast<int>(PieceList.size()) - 1, 0);
    }
    tried_ += Count(pending_);
    pending_ = 0;
    finished_ = !stop_;
}

bool EarlierSearch::poll() {
    pollCountdown_ = PollEvery;
    tried_ += Count(pending_);
    pending_ = 0;
    if (poll_ && poll_()) stop_ = true;
    return stop_;
}

void EarlierSearch::StartSuche(int A, int St) {
    const int free = freeCount_;
    Piece& piece = PieceList[static_cast<size_t>(A)];
    const int code = codeOfSlot(piece.Slot);
    const int splitter = code == Splitter ? 1 : 0;
    const bool sameBelow = A > 0 && PieceList[static_cast<size_t>(A - 1)].Slot == piece.Slot;
    pending_ += static_cast<uint64_t>(St);  // the indexes before the start, skipped
    if (A == 0) {
        // Piece 0 nowhere: its runs on cells no beam of this one enters are this one.
        const BeamResult base = checker_.runMarking();
        baseSolved_ = base.solved;
        baseEntered_.reset();
        for (const int16_t p : checker_.enteredOrder()) baseEntered_.set(static_cast<size_t>(p));
    }
    for (int s = St; s <= free; ++s) {
        ++pending_;
        if (stop_ || (--pollCountdown_ <= 0 && poll())) return;
        const size_t i = static_cast<size_t>(s);
        piece.X = FreeCells[i].X;
        piece.Y = FreeCells[i].Y;
        if (CellTaken[i]) continue;
        const bool placed = s > 0;
        if (placed) {
            --piecesLeft_;
            CellTaken[i] = true;
            beamsPossible_ += splitter;
            checker_.place(freePad_[i], code);
        }
        if (piecesLeft_ >= 0) {
            if (A > 0)
                StartSuche(A - 1, sameBelow && placed ? s + 1 : 0);
            else if (beamsPossible_ >= targets_)  // else a target would stay without a beam
                Check(s);
        }
        if (placed) {
            ++piecesLeft_;
            CellTaken[i] = false;
            beamsPossible_ -= splitter;
            checker_.place(freePad_[i], Empty);
        }
    }
}

void EarlierSearch::Check(int s) {
    ++checked_;
    // The base run's outcome holds when the last piece stands where its beams never go.
    const bool baseHolds =
        !PieceList.empty() &&
        (s == 0 || !baseEntered_.test(static_cast<size_t>(freePad_[static_cast<size_t>(s)])));
    const bool solved = baseHolds ? baseSolved_ : checker_.run().solved;
    if (!solved || piecesLeft_ < bestLeft_) return;
    bestLeft_ = piecesLeft_;
    best_.clear();
    for (const Piece& p : PieceList)
        if (p.X > -1) best_.push_back(p);
    if (onBest) onBest();
}

}  // namespace lumor
