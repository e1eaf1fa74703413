// Text at the window boundary: the core keeps texts as Windows-1252 bytes, the windows
// show QStrings.
#pragma once

#include <QString>

#include <optional>
#include <string>

namespace lumor {

// Windows-1252 bytes to a QString (the full table, 0x80-0x9F included).
QString toQt(const std::string& cp1252Text);
// A QString to Windows-1252 bytes; nullopt when it holds a character the code page
// cannot store (such a text must be refused, not silently changed).
std::optional<std::string> fromQt(const QString& text);

}  // namespace lumor
