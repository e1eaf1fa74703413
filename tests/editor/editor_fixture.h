// The editor window's test fixture: a program folder, the question boxes answered in
// order, the recovery copies in a scratch folder, the editor made on the program's pack.
#pragma once

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

namespace editortest {

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

}  // namespace editortest
