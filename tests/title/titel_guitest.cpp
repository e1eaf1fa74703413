// The title window on a temporary program folder, with a fake clock, answered dialogs and
// recorded outside calls (board, editor, installer, URL handler). What Config.cfg, the
// progress file and a typed password read as is the core tests'.
#include "app/Audio.h"
#include "app/Text.h"
#include "app/random.h"
#include "app/userdata.h"
#include "app/viewsettings.h"
#include "levels/packfile.h"
#include "play/PlaySetup.h"
#include "support/edition.h"
#include "support/hostile.h"
#include "support/program.h"
#include "title/GlowSurface.h"
#include "title/Titel.h"
#include "title/TitleLogo.h"
#include "title/titlesetup.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QUrl>

#include <cstdio>
#include <memory>

using namespace lumor;
using lumortest::clickRow;
using lumortest::hover;

namespace {

class TitelTest : public lumortest::ProgramTest {
protected:
    std::vector<int> plays;  // Handover at each start of the board window
    int editorRuns = 0;
    std::function<void()> inEditor;
    QStringList started;
    QList<QUrl> opened;

    void SetUp() override {
        ProgramTest::SetUp();
        state().Options.fill(true);
        QDir().mkpath(path("Musik"));
    }
    void TearDown() override {
        StopSong();
        ProgramTest::TearDown();
    }

    // A pack of `levels` levels with the passwords ALPHA, BETA, GAMMA, DELTA, PW4, ...
    void writePack(const QString& file, const std::string& title, const std::string& author = {},
                   int levels = 3, const std::string& link = {}, const std::string& remark = {}) {
        PackHeader h;
        h.PackTitle = title;
        h.PackAuthor = author;
        h.PackLink = link;
        h.PackRemark = remark;
        std::vector<LevelRecord> list(static_cast<size_t>(levels));
        const char* passwords[] = {"ALPHA", "BETA", "GAMMA", "DELTA"};
        for (int i = 0; i < levels; ++i)
            list[static_cast<size_t>(i)].Password = i < 4 ? passwords[i] : "PW" + std::to_string(i);
        SeededRandom random(3);
        ASSERT_TRUE(lumor::writePack(path(file).toStdString(), h, list, random).ok);
    }
    // A skin whose squares are all of one colour, the empty tile (square 0) included.
    void writeSkin(const QString& name, QColor colour) {
        QDir().mkpath(path("Skins"));
        QImage skin(627, 33, QImage::Format_RGB32);
        skin.fill(colour);
        ASSERT_TRUE(skin.save(path("Skins/" + name), "BMP"));
    }

    std::unique_ptr<Titel> make() {
        auto t = std::make_unique<Titel>(nullptr, clock);
        t->hooks.play = [this](QWidget*) { plays.push_back(state().handover.toInt()); };
        t->hooks.finder = nullptr;  // the finder's own window is not wanted here
        t->hooks.editor = [this](QWidget*) {
            ++editorRuns;
            if (inEditor) inEditor();
        };
        t->hooks.startProgram = [this](const std::string& program) {
            return started << QString::fromStdString(program), true;
        };
        t->hooks.openUrl = [this](const QUrl& url) { return opened << url, true; };
        return t;
    }
    std::unique_ptr<Titel> open() {
        auto t = make();
        EXPECT_TRUE(t->Form_Load());
        t->show();
        return t;
    }

