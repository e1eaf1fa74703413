// The waits of every long loop: they handle window events, end at their deadline or when
// their condition holds, and a test clock jumps straight to each deadline.
#include "app/Wait.h"

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QTimer>

using namespace lumor;

// The test clock every window test waits on: events first, then straight to the deadline,
// never back.
TEST(FakeClockWait, JumpsToTheDeadlineAfterHandlingEvents) {
    FakeClock fake;
    const int64_t start = fake.nowMs();
    bool timerRan = false;
    QTimer::singleShot(0, [&] { timerRan = true; });
    fake.waitUntil(start + 12, {});
    EXPECT_TRUE(timerRan && fake.nowMs() == start + 12);
    fake.waitUntil(start + 5, {});
    EXPECT_EQ(fake.nowMs(), start + 12);
}

// Events are handled while waiting and once even when the deadline has passed or the
// condition holds already; the condition ends a wait early; waitFor sleeps until it holds.
TEST(SteadyClockWait, HandlesEventsUntilTheDeadlineOrTheConditionAlsoWhileTheApplicationQuits) {
    Clock& c = steadyClock();
    for (const bool already : {false, true}) {
        bool ran = false, stop = already;
        QObject scope;  // its timers go with it
        QTimer::singleShot(0, &scope, [&] { ran = true; });
        QTimer::singleShot(20, &scope, [&] { stop = true; });
        const int64_t far = c.nowMs() + 20000;
        c.waitUntil(already ? c.nowMs() - 5 : far, [&] { return stop; });
        EXPECT_TRUE(ran && stop);
        EXPECT_LT(c.nowMs(), far);
    }
    bool done = false;
    QTimer::singleShot(120, [&] { done = true; });
    c.waitFor([&] { return done; });
    EXPECT_TRUE(done);

    // Once the application has been told to quit, nested event loops return at once: the
    // wait still lasts until its deadline and still handles events.
    QCoreApplication::exit(0);
    bool ran = false;
    QTimer::singleShot(0, [&] { ran = true; });
    const int64_t deadline = steadyClock().nowMs() + 60;
    steadyClock().waitUntil(deadline, {});
    EXPECT_GE(steadyClock().nowMs(), deadline);
    EXPECT_TRUE(ran);
    // Let the application's loop run and end once, which clears the quit request.
    QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
    QCoreApplication::exec();
}
