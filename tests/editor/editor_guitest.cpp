// The editor window driven through its controls: painting, the palette, the level list, the
// stock bars, "Generieren", "Testen", undo and redo, the live check and the level list's marks.

#include "editor/editor_fixture.h"

using editortest::EditorTest;

TEST_F(EditorTest, PaletteBoardAndPositionFrameUnderTheMouse) {
    // A fresh start: one empty level, the records behind it as they were.
    EXPECT_TRUE(state().pack.header == PackHeader{} && pack()[1] == levels("Alt", 3)[1]);
    EXPECT_EQ(entries(), QStringList{"1. Noname"});
    EXPECT_EQ(ui<TileImage>("Image1(8)")->picture(), bilder().tile(Splitter));
    // A left press without a selection paints nothing but counts as a change.
    EXPECT_TRUE(editor->saved());
    QTest::mouseClick(ui<BoardView>("Feld"), Qt::LeftButton, {}, QPoint(40, 40));
    EXPECT_EQ(pack()[0], newLevel(1));
    EXPECT_FALSE(editor->saved());
    const std::pair<QPoint, int> presses[] = {
        {{40, 330}, -1}, {{33, 0}, DeflectorRightDown}, {{5, 9 * 32 + 5}, Wall}};  // 21: none
    for (const auto& [at, code] : presses) {
        QTest::mouseClick(ui("Symbol"), Qt::LeftButton, {}, at);
        EXPECT_EQ(editor->selectedCode(), code);
    }
    EXPECT_EQ(ui<TileImage>("Image1(0)")->picture(), bilder().tile(Wall));
    // Each picture is named, the empty one with what it does.
    const QPoint empty(5, 5);
    QHelpEvent help(QEvent::ToolTip, empty, ui("Symbol")->mapToGlobal(empty));
    QApplication::sendEvent(ui("Symbol"), &help);
    EXPECT_EQ(QToolTip::text(), "Leer: löscht, was auf einem Feld steht");
    lumortest::hover(ui("Symbol"), QPoint(40, 40));
    EXPECT_EQ(ui<QLabel>("Status")->text(), "Palette: Umlenker links-unten");

    // A drag paints every cell the pointer crosses, however fast it moves, as one step.
    state().Options[OptPositionFrame] = true;
    editor->Feld_MouseDown(Qt::LeftButton, 10, 10);
    editor->Feld_MouseMove(300, 10);
    editor->Feld_MouseMove(300, 100);
    editor->Feld_MouseUp();
    editor->Feld_MouseMove(5 * 32 + 3, 4 * 32 + 30);  // released: the frame only
    for (int x = 0; x <= 9; ++x) EXPECT_EQ(shown().cell(x, 0), Wall) << x;
    for (int y = 1; y <= 3; ++y) EXPECT_EQ(shown().cell(9, y), Wall) << y;
    EXPECT_EQ(shown().cell(5, 4), Empty);
    EXPECT_EQ(ui<BoardView>("Feld")->picture().copy(288, 96, 32, 32), bilder().tile(Wall));
    const QImage tile = bilder().tile(Empty);
    EXPECT_EQ(editor->frameCell(), (Editor::Cell{5, 4}));
    EXPECT_EQ(ui<BoardView>("Feld")->picture().pixel(160 + 31, 128 + 17),
              tile.pixel(31, 17) ^ 0xffff01u);
    lumortest::hover(ui<QListWidget>("List1")->viewport());  // the frame goes
    EXPECT_EQ(ui<BoardView>("Feld")->picture().copy(160, 128, 32, 32), tile);
    editor->Feld_MouseMove(5 * 32 + 3, 4 * 32 + 30);
    lumortest::hover(ui<QLabel>("Status"));  // and over the window's free area
    EXPECT_EQ(ui<BoardView>("Feld")->picture().copy(160, 128, 32, 32), tile);
    ASSERT_TRUE(editor->undo());
    EXPECT_EQ(pack()[0], newLevel(1));
    EXPECT_EQ(ui<BoardView>("Feld")->picture().copy(0, 0, 32, 32), tile);

    // A right press erases, and with the option picks what it erased.
    shown().cell(3, 3) = Cross;
    QTest::mouseClick(ui<BoardView>("Feld"), Qt::RightButton, {}, QPoint(100, 100));
    EXPECT_EQ(shown().cell(3, 3), Empty);
    EXPECT_EQ(editor->selectedCode(), Wall);
    state().Options[OptEditorRightClickTakes] = true;
    shown().cell(3, 3) = Cross;
    QTest::mouseClick(ui<BoardView>("Feld"), Qt::RightButton, {}, QPoint(100, 100));
    EXPECT_EQ(editor->selectedCode(), Cross);
    QTest::mouseClick(ui<BoardView>("Feld"), Qt::RightButton, {}, QPoint(5, 5));
    EXPECT_EQ(editor->selectedCode(), Empty);  // on an empty cell it picks the eraser
    EXPECT_EQ(ui<QLabel>("Status")->text(), "Feld (0, 0): Leer");
}

