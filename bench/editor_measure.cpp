// The editor's live check as a designer meets it, on the real clock:
//
//   editor_measure PROGRAMFOLDER PACK.llp LEVEL [OTHER]
//
// opens the editor on the program folder, opens the pack through "Laden" and shows LEVEL
// (1, 2, ...): the time until the check line answers, until the level is measured whole for
// the level list, and until every level of the pack is; the longest stretch in which the
// window handled no event meanwhile; then OTHER (default LEVEL - 1) and LEVEL again: the
// time until the remembered answer is shown.
#include "app/Wait.h"
#include "app/state.h"
#include "editor/Editor.h"
#include "editor/LiveCheck.h"
#include "editor/LoadMap.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

using namespace lumor;
using Steady = std::chrono::steady_clock;

namespace {

double msSince(Steady::time_point t0) {
    return std::chrono::duration<double, std::milli>(Steady::now() - t0).count();
}

// Handles events until `done`, sleeping in the event loop (a timer every 10 ms wakes it),
// and returns the longest time between two event runs.
double waitUntil(const std::function<bool()>& done) {
    QTimer pulse;
    pulse.start(10);
    double longest = 0;
    Steady::time_point last = Steady::now();
    while (!done()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        longest = std::max(longest, msSince(last));
        last = Steady::now();
    }
    return longest;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 4) {
        std::fprintf(stderr, "Aufruf: editor_measure PROGRAMMORDNER PACK.llp LEVEL [ANDERER]\n");
        return 2;
    }
    std::string folder = argv[1];
    if (folder.back() != '/') folder += '/';
    state().AppFolder = folder;
    state().FolderWritable = true;
    const QString pack = QString::fromLocal8Bit(argv[2]);
    const int level = std::atoi(argv[3]) - 1;
    const int other = argc > 4 ? std::atoi(argv[4]) - 1 : std::max(0, level - 1);

    Editor editor;
    editor.show();
    QTimer::singleShot(0, [&] {
        auto* d = dynamic_cast<LoadMap*>(QApplication::activeModalWidget());
        if (!d) return;
        auto* packs = d->findChild<QListWidget*>(QStringLiteral("List1"));
        packs->setCurrentItem(packs->findItems(pack, Qt::MatchExactly).value(0));
        d->findChild<QPushButton*>(QStringLiteral("Command2"))->click();
    });
    editor.findChild<QPushButton*>(QStringLiteral("Command3"))->click();
    auto* list = editor.findChild<QListWidget*>(QStringLiteral("List1"));
    LiveCheck* check = editor.liveCheck();
    if (level < 0 || level >= editor.count()) {
        std::fprintf(stderr, "Level %d gibt es nicht\n", level + 1);
        return 2;
    }
    // Start from a level already answered, so the clock starts with the level's own check.
    list->setCurrentRow(other);
    waitUntil([&] { return !check->busy(); });

    const auto t0 = Steady::now();
    list->setCurrentRow(level);
    const LevelRecord& shown = state().pack.levels[level];
    const double gap = waitUntil([&] { return !check->busy(); });
    const double answered = msSince(t0);
    const std::string answer =
        editor.findChild<QLabel*>(QStringLiteral("CheckLine"))->text().toStdString();
    const double gap2 = waitUntil([&] { return check->measured(shown) || check->gaveUp(shown); });
    const double whole = msSince(t0);
    const double gap3 = waitUntil([&] {
        for (int i = 0; i < editor.count(); ++i) {
            const LevelRecord& l = state().pack.levels[i];
            if (!check->measured(l) && !check->gaveUp(l)) return false;
        }
        return true;
    });
    const double allMeasured = msSince(t0);

    list->setCurrentRow(other);
    const auto t1 = Steady::now();
    list->setCurrentRow(level);
    const bool atOnce = !check->busy();
    const double remembered = msSince(t1);

    std::printf("Level %d \"%s\": Antwort \"%s\"\n", level + 1, shown.Name.c_str(), answer.c_str());
    std::printf("  Antwort der Prüfung:        %8.1f ms\n", answered);
    std::printf("  ganz gemessen (Levelliste): %8.1f ms\n", whole);
    std::printf("  alle %3d Levels gemessen:   %8.1f ms\n", editor.count(), allMeasured);
    std::printf("  längste Pause des Fensters: %8.1f ms\n", std::max({gap, gap2, gap3}));
    std::printf("  gemerkte Antwort:           %8.3f ms (%s)\n", remembered,
                atOnce ? "sofort, ohne \"prüft\"" : "NICHT sofort");
    return 0;
}
