#include "app/bitmap.h"
#include "app/defaultskin.h"
#include "app/skinfile.h"

#include "support/hostile.h"
#include "support/scratch.h"

#include <gtest/gtest.h>

#include <set>

using namespace lumor;
using lumortest::Hostile;

namespace {

RgbImage pattern(int w, int h) {
    RgbImage img(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) img.setPixel(x, y, rgb(x * 37, y * 11, (x ^ y) * 5));
    return img;
}

void put32(std::string& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<char>(v >> (8 * i));
}

// A 40-byte-header file: w x h (negative: top-down), `bits`, `compression`, then `rest`.
std::string bmp(int w, int h, int bits, uint32_t compression, const std::string& rest) {
    std::string b = encodeBmp(RgbImage(1, 1)).substr(0, 54);
    put32(b, 10, static_cast<uint32_t>(54 + (bits <= 8 ? 4 << bits : compression ? 12 : 0)));
    put32(b, 18, static_cast<uint32_t>(w));
    put32(b, 22, static_cast<uint32_t>(h));
    b[28] = static_cast<char>(bits);
    put32(b, 30, compression);
    put32(b, 46, 0);
    return b + rest;
}

}  // namespace

using BitmapFile = lumortest::ScratchFolderTest;

TEST_F(BitmapFile, RoundTripsEveryRowPaddingThroughAFile) {
    for (int w : {1, 2, 3, 4, 5, 33}) {
        const RgbImage img = pattern(w, 7);
        const std::string path = (dir / "a.bmp").string();
        ASSERT_TRUE(writeBmp(path, img));
        EXPECT_EQ(readBmp(path), img) << w;
    }
}

TEST(Bitmap, ReadsPalettedAndBitFieldPicturesAndRefusesDamagedOrHugeOnes) {
    // 2 x 2, 8 bits, palette red and blue, stored top-down; rows padded to 4 bytes.
    const std::string palette = std::string("\0\0\xFF\0\xFF\0\0\0", 8) + std::string(1016, '\0');
    const auto img = decodeBmp(bmp(2, -2, 8, 0, palette + std::string("\0\1\0\0\1\1\0\0", 8)));
    ASSERT_TRUE(img);
    EXPECT_EQ(img->pixels, (std::vector<uint32_t>{rgb(255, 0, 0), rgb(0, 0, 255), rgb(0, 0, 255),
                                                  rgb(0, 0, 255)}));
    // 1 x 1, 16 bits 5-6-5 through bit fields: pure green.
    const std::string masks("\0\xF8\0\0\xE0\x07\0\0\x1F\0\0\0", 12);
    const auto green = decodeBmp(bmp(1, 1, 16, 3, masks + std::string("\xE0\x07\0\0", 4)));
    ASSERT_TRUE(green);
    EXPECT_EQ(green->pixel(0, 0), rgb(0, 255, 0));

    // Damaged or oversized data is refused, not read.
    const std::string good = encodeBmp(pattern(9, 9));
    std::string wide = good, rle = good;
    put32(wide, 18, 0x7FFFFFFF);
    rle[30] = 1;
    for (const std::string& bad :
         {std::string(), std::string("BM"), good.substr(0, good.size() - 1), wide, rle})
        EXPECT_FALSE(decodeBmp(bad));
    // One bit a pixel makes many pixels of few bytes: 2049 x 2048 is past the limit.
    EXPECT_FALSE(decodeBmp(bmp(2049, 2048, 1, 0, std::string(8 + 260 * 2048, '\0'))));
    EXPECT_TRUE(decodeBmp(bmp(2048, 2048, 1, 0, std::string(8 + 256 * 2048, '\0'))));
}

using Skins = lumortest::ScratchFolderTest;

