#include "app/Text.h"

#include "levels/cp1252.h"

namespace lumor {

QString toQt(const std::string& cp1252Text) {
    return QString::fromStdString(cp1252::toUtf8(cp1252Text));
}

std::optional<std::string> fromQt(const QString& text) {
    return cp1252::fromUtf8(text.toStdString());
}

}  // namespace lumor
