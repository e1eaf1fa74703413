// The finder as a player and a level designer meet it, on the real clock:
//
//   finder_measure solve PACK.llp ... [--literal-limit SECONDS]
//       per level the whole process "lumor-pack solve" (the exact answer: wall and processor
//       time), and the search over every arrangement "lumor-pack solve --literal" up to the
//       limit (default 60 s; 0 leaves it out), checking that both print the same answer
//       where both end.
//   finder_measure fast PACK.llp ...
//       per level the whole process "lumor-pack solve --fast".
//   finder_measure window PACK.llp ...
//       per level the finder window from its opening to its answer shown, the search on
//       every core as the player gets it.
//   finder_measure close ROUNDS
//       opens the finder window on a level whose answer takes seconds, closes it at a random
//       moment and measures until the search has ended; also the longest gap between two
//       event runs of the window.
//
// lumor-pack is taken from the folder this program is in.
#include "app/Wait.h"
#include "app/state.h"
#include "levels/packfile.h"
#include "solver/Loesungssucher.h"

#include <QApplication>
#include <QCoreApplication>
#include <QProcess>
#include <QTimer>

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

using namespace lumor;
using Steady = std::chrono::steady_clock;

namespace {

double secondsSince(Steady::time_point t0) {
    return std::chrono::duration<double>(Steady::now() - t0).count();
}

double childCpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_CHILDREN, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

struct Run {
    double seconds = 0;
    double cpu = 0;  // user and system time of the process
    int exit = -1;
    QString out;
};

Run runTool(const QStringList& args) {
    QProcess p;
    const QString tool = QCoreApplication::applicationDirPath() + QStringLiteral("/lumor-pack");
    const Steady::time_point t0 = Steady::now();
    const double cpu0 = childCpuSeconds();
    p.start(tool, args);
    p.waitForFinished(-1);
    Run r;
    r.seconds = secondsSince(t0);
    r.cpu = childCpuSeconds() - cpu0;
    r.exit = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput()).trimmed();
    return r;
}

int levelCount(const QString& pack) {
    const PackReadResult r = readPack(pack.toStdString());
    return r.ok ? static_cast<int>(r.contents.levels.size()) : 0;
}

int solveTable(const QStringList& packs, double literalLimit, bool fast) {
    std::printf(fast ? "%-18s %5s %8s %8s\n" : "%-18s %5s %8s %8s %11s %8s\n", "pack", "level",
                "wall s", "cpu s", "literal s", "ratio");
    double worst = 0;
    for (const QString& pack : packs) {
        const int levels = levelCount(pack);
        for (int level = 1; level <= levels; ++level) {
            const QString number = QString::number(level);
            const Run exact = runTool(fast ? QStringList{"solve", "--fast", pack, number}
                                           : QStringList{"solve", pack, number});
            worst = std::max(worst, exact.seconds);
            const QString name = pack.section('/', -1);
            if (fast) {
                std::printf("%-18s %5d %8.3f %8.3f %s\n", qPrintable(name), level, exact.seconds,
                            exact.cpu, exact.exit == 0 ? "" : "gave up");
                continue;
            }
            if (literalLimit <= 0) {
                std::printf("%-18s %5d %8.3f %8.3f\n", qPrintable(name), level, exact.seconds,
                            exact.cpu);
                continue;
            }
            const Run literal = runTool({"solve", "--literal", "--time-limit",
                                         QString::number(literalLimit), pack, number});
            if (literal.exit == 0)
                std::printf("%-18s %5d %8.3f %8.3f %11.2f %8.0f %s\n", qPrintable(name), level,
                            exact.seconds, exact.cpu, literal.seconds,
                            literal.seconds / exact.seconds,
                            literal.out == exact.out ? "same answer" : "ANSWERS DIFFER");
            else
                std::printf("%-18s %5d %8.3f %8.3f %11s %8s\n", qPrintable(name), level,
                            exact.seconds, exact.cpu,
                            qPrintable(QStringLiteral("> %1").arg(literalLimit)), "-");
            std::fflush(stdout);
        }
    }
    std::printf("slowest: %.3f s\n", worst);
    return 0;
}

