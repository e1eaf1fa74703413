// CPU used by the event-handling waits while nothing happens: one long wait, the beam
// run's 12 ms paces, the title loop's 16 ms frames, and a waitFor on a late condition.
#include "app/Wait.h"

#include <QApplication>
#include <QTimer>

#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>

namespace {

double cpuMs() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1000.0 +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1000.0;
}

template <typename F>
void measure(const char* what, F&& run) {
    const double cpu0 = cpuMs();
    const int64_t t0 = lumor::nowMs();
    run();
    const double cpu = cpuMs() - cpu0;
    const int64_t wall = lumor::nowMs() - t0;
    std::printf("%-40s wall %6lld ms  cpu %7.1f ms  (%.2f %%)\n", what,
                static_cast<long long>(wall), cpu,
                wall > 0 ? 100.0 * cpu / static_cast<double>(wall) : 0.0);
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    measure("one waitUntil of 3000 ms", [] { lumor::waitUntil(lumor::nowMs() + 3000); });
    measure("250 waits of 12 ms (beam pace)", [] {
        int64_t next = lumor::nowMs();
        for (int i = 0; i < 250; ++i) lumor::waitUntil(next += 12);
    });
    measure("188 frames of 16 ms with a stop check", [] {
        int64_t next = lumor::nowMs();
        bool quit = false;
        for (int i = 0; i < 188 && !quit; ++i) lumor::waitUntil(next += 16, [&] { return quit; });
    });
    measure("waitFor a condition set after 3000 ms", [] {
        bool done = false;
        QTimer::singleShot(3000, [&] { done = true; });
        lumor::waitFor([&] { return done; });
    });
    // After the application was told to quit, nested event loops return at once; the
    // wait must still not spin.
    QCoreApplication::exit(0);
    measure("waitUntil 1000 ms while quitting", [] { lumor::waitUntil(lumor::nowMs() + 1000); });
    return 0;
}
