#include "app/Dialogs.h"
#include "app/Text.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest/QTest>

using namespace lumor;

// Without hooks (which every window test answers through) the real boxes appear
// modally; answer them from a timer.
TEST(Dialogs, RealBoxesShowTheTextAndReturnTheAnswer) {
    QString seen;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        seen = box->text();
        EXPECT_EQ(box->windowTitle(), "Lumor");
        box->accept();
    });
    showMessage(nullptr, QStringLiteral("Sieg!"));
    EXPECT_EQ(seen, "Sieg!");

    QTimer::singleShot(0, [&] {
        auto* dlg = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        EXPECT_EQ(dlg->textValue(), "alt");
        dlg->setTextValue(QStringLiteral("Straße"));
        dlg->accept();
    });
    EXPECT_EQ(askText(nullptr, "Name:", "alt"), std::optional<QString>("Straße"));

    QTimer::singleShot(0, [&] {
        auto* dlg = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        dlg->reject();
    });
    EXPECT_EQ(askText(nullptr, "Name:"), std::nullopt);
}

TEST(Text, Windows1252AtTheWindowBoundary) {
    // 0x80 is the euro sign and 0x9F "Ÿ" in Windows-1252, not C1 controls.
    EXPECT_EQ(toQt(std::string("\x80 \xE4\xDF \x9F")), QString::fromUtf8("€ äß Ÿ"));
    EXPECT_EQ(fromQt(QString::fromUtf8("€ äß Ÿ")),
              std::optional<std::string>("\x80 \xE4\xDF \x9F"));
    // A character the code page cannot hold is refused, not replaced.
    EXPECT_EQ(fromQt(QString::fromUtf8("Łódź")), std::nullopt);
    EXPECT_EQ(fromQt(QString()), std::optional<std::string>(""));
    for (int b = 0x20; b < 0x100; ++b) {
        const std::string one(1, static_cast<char>(b));
        EXPECT_EQ(fromQt(toQt(one)), std::optional<std::string>(one)) << b;
    }
}

// The real question box: German buttons, the asked default, the answer of the button.
TEST(Dialogs, QuestionBoxesAnswerWithTheirButtons) {
    const struct {
        QuestionButtons buttons;
        const char* click;
        const char* defaultButton;
        Answer answer;
    } cases[] = {
        {QuestionButtons::YesNoDefaultNo, "Ja", "Nein", Answer::Yes},
        {QuestionButtons::YesNoDefaultYes, "Nein", "Ja", Answer::No},
        {QuestionButtons::YesNoCancel, "Abbrechen", "Ja", Answer::Cancel},
        {QuestionButtons::YesNoCancel, nullptr, "Ja", Answer::Cancel},  // closed with Escape
    };
    for (const auto& c : cases) {
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            QStringList captions;
            for (QAbstractButton* b : box->buttons()) captions << b->text();
            EXPECT_EQ(captions.size(), c.buttons == QuestionButtons::YesNoCancel ? 3 : 2);
            EXPECT_EQ(box->defaultButton()->text(), c.defaultButton);
            if (!c.click) {
                QTest::keyClick(box, Qt::Key_Escape);
                return;
            }
            for (QAbstractButton* b : box->buttons())
                if (b->text() == c.click) b->click();
        });
        EXPECT_EQ(askQuestion(nullptr, "Frage?", c.buttons), c.answer) << c.click;
    }
}
