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
using lumor::testing::EditorFixture;

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
    PackHeader header{"Autor", "", "", "mailto:a@b", "Titel", "alt"};
    for (int way = 0; way < 3; ++way) {
        messages.clear();
        IDEdit d(header);
        EXPECT_EQ(d.windowTitle(), "Pack ID ändern");
        EXPECT_EQ(d.Text5->text(), way == 0 ? "Titel" : "Neu");
        runShown(d, [&] {
            d.Text5->setText(" Neu ");
            d.Text1->setText("  Bemerkung");
            d.Text2->setText("Ende ");
            d.Text3->setText(way == 0 ? " www.example.org" : way == 1 ? "du@example.org" : "");
            d.Text6->setText("  geheim  ");
            if (way == 0) d.Command1->click();
            if (way == 1) d.close();
            if (way == 2) QTest::keyClick(&d, Qt::Key_Escape);
        });
        EXPECT_EQ(header.PackTitle, "Neu");
        EXPECT_EQ(header.PackAuthor, "Autor");
        EXPECT_EQ(header.PackRemark, "Bemerkung");
        EXPECT_EQ(header.PackEndMessage, "Ende");
        EXPECT_EQ(header.PackPassword, "geheim");
        const char* links[] = {"http://www.example.org", "mailto:du@example.org", ""};
        EXPECT_EQ(header.PackLink, links[way]);
        const QStringList said[] = {{"Der Url wurde 'http://' vorangefügt"},
                                    {"Der E-Mail Adresse wurde 'mailto:' vorangefügt"},
                                    {}};
        EXPECT_EQ(messages, said[way]);
    }

    // An address with its scheme, in any letter case, stays as it is without a message.
    header.PackLink = "HTTPS://Example.org/pack";
    IDEdit d(header);
    runShown(d, [&] { d.Command1->click(); });
    EXPECT_EQ(header.PackLink, "HTTPS://Example.org/pack");
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(DialogsTest, TextsAPackCannotStoreCannotBeTyped) {
    PackHeader header;
    IDEdit d(header);
    d.Text4->setFocus();
    for (const QChar c : QString::fromUtf8("Łukasz Ä€")) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(d.Text4, &press);
    }
    EXPECT_EQ(d.Text4->text(), QString::fromUtf8("ukasz Ä€"));
}

TEST_F(DialogsTest, OpeningListsThePackFilesAndHandsBackThePath) {
    writePackFile("b.LLP", levels("B", 1));
    writePackFile("a.llp", levels("A", 1));
    QFile(dir.path() + "/notes.txt").open(QIODevice::WriteOnly);
    state().handover.set(5);
    {
        LoadMap d;
        EXPECT_TRUE(state().handover.empty());
        EXPECT_EQ(d.windowTitle(), "Levelpack laden");
        ASSERT_EQ(d.List1->count(), 2);
        EXPECT_EQ(d.List1->item(0)->text(), "a.llp");
        EXPECT_EQ(d.List1->currentRow(), 0);
        runShown(d, [&] {
            d.List1->setCurrentRow(1);
            d.Command2->click();
        });
        EXPECT_EQ(state().handover.toText(), file("b.LLP"));
    }
    {
        LoadMap d;
        EXPECT_EQ(runShown(d, [&] { d.Command1->click(); }), QDialog::Rejected);
        EXPECT_TRUE(state().handover.empty());
    }
    {
        LoadMap d;
        runShown(d, [&] {
            const QPoint at = d.List1->visualItemRect(d.List1->item(0)).center();
            QTest::mouseClick(d.List1->viewport(), Qt::LeftButton, {}, at);
            QTest::mouseDClick(d.List1->viewport(), Qt::LeftButton, {}, at);
        });
        EXPECT_EQ(state().handover.toText(), file("a.llp"));
    }
    // No pack at all: an empty list, and OK acts as "Abbrechen".
    QFile::remove(dir.path() + "/a.llp");
    QFile::remove(dir.path() + "/b.LLP");
    LoadMap d;
    EXPECT_EQ(d.List1->count(), 0);
    EXPECT_EQ(runShown(d, [&] { d.Command2->click(); }), QDialog::Rejected);
    EXPECT_TRUE(state().handover.empty());
}

TEST_F(DialogsTest, SavingChecksTheNameAndAsksBeforeReplacing) {
    writePackFile("alt.llp", levels("A", 1));
    const struct {
        const char* typed;
        const char* shown;  // the name box after OK
        bool closes;
    } names[] = {
        {"pack", "pack.llp", true},
        {"pack.LLP", "pack.LLP", true},
        {"pack.llp.txt", "pack.llp.txt.llp", true},
        {"a\"b", "a\"b.llp", false},
        {"a/b", "a/b.llp", false},
        {"", "", false},
        {".versteckt", ".versteckt.llp", false},
    };
    for (const auto& n : names) {
        messages.clear();
        SaveMap d;
        EXPECT_EQ(d.windowTitle(), "Levelpack speichern");
        QTest::keyClicks(d.Text1, QString::fromUtf8(n.typed));
        d.Command1_Click();
        EXPECT_EQ(d.Text1->text(), QString::fromUtf8(n.shown)) << n.typed;
        EXPECT_EQ(d.result() == QDialog::Accepted, n.closes) << n.typed;
        EXPECT_EQ(state().handover.empty(), !n.closes) << n.typed;
        if (n.closes) {
            EXPECT_EQ(state().handover.toText(), file(n.shown));
        }
    }
    messages.clear();
    {
        SaveMap d;
        d.Text1->setText("a:b");
        d.Command1_Click();
        EXPECT_EQ(messages, QStringList{"Der Name darf keines der folgenden Zeichen "
                                        "enthalten:\r\n \\ / : * ? \" < > |"});
    }

    // An existing pack: the question with No as the default; No keeps the dialog open.
    SaveMap d;
    ASSERT_EQ(d.List1->count(), 1);
    QTest::mouseClick(d.List1->viewport(), Qt::LeftButton, {},
                      d.List1->visualItemRect(d.List1->item(0)).center());
    EXPECT_EQ(d.Text1->text(), "alt.llp");
    answers = {Answer::No, Answer::Yes};
    int result = runShown(d, [&] {
        // Enter in the name box is OK, once.
        QTest::keyClick(d.Text1, Qt::Key_Return);
        EXPECT_TRUE(d.isVisible());
        EXPECT_TRUE(state().handover.empty());
        QTest::keyClick(d.Text1, Qt::Key_Enter);
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(questions, QStringList(2, "Soll das Levelpack überschrieben werden?"));
    EXPECT_EQ(buttons, std::vector<QuestionButtons>(2, QuestionButtons::YesNoDefaultNo));
    EXPECT_EQ(state().handover.toText(), file("alt.llp"));

    SaveMap cancelled;
    cancelled.Text1->setText("neu");
    EXPECT_EQ(runShown(cancelled, [&] { cancelled.Command2->click(); }), QDialog::Rejected);
    EXPECT_TRUE(state().handover.empty());
}
