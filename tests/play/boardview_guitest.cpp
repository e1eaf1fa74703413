// The shared board view: cells from the skin store, the exclusive-or frame, the mouse
// turned into cells, and the repaint that automatic redraw leaves to the owner.
#include "board_support.h"
#include "play/BoardView.h"

#include <QApplication>
#include <QMouseEvent>

using namespace lumor;

namespace {

class BoardViewTest : public lumor::testing::BoardFixture {};

QImage cellOf(const BoardView& v, int x, int y) {
    return v.picture().copy(CellPixels * x, CellPixels * y, CellPixels, CellPixels);
}

TEST_F(BoardViewTest, CellsAndTheFrameThatLeavesNoTrace) {
    BoardView view;
    EXPECT_EQ(view.size(), QSize(BoardPixelWidth, BoardPixelHeight));
    view.paintBoard(lumortest::level({"", ".#"}).Cells);
    EXPECT_EQ(cellOf(view, 1, 1), bilder().tile(Wall));
    EXPECT_EQ(cellOf(view, 0, 0), bilder().tile(Empty));
    const QImage before = view.picture().copy();
    view.drawFrame(1, 1);
    const QRgb wall = bilder().tile(Wall).pixel(0, 0);
    for (const QPoint corner : {QPoint(32, 32), QPoint(63, 63), QPoint(32, 63), QPoint(63, 32)})
        EXPECT_EQ(view.picture().pixel(corner), (wall ^ 0x00ffff01u) | 0xff000000u) << corner.x();
    EXPECT_EQ(view.picture().pixel(33, 33), before.pixel(33, 33)) << "only the outline";
    view.drawFrame(1, 1);
    EXPECT_EQ(view.picture(), before) << "the outline twice is nothing";
    view.drawFrame(1, 1);
    view.paintCell(1, 1, Wall);
    EXPECT_EQ(view.picture(), before);
}

// Positions come in fractions of a pixel under a scale factor: the cell is the one the
// pointer is on, never the next one.
TEST_F(BoardViewTest, MousePositionsBecomeTheCellUnderThem) {
    EXPECT_EQ(BoardView::cellAt({31.6, 383.9}), QPoint(0, 11));
    EXPECT_EQ(BoardView::cellAt({32.0, 0.4}), QPoint(1, 0));
    EXPECT_EQ(BoardView::cellAt({-0.5, 5}), QPoint(-1, 0));
    BoardView view;
    QPointF pressed;
    view.onPress = [&](Qt::MouseButton, const QPointF& p) { pressed = p; };
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(31.5, 40.5), QPointF(31.5, 40.5),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&view, &press);
    EXPECT_EQ(BoardView::cellAt(pressed), QPoint(0, 1));
}

TEST_F(BoardViewTest, OnlyARepaintOfTheWindowSystemWithoutAutoRedrawPaintsAgain) {
    BoardView view;
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
    EXPECT_EQ(cellOf(view, 0, 0), bilder().tile(Wall));
}

}  // namespace
