#include "play/BoardView.h"

#include "play/Bilder.h"
#include "play/beamrun.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace lumor {

namespace {

const QColor FrameXorPen(255, 255, 1);

}  // namespace

BoardView::BoardView(QWidget* parent, int visibleHeight)
    : QWidget(parent),
      picture_(BoardPixelWidth, BoardPixelHeight, QImage::Format_RGB32),
      visibleHeight_(visibleHeight) {
    picture_.fill(Qt::black);
    setFixedSize(BoardPixelWidth, visibleHeight);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
}

void BoardView::setScale(int scale) {
    scale_ = std::max(1, scale);
    setFixedSize(BoardPixelWidth * scale_, visibleHeight_ * scale_);
    update();
}

// While the owner paints for the window system, the paint under way shows the result.
void BoardView::changed(const QRect& area) {
    if (area.isEmpty() || inSystemPaint_) return;
    selfUpdate_ = true;
    update(QRect(area.topLeft() * scale_, area.size() * scale_));
}

void BoardView::changedAll() {
    if (inSystemPaint_) return;
    selfUpdate_ = true;
    update();
}

void BoardView::apply(const StepOutput& step, const QColor& beam) {
    if (step.draws.empty()) return;
    QPainter p(&picture_);
    QRect area;
    for (const DrawOp& d : step.draws) {
        const QRect r(QPoint(std::min(d.x1, d.x2), std::min(d.y1, d.y2)),
                      QPoint(std::max(d.x1, d.x2), std::max(d.y1, d.y2)));
        switch (d.kind) {
            case DrawKind::Box:
                p.fillRect(r, beam);
                break;
            case DrawKind::Line:
                p.setPen(beam);
                p.drawLine(d.x1, d.y1, d.x2, d.y2);
                break;
            case DrawKind::Tile:
                p.drawImage(d.x1, d.y1, bilder().tile(d.picture));
                break;
            case DrawKind::SandPicture:
                p.drawImage(d.x1, d.y1, bilder().sand(d.picture));
                break;
        }
        area |= r.adjusted(0, 0, 1, 1);
    }
    p.end();
    changed(area);
}

void BoardView::clear() {
    picture_.fill(Qt::black);
    changedAll();
}

void BoardView::paintCell(int x, int y, int code) {
    QPainter p(&picture_);
    p.drawImage(CellPixels * x, CellPixels * y, bilder().tile(code));
    p.end();
    changed(QRect(CellPixels * x, CellPixels * y, CellPixels, CellPixels));
}

void BoardView::paintCells(const std::function<int(int index)>& codeAt) {
    QPainter p(&picture_);
    for (int i = 0; i < CellCount; ++i)
        p.drawImage(CellPixels * (i % BoardWidth), CellPixels * (i / BoardWidth),
                    bilder().tile(codeAt(i)));
    p.end();
    changedAll();
}

void BoardView::drawFrame(int x, int y) {
    QPainter p(&picture_);
    p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    const int left = CellPixels * x, top = CellPixels * y, last = CellPixels - 1;
    p.fillRect(left, top, CellPixels, 1, FrameXorPen);
    p.fillRect(left, top + last, CellPixels, 1, FrameXorPen);
    p.fillRect(left, top + 1, 1, last - 1, FrameXorPen);
    p.fillRect(left + last, top + 1, 1, last - 1, FrameXorPen);
    p.end();
    changed(QRect(left, top, CellPixels, CellPixels));
}

QPoint BoardView::cellAt(const QPointF& boardPixel) {
    const auto cell = [](qreal v) {
        return static_cast<int>(std::floor(std::floor(v) / CellPixels));
    };
    return {cell(boardPixel.x()), cell(boardPixel.y())};
}

void BoardView::paintEvent(QPaintEvent* event) {
    // A repaint we did not ask for comes from the window system: without automatic redraw
    // the owner paints the board again first.
    const bool fromSystem = !selfUpdate_;
    selfUpdate_ = false;
    if (fromSystem && !autoRedraw_ && !inSystemPaint_ && onSystemPaint) {
        inSystemPaint_ = true;
        onSystemPaint();
        inSystemPaint_ = false;
    }
    QPainter p(this);
    if (scale_ == 1) {
        p.drawImage(event->rect(), picture_, event->rect());
        return;
    }
    // The picture pixels the area touches, each drawn as a scale x scale square: no
    // smoothing, so the nearest picture pixel fills it.
    const QRect r = event->rect();
    const QRect source(QPoint(r.left() / scale_, r.top() / scale_),
                       QPoint(r.right() / scale_, r.bottom() / scale_));
    p.drawImage(QRect(source.topLeft() * scale_, source.size() * scale_), picture_, source);
}

void BoardView::mousePressEvent(QMouseEvent* event) {
    if (onPress) onPress(event->button(), event->position());
}

void BoardView::mouseReleaseEvent(QMouseEvent* event) {
    if (onRelease) onRelease(event->button(), event->position());
}

void BoardView::mouseMoveEvent(QMouseEvent* event) {
    if (onMove) onMove(event->position());
}

}  // namespace lumor
