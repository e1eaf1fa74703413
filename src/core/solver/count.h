// An exact count of the finder's tries, checks and solutions. The largest level the
// finder takes (991 pieces, 240 free cells) has about 2^2900 tries, so counts are kept
// in as many 32-bit limbs as they need, without allocating.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace lumor {

class Count {
public:
    static constexpr int MaxLimbs = 96;  // 3072 bits

    Count() = default;
    Count(uint64_t v) {  // NOLINT: counts mix freely with small numbers
        limb_[0] = static_cast<uint32_t>(v);
        limb_[1] = static_cast<uint32_t>(v >> 32);
        size_ = limb_[1] ? 2 : limb_[0] ? 1 : 0;
    }

    bool isZero() const { return size_ == 0; }
    // The value when it fits, else UINT64_MAX.
    uint64_t saturated() const;

    Count& operator+=(const Count& other);
    Count& operator*=(uint32_t factor);
    // Exact division (the caller knows the divisor divides the value).
    Count& divideExactly(uint32_t divisor);

    friend Count operator+(Count a, const Count& b) { return a += b; }
    friend Count operator*(Count a, uint32_t f) { return a *= f; }
    bool operator==(const Count& other) const;
    bool operator<(const Count& other) const;

    std::string toString() const;  // plain decimal
    // The base-2 logarithm, near enough for a share of two counts; -infinity for 0.
    double log2() const;

private:
    int size_ = 0;  // limbs in use; the top one is never 0
    std::array<uint32_t, MaxLimbs> limb_{};
};

}  // namespace lumor
