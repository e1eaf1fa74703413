// The millisecond clock and the event-handling waits of every long loop (title loop,
// beam run, message fades, finales, fireworks, finder progress). Waiting never spins:
// a local QEventLoop ended by a single-shot timer or by the stop condition.
#pragma once

#include <cstdint>
#include <functional>

namespace lumor {

class Clock {
public:
    virtual ~Clock() = default;
    virtual int64_t nowMs() = 0;
    // Waits until nowMs() >= deadlineMs, handling window events, or until stop() is true
    // (checked after every handled batch of events). The real clock sleeps in the event
    // loop; a test clock may jump straight to the deadline.
    virtual void waitUntil(int64_t deadlineMs, const std::function<bool()>& stop) = 0;
    // Waits without a deadline until stop() is true, handling events (no spinning: sleeps
    // in the event loop, rechecking at least every 50 ms).
    void waitFor(const std::function<bool()>& stop);
};

// std::chrono::steady_clock, waiting in a local QEventLoop.
class SteadyClock final : public Clock {
public:
    int64_t nowMs() override;
    void waitUntil(int64_t deadlineMs, const std::function<bool()>& stop) override;
};

// For tests: time stands still until waited on, then jumps to the deadline after
// handling the pending events once. A whole level or fade runs in milliseconds.
class FakeClock final : public Clock {
public:
    int64_t nowMs() override { return now_; }
    void waitUntil(int64_t deadlineMs, const std::function<bool()>& stop) override;
    void advance(int64_t ms) { now_ += ms; }
    // Called once per wait (after events were handled), e.g. to click a button mid-run.
    std::function<void(int64_t nowMs)> onWait;

private:
    int64_t now_ = 1000;
};

// The real clock.
Clock& steadyClock();
// The clock a window waits on unless it is made with another (a test hands its window a
// FakeClock): the real one.
inline Clock& clock() { return steadyClock(); }

inline int64_t nowMs() { return clock().nowMs(); }
inline void waitUntil(int64_t deadlineMs, const std::function<bool()>& stop = {}) {
    clock().waitUntil(deadlineMs, stop);
}
// Handles pending window events once, without waiting.
void processEvents();
inline void waitFor(const std::function<bool()>& stop) { clock().waitFor(stop); }

}  // namespace lumor
