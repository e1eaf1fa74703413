#include "app/Look.h"

#include <QFont>
#include <QWidget>

namespace lumor::look {

QPalette windowPalette() {
    QPalette p;
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        p.setColor(group, QPalette::Window, NightBlue);
        p.setColor(group, QPalette::WindowText, LightText);
        p.setColor(group, QPalette::Base, DeepBlue);
        p.setColor(group, QPalette::AlternateBase, NightBlue);
        p.setColor(group, QPalette::Text, LightText);
        p.setColor(group, QPalette::Button, QColor(26, 53, 96));
        p.setColor(group, QPalette::ButtonText, QColor(238, 245, 255));
        p.setColor(group, QPalette::Highlight, SelectedBlue);
        p.setColor(group, QPalette::HighlightedText, Qt::white);
        p.setColor(group, QPalette::ToolTipBase, DeepBlue);
        p.setColor(group, QPalette::ToolTipText, LightText);
        p.setColor(group, QPalette::Link, QColor(0xC0, 0xFF, 0xC0));
    }
    p.setColor(QPalette::Disabled, QPalette::Window, NightBlue);
    p.setColor(QPalette::Disabled, QPalette::Base, DeepBlue);
    for (const QPalette::ColorRole role :
         {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, QColor(96, 112, 140));
    p.setColor(QPalette::Disabled, QPalette::Button, QColor(16, 28, 50));
    return p;
}

QString windowStyle() {
    return QString::fromLatin1(R"(
QPushButton {
    background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #1f3f70, stop:1 #132849);
    border: 1px solid #3c6cb0;
    border-radius: 4px;
    color: #eef5ff;
    padding: 0px;
}
QPushButton:hover { background: #2a5494; }
QPushButton:pressed { background: #10223f; }
QPushButton:focus { border-color: #9fe3ff; }
QPushButton:disabled { background: #101c32; border-color: #23406d; color: #60708c; }
QLineEdit {
    background: #02050c;
    border: 1px solid #3a66a8;
    border-radius: 3px;
    color: #d6e4ff;
    padding: 2px 4px;
    selection-background-color: #1d4f8f;
}
QLineEdit:focus { border-color: #9fe3ff; }
QLabel { color: #d6e4ff; }
QToolTip { background: #02050c; color: #d6e4ff; border: 1px solid #3a66a8; }
)");
}

void applyWindowLook(QWidget* window, Buttons buttons) {
    window->setPalette(windowPalette());
    window->setAutoFillBackground(true);
    window->setStyleSheet(windowStyle() +
                          (buttons == Buttons::Roomy
                               ? QStringLiteral("QPushButton { padding: 4px 14px; }\n")
                               : QString()));
    QFont f = window->font();
    f.setFamily(QStringLiteral("DejaVu Sans"));
    window->setFont(f);
}

}  // namespace lumor::look
