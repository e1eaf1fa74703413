#include "editor/TextFields.h"

#include "app/Text.h"

#include <QFile>

namespace lumor {

QValidator::State StorableText::validate(QString& input, int&) const {
    if (input.contains(QLatin1Char('\n')) || input.contains(QLatin1Char('\r'))) return Invalid;
    return fromQt(input) ? Acceptable : Invalid;
}

QString fileNameToQt(const std::string& native) { return QFile::decodeName(native.c_str()); }

std::string fileNameFromQt(const QString& name) { return QFile::encodeName(name).toStdString(); }

}  // namespace lumor
