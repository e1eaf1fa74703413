// The game's dark look outside the title menu's own painting: the board window, the
// finder and the message and input boxes take the title menu's night blue, its light text,
// its buttons and its font, so every window of the game looks like one program.
#pragma once

#include <QColor>
#include <QPalette>
#include <QString>

class QWidget;

namespace lumor::look {

inline const QColor NightBlue(7, 12, 26);       // a window's ground
inline const QColor DeepBlue(2, 5, 12);         // fields to type in
inline const QColor LightText(214, 228, 255);   // text on the ground
inline const QColor BorderBlue(58, 102, 168);   // frames and edges
inline const QColor SelectedBlue(29, 79, 143);  // a selection

// The palette of a dark window: night-blue ground, light text, blue selection.
QPalette windowPalette();
// The style sheet of a dark window's controls: labels, buttons as in the title menu's
// frames, compact enough for the board window's narrow ones, and fields to type in (a
// style sheet's widgets take their text colours from it rather than from the palette).
QString windowStyle();
// Gives `window` and everything in it the dark look, keeping its font's size and weight
// but in the title menu's typeface. A message or input box gets roomier buttons than the
// board window's, which must hold their captions in a fixed width.
enum class Buttons { Compact, Roomy };
void applyWindowLook(QWidget* window, Buttons buttons = Buttons::Compact);

}  // namespace lumor::look
