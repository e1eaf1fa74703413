#include "app/Wait.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <thread>

namespace lumor {

namespace {

// Sleeps in a local event loop for at most `ms`, leaving early when stop() turns true
// after a handled batch of events. Returns false when no event loop could run (no
// application object, or the application is already quitting, in which case nested
// loops return at once).
bool sleepInEventLoop(int64_t ms, const std::function<bool()>& stop) {
    if (!QCoreApplication::instance()) return false;
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    QMetaObject::Connection beforeSleep;
    if (stop) {
        // aboutToBlock fires whenever the loop has handled what was pending and is
        // about to sleep: the moment to look at the stop condition.
        if (auto* dispatcher = QAbstractEventDispatcher::instance()) {
            beforeSleep =
                QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, &loop, [&] {
                    if (stop()) loop.quit();
                });
        }
    }
    timer.start(static_cast<int>(std::clamp<int64_t>(ms, 0, 1'000'000)));
    const int rc = loop.exec();
    QObject::disconnect(beforeSleep);
    return rc != -1;
}

}  // namespace

int64_t SteadyClock::nowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void SteadyClock::waitUntil(int64_t deadlineMs, const std::function<bool()>& stop) {
    // Pending events are handled at least once, even when the deadline has passed,
    // so that a loop of short waits always keeps its windows alive.
    processEvents();
    for (;;) {
        if (stop && stop()) return;
        const int64_t remaining = deadlineMs - nowMs();
        if (remaining <= 0) return;
        if (!sleepInEventLoop(remaining, stop)) {
            // Without a running event loop there is nothing to handle: sleep in small
            // slices so that stop() is still looked at.
            std::this_thread::sleep_for(
                std::chrono::milliseconds(std::min<int64_t>(remaining, 20)));
            processEvents();
        }
    }
}

void FakeClock::waitUntil(int64_t deadlineMs, const std::function<bool()>& stop) {
    processEvents();
    if (onWait) onWait(now_);
    (void)stop;  // the caller looks at its own stop condition after the wait
    if (deadlineMs > now_) now_ = deadlineMs;
}

Clock& steadyClock() {
    static SteadyClock c;
    return c;
}

void processEvents() {
    if (QCoreApplication::instance()) QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void Clock::waitFor(const std::function<bool()>& stop) {
    if (!stop) return;
    while (!stop()) waitUntil(nowMs() + 50, stop);
}

}  // namespace lumor
