// The shared board view: cells from the skin store, the exclusive-or frame, and the repaint
// that automatic redraw leaves to the owner (the board window's test points and clicks).
#include "board_support.h"
#include "play/BoardView.h"

using namespace lumor;
using BoardViewTest = lumor::testing::BoardFixture;

TEST_F(BoardViewTest, CellsTheFrameThatLeavesNoTraceAndRepaintsWithoutAutoRedraw) {
    BoardView view;
    EXPECT_EQ(view.size(), QSize(BoardPixelWidth, BoardPixelHeight));
    view.paintBoard(lumortest::level({"", ".#"}).Cells);
    EXPECT_EQ(view.picture().copy(32, 32, 32, 32), bilder().tile(Wall));
    const QImage before = view.picture().copy();
    view.drawFrame(1, 1);
    const QRgb wall = bilder().tile(Wall).pixel(0, 0);
    for (const QPoint corner : {QPoint(32, 32), QPoint(63, 63), QPoint(32, 48), QPoint(63, 48)})
        EXPECT_EQ(view.picture().pixel(corner), (wall ^ 0x00ffff01u) | 0xff000000u) << corner.x();
    EXPECT_EQ(view.picture().pixel(33, 33), before.pixel(33, 33)) << "only the outline";
    view.drawFrame(1, 1);
    EXPECT_EQ(view.picture(), before) << "the outline twice is nothing";
    view.drawFrame(1, 1);
    view.paintCell(1, 1, Wall);
    EXPECT_EQ(view.picture(), before);

    int paints = 0;
    view.onSystemPaint = [&] {
        ++paints;
        view.paintCell(0, 0, Wall);
    };
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    view.repaint();
    EXPECT_EQ(paints, 0) << "automatic redraw keeps the picture";
    view.setAutoRedraw(false);
    view.paintCell(2, 2, Sand);
    view.repaint();  // our own change is shown as it is
    EXPECT_EQ(paints, 0);
    view.repaint();
    EXPECT_EQ(paints, 1);
    EXPECT_EQ(view.picture().copy(0, 0, 32, 32), bilder().tile(Wall));
}
