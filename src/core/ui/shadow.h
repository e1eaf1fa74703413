// The arithmetic of a window's drop shadow and fade: where the two shadow strips stand
// beside their owner, the alpha of every strip pixel, and the opacity steps of a fade.
// Plain integers, so the window side only turns them into pictures and window opacity.
#pragma once

#include <cstdint>
#include <vector>

namespace lumor::shadow {

struct Rect {
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const Rect&) const = default;
};

// From the owner's outer rectangle and the shadow depth d: the right strip stands at
// (x + width, y + d), d x height; the bottom strip at (x + d, y + height), (width - d) x d.
// Together they end in the corner below and right of the owner.
Rect rightStrip(const Rect& owner, int depth);
Rect bottomStrip(const Rect& owner, int depth);

enum class Strip { Right, Bottom };

// The length of a strip: the right strip runs down, the bottom strip runs across.
inline int stripLength(Strip strip, const Rect& r) {
    return strip == Strip::Right ? r.height : r.width;
}

// Alpha (0..255) of every pixel of a strip of the given length and depth, row by row from
// the top, each row left to right: depth x length for the right strip, length x depth for
// the bottom one. Soft edges fade out away from the owner and ramp in over the first
// `depth` pixels of each open end; without them the strip is solid. `roundedTop` clears
// the outer pixels of the right strip's five top rows, for systems whose window corners
// are round.
std::vector<uint8_t> stripAlpha(Strip strip, int length, int depth, bool soft, bool roundedTop);

// The opacity steps of a fade: from 255 down towards 0 in ticks of TickMs, each step
// spreading what is left evenly over the time that is left, so that the fade ends on time
// however late the ticks come.
class FadeSteps {
public:
    static constexpr int TickMs = 20;

    void start(int64_t nowMs, int durationMs);
    // One tick at the given time. True while the fade goes on (value() is the new opacity);
    // false once it has ended (value() is then 0).
    bool tick(int64_t nowMs);
    int value() const { return value_; }
    bool running() const { return running_; }

private:
    int64_t start_ = 0;
    int duration_ = 0;
    int value_ = 255;
    bool running_ = false;
};

}  // namespace lumor::shadow
