// The "LUMOR" logo of the title menu, drawn in code as glowing beams: each letter is a
// beam path with right-angled turns, fed by a light beam along the base line.
#pragma once

#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QWidget>

#include <functional>

namespace lumor {

// Paints the logo into `area` (any size; the lettering keeps its proportions).
void paintTitleLogo(QPainter& painter, const QRectF& area);
// The part of `area` that the word "LUMOR" and its base line cover.
QRectF titleLogoWord(const QRectF& area);
// The program's window icon: a glowing beam turned by a mirror on a dark tile.
QIcon titleIcon();
// The same picture at one size (also drawn by the build for the desktop's icons).
QImage titleIconImage(int size);

// The logo in its band. Only the word itself is a link (hover text and click); pointing
// beside it is pointing at the window.
class TitleLogo : public QWidget {
public:
    explicit TitleLogo(QWidget* parent = nullptr);
    bool onWord(const QPointF& position) const;
    std::function<void()> onClick;
    std::function<void()> onHover;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;

private:
    QPixmap cache_;
};

}  // namespace lumor
