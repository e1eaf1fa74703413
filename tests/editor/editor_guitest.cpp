// The editor window driven through its controls (painting, the palette, the level list, the
// stock bars, "Testen", opening, saving, importing, closing, undo and redo, the live check)
// and its dialogs: the pack information, opening, saving and the import window.
#include "app/random.h"
#include "editor/Editor.h"
#include "editor/EditorPalette.h"
#include "editor/IDEdit.h"
#include "editor/Import.h"
#include "editor/LiveCheck.h"
#include "editor/LoadMap.h"
#include "editor/boardedit.h"
#include "editor/levellist.h"
#include "editor/recovery.h"
#include "levels/packfile.h"
#include "play/BoardView.h"
#include "play/Form1.h"
#include "play/cells.h"
#include "solver/analysis.h"
#include "support/program.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QTimer>
#include <QToolTip>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <set>
#include <thread>

using namespace lumor;
using lumortest::clickRow;

namespace {

class EditorTest : public lumortest::ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        // Recovery copies go to a scratch folder, never to the user's own.
        if (const char* xdg = std::getenv("XDG_DATA_HOME")) savedXdg = xdg;
        ::setenv("XDG_DATA_HOME", (dir / "daten").c_str(), 1);
        dialogHooks().question = [this](const QString& t, QuestionButtons b) {
            questions << t;
            buttons.push_back(b);
            if (replies.empty()) return Answer::Cancel;
            const Answer a = replies.front();
            replies.pop_front();
            return a;
        };
        state().Options.fill(false);
        // What an earlier pack left behind: the editor starts empty all the same.
        state().pack.header.PackTitle = "Alt";
        pack().assign(levels("Alt", 3));
        editor = makeEditor();
    }
    // An editor on the program's pack and options, with the test's writer and board window.
    std::unique_ptr<Editor> makeEditor() {
        EditorSetup setup = programEditorSetup(lumor::clock());
        setup.writer = [this](auto&&... a) { return writer(a...); };
        setup.boardWindow = [this](QWidget* parent, PlaySetup play) {
            if (playLevel) return playLevel(play);
            Form1 real(std::move(play), parent, lumor::clock());
            real.exec();
        };
        return std::make_unique<Editor>(nullptr, setup);
    }
    void TearDown() override {
        editor.reset();
        if (savedXdg)
            ::setenv("XDG_DATA_HOME", savedXdg->c_str(), 1);
        else
            ::unsetenv("XDG_DATA_HOME");
        ProgramTest::TearDown();
    }

    static Levels& pack() { return state().pack.levels; }
    static std::string folder() { return state().AppFolder; }
    template <typename T = QWidget>
    static T* child(QObject* parent, const char* name) {
        T* w = parent->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    template <typename T = QWidget>
    T* ui(const char* name) const {
        return child<T>(editor.get(), name);
    }
    void click(const char* button) const { ui<QPushButton>(button)->click(); }
    // Chosen as a designer does, on the palette.
    void pick(int code) const {
        const auto [x, y] = palettePosition(code);
        QTest::mouseClick(ui("Symbol"), Qt::LeftButton, {}, QPoint(x + 5, y + 5));
    }
    // Strg+S: the pack into its own file.
    void markSaved() const { ASSERT_TRUE(editor->saveToOwnFile()); }
    LevelRecord& shown() { return pack()[editor->currentLevel()]; }
    std::string file(const char* name) const { return (dir / name).string(); }
    std::string bytesOf(const char* name) const { return lumortest::readFile(dir / name); }
    static QStringList entries(const QListWidget* list) {
        QStringList r;
        for (int i = 0; i < list->count(); ++i) r << list->item(i)->text();
        return r;
    }
    QStringList entries() const { return entries(ui<QListWidget>("List1")); }
    // Levels named prefix + "1", prefix + "2", ..., each with a cell and stock of its own.
    static std::vector<LevelRecord> levels(const std::string& prefix, int n) {
        std::vector<LevelRecord> r(static_cast<size_t>(n));
        for (int i = 0; i < n; ++i) {
            LevelRecord& l = r[static_cast<size_t>(i)];
            l.Name = prefix + std::to_string(i + 1);
            l.Password = "PW" + l.Name;
            l.cell(i % 20, i / 20 % 12) = static_cast<int16_t>(1 + i % 20);
            l.Stock[0] = static_cast<int16_t>(i);
            l.Stock[12] = static_cast<int16_t>(100 + i);
        }
        return r;
    }
    void writePackFile(const char* name, const std::vector<LevelRecord>& list,
                       const std::string& password = {}) {
        PackHeader h;
        h.PackPassword = password;
        SeededRandom random(3);
        ASSERT_TRUE(writePack(file(name), h, list, random).ok);
    }
    // Another checksum on the last line: the pack reads as damaged.
    void damage(const char* name) {
        std::string bytes = bytesOf(name);
        lumortest::writeFile(dir / name, bytes.insert(bytes.size() - 2, "1"));
    }
    // A pack of `n` levels opened in the editor, level `at` shown.
    void load(int n, int at) {
        writePackFile("geladen.llp", levels("L", n));
        openPack("geladen.llp");
        ui<QListWidget>("List1")->setCurrentRow(at);
    }
    // Unsaved work is dropped ("Nein" to the question) unless `ask` leaves the answer to
    // the test.
    void openPack(const QString& name, bool ask = false) {
        if (!ask && !editor->saved()) replies.push_front(Answer::No);
        whenModal<LoadMap>([name](LoadMap& d) {
            child<QListWidget>(&d, "List1")
                ->setCurrentItem(
                    child<QListWidget>(&d, "List1")->findItems(name, Qt::MatchExactly).value(0));
            child<QPushButton>(&d, "Command2")->click();
        });
        click("Command3");
    }
    void savePack(const QString& name) {
        whenModal<SaveMap>([name](SaveMap& d) {
            child<QLineEdit>(&d, "Text1")->setText(name);
            child<QPushButton>(&d, "Command1")->click();
        });
        click("Command4");
    }
    // Acts on the next modal window of type T once it is shown; `act` must close it. A
    // window that is not the expected one, or stays open, fails the test and is closed, so
    // a fault fails at once instead of hanging the suite.
    template <typename T>
    static void whenModal(std::function<void(T&)> act) {
        QTimer::singleShot(0, [act] {
            QWidget* shown = QApplication::activeModalWidget();
            T* t = dynamic_cast<T*>(shown);
            if (t == nullptr) {
                ADD_FAILURE() << "another modal window than expected";
                if (shown != nullptr) shown->close();
                return;
            }
            act(*t);
            if (t->isVisible()) {
                ADD_FAILURE() << "the modal window stayed open";
                t->close();
            }
        });
    }
    // Runs `act`, which must open no modal window: one that opens anyway fails the test
    // and is closed, so the suite goes on.
    static void withoutModal(const std::function<void()>& act) {
        QTimer::singleShot(0, [] {
            if (QWidget* shown = QApplication::activeModalWidget()) {
                ADD_FAILURE() << "a modal window opened";
                shown->close();
            }
        });
        act();
        QCoreApplication::processEvents();
    }
    static std::unique_ptr<Levels> snapshot() { return std::make_unique<Levels>(pack()); }
    // Every record, the ones behind the list too.
    static void expectSame(const Levels& a, const Levels& b) {
        for (int i = 0; i < Levels::Capacity; ++i) EXPECT_EQ(a[i], b[i]) << "record " << i;
    }
    // The import window on the levels T1..T`n`, with quelle.llp (Q1..Q5) in the folder.
    std::unique_ptr<Import> importWindow(int n) {
        writePackFile("quelle.llp", levels("Q", 5));
        pack().assign(levels("T", n));
        return std::make_unique<Import>(pack(), n, folder());
    }
    static void choose(Import& w, const QString& pack) {
        child<QComboBox>(&w, "Combo1")
            ->setCurrentIndex(child<QComboBox>(&w, "Combo1")->findText(pack));
    }
    static std::vector<bool> selection(const QListWidget* list) {
        std::vector<bool> r;
        for (int i = 0; i < list->count(); ++i) r.push_back(list->item(i)->isSelected());
        return r;
    }

    std::optional<std::string> savedXdg;
    std::unique_ptr<Editor> editor;
    PackWriter writer = writePack;  // the editor's, through makeEditor
    std::function<void(const PlaySetup&)>
        playLevel;                         // "Testen"'s board window; empty: the real one
    QStringList questions;                 // question boxes shown
    std::vector<QuestionButtons> buttons;  // and the buttons each offered
    std::deque<Answer> replies;            // for the question boxes, in order (then Cancel)
};

}  // namespace

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

