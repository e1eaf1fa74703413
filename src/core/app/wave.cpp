#include "app/wave.h"

#include "app/littleendian.h"

namespace lumor {

namespace {

constexpr uint16_t PcmCode = 1;
constexpr uint16_t FloatCode = 3;
constexpr uint16_t ExtensibleCode = 0xFFFE;
// The sub-format GUID of the extensible form, less its first two bytes (the code).
constexpr std::string_view SubFormatTail("\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71",
                                         14);

using le::get16;
using le::get32;
using le::put16;
using le::put32;

bool parseFormat(std::string_view fmt, WaveFormat& out) {
    if (fmt.size() < 16) return false;
    uint16_t code = static_cast<uint16_t>(get16(fmt, 0));
    out.channels = static_cast<uint16_t>(get16(fmt, 2));
    out.rate = get32(fmt, 4);
    out.blockAlign = static_cast<uint16_t>(get16(fmt, 12));
    out.bits = static_cast<uint16_t>(get16(fmt, 14));
    if (code == ExtensibleCode) {
        if (fmt.size() < 40 || get16(fmt, 16) < 22) return false;
        if (fmt.substr(26, 14) != SubFormatTail) return false;
        code = static_cast<uint16_t>(get16(fmt, 24));
    }
    if (code == PcmCode) {
        if (out.bits != 8 && out.bits != 16 && out.bits != 24 && out.bits != 32) return false;
    } else if (code == FloatCode) {
        if (out.bits != 32) return false;
    } else {
        return false;
    }
    out.encoding = code;
    if (out.channels < 1 || out.channels > WaveMaxChannels) return false;
    if (out.rate < WaveMinRate || out.rate > WaveMaxRate) return false;
    return out.blockAlign == out.channels * (out.bits / 8);
}

}  // namespace

bool looksLikeWave(std::string_view head) {
    return head.size() >= 12 && head.substr(0, 4) == "RIFF" && head.substr(8, 4) == "WAVE";
}

std::optional<WaveFormat> checkWave(std::string_view head, uint64_t fileSize) {
    if (!looksLikeWave(head) || fileSize < head.size()) return std::nullopt;
    WaveFormat format;
    bool haveFormat = false;
    uint64_t at = 12;
    // Chunk by chunk, each padded to an even length, up to the samples.
    while (at + 8 <= head.size()) {
        const std::string_view id = head.substr(static_cast<size_t>(at), 4);
        const uint64_t size = get32(head, static_cast<size_t>(at) + 4);
        const uint64_t body = at + 8;
        if (id == "fmt ") {
            if (haveFormat || size > 256 || body + size > head.size()) return std::nullopt;
            if (!parseFormat(head.substr(static_cast<size_t>(body), static_cast<size_t>(size)),
                             format))
                return std::nullopt;
            haveFormat = true;
        } else if (id == "data") {
            if (!haveFormat || body + size > fileSize) return std::nullopt;
            // The header we write in front of the samples must be able to state their size.
            if (size > 0xFFFFFFFFu - 36) return std::nullopt;
            format.dataOffset = body;
            format.dataSize = size - size % format.blockAlign;
            if (format.dataSize == 0) return std::nullopt;
            return format;
        }
        at = body + size + (size & 1);
    }
    return std::nullopt;
}

std::string waveHeader(const WaveFormat& f) {
    std::string h;
    h.reserve(44);
    h += "RIFF";
    put32(h, static_cast<uint32_t>(36 + f.dataSize));
    h += "WAVEfmt ";
    put32(h, 16);
    put16(h, f.encoding);
    put16(h, f.channels);
    put32(h, f.rate);
    put32(h, f.rate * f.blockAlign);
    put16(h, f.blockAlign);
    put16(h, f.bits);
    h += "data";
    put32(h, static_cast<uint32_t>(f.dataSize));
    return h;
}

}  // namespace lumor
