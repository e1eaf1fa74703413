#include "editor/EditorPalette.h"

#include "app/Text.h"
#include "editor/boardedit.h"
#include "play/Bilder.h"
#include "play/cells.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

namespace lumor {

EditorPalette::EditorPalette(QWidget* parent) : QWidget(parent) {
    image_ = QImage(PaletteWidth, PaletteHeight, QImage::Format_RGB32);
    image_.fill(palette().color(QPalette::Window));
    setFixedSize(PaletteWidth, PaletteHeight);
    setMouseTracking(true);
    setCursor(Qt::PointingHandCursor);
}

void EditorPalette::paint() {
    image_.fill(palette().color(QPalette::Window));
    QPainter p(&image_);
    for (const Element& e : Elements) {
        const auto [x, y] = palettePosition(e.code);
        p.drawImage(x, y, bilder().tile(e.code));
    }
    update();
}

void EditorPalette::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(0, 0, image_);
}

void EditorPalette::mousePressEvent(QMouseEvent* e) {
    const QPoint pos = e->position().toPoint();
    if (onPress) onPress(pos.x(), pos.y());
}

void EditorPalette::mouseMoveEvent(QMouseEvent* e) {
    const QPoint pos = e->position().toPoint();
    if (onHover) onHover(paletteCode(pos.x(), pos.y()));
    e->ignore();  // the window's background sees the move too
}

bool EditorPalette::event(QEvent* e) {
    if (e->type() != QEvent::ToolTip) return QWidget::event(e);
    const auto* help = static_cast<QHelpEvent*>(e);
    const int code = paletteCode(help->pos().x(), help->pos().y());
    if (code < 0)
        QToolTip::hideText();
    else
        QToolTip::showText(help->globalPos(), toQt(paletteName(code)), this);
    return true;
}

TileImage::TileImage(QWidget* parent) : QWidget(parent) { setFixedSize(34, 34); }

void TileImage::setPicture(const QImage& picture) {
    picture_ = picture;
    update();
}

void TileImage::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setPen(palette().color(QPalette::Mid));
    p.drawRect(0, 0, 33, 33);
    if (!picture_.isNull()) p.drawImage(1, 1, picture_);
}

}  // namespace lumor