TEST_F(EditorTest, LevelListOperationsAndTheirEffectOnSaved) {
    load(3, 1);
    EXPECT_TRUE(editor->saved());  // selecting a level is no change
    click("Command8");             // "Hoch"
    EXPECT_EQ(entries(), (QStringList{"1. L2", "2. L1", "3. L3"}));
    EXPECT_FALSE(editor->saved());
    markSaved();
    click("Command8");  // on the first: nothing
    ui<QListWidget>("List1")->setCurrentRow(2);
    click("Command9");  // "Runter" on the last: nothing
    EXPECT_TRUE(editor->saved());

    // Inserting in front of L3; the new level's password keeps its first position.
    click("Command5");
    EXPECT_EQ(entries(), (QStringList{"1. L2", "2. L1", "3. Noname", "4. L3"}));
    EXPECT_FALSE(editor->saved());
    markSaved();
    click("Command6");  // "Level anschließen" keeps Saved
    EXPECT_EQ(editor->currentLevel(), 4);
    EXPECT_EQ(ui<QLineEdit>("Passw")->text(), "Level5");
    EXPECT_TRUE(editor->saved());

    // Deleting: No changes nothing; deleting the last shows the new last.
    replies = {Answer::No, Answer::Yes, Answer::Yes};
    click("Command7");
    EXPECT_TRUE(editor->saved());
    click("Command7");
    EXPECT_EQ(ui<QLineEdit>("Levelname")->text(), "L3");
    EXPECT_EQ(pack()[4].Password, "Level5");  // behind the list, left as it was
    ui<QListWidget>("List1")->setCurrentRow(0);
    click("Command7");
    EXPECT_EQ(entries(), (QStringList{"1. L1", "2. Noname", "3. L3"}));
    EXPECT_EQ(ui<QLineEdit>("Levelname")->text(), "L1");
    EXPECT_EQ(questions, QStringList(3, "Wirklich löschen?"));

    load(1, 0);  // the only level cannot go
    click("Command7");
    EXPECT_EQ(messages, QStringList{"Es muss mindestens ein Level vorhanden sein!"});
    ui<QLineEdit>("Passw")->setText("Level1");
    click("Command5");  // the new level is Level1 too
    EXPECT_EQ(entries(), (QStringList{"1. Noname", "2. L1"}));
    EXPECT_EQ(ui<QLineEdit>("Passw")->text(), "Level1");

    load(101, 50);  // 101 levels: no more; 100: one more
    click("Command5");
    click("Command6");
    EXPECT_EQ(editor->count(), 101);
    replies = {Answer::Yes};
    click("Command7");
    click("Command5");
    EXPECT_EQ(editor->count(), 101);
    EXPECT_EQ(ui<QListWidget>("List1")->item(50)->text(), "51. Noname");
}

