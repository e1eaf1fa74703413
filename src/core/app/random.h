// The program's one source of randomness: fractions in [0, 1), seedable so that
// fillers, sparks, music choice and star shuffles are reproducible in tests.
#pragma once

#include <cstdint>
#include <random>

namespace lumor {

class Random {
public:
    virtual ~Random() = default;
    virtual double next() = 0;  // uniform in [0, 1)
};

class SeededRandom final : public Random {
public:
    explicit SeededRandom(uint64_t seed = 1) : engine_(seed) {}
    void seed(uint64_t s) { engine_.seed(s); }
    // 53 random bits scaled into [0, 1): never 1.0, unlike some distribution implementations.
    double next() override { return static_cast<double>(engine_() >> 11) * 0x1.0p-53; }

private:
    std::mt19937_64 engine_;
};

// The program-wide generator; seeded from the clock at start-up.
SeededRandom& programRandom();

}  // namespace lumor
