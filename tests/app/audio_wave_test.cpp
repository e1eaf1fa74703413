// The wave check that stands between the sound and music files and the audio library.
#include "app/wave.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

using namespace lumor;

namespace {

std::string le(uint32_t v, int bytes) {
    std::string s;
    for (int i = 0; i < bytes; ++i) s.push_back(static_cast<char>(v >> (8 * i)));
    return s;
}

std::string chunk(const std::string& id, const std::string& body) {
    return id + le(static_cast<uint32_t>(body.size()), 4) + body +
           std::string(body.size() % 2, '\0');
}

// The body of the format chunk our own header holds.
std::string fmt(const WaveFormat& f = {1, 1, 22050, 16, 2}) { return waveHeader(f).substr(20, 16); }

std::string riff(const std::string& chunks) {
    return "RIFF" + le(static_cast<uint32_t>(4 + chunks.size()), 4) + "WAVE" + chunks;
}

const std::string Samples(400, '\x10');

}  // namespace

TEST(WaveCheck, PassesOnlyPlainSamplesInChunksThatAddUp) {
    const struct {
        WaveFormat f;  // encoding, channels, rate, bits, block alignment
        bool ok;
    } cases[] = {
        {{1, 0, 22050, 16, 0}, false},  // no channels: a division by zero in the library
        {{1, 8, 22050, 16, 16}, true},  {{1, 9, 22050, 16, 18}, false},
        {{1, 1, 999, 16, 2}, false},    {{1, 2, 384000, 16, 4}, true},
        {{1, 1, 384001, 16, 2}, false}, {{1, 1, 22050, 8, 1}, true},
        {{1, 2, 22050, 24, 6}, true},   {{1, 1, 22050, 12, 2}, false},
        {{1, 2, 22050, 16, 2}, false},  // block alignment not channels * bits / 8
        {{3, 1, 22050, 32, 4}, true},   {{3, 1, 22050, 64, 8}, false},
        {{2, 1, 22050, 4, 2}, false},  // compressed
    };
    for (const auto& c : cases) {
        const std::string file = riff(chunk("fmt ", fmt(c.f)) + chunk("data", Samples));
        EXPECT_EQ(checkWave(file, file.size()).has_value(), c.ok)
            << c.f.encoding << " " << c.f.channels << " " << c.f.rate << " " << c.f.bits;
    }
    // The extensible form of integer PCM passes; another sub-format does not.
    std::string file = riff(chunk("fmt ", fmt({0xFFFE, 1, 22050, 16, 2}) + le(22, 2) + le(16, 2) +
                                              le(4, 4) + le(1, 2) +
                                              std::string("\x00\x00\x00\x00\x10\x00\x80\x00\x00"
                                                          "\xAA\x00\x38\x9B\x71",
                                                          14)) +
                            chunk("data", Samples));
    const auto extensible = checkWave(file, file.size());
    ASSERT_TRUE(extensible);
    EXPECT_EQ(extensible->encoding, 1);
    file[20 + 24] = 2;
    EXPECT_FALSE(checkWave(file, file.size()));
    file[20 + 24] = 1;
    file[20 + 30] = 1;  // in the GUID's tail
    EXPECT_FALSE(checkWave(file, file.size()));

    // Chunks and data must add up.
    const std::string good = riff(chunk("LIST", "odd") + chunk("fmt ", fmt()) +
                                  chunk("data", Samples + "x") + chunk("smpl", "loops"));
    const auto w = checkWave(good, good.size());
    ASSERT_TRUE(w) << "an odd chunk is padded; chunks after the samples do not matter";
    EXPECT_EQ(w->dataOffset, 12u + 12u + 24u + 8u);
    EXPECT_EQ(w->dataSize, Samples.size()) << "whole blocks only";
    EXPECT_EQ(w->frames(), Samples.size() / 2);

    const std::string refused[] = {
        riff(chunk("data", Samples) + chunk("fmt ", fmt())),  // samples before their format
        riff(chunk("fmt ", fmt())),
        riff(chunk("fmt ", fmt()) + chunk("fmt ", fmt()) + chunk("data", Samples)),
        riff(chunk("fmt ", fmt()) + chunk("data", "x")),  // not one whole block
        riff(chunk("fmt ", fmt().substr(0, 14)) + chunk("data", Samples)),
        "RIFX" + good.substr(4),
        good.substr(0, 40),
    };
    for (const std::string& bad : refused) EXPECT_FALSE(checkWave(bad, bad.size())) << bad;
    // Data that would end beyond the file, and chunks beyond what was read of it.
    EXPECT_FALSE(checkWave(good.substr(0, good.size() - 20), good.size() - 20));
    EXPECT_FALSE(checkWave(good.substr(0, 30), good.size()));
    EXPECT_TRUE(checkWave(good.substr(0, 60), good.size())) << "the samples need not be read";
}
