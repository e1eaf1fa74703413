#include "editor/TextFields.h"

#include "app/Text.h"
#include "app/paths.h"
#include "editor/packfiles.h"

#include <QFile>
#include <QLineEdit>

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

QString unstorableText(const Unstorable& u) {
    const unsigned stored = u.code + static_cast<unsigned>(u.position);
    // A control character has no picture of its own: it is named by its code.
    const QString c =
        u.code < 32
            ? QStringLiteral("Zeichen %1").arg(u.code)
            : QStringLiteral("\u201e%1\u201c").arg(toQt(std::string(1, static_cast<char>(u.code))));
    if (u.lineBreak)
        return QStringLiteral("%1 an Stelle %2 geht nicht: %3 + %2 = %4 wäre ein Zeilenumbruch")
            .arg(c)
            .arg(u.position)
            .arg(u.code)
            .arg(stored);
    if (u.code == 255)
        return QStringLiteral("%1 geht an keiner Stelle: Code 255 + Stelle ist über 255").arg(c);
    return QStringLiteral(
               "%1 an Stelle %2 geht nicht: Code %3 + %2 ist über 255 (nur bis Stelle %4)")
        .arg(c)
        .arg(u.position)
        .arg(u.code)
        .arg(255 - u.code);
}

void flagBox(QLineEdit* box, const QString& why) {
    QPalette colours = box->parentWidget() ? box->parentWidget()->palette() : QPalette();
    if (!why.isEmpty()) colours.setColor(QPalette::Base, QColor(255, 205, 205));
    box->setPalette(colours);
    box->setToolTip(why);
}

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
