#include "ui/shadow.h"

#include <algorithm>
#include <array>

namespace lumor::shadow {

Rect rightStrip(const Rect& owner, int depth) {
    return {owner.x + owner.width, owner.y + depth, depth, owner.height};
}

Rect bottomStrip(const Rect& owner, int depth) {
    return {owner.x + depth, owner.y + owner.height, owner.width - depth, depth};
}

namespace {

// The ramp of an open strip end: 0 at the end itself, 255 from `depth` pixels in.
int ramp(int fromEnd, int depth) { return fromEnd < depth ? fromEnd * 255 / depth : 255; }

}  // namespace

std::vector<uint8_t> stripAlpha(Strip strip, int length, int depth, bool soft, bool roundedTop) {
    if (length <= 0 || depth <= 0) return {};
    const size_t count = static_cast<size_t>(length) * static_cast<size_t>(depth);
    std::vector<uint8_t> alpha(count, 255);
    if (!soft) return alpha;

    if (strip == Strip::Bottom) {
        // Rows top (next to the owner) to bottom; only the left end is open, the right
        // end meets the right strip's corner.
        for (int row = 0; row < depth; ++row) {
            const int fromOuter = depth - 1 - row;
            for (int pos = 0; pos < length; ++pos) {
                const int a = fromOuter * ramp(pos, depth) / depth;
                alpha[static_cast<size_t>(row) * length + pos] = static_cast<uint8_t>(a);
            }
        }
        return alpha;
    }

    // Right strip: columns left (next to the owner) to right; both ends are open.
    for (int pos = 0; pos < length; ++pos) {
        const int r = ramp(std::min(pos, length - 1 - pos), depth);
        for (int col = 0; col < depth; ++col) {
            const int a = (depth - col) * r / depth;
            alpha[static_cast<size_t>(pos) * depth + col] = static_cast<uint8_t>(a);
        }
    }
    if (roundedTop) {
        constexpr std::array<int, 5> cleared{5, 3, 2, 1, 1};
        for (int row = 0; row < std::min<int>(length, cleared.size()); ++row) {
            const int n = std::min(cleared[static_cast<size_t>(row)], depth);
            for (int col = depth - n; col < depth; ++col)
                alpha[static_cast<size_t>(row) * depth + col] = 0;
        }
    }
    return alpha;
}

void FadeSteps::start(int64_t nowMs, int durationMs) {
    start_ = nowMs;
    duration_ = durationMs;
    value_ = 255;
    running_ = true;
}

bool FadeSteps::tick(int64_t nowMs) {
    if (!running_) return false;
    const int64_t remaining = duration_ - (nowMs - start_);
    if (remaining > 0) {
        // value / (remaining / TickMs), without dividing by zero in the last tick.
        const int step = static_cast<int>(std::max<int64_t>(1, value_ * TickMs / remaining));
        if (value_ > step) {
            value_ -= step;
            return true;
        }
    }
    value_ = 0;
    running_ = false;
    return false;
}

}  // namespace lumor::shadow
