// The sounds, songs and skins the build generates into the program folder: the names the
// game asks for, formats it can play and cut, lengths, headroom and seamless loops.
#include "app/bitmap.h"
#include "app/wave.h"
#include "support/scratch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// The samples of a wave that the game's wave check lets through as 16-bit PCM mono at
// 22050 Hz or more, with their peak and largest step; no samples for anything else.
struct Wave {
    std::vector<int16_t> samples;
    int rate = 0, peak = 0, largestStep = 0;
};

Wave monoSamples(const fs::path& path) {
    const std::string b = lumortest::readFile(path);
    const std::optional<lumor::WaveFormat> w = lumor::checkWave(b, b.size());
    Wave r;
    if (!w || w->encoding != 1 || w->channels != 1 || w->bits != 16 || w->rate < 22050) return r;
    r.rate = static_cast<int>(w->rate);
    for (uint64_t i = w->dataOffset; i + 1 < w->dataOffset + w->dataSize; i += 2) {
        r.samples.push_back(static_cast<int16_t>(static_cast<unsigned char>(b[i]) |
                                                 (static_cast<unsigned char>(b[i + 1]) << 8)));
        r.peak = std::max(r.peak, std::abs(static_cast<int>(r.samples.back())));
        if (r.samples.size() > 1)
            r.largestStep =
                std::max(r.largestStep, std::abs(r.samples.back() - r.samples.end()[-2]));
    }
    return r;
}

}  // namespace

TEST(ShippedMedia, SoundsSongsAndSkinsFitTheGame) {
    const fs::path program = LUMOR_PROGRAM_DIR;
    if (!fs::exists(program / "Sound") || !fs::exists(program / "Musik") ||
        !fs::exists(program / "Skins"))
        GTEST_SKIP() << "content not assembled in " << program;

    // Seven short, distinct sounds with headroom.
    std::vector<std::vector<int16_t>> seen;
    for (const char* name : {"start", "kreuz", "sand", "lenk", "teiler", "wand", "ziel"}) {
        const Wave w = monoSamples(program / "Sound" / (std::string(name) + ".wav"));
        ASSERT_FALSE(w.samples.empty()) << name << ": 16-bit PCM mono";
        EXPECT_GT(w.samples.size(), w.rate * 0.03) << name;
        EXPECT_LE(w.samples.size(), w.rate * 1.0)
            << name << ": a cell step lasts 384 ms, the next sound cuts it off";
        EXPECT_TRUE(w.peak > 6000 && w.peak < 32000) << name << ": audible, not clipped";
        EXPECT_TRUE(std::find(seen.begin(), seen.end(), w.samples) == seen.end()) << name;
        seen.push_back(w.samples);
    }

    // A title song and at least two game songs, long, unclipped, looping seamlessly: the
    // end runs into the start with no jump larger than the song's own largest steps.
    int titles = 0, songs = 0;
    for (const auto& entry : fs::directory_iterator(program / "Musik")) {
        const std::string name = entry.path().filename().string();
        const Wave w = monoSamples(entry.path());
        ASSERT_FALSE(w.samples.empty()) << name;
        (name.rfind("TITEL.", 0) == 0 ? titles : songs) += 1;
        EXPECT_GE(w.samples.size(), w.rate * 45.0) << name;
        EXPECT_LT(w.peak, 32000) << name << ": not clipped";
        EXPECT_LE(std::abs(w.samples.front() - w.samples.back()), w.largestStep / 4) << name;
    }
    EXPECT_TRUE(titles == 1 && songs >= 2);

    // Two more skins in the skin layout whose tiles mostly differ.
    const auto neon = lumor::readBmp((program / "Skins" / "Neon.bmp").string());
    const auto holz = lumor::readBmp((program / "Skins" / "Holz.bmp").string());
    ASSERT_TRUE(neon && holz);
    for (const auto* skin : {&*neon, &*holz}) EXPECT_TRUE(skin->width == 627 && skin->height == 33);
    int differ = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 627; ++x) differ += neon->pixel(x, y) != holz->pixel(x, y);
    EXPECT_GT(differ, 32 * 627 * 9 / 10);

    // What the build generates leaves room for the program in a folder under 30 MB (the
    // executable, with debug information in this build, is not counted).
    uintmax_t bytes = 0;
    for (const char* folder : {"Sound", "Musik", "Skins"})
        for (const auto& entry : fs::recursive_directory_iterator(program / folder))
            if (entry.is_regular_file()) bytes += entry.file_size();
    for (const auto& entry : fs::directory_iterator(program))
        if (entry.path().extension() == ".llp") bytes += entry.file_size();
    EXPECT_LT(bytes, 20u * 1024 * 1024);
}
