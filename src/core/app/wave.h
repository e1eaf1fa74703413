// The wave check: what a sound or song file must be before the audio library sees it.
// A file passes only in a plain form the library handles safely (integer PCM of 8, 16, 24
// or 32 bits or 32-bit floats, 1 to 8 channels, a sane rate, whole sample blocks); the
// library is then given a fresh header of ours in front of the checked sample data, never
// the file's own chunks.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lumor {

inline constexpr uint32_t WaveMinRate = 1000;
inline constexpr uint32_t WaveMaxRate = 384000;
inline constexpr int WaveMaxChannels = 8;
// The chunks in front of the samples must lie within this many bytes of the file's start.
inline constexpr size_t WaveHeadLimit = 64 * 1024;

struct WaveFormat {
    uint16_t encoding = 1;  // 1 integer PCM, 3 floating point
    uint16_t channels = 0;
    uint32_t rate = 0;
    uint16_t bits = 0;
    uint16_t blockAlign = 0;  // bytes per sample block: channels * bits / 8
    uint64_t dataOffset = 0;  // where the samples start in the file
    uint64_t dataSize = 0;    // whole blocks only, at least one

    uint64_t frames() const { return blockAlign ? dataSize / blockAlign : 0; }
    bool operator==(const WaveFormat&) const = default;
};

// Whether the bytes start like a wave file ("RIFF", size, "WAVE").
bool looksLikeWave(std::string_view head);

// Checks a wave file from its first bytes (`head`, at least up to the samples' start) and
// its full size. nullopt for anything unplayable: no or a damaged format or data chunk,
// other encodings, 0 or more than 8 channels, a rate outside 1000..384000 Hz, a block
// alignment that does not match channels and bits, data that would end beyond the file or
// holds no whole block.
std::optional<WaveFormat> checkWave(std::string_view head, uint64_t fileSize);

// The 44-byte header of a plain wave file holding exactly the format's samples.
std::string waveHeader(const WaveFormat& format);

}  // namespace lumor
