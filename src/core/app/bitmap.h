// A plain RGB picture and the Windows bitmap file format, without Qt, so that the start-up
// code and the data generators can write skins.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace lumor {

constexpr uint32_t rgb(int r, int g, int b) {
    return (static_cast<uint32_t>(r & 255) << 16) | (static_cast<uint32_t>(g & 255) << 8) |
           static_cast<uint32_t>(b & 255);
}
constexpr int redOf(uint32_t c) { return static_cast<int>((c >> 16) & 255); }
constexpr int greenOf(uint32_t c) { return static_cast<int>((c >> 8) & 255); }
constexpr int blueOf(uint32_t c) { return static_cast<int>(c & 255); }

struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;  // 0xRRGGBB, row by row from the top

    RgbImage() = default;
    RgbImage(int w, int h, uint32_t fill = 0)
        : width(w), height(h), pixels(static_cast<size_t>(w) * static_cast<size_t>(h), fill) {}

    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
    // Outside the picture: black when read, ignored when written.
    uint32_t pixel(int x, int y) const { return contains(x, y) ? pixels[index(x, y)] : 0; }
    void setPixel(int x, int y, uint32_t c) {
        if (contains(x, y)) pixels[index(x, y)] = c;
    }
    // Copies `src` with its top-left corner at (x, y), clipped.
    void draw(const RgbImage& src, int x, int y);
    // The w x h part with its top-left corner at (x, y); outside parts black.
    RgbImage copy(int x, int y, int w, int h) const;

    bool operator==(const RgbImage&) const = default;

private:
    size_t index(int x, int y) const {
        return static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x);
    }
};

// No bitmap file larger is read, and no picture of more pixels decoded (a skin needs
// 626 x 32; 4 Mi pixels leave room for large ones and keep memory in bounds).
inline constexpr uint64_t MaxBitmapFileBytes = 16 * 1024 * 1024;
inline constexpr int64_t MaxBitmapPixels = 4 * 1024 * 1024;

// A 24-bit uncompressed bitmap file image.
std::string encodeBmp(const RgbImage& image);
// Reads uncompressed bitmaps of 1, 4, 8, 16, 24 and 32 bits per pixel (bit fields
// included), bottom-up or top-down. nullopt for anything else, truncated or damaged data,
// or pictures beyond 16384 pixels on a side or MaxBitmapPixels in all.
std::optional<RgbImage> decodeBmp(const std::string& bytes);

// Saves with saveFileAtomically, so a failed write leaves an older file as it was and
// nothing but a regular file is replaced; the program writes bitmaps only on its own (the
// default skin), so a link under the name is refused. False on any failure.
bool writeBmp(const std::string& path, const RgbImage& image);
// A regular file of at most MaxBitmapFileBytes, decoded.
std::optional<RgbImage> readBmp(const std::string& path);

}  // namespace lumor
