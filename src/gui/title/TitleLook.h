// The title menu's look: where its parts sit, their colours and fonts, the style sheet of
// its frames, the link label's cursor and the painted backdrop. What the window shows and
// does is Titel's; how it looks is here.
#pragma once

#include <QColor>
#include <QCursor>
#include <QFont>
#include <QPixmap>
#include <QRect>
#include <QString>

#include <array>

class QFontMetrics;
class QImage;
class QLabel;
class QPainter;

namespace lumor::look {

constexpr int WindowWidth = 880;
constexpr int WindowHeight = 514;
constexpr int MenuX = 56, MenuY = 170, MenuPitch = 44, MenuWidth = 236;
inline const QRect LogoBand(0, 4, WindowWidth, 156);
inline const QRect HelpRect(308, 184, 288, 146);  // Picture1, inside its panel
inline const QRect SkinCard(620, 176, 224, 282);
inline const QRect PackCard(300, 346, 304, 112);
inline const QRect FrameRect(300, 176, 544, 282);  // pack and options frames
inline const QRect SkinFrameRect(300, 176, 304,
                                 282);  // the skin frame leaves the skin card visible
inline const QRect StatusRect(56, 484, 624, 16);

inline const QColor PanelColour(3, 6, 14);         // behind the help text and the status line
inline const QColor LinkColour(0xC0, 0xFF, 0xC0);  // light green, as a link

// A label's text colour as a style sheet.
QString textColour(const QColor& c);
QFont uiFont(qreal points, bool bold = false, int stretch = QFont::Unstretched);
// The frames' style sheet: dark panels, blue borders, light text.
QString frameStyle();
// The link label's own cursor: an arrow of light with a small spark at its tip.
QCursor linkCursor(qreal dpr);
// A menu entry at rest (18 points, pale blue) or pointed at (24 points, white, glowing).
void styleMenuEntry(QLabel* entry, bool pointed);
int menuEntryPoints(bool pointed);
// Breaks a caption into lines of at most `width` pixels at blanks.
QString wrapCaption(const QString& caption, const QFontMetrics& fm, int width);
// A skin tile blown up to `logical` pixels, sharp at the screen's density.
QPixmap tilePixmap(const QImage& tile, int logical, qreal dpr);
// The night-blue backdrop with its faint grid, the cards, the menu rail, the frames of the
// skin card's three tiles and the status strip.
void paintBackdrop(QPainter& p, const QSize& window, const std::array<QRect, 3>& tiles);

}  // namespace lumor::look