    // Releasing the mouse over a menu entry, then the frame that acts on it.
    static void choose(Titel& t, int entry) {
        QTest::mouseRelease(t.Menu[static_cast<size_t>(entry)], Qt::LeftButton, {}, QPoint(10, 10));
        t.frame();
    }
    // Runs the loop until it has waited `frames` times, then closes the window.
    int runAndClose(Titel& t, int frames) {
        int waits = 0;
        clock.onWait = [&](int64_t) {
            if (++waits == frames) t.close();
        };
        const int rc = t.runLoop();
        clock.onWait = nullptr;
        return rc;
    }
    static QRgb centreOf(const QLabel* image) {
        const QImage img = image->pixmap().toImage();
        return img.isNull() ? 0 : img.pixel(img.width() / 2, img.height() / 2);
    }
    static bool anyInk(const QImage& layer) {
        QImage blank(layer.size(), layer.format());
        blank.fill(Qt::transparent);
        return layer != blank;
    }
    static std::vector<int> fontSizes(const Titel& t) {
        std::vector<int> sizes;
        for (const QLabel* entry : t.Menu) sizes.push_back(entry->font().pointSize());
        return sizes;
    }
};

using TitelInEachEdition = lumortest::InEachEdition<TitelTest>;
LUMOR_IN_EACH_EDITION(TitelInEachEdition);

}  // namespace

// The menu entries open and close the frames; a list click previews, a skin preview never
// outlasts its frame. The earlier release has one option fewer (and so an 11-line
// Config.cfg) and no shadow.
TEST_P(TitelInEachEdition, ChoicesMadeInTheFramesAreWrittenToConfigWhenTheWindowCloses) {
    writePack("a.llp", "Anfang");
    writePack("b.llp", "Mitte");
    writePack("c.llp", "Ende", "Eva", 5);
    writeSkin("A.bmp", Qt::red);
    writeSkin("B.bmp", Qt::green);
    write("Skins/kaputt.bmp", "BM kaputt");  // which files load as skins is the reader's test
    for (const char* song : {"a.mid", "TITEL.mid", "titel.ogg"})
        write(QString("Musik/") + song, "x");
    auto t = open();
    EXPECT_EQ(t->skinFiles(), (QStringList{"A.bmp", "B.bmp"}));
    EXPECT_TRUE(QString::fromStdString(state().CurrentSong).endsWith("titel.ogg"))
        << "the title song is the last TITEL file";

    // Which of the options, skin and pack frames are open.
    const auto frames = [&] {
        return QString("%1%2%3")
            .arg(t->Frame1->isVisible())
            .arg(t->Frame2->isVisible())
            .arg(t->Frame3->isVisible());
    };
    choose(*t, MenuLevelPack);
    choose(*t, MenuLevelPack);
    EXPECT_EQ(frames(), "000") << "a second click closes it";
    choose(*t, MenuLevelPack);
    EXPECT_EQ(frames(), "001");
    clickRow(t->List1, 2);
    EXPECT_EQ(t->packIndex(), 0) << "a click only previews";
    QTest::mouseClick(t->Command4, Qt::LeftButton);
    EXPECT_EQ(t->packIndex(), 2);
    EXPECT_EQ(t->Label4->text(), "Ende von Eva");
    EXPECT_EQ(t->Label3->text(), "5 Levels");

    choose(*t, MenuSkin);
    EXPECT_EQ(frames(), "010");
    clickRow(t->File2, 1);
    EXPECT_EQ(t->Label2->text(), "Skin:B");
    EXPECT_EQ(centreOf(t->Image3), qRgb(0, 255, 0));
    EXPECT_EQ(t->skinIndex(), 0) << "a preview is not the choice";
    choose(*t, MenuOption);
    EXPECT_EQ(frames(), "100");
    EXPECT_EQ(t->Label2->text(), "Skin:A") << "and never outlasts its frame";
    EXPECT_EQ(centreOf(t->Image3), qRgb(255, 0, 0));
    choose(*t, MenuSkin);
    clickRow(t->File2, 1);
    QTest::mouseClick(t->Command1, Qt::LeftButton);  // "Abbrechen"
    EXPECT_EQ(frames(), "000");
    EXPECT_EQ(t->Label2->text(), "Skin:A");
    choose(*t, MenuSkin);
    clickRow(t->File2, 1, true);
    EXPECT_EQ(frames(), "000");
    EXPECT_EQ(t->skinIndex(), 1);
    EXPECT_EQ(t->Label2->text(), "Skin:B");

    choose(*t, MenuOption);
    ASSERT_TRUE(t->Check2->isVisible());
    EXPECT_EQ(std::count(t->Check1.begin(), t->Check1.end(), nullptr), earlier() ? 1 : 0);
    EXPECT_EQ(t->ucShadow1 == nullptr, earlier());
    for (QCheckBox* box : {t->Check1[3], t->Check2})
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
    EXPECT_FALSE(state().Options[3] || state().MusicOn);
    // The grid is the player's own choice, kept outside Config.cfg (whose lines follow).
    auto* grid = t->findChild<QCheckBox*>("Gitter");
    ASSERT_TRUE(grid && grid->isVisible() && !grid->isChecked());
    QTest::mouseClick(grid, Qt::LeftButton, {}, QPoint(6, grid->height() / 2));
    EXPECT_TRUE(readViewSettings(userDataPath()).grid && playSetupOf(state()).grid);

    // The loop types the help text, one frame every 16 ms, until the window closes.
    const int64_t before = clock.nowMs();
    EXPECT_EQ(runAndClose(*t, 100), 0);
    EXPECT_GE(clock.nowMs() - before, 99 * 16);
    EXPECT_TRUE(anyInk(t->Picture1->layer()));
    const QString eleven =
        "2\r\n1\r\n#FALSE#\r\n#TRUE#\r\n#TRUE#\r\n#TRUE#\r\n#FALSE#\r\n"
        "#TRUE#\r\n#TRUE#\r\n#TRUE#\r\n#TRUE#\r\n";
    EXPECT_EQ(QString::fromLatin1(read("Config.cfg")), earlier() ? eleven : eleven + "#TRUE#\r\n");
}

