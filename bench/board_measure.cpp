// The board window on the real clock: how long a cell step of the beam run takes at
// normal speed, with turbo and with turbo faster (median over many cells), and the CPU
// the window uses while idle and during a run.
//
//   board_measure                      the figures (offscreen unless QT_QPA_PLATFORM says otherwise)
//   board_measure --show [pack] [n]    plays a pack (or the measuring level) from level n, to look at
#include "app/Wait.h"
#include "app/state.h"
#include "levels/packfile.h"
#include "play/Form1.h"
#include "play/cells.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPushButton>
#include <QTimer>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

using namespace lumor;

namespace {

double cpuMs() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1000.0 +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1000.0;
}

// A beam snaking through the whole board: right along row 0, down, left along row 1,
// down, right along row 2 ... into a target at the end. 240 cells, a deflector at every
// turn, so the sparks of the deflectors fly too.
LevelRecord snake() {
    LevelRecord r;
    r.Name = "Schlange";
    r.Password = "MESSEN";
    r.cell(0, 0) = SourceRight;
    for (int row = 0; row < BoardHeight; row += 2) {
        r.cell(19, row) = DeflectorLeftDown;    // right turns down
        r.cell(19, row + 1) = DeflectorLeftUp;  // down turns left
        if (row + 2 < BoardHeight) {
            r.cell(0, row + 1) = DeflectorRightDown;  // left turns down
            r.cell(0, row + 2) = DeflectorRightUp;    // down turns right
        }
    }
    r.cell(0, 11) = TargetLeft;
    return r;
}

bool ready(const Form1& f) {
    return !f.running() && !f.levelQueued() && f.startButton()->isEnabled() &&
           f.messageText().isEmpty();
}

struct RunFigures {
    double medianStepMs = 0;
    double cpuPercent = 0;
    size_t steps = 0;
};

// Plays the snake for `cellSteps` cell steps, then closes the window mid-run.
RunFigures measureRun(bool turbo, bool faster, size_t cellSteps) {
    state().Options[OptTurboFaster] = faster;
    state().handover.set(0);
    Form1 f;
    std::vector<qint64> stamps;
    QElapsedTimer clock;
    clock.start();
    f.onCellStep = [&] {
        stamps.push_back(clock.nsecsElapsed());
        if (stamps.size() == cellSteps + 1) f.close();
    };
    f.show();
    waitFor([&] { return ready(f); });
    if (turbo) f.turboButton()->click();
    const double cpu0 = cpuMs();
    const qint64 wall0 = clock.nsecsElapsed();
    f.startButton()->click();
    waitFor([&] { return !f.isVisible() && !f.running(); });
    RunFigures out;
    const double wallMs = static_cast<double>(clock.nsecsElapsed() - wall0) / 1e6;
    out.cpuPercent = 100.0 * (cpuMs() - cpu0) / wallMs;
    std::vector<double> d;
    for (size_t i = 1; i < stamps.size(); ++i)
        d.push_back(static_cast<double>(stamps[i] - stamps[i - 1]) / 1e6);
    std::sort(d.begin(), d.end());
    out.steps = d.size();
    out.medianStepMs = d.empty() ? 0 : d[d.size() / 2];
    return out;
}

double measureIdle(int ms) {
    state().handover.set(0);
    Form1 f;
    f.show();
    waitFor([&] { return ready(f); });
    const double cpu0 = cpuMs();
    QElapsedTimer t;
    t.start();
    waitUntil(nowMs() + ms);
    const double percent = 100.0 * (cpuMs() - cpu0) / static_cast<double>(t.elapsed());
    f.close();
    waitFor([&] { return !f.isVisible(); });
    return percent;
}

}  // namespace

int main(int argc, char** argv) {
    const bool show = argc > 1 && std::strcmp(argv[1], "--show") == 0;
    if (!show) setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    QApplication app(argc, argv);
    ProgramState& st = state();
    st.Options.fill(true);
    st.Options[OptAutostart] = false;

    if (show) {
        if (argc > 2) {
            const QFileInfo pack(QString::fromLocal8Bit(argv[2]));
            st.AppFolder = pack.absolutePath().toStdString() + "/";
            const PackReadResult r =
                loadPackInto(pack.absoluteFilePath().toStdString(), st.pack, st.FinalMessage);
            if (!r.ok) {
                std::fprintf(stderr, "cannot read %s\n", argv[2]);
                return 1;
            }
        } else {
            st.pack.levels.assign({snake()});
        }
        st.handover.set(argc > 3 ? std::atoi(argv[3]) : 0);
        Form1 f;
        f.exec();
        return 0;
    }

    // No sounds, no music: the figures are the window's own.
    st.AppFolder = "/nonexistent/";
    st.MusicOn = false;
    st.pack.levels.assign({snake()});
    std::printf("board window, real clock (%s)\n", qPrintable(QGuiApplication::platformName()));
    std::printf("idle (level built, waiting for the player): cpu %.2f %%\n", measureIdle(5000));
    struct Mode {
        const char* name;
        bool turbo, faster;
        size_t steps;
    };
    for (const Mode& m : {Mode{"normal speed", false, false, 20}, Mode{"turbo", true, false, 100},
                          Mode{"turbo faster", true, true, 200}}) {
        const RunFigures r = measureRun(m.turbo, m.faster, m.steps);
        std::printf("%-13s median cell step %7.2f ms over %zu cells, cpu during the run %.1f %%\n",
                    m.name, r.medianStepMs, r.steps, r.cpuPercent);
    }
    return 0;
}
