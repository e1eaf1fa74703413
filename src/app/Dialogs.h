// Message boxes and input boxes go through this seam so tests can answer them.
#pragma once

#include <QString>
#include <functional>
#include <optional>

class QWidget;

namespace lumor {

// A modal message box with the text (and "Lumor" as title).
void showMessage(QWidget* parent, const QString& text);
// A modal input box; nullopt when cancelled.
std::optional<QString> askText(QWidget* parent, const QString& prompt, const QString& initial = {});

// Test hooks: when set, called instead of showing a box.
struct DialogHooks {
    std::function<void(const QString& text)> message;
    std::function<std::optional<QString>(const QString& prompt)> input;
};
DialogHooks& dialogHooks();

}  // namespace lumor