TEST_F(EditorTest, OpeningAPackBehindItsPasswordOrNamedInLatin1) {
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

TEST_F(EditorTest, SavingRefusesWhatCannotBeStoredAndKeepsTheOldFile) {
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

TEST_F(EditorTest, UnsavedWorkSurvivesImportingClosingAndOpening) {
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

TEST_F(EditorTest, StrgSSavesToThePacksOwnFileAndTheCaptionTellsOfChanges) {
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

TEST_F(EditorTest, AKilledEditorOffersItsWorkBackAndACleanCloseLeavesNoCopy) {
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
    LiveCheck check(nullptr, clock, [&](const LevelRecord& l, bool whole, const auto& stop) {
        ++started;
        if (l.cell(0, 0) == Wall)
            while (!stop()) std::this_thread::yield();  // a search without end
        return analyseForEditor(l, whole, stop);
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

TEST_F(EditorTest, PackInformationIsStoredTrimmedOnEveryWayOfClosing) {
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

TEST_F(EditorTest, OpeningAndSavingDialogsListThePacksAndCheckTheName) {
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

TEST_F(EditorTest, ImportReadsTheSourcePackBehindItsPassword) {
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

TEST_F(EditorTest, ImportCopiesLevelsThatStaySelectedAndMoveAsABlockWithPictures) {
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

TEST_F(EditorTest, ImportDeletingAllKeepsOneAndCopyingStopsAtTheCapacity) {
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