TEST_F(EditorTest, NamePasswordAndStockFields) {
    ui<QLineEdit>("Levelname")->setText(" Leer ");
    EXPECT_EQ(shown().Name, " Leer ");  // untrimmed
    EXPECT_EQ(entries(), QStringList{"1.  Leer "});
    ui<QLineEdit>("Passw")->setText("geheim");
    ui<QScrollBar>("VS(3)")->setValue(15);  // inverted: the top is the highest count
    EXPECT_EQ(shown().Password, "geheim");
    EXPECT_EQ(shown().Stock[3], 5);
    // A count typed into its box: stored, and the bar follows; beyond the bar is refused.
    ui<QLineEdit>("Text1(2)")->selectAll();
    QTest::keyClicks(ui<QLineEdit>("Text1(2)"), "75");
    EXPECT_EQ(shown().Stock[2], 7);
    EXPECT_EQ(ui<QLineEdit>("Text1(2)")->text(), "7");
    EXPECT_EQ(ui<QScrollBar>("VS(2)")->value(), 13);

    // Counts outside a bar's range are shown at its end and kept until the bar moves.
    LevelRecord odd = levels("X", 1)[0];
    odd.Stock[0] = 150;
    odd.Stock[4] = -3;
    writePackFile("odd.llp", {odd, levels("Y", 1)[0]});
    openPack("odd.llp");
    ui<QListWidget>("List1")->setCurrentRow(0);
    EXPECT_EQ(ui<QScrollBar>("VS(0)")->value(), 0);
    EXPECT_EQ(ui<QLineEdit>("Text1(0)")->text(), "150");
    EXPECT_EQ(ui<QScrollBar>("VS(4)")->value(), 20);
    EXPECT_EQ(ui<QLineEdit>("Text1(4)")->text(), "-3");
    savePack("odd2.llp");
    EXPECT_EQ(readPack(file("odd2.llp")).contents.levels.at(0).Stock[0], 150);
    ui<QScrollBar>("VS(0)")->setValue(1);
    EXPECT_EQ(pack()[0].Stock[0], 98);
    EXPECT_EQ(pack()[0].Stock[4], -3);

    // "Sterne verteilen" without stars changes no cell but still counts as a change.
    markSaved();
    const LevelRecord before = shown();
    click("Command2");
    EXPECT_EQ(shown(), before);
    EXPECT_FALSE(editor->saved());
}

TEST_F(EditorTest, GenerierenFillsTheLevelWithAProvenOneAsOneUndoStep) {
    load(2, 1);
    const LevelRecord before = shown();
    EXPECT_TRUE(editor->saved());
    programRandom().seed(26);  // the seed the button draws: the same level on every run
    click("Generate");
    const LevelRecord made = shown();
    EXPECT_FALSE(editor->saved());
    EXPECT_EQ(made.Name, before.Name);
    EXPECT_EQ(made.Password, before.Password);
    for (size_t i = SlotCount + 1; i < StockEntries; ++i) EXPECT_EQ(made.Stock[i], before.Stock[i]);
    EXPECT_NE(made.Cells, before.Cells);
    const LevelAnalysis a = analyseLevel(made);
    EXPECT_EQ(a.placementCount, 1u);
    EXPECT_EQ(a.fewest, made.Stock[0]);
    EXPECT_TRUE(ui<QLabel>("Status")->text().contains(QStringLiteral("einzige Lösung")));
    ASSERT_TRUE(editor->undo());
    EXPECT_EQ(shown(), before);
}

TEST_F(EditorTest, TestenPlaysTheLevelAloneAndLeavesThePackAlone) {
    for (const int n : {2, 101}) {
        load(n, n - 1);
        pack()[n].Name = "vorher";  // what a longer pack left behind
        ui<QLineEdit>("Levelname")->setText("Ungespeichert");
        const auto before = snapshot();
        int opened = 0;
        playLevel = [&](const PlaySetup& play) {
            ++opened;
            EXPECT_FALSE(play.musicOn);
            EXPECT_EQ(play.startLevel, n - 1);
            EXPECT_EQ(play.pack.levels.count(), n);  // the level is the last one played
            EXPECT_EQ(play.pack.levels[n - 1].Name, "Ungespeichert");  // as edited, unsaved
            EXPECT_EQ(play.finalMessage, "");
            expectSame(pack(), *before);  // while the window is open as well
        };
        state().MusicOn = true;
        click("Command1");
        EXPECT_EQ(opened, 1);
        EXPECT_FALSE(state().MusicOn);  // not set back
        expectSame(pack(), *before);
    }

    // The real board window opens on the level and closes again.
    playLevel = nullptr;
    editor = makeEditor();
    whenModal<Form1>([](Form1& board) {
        EXPECT_EQ(board.model().level(), 0);
        board.close();
    });
    click("Command1");
}

