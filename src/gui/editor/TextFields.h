// Small pieces the editor's windows share: text boxes that take only what a pack can
// store, and file names between the folder and the windows.
#pragma once

#include <QString>
#include <QValidator>
#include <QVariant>

#include <string>

class QLineEdit;

namespace lumor {

struct Unstorable;

// Accepts a text only when Windows-1252 can hold every character and it has no line
// break and no NUL: a character a pack could not store is refused as it is typed, never
// changed.
class StorableText final : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override;
};

// File names as the folder holds them (native bytes) and as the windows show them. A name
// that is not UTF-8 is shown as Windows-1252, as the title menu shows it.
QString fileNameToQt(const std::string& native);
std::string fileNameFromQt(const QString& name);

// Why the character can not be stored, in German: the character, its position and the
// rule (code plus position at most 255, and never a line break).
QString unstorableText(const Unstorable& u);
// Shows in the box that its text cannot be stored (`why` not empty: a reddish box with
// `why` as its tooltip), or that it can.
void flagBox(QLineEdit* box, const QString& why);

// Why a pack cannot be saved under a name of `bytes` bytes (more than MaxPackNameBytes).
QString nameTooLongMessage(size_t bytes);

// Lists keep each entry's own bytes beside the shown text, so a name the windows cannot
// show exactly still opens its own file.
QVariant fileNameData(const std::string& native);
std::string fileNameFromData(const QVariant& data);

}  // namespace lumor
