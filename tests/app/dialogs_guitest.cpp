#include "app/Dialogs.h"
#include "app/Text.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest/QTest>

using namespace lumor;

namespace {

// Without hooks (which every window test answers through) the real boxes appear
// modally: `answer` gets the next one from a timer.
template <class Box>
void onNextBox(std::function<void(Box*)> answer) {
    QTimer::singleShot(0, [answer] {
        auto* box = qobject_cast<Box*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->windowTitle(), "Lumor");
        answer(box);
    });
}

}  // namespace

TEST(Dialogs, RealBoxesShowTheTextAndAnswerWithTheirGermanButtons) {
    QString seen;
    onNextBox<QMessageBox>([&](QMessageBox* box) {
        seen = box->text();
        box->accept();
    });
    showMessage(nullptr, QStringLiteral("Sieg!"));
    EXPECT_EQ(seen, "Sieg!");

    onNextBox<QInputDialog>([](QInputDialog* dlg) {
        EXPECT_EQ(dlg->textValue(), "alt");
        dlg->setTextValue(QStringLiteral("Straße"));
        dlg->accept();
    });
    EXPECT_EQ(askText(nullptr, "Name:", "alt"), std::optional<QString>("Straße"));
    onNextBox<QInputDialog>([](QInputDialog* dlg) { dlg->reject(); });
    EXPECT_EQ(askText(nullptr, "Name:"), std::nullopt);

    // Question boxes: the asked default, the answer of the button clicked (none: Escape).
    const struct {
        QuestionButtons buttons;
        const char* click;
        const char* defaultButton;
        Answer answer;
    } cases[] = {
        {QuestionButtons::YesNoDefaultNo, "Ja", "Nein", Answer::Yes},
        {QuestionButtons::YesNoDefaultYes, "Nein", "Ja", Answer::No},
        {QuestionButtons::YesNoCancel, "Abbrechen", "Ja", Answer::Cancel},
        {QuestionButtons::YesNoCancel, nullptr, "Ja", Answer::Cancel},
    };
    for (const auto& c : cases) {
        onNextBox<QMessageBox>([&](QMessageBox* box) {
            EXPECT_EQ(box->buttons().size(), c.buttons == QuestionButtons::YesNoCancel ? 3 : 2);
            EXPECT_EQ(box->defaultButton()->text(), c.defaultButton);
            if (!c.click) QTest::keyClick(box, Qt::Key_Escape);
            for (QAbstractButton* b : box->buttons())
                if (c.click && b->text() == c.click) b->click();
        });
        EXPECT_EQ(askQuestion(nullptr, "Frage?", c.buttons), c.answer) << c.click;
    }
}

TEST(Text, Windows1252AtTheWindowBoundary) {
    // 0x80 is the euro sign and 0x9F "Ÿ" in Windows-1252, not C1 controls.
    EXPECT_EQ(toQt(std::string("\x80 \xE4\xDF \x9F")), QString::fromUtf8("€ äß Ÿ"));
    EXPECT_EQ(fromQt(QString::fromUtf8("€ äß Ÿ")),
              std::optional<std::string>("\x80 \xE4\xDF \x9F"));
    // A character the code page cannot hold is refused, not replaced.
    EXPECT_EQ(fromQt(QString::fromUtf8("Łódź")), std::nullopt);
}
