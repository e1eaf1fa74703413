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

const fs::path Program = LUMOR_PROGRAM_DIR;

// The samples of a wave that the game's wave check lets through as 16-bit PCM mono at
// 22050 Hz or more; empty for anything else.
std::vector<int16_t> monoSamples(const fs::path& path, int* rate = nullptr) {
    const std::string b = lumortest::readFile(path);
    const std::optional<lumor::WaveFormat> w = lumor::checkWave(b, b.size());
    std::vector<int16_t> samples;
    if (!w || w->encoding != 1 || w->channels != 1 || w->bits != 16 || w->rate < 22050)
        return samples;
    if (rate) *rate = static_cast<int>(w->rate);
    for (uint64_t i = w->dataOffset; i + 1 < w->dataOffset + w->dataSize; i += 2)
        samples.push_back(static_cast<int16_t>(static_cast<unsigned char>(b[i]) |
                                               (static_cast<unsigned char>(b[i + 1]) << 8)));
    return samples;
}

int peak(const std::vector<int16_t>& samples) {
    int p = 0;
    for (int16_t s : samples) p = std::max(p, std::abs(static_cast<int>(s)));
    return p;
}

bool assembled() {
    return fs::exists(Program / "Sound") && fs::exists(Program / "Musik") &&
           fs::exists(Program / "Skins");
}

}  // namespace

TEST(ShippedMedia, SevenShortDistinctSoundsWithHeadroom) {
    if (!assembled()) GTEST_SKIP() << "content not assembled in " << Program;
    std::vector<std::vector<int16_t>> seen;
    for (const char* name : {"start", "kreuz", "sand", "lenk", "teiler", "wand", "ziel"}) {
        int rate = 0;
        const std::vector<int16_t> w =
            monoSamples(Program / "Sound" / (std::string(name) + ".wav"), &rate);
        ASSERT_FALSE(w.empty()) << name << ": 16-bit PCM mono";
        EXPECT_GT(w.size(), rate * 0.03) << name;
        EXPECT_LE(w.size(), rate * 1.0)
            << name << ": a cell step lasts 384 ms, the next sound cuts it off";
        EXPECT_GT(peak(w), 6000) << name << ": audible";
        EXPECT_LT(peak(w), 32000) << name << ": not clipped";
        EXPECT_TRUE(std::find(seen.begin(), seen.end(), w) == seen.end()) << name << ": distinct";
        seen.push_back(w);
    }
}

TEST(ShippedMedia, ATitleSongAndTwoGameSongsThatLoopSeamlessly) {
    if (!assembled()) GTEST_SKIP() << "content not assembled in " << Program;
    int titles = 0, songs = 0;
    uintmax_t bytes = 0;
    // What the build generates; the executable (with debug information in this build) is not counted.
    for (const char* folder : {"Sound", "Musik", "Skins"})
        for (const auto& entry : fs::recursive_directory_iterator(Program / folder))
            if (entry.is_regular_file()) bytes += entry.file_size();
    for (const auto& entry : fs::directory_iterator(Program))
        if (entry.path().extension() == ".llp") bytes += entry.file_size();
    for (const auto& entry : fs::directory_iterator(Program / "Musik")) {
        const std::string name = entry.path().filename().string();
        int rate = 0;
        const std::vector<int16_t> w = monoSamples(entry.path(), &rate);
        ASSERT_FALSE(w.empty()) << name;
        (name.rfind("TITEL.", 0) == 0 ? titles : songs) += 1;
        EXPECT_GE(w.size(), rate * 45.0) << name;
        EXPECT_LT(peak(w), 32000) << name << ": not clipped";
        // The end runs into the start: no jump larger than the song's own largest steps.
        int largestStep = 0;
        for (size_t i = 1; i < w.size(); ++i)
            largestStep = std::max(largestStep, std::abs(w[i] - w[i - 1]));
        EXPECT_LE(std::abs(w.front() - w.back()), largestStep / 4) << name;
    }
    EXPECT_EQ(titles, 1);
    EXPECT_GE(songs, 2);
    EXPECT_LT(bytes, 20u * 1024 * 1024)
        << "the content leaves room for the program in a folder under 30 MB";
}

TEST(ShippedMedia, TwoMoreSkinsInTheSkinLayoutWithClearlyDifferentLooks) {
    if (!assembled()) GTEST_SKIP() << "content not assembled in " << Program;
    const auto neon = lumor::readBmp((Program / "Skins" / "Neon.bmp").string());
    const auto holz = lumor::readBmp((Program / "Skins" / "Holz.bmp").string());
    ASSERT_TRUE(neon && holz);
    for (const auto* skin : {&*neon, &*holz}) EXPECT_TRUE(skin->width == 627 && skin->height == 33);
    int differ = 0;  // most pixels of the tiles differ between the two skins
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 627; ++x) differ += neon->pixel(x, y) != holz->pixel(x, y);
    EXPECT_GT(differ, 32 * 627 * 9 / 10);
}
