#include "support/reference.h"

#include "play/cells.h"

namespace lumor {

namespace {

struct SolverBeam {
    int16_t x, y, dir;
};

bool stops(int dir, int c) {
    switch (dir) {
        case Right:
            return (c >= 1 && c <= 4) || (c >= 6 && c <= 9) || c == 11 || c == 14;
        case Down:
            return (c >= 1 && c <= 5) || (c >= 7 && c <= 9) || c == 11 || c == 12;
        case Left:
            return (c >= 1 && c <= 6) || c == 8 || c == 9 || c == 12 || c == 13;
        default:
            return (c >= 1 && c <= 7) || c == 9 || c == 13 || c == 14;
    }
}

}  // namespace

BeamResult referenceBeamCheck(std::array<std::array<int32_t, BoardHeight>, BoardWidth>& board) {
    std::array<SolverBeam, SolutionSearch::MaxBeams> beams{};
    int32_t LastBeam = -1;
    std::array<std::array<int32_t, BoardHeight>, BoardWidth> trail{};
    BeamResult r;
    auto WegLumor = [&](int32_t nr) {
        for (int32_t k = nr + 1; k <= LastBeam; ++k) beams[k - 1] = beams[k];
        --LastBeam;
    };
    for (int x = 0; x < BoardWidth; ++x) {
        for (int y = 0; y < BoardHeight; ++y) {
            trail[x][y] = 0;
            const int c = board[x][y];
            if (c >= 1 && c <= 4)
                beams[++LastBeam] = SolverBeam{int16_t(x), int16_t(y), int16_t(c)};
            if (c >= 5 && c <= 8) ++r.targets;
        }
    }
    for (;;) {
        ++r.steps;
        for (int32_t i = 0; i <= LastBeam;) {
            SolverBeam& b = beams[i];
            b.x = static_cast<int16_t>(b.x + stepX(b.dir));
            b.y = static_cast<int16_t>(b.y + stepY(b.dir));
            if (b.x > 19 || b.y > 11 || b.x < 0 || b.y < 0) {
                WegLumor(i);
                continue;
            }
            const int c = board[b.x][b.y];
            if (c == b.dir + 4) {
                ++r.hits;
                WegLumor(i);
            } else if (stops(b.dir, c)) {
                WegLumor(i);
            } else {
                ++i;
            }
        }
        for (int32_t i = 0, bound = LastBeam; i <= bound; ++i) {
            int32_t& c = board[beams[i].x][beams[i].y];
            if (c == EatenSand) c = Empty;
        }
        int32_t j = LastBeam;
        for (int32_t i = 0; i <= j; ++i) {
            SolverBeam& b = beams[i];
            const int16_t x = b.x, y = b.y;
            const int c = board[x][y];
            if (c == Splitter && trail[x][y] == 0) {
                if (b.dir == Right || b.dir == Left) {
                    beams[++LastBeam] = SolverBeam{x, y, Up};
                    beams[i].dir = Down;
                } else {
                    beams[++LastBeam] = SolverBeam{x, y, Left};
                    beams[i].dir = Right;
                }
            }
            if (c != Cross) {
                if (trail[x][y] == 1) trail[x][y] = 2;
                if (trail[x][y] == 0) trail[x][y] = 1;
            }
            if (c == Splitter && trail[x][y] == 2) {
                WegLumor(i);
                --i;
                --j;
            }
        }
        if (LastBeam == -1) break;
        for (int32_t k = 0; k <= LastBeam;) {
            SolverBeam& b = beams[k];
            const int c = board[b.x][b.y];
            // A beam on a splitter or a cross is never taken off here (as on the board).
            if (trail[b.x][b.y] == 2 && c != Splitter && c != Cross) {
                WegLumor(k);
                continue;
            }
            if (c == Sand || c == EatenSand) {
                trail[b.x][b.y] = 0;
                board[b.x][b.y] = EatenSand;
                b.x = static_cast<int16_t>(b.x - stepX(b.dir));
                b.y = static_cast<int16_t>(b.y - stepY(b.dir));
            } else if (isDeflector(c)) {
                b.dir = static_cast<int16_t>(turnedBy(c, b.dir));
            }
            ++k;
        }
    }
    r.solved = r.hits == r.targets;
    return r;
}

BeamResult referenceBeamCheck(const LevelRecord& level) {
    std::array<std::array<int32_t, BoardHeight>, BoardWidth> board{};
    for (int x = 0; x < BoardWidth; ++x)
        for (int y = 0; y < BoardHeight; ++y) board[x][y] = level.cell(x, y);
    return referenceBeamCheck(board);
}

bool ReferenceSearch::load(const LevelRecord& level) {
    level_ = level;
    PieceList.clear();
    int pieces = 0;
    for (int slot = 1; slot <= SlotCount; ++slot)
        if (level.Stock[slot] > 0) pieces += level.Stock[slot];
    loaded_ = pieces <= SolutionSearch::MaxPieces;
    if (!loaded_) return false;
    for (int x = 0; x < BoardWidth; ++x)
        for (int y = 0; y < BoardHeight; ++y) SolverBoard[x][y] = level.cell(x, y);
    for (const int slot : PieceSlotOrder)
        for (int k = 0; k < level.Stock[slot]; ++k) PieceList.push_back(Piece{slot, -2, 0});
    lastPiece_ = static_cast<int32_t>(PieceList.size()) - 1;
    FreeCells[0] = FreeCell{-1, 0};
    freeCount_ = 0;
    for (int x = 0; x < BoardWidth; ++x)
        for (int y = 0; y < BoardHeight; ++y)
            if (SolverBoard[x][y] == 0) FreeCells[++freeCount_] = FreeCell{x, y};
    TriedCount = 0;
    BestLeft = -1;
    best_.clear();
    return true;
}

void ReferenceSearch::run() {
    if (!loaded_) return;
    for (int32_t s = 0; s <= freeCount_; ++s) CellTaken[s] = 0;
    PiecesLeft = level_.Stock[0];
    CheckedCount = 0;
    SolutionCount = 0;
    if (lastPiece_ < 0) {
        if (PiecesLeft >= 0) Check();
        return;
    }
    StartSuche(lastPiece_, 0);
}

void ReferenceSearch::StartSuche(int32_t A, int32_t St) {
    const int32_t free = freeCount_;
    for (int32_t s = St; s <= free; ++s) {
        ++TriedCount;
        Piece& p = PieceList[A];
        p.X = FreeCells[s].X;
        p.Y = FreeCells[s].Y;
        if (CellTaken[s] == 0) {
            if (p.X >= 0) {
                --PiecesLeft;
                CellTaken[s] = -1;
            }
            if (PiecesLeft >= 0) {
                if (A == 0)
                    Check();
                else
                    StartSuche(A - 1, 0);
            }
            if (p.X >= 0) {
                ++PiecesLeft;
                CellTaken[s] = 0;
            }
        }
    }
}

void ReferenceSearch::Check() {
    for (int32_t i = 0; i <= lastPiece_; ++i)
        if (PieceList[i].X > -1)
            SolverBoard[PieceList[i].X][PieceList[i].Y] = PieceList[i].Slot + 8;
    ++CheckedCount;
    testen();
    for (int x = 0; x < BoardWidth; ++x)
        for (int y = 0; y < BoardHeight; ++y) SolverBoard[x][y] = level_.cell(x, y);
}

void ReferenceSearch::testen() {
    const BeamResult r = referenceBeamCheck(SolverBoard);
    if (r.solved && PiecesLeft >= BestLeft) {
        BestLeft = PiecesLeft;
        ++SolutionCount;
        best_.clear();
        for (const Piece& p : PieceList)
            if (p.X > -1) best_.push_back(p);
    }
}

}  // namespace lumor