// What Config.cfg holds is what the window shows, files named in Latin-1 ("\xdc" for "Ü")
// included; a skin that no longer loads when it is chosen keeps the previous one.
TEST_F(TitelTest, ConfigIsShownAndASkinThatNoLongerLoadsKeepsThePreviousOne) {
    writePack("a.llp", "A");
    writePack("b.llp", "");
    writeSkin("A.bmp", Qt::red);
    writeSkin("b.bmp", Qt::green);
    std::filesystem::rename(dir / "b.llp", dir / (std::string("\xdc") + "bung.llp"));
    std::filesystem::rename(dir / "Skins/b.bmp", dir / "Skins/Gr\xfcn.bmp");
    write("Musik/titel.mid", "x");
    write("Config.cfg", "1\r\n1\r\n#FALSE#\r\n#FALSE#\r\n");
    auto t = open();
    EXPECT_TRUE(messages.isEmpty()) << messages.join("|").toStdString();
    EXPECT_EQ(t->packFiles(), (QStringList{"a.llp", "Übung.llp"}));
    EXPECT_EQ(t->Label4->text(), "Übung");
    EXPECT_EQ(t->Label2->text(), "Skin:Grün");
    EXPECT_EQ(centreOf(t->Image5), qRgb(0, 255, 0));
    EXPECT_FALSE(t->Check2->isChecked() || t->Check1[0]->isChecked());
    EXPECT_TRUE(t->Check1[1]->isChecked());

    write("Skins/A.bmp", "BM kaputt");
    choose(*t, MenuSkin);
    clickRow(t->File2, 0);
    QTest::mouseClick(t->Command2, Qt::LeftButton);
    EXPECT_EQ(t->skinIndex(), 1);
    EXPECT_EQ(t->Label2->text(), "Skin:Grün");
    EXPECT_EQ(centreOf(t->Image5), qRgb(0, 255, 0));
    EXPECT_EQ(t->statusText(), "  Der Skin A.bmp kann nicht geladen werden  ");
}

