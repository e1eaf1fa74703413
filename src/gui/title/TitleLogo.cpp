#include "title/TitleLogo.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <array>
#include <vector>

namespace lumor {
namespace {

// Letter strokes on a grid of 4 x 6 units per letter, y downward.
std::vector<QPainterPath> letterPaths() {
    std::vector<QPainterPath> paths;
    auto poly = [](std::initializer_list<QPointF> pts, bool close = false) {
        QPainterPath path;
        auto it = pts.begin();
        path.moveTo(*it);
        for (++it; it != pts.end(); ++it) path.lineTo(*it);
        if (close) path.closeSubpath();
        return path;
    };
    paths.push_back(poly({{0, 0}, {0, 6}, {4, 6}}));                    // L
    paths.push_back(poly({{0, 0}, {0, 6}, {4, 6}, {4, 0}}));            // U
    paths.push_back(poly({{0, 6}, {0, 0}, {2, 2.4}, {4, 0}, {4, 6}}));  // M
    paths.push_back(poly({{0, 0}, {4, 0}, {4, 6}, {0, 6}}, true));      // O
    QPainterPath r = poly({{0, 6}, {0, 0}, {4, 0}, {4, 3}, {0, 3}});    // R
    r.moveTo(1.8, 3);
    r.lineTo(4, 6);
    paths.push_back(r);
    return paths;
}

// A box blur over a premultiplied picture, in place: three passes come close to a Gaussian.
void boxBlur(QImage& img, int radius) {
    const int w = img.width(), h = img.height();
    std::vector<uint32_t> line(static_cast<size_t>(std::max(w, h)));
    auto pass = [&](bool horizontal) {
        const int outer = horizontal ? h : w, inner = horizontal ? w : h;
        for (int o = 0; o < outer; ++o) {
            auto px = [&](int i) -> QRgb& {
                return horizontal ? reinterpret_cast<QRgb*>(img.scanLine(o))[i]
                                  : reinterpret_cast<QRgb*>(img.scanLine(i))[o];
            };
            for (int i = 0; i < inner; ++i) line[static_cast<size_t>(i)] = px(i);
            int sum[4] = {0, 0, 0, 0};
            auto add = [&](int i, int sign) {
                if (i < 0 || i >= inner) return;
                const QRgb c = line[static_cast<size_t>(i)];
                sum[0] += sign * qAlpha(c);
                sum[1] += sign * qRed(c);
                sum[2] += sign * qGreen(c);
                sum[3] += sign * qBlue(c);
            };
            for (int i = -radius; i < radius; ++i) add(i, 1);
            const int n = 2 * radius + 1;
            for (int i = 0; i < inner; ++i) {
                add(i + radius, 1);
                px(i) = qRgba(sum[1] / n, sum[2] / n, sum[3] / n, sum[0] / n);
                add(i - radius, -1);
            }
        }
    };
    for (int k = 0; k < 3; ++k) {
        pass(true);
        pass(false);
    }
}

void stroke(QPainter& p, const QPainterPath& path, const QColor& colour, qreal width) {
    p.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
}

void spark(QPainter& p, QPointF at, qreal r, const QColor& colour) {
    QRadialGradient g(at, r);
    QColor c = colour;
    g.setColorAt(0.0, QColor(255, 255, 255, 255));
    c.setAlpha(160);
    g.setColorAt(0.25, c);
    c.setAlpha(0);
    g.setColorAt(1.0, c);
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawEllipse(at, r, r);
    QColor ray = colour;
    ray.setAlpha(150);
    p.setPen(QPen(ray, r * 0.07));
    p.drawLine(at - QPointF(r * 1.3, 0), at + QPointF(r * 1.3, 0));
    p.drawLine(at - QPointF(0, r * 0.8), at + QPointF(0, r * 0.8));
}

// Where the word stands in an area: the size of a grid unit and the top-left corner.
struct WordPlace {
    qreal unit;
    QPointF origin;
};
constexpr qreal letterW = 4, gap = 2.2, letterH = 6, baseBelow = 1.35;
constexpr qreal unitsW = letterW * 5 + gap * 4;

WordPlace wordPlace(const QRectF& area) {
    const qreal unit = std::min(area.width() * 0.62 / unitsW, area.height() * 0.56 / letterH);
    return {unit,
            QPointF(area.center().x() - unitsW * unit / 2, area.top() + area.height() * 0.16)};
}

}  // namespace

QRectF titleLogoWord(const QRectF& area) {
    const WordPlace w = wordPlace(area);
    return QRectF(w.origin, QSizeF(unitsW, letterH + baseBelow) * w.unit)
        .adjusted(-w.unit / 2, -w.unit / 2, w.unit / 2, w.unit / 2);
}

namespace {

// Cool blue through cyan to violet across the word.
const std::array<QColor, 5> LetterColours{QColor(60, 140, 255), QColor(40, 190, 255),
                                          QColor(60, 225, 235), QColor(120, 170, 255),
                                          QColor(175, 120, 255)};

// The letters' strokes where the word stands.
std::vector<QPainterPath> placedLetters(const WordPlace& place) {
    const auto paths = letterPaths();
    std::vector<QPainterPath> placed;
    for (size_t i = 0; i < paths.size(); ++i) {
        QTransform t;
        t.translate(place.origin.x() + static_cast<qreal>(i) * (letterW + gap) * place.unit,
                    place.origin.y());
        t.scale(place.unit, place.unit);
        placed.push_back(t.map(paths[i]));
    }
    return placed;
}

// The halo: the strokes drawn wide at a quarter of the size, blurred and laid over.
void paintHalo(QPainter& p, const QRectF& area, const std::vector<QPainterPath>& placed,
               qreal core) {
    const qreal dpr = p.device() ? p.device()->devicePixelRatioF() : 1.0;
    const qreal shrink = 0.25 * dpr;  // a quarter of the device pixels
    QImage halo((area.size() * shrink).toSize().expandedTo(QSize(1, 1)),
                QImage::Format_ARGB32_Premultiplied);
    halo.fill(Qt::transparent);
    {
        QPainter hp(&halo);
        hp.setRenderHint(QPainter::Antialiasing);
        hp.scale(shrink, shrink);
        hp.translate(-area.topLeft());
        for (size_t i = 0; i < placed.size(); ++i) {
            QColor c = LetterColours[i];
            c.setAlpha(150);
            stroke(hp, placed[i], c, core * 3.2);
        }
    }
    boxBlur(halo, std::max(1, qRound(core * shrink * 1.4)));
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(area, halo);
}

// The base beam: warm light running under the word from a source at the left edge,
// fading out to the right, with sparks where it passes the letters' feet.
void paintBaseBeam(QPainter& p, const QRectF& area, const WordPlace& place, qreal core) {
    const qreal unit = place.unit;
    const QPointF origin = place.origin;
    const qreal baseY = origin.y() + (letterH + baseBelow) * unit;
    const qreal x0 = area.left() + area.width() * 0.10, x1 = area.right() - area.width() * 0.10;
    QLinearGradient beam(x0, 0, x1, 0);
    beam.setColorAt(0.0, QColor(255, 190, 60, 0));
    beam.setColorAt(0.18, QColor(255, 200, 70, 210));
    beam.setColorAt(0.82, QColor(255, 150, 60, 170));
    beam.setColorAt(1.0, QColor(255, 120, 60, 0));
    for (auto [w, a] : std::array<std::pair<qreal, qreal>, 3>{
             {{core * 3.5, 0.15}, {core * 1.6, 0.4}, {core * 0.5, 1.0}}}) {
        p.setOpacity(a);
        p.setPen(QPen(QBrush(beam), w, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(QPointF(x0, baseY), QPointF(x1, baseY));
    }
    p.setOpacity(1.0);
    spark(p, QPointF(origin.x() + 4 * unit, origin.y() + letterH * unit), unit * 0.9,
          QColor(120, 220, 255));
    spark(p, QPointF(origin.x() + (4 * letterW + 4 * gap + 4) * unit, origin.y() + letterH * unit),
          unit * 0.9, QColor(200, 150, 255));
    spark(p, QPointF(origin.x() + (2 * (letterW + gap) + 2) * unit, origin.y() + 2.4 * unit),
          unit * 0.7, QColor(140, 240, 255));
}

}  // namespace

void paintTitleLogo(QPainter& p, const QRectF& area) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setCompositionMode(QPainter::CompositionMode_Plus);  // light adds up like light

    const WordPlace place = wordPlace(area);
    const qreal core = place.unit * 0.42;
    const std::vector<QPainterPath> placed = placedLetters(place);
    paintHalo(p, area, placed, core);
    for (size_t i = 0; i < placed.size(); ++i) {
        QColor c = LetterColours[i];
        c.setAlpha(110);
        stroke(p, placed[i], c, core * 1.9);
        c.setAlpha(235);
        stroke(p, placed[i], c, core * 1.05);
        stroke(p, placed[i], QColor(255, 255, 255, 235), core * 0.45);
    }
    paintBaseBeam(p, area, place, core);
    p.restore();
}

QImage titleIconImage(int size) {
    QImage pm(size, size, QImage::Format_ARGB32_Premultiplied);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 64.0, size / 64.0);
    QLinearGradient bg(0, 0, 0, 64);
    bg.setColorAt(0, QColor(16, 28, 60));
    bg.setColorAt(1, QColor(4, 8, 20));
    p.setPen(QPen(QColor(60, 110, 200), 2));
    p.setBrush(bg);
    p.drawRoundedRect(QRectF(2, 2, 60, 60), 12, 12);
    // A beam from the left, turned upward by a mirror.
    QPainterPath beam;
    beam.moveTo(8, 44);
    beam.lineTo(40, 44);
    beam.lineTo(40, 10);
    p.setBrush(Qt::NoBrush);
    p.setCompositionMode(QPainter::CompositionMode_Plus);
    for (auto [w, a] : std::array<std::pair<qreal, int>, 3>{{{14, 40}, {8, 90}, {4, 230}}}) {
        p.setPen(QPen(QColor(60, 200, 255, a), w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPath(beam);
    }
    p.setPen(QPen(QColor(255, 255, 255, 240), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(beam);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(230, 60, 50));
    p.drawPolygon(QPolygonF({QPointF(35, 50), QPointF(49, 50), QPointF(49, 36)}));
    p.end();
    return pm;
}

QIcon titleIcon() {
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128}) icon.addPixmap(QPixmap::fromImage(titleIconImage(size)));
    return icon;
}

TitleLogo::TitleLogo(QWidget* parent) : QWidget(parent) { setMouseTracking(true); }

bool TitleLogo::onWord(const QPointF& position) const {
    return titleLogoWord(QRectF(rect())).contains(position);
}

void TitleLogo::paintEvent(QPaintEvent*) {
    const qreal dpr = devicePixelRatioF();
    const QSize want = (QSizeF(size()) * dpr).toSize();
    if (cache_.size() != want) {
        cache_ = QPixmap(want);
        cache_.setDevicePixelRatio(dpr);
        cache_.fill(Qt::transparent);
        QPainter cp(&cache_);
        paintTitleLogo(cp, QRectF(QPointF(0, 0), QSizeF(size())));
    }
    QPainter p(this);
    p.drawPixmap(0, 0, cache_);
}

void TitleLogo::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && onWord(event->position()) && onClick) onClick();
}

// Beside the word the band is the window's free area: the move goes on to the window.
void TitleLogo::mouseMoveEvent(QMouseEvent* event) {
    if (!onWord(event->position())) {
        unsetCursor();
        event->ignore();
        return;
    }
    setCursor(Qt::PointingHandCursor);
    if (onHover) onHover();
}

void TitleLogo::enterEvent(QEnterEvent* event) {
    if (onWord(event->position())) {
        setCursor(Qt::PointingHandCursor);
        if (onHover) onHover();
    }
}

}  // namespace lumor
