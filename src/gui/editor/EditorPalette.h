// The editor's pictures: the palette of element pictures to paint with, and the single
// element pictures of the selected code and the stock slots.
#pragma once

#include <QImage>
#include <QWidget>

#include <functional>

namespace lumor {

// The palette: the elements' pictures in two columns, by their palette place.
class EditorPalette final : public QWidget {
public:
    explicit EditorPalette(QWidget* parent);
    void paint();

    // A press at (x, y) in the palette's pixels; a move over element `code`, or -1 off them.
    std::function<void(int x, int y)> onPress;
    std::function<void(int code)> onHover;

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    bool event(QEvent* e) override;  // the element's name as the tooltip

private:
    QImage image_;
};

// One element picture (the selected code, the stock slots).
class TileImage final : public QWidget {
public:
    explicit TileImage(QWidget* parent);
    void setPicture(const QImage& picture);
    const QImage& picture() const { return picture_; }

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    QImage picture_;
};

}  // namespace lumor
