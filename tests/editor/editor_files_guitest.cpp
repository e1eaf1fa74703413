// The editor's files through its window: opening, saving, Ctrl+S, the closing question,
// the recovery copy, the pack information and the import window.

#include "editor/editor_fixture.h"

using EditorFilesTest = editortest::EditorTest;

TEST_F(EditorFilesTest, OpeningAPackBehindItsPasswordOrNamedInLatin1) {
    writePackFile("geschuetzt.llp", levels("G", 3), "Sesam");
    writePackFile("kaputt.llp", levels("K", 1));
    damage("kaputt.llp");

    // A refused password and a damaged pack leave the editor's state as it was.
    ui<QLineEdit>("Levelname")->setText("Meins");
    state().pack.header.PackTitle = "Mein Pack";
    const auto before = snapshot();
    const PackHeader headerBefore = state().pack.header;
    answers = {QString("sesam"), std::nullopt};
    for (const char* name : {"geschuetzt.llp", "geschuetzt.llp", "kaputt.llp"}) {
        openPack(name);
        expectSame(pack(), *before);
        EXPECT_EQ(state().pack.header, headerBefore);
        EXPECT_EQ(entries(), QStringList{"1. Meins"});
        EXPECT_FALSE(editor->saved());
    }
    EXPECT_EQ(messages, (QStringList{"Das Passwort war leider Falsch!",
                                     "Das Passwort war leider Falsch!", "Levelpack beschädigt!"}));

    answers = {QString("Sesam")};
    openPack("geschuetzt.llp");
    EXPECT_EQ(entries(), (QStringList{"1. G1", "2. G2", "3. G3"}));
    EXPECT_EQ(ui<QLineEdit>("Levelname")->text(), "G3");  // the last level is shown
    EXPECT_EQ(state().pack.header.PackPassword, "Sesam");
    EXPECT_TRUE(editor->saved());
    EXPECT_FALSE(editor->undo());  // a fresh history for the opened pack

    // A name in Latin-1 is listed as the title menu shows it and opened by its own bytes.
    writePackFile("M\xe4rz.llp", levels("M", 2));
    openPack(QString::fromUtf8("März.llp"));
    EXPECT_EQ(entries(), (QStringList{"1. M1", "2. M2"}));
    // A pack of no levels opens with one empty level to work on.
    writePackFile("leer.llp", {});
    openPack("leer.llp");
    EXPECT_EQ(entries(), QStringList{"1. Noname"});
    EXPECT_EQ(shown(), newLevel(1));
}

