// The sounds, songs and skins the build generates into the program folder: the names the
// game asks for, formats it can play and cut, lengths, headroom and seamless loops.
#include "app/bitmap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const fs::path Program = LUMOR_PROGRAM_DIR;

struct Wave {
    bool ok = false;
    int rate = 0, channels = 0, bits = 0;
    std::vector<int16_t> samples;
    double seconds() const { return rate ? static_cast<double>(samples.size()) / rate : 0.0; }
    int peak() const {
        int p = 0;
        for (int16_t s : samples) p = std::max(p, std::abs(static_cast<int>(s)));
        return p;
    }
};

uint32_t le(const std::string& b, size_t at, int bytes) {
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(b[at + static_cast<size_t>(i)]);
    return v;
}

// A RIFF wave with a PCM "fmt " chunk and a "data" chunk.
Wave readWave(const fs::path& path) {
    Wave w;
    std::ifstream in(path, std::ios::binary);
    const std::string b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (b.size() < 12 || b.compare(0, 4, "RIFF") != 0 || b.compare(8, 4, "WAVE") != 0) return w;
    size_t at = 12;
    bool fmt = false;
    while (at + 8 <= b.size()) {
        const std::string id = b.substr(at, 4);
        const uint32_t size = le(b, at + 4, 4);
        if (at + 8 + size > b.size()) return w;
        if (id == "fmt " && size >= 16) {
            fmt = le(b, at + 8, 2) == 1;  // PCM
            w.channels = static_cast<int>(le(b, at + 10, 2));
            w.rate = static_cast<int>(le(b, at + 12, 4));
            w.bits = static_cast<int>(le(b, at + 22, 2));
        } else if (id == "data" && fmt && w.bits == 16) {
            for (size_t i = 0; i + 1 < size; i += 2)
                w.samples.push_back(static_cast<int16_t>(le(b, at + 8 + i, 2)));
            w.ok = true;
        }
        at += 8 + size + (size & 1);
    }
    return w;
}

bool assembled() { return fs::exists(Program / "Sound") && fs::exists(Program / "Musik") && fs::exists(Program / "Skins"); }

}  // namespace

TEST(ShippedMedia, SevenShortDistinctSoundsWithHeadroom) {
    if (!assembled()) GTEST_SKIP() << "content not assembled in " << Program;
    std::vector<std::vector<int16_t>> seen;
    for (const char* name : {"start", "kreuz", "sand", "lenk", "teiler", "wand", "ziel"}) {
        const Wave w = readWave(Program / "Sound" / (std::string(name) + ".wav"));
        ASSERT_TRUE(w.ok) << name;
        EXPECT_EQ(w.channels, 1) << name;
        EXPECT_GE(w.rate, 22050) << name;
        EXPECT_GT(w.seconds(), 0.03) << name;
        EXPECT_LE(w.seconds(), 1.0) << name << ": a cell step lasts 384 ms, the next sound cuts it off";
        EXPECT_GT(w.peak(), 6000) << name << ": audible";
        EXPECT_LT(w.peak(), 32000) << name << ": not clipped";
        EXPECT_TRUE(std::find(seen.begin(), seen.end(), w.samples) == seen.end()) << name << ": distinct";
        seen.push_back(w.samples);
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
        const Wave w = readWave(entry.path());
        ASSERT_TRUE(w.ok) << name;
        (name.rfind("TITEL.", 0) == 0 ? titles : songs) += 1;
        EXPECT_GE(w.seconds(), 45.0) << name;
        EXPECT_LT(w.peak(), 32000) << name << ": not clipped";
        // The end runs into the start: no jump larger than the song's own largest steps.
        int largestStep = 0;
        for (size_t i = 1; i < w.samples.size(); ++i)
            largestStep = std::max(largestStep, std::abs(w.samples[i] - w.samples[i - 1]));
        EXPECT_LE(std::abs(w.samples.front() - w.samples.back()), largestStep / 4) << name;
    }
    EXPECT_EQ(titles, 1);
    EXPECT_GE(songs, 2);
    EXPECT_LT(bytes, 20u * 1024 * 1024) << "the content leaves room for the program in a folder under 30 MB";
}

TEST(ShippedMedia, TwoMoreSkinsInTheSkinLayout) {
    if (!assembled()) GTEST_SKIP() << "content not assembled in " << Program;
    std::vector<lumor::RgbImage> skins;
    for (const char* name : {"Neon.bmp", "Holz.bmp"}) {
        const auto image = lumor::readBmp((Program / "Skins" / name).string());
        ASSERT_TRUE(image.has_value()) << name;
        EXPECT_EQ(image->width, 627) << name;
        EXPECT_EQ(image->height, 33) << name;
        skins.push_back(*image);
    }
    // Clearly different looks: most pixels of the tiles differ between the two skins.
    int differ = 0, total = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 627; ++x, ++total) {
            const auto a = skins[0].pixel(x, y), b = skins[1].pixel(x, y);
            differ += a != b;
        }
    EXPECT_GT(differ, total * 9 / 10);
}
