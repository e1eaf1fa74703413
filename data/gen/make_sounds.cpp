// Synthesises the seven event sounds of the board into a folder:
// start, kreuz, sand, lenk, teiler, wand, ziel (16-bit mono PCM, 44.1 kHz).
// The beam run starts at most one sound per cell step (384 ms) and a new sound cuts
// the old one off, so every effect is short and puts its character in the first 100 ms.
#include "gen/synth.h"

#include <cstdio>
#include <functional>
#include <string>

using namespace synth;

namespace {

constexpr int Rate = 44100;

// A bell-like FM partial: carrier at f, modulator at ratio * f, modulation index falling.
double bell(double t, double f, double ratio, double index, double tau) {
    const double env = pluck(t, tau, 0.003);
    const double mod = index * std::exp(-t / (tau * 0.5)) * std::sin(TwoPi * f * ratio * t);
    return env * std::sin(TwoPi * f * t + mod);
}

// Start: a rising four-note chime (C5 E5 G5 C6) with a soft shimmer.
Buffer makeStart() {
    Buffer b(Rate, 0.95);
    const double notes[] = {72, 76, 79, 84};
    for (int n = 0; n < 4; ++n) {
        const double onset = 0.085 * n;
        const double f = noteHz(notes[n]);
        for (size_t i = 0; i < b.size(); ++i) {
            const double t = static_cast<double>(i) / Rate - onset;
            if (t < 0) continue;
            double v = bell(t, f, 3.5, 1.2, 0.28) + 0.25 * bell(t, 2.0 * f, 1.0, 0.0, 0.12);
            b[i] += v * (n == 3 ? 0.5 : 0.38);
        }
    }
    b.normalize(0.7);
    b.fadeEdges(0.001, 0.05);
    return b;
}

// Kreuz: a soft, short tick: a damped high sine with a breath of noise.
Buffer makeKreuz() {
    Buffer b(Rate, 0.07);
    Noise noise(11);
    Svf bp(3200, 4, Rate);
    for (size_t i = 0; i < b.size(); ++i) {
        const double t = static_cast<double>(i) / Rate;
        bp.process(noise.white());
        const double tone = std::sin(TwoPi * 2350 * t) * pluck(t, 0.012, 0.0008);
        const double air = bp.band() * pluck(t, 0.006, 0.0005);
        b[i] = 0.6 * tone + 0.5 * air;
    }
    b.normalize(0.35);
    b.fadeEdges(0.0005, 0.01);
    return b;
}

// Sand: a dry crunch of many tiny grains, low-passed, falling off over a quarter second.
Buffer makeSand() {
    Buffer b(Rate, 0.26);
    Noise noise(23);
    LowPass lp(2600, Rate);
    Svf body(900, 1.5, Rate);
    double grain = 0.0;
    for (size_t i = 0; i < b.size(); ++i) {
        const double t = static_cast<double>(i) / Rate;
        // Random grains: a new grain every few hundred samples, each a decaying click.
        if (noise.unit() < 0.012) grain = 0.4 + 0.6 * noise.unit();
        grain *= 0.985;
        const double x = noise.white() * grain;
        body.process(x);
        const double env = pluck(t, 0.09, 0.004);
        b[i] = env * (lp(x) * 0.8 + body.band() * 0.6);
    }
    b.normalize(0.55);
    b.fadeEdges(0.001, 0.03);
    return b;
}

// Lenk: a clear metallic ping (A6 with a slightly inharmonic overtone).
Buffer makeLenk() {
    Buffer b(Rate, 0.3);
    const double f = noteHz(93);
    for (size_t i = 0; i < b.size(); ++i) {
        const double t = static_cast<double>(i) / Rate;
        b[i] = 0.7 * std::sin(TwoPi * f * t) * pluck(t, 0.09, 0.001) +
               0.25 * std::sin(TwoPi * f * 2.76 * t) * pluck(t, 0.03, 0.001) +
               0.1 * std::sin(TwoPi * f * 5.4 * t) * pluck(t, 0.012, 0.001);
    }
    b.normalize(0.5);
    b.fadeEdges(0.0005, 0.03);
    return b;
}

// Teiler: one tone that splits into two, gliding apart to a fifth (E5 -> C5 and G5).
Buffer makeTeiler() {
    Buffer b(Rate, 0.42);
    const double start = 76.0;
    double phaseLow = 0.0, phaseHigh = 0.0;
    for (size_t i = 0; i < b.size(); ++i) {
        const double t = static_cast<double>(i) / Rate;
        const double glide = std::min(1.0, t / 0.06);
        const double lowMidi = start - 4.0 * glide;
        const double highMidi = start + 3.0 * glide;
        phaseLow += TwoPi * noteHz(lowMidi) / Rate;
        phaseHigh += TwoPi * noteHz(highMidi) / Rate;
        const double env = pluck(t, 0.16, 0.004);
        const double low =
            std::sin(phaseLow) + 0.3 * std::sin(2 * phaseLow) + 0.12 * std::sin(3 * phaseLow);
        const double high = std::sin(phaseHigh) + 0.3 * std::sin(2 * phaseHigh);
        b[i] = env * (0.5 * low + 0.45 * high);
    }
    b.normalize(0.55);
    b.fadeEdges(0.001, 0.04);
    return b;
}

// Wand: a dull stop, a low thump whose pitch drops, with a muffled knock.
Buffer makeWand() {
    Buffer b(Rate, 0.2);
    Noise noise(47);
    LowPass lp(500, Rate);
    double phase = 0.0;
    for (size_t i = 0; i < b.size(); ++i) {
        const double t = static_cast<double>(i) / Rate;
        const double f = 55.0 + 110.0 * std::exp(-t / 0.025);
        phase += TwoPi * f / Rate;
        const double thump = std::sin(phase) * pluck(t, 0.05, 0.001);
        const double knock = lp(noise.white()) * pluck(t, 0.015, 0.0005);
        b[i] = 0.9 * thump + 1.6 * knock;
    }
    b.normalize(0.75);
    b.fadeEdges(0.0005, 0.03);
    return b;
}

// Ziel: a bright success, a quick major arpeggio (G5 B5 D6 G6) over a sparkling top.
Buffer makeZiel() {
    Buffer b(Rate, 0.8);
    const double notes[] = {79, 83, 86, 91};
    Noise noise(5);
    Svf hp(7000, 0.8, Rate);
    for (int n = 0; n < 4; ++n) {
        const double onset = 0.045 * n;
        const double f = noteHz(notes[n]);
        for (size_t i = 0; i < b.size(); ++i) {
            const double t = static_cast<double>(i) / Rate - onset;
            if (t < 0) continue;
            b[i] += 0.32 *
                    (std::sin(TwoPi * f * t) + 0.35 * std::sin(TwoPi * 2 * f * t) +
                     0.12 * std::sin(TwoPi * 3 * f * t)) *
                    pluck(t, 0.22, 0.002);
        }
    }
    for (size_t i = 0; i < b.size(); ++i) {
        const double t = static_cast<double>(i) / Rate;
        hp.process(noise.white());
        b[i] += 0.12 * hp.high() * pluck(t, 0.12, 0.01);
    }
    b.normalize(0.7);
    b.fadeEdges(0.0005, 0.06);
    return b;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_sounds OUTPUT_FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    const std::pair<const char*, std::function<Buffer()>> sounds[] = {
        {"start", makeStart},   {"kreuz", makeKreuz}, {"sand", makeSand}, {"lenk", makeLenk},
        {"teiler", makeTeiler}, {"wand", makeWand},   {"ziel", makeZiel}};
    for (const auto& [name, make] : sounds) {
        const std::string path = folder + "/" + name + ".wav";
        if (!writeWav(path, make())) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