TEST_F(EditorTest, UndoAndRedoPutBackEveryByte) {
    load(3, 0);
    const auto start = snapshot();
    pick(Splitter);
    editor->Feld_MouseDown(Qt::LeftButton, 40, 40);
    editor->Feld_MouseUp();
    QTest::keyClicks(ui<QLineEdit>("Levelname"), "xy");
    ui<QScrollBar>("VS(0)")->setValue(90);
    click("Command9");
    click("Command6");
    replies = {Answer::Yes};
    click("Command7");
    whenModal<IDEdit>([](IDEdit& d) {
        d.Text5->setText("Titel");
        d.Command1->click();
    });
    click("Command10");
    const auto end = snapshot();
    const QStringList endEntries = entries();

    markSaved();
    int steps = 0;
    while (editor->undo()) ++steps;
    EXPECT_EQ(steps, 7);
    EXPECT_FALSE(editor->saved());
    expectSame(pack(), *start);
    EXPECT_EQ(state().pack.header.PackTitle, "");
    EXPECT_EQ(entries(), (QStringList{"1. L1", "2. L2", "3. L3"}));

    // Ctrl+Y and Ctrl+Z, also while a text box has the focus.
    editor->show();
    editor->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(editor.get()));
    ui<QLineEdit>("Levelname")->setFocus();
    for (int i = 0; i < steps; ++i)
        QTest::keyClick(ui<QLineEdit>("Levelname"), Qt::Key_Y, Qt::ControlModifier);
    expectSame(pack(), *end);
    EXPECT_EQ(state().pack.header.PackTitle, "Titel");
    EXPECT_EQ(entries(), endEntries);
    QTest::keyClick(ui<QLineEdit>("Levelname"), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(state().pack.header.PackTitle, "");
    editor->hide();
}

