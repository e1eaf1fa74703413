// The editor's small dialogs: the pack information, opening and saving.
#include "editor_support.h"

#include "editor/IDEdit.h"
#include "editor/LoadMap.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QtTest/QTest>

using namespace lumor;
using lumortest::EditorFixture;

namespace {

using DialogsTest = EditorFixture;

// Runs a modal dialog and lets `act` work on it once it is shown; `act` must close it.
template <typename D, typename F>
int runShown(D& dialog, F act) {
    QTimer::singleShot(0, &dialog, [&] {
        act();
        if (dialog.isVisible()) {
            ADD_FAILURE() << "the dialog is still open";
            dialog.done(-1);
        }
    });
    return dialog.exec();
}

}  // namespace

TEST_F(DialogsTest, PackInformationIsStoredTrimmedOnEveryWayOfClosing) {
    PackHeader header{"Autor", "", "", "", "Titel", "alt"};
    const char* typedLinks[] = {" www.example.org", "du@example.org", "HTTPS://a.b"};
    const char* storedLinks[] = {"http://www.example.org", "mailto:du@example.org", "HTTPS://a.b"};
    const QStringList said[] = {{"Der Url wurde 'http://' vorangefügt"},
                                {"Der E-Mail Adresse wurde 'mailto:' vorangefügt"},
                                {}};
    for (int way = 0; way < 3; ++way) {
        messages.clear();
        IDEdit d(header);
        EXPECT_EQ(d.Text5->text(), way == 0 ? "Titel" : "Neu");
        runShown(d, [&] {
            d.Text5->setText(" Neu ");
            d.Text2->setText("Ende ");
            d.Text3->setText(typedLinks[way]);
            d.Text6->setText("  geheim  ");
            if (way == 0) d.Command1->click();
            if (way == 1) d.close();
            if (way == 2) QTest::keyClick(&d, Qt::Key_Escape);
        });
        EXPECT_EQ(header, (PackHeader{"Autor", "", "Ende", storedLinks[way], "Neu", "geheim"}));
        EXPECT_EQ(messages, said[way]);
    }

    // A character no pack can store is refused as it is typed.
    IDEdit d(header);
    d.Text4->clear();
    for (const QChar c : QString::fromUtf8("Łu€")) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(d.Text4, &press);
    }
    EXPECT_EQ(d.Text4->text(), QString::fromUtf8("u€"));
}

TEST_F(DialogsTest, OpeningListsThePackFilesAndHandsBackThePath) {
    writePackFile("b.LLP", levels("B", 1));
    writePackFile("a.llp", levels("A", 1));
    QFile(path("notes.txt")).open(QIODevice::WriteOnly);
    state().handover.set(5);
    {
        LoadMap d;
        EXPECT_TRUE(state().handover.empty());
        ASSERT_EQ(d.List1->count(), 2);
        EXPECT_EQ(d.List1->currentRow(), 0);
        runShown(d, [&] {
            const QPoint at = d.List1->visualItemRect(d.List1->item(1)).center();
            QTest::mouseClick(d.List1->viewport(), Qt::LeftButton, {}, at);
            QTest::mouseDClick(d.List1->viewport(), Qt::LeftButton, {}, at);
        });
        EXPECT_EQ(state().handover.toText(), file("b.LLP"));
    }
    // No pack at all: an empty list, and OK acts as "Abbrechen".
    QFile::remove(path("a.llp"));
    QFile::remove(path("b.LLP"));
    LoadMap d;
    EXPECT_EQ(d.List1->count(), 0);
    EXPECT_EQ(runShown(d, [&] { d.Command2->click(); }), QDialog::Rejected);
    EXPECT_TRUE(state().handover.empty());
}

TEST_F(DialogsTest, SavingChecksTheNameAndAsksBeforeReplacing) {
    writePackFile("alt.llp", levels("A", 1));
    const std::pair<const char*, const char*> names[] = {
        {"pack.llp.txt", "pack.llp.txt.llp"}, {"pack.LLP", "pack.LLP"}, {"", ""}};
    for (const auto& [typed, stored] : names) {
        SaveMap d;
        d.Text1->setText(typed);
        d.Command1_Click();
        EXPECT_EQ(state().handover.toText(), *typed ? file(stored) : "") << typed;
    }
    // Refused with a message, the dialog staying open: the nine characters, a hidden name.
    for (const char c : std::string("\\/:*?\"<>|.")) {
        SaveMap d;
        d.Text1->setText(QString(QLatin1Char(c)) + "x");
        d.Command1_Click();
        EXPECT_TRUE(state().handover.empty()) << c;
    }
    EXPECT_EQ(messages.value(0),
              "Der Name darf keines der folgenden Zeichen enthalten:\r\n \\ / : "
              "* ? \" < > |");
    EXPECT_EQ(messages.size(), 10);

    // An existing pack: the question with No as the default; No keeps the dialog open.
    SaveMap d;
    QTest::mouseClick(d.List1->viewport(), Qt::LeftButton, {},
                      d.List1->visualItemRect(d.List1->item(0)).center());
    EXPECT_EQ(d.Text1->text(), "alt.llp");
    replies = {Answer::No, Answer::Yes};
    int result = runShown(d, [&] {
        QTest::keyClick(d.Text1, Qt::Key_Return);  // Enter in the name box is OK
        EXPECT_TRUE(d.isVisible());
        EXPECT_TRUE(state().handover.empty());
        QTest::keyClick(d.Text1, Qt::Key_Enter);
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(questions, QStringList(2, "Soll das Levelpack überschrieben werden?"));
    EXPECT_EQ(buttons, std::vector<QuestionButtons>(2, QuestionButtons::YesNoDefaultNo));
    EXPECT_EQ(state().handover.toText(), file("alt.llp"));
}

TEST_F(DialogsTest, APackNamedInLatin1IsShownAsTheTitleMenuShowsItAndOpensByItsOwnBytes) {
    writePackFile("M\xe4rz.llp", levels("M", 2));
    const QString shown = QString::fromUtf8("März.llp");
    {
        LoadMap d;
        ASSERT_EQ(d.List1->count(), 1);
        EXPECT_EQ(d.List1->item(0)->text(), shown);
        runShown(d, [&] { d.Command2->click(); });
        EXPECT_EQ(state().handover.toText(), file("M\xe4rz.llp"));
    }
    // Saving under the name as shown replaces that file rather than making a UTF-8 twin.
    SaveMap d;
    d.Text1->setText(QString::fromUtf8("März"));
    replies = {Answer::Yes};
    EXPECT_EQ(runShown(d, [&] { d.Command1->click(); }), QDialog::Accepted);
    EXPECT_EQ(state().handover.toText(), file("M\xe4rz.llp"));
    EXPECT_EQ(questions.size(), 1);
}
