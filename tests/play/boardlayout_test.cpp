// The board window's layout at any size, the cell under a point of it, and the size kept
// for the next start.
#include "play/boardlayout.h"
#include "support/scratch.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace lumor;

namespace {

using BoardWindowSizeTest = lumortest::ScratchFolderTest;

// At every scale, with the space left over around the board, each cell's first and last
// screen pixel (and fractions of a pixel into it) fall on that cell, and the pixel before the
// board on none.
TEST(BoardLayoutTest, TheBoardGrowsInWholeStepsCentredAndPointsFindTheirCells) {
    const BoardLayout base = BoardLayout::fit(642, 468);
    EXPECT_EQ(base.scale, 1);
    EXPECT_TRUE(base.boardX == 0 && base.boardY == 48) << "the base layout stays as it was";
    EXPECT_TRUE(base.stockDx == 0 && base.stockDy == 0 && base.buttonsDx == 0 &&
                base.buttonsDy == 0);
    EXPECT_EQ(BoardLayout::fit(400, 300).scale, 1) << "never smaller";

    for (int k = 1; k <= 4; ++k) {
        const int extraX = 2 * 37 + 1, extraY = 2 * 21;  // an odd pixel, not enough for k + 1
        const int w = 640 * k + 2 + extraX, h = 48 + 383 * k + 37 + extraY;
        const BoardLayout l = BoardLayout::fit(w, h);
        ASSERT_EQ(l.scale, k);
        EXPECT_EQ(BoardLayout::fit(w + 640, h).scale, k) << "the height limits it";
        EXPECT_EQ(BoardLayout::fit(w, h + 383).scale, k) << "the width limits it";
        EXPECT_EQ(l.boardX, 37);
        EXPECT_EQ(l.boardY, 48 + 21);
        EXPECT_EQ(l.stockDx, (w - 642) / 2) << "the stock row centred";
        EXPECT_EQ(l.stockDy, 21);
        EXPECT_EQ(l.buttonsDx, l.stockDx);
        EXPECT_EQ(431 + l.buttonsDy, l.boardY + 383 * k) << "the buttons' line below the board";
        for (int cx = 0; cx < 20; ++cx)
            for (int cy = 0; cy < 12; ++cy) {
                const double x = l.boardX + 32.0 * k * cx, y = l.boardY + 32.0 * k * cy;
                const BoardLayout::Cell cell{cx, cy};
                ASSERT_EQ(l.cellAt(x, y), cell) << k;
                ASSERT_EQ(l.cellAt(x + 32 * k - 1, y + 32 * k - 1), cell) << k;
                ASSERT_EQ(l.cellAt(x + 32 * k - 0.01, y + 0.5), cell) << k;
            }
        EXPECT_EQ(l.cellAt(l.boardX - 0.5, l.boardY - 1), (BoardLayout::Cell{-1, -1}));
        const BoardLayout::Point p = l.boardPixel(l.boardX + 5.0 * k + k / 2.0, l.boardY);
        EXPECT_TRUE(p.x >= 5 && p.x < 6 && p.y == 0) << "board pixels for the window's clicks";
    }
}

// The size file: its text read back, nonsense and impossible sizes left at the defaults, a
// missing or odd file read as the defaults, a save through a planted link refused.
TEST_F(BoardWindowSizeTest, KeptInASmallFileAndBadFilesGiveTheDefault) {
    const BoardWindowSize big{1280, 900, BoardWindowSize::Shown::Maximized};
    EXPECT_EQ(BoardWindowSize::fromText(big.text()), big);
    EXPECT_EQ(BoardWindowSize::fromText("Breite 700\r\nAnsicht vollbild\r\n"),
              (BoardWindowSize{700, 468, BoardWindowSize::Shown::FullScreen}));
    for (const char* bad : {"", "Breite 600\nHoehe 400", "Breite 99999999999\nHoehe -5",
                            "Breite 800x\nAnsicht riesig", "Breite\nHoehe 1e3", "\xff\xfe\n"})
        EXPECT_EQ(BoardWindowSize::fromText(bad), BoardWindowSize{}) << bad;

    const std::string file = (dir / "Brettfenster.txt").string();
    EXPECT_EQ(BoardWindowSize::load(file), BoardWindowSize{}) << "missing";
    ASSERT_TRUE(big.save(file));
    EXPECT_EQ(BoardWindowSize::load(file), big);
    EXPECT_EQ(BoardWindowSize::load(dir.string()), BoardWindowSize{}) << "a folder";
    const std::string link = (dir / "Link.txt").string();
    std::filesystem::create_symlink(file, link);
    EXPECT_FALSE(BoardWindowSize{}.save(link));
    EXPECT_EQ(BoardWindowSize::load(file), big);
}

}  // namespace