TEST_F(EditorTest, LiveCheckAnswersByItselfRemembersAndShowsEverySolutionUntilAClick) {
    LiveCheck* check = editor->liveCheck();
    auto answer = [&] {
        EXPECT_TRUE(QTest::qWaitFor([&] { return !check->busy(); }, 10000));
        return ui<QLabel>("CheckLine")->text();
    };
    // The empty new level is won by its bare board, whatever the record held before.
    pack()[0].cell(3, 3) = TargetUp;
    editor = makeEditor();
    check = editor->liveCheck();
    EXPECT_EQ(answer(), "lösbar, 0 Steine übrig, 1 Lösung");

    // A beam from (0, 0) to the target at (5, 3): a ┐ and a └ in any of columns 1 to 4.
    LevelRecord& l = shown();
    l.cell(0, 0) = SourceRight;
    l.cell(5, 3) = TargetRight;
    l.Stock = {3, 0, 0, 0, 1, 0, 1};
    editor->Aufbau();
    EXPECT_EQ(ui<QLabel>("CheckLine")->text(), "prüft \u2026");  // the answer comes by itself
    EXPECT_EQ(answer(), "lösbar, 1 Stein übrig, 4 Lösungen");

    // Strg+L again and again: each placement in turn, drawn see-through and outlined over
    // the board, not into the level; a click on the board takes it away and paints nothing.
    pick(Wall);  // before: a press on the palette takes a shown solution away
    const QImage before = ui<BoardView>("Feld")->picture();
    editor->show();
    editor->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(editor.get()));
    std::set<int> columns;
    for (int i = 1; i <= 5; ++i) {
        QTest::keyClick(editor.get(), Qt::Key_L, Qt::ControlModifier);
        EXPECT_TRUE(ui<QLabel>("Status")->text().startsWith(
            QStringLiteral("Lösung %1 von 4").arg((i - 1) % 4 + 1)));
        for (int x = 1; x <= 4; ++x)
            if (ui<BoardView>("Feld")->picture().copy(32 * x, 0, 32, 32) != bilder().tile(Empty))
                columns.insert(x);
    }
    EXPECT_EQ(columns, (std::set<int>{1, 2, 3, 4}));
    const QImage shownPiece =
        ui<BoardView>("Feld")->picture().copy(32, 0, 32, 32);  // the 1st again
    const QRect inside(4, 4, 24, 24);  // within the outline: neither the piece nor the cell
    EXPECT_NE(shownPiece.copy(inside), bilder().tile(DeflectorLeftDown).copy(inside));
    EXPECT_NE(shownPiece.copy(inside), bilder().tile(Empty).copy(inside));
    EXPECT_EQ(shownPiece.pixel(1, 1), qRgb(0, 230, 255));
    QTest::mouseClick(ui<BoardView>("Feld"), Qt::LeftButton, {}, QPoint(600, 350));
    EXPECT_EQ(ui<BoardView>("Feld")->picture(), before);
    EXPECT_EQ(shown().cell(18, 10), Empty);
    QTest::keyClick(editor.get(), Qt::Key_L, Qt::ControlModifier);
    QTest::keyClick(editor.get(), Qt::Key_Escape);
    EXPECT_EQ(ui<BoardView>("Feld")->picture(), before);
    editor->hide();

    // A change is checked anew; taken back, its answer is there at once.
    QTest::mouseClick(ui<BoardView>("Feld"), Qt::LeftButton, {}, QPoint(32 * 3 + 5, 5));
    EXPECT_EQ(answer(), "lösbar, 1 Stein übrig, 2 Lösungen");
    QTest::mouseClick(ui<BoardView>("Feld"), Qt::RightButton, {}, QPoint(32 * 3 + 5, 5));
    EXPECT_EQ(ui<QLabel>("CheckLine")->text(), "lösbar, 1 Stein übrig, 4 Lösungen");
    l.Stock[0] = 1;
    editor->Aufbau();
    EXPECT_EQ(answer(), "nicht lösbar");
    EXPECT_FALSE(editor->showPlacement());
    EXPECT_EQ(ui<QLabel>("Status")->text(), "Nicht lösbar: es gibt keine Lösung zu zeigen.");

    // An answer already on its way for an earlier state of the level is not shown.
    l.Stock[0] = 2;
    editor->Aufbau();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));  // not handling events
    l.cell(5, 3) = TargetUp;
    editor->Aufbau();
    EXPECT_EQ(answer(), "nicht lösbar");
}

// A check that takes long shows its seconds and can be stopped; the window goes on.
TEST_F(EditorTest, ALongCheckCountsItsSecondsAndCanBeCancelled) {
    std::atomic<int> started{0};
    LiveCheck check(
        nullptr, clock,
        [&](const LevelRecord& l, bool whole, int from, const auto& stop, const auto& progress) {
            ++started;
            if (l.cell(0, 0) == Wall)
                while (!stop()) std::this_thread::yield();  // a search without end
            return analyseForEditor(l, whole, from, stop, progress);
        });
    int changes = 0;
    check.onChange = [&] { ++changes; };
    LevelRecord endless;
    endless.cell(0, 0) = Wall;
    check.check(endless);
    EXPECT_EQ(check.text(), "prüft \u2026");
    clock.advance(12500);
    EXPECT_EQ(check.text(), "prüft \u2026 12 s");
    check.cancel();
    EXPECT_FALSE(check.busy());
    EXPECT_EQ(check.text(), "Prüfung abgebrochen");
    // The next level is checked at once; the cancelled one is not taken up again, not even
    // for the level list.
    check.setPack({endless, LevelRecord{}});
    check.check(LevelRecord{});
    EXPECT_TRUE(QTest::qWaitFor([&] { return !check.busy(); }, 10000));
    EXPECT_EQ(check.text(), "lösbar, 0 Steine übrig, 1 Lösung");
    EXPECT_TRUE(QTest::qWaitFor([&] { return check.measured(LevelRecord{}) != nullptr; }, 10000));
    EXPECT_TRUE(check.gaveUp(endless));
    EXPECT_EQ(started, 2);  // the empty level's quick answer is its whole one
    EXPECT_GE(changes, 3);
}

