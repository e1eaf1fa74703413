#include "editor/TextFields.h"

#include "app/Text.h"
#include "app/paths.h"

#include <QFile>

namespace lumor {

QValidator::State StorableText::validate(QString& input, int&) const {
    if (input.contains(QLatin1Char('\n')) || input.contains(QLatin1Char('\r'))) return Invalid;
    return fromQt(input) ? Acceptable : Invalid;
}

QString fileNameToQt(const std::string& native) {
    return QString::fromStdString(displayFileName(native));
}

std::string fileNameFromQt(const QString& name) { return QFile::encodeName(name).toStdString(); }

QVariant fileNameData(const std::string& native) { return QByteArray::fromStdString(native); }

std::string fileNameFromData(const QVariant& data) { return data.toByteArray().toStdString(); }

}  // namespace lumor
