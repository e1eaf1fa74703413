// The board picture box that the board window, the finder and the editor share: the
// 640 x 384 board picture, cells painted with the skin store's pictures, the position frame
// drawn with an exclusive-or pen, and mouse positions turned into cells.
//
// Everything is drawn into the picture, which the widget shows, at a whole-number scale
// (each picture pixel a square of screen pixels, never smoothed). With automatic redraw off
// (the board window's OptAutoRedraw), a repaint that the window system asks for first lets
// the owner paint the board again (onSystemPaint), as a picture box without a persistent
// image would.
#pragma once

#include "levels/level.h"
#include "play/cells.h"

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QWidget>

#include <functional>

namespace lumor {

struct StepOutput;

class BoardView final : public QWidget {
public:
    // visibleHeight: how many of the 384 rows the box shows (the board window: 383).
    explicit BoardView(QWidget* parent = nullptr, int visibleHeight = BoardPixelHeight);

    // Shows the picture `scale` times its size (1 and up); the mouse positions handed on
    // stay the widget's own.
    void setScale(int scale);
    int scale() const { return scale_; }

    QImage& picture() { return picture_; }
    const QImage& picture() const { return picture_; }
    // Shows what was drawn into the picture (an area in board pixels, or all of it).
    void changed(const QRect& area);
    void changedAll();

    // The whole picture black.
    void clear();
    // The skin store's picture of `code` on cell (x, y).
    void paintCell(int x, int y, int code);
    // Every cell of the board from its code.
    template <typename Board>
    void paintBoard(const Board& cells) {
        paintCells([&cells](int i) { return static_cast<int>(cells[static_cast<size_t>(i)]); });
    }
    // The outline of cell (x, y), exclusive-or with red 255, green 255, blue 1: every pixel
    // of it once, so that drawing it again, or painting the cell, takes it away.
    void drawFrame(int x, int y);

    // Draws what one step of a beam run asks for: beam boxes and lines in `beam`, tiles
    // and sand pictures from the skin store.
    void apply(const StepOutput& step, const QColor& beam);

    // The cell under a point of the board: the whole part of each coordinate divided by the
    // cell size, both rounding down (a point left of or above the board is outside it).
    static QPoint cellAt(const QPointF& boardPixel);

    void setAutoRedraw(bool on) { autoRedraw_ = on; }
    bool autoRedraw() const { return autoRedraw_; }
    std::function<void()> onSystemPaint;

    // The mouse over the board, in board pixels.
    std::function<void(Qt::MouseButton, const QPointF&)> onPress;
    std::function<void(Qt::MouseButton, const QPointF&)> onRelease;
    std::function<void(const QPointF&)> onMove;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void paintCells(const std::function<int(int index)>& codeAt);

    QImage picture_;
    int visibleHeight_;
    int scale_ = 1;
    bool autoRedraw_ = true;
    bool selfUpdate_ = false;  // the next paint shows our own drawing
    bool inSystemPaint_ = false;
};

}  // namespace lumor
