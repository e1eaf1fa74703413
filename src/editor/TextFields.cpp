#include "editor/TextFields.h"

#include "app/Text.h"
#include "app/paths.h"
#include "editor/packfiles.h"

#include <QFile>

namespace lumor {

QValidator::State StorableText::validate(QString& input, int&) const {
    // A pack stores each text on a line of its own and cannot keep a NUL in it.
    for (const QChar c : {QChar(u'\n'), QChar(u'\r'), QChar(u'\0')})
        if (input.contains(c)) return Invalid;
    return fromQt(input) ? Acceptable : Invalid;
}

QString fileNameToQt(const std::string& native) {
    return QString::fromStdString(displayFileName(native));
}

std::string fileNameFromQt(const QString& name) { return QFile::encodeName(name).toStdString(); }

QString nameTooLongMessage(size_t bytes) {
    return QStringLiteral(
               "Der Name ist zu lang: ein Levelpack kann nur unter einem Namen von höchstens "
               "%1 Byte gespeichert werden (mit \u201e.llp\u201c; Umlaute zählen doppelt), "
               "dieser hat %2. Bitte wählen sie einen kürzeren.")
        .arg(MaxPackNameBytes)
        .arg(bytes);
}

QVariant fileNameData(const std::string& native) { return QByteArray::fromStdString(native); }

std::string fileNameFromData(const QVariant& data) { return data.toByteArray().toStdString(); }

}  // namespace lumor
