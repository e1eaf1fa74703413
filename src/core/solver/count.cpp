#include "solver/count.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace lumor {

double Count::log2() const {
    if (size_ == 0) return -HUGE_VAL;
    // The top two limbs hold 33 or more significant bits: plenty for a share.
    double top = limb_[size_ - 1];
    if (size_ > 1) top = top * 4294967296.0 + limb_[size_ - 2];
    return std::log2(top) + 32.0 * std::max(0, size_ - 2);
}

uint64_t Count::saturated() const {
    if (size_ > 2) return UINT64_MAX;
    return (static_cast<uint64_t>(limb_[1]) << 32) | limb_[0];
}

Count& Count::operator+=(const Count& other) {
    const int n = std::max(size_, other.size_);
    uint64_t carry = 0;
    for (int i = 0; i < n; ++i) {
        const uint64_t sum = uint64_t{limb_[i]} + other.limb_[i] + carry;
        limb_[i] = static_cast<uint32_t>(sum);
        carry = sum >> 32;
    }
    size_ = n;
    if (carry) {
        if (n == MaxLimbs) std::abort();  // beyond any level the finder takes
        limb_[size_++] = static_cast<uint32_t>(carry);
    }
    return *this;
}

Count& Count::operator*=(uint32_t factor) {
    if (factor == 0) {
        limb_.fill(0);
        size_ = 0;
        return *this;
    }
    uint64_t carry = 0;
    for (int i = 0; i < size_; ++i) {
        const uint64_t product = uint64_t{limb_[i]} * factor + carry;
        limb_[i] = static_cast<uint32_t>(product);
        carry = product >> 32;
    }
    if (carry) {
        if (size_ == MaxLimbs) std::abort();
        limb_[size_++] = static_cast<uint32_t>(carry);
    }
    return *this;
}

Count& Count::divideExactly(uint32_t divisor) {
    uint64_t rest = 0;
    for (int i = size_ - 1; i >= 0; --i) {
        const uint64_t part = (rest << 32) | limb_[i];
        limb_[i] = static_cast<uint32_t>(part / divisor);
        rest = part % divisor;
    }
    while (size_ > 0 && limb_[size_ - 1] == 0) --size_;
    return *this;
}

bool Count::operator==(const Count& other) const {
    return size_ == other.size_ &&
           std::equal(limb_.begin(), limb_.begin() + size_, other.limb_.begin());
}

bool Count::operator<(const Count& other) const {
    if (size_ != other.size_) return size_ < other.size_;
    for (int i = size_ - 1; i >= 0; --i)
        if (limb_[i] != other.limb_[i]) return limb_[i] < other.limb_[i];
    return false;
}

std::string Count::toString() const {
    if (size_ == 0) return "0";
    // Nine decimal digits at a time, least significant group first.
    Count rest = *this;
    std::string digits;
    while (!rest.isZero()) {
        uint64_t r = 0;
        for (int i = rest.size_ - 1; i >= 0; --i) {
            const uint64_t part = (r << 32) | rest.limb_[i];
            rest.limb_[i] = static_cast<uint32_t>(part / 1'000'000'000);
            r = part % 1'000'000'000;
        }
        while (rest.size_ > 0 && rest.limb_[rest.size_ - 1] == 0) --rest.size_;
        for (int k = 0; k < 9; ++k) {
            digits.push_back(static_cast<char>('0' + r % 10));
            r /= 10;
        }
    }
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
    return {digits.rbegin(), digits.rend()};
}

}  // namespace lumor
