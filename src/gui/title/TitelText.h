// Texts the title menu's source files share: conversions for showing file names and pack
// texts, and the menu's own messages.
#pragma once

#include "app/Text.h"
#include "app/paths.h"

#include <QString>

#include <algorithm>
#include <string>

namespace lumor::titletext {

inline QString qs(const std::string& cp) { return toQt(cp); }

// Windows-1252 form of a text from the file system, for showing only: a character the
// code page cannot hold becomes "?".
inline std::string cpShown(const QString& text) {
    if (auto cp = fromQt(text)) return *cp;
    std::string out;
    for (QChar ch : text) out += fromQt(QString(ch)).value_or("?");
    return out;
}

// A file name less its last four characters (the extension, for the names listed here).
inline QString lessLastFour(const QString& name) {
    return name.left(std::max<qsizetype>(0, name.size() - 4));
}

// A file name for the lists; the file itself is always opened by its own bytes.
inline QString shownName(const std::string& native) {
    return QString::fromStdString(displayFileName(native));
}

inline const QString NoPacksMessage = QStringLiteral("Keine LevelPacks vorhanden!");
inline const QString WrongPassword = QStringLiteral("Passwort falsch!");
inline const std::string HomePageHint = "  Zur Homepage von Lumor   ";

}  // namespace lumor::titletext
