// The import window: choosing a source pack behind its password, copying, deleting and
// moving levels several at a time, the small pictures and the end marker on closing.
#include "editor_support.h"

#include "editor/Import.h"
#include "play/cells.h"

#include <QComboBox>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QtTest/QTest>

#include <memory>

using namespace lumor;
using lumortest::EditorFixture;

namespace {

class ImportTest : public EditorFixture {
protected:
    void SetUp() override {
        EditorFixture::SetUp();
        writePackFile("quelle.llp", levels("Q", 5));
        target->assign(levels("T", 3));
    }
    static void choose(Import& w, const char* pack) {
        w.Combo1->setCurrentIndex(w.Combo1->findText(pack));
    }
    static std::vector<bool> selection(const QListWidget* list) {
        std::vector<bool> r;
        for (int i = 0; i < list->count(); ++i) r.push_back(list->item(i)->isSelected());
        return r;
    }

    std::unique_ptr<Levels> target = std::make_unique<Levels>();
};

}  // namespace

TEST_F(ImportTest, TheSourcePackIsReadBehindItsPassword) {
    writePackFile("geheim.llp", levels("G", 2), "Sesam");
    writePackFile("kaputt.llp", levels("K", 1));
    damage("kaputt.llp");

    Import w(*target, 3);
    EXPECT_EQ(entries(w.List1), (QStringList{"1. T1", "2. T2", "3. T3"}));
    EXPECT_EQ(w.Combo1->currentIndex(), -1);
    // Cancelling the first password: no message, no selection again.
    choose(w, "geheim.llp");
    EXPECT_EQ(prompts, QStringList{"Bitte Passwort eingeben!"});
    EXPECT_EQ(w.Combo1->currentIndex(), -1);

    choose(w, "quelle.llp");
    EXPECT_EQ(w.List2->item(4)->text(), "5. Q5");
    // A wrong answer is told, an empty one is not, a damaged pack is refused: each time
    // the previous source stays and the work goes on.
    answers = {QString("sesam"), QString("")};
    for (const char* pack : {"geheim.llp", "geheim.llp", "kaputt.llp"}) {
        choose(w, pack);
        EXPECT_EQ(w.Combo1->currentText(), "quelle.llp");
        EXPECT_EQ(w.List2->count(), 5);
    }
    EXPECT_EQ(messages, (QStringList{"Das Passwort war leider Falsch!", "Levelpack beschädigt!"}));

    answers = {QString("Sesam")};
    choose(w, "geheim.llp");
    EXPECT_EQ(entries(w.List2), (QStringList{"1. G1", "2. G2"}));
}

TEST_F(ImportTest, CopiedLevelsStaySelectedAndMoveAsABlock) {
    Import w(*target, 3);
    choose(w, "quelle.llp");
    for (int i : {0, 2, 3}) w.List2->item(i)->setSelected(true);
    // Dropping on the target list copies the selected source levels.
    QMimeData data;
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {}, QEvent::Drop);
    w.List1->acceptFrom = nullptr;  // a synthetic drop names no source widget
    QApplication::sendEvent(w.List1->viewport(), &enter);
    QApplication::sendEvent(w.List1->viewport(), &drop);
    EXPECT_EQ(entries(w.List1),
              (QStringList{"1. T1", "2. T2", "3. T3", "4. Q1", "5. Q3", "6. Q4"}));
    EXPECT_EQ((*target)[4], levels("Q", 5)[2]);
    EXPECT_EQ(selection(w.List1), (std::vector<bool>{false, false, false, true, true, true}));

    w.Command3->click();
    w.Command3->click();
    w.Command4->click();
    EXPECT_EQ(entries(w.List1),
              (QStringList{"1. T1", "2. T2", "3. Q1", "4. Q3", "5. Q4", "6. T3"}));
    // The first two selected change places; the first alone stays.
    w.List1->clearSelection();
    w.List1->item(0)->setSelected(true);
    w.Command3->click();
    w.List1->item(1)->setSelected(true);
    w.Command3->click();
    EXPECT_EQ(entries(w.List1).mid(0, 2), (QStringList{"1. T2", "2. T1"}));

    // Closing puts the end marker behind the last level.
    (*target)[6].Name = "alt";
    w.show();
    w.close();
    EXPECT_TRUE(target->isEndMarker(6));
}

TEST_F(ImportTest, DeletingAllKeepsOneAndCopyingStopsAtTheCapacity) {
    Import w(*target, 3);
    w.List1->selectAll();
    w.Command2->click();
    EXPECT_EQ(entries(w.List1), QStringList{"1. T1"});
    EXPECT_EQ(messages, QStringList{"Es muss mindestens ein Level vorhanden sein!"});
    EXPECT_EQ(selection(w.List1), std::vector<bool>{false});

    target->assign(levels("T", 100));
    Import full(*target, 100);
    choose(full, "quelle.llp");
    full.List2->selectAll();
    full.Command1->click();
    EXPECT_EQ(full.count(), 101);
    EXPECT_EQ(messages.back(),
              "Ein Levelpack fasst höchstens 101 Levels. Von den 5 gewählten Levels wurden nur 1 "
              "übernommen.");
}

TEST_F(ImportTest, SmallPicturesOfTheLevelsLastClicked) {
    (*target)[0].cell(0, 0) = Wall;
    (*target)[0].cell(19, 11) = Splitter;
    (*target)[0].cell(5, 5) = 42;
    Import w(*target, 3);
    const QColor background = w.Picture2->image().pixelColor(10, 10);
    QTest::mouseClick(w.List1->viewport(), Qt::LeftButton, {},
                      w.List1->visualItemRect(w.List1->item(0)).center());
    const QImage p = w.Picture2->image();
    EXPECT_EQ(p.size(), QSize(40, 24));
    EXPECT_EQ(p.pixel(1, 1), 0xff00ffffu);
    EXPECT_EQ(p.pixel(39, 23), 0xffffffffu);
    EXPECT_EQ(p.pixel(2, 0), 0xff000000u);
    EXPECT_EQ(p.pixelColor(10, 10), background);  // no colour for code 42
    // Moving levels draws no other picture.
    w.List1->item(2)->setSelected(true);
    w.Command3->click();
    EXPECT_EQ(w.Picture2->image(), p);

    choose(w, "quelle.llp");
    w.List2->setCurrentRow(1);
    EXPECT_EQ(w.Picture1->image().pixel(2, 0), 0xffffff00u);  // Q2's source at (1, 0)
}

TEST_F(ImportTest, ASourcePackNamedInLatin1IsRead) {
    writePackFile("\xc4lter.llp", levels("L", 2));
    Import w(*target, 3);
    choose(w, "Älter.llp");
    EXPECT_EQ(entries(w.List2), (QStringList{"1. L1", "2. L2"}));
}
