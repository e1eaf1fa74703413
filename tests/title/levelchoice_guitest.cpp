// The level choice from the title menu's pack frame: the levels of the chosen pack marked
// from the progress file, keys to move and start, and the start going as a password's does.
#include "app/Audio.h"
#include "app/random.h"
#include "levels/packfile.h"
#include "support/program.h"
#include "title/LevelChoice.h"
#include "title/Titel.h"
#include "title/levelchoice.h"
#include "title/titlesetup.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>

using namespace lumor;

namespace {

using LevelChoiceTest = lumortest::ProgramTest;

void writePack(const QString& path, const std::string& title, int levels) {
    PackHeader h;
    h.PackTitle = title;
    std::vector<LevelRecord> list(static_cast<size_t>(levels));
    for (int i = 0; i < levels; ++i) {
        list[static_cast<size_t>(i)].Name = "L" + std::to_string(i + 1);
        list[static_cast<size_t>(i)].Password = "PW" + std::to_string(i + 1);
    }
    SeededRandom random(3);
    ASSERT_TRUE(lumor::writePack(path.toStdString(), h, list, random).ok);
}

// The progress file marks levels 1 and 3 won and 4 the furthest reached; 5 and 6 are not
// reached. "Levels…" in the pack frame takes the pack chosen there; the keys move over the
// grid, Enter on a level not reached says so and stays, Enter on a reached one starts it.
TEST_F(LevelChoiceTest, MarksTheProgressAndStartsTheLevelChosenByKeys) {
    writePack(path("a.llp"), "A", 2);
    writePack(path("b.llp"), "B", 6);
    write(".daten/lumor/Fortschritt.dat", "4\tb.llp\tB\r\n+\tb.llp\tB\t1,3\r\n2\ta.llp\tA\r\n");
    auto t = std::make_unique<Titel>(nullptr, clock);
    std::vector<int> plays;
    t->hooks.play = [&](QWidget*) { plays.push_back(state().handover.toInt()); };
    ASSERT_TRUE(t->Form_Load());
    t->show();
    QTest::mouseRelease(t->Menu[static_cast<size_t>(MenuLevelPack)], Qt::LeftButton, {},
                        QPoint(10, 10));
    t->frame();
    ASSERT_TRUE(t->Frame3->isVisible());
    lumortest::clickRow(t->List1, 1);

    QStringList texts, tips, status;
    std::vector<QRgb> colours;
    QTimer::singleShot(0, [&] {
        auto* choice = dynamic_cast<LevelChoice*>(QApplication::activeModalWidget());
        ASSERT_NE(choice, nullptr);
        QListWidget* list = choice->list();
        for (int i = 0; i < list->count(); ++i) {
            texts << list->item(i)->text().section('\n', 0, 0);
            tips << list->item(i)->toolTip();
            colours.push_back(list->item(i)->foreground().color().rgb());
        }
        status << QString::number(list->currentRow());
        QTest::keyClick(list, Qt::Key_Right);
        QTest::keyClick(list, Qt::Key_Return);
        status << choice->statusLine();
        EXPECT_FALSE(choice->playButton()->isEnabled());
        QTest::keyClick(list, Qt::Key_Left);
        QTest::keyClick(list, Qt::Key_Left);
        QTest::keyClick(list, Qt::Key_Return);
    });
    QTest::mouseClick(t->LevelsButton, Qt::LeftButton);
    EXPECT_FALSE(t->Frame3->isVisible());
    EXPECT_EQ(t->packIndex(), 1) << "the pack chosen in the list";
    EXPECT_EQ(texts, (QStringList{"✔ 1", "2", "✔ 3", "4", "5", "6"}));
    EXPECT_TRUE(tips[1].endsWith("erreicht") && !tips[1].endsWith("nicht erreicht"));
    EXPECT_TRUE(tips[4].endsWith("noch nicht erreicht") && tips[5].endsWith("nicht erreicht"));
    EXPECT_EQ(colours[1], colours[3]);
    EXPECT_TRUE(colours[0] != colours[1] && colours[1] != colours[4] && colours[4] == colours[5]);
    ASSERT_EQ(status.size(), 2);
    EXPECT_EQ(status[0], "3") << "the furthest level reached is the one pointed at";
    EXPECT_TRUE(status[1].contains("Level 5 ist noch nicht erreicht"));
    EXPECT_TRUE(plays.empty()) << "the loop starts it";
    t->frame();
    EXPECT_EQ(plays, std::vector<int>{2});
    t->frame();
    EXPECT_EQ(plays.size(), 1u);

    // Cancelled: nothing starts. A furthest level beyond a shortened pack is none.
    QTest::mouseRelease(t->Menu[static_cast<size_t>(MenuLevelPack)], Qt::LeftButton, {},
                        QPoint(10, 10));
    t->frame();
    QTimer::singleShot(0, [&] { QApplication::activeModalWidget()->close(); });
    QTest::mouseClick(t->LevelsButton, Qt::LeftButton);
    t->frame();
    EXPECT_EQ(plays.size(), 1u);
    const Progress p = Progress::parse("9\tb.llp\tB\r\n+\tb.llp\tB\t2,8\r\n");
    const std::vector<LevelMark> marks = levelMarks(p, "B.LLP", "B", 3);
    EXPECT_TRUE(marks[0].reached && !marks[0].won);
    EXPECT_TRUE(marks[1].reached && marks[1].won);
    EXPECT_FALSE(marks[2].reached);
}

}  // namespace
