// Composes and renders the background music into a folder: the title song
// "TITEL.wav" and the game songs, 16-bit mono PCM at 22050 Hz.
//
// Each song is a chord progression split into sections (intro, theme, bridge, theme);
// a seeded melody generator writes four-bar phrases that come back, so a song has a
// theme a player can recognise. Pad, bass, arpeggio, lead and drums are additive and
// FM voices with envelopes. Songs are rendered as loops: a note that rings past the end
// continues at the start, and the echo runs around the loop, so the restart is seamless.
#include "gen/synth.h"

#include <array>
#include <cstdio>
#include <string>
#include <vector>

using namespace synth;

namespace {

constexpr int Rate = 22050;

enum class Voice { Pad, Bass, Arp, Lead, Bell, Kick, Snare, Hat };

struct Note {
    double start;   // seconds
    double length;  // seconds held
    double midi;
    double velocity;  // 0..1
    Voice voice;
};

struct Section {
    int bars;
    std::vector<int> chords;  // scale degree (0-6) of each bar's chord, cycled
    bool pad, bass, arp, drums, melody;
    int phrase;  // which melody phrase (0 = theme, 1 = answer)
};

struct Song {
    const char* file;
    double bpm;
    int root;  // MIDI note of the key's tonic for the lead's octave
    bool minor;
    uint32_t seed;
    double swing;   // delay of every second 16th, in 16ths
    int drumStyle;  // 0 = calm, 1 = driving, 2 = half-time
    Voice lead;
    std::vector<Section> sections;
};

constexpr std::array<int, 7> MajorScale = {0, 2, 4, 5, 7, 9, 11};
constexpr std::array<int, 7> MinorScale = {0, 2, 3, 5, 7, 8, 10};

// Semitone offset of a scale step (any integer, octaves wrap).
int stepToSemitone(int step, bool minor) {
    const auto& scale = minor ? MinorScale : MajorScale;
    int octave = step >= 0 ? step / 7 : -((-step + 6) / 7);
    int index = step - octave * 7;
    return 12 * octave + scale[static_cast<size_t>(index)];
}

// ---- voices ---------------------------------------------------------------------------

double renderPad(double t, double hold, double f, Noise&) {
    const Adsr env{0.35, 0.4, 0.75, 0.9};
    const double e = env.at(t, hold);
    if (e <= 0) return 0.0;
    double v = 0.0;
    for (int h = 1; h <= 7; ++h) {
        const double amp = 1.0 / (h * h * 0.6 + 0.4);
        v += amp * (std::sin(TwoPi * f * h * t) + std::sin(TwoPi * f * 1.004 * h * t + 1.3 * h));
    }
    return 0.10 * e * v;
}

double renderBass(double t, double hold, double f, Noise&) {
    const Adsr env{0.008, 0.25, 0.55, 0.08};
    const double e = env.at(t, hold);
    if (e <= 0) return 0.0;
    const double mod = 1.4 * std::exp(-t / 0.08) * std::sin(TwoPi * f * t);
    return 0.42 * e * (std::sin(TwoPi * f * t + mod) + 0.35 * std::sin(TwoPi * 2 * f * t));
}

double renderArp(double t, double hold, double f, Noise&) {
    (void)hold;
    const double e = pluck(t, 0.12, 0.003);
    const double mod = 2.0 * std::exp(-t / 0.05) * std::sin(TwoPi * f * 2.0 * t);
    return 0.14 * e * std::sin(TwoPi * f * t + mod);
}

// An electric-piano-like FM lead with a gentle vibrato that sets in late.
double renderLead(double t, double hold, double f, Noise&) {
    const Adsr env{0.012, 0.3, 0.6, 0.25};
    const double e = env.at(t, hold);
    if (e <= 0) return 0.0;
    // Vibrato of 0.4 % in frequency, integrated into the phase.
    const double rate = 5.2, depth = 0.004 * std::min(1.0, t / 0.4);
    const double ph = TwoPi * f * t - f * depth / rate * std::cos(TwoPi * rate * t);
    const double mod = (0.9 + 1.6 * std::exp(-t / 0.15)) * std::sin(ph);
    return 0.30 * e * (std::sin(ph + mod) + 0.18 * std::sin(2 * ph));
}

// A glassy bell lead (inharmonic FM ratio) for the calmer songs.
double renderBell(double t, double hold, double f, Noise&) {
    const Adsr env{0.004, 0.5, 0.35, 0.5};
    const double e = env.at(t, hold);
    if (e <= 0) return 0.0;
    const double mod = 1.1 * std::exp(-t / 0.4) * std::sin(TwoPi * f * 3.5 * t);
    return 0.30 * e *
           (std::sin(TwoPi * f * t + mod) + 0.2 * std::sin(TwoPi * f * 2 * t) * std::exp(-t / 0.3));
}

double renderKick(double t, double, double, Noise&) {
    if (t > 0.35) return 0.0;
    const double f0 = 48.0, f1 = 140.0, k = 0.035;
    const double phase = TwoPi * (f0 * t + (f1 - f0) * k * (1.0 - std::exp(-t / k)));
    return 0.75 * pluck(t, 0.12, 0.001) * std::sin(phase);
}

double renderSnare(double t, double, double, Noise& noise) {
    if (t > 0.3) return 0.0;
    const double tone = std::sin(TwoPi * 185.0 * t) * pluck(t, 0.04, 0.001);
    return 0.22 * (0.7 * tone + 0.5 * (noise.white() + noise.white()) * pluck(t, 0.06, 0.001));
}

double renderHat(double t, double, double, Noise& noise) {
    if (t > 0.12) return 0.0;
    // Crude high-pass: difference of two noise draws.
    const double a = noise.white(), b = noise.white();
    return 0.06 * (a - b) * pluck(t, 0.025, 0.0005);
}

double renderVoice(Voice voice, double t, double hold, double f, Noise& noise) {
    switch (voice) {
        case Voice::Pad:
            return renderPad(t, hold, f, noise);
        case Voice::Bass:
            return renderBass(t, hold, f, noise);
        case Voice::Arp:
            return renderArp(t, hold, f, noise);
        case Voice::Lead:
            return renderLead(t, hold, f, noise);
        case Voice::Bell:
            return renderBell(t, hold, f, noise);
        case Voice::Kick:
            return renderKick(t, hold, f, noise);
        case Voice::Snare:
            return renderSnare(t, hold, f, noise);
        case Voice::Hat:
            return renderHat(t, hold, f, noise);
    }
    return 0.0;
}

double tailOf(Voice voice) {
    switch (voice) {
        case Voice::Pad:
            return 1.0;
        case Voice::Bass:
            return 0.1;
        case Voice::Arp:
            return 0.7;
        case Voice::Lead:
            return 0.3;
        case Voice::Bell:
            return 0.6;
        case Voice::Kick:
            return 0.35;
        case Voice::Snare:
            return 0.3;
        case Voice::Hat:
            return 0.12;
    }
    return 0.5;
}

// ---- composition ----------------------------------------------------------------------

// A melody note inside a phrase: onset and length in 16th steps from the phrase start,
// pitch as a scale step relative to the tonic.
struct MelodyNote {
    int onset, length, step;
};

// Rhythms of one bar (onset, length in 16ths); the last one ends a phrase.
const std::vector<std::vector<std::pair<int, int>>> BarRhythms = {
    {{0, 4}, {4, 2}, {6, 2}, {8, 6}, {14, 2}},
    {{0, 3}, {3, 3}, {6, 2}, {8, 4}, {12, 4}},
    {{0, 6}, {6, 2}, {8, 2}, {10, 2}, {12, 4}},
    {{0, 2}, {2, 2}, {4, 4}, {8, 2}, {10, 2}, {12, 4}},
    {{0, 8}, {8, 4}, {12, 4}},
};
const std::vector<std::pair<int, int>> EndRhythm = {{0, 4}, {4, 4}, {8, 8}};

bool isChordTone(int step, int chordDegree) {
    const int d = ((step - chordDegree) % 7 + 7) % 7;
    return d == 0 || d == 2 || d == 4;
}

int nearestChordTone(int step, int chordDegree) {
    for (int delta : {0, 1, -1, 2, -2, 3, -3})
        if (isChordTone(step + delta, chordDegree)) return step + delta;
    return step;
}

// Writes a four-bar phrase over the given chords: bars 1 and 3 share a rhythm, bars 2
// and 4 another (the last bar closes), and the line moves mostly by steps, landing on
// chord tones on the strong beats.
std::vector<MelodyNote> makePhrase(const std::vector<int>& chords, Noise& rng) {
    const auto& rhythmA = BarRhythms[rng.nextBits() % BarRhythms.size()];
    const auto& rhythmB = BarRhythms[rng.nextBits() % BarRhythms.size()];
    std::vector<MelodyNote> notes;
    int step = nearestChordTone(4 + static_cast<int>(rng.nextBits() % 3), chords[0]);
    std::vector<int> firstBarSteps;
    for (int bar = 0; bar < 4; ++bar) {
        const int chord = chords[static_cast<size_t>(bar) % chords.size()];
        const auto& rhythm = bar == 3 ? EndRhythm : (bar % 2 == 0 ? rhythmA : rhythmB);
        for (size_t k = 0; k < rhythm.size(); ++k) {
            const auto [onset, length] = rhythm[k];
            if (bar == 2 && k < firstBarSteps.size() && k < 2) {
                // Bar 3 echoes the opening of bar 1, moved to the new chord.
                step = nearestChordTone(firstBarSteps[k], chord);
            } else {
                const int moves[] = {-2, -1, -1, 0, 1, 1, 2, 3, -3};
                step += moves[rng.nextBits() % 9];
                if (onset % 8 == 0 || length >= 4) step = nearestChordTone(step, chord);
            }
            if (bar == 3 && k + 1 == rhythm.size()) step = nearestChordTone(step, 0);
            step = std::clamp(step, 0, 11);
            if (bar == 0) firstBarSteps.push_back(step);
            notes.push_back({bar * 16 + onset, length, step});
        }
    }
    return notes;
}

std::vector<Note> compose(const Song& song) {
    std::vector<Note> notes;
    Noise rng(song.seed);
    const double beat = 60.0 / song.bpm;
    const double sixteenth = beat / 4.0;
    auto at = [&](int bar, int step) {
        const double swing = (step % 2 == 1) ? song.swing * sixteenth : 0.0;
        return (bar * 16 + step) * sixteenth + swing;
    };
    auto pitch = [&](int octave, int step) {
        return static_cast<double>(song.root + 12 * octave + stepToSemitone(step, song.minor));
    };

    // Two phrases per song, generated from the theme section's chords.
    std::vector<std::vector<MelodyNote>> phrases;
    for (int p = 0; p < 2; ++p) {
        std::vector<int> chords;
        for (const auto& s : song.sections)
            if (s.phrase == p && s.melody) {
                chords = s.chords;
                break;
            }
        if (chords.empty()) chords = song.sections.front().chords;
        phrases.push_back(makePhrase(chords, rng));
    }

    int bar = 0;
    for (const auto& section : song.sections) {
        for (int b = 0; b < section.bars; ++b, ++bar) {
            const int degree = section.chords[static_cast<size_t>(b) % section.chords.size()];
            const int triad[3] = {degree, degree + 2, degree + 4};
            if (section.pad)
                for (int k = 0; k < 3; ++k)
                    notes.push_back(
                        {at(bar, 0), 16 * sixteenth - 0.05, pitch(-1, triad[k]), 0.8, Voice::Pad});
            if (section.bass) {
                const double root = pitch(-2, degree);
                const int pattern[][2] = {{0, 6}, {6, 2}, {8, 4}, {12, 2}, {14, 2}};
                for (int k = 0; k < 5; ++k) {
                    const double p = (k == 3) ? root + 12 : (k == 4 ? pitch(-2, degree + 4) : root);
                    notes.push_back({at(bar, pattern[k][0]), pattern[k][1] * sixteenth * 0.85, p,
                                     0.9, Voice::Bass});
                }
            }
            if (section.arp) {
                const int order[] = {0, 1, 2, 1, 0, 2, 1, 2};
                for (int k = 0; k < 8; ++k) {
                    const int octave = k >= 4 ? 1 : 0;
                    notes.push_back({at(bar, 2 * k), sixteenth, pitch(octave, triad[order[k]]), 0.7,
                                     Voice::Arp});
                }
            }
            if (section.drums) {
                for (int s = 0; s < 16; ++s) {
                    bool kick = false, snare = false, hat = (s % 2 == 0);
                    switch (song.drumStyle) {
                        case 0:
                            kick = s == 0 || s == 10;
                            snare = s == 8;
                            break;
                        case 1:
                            kick = s % 4 == 0;
                            snare = s == 4 || s == 12;
                            hat = true;
                            break;
                        default:
                            kick = s == 0 || s == 6 || s == 11;
                            snare = s == 8;
                            break;
                    }
                    if (b == section.bars - 1 && s >= 12)
                        snare = true;  // a small fill into the next section
                    if (kick) notes.push_back({at(bar, s), 0.1, 0, 1.0, Voice::Kick});
                    if (snare)
                        notes.push_back({at(bar, s), 0.1, 0,
                                         s >= 12 && b == section.bars - 1 ? 0.6 : 1.0,
                                         Voice::Snare});
                    if (hat)
                        notes.push_back({at(bar, s), 0.05, 0, s % 4 == 0 ? 1.0 : 0.6, Voice::Hat});
                }
            }
            if (section.melody && b % 4 == 0) {
                const auto& phrase = phrases[static_cast<size_t>(section.phrase)];
                const bool variation = (b / 4) % 2 == 1;
                for (size_t k = 0; k < phrase.size(); ++k) {
                    const auto& n = phrase[k];
                    const int bb = bar + n.onset / 16;
                    if (bb >= bar + section.bars - b) break;
                    int step = n.step;
                    // Second time round the last bar lifts to the third above.
                    if (variation && n.onset >= 48 && k + 1 == phrase.size()) step += 2;
                    notes.push_back({at(bb, n.onset % 16), n.length * sixteenth * 0.92,
                                     pitch(0, step), 0.85, song.lead});
                }
            }
        }
    }
    return notes;
}

Buffer render(const Song& song) {
    int bars = 0;
    for (const auto& s : song.sections) bars += s.bars;
    const double seconds = bars * 4 * 60.0 / song.bpm;
    Buffer dry(Rate, seconds), lead(Rate, seconds);
    Noise noise(song.seed ^ 0x9E3779B9u);
    for (const auto& note : compose(song)) {
        const double f = noteHz(note.midi);
        const size_t first = static_cast<size_t>(note.start * Rate);
        const size_t count = static_cast<size_t>((note.length + tailOf(note.voice)) * Rate);
        Buffer& target = (note.voice == Voice::Lead || note.voice == Voice::Bell) ? lead : dry;
        for (size_t i = 0; i < count; ++i) {
            const double t = static_cast<double>(i) / Rate;
            target.add(first + i, note.velocity * renderVoice(note.voice, t, note.length, f, noise),
                       true);
        }
    }
    // Dotted-eighth echo on the lead, run twice round the loop so it settles into a
    // steady state that joins the start.
    const size_t n = lead.size();
    const size_t delay = static_cast<size_t>(0.75 * 60.0 / song.bpm * Rate);
    std::vector<double> wet(n, 0.0);
    LowPass damp(2500, Rate);
    for (size_t pass = 0; pass < 2; ++pass)
        for (size_t i = 0; i < n; ++i) {
            const double back = wet[(i + n - delay % n) % n];
            wet[i] = lead[i] + 0.35 * damp(back);
        }
    for (size_t i = 0; i < n; ++i) dry[i] += wet[i];
    // Gentle saturation keeps peaks round, then a fixed headroom.
    for (size_t i = 0; i < n; ++i) dry[i] = std::tanh(dry[i] * 0.9);
    dry.normalize(0.85);
    return dry;
}

std::vector<Song> songs() {
    // Degrees: 0 = I/i, 1 = ii, 2 = III, 3 = IV/iv, 4 = V/v, 5 = VI, 6 = VII.
    return {
        {"TITEL.wav",
         92,
         62,
         true,
         0xA11CEu,
         0.0,
         0,
         Voice::Bell,
         {{4, {0, 5, 2, 6}, true, false, true, false, false, 0},
          {8, {0, 5, 2, 6}, true, true, true, true, true, 0},
          {4, {3, 5, 6, 4}, true, true, false, true, true, 1},
          {4, {0, 5, 2, 6}, true, true, true, true, true, 0}}},
        {"Lichtspiel.wav",
         118,
         72,
         false,
         0xBEEF5u,
         0.0,
         1,
         Voice::Lead,
         {{4, {0, 4, 5, 3}, true, true, true, false, false, 0},
          {8, {0, 4, 5, 3}, true, true, true, true, true, 0},
          {4, {5, 3, 0, 4}, true, true, false, true, true, 1},
          {8, {0, 4, 5, 3}, true, true, true, true, true, 0}}},
        {"Spiegelsaal.wav",
         100,
         69,
         true,
         0x5EEDu,
         0.25,
         2,
         Voice::Lead,
         {{4, {0, 3, 4, 0}, true, true, false, true, false, 0},
          {8, {0, 3, 6, 2}, true, true, true, true, true, 0},
          {4, {5, 6, 0, 4}, true, false, true, false, true, 1},
          {4, {0, 3, 6, 2}, true, true, true, true, true, 0}}},
        {"Sandsturm.wav",
         126,
         64,
         true,
         0xD0E5u,
         0.0,
         1,
         Voice::Bell,
         {{2, {0, 6}, true, true, true, false, false, 0},
          {8, {0, 6, 5, 6}, true, true, true, true, true, 0},
          {8, {3, 4, 0, 0}, true, true, false, true, true, 1},
          {8, {0, 6, 5, 6}, true, true, true, true, true, 0}}},
    };
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_music OUTPUT_FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    for (const auto& song : songs()) {
        const std::string path = folder + "/" + song.file;
        if (!writeWav(path, render(song))) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
