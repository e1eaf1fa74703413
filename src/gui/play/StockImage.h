// The board window's stock: the eight pieces a level allows, each a clickable skin tile.
#pragma once

#include <QImage>
#include <QWidget>

#include <functional>

namespace lumor {

// A stock image: one skin tile, clickable, with an optional single-line frame. The framed
// (chosen) one is also marked in the beam's colour, inside the frame.
class StockImage final : public QWidget {
public:
    StockImage(QWidget* parent, int index, std::function<void(int)> onClick);
    void setPicture(const QImage& img);
    void setBorderStyle(int style);  // 0 none, 1 single line
    int borderStyle() const { return border_; }

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;

private:
    int index_;
    int border_ = 0;
    QImage picture_;
    std::function<void(int)> onClick_;
};
}  // namespace lumor
