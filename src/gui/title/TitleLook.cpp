#include "title/TitleLook.h"

#include "title/helptext.h"

#include <QFontMetrics>
#include <QGraphicsDropShadowEffect>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>

namespace lumor::look {

namespace {

const QColor MenuColour(196, 216, 255);

QFont menuFont(int points) {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPointSize(points);
    f.setBold(true);
    return f;
}

}  // namespace

QString textColour(const QColor& c) { return QStringLiteral("color: %1;").arg(c.name()); }

QFont uiFont(qreal points, bool bold, int stretch) {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPointSizeF(points);
    f.setBold(bold);
    f.setStretch(stretch);
    return f;
}

QString frameStyle() {
    return QString::fromLatin1(R"(
QGroupBox {
    background: #060c1c;
    border: 1px solid #3a66a8;
    border-radius: 8px;
    margin-top: 0px;
    padding: 34px 12px 10px 12px;
    color: #cfe3ff;
    font-weight: bold;
}
QGroupBox::title {
    subcontrol-origin: border;
    subcontrol-position: top left;
    left: 12px;
    top: 9px;
    padding: 1px 10px;
    background: #12284d;
    border: 1px solid #3a66a8;
    border-radius: 4px;
    color: #e8f2ff;
}
QListWidget {
    background: #02050c;
    border: 1px solid #23406d;
    border-radius: 4px;
    color: #d6e4ff;
    padding: 2px;
    outline: 0;
}
QListWidget::item { padding: 3px 4px; }
QListWidget::item:hover { background: #0d1d3a; }
QListWidget::item:selected { background: #1d4f8f; color: white; }
QPushButton {
    background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #1f3f70, stop:1 #132849);
    border: 1px solid #3c6cb0;
    border-radius: 4px;
    color: #eef5ff;
    padding: 4px 18px;
    min-width: 70px;
}
QPushButton:hover { background: #2a5494; }
QPushButton:pressed { background: #10223f; }
QCheckBox { color: #d6e4ff; spacing: 8px; }
QCheckBox::indicator {
    width: 12px; height: 12px;
    border: 1px solid #4a78bb; border-radius: 3px; background: #02050c;
}
QCheckBox::indicator:checked { background: #46c8ff; border-color: #9fe3ff; }
QCheckBox::indicator:hover { border-color: #9fe3ff; }
QScrollBar:vertical { background: #02050c; width: 10px; margin: 0; }
QScrollBar::handle:vertical { background: #23406d; border-radius: 4px; min-height: 20px; }
QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0; }
)");
}

QCursor linkCursor(qreal dpr) {
    const int size = 32;
    QPixmap pm(QSize(size, size) * dpr);
    pm.setDevicePixelRatio(dpr);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath arrow;
    arrow.moveTo(3, 3);
    arrow.lineTo(3, 22);
    arrow.lineTo(8, 17);
    arrow.lineTo(12, 26);
    arrow.lineTo(15, 25);
    arrow.lineTo(11, 16);
    arrow.lineTo(18, 16);
    arrow.closeSubpath();
    p.setPen(QPen(QColor(0xC0, 0xFF, 0xC0, 90), 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(arrow);
    p.setPen(QPen(QColor(10, 40, 10), 1.4));
    p.setBrush(QColor(0xC0, 0xFF, 0xC0));
    p.drawPath(arrow);
    QRadialGradient g(QPointF(3, 3), 5);
    g.setColorAt(0, Qt::white);
    g.setColorAt(1, QColor(255, 255, 255, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawEllipse(QPointF(3, 3), 5, 5);
    p.end();
    return QCursor(pm, 3, 3);
}

QString wrapCaption(const QString& caption, const QFontMetrics& fm, int width) {
    QString out, line;
    for (const QString& word : caption.split(' ')) {
        const QString candidate = line.isEmpty() ? word : line + ' ' + word;
        if (!line.isEmpty() && fm.horizontalAdvance(candidate) > width) {
            out += line + '\n';
            line = word;
        } else {
            line = candidate;
        }
    }
    return out + line;
}

QPixmap tilePixmap(const QImage& tile, int logical, qreal dpr) {
    if (tile.isNull()) return {};
    const int px = qRound(logical * dpr);
    QPixmap pm =
        QPixmap::fromImage(tile.scaled(px, px, Qt::IgnoreAspectRatio, Qt::FastTransformation));
    pm.setDevicePixelRatio(dpr);
    return pm;
}

int menuEntryPoints(bool pointed) { return pointed ? 24 : 18; }

void styleMenuEntry(QLabel* entry, bool pointed) {
    entry->setFont(menuFont(menuEntryPoints(pointed)));
    if (pointed) {
        auto* glow = new QGraphicsDropShadowEffect(entry);
        glow->setOffset(0, 0);
        glow->setBlurRadius(22);
        glow->setColor(QColor(70, 170, 255, 230));
        entry->setGraphicsEffect(glow);
        entry->setStyleSheet(QStringLiteral("color: white;"));
    } else {
        entry->setGraphicsEffect(nullptr);
        entry->setStyleSheet(textColour(MenuColour));
    }
}

void paintBackdrop(QPainter& p, const QSize& window, const std::array<QRect, 3>& tiles) {
    const int width = window.width(), height = window.height();
    p.setRenderHint(QPainter::Antialiasing);
    // Night-blue backdrop with the faint 32-pixel grid of a board.
    QLinearGradient bg(0, 0, 0, height);
    bg.setColorAt(0.0, QColor(10, 16, 34));
    bg.setColorAt(0.55, QColor(5, 9, 20));
    bg.setColorAt(1.0, QColor(2, 4, 10));
    p.fillRect(QRect(QPoint(0, 0), window), bg);
    p.setPen(QPen(QColor(90, 140, 255, 14), 1));
    for (int x = 14; x < width; x += 32) p.drawLine(QPointF(x + 0.5, 0), QPointF(x + 0.5, height));
    for (int y = 10; y < height; y += 32) p.drawLine(QPointF(0, y + 0.5), QPointF(width, y + 0.5));
    QRadialGradient halo(QPointF(width / 2.0, 70), width * 0.45);
    halo.setColorAt(0, QColor(40, 110, 255, 46));
    halo.setColorAt(1, QColor(40, 110, 255, 0));
    p.fillRect(QRect(QPoint(0, 0), window), halo);

    auto card = [&](const QRectF& r, const QColor& fill) {
        p.setPen(QPen(QColor(47, 85, 144, 200), 1));
        p.setBrush(fill);
        p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), 8, 8);
    };
    card(QRectF(HelpRect).adjusted(-8, -8, 8, 8), PanelColour);
    card(SkinCard, QColor(7, 13, 28, 220));
    card(PackCard, QColor(7, 13, 28, 220));
    // Menu rail: a thin beam line beside the entries.
    QLinearGradient rail(0, MenuY, 0, MenuY + MenuPitch * MenuEntryCount);
    rail.setColorAt(0, QColor(70, 160, 255, 0));
    rail.setColorAt(0.5, QColor(70, 160, 255, 150));
    rail.setColorAt(1, QColor(70, 160, 255, 0));
    p.setPen(QPen(QBrush(rail), 2));
    p.drawLine(QPointF(MenuX - 18, MenuY + 4),
               QPointF(MenuX - 18, MenuY + MenuPitch * MenuEntryCount - 4));
    // Tile frames of the skin card.
    for (const QRect& tile : tiles) {
        p.setPen(QPen(QColor(47, 85, 144), 1));
        p.setBrush(Qt::black);
        p.drawRect(QRectF(tile).adjusted(-2.5, -2.5, 1.5, 1.5));
    }
    // Status line: a console strip under a fading rule.
    QLinearGradient rule(0, 0, width, 0);
    rule.setColorAt(0, QColor(47, 85, 144, 0));
    rule.setColorAt(0.2, QColor(47, 85, 144, 220));
    rule.setColorAt(0.8, QColor(47, 85, 144, 220));
    rule.setColorAt(1, QColor(47, 85, 144, 0));
    p.setPen(QPen(QBrush(rule), 1));
    p.drawLine(QPointF(0, StatusRect.top() - 12.5), QPointF(width, StatusRect.top() - 12.5));
    p.setPen(QPen(QColor(35, 62, 108), 1));
    p.setBrush(PanelColour);
    p.drawRoundedRect(QRectF(StatusRect).adjusted(-8.5, -4.5, 8.5, 4.5), 5, 5);
}

}  // namespace lumor::look