// Pointing at an entry makes it large and types its hint in the status line; the free
// window area shrinks every entry; the pack title shows its link; quiet areas clear the line.
// Releasing any button over an entry chooses it, wherever the press was; the logo is a link
// only where its word stands; an entry of the pack or skin list chosen with the keyboard is
// previewed as a click previews it.
TEST_F(TitelTest, PointingAndReleasingOverEntriesTheLogoAndTheLists) {
    writePack("a.llp", "A", "Ann", 1, "https://example.org/a");
    writePack("b.llp", "B", "Bob");
    writeSkin("A.bmp", Qt::red);
    writeSkin("B.bmp", Qt::blue);
    auto t = open();
    hover(t->Menu[1]);
    EXPECT_EQ(fontSizes(*t), (std::vector<int>{18, 24, 18, 18, 18, 18}));
    EXPECT_EQ(t->statusText(),
              fromQt("  Passworteingabe, um in einem der höheren Levels zu starten   "));
    for (int i = 0; i < 3; ++i) t->frame();
    EXPECT_EQ(t->shownStatusText(), t->statusText());
    EXPECT_TRUE(anyInk(t->StatusBar->layer()));

    hover(t->Menu[2]);
    EXPECT_EQ(t->statusText(), "  Startet den Editor   ");
    EXPECT_EQ(t->Menu[1]->font().pointSize(), 18);
    hover(t.get());  // the free window area
    EXPECT_EQ(fontSizes(*t), std::vector<int>(6, 18));
    EXPECT_EQ(t->statusText(), "");
    t->frame();
    EXPECT_FALSE(anyInk(t->StatusBar->layer())) << "a new text clears the line";

    hover(t->Label4);
    EXPECT_EQ(t->statusText(), "    https://example.org/a  ");
    hover(t->Menu[0]);
    hover(t->Label5);
    EXPECT_EQ(t->statusText(), "");
    EXPECT_EQ(t->Menu[0]->font().pointSize(), 24) << "only the free area shrinks the entries";

    auto over = [](QWidget* receiver, QWidget* target) {
        return receiver->mapFromGlobal(target->mapToGlobal(QPoint(10, 10)));
    };
    QTest::mousePress(t->Menu[1], Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseRelease(t->Menu[1], Qt::RightButton, {}, over(t->Menu[1], t->Menu[3]));
    EXPECT_EQ(t->menuChoice(), MenuLevelPack);
    t->frame();
    EXPECT_TRUE(t->Frame3->isVisible());
    QTest::mouseRelease(t.get(), Qt::MiddleButton, {}, over(t.get(), t->Menu[4]));
    EXPECT_EQ(t->menuChoice(), MenuSkin);
    QTest::mouseRelease(t.get(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(t->menuChoice(), MenuSkin) << "not over an entry";
    t->frame();

    const QPoint word = titleLogoWord(QRectF(t->Logo->rect())).center().toPoint();
    hover(t->Menu[2]);
    hover(t->Logo, QPoint(10, 10));
    EXPECT_EQ(t->statusText(), "");
    EXPECT_EQ(fontSizes(*t), std::vector<int>(6, 18));
    hover(t->Logo, word);
    EXPECT_EQ(t->statusText(), "  Zur Homepage von Lumor   ");
    QTest::mouseClick(t->Logo, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_TRUE(opened.isEmpty());
    QTest::mouseClick(t->Logo, Qt::LeftButton, {}, word);
    EXPECT_EQ(opened, QList<QUrl>{QUrl(HomePage)});

    QTest::keyClick(t->File2, Qt::Key_Down);
    EXPECT_EQ(t->Label2->text(), "Skin:B");
    EXPECT_EQ(t->skinIndex(), 0);
    choose(*t, MenuLevelPack);
    QTest::keyClick(t->List1, Qt::Key_Down);
    EXPECT_EQ(t->statusText(), "  B von Bob  ");
    EXPECT_EQ(t->packIndex(), 0);
}

// "Start" plays the first level; a password in any case plays its level; a wrong, empty,
// cancelled or unstorable one plays nothing; the solver request goes to the finder when
// there is one, else it plays.
TEST_P(TitelInEachEdition, StartAndPasswordEntry) {
    writePack("a.llp", "A", "", 4);
    auto t = open();
    state().handover.set(7);
    choose(*t, MenuStart);
    EXPECT_EQ(plays, std::vector<int>{0});

    std::vector<int> finder;
    const struct {
        std::optional<QString> answer;
        int plays;
        bool wrong;
    } cases[] = {
        {QStringLiteral("gamma"), 2, false},
        {QStringLiteral("Omega"), -1, true},
        {std::nullopt, -1, false},
        {QStringLiteral("ALPHA\u4E00"), -1, true},  // no password can hold it
        {QStringLiteral("¤beta"), 1, false},
        {QStringLiteral("¤delta"), -1, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer.value_or("(cancelled)").toStdString());
        if (c.answer == QStringLiteral("¤delta"))
            t->hooks.finder = [&](QWidget*, int level) { finder.push_back(level); };
        plays.clear();
        messages.clear();
        prompts.clear();
        answers = {c.answer};
        choose(*t, MenuPasswort);
        EXPECT_EQ(prompts, QStringList{earlier() ? "Du willst zurück in die Lumorwelt??? So nenne "
                                                   "mir das Passwort, Sterblicher..."
                                                 : "Bitte geben sie das Passwort ein:"});
        EXPECT_EQ(plays, c.plays < 0 ? std::vector<int>{} : std::vector<int>{c.plays});
        EXPECT_EQ(messages, c.wrong ? QStringList{"Passwort falsch!"} : QStringList{});
    }
    EXPECT_EQ(finder, std::vector<int>{3});
}

// The furthest level reached is kept per pack in the user's data folder and offered in the
// password box, also from a program folder that cannot be written; a progress file that
// cannot be read offers nothing and breaks nothing.
TEST_F(TitelTest, ReachedLevelsAreOfferedInThePasswordBox) {
    const QString kept = ".daten/lumor/Fortschritt.dat";
    writePack("a.llp", "A", "", 4);
    writePack("b.llp", "B", "", 2);
    write("Fortschritt.dat", "2\tb.llp\tB\r\n");  // kept here by an earlier version
    state().FolderWritable = false;
    auto t = std::make_unique<Titel>(nullptr, clock);  // with its own board window
    ASSERT_TRUE(t->Form_Load());
    t->show();
    const auto offer = [&] {
        offered.clear();
        choose(*t, MenuPasswort);
        return offered.value(0, "(no box)");
    };
    EXPECT_EQ(offer(), "");

    // A level reached in the board window that the title menu opens.
    QTimer::singleShot(0, [&] {
        EXPECT_TRUE(QTest::qWaitFor([&] { return read(kept).contains("3\ta.llp"); }, 10000));
        if (QWidget* board = QApplication::activeModalWidget()) board->close();
    });
    state().handover.set(2);
    t->hooks.play(t.get());
    EXPECT_EQ(read(kept), "2\tb.llp\tB\r\n3\ta.llp\tA\r\naus\t" +
                              QByteArray::fromStdString(dir.string()) + "\r\n");
    t->rememberLevel(1);
    t->rememberWin(0);
    EXPECT_EQ(offer(), "GAMMA") << "never set back";
    EXPECT_TRUE(read(kept).contains("+\ta.llp\tA\t1\r\n"));
    t->showPack(1);
    EXPECT_EQ(offer(), "BETA") << "taken over from the program folder";
    t->showPack(0);
    EXPECT_EQ(read("Fortschritt.dat"), "2\tb.llp\tB\r\n");

    // A level the pack no longer has is forgotten; what cannot be read is no progress, and
    // no save replaces it.
    write(kept, "9\ta.llp\tA\r\naus\t" + QByteArray::fromStdString(dir.string()) + "\r\n");
    EXPECT_EQ(offer(), "");
    t->rememberLevel(3);
    EXPECT_EQ(offer(), "DELTA");
    QFile::remove(path(kept));
    ASSERT_TRUE(makeHostile(lumortest::Hostile::Huge, path(kept).toStdString()));
    QFile::remove(path("Fortschritt.dat"));
    EXPECT_EQ(offer(), "");

    // A link is read but never written through.
    QFile::remove(path(kept));
    write("anderswo", "1\ta.llp\tA\r\n");
    ASSERT_TRUE(QFile::link(path("anderswo"), path(kept)));
    EXPECT_EQ(offer(), "ALPHA");
    t->rememberLevel(2);
    EXPECT_EQ(read("anderswo"), "1\ta.llp\tA\r\n");
}

// The pack list and labels name title, file, author, count and remark. Which links may open
// is the link rule's test; here the title hands them on, under a hand, and
// the version label leads to the home page.
TEST_F(TitelTest, PackLinesLabelsAndLinks) {
    writePack("ohne.llp", "", "", 1);
    writePack("welt.llp", fromQt("Schöne Welt").value(), fromQt("Jörg").value(), 0,
              "https://example.org/lumor", "Bemerkung");
    writePack("zwoelf.llp", fromQt("Zwölf").value(), "", 12, "https://example.org/setup.EXE");
    auto t = open();
    EXPECT_EQ(t->packTitles(),
              (QStringList{"ohne (ohne.llp)", "Schöne Welt (welt.llp)", "Zwölf (zwoelf.llp)"}));
    EXPECT_EQ(t->Label4->text(), "ohne");
    EXPECT_EQ(t->Label3->text(), "1 Level");

    choose(*t, MenuLevelPack);
    clickRow(t->List1, 0);
    EXPECT_EQ(t->statusText(), "  ohne  ");
    clickRow(t->List1, 1, true);
    EXPECT_FALSE(t->Frame3->isVisible());
    EXPECT_EQ(t->Label4->text(), "Schöne Welt von Jörg");
    EXPECT_EQ(t->Label5->text(), "Bemerkung");
    EXPECT_EQ(state().FinalMessage, DefaultFinalMessage);

    choose(*t, MenuLevelPack);
    clickRow(t->List1, 2);
    QTest::mouseClick(t->Command3, Qt::LeftButton);  // "Abbrechen" keeps the pack
    EXPECT_EQ(t->packIndex(), 1);

    for (int i : {0, 2, 1}) {
        t->showPack(i);
        EXPECT_EQ(t->Label4->cursor().shape() == Qt::BitmapCursor, i > 0) << i;
        opened.clear();
        QTest::mouseClick(t->Label4, Qt::LeftButton);
        EXPECT_EQ(opened, i == 1 ? QList<QUrl>{QUrl("https://example.org/lumor")} : QList<QUrl>{});
    }
    opened.clear();
    QTest::mouseClick(t->Label1, Qt::LeftButton);
    EXPECT_EQ(opened, QList<QUrl>{QUrl(HomePage)});
}

// No pack: the message, and on a writable folder the editor first; the program ends. A
// damaged pack gives way to the first sound one, which is kept in Config.cfg; without a
// sound one the program ends after the message, saving nothing.
TEST_F(TitelTest, MissingAndDamagedPacks) {
    for (bool writable : {false, true}) {
        state().FolderWritable = writable;
        messages.clear();
        EXPECT_FALSE(make()->Form_Load());
        EXPECT_EQ(messages, QStringList{"Keine LevelPacks vorhanden!"});
        EXPECT_EQ(editorRuns, writable ? 1 : 0);
    }
    // The application's own loop, as in the program: it ends at once, with a failure code.
    write("a.llp", "Lumor Levelpack V.1.1\r\nkaputt\r\n");
    write("b.llp", "");
    messages.clear();
    showTitleMenu(clock);
    EXPECT_EQ(QCoreApplication::exec(), 1);
    EXPECT_EQ(messages, QStringList{"Levelpack beschädigt!"});
    EXPECT_TRUE(read("Config.cfg").isEmpty());

    writePack("c.llp", "C");
    messages.clear();
    auto t = open();
    EXPECT_EQ(messages, QStringList{"Levelpack beschädigt!"});
    EXPECT_EQ(t->Label4->text(), "C");
    EXPECT_TRUE(read("Config.cfg").startsWith("2\r\n0\r\n")) << "the fallback is kept";
    EXPECT_FALSE(t->quitRequested());

    // Closing the title window ends the program (and leaves no quit pending).
    QFile::remove(path("Config.cfg"));
    clock.onWait = [](int64_t) {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* other = dynamic_cast<Titel*>(w); other && other->isVisible()) other->close();
    };
    showTitleMenu(clock);
    EXPECT_EQ(QCoreApplication::exec(), 0);
    EXPECT_FALSE(read("Config.cfg").isEmpty());
    QGuiApplication::setQuitOnLastWindowClosed(true);
}

// From a read-only folder the third entry starts the installer (the program "Install" of
// the program folder, there, or a message why not) and nothing writes Config.cfg; from a
// writable one it saves, opens the editor and reloads the pack list.
TEST_F(TitelTest, InstallFromAReadOnlyFolderElseTheEditor) {
    state().FolderWritable = false;
    writePack("a.llp", "A");
    writePack("b.llp", "B");
    write("Config.cfg", "1\r\n0\r\n#FALSE#\r\n");
    auto t = open();
    EXPECT_EQ(t->packIndex(), 0) << "Config.cfg is not read";
    EXPECT_FALSE(state().MusicOn || t->Check2->isVisibleTo(t->Frame1)) << "no song: no music";
    EXPECT_EQ(t->Menu[2]->text(), "Install");
    hover(t->Menu[2]);
    EXPECT_EQ(t->statusText(),
              "  Kopiert das Spiel auf Festplatte und der Editor wird aktiviert   ");
    choose(*t, MenuEditor);
    EXPECT_EQ(started, QStringList{path("Install.exe")});
    EXPECT_EQ(editorRuns, 0);
    const Titel plain(nullptr, clock);               // with the hook it has in the program
    write("install", "#!/bin/sh\npwd > started\n");  // any case, as in the whole folder
    QFile::setPermissions(path("install"), QFile::ReadOwner | QFile::ExeOwner);
    EXPECT_TRUE(plain.hooks.startProgram(path("Install.exe").toStdString()));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !read("started").isEmpty(); }, 10000));
    EXPECT_EQ(read("started").trimmed(), QByteArray::fromStdString(dir.string()));
    QFile::remove(path("install"));
    EXPECT_FALSE(plain.hooks.startProgram(path("Install.exe").toStdString()));
    EXPECT_EQ(messages, QStringList{"„Install“ konnte nicht gestartet werden."});
    QFile::remove(path("Config.cfg"));
    EXPECT_EQ(runAndClose(*t, 2), 0);
    EXPECT_FALSE(QFile::exists(path("Config.cfg")));

    state().FolderWritable = true;
    t = open();
    EXPECT_EQ(t->Menu[2]->text(), "Editor");
    inEditor = [&] {
        EXPECT_TRUE(QFile::exists(path("Config.cfg"))) << "saved before the editor opens";
        writePack("neu.llp", "", "", 2);
    };
    choose(*t, MenuEditor);
    EXPECT_EQ(editorRuns, 1);
    EXPECT_EQ(t->packTitles(), (QStringList{"A (a.llp)", "B (b.llp)", "neu (neu.llp)"}));
    EXPECT_FALSE(t->quitRequested());
}