TEST_F(EditorFilesTest, SavingRefusesWhatCannotBeStoredAndKeepsTheOldFile) {
    writePackFile("alt.llp", levels("A", 1));
    const std::string old = bytesOf("alt.llp");
    click("Command6");
    // Flagged as it is typed, and named again by the refusal: "ü" at 8 (252 + 8 > 255), a
    // tab at 1 (stored as 10, a line break).
    const QString why = "„ü“ an Stelle 8 geht nicht: Code 252 + 8 ist über 255 (nur bis Stelle 3)";
    ui<QLineEdit>("Levelname")->setText(QString::fromUtf8("Tolle Tür"));
    EXPECT_EQ(ui<QLabel>("Status")->text(), "Name: " + why);
    EXPECT_EQ(ui<QLineEdit>("Levelname")->toolTip(), "Name: " + why);
    replies = {Answer::Yes, Answer::Yes, Answer::Yes, Answer::Yes};  // to overwrite alt.llp
    savePack("alt.llp");
    EXPECT_EQ(messages, QStringList{"Der Name des 2. Levels (Tolle Tür) ist nicht kompaktibel. "
                                    "Bitte suchen sie sich ein anderen aus.\n\n" +
                                    why});
    ui<QLineEdit>("Passw")->setText("\tx");
    EXPECT_EQ(ui<QLabel>("Status")->text(),
              "Passwort: Zeichen 9 an Stelle 1 geht nicht: 9 + 1 = 10 wäre ein Zeilenumbruch");
    ui<QLineEdit>("Levelname")->setText("Tolle Tuer");
    EXPECT_EQ(ui<QLineEdit>("Levelname")->toolTip(), "");
    savePack("alt.llp");
    EXPECT_TRUE(messages.last().startsWith("Das Passwort des 2. Levels (Tolle Tuer) ist nicht"));
    EXPECT_TRUE(bytesOf("alt.llp") == old);
    EXPECT_FALSE(editor->saved());
    // A NUL that came with a pack from elsewhere is not written again.
    state().pack.header.PackRemark = std::string("a\0b", 3);
    savePack("alt.llp");
    EXPECT_EQ(messages.last(),
              "Die Bemerkung enthält ein Nullzeichen, das ein Levelpack nicht "
              "aufnehmen kann. Bitte ändern sie ihn.");
    state().pack.header.PackRemark.clear();
    // A password the title menu finds on an earlier level first is named.
    ui<QLineEdit>("Passw")->setText("level1");
    EXPECT_EQ(ui<QLabel>("Status")->text(),
              "Passwort: Level 1 („Noname“) hat dasselbe Passwort; den "
              "späteren der beiden erreicht kein Passwort.");

    // A write that fails names the file and leaves the old one, and Saved.
    ui<QLineEdit>("Levelname")->setText("Tolle Tuer");
    writer = [](auto&&...) { return PackWriteResult{false, false, "kein Platz"}; };
    savePack("alt.llp");
    EXPECT_TRUE(messages.last().startsWith("Das Levelpack „alt.llp“ wurde nicht gespeichert."));
    EXPECT_TRUE(messages.last().contains("kein Platz"));
    EXPECT_TRUE(bytesOf("alt.llp") == old);
    EXPECT_FALSE(editor->saved());

    writer = writePack;
    savePack("neu");
    EXPECT_TRUE(editor->saved());
    EXPECT_EQ(readPack(file("neu.llp")).contents.levels.at(1).Name, "Tolle Tuer");
}

