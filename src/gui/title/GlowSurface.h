// A drawing surface for typed text: the help area and the status line of the title menu.
// Glyphs are kept in a layer at the screen's pixel density and painted over the panel.
#pragma once

#include "title/helptext.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QWidget>

namespace lumor {

class GlowSurface : public QWidget {
public:
    explicit GlowSurface(QWidget* parent = nullptr);

    // Applies one typing step: clears first when asked, then draws each glyph into its cell.
    void apply(const TypeStep& step);
    void clearText();
    void setPanelColor(const QColor& c) { panel_ = c; }
    // The layer of typed glyphs (transparent where nothing is drawn), for tests.
    const QImage& layer() const { return layer_; }

    static QColor shadeColor(Shade s);
    static const QFont& glyphFont();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void ensureLayer();

    QImage layer_;
    QColor panel_{2, 4, 10};
};

}  // namespace lumor
