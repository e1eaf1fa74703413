#include "title/GlowSurface.h"

#include "levels/cp1252.h"

#include <QPaintEvent>
#include <QPainter>

#include <array>

namespace lumor {
namespace {

// The 256 Windows-1252 characters as QStrings, built once.
const QString& glyphText(unsigned char b) {
    static const std::array<QString, 256> table = [] {
        std::array<QString, 256> t;
        for (int i = 0; i < 256; ++i)
            t[static_cast<size_t>(i)] =
                QString::fromStdString(cp1252::toUtf8(std::string(1, static_cast<char>(i))));
        return t;
    }();
    return table[b];
}

}  // namespace

GlowSurface::GlowSurface(QWidget* parent) : QWidget(parent) {
    // The surface paints every pixel itself, so the window behind it is never repainted
    // for a typed character.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QColor GlowSurface::shadeColor(Shade s) {
    // Entries 8, 7 and 15 of the classic 16-colour palette.
    switch (s) {
        case Shade::DarkGrey:
            return QColor(128, 128, 128);
        case Shade::LightGrey:
            return QColor(192, 192, 192);
        case Shade::White:
            break;
    }
    return QColor(255, 255, 255);
}

const QFont& GlowSurface::glyphFont() {
    // A fixed-width face whose characters fit the 8-pixel cells, unsmoothed like a
    // bitmap system font.
    static const QFont font = [] {
        QFont f(QStringLiteral("DejaVu Sans Mono"));
        f.setStyleHint(QFont::TypeWriter);
        f.setFixedPitch(true);
        f.setPixelSize(12);
        f.setBold(true);
        f.setHintingPreference(QFont::PreferFullHinting);
        f.setStyleStrategy(QFont::NoAntialias);
        return f;
    }();
    return font;
}

void GlowSurface::ensureLayer() {
    const qreal dpr = devicePixelRatioF();
    const QSize want = (QSizeF(size()) * dpr).toSize();
    if (layer_.size() == want && qFuzzyCompare(layer_.devicePixelRatio(), dpr)) return;
    QImage fresh(want.expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied);
    fresh.setDevicePixelRatio(dpr);
    fresh.fill(Qt::transparent);
    if (!layer_.isNull()) {
        QPainter p(&fresh);
        p.drawImage(QPointF(0, 0), layer_);
    }
    layer_ = fresh;
}

void GlowSurface::resizeEvent(QResizeEvent*) { ensureLayer(); }

void GlowSurface::clearText() {
    ensureLayer();
    layer_.fill(Qt::transparent);
    update();
}

void GlowSurface::apply(const TypeStep& step) {
    if (!step.clear && step.glyphs.empty()) return;
    ensureLayer();
    if (step.clear) {
        layer_.fill(Qt::transparent);
        update();
    }
    if (step.glyphs.empty()) return;
    QPainter p(&layer_);
    p.setFont(glyphFont());
    const int ascent = QFontMetrics(glyphFont()).ascent();
    QRect dirty;
    for (const Glyph& g : step.glyphs) {
        const QRect cell(g.x, g.y, GlyphWidth, GlyphLineHeight);
        // A lighter shade replaces the darker one, as drawing over it in one colour would.
        p.setCompositionMode(QPainter::CompositionMode_Clear);
        p.fillRect(cell, Qt::transparent);
        p.setCompositionMode(QPainter::CompositionMode_SourceOver);
        if (g.ch != ' ') {
            p.setPen(shadeColor(g.shade));
            p.drawText(QPoint(g.x, g.y + ascent), glyphText(g.ch));
        }
        dirty = dirty.united(cell);
    }
    update(dirty);
}

void GlowSurface::paintEvent(QPaintEvent* event) {
    ensureLayer();
    QPainter p(this);
    p.fillRect(event->rect(), panel_);
    p.drawImage(event->rect(), layer_,
                QRectF(QPointF(event->rect().topLeft()) * layer_.devicePixelRatio(),
                       QSizeF(event->rect().size()) * layer_.devicePixelRatio()));
}

}  // namespace lumor