TEST_F(EditorFilesTest, UnsavedWorkSurvivesImportingClosingAndOpening) {
    writePackFile("quelle.llp", levels("Q", 3));
    editor->show();
    // A wall painted, then the manager opened and closed: still unsaved.
    pick(Wall);
    QTest::mouseClick(ui<BoardView>("Feld"), Qt::LeftButton, {}, QPoint(40, 40));
    whenModal<Import>([](Import& w) { w.close(); });
    click("Command11");
    ui<QLineEdit>("Levelname")->setText(QString::fromUtf8("Tolle Tür"));  // cannot be stored
    // "Ja", and the save does not happen: the dialog cancelled, the name refused, the
    // write failed. The editor stays with its work, its history and Saved.
    writer = [](auto&&...) { return PackWriteResult{false, false, "Platte voll"}; };
    const std::function<void(SaveMap&)> saves[] = {
        [](SaveMap& d) { child<QPushButton>(&d, "Command2")->click(); },
        [](SaveMap& d) {
            child<QLineEdit>(&d, "Text1")->setText("a"),
                child<QPushButton>(&d, "Command1")->click();
        },
        [this](SaveMap& d) {
            ui<QLineEdit>("Levelname")->setText("Tolle Tuer");
            child<QLineEdit>(&d, "Text1")->setText("a"),
                child<QPushButton>(&d, "Command1")->click();
        }};
    for (const auto& save : saves) {
        replies = {Answer::Yes};
        whenModal<SaveMap>(save);
        editor->close();
        EXPECT_TRUE(editor->isVisible());
        EXPECT_FALSE(editor->saved());
        EXPECT_EQ(pack()[0].cell(1, 1), Wall);
    }
    EXPECT_EQ(messages.size(), 2);
    writer = writePack;
    replies = {Answer::Yes};
    whenModal<SaveMap>([](SaveMap& d) {
        child<QLineEdit>(&d, "Text1")->setText("a"), child<QPushButton>(&d, "Command1")->click();
    });
    editor->close();
    EXPECT_FALSE(editor->isVisible());
    EXPECT_EQ(readPack(file("a.llp")).contents.levels.at(0).cell(1, 1), Wall);
    ASSERT_TRUE(editor->undo());  // the history survived the refusals
    EXPECT_EQ(shown().Name, "Noname");

    // Levels copied in are a change; nothing copied is none.
    editor = makeEditor();
    editor->show();
    for (const bool copy : {false, true}) {
        whenModal<Import>([copy](Import& w) {
            choose(w, "quelle.llp");
            if (copy)
                child<QListWidget>(&w, "List2")->selectAll(),
                    child<QPushButton>(&w, "Command1")->click();
            w.close();
        });
        click("Command11");
        EXPECT_EQ(editor->saved(), !copy);
    }
    EXPECT_EQ(entries(), (QStringList{"1. Noname", "2. Q1", "3. Q2", "4. Q3"}));
    EXPECT_EQ(questions.size(), 4);

    // "Laden" asks first: Abbrechen stays, a save that did not happen stays, Nein opens.
    const auto before = snapshot();
    replies = {Answer::Cancel, Answer::Yes};
    withoutModal([&] { click("Command3"); });
    whenModal<SaveMap>([](SaveMap& d) { child<QPushButton>(&d, "Command2")->click(); });
    click("Command3");
    expectSame(pack(), *before);
    replies = {Answer::No};
    openPack("a.llp", true);
    EXPECT_EQ(entries(), QStringList{"1. Tolle Tuer"});
    EXPECT_EQ(questions.size(), 7);
    // With a file of its own, "Ja" saves there without a dialog and then opens.
    pick(Wall);
    QTest::mouseClick(ui<BoardView>("Feld"), Qt::LeftButton, {}, QPoint(80, 40));
    replies = {Answer::Yes};
    openPack("quelle.llp", true);
    EXPECT_EQ(entries(), (QStringList{"1. Q1", "2. Q2", "3. Q3"}));
    EXPECT_EQ(readPack(file("a.llp")).contents.levels.at(0).cell(2, 1), Wall);
    EXPECT_EQ(questions, QStringList(8, "Wollen Sie noch speichern?"));
    editor->close();
    EXPECT_FALSE(editor->isVisible());
}

TEST_F(EditorFilesTest, StrgSSavesToThePacksOwnFileAndTheCaptionTellsOfChanges) {
    editor->show();
    editor->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(editor.get()));
    EXPECT_EQ(editor->windowTitle(), "Lumor - Editor");
    ui<QLineEdit>("Levelname")->setText("Erstes");
    EXPECT_EQ(editor->windowTitle(), "Lumor - Editor*");
    // No file yet: the dialog, which refuses a name too long for the save's temporary file.
    whenModal<SaveMap>([](SaveMap& d) {
        child<QLineEdit>(&d, "Text1")->setText(QString(238, 'x'));
        child<QPushButton>(&d, "Command1")->click();
        EXPECT_TRUE(d.isVisible());
        child<QLineEdit>(&d, "Text1")->setText("eigen");
        child<QPushButton>(&d, "Command1")->click();
    });
    QTest::keyClick(editor.get(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(editor->windowTitle(), "Lumor - Editor - eigen.llp");
    EXPECT_TRUE(messages.value(0).startsWith("Der Name ist zu lang"));
    ui<QLineEdit>("Levelname")->setText("Zweites");
    EXPECT_EQ(editor->windowTitle(), "Lumor - Editor - eigen.llp*");
    editor->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(editor.get()));
    withoutModal([&] { QTest::keyClick(editor.get(), Qt::Key_S, Qt::ControlModifier); });
    EXPECT_EQ(readPack(file("eigen.llp")).contents.levels.at(0).Name, "Zweites");
    EXPECT_EQ(editor->windowTitle(), "Lumor - Editor - eigen.llp");
    // "Speichern" keeps its dialog and offers the pack's own name; the longest name saves.
    const std::string longest = std::string(237, 'y') + ".llp";
    whenModal<SaveMap>([&](SaveMap& d) {
        EXPECT_EQ(child<QLineEdit>(&d, "Text1")->text(), "eigen.llp");
        child<QLineEdit>(&d, "Text1")->setText(QString::fromStdString(longest));
        child<QPushButton>(&d, "Command1")->click();
    });
    click("Command4");
    EXPECT_TRUE(readPack(file(longest.c_str())).ok);
    // A pack opened under a name one byte longer is refused by Strg+S, not half written.
    lumortest::writeFile(dir / ("z" + longest), bytesOf(longest.c_str()));
    openPack(QString::fromStdString("z" + longest));
    ui<QLineEdit>("Levelname")->setText("Drittes");
    EXPECT_FALSE(editor->saveToOwnFile());
    EXPECT_TRUE(messages.last().startsWith("Der Name ist zu lang"));
    editor->hide();
}

