#include "app/Wait.h"

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QTimer>

using namespace lumor;

namespace {

// Installs a clock for one test and restores the steady clock afterwards.
struct ClockScope {
    explicit ClockScope(Clock* c) { setClock(c); }
    ~ClockScope() { setClock(nullptr); }
};

}  // namespace

TEST(FakeClockWait, JumpsToTheDeadlineAfterHandlingEvents) {
    FakeClock fake;
    ClockScope scope(&fake);
    const int64_t start = nowMs();
    bool timerRan = false;
    QTimer::singleShot(0, [&] { timerRan = true; });
    std::vector<int64_t> waits;
    fake.onWait = [&](int64_t t) { waits.push_back(t); };

    waitUntil(start + 12);
    EXPECT_TRUE(timerRan);
    EXPECT_EQ(nowMs(), start + 12);
    waitUntil(start + 5);  // a passed deadline leaves the time alone
    EXPECT_EQ(nowMs(), start + 12);
    fake.advance(30);
    EXPECT_EQ(nowMs(), start + 42);
    EXPECT_EQ(waits, (std::vector<int64_t>{start, start + 12}));
}

TEST(FakeClockWait, WaitForEndsWhenTheConditionTurnsTrue) {
    FakeClock fake;
    ClockScope scope(&fake);
    int calls = 0;
    fake.onWait = [&](int64_t) { ++calls; };
    const int64_t start = nowMs();
    waitFor([&] { return calls >= 3; });
    EXPECT_EQ(calls, 3);
    EXPECT_GE(nowMs(), start + 100);  // each round moves the clock on
    waitFor({});                      // no condition: nothing to wait for
}

TEST(SteadyClockWait, WaitsUntilTheDeadlineHandlingEvents) {
    ASSERT_NE(dynamic_cast<SteadyClock*>(&lumor::clock()), nullptr);
    const int64_t deadline = nowMs() + 80;
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(10);
    waitUntil(deadline);
    EXPECT_GE(nowMs(), deadline);
    EXPECT_GT(ticks, 0);  // window events were handled while waiting
}

TEST(SteadyClockWait, StopConditionEndsTheWaitEarly) {
    bool stop = false;
    QTimer::singleShot(20, [&] { stop = true; });
    const int64_t deadline = nowMs() + 20000;
    waitUntil(deadline, [&] { return stop; });
    EXPECT_TRUE(stop);
    EXPECT_LT(nowMs(), deadline);

    // A condition that holds already still handles pending events once.
    bool ran = false;
    QTimer::singleShot(0, [&] { ran = true; });
    waitUntil(nowMs() + 20000, [] { return true; });
    EXPECT_TRUE(ran);
}

TEST(SteadyClockWait, WaitForSleepsUntilTheCondition) {
    bool done = false;
    QTimer::singleShot(120, [&] { done = true; });
    waitFor([&] { return done; });
    EXPECT_TRUE(done);
}

TEST(SteadyClockWait, PassedDeadlineStillHandlesEvents) {
    bool ran = false;
    QTimer::singleShot(0, [&] { ran = true; });
    waitUntil(nowMs() - 5);
    EXPECT_TRUE(ran);
}

// Once the application has been told to quit, nested event loops return at once: the
// wait still lasts until its deadline and still handles events.
TEST(SteadyClockWait, StillWaitsWhileTheApplicationQuits) {
    QCoreApplication::exit(0);
    bool ran = false;
    QTimer::singleShot(0, [&] { ran = true; });
    const int64_t deadline = nowMs() + 60;
    waitUntil(deadline);
    EXPECT_GE(nowMs(), deadline);
    EXPECT_TRUE(ran);
    // Let the application's loop run and end once, which clears the quit request.
    QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
    QCoreApplication::exec();
}
