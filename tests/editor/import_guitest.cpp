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
using lumor::testing::EditorFixture;

namespace {

class ImportTest : public EditorFixture {
protected:
    void SetUp() override {
        EditorFixture::SetUp();
        writePackFile("quelle.llp", levels("Q", 5));
        writePackFile("geheim.llp", levels("G", 2), "Sesam");
        writePackFile("kaputt.llp", levels("K", 1));
        std::string bytes = bytesOf("kaputt.llp");
        bytes[bytes.size() - 3] = bytes[bytes.size() - 3] == '1' ? '2' : '1';
        QFile f(dir.path() + "/kaputt.llp");
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes.data(), static_cast<qint64>(bytes.size()));
        f.close();
        target->assign(levels("T", 3));
    }
    int packIndex(Import& w, const char* name) { return w.Combo1->findText(name); }
    static QStringList entries(const QListWidget* list) {
        QStringList r;
        for (int i = 0; i < list->count(); ++i) r << list->item(i)->text();
        return r;
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
    Import w(*target, 3);
    EXPECT_EQ(w.windowTitle(), "Levelpack Manager");
    EXPECT_EQ(entries(w.List1), (QStringList{"1. T1", "2. T2", "3. T3"}));
    EXPECT_EQ(w.Combo1->count(), 3);
    EXPECT_EQ(w.Combo1->currentIndex(), -1);

    // Cancelling the first password: no message, no selection again.
    w.Combo1->setCurrentIndex(packIndex(w, "geheim.llp"));
    EXPECT_EQ(prompts, QStringList{"Bitte Passwort eingeben!"});
    EXPECT_EQ(w.Combo1->currentIndex(), -1);
    EXPECT_EQ(w.List2->count(), 0);

    w.Combo1->setCurrentIndex(packIndex(w, "quelle.llp"));
    EXPECT_EQ(w.List2->count(), 5);
    EXPECT_EQ(w.List2->item(4)->text(), "5. Q5");

    // A wrong answer is told; an empty one is not; both leave the previous source.
    inputs = {QString("sesam"), QString("")};
    for (int i = 0; i < 2; ++i) {
        w.Combo1->setCurrentIndex(packIndex(w, "geheim.llp"));
        EXPECT_EQ(w.Combo1->currentIndex(), packIndex(w, "quelle.llp"));
        EXPECT_EQ(w.List2->item(0)->text(), "1. Q1");
    }
    EXPECT_EQ(messages, QStringList{"Das Passwort war leider Falsch!"});

    // A damaged pack is refused and the work goes on with the previous source.
    w.Combo1->setCurrentIndex(packIndex(w, "kaputt.llp"));
    EXPECT_EQ(messages.back(), "Levelpack beschädigt!");
    EXPECT_EQ(w.Combo1->currentIndex(), packIndex(w, "quelle.llp"));
    EXPECT_EQ(w.List2->count(), 5);

    inputs = {QString("Sesam")};
    w.Combo1->setCurrentIndex(packIndex(w, "geheim.llp"));
    EXPECT_EQ(entries(w.List2), (QStringList{"1. G1", "2. G2"}));
    EXPECT_EQ(w.PreviousPackIndex, packIndex(w, "geheim.llp"));
}

TEST_F(ImportTest, CopiedLevelsStaySelectedAndMoveAsABlock) {
    Import w(*target, 3);
    w.Combo1->setCurrentIndex(packIndex(w, "quelle.llp"));
    for (int i : {0, 2, 3}) w.List2->item(i)->setSelected(true);
    // A drop on the target list copies the selected source levels.
    auto* data = new QMimeData;
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, data, Qt::LeftButton, {}, QEvent::Drop);
    w.List1->acceptFrom = nullptr;  // the event carries no source widget here
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, data, Qt::LeftButton, {});
    QApplication::sendEvent(w.List1->viewport(), &enter);
    QApplication::sendEvent(w.List1->viewport(), &drop);
    EXPECT_EQ(w.count(), 6);
    delete data;
    EXPECT_EQ(entries(w.List1),
              (QStringList{"1. T1", "2. T2", "3. T3", "4. Q1", "5. Q3", "6. Q4"}));
    EXPECT_EQ((*target)[4], levels("Q", 5)[2]);
    EXPECT_EQ(selection(w.List1), (std::vector<bool>{false, false, false, true, true, true}));
    EXPECT_EQ(selection(w.List2), (std::vector<bool>{true, false, true, true, false}));

    w.Command3->click();
    w.Command3->click();
    EXPECT_EQ(entries(w.List1),
              (QStringList{"1. T1", "2. Q1", "3. Q3", "4. Q4", "5. T2", "6. T3"}));
    EXPECT_EQ(selection(w.List1), (std::vector<bool>{false, true, true, true, false, false}));
    w.Command4->click();
    EXPECT_EQ(entries(w.List1),
              (QStringList{"1. T1", "2. T2", "3. Q1", "4. Q3", "5. Q4", "6. T3"}));

    // The first two selected change places.
    w.List1->clearSelection();
    w.List1->item(0)->setSelected(true);
    w.List1->item(1)->setSelected(true);
    w.Command3->click();
    EXPECT_EQ(entries(w.List1).mid(0, 2), (QStringList{"1. T2", "2. T1"}));

    // Closing puts the end marker behind the last level.
    (*target)[6].Name = "alt";
    w.show();
    w.close();
    EXPECT_EQ((*target)[6].Name, "*");
    EXPECT_EQ(target->count(), 6);
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
    full.Combo1->setCurrentIndex(packIndex(full, "quelle.llp"));
    full.List2->selectAll();
    full.Command1->click();
    EXPECT_EQ(full.count(), 101);
    EXPECT_EQ(messages.back(),
              "Ein Levelpack fasst höchstens 101 Levels. Von den 5 gewählten Levels wurden nur 1 "
              "übernommen.");
    full.show();
    full.close();
    EXPECT_EQ((*target)[101].Name, "*");
}

TEST_F(ImportTest, SmallPicturesOfTheLevelsLastClicked) {
    LevelRecord l = levels("T", 1)[0];
    l.cell(0, 0) = Wall;
    l.cell(19, 11) = Splitter;
    l.cell(5, 5) = 42;
    (*target)[0] = l;
    Import w(*target, 3);
    const QColor background = w.Picture2->image().pixelColor(10, 10);
    QTest::mouseClick(w.List1->viewport(), Qt::LeftButton, {},
                      w.List1->visualItemRect(w.List1->item(0)).center());
    const QImage& p = w.Picture2->image();
    EXPECT_EQ(p.size(), QSize(40, 24));
    EXPECT_EQ(p.pixel(1, 1), 0xff00ffffu);
    EXPECT_EQ(p.pixel(38, 22), 0xffffffffu);
    EXPECT_EQ(p.pixel(39, 23), 0xffffffffu);
    EXPECT_EQ(p.pixel(2, 0), 0xff000000u);
    EXPECT_EQ(p.pixelColor(10, 10), background);  // no colour for code 42
    // Moving levels does not draw another picture.
    const QImage first = p.copy();
    w.List1->item(2)->setSelected(true);
    w.Command3->click();
    EXPECT_EQ(w.Picture2->image(), first);

    w.Combo1->setCurrentIndex(packIndex(w, "quelle.llp"));
    w.List2->setCurrentRow(1);
    // Q2 has a source pointing down (code 2) at (1, 0).
    EXPECT_EQ(w.Picture1->image().pixel(2, 0), 0xffffff00u);
}
