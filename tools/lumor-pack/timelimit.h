// The time limit of the searching commands, given in seconds on the command line. Any
// positive number is a limit, however large (one past what a clock can add counts as no
// limit at all); zero, a negative number, NaN or text is refused.
#pragma once

#include <chrono>
#include <string>

namespace lumorpack {

// The exit code of a search that gave up at its time limit before its answer was known.
inline constexpr int ExitGaveUp = 3;

// Reads `text` as a time limit; on refusal says why on standard error and returns false.
bool parseTimeLimit(const std::string& text, double& seconds);

// A limit of some seconds from now; a limit that is not positive never passes. Compared as
// elapsed seconds, so no limit overflows the clock.
class Deadline {
public:
    explicit Deadline(double seconds = -1)
        : start_(std::chrono::steady_clock::now()), seconds_(seconds) {}
    double elapsed() const {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    }
    bool passed() const { return seconds_ > 0 && elapsed() >= seconds_; }
    double seconds() const { return seconds_; }

private:
    std::chrono::steady_clock::time_point start_;
    double seconds_;
};

}  // namespace lumorpack
