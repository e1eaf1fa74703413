// What the board window's two source files share: its measures, colours and captions.
#pragma once

#include "play/cells.h"

#include <QColor>
#include <QString>

namespace lumor::boardwindow {

inline constexpr int FeldWidth = BoardPixelWidth;  // the board picture box's visible size
inline constexpr int FeldHeight = 383;             // one row short of the 12 cell rows
inline const QColor Yellow(255, 255, 0);           // the beam's colour, whatever the skin
inline const QColor DarkGrey(64, 64, 64);

inline const QString StartCaption = QStringLiteral("Start");
inline const QString StopCaption = QStringLiteral("Stop");
inline const QString WeiterCaption = QStringLiteral("Weiter");
inline const QString NochMalCaption = QStringLiteral("Noch mal");
inline const QString AbbrechenCaption = QStringLiteral("Abbrechen");

}  // namespace lumor::boardwindow