TEST_F(EditorFilesTest, AKilledEditorOffersItsWorkBackAndACleanCloseLeavesNoCopy) {
    const auto copies = [this] { return QDir(path("daten/lumor")).entryList(QDir::Files); };
    const auto restart = [this](std::deque<Answer> next) {
        editor.reset();  // killed: no close, no clean-up
        pack().assign(levels("Fremd", 2));
        questions.clear();
        replies = std::move(next);
        editor = makeEditor();
        editor->show();
        QCoreApplication::processEvents();
    };
    pick(Wall);
    QTest::mouseClick(ui<BoardView>("Feld"), Qt::LeftButton, {}, QPoint(40, 40));
    ui<QLineEdit>("Levelname")->setText("Gerettet");
    EXPECT_TRUE(editor->recoveryPending());
    editor->saveRecoveryCopy();
    // A copy from another program folder is no business of this one.
    RecoveryCopy other{"/anderswo/", "", 0, 0, {}, levels("A", 1)};
    lumortest::writeFile(dir / "daten/lumor" / recoveryFileName(other.programFolder, ""),
                         recoveryBytes(other));
    restart({Answer::Yes});
    ASSERT_EQ(questions.size(), 1);
    EXPECT_TRUE(
        questions[0].startsWith("Der Editor wurde nicht ordentlich beendet. Es gibt eine "
                                "Sicherung eines noch nie gespeicherten Levelpacks vom "));
    EXPECT_TRUE(questions[0].contains(" mit 1 Level.\n\nWiederherstellen?"));
    EXPECT_EQ(entries(), QStringList{"1. Gerettet"});
    EXPECT_EQ(shown().cell(1, 1), Wall);
    EXPECT_EQ(editor->windowTitle(), "Lumor - Editor*");
    // Saved under a name, changed again: the copy follows the pack's file.
    whenModal<SaveMap>([](SaveMap& d) {
        child<QLineEdit>(&d, "Text1")->setText("r"), child<QPushButton>(&d, "Command1")->click();
    });
    click("Command4");
    EXPECT_EQ(copies().size(), 1);  // only the other folder's
    ui<QLineEdit>("Levelname")->setText("Zweiter");
    editor->saveRecoveryCopy();
    restart({Answer::No, Answer::Yes});
    EXPECT_EQ(questions.size(), 1);  // "Nein" discarded it; nothing more to offer
    EXPECT_EQ(entries(), QStringList{"1. Noname"});
    EXPECT_EQ(copies().size(), 1);

    ui<QLineEdit>("Levelname")->setText("Dritter");
    editor->saveRecoveryCopy();
    restart({Answer::Yes});
    EXPECT_EQ(editor->windowTitle(), "Lumor - Editor*");
    replies = {Answer::No};
    editor->close();  // clean: the copy goes
    EXPECT_EQ(copies().size(), 1);
}