// The best answer comes first; the count follows when the solutions have been counted, and
// meanwhile the check says how far it is.
TEST_F(EditorTest, TheBestAnswerComesBeforeTheSolutionsAreCounted) {
    std::atomic<bool> release{false};
    LiveCheck check(
        nullptr, clock,
        [&](const LevelRecord& l, bool whole, int from, const auto& stop, const auto& progress) {
            while (!release && !stop()) std::this_thread::yield();
            return analyseForEditor(l, whole, from, stop, progress);
        });
    LevelRecord l;
    l.cell(0, 0) = SourceRight;
    l.cell(3, 2) = TargetDown;
    l.Stock = {2, 1, 0, 0, 1};  // a wall and the deflector turning right into down
    check.check(l);
    EXPECT_TRUE(QTest::qWaitFor([&] { return check.text().startsWith("lösbar"); }, 10000));
    EXPECT_EQ(check.text(), "lösbar, 1 Stein übrig, Lösungen werden gezählt \u2026");
    EXPECT_TRUE(check.busy());
    clock.advance(3000);
    EXPECT_TRUE(
        check.text().startsWith("lösbar, 1 Stein übrig, Lösungen werden gezählt \u2026 3 s"));
    release = true;
    EXPECT_TRUE(QTest::qWaitFor([&] { return !check.busy(); }, 10000));
    EXPECT_EQ(check.text(), "lösbar, 1 Stein übrig, 1 Lösung");
    // An answer already known is the whole answer at once.
    check.check(LevelRecord{});
    check.check(l);
    EXPECT_EQ(check.text(), "lösbar, 1 Stein übrig, 1 Lösung");
}

TEST_F(EditorTest, TheLevelListMarksTheRulesEachLevelBreaks) {
    // 1: a decoy wall (a hint); 2: the same password, letter case aside, and no target at
    // all (faults); 3: nothing in stock can win it (a fault). All three boards are close.
    std::vector<LevelRecord> list(3);
    for (LevelRecord& l : list) l.cell(0, 0) = SourceRight;
    list[0].cell(5, 3) = list[2].cell(5, 3) = TargetRight;
    list[0].cell(3, 0) = Wall;
    list[0].Stock = {2, 1, 0, 0, 1, 0, 1};
    list[0].Password = "eins";
    list[1].Password = "EINS";
    list[2].Password = "drei";
    writePackFile("regeln.llp", list);
    openPack("regeln.llp");
    const auto rules = [this](int i) {
        return ui<QListWidget>("List1")->item(i)->data(Editor::LintRole).toString().split(' ');
    };
    QCoreApplication::processEvents();
    EXPECT_EQ(rules(1).filter("password").size(), 1);  // known before any level is measured
    EXPECT_FALSE(rules(2).contains("solvable"));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            for (int i = 0; i < 3; ++i)
                if (ui<QListWidget>("List1")->item(i)->toolTip().contains("wird noch"))
                    return false;
            return true;
        },
        10000));
    EXPECT_EQ(rules(0), (QStringList{"decoy", "distance", "distance"}));
    EXPECT_EQ(rules(1), (QStringList{"bare-board", "distance", "password"}));
    EXPECT_EQ(rules(2).value(0), "solvable");
    EXPECT_TRUE(ui<QListWidget>("List1")->item(1)->toolTip().contains(
        "\u2022 das Passwort \"EINS\" hat schon regeln 1 \"\": diesen Level erreicht kein "
        "Passwort"));
    const QIcon hint = editor->style()->standardIcon(QStyle::SP_MessageBoxInformation);
    EXPECT_EQ(ui<QListWidget>("List1")->item(0)->icon().pixmap(16).toImage(),
              hint.pixmap(16).toImage());
    EXPECT_NE(ui<QListWidget>("List1")->item(2)->icon().pixmap(16).toImage(),
              hint.pixmap(16).toImage());
}

// --- The dialogs -----------------------------------------------------------------------------
