#include "app/bitmap.h"

#include "app/files.h"
#include "app/littleendian.h"

namespace lumor {

void RgbImage::draw(const RgbImage& src, int x, int y) {
    for (int sy = 0; sy < src.height; ++sy)
        for (int sx = 0; sx < src.width; ++sx) setPixel(x + sx, y + sy, src.pixel(sx, sy));
}

RgbImage RgbImage::copy(int x, int y, int w, int h) const {
    RgbImage out(w, h);
    for (int yy = 0; yy < h; ++yy)
        for (int xx = 0; xx < w; ++xx) out.setPixel(xx, yy, pixel(x + xx, y + yy));
    return out;
}

namespace {

using le::get16;
using le::get32;
using le::put16;
using le::put32;

// Scales the bits of `value` selected by `mask` to 0..255.
int maskedChannel(uint32_t value, uint32_t mask) {
    if (mask == 0) return 0;
    int shift = 0;
    while (!((mask >> shift) & 1)) ++shift;
    const uint32_t max = mask >> shift;
    const uint32_t v = (value & mask) >> shift;
    return static_cast<int>((static_cast<uint64_t>(v) * 255 + max / 2) / max);
}

constexpr int MaxSide = 16384;

}  // namespace

std::string encodeBmp(const RgbImage& image) {
    const uint32_t rowBytes = (static_cast<uint32_t>(image.width) * 3 + 3) & ~3u;
    const uint32_t dataSize = rowBytes * static_cast<uint32_t>(image.height);
    std::string s;
    s.reserve(54 + dataSize);
    s += "BM";
    put32(s, 54 + dataSize);
    put32(s, 0);
    put32(s, 54);
    put32(s, 40);
    put32(s, static_cast<uint32_t>(image.width));
    put32(s, static_cast<uint32_t>(image.height));  // positive: rows stored bottom-up
    put16(s, 1);
    put16(s, 24);
    put32(s, 0);  // BI_RGB
    put32(s, dataSize);
    put32(s, 2835);  // 72 dpi
    put32(s, 2835);
    put32(s, 0);
    put32(s, 0);
    for (int y = image.height - 1; y >= 0; --y) {
        for (int x = 0; x < image.width; ++x) {
            const uint32_t c = image.pixel(x, y);
            s.push_back(static_cast<char>(blueOf(c)));
            s.push_back(static_cast<char>(greenOf(c)));
            s.push_back(static_cast<char>(redOf(c)));
        }
        s.append(rowBytes - static_cast<uint32_t>(image.width) * 3, '\0');
    }
    return s;
}

std::optional<RgbImage> decodeBmp(const std::string& b) {
    if (b.size() < 26 || b[0] != 'B' || b[1] != 'M') return std::nullopt;
    const uint32_t dataOffset = get32(b, 10);
    const uint32_t headerSize = get32(b, 14);
    if (headerSize < 12 || 14 + static_cast<uint64_t>(headerSize) > b.size()) return std::nullopt;

    int64_t width = 0, height = 0;
    uint32_t bits = 0, compression = 0, paletteCount = 0;
    size_t paletteEntry = 4;
    if (headerSize == 12) {  // OS/2 core header
        width = get16(b, 18);
        height = static_cast<int16_t>(get16(b, 20));
        bits = get16(b, 24);
        paletteEntry = 3;
    } else {
        if (headerSize < 40) return std::nullopt;
        width = static_cast<int32_t>(get32(b, 18));
        height = static_cast<int32_t>(get32(b, 22));
        bits = get16(b, 28);
        compression = get32(b, 30);
        paletteCount = get32(b, 46);
    }
    const bool topDown = height < 0;
    if (topDown) height = -height;
    if (width <= 0 || height <= 0 || width > MaxSide || height > MaxSide ||
        width * height > MaxBitmapPixels)
        return std::nullopt;

    uint32_t masks[3] = {0, 0, 0};
    if (compression == 3 && (bits == 16 || bits == 32)) {  // BI_BITFIELDS
        // The masks follow a 40-byte header, or sit inside a larger one at the same place.
        if (14 + 40 + 12 > b.size()) return std::nullopt;
        for (int i = 0; i < 3; ++i) masks[i] = get32(b, 54 + 4 * i);
    } else if (compression != 0) {
        return std::nullopt;  // run-length and embedded formats are not skins
    } else if (bits == 16) {
        masks[0] = 0x7C00, masks[1] = 0x03E0, masks[2] = 0x001F;
    } else if (bits == 32) {
        masks[0] = 0xFF0000, masks[1] = 0x00FF00, masks[2] = 0x0000FF;
    }

    std::vector<uint32_t> palette;
    if (bits == 1 || bits == 4 || bits == 8) {
        const uint32_t maxColours = 1u << bits;
        uint32_t count = paletteCount == 0 || paletteCount > maxColours ? maxColours : paletteCount;
        const size_t at = 14 + static_cast<size_t>(headerSize);
        for (uint32_t i = 0; i < count; ++i) {
            const size_t p = at + i * paletteEntry;
            if (p + 3 > b.size()) break;
            palette.push_back(rgb(static_cast<unsigned char>(b[p + 2]),
                                  static_cast<unsigned char>(b[p + 1]),
                                  static_cast<unsigned char>(b[p])));
        }
        palette.resize(maxColours, 0);
    } else if (bits != 16 && bits != 24 && bits != 32) {
        return std::nullopt;
    }

    const uint64_t rowBytes = ((static_cast<uint64_t>(width) * bits + 31) / 32) * 4;
    if (dataOffset > b.size() || rowBytes * static_cast<uint64_t>(height) > b.size() - dataOffset)
        return std::nullopt;

    RgbImage img(static_cast<int>(width), static_cast<int>(height));
    for (int64_t row = 0; row < height; ++row) {
        const size_t rowAt = dataOffset + static_cast<size_t>(row * static_cast<int64_t>(rowBytes));
        const int y = static_cast<int>(topDown ? row : height - 1 - row);
        for (int x = 0; x < width; ++x) {
            uint32_t c = 0;
            switch (bits) {
                case 1:
                case 4:
                case 8: {
                    const size_t bit = static_cast<size_t>(x) * bits;
                    const unsigned byte = static_cast<unsigned char>(b[rowAt + bit / 8]);
                    const unsigned shift = 8 - bits - (bit % 8);
                    c = palette[(byte >> shift) & ((1u << bits) - 1)];
                    break;
                }
                case 16: {
                    const uint32_t v = get16(b, rowAt + static_cast<size_t>(x) * 2);
                    c = rgb(maskedChannel(v, masks[0]), maskedChannel(v, masks[1]),
                            maskedChannel(v, masks[2]));
                    break;
                }
                case 24: {
                    const size_t p = rowAt + static_cast<size_t>(x) * 3;
                    c = rgb(static_cast<unsigned char>(b[p + 2]),
                            static_cast<unsigned char>(b[p + 1]), static_cast<unsigned char>(b[p]));
                    break;
                }
                case 32: {
                    const uint32_t v = get32(b, rowAt + static_cast<size_t>(x) * 4);
                    c = rgb(maskedChannel(v, masks[0]), maskedChannel(v, masks[1]),
                            maskedChannel(v, masks[2]));
                    break;
                }
            }
            img.setPixel(x, y, c);
        }
    }
    return img;
}

bool writeBmp(const std::string& path, const RgbImage& image) {
    if (image.width <= 0 || image.height <= 0) return false;
    return saveFileAtomically(path, encodeBmp(image), LinkPolicy::Refuse) == SaveStatus::Ok;
}

std::optional<RgbImage> readBmp(const std::string& path) {
    std::string bytes;
    if (readRegularFile(path, MaxBitmapFileBytes, bytes) != ReadStatus::Ok) return std::nullopt;
    return decodeBmp(bytes);
}

}  // namespace lumor