// Fifteen pieces on a half-open board, two beams, a target each: the answer takes minutes.
LevelRecord slowLevel() {
    const char* rows[] = {"................####", "L........b......####", "....>.......c..*####",
                          "b....s..*.......####", ".............#..####", "..>.....U.......####",
                          ".........*......####", ".........a......####", "................####",
                          "...............+####", "####################", "####################"};
    const std::string legend = ".>v<^RDLU#+abcdsx*";
    LevelRecord level;
    for (int y = 0; y < BoardHeight; ++y)
        for (int x = 0; x < BoardWidth; ++x)
            level.cell(x, y) = static_cast<int16_t>(legend.find(rows[y][x]));
    const std::array<int16_t, 9> stock = {11, 1, 1, 1, 3, 4, 2, 1, 2};
    std::copy(stock.begin(), stock.end(), level.Stock.begin());
    return level;
}

int windowTimes(const QStringList& packs) {
    std::vector<double> all;
    std::vector<std::pair<double, QString>> slowest;
    for (const QString& pack : packs) {
        const PackReadResult r = readPack(pack.toStdString());
        if (!r.ok) continue;
        state().pack.levels.assign(r.contents.levels);
        for (int level = 0; level < static_cast<int>(r.contents.levels.size()); ++level) {
            state().handover.set(level);
            const Steady::time_point opened = Steady::now();
            double seconds = -1;
            Lösungssucher w;
            w.onSearchEnded = [&](bool finished) {
                if (finished) seconds = secondsSince(opened);
            };
            w.show();
            while (!w.searchEnded())
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
            const QString name = pack.section('/', -1) + QStringLiteral(" %1").arg(level + 1);
            std::printf("%-22s %8.3f s\n", qPrintable(name), seconds);
            std::fflush(stdout);
            all.push_back(seconds);
            slowest.emplace_back(seconds, name);
        }
    }
    if (all.empty()) return 1;
    std::sort(all.begin(), all.end());
    std::sort(slowest.rbegin(), slowest.rend());
    std::printf("window answer: median %.3f s, slowest", all[all.size() / 2]);
    for (size_t i = 0; i < std::min<size_t>(3, slowest.size()); ++i)
        std::printf(" %s %.3f s;", qPrintable(slowest[i].second), slowest[i].first);
    std::printf(" %zu levels\n", all.size());
    return 0;
}

int closeLatency(int rounds) {
    state().pack.levels.assign({slowLevel()});
    std::mt19937 rng(1);
    std::vector<double> latencies, gaps;
    for (int round = 0; round < rounds; ++round) {
        state().handover.set(0);
        Lösungssucher w;
        Steady::time_point lastEvents = Steady::now(), closeDue{};
        double longestGap = 0;
        bool ended = false;
        w.onEvents = [&] {
            longestGap = std::max(longestGap, secondsSince(lastEvents));
            lastEvents = Steady::now();
        };
        w.onSearchEnded = [&](bool finished) {
            ended = true;
            if (!finished) latencies.push_back(secondsSince(closeDue) * 1000);
        };
        // The close is due at a random moment; it acts when the window next handles events.
        const int delay = std::uniform_int_distribution<int>(50, 1000)(rng);
        QTimer::singleShot(delay, &w, [&] { w.close(); });
        closeDue = Steady::now() + std::chrono::milliseconds(delay);
        w.show();
        while (!ended) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        gaps.push_back(longestGap * 1000);
    }
    auto report = [](const char* what, std::vector<double> v) {
        std::sort(v.begin(), v.end());
        std::printf("%-34s median %6.1f ms   max %6.1f ms   (%zu rounds)\n", what, v[v.size() / 2],
                    v.back(), v.size());
    };
    report("close due -> search ended", latencies);
    report("longest gap between event runs", gaps);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    QApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() >= 2 && args[0] == "close") return closeLatency(args[1].toInt());
    if (args.size() >= 2 && args[0] == "window") return windowTimes(args.mid(1));
    if (args.size() >= 2 && (args[0] == "solve" || args[0] == "fast")) {
        QStringList packs;
        double limit = 60;
        for (int i = 1; i < args.size(); ++i) {
            if (args[i] == "--literal-limit" && i + 1 < args.size())
                limit = args[++i].toDouble();
            else
                packs << args[i];
        }
        return solveTable(packs, limit, args[0] == "fast");
    }
    std::fprintf(stderr,
                 "finder_measure solve PACK.llp ... [--literal-limit SECONDS] | fast PACK.llp ... "
                 "| window PACK.llp ... | close ROUNDS\n");
    return 2;
}
