// Small synthesis kit for the build-time sound and music generators: oscillators,
// envelopes, filters, a deterministic noise source and a 16-bit PCM wave writer.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace synth {

inline constexpr double Pi = 3.14159265358979323846;
inline constexpr double TwoPi = 2.0 * Pi;

// Frequency of a MIDI note number (69 = A4 = 440 Hz).
inline double noteHz(double midi) { return 440.0 * std::pow(2.0, (midi - 69.0) / 12.0); }

// Deterministic noise so that every build writes the same files.
class Noise {
public:
    explicit Noise(uint32_t seed = 0x1234567u) : state_(seed ? seed : 1u) {}
    uint32_t nextBits() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_;
    }
    double white() { return static_cast<double>(nextBits()) / 2147483648.0 - 1.0; }  // [-1, 1)
    double unit() { return static_cast<double>(nextBits()) / 4294967296.0; }         // [0, 1)

private:
    uint32_t state_;
};

// One-pole low-pass; cutoff in Hz.
class LowPass {
public:
    LowPass(double cutoff, double rate) { set(cutoff, rate); }
    void set(double cutoff, double rate) { a_ = 1.0 - std::exp(-TwoPi * cutoff / rate); }
    double operator()(double x) { return y_ += a_ * (x - y_); }

private:
    double a_ = 1.0;
    double y_ = 0.0;
};

// Two-pole state-variable filter (band/low/high from one structure).
class Svf {
public:
    Svf(double cutoff, double q, double rate) { set(cutoff, q, rate); }
    void set(double cutoff, double q, double rate) {
        f_ = 2.0 * std::sin(Pi * std::min(cutoff, rate * 0.2) / rate);
        damp_ = 1.0 / q;
    }
    void process(double x) {
        low_ += f_ * band_;
        const double high = x - low_ - damp_ * band_;
        band_ += f_ * high;
        high_ = high;
    }
    double low() const { return low_; }
    double band() const { return band_; }
    double high() const { return high_; }

private:
    double f_ = 0.1, damp_ = 1.0, low_ = 0.0, band_ = 0.0, high_ = 0.0;
};

// Attack-decay-sustain-release level at time t (seconds) of a note held for `hold` seconds.
struct Adsr {
    double attack = 0.005, decay = 0.1, sustain = 0.7, release = 0.2;
    double at(double t, double hold) const {
        if (t < 0) return 0.0;
        double level;
        if (t < attack)
            level = t / attack;
        else if (t < attack + decay)
            level = 1.0 - (1.0 - sustain) * (t - attack) / decay;
        else
            level = sustain;
        if (t > hold) {
            const double heldLevel = at(hold, hold + 1.0);
            const double r = (t - hold) / release;
            return r >= 1.0 ? 0.0 : heldLevel * (1.0 - r) * (1.0 - r);
        }
        return level;
    }
    double length(double hold) const { return hold + release; }
};

// Exponential decay from 1 with the given time constant, with a short linear attack
// to avoid clicks.
inline double pluck(double t, double tau, double attack = 0.002) {
    if (t < 0) return 0.0;
    const double a = t < attack ? t / attack : 1.0;
    return a * std::exp(-t / tau);
}

// A mono sample buffer with mixing helpers.
class Buffer {
public:
    Buffer(int rate, double seconds)
        : rate_(rate), data_(static_cast<size_t>(seconds * rate + 0.5), 0.0) {}
    int rate() const { return rate_; }
    size_t size() const { return data_.size(); }
    double seconds() const { return static_cast<double>(data_.size()) / rate_; }
    double& operator[](size_t i) { return data_[i]; }
    double operator[](size_t i) const { return data_[i]; }
    std::vector<double>& samples() { return data_; }
    const std::vector<double>& samples() const { return data_; }

    // Adds a value at sample i; with wrap the buffer is a loop and the tail of a
    // late note continues at the start, so the loop joins without a cut.
    void add(size_t i, double v, bool wrap) {
        if (i < data_.size())
            data_[i] += v;
        else if (wrap)
            data_[i % data_.size()] += v;
    }

    double peak() const {
        double p = 0.0;
        for (double v : data_) p = std::max(p, std::fabs(v));
        return p;
    }
    void scale(double g) {
        for (double& v : data_) v *= g;
    }
    void normalize(double target) {
        const double p = peak();
        if (p > 0.0) scale(target / p);
    }
    // Short fades at both ends (for one-shot effects, never for loops).
    void fadeEdges(double inSeconds, double outSeconds) {
        const size_t in = static_cast<size_t>(inSeconds * rate_);
        const size_t out = static_cast<size_t>(outSeconds * rate_);
        for (size_t i = 0; i < in && i < data_.size(); ++i)
            data_[i] *= static_cast<double>(i) / static_cast<double>(in);
        for (size_t i = 0; i < out && i < data_.size(); ++i)
            data_[data_.size() - 1 - i] *= static_cast<double>(i) / static_cast<double>(out);
    }

private:
    int rate_;
    std::vector<double> data_;
};

// Writes 16-bit mono PCM; samples are clamped to [-1, 1]. Returns false on a write error.
inline bool writeWav(const std::string& path, const Buffer& buffer) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    const uint32_t dataBytes = static_cast<uint32_t>(buffer.size() * 2);
    auto u32 = [&](uint32_t v) {
        const char b[4] = {char(v & 0xFF), char((v >> 8) & 0xFF), char((v >> 16) & 0xFF),
                           char(v >> 24)};
        out.write(b, 4);
    };
    auto u16 = [&](uint16_t v) {
        const char b[2] = {char(v & 0xFF), char(v >> 8)};
        out.write(b, 2);
    };
    out.write("RIFF", 4);
    u32(36 + dataBytes);
    out.write("WAVEfmt ", 8);
    u32(16);
    u16(1);  // PCM
    u16(1);  // mono
    u32(static_cast<uint32_t>(buffer.rate()));
    u32(static_cast<uint32_t>(buffer.rate()) * 2);
    u16(2);
    u16(16);
    out.write("data", 4);
    u32(dataBytes);
    std::vector<char> bytes(dataBytes);
    for (size_t i = 0; i < buffer.size(); ++i) {
        const double v = std::clamp(buffer[i], -1.0, 1.0);
        const auto s = static_cast<int16_t>(std::lround(v * 32767.0));
        bytes[2 * i] = static_cast<char>(s & 0xFF);
        bytes[2 * i + 1] = static_cast<char>((s >> 8) & 0xFF);
    }
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out.flush());
}

}  // namespace synth
