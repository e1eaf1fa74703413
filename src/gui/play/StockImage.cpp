#include "play/StockImage.h"

#include <QMouseEvent>
#include <QPainter>

namespace lumor {

namespace {

const QColor Yellow(255, 255, 0);  // the beam's colour, whatever the skin

}  // namespace

StockImage::StockImage(QWidget* parent, int index, std::function<void(int)> onClick)
    : QWidget(parent), index_(index), onClick_(std::move(onClick)) {
    setMouseTracking(true);
}

void StockImage::setPicture(const QImage& img) {
    picture_ = img;
    update();
}

void StockImage::setBorderStyle(int style) {
    if (style == border_) return;
    border_ = style;
    // Like an image control without stretching, the frame is drawn around the picture:
    // the control grows by one pixel on each side, its top-left corner stays.
    resize(border_ ? 34 : 32, border_ ? 34 : 32);
    update();
}

void StockImage::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const int inset = border_ ? 1 : 0;
    p.drawImage(inset, inset, picture_);
    if (border_) {
        // A single-line frame is easily missed on a dark tile: the beam's colour inside it.
        p.setPen(QPen(Yellow, 2));
        p.drawRect(QRectF(2, 2, width() - 4, height() - 4));
        p.setPen(Qt::black);
        p.drawRect(0, 0, width() - 1, height() - 1);
    }
}

void StockImage::mousePressEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton && onClick_) onClick_(index_);
}

}  // namespace lumor