TEST_F(EditorFilesTest, PackInformationIsStoredTrimmedOnEveryWayOfClosing) {
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
        whenModal<IDEdit>([&](IDEdit&) {
            d.Text5->setText(" Neu ");
            d.Text2->setText("Ende ");
            d.Text3->setText(typedLinks[way]);
            d.Text6->setText("  geheim  ");
            if (way == 0) d.Command1->click();
            if (way == 1) d.close();
            if (way == 2) QTest::keyClick(&d, Qt::Key_Escape);
        });
        d.exec();
        EXPECT_EQ(header, (PackHeader{"Autor", "", "Ende", storedLinks[way], "Neu", "geheim"}));
        EXPECT_EQ(messages, said[way]);
    }

    // A character no pack can store is refused as it is typed.
    IDEdit d(header);
    d.Text4->clear();
    for (const QChar c : QString::fromUtf8("Łu") + QChar(0) + QString::fromUtf8("€")) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(d.Text4, &press);
    }
    EXPECT_EQ(d.Text4->text(), QString::fromUtf8("u€"));
    // The scrambled password is flagged while typed: "ÿ" (255) fits nowhere.
    d.Text6->setText(QString::fromUtf8(" ÿ"));
    EXPECT_EQ(d.Hint->text(), "„ÿ“ geht an keiner Stelle: Code 255 + Stelle ist über 255");
}

TEST_F(EditorFilesTest, OpeningAndSavingDialogsListThePacksAndCheckTheName) {
    // No pack at all: an empty list, and OK acts as "Abbrechen".
    {
        LoadMap d(folder());
        EXPECT_EQ(child<QListWidget>(&d, "List1")->count(), 0);
        whenModal<LoadMap>([&](LoadMap&) { child<QPushButton>(&d, "Command2")->click(); });
        EXPECT_EQ(d.exec(), QDialog::Rejected);
        EXPECT_FALSE(d.chosen());
    }
    writePackFile("b.LLP", levels("B", 1));
    writePackFile("alt.llp", levels("A", 1));
    QFile(path("notes.txt")).open(QIODevice::WriteOnly);
    whenModal<LoadMap>([&](LoadMap& d) {
        const auto* list = child<QListWidget>(&d, "List1");
        EXPECT_EQ(list->count(), 2);
        EXPECT_EQ(list->currentRow(), 0);
        clickRow(child<QListWidget>(&d, "List1"), 1, true);
    });
    EXPECT_EQ(LoadMap::choose(nullptr, folder()), file("b.LLP"));

    const std::pair<const char*, const char*> names[] = {
        {"pack.llp.txt", "pack.llp.txt.llp"}, {"pack.LLP", "pack.LLP"}, {"", ""}};
    for (const auto& [typed, stored] : names) {
        SaveMap d(folder());
        child<QLineEdit>(&d, "Text1")->setText(typed);
        child<QPushButton>(&d, "Command1")->click();
        EXPECT_EQ(d.chosen().value_or(""), *typed ? file(stored) : "") << typed;
    }
    // Refused with a message, the dialog staying open: the nine characters, a hidden name.
    for (const char c : std::string("\\/:*?\"<>|.")) {
        SaveMap d(folder());
        child<QLineEdit>(&d, "Text1")->setText(QString(QLatin1Char(c)) + "x");
        child<QPushButton>(&d, "Command1")->click();
        EXPECT_FALSE(d.chosen()) << c;
    }
    EXPECT_EQ(messages.value(0),
              "Der Name darf keines der folgenden Zeichen enthalten:\r\n \\ / : "
              "* ? \" < > |");
    EXPECT_EQ(messages.size(), 10);

    // An existing pack: the question with No as the default; No keeps the dialog open.
    replies = {Answer::No, Answer::Yes};
    whenModal<SaveMap>([&](SaveMap& d) {
        auto* name = child<QLineEdit>(&d, "Text1");
        clickRow(child<QListWidget>(&d, "List1"), 0);
        EXPECT_EQ(name->text(), "alt.llp");
        QTest::keyClick(name, Qt::Key_Return);  // Enter in the name box is OK
        EXPECT_TRUE(d.isVisible());
        EXPECT_FALSE(d.chosen());
        QTest::keyClick(name, Qt::Key_Enter);
    });
    EXPECT_EQ(SaveMap::choose(nullptr, folder()), file("alt.llp"));
    EXPECT_EQ(questions, QStringList(2, "Soll das Levelpack überschrieben werden?"));
    EXPECT_EQ(buttons, std::vector<QuestionButtons>(2, QuestionButtons::YesNoDefaultNo));

    // Saving under a Latin-1 name as shown replaces that file rather than making a UTF-8 twin.
    writePackFile("M\xe4rz.llp", levels("M", 2));
    SaveMap latin1(folder());
    child<QLineEdit>(&latin1, "Text1")->setText(QString::fromUtf8("März"));
    replies = {Answer::Yes};
    child<QPushButton>(&latin1, "Command1")->click();
    EXPECT_EQ(latin1.chosen(), file("M\xe4rz.llp"));
    EXPECT_EQ(questions.size(), 3);
}

