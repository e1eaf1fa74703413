// Message boxes and input boxes go through this seam so tests can answer them.
#pragma once

#include <QString>
#include <functional>
#include <optional>

class QWidget;

namespace lumor {

// A modal message box with the text (and "Lumor" as title); with an exclamation icon
// when `warning` is set.
void showMessage(QWidget* parent, const QString& text, bool warning = false);
// A modal input box; nullopt when cancelled.
std::optional<QString> askText(QWidget* parent, const QString& prompt, const QString& initial = {});

enum class Answer { Yes, No, Cancel };
enum class QuestionButtons { YesNoDefaultYes, YesNoDefaultNo, YesNoCancel };
// A modal question box with the buttons "Ja", "Nein" (and "Abbrechen"). Closing it
// without a button answers No, or Cancel where that button is offered.
Answer askQuestion(QWidget* parent, const QString& text, QuestionButtons buttons);

// Test hooks: when set, called instead of showing a box.
struct DialogHooks {
    std::function<void(const QString& text)> message;
    std::function<std::optional<QString>(const QString& prompt, const QString& initial)> input;
    std::function<Answer(const QString& text, QuestionButtons buttons)> question;
};
DialogHooks& dialogHooks();

}  // namespace lumor