TEST_F(Skins, TheListOffersExactlyTheSkinsThatLoadCompletely) {
    const RgbImage skin = pattern(SkinMinWidth, SkinMinHeight);
    const std::string good = encodeBmp(skin);
    std::string huge = good;  // claims 16384 x 16384
    put32(huge, 18, 16384);
    put32(huge, 22, 16384);
    const RgbImage plain(SkinMinWidth, SkinMinHeight, rgb(9, 99, 199));
    std::string upside = encodeBmp(plain);  // rows alike, so only the height's sign differs
    put32(upside, 22, static_cast<uint32_t>(-SkinMinHeight));
    const std::pair<const char*, std::string> files[] = {
        {"Gut.bmp", good},
        {"Kopfstehend.BMP", upside},
        {"Abgeschnitten.bmp", good.substr(0, good.size() - 1)},
        {"NurKopf.bmp", good.substr(0, 54)},
        {"Riesig.bmp", huge},
        {"Schmal.bmp", encodeBmp(pattern(SkinMinWidth - 1, 40))},
        {"liesmich.txt", "kein Bild"},
        {".Gut.bmp.lumor-Xy12z9", good},  // a save's temporary file
    };
    for (const auto& [name, bytes] : files) lumortest::writeFile(dir / name, bytes);
    for (Hostile h : lumortest::AllHostile)
        ASSERT_TRUE(makeHostile(h, (dir / (std::to_string(int(h)) + ".bmp")).string()));

    EXPECT_EQ(listSkins(dir.string()), (std::vector<std::string>{"Gut.bmp", "Kopfstehend.BMP"}));
    EXPECT_EQ(readSkin((dir / "Kopfstehend.BMP").string()), plain);
}

TEST(DefaultSkin, SquaresHoldTheBuiltInPicturesOnDarkBlue) {
    const RgbImage skin = composeDefaultSkin();
    ASSERT_TRUE(skin.width == 627 && skin.height == 33);
    for (int k = 0; k < 19; ++k) {
        const RgbImage expected = k < 15 ? builtInTile(tileOfSquare(k)) : builtInSand(k - 15);
        EXPECT_EQ(skin.copy(33 * k, 0, 32, 32), expected) << "square " << k;
        // The gap beside it and the row under it.
        EXPECT_EQ(skin.copy(33 * k + 32, 0, 1, 33), RgbImage(1, 33, SkinBackground));
        EXPECT_EQ(skin.copy(33 * k, 32, 32, 1), RgbImage(32, 1, SkinBackground));
    }
    EXPECT_TRUE(tileOfSquare(1) == 4 && tileOfSquare(2) == 6 && tileOfSquare(14) == 20);

    // Which way a picture faces matters where a beam meets it. Deflectors: red in the
    // corner of the closed sides, black in the opposite corner.
    auto isBlack = [](const RgbImage& t, int x, int y) { return t.pixel(x, y) == 0; };
    const RgbImage source = builtInTile(4);  // its neck reaches the top edge in the middle
    EXPECT_TRUE(!isBlack(source, 16, 0) && isBlack(source, 0, 0) && isBlack(source, 31, 0));
    const std::pair<int, int> corners[] = {{0, 0}, {31, 0}, {31, 31}, {0, 31}};
    for (int code = 11; code <= 14; ++code) {
        const auto [cx, cy] = corners[code - 11];
        const auto [ox, oy] = corners[(code - 11 + 2) % 4];
        const RgbImage d = builtInTile(code);
        EXPECT_TRUE(redOf(d.pixel(cx, cy)) > 200 && isBlack(d, ox, oy)) << code;
    }
    // Every picture its own; sand grows darker as it is used up.
    std::set<std::vector<uint32_t>> tiles;
    for (int k = 0; k < 15; ++k) tiles.insert(builtInTile(tileOfSquare(k)).pixels);
    EXPECT_EQ(tiles.size(), 15u);
    auto green = [](const RgbImage& t) {
        long sum = 0;
        for (uint32_t p : t.pixels) sum += greenOf(p);
        return sum;
    };
    for (int i = 0; i < 3; ++i) EXPECT_GT(green(builtInSand(i)), green(builtInSand(i + 1))) << i;
}