// --- The import window ------------------------------------------------------------------------

TEST_F(EditorFilesTest, ImportReadsTheSourcePackBehindItsPassword) {
    writePackFile("geheim.llp", levels("G", 2), "Sesam");
    writePackFile("kaputt.llp", levels("K", 1));
    writePackFile("\xc4lter.llp", levels("L", 2));
    writePackFile((std::string(236, 'n') + ".llp").c_str(), levels("N", 1));
    damage("kaputt.llp");
    const auto w = importWindow(3);
    // The longest pack name does not widen the window beyond the screen.
    w->show();
    EXPECT_LE(w->sizeHint().width(), w->screen()->availableGeometry().width());
    w->hide();
    EXPECT_EQ(entries(child<DropList>(w.get(), "List1")), (QStringList{"1. T1", "2. T2", "3. T3"}));
    EXPECT_EQ(child<QComboBox>(w.get(), "Combo1")->currentIndex(), -1);
    // Cancelling the first password: no message, no selection again.
    choose(*w, "geheim.llp");
    EXPECT_EQ(prompts, QStringList{"Bitte Passwort eingeben!"});
    EXPECT_EQ(child<QComboBox>(w.get(), "Combo1")->currentIndex(), -1);

    choose(*w, "quelle.llp");
    EXPECT_EQ(child<QListWidget>(w.get(), "List2")->item(4)->text(), "5. Q5");
    // A wrong answer is told, an empty one is not, a damaged pack is refused: each time
    // the previous source stays and the work goes on.
    answers = {QString("sesam"), QString("")};
    for (const char* name : {"geheim.llp", "geheim.llp", "kaputt.llp"}) {
        choose(*w, name);
        EXPECT_EQ(child<QComboBox>(w.get(), "Combo1")->currentText(), "quelle.llp");
        EXPECT_EQ(child<QListWidget>(w.get(), "List2")->count(), 5);
    }
    EXPECT_EQ(messages, (QStringList{"Das Passwort war leider Falsch!", "Levelpack beschädigt!"}));

    answers = {QString("Sesam")};
    choose(*w, "geheim.llp");
    EXPECT_EQ(entries(child<QListWidget>(w.get(), "List2")), (QStringList{"1. G1", "2. G2"}));
    choose(*w, QString::fromUtf8("Älter.llp"));  // a name in Latin-1
    EXPECT_EQ(entries(child<QListWidget>(w.get(), "List2")), (QStringList{"1. L1", "2. L2"}));
}

TEST_F(EditorFilesTest, ImportCopiesLevelsThatStaySelectedAndMoveAsABlockWithPictures) {
    const auto w = importWindow(3);
    // A small picture of the level last clicked on each side, drawn again only on a click.
    pack()[0].cell(0, 0) = Wall;
    pack()[0].cell(19, 11) = Splitter;
    pack()[0].cell(5, 5) = 42;
    const QColor background = child<LevelPicture>(w.get(), "Picture2")->image().pixelColor(10, 10);
    clickRow(child<DropList>(w.get(), "List1"), 0);
    const QImage p = child<LevelPicture>(w.get(), "Picture2")->image();
    EXPECT_EQ(p.size(), QSize(40, 24));
    EXPECT_EQ(p.pixel(1, 1), 0xff00ffffu);
    EXPECT_EQ(p.pixel(39, 23), 0xffffffffu);
    EXPECT_EQ(p.pixel(2, 0), 0xff000000u);
    EXPECT_EQ(p.pixelColor(10, 10), background);  // no colour for code 42
    choose(*w, "quelle.llp");
    child<QListWidget>(w.get(), "List2")->setCurrentRow(1);
    EXPECT_EQ(child<LevelPicture>(w.get(), "Picture1")->image().pixel(2, 0),
              0xffffff00u);  // Q2's source at (1, 0)
    child<DropList>(w.get(), "List1")->clearSelection();
    child<QListWidget>(w.get(), "List2")->clearSelection();
    for (int i : {0, 2, 3}) child<QListWidget>(w.get(), "List2")->item(i)->setSelected(true);
    // Dropping on the target list copies the selected source levels.
    QMimeData data;
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {}, QEvent::Drop);
    child<DropList>(w.get(), "List1")->acceptFrom =
        nullptr;  // a synthetic drop names no source widget
    QApplication::sendEvent(child<DropList>(w.get(), "List1")->viewport(), &enter);
    QApplication::sendEvent(child<DropList>(w.get(), "List1")->viewport(), &drop);
    EXPECT_EQ(entries(child<DropList>(w.get(), "List1")),
              (QStringList{"1. T1", "2. T2", "3. T3", "4. Q1", "5. Q3", "6. Q4"}));
    EXPECT_EQ(pack()[4], levels("Q", 5)[2]);
    EXPECT_EQ(selection(child<DropList>(w.get(), "List1")),
              (std::vector<bool>{false, false, false, true, true, true}));

    child<QPushButton>(w.get(), "Command3")->click();
    child<QPushButton>(w.get(), "Command3")->click();
    child<QPushButton>(w.get(), "Command4")->click();
    EXPECT_EQ(entries(child<DropList>(w.get(), "List1")),
              (QStringList{"1. T1", "2. T2", "3. Q1", "4. Q3", "5. Q4", "6. T3"}));
    EXPECT_EQ(child<LevelPicture>(w.get(), "Picture2")->image(),
              p);  // moving levels draws no other picture
    // The first two selected change places; the first alone stays.
    child<DropList>(w.get(), "List1")->clearSelection();
    child<DropList>(w.get(), "List1")->item(0)->setSelected(true);
    child<QPushButton>(w.get(), "Command3")->click();
    child<DropList>(w.get(), "List1")->item(1)->setSelected(true);
    child<QPushButton>(w.get(), "Command3")->click();
    EXPECT_EQ(entries(child<DropList>(w.get(), "List1")).mid(0, 2),
              (QStringList{"1. T2", "2. T1"}));

    // Closing puts the end marker behind the last level.
    pack()[6].Name = "alt";
    w->show();
    w->close();
    EXPECT_TRUE(pack().isEndMarker(6));
}

TEST_F(EditorFilesTest, ImportDeletingAllKeepsOneAndCopyingStopsAtTheCapacity) {
    const auto w = importWindow(3);
    child<DropList>(w.get(), "List1")->selectAll();
    child<QPushButton>(w.get(), "Command2")->click();
    EXPECT_EQ(entries(child<DropList>(w.get(), "List1")), QStringList{"1. T1"});
    EXPECT_EQ(messages, QStringList{"Es muss mindestens ein Level vorhanden sein!"});
    EXPECT_EQ(selection(child<DropList>(w.get(), "List1")), std::vector<bool>{false});

    const auto full = importWindow(100);
    choose(*full, "quelle.llp");
    child<QListWidget>(full.get(), "List2")->selectAll();
    child<QPushButton>(full.get(), "Command1")->click();
    EXPECT_EQ(full->count(), 101);
    EXPECT_EQ(messages.back(),
              "Ein Levelpack fasst höchstens 101 Levels. Von den 5 gewählten Levels wurden nur 1 "
              "übernommen.");
}
