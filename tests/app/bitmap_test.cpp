#include "app/bitmap.h"
#include "app/defaultskin.h"
#include "app/skinfile.h"

#include "support/hostile.h"
#include "support/tool_runner.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

using namespace lumor;

namespace {

RgbImage pattern(int w, int h) {
    RgbImage img(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) img.setPixel(x, y, rgb(x * 37, y * 11, (x ^ y) * 5));
    return img;
}

// The same picture stored top-down: a negative height and the rows in the other order.
std::string topDown(const RgbImage& img) {
    const std::string b = encodeBmp(img);
    const size_t row = (static_cast<size_t>(img.width) * 3 + 3) / 4 * 4;
    std::string out = b.substr(0, 54);
    const uint32_t h = static_cast<uint32_t>(-img.height);
    for (int i = 0; i < 4; ++i) out[22 + i] = static_cast<char>(h >> (8 * i));
    for (int y = img.height - 1; y >= 0; --y) out += b.substr(54 + row * y, row);
    return out;
}

}  // namespace

TEST(Bitmap, RoundTripsEveryRowPadding) {
    for (int w : {1, 2, 3, 4, 5, 33}) {
        const RgbImage img = pattern(w, 7);
        const std::string bytes = encodeBmp(img);
        EXPECT_EQ(bytes.size(), 54u + ((w * 3 + 3) / 4 * 4) * 7u);
        EXPECT_EQ(decodeBmp(bytes), img) << w;
    }
}

TEST(Bitmap, FileRoundTripAndFailures) {
    const auto dir = std::filesystem::temp_directory_path() / "lumor-bitmap-test";
    std::filesystem::create_directories(dir);
    const std::string path = (dir / "a.bmp").string();
    const RgbImage img = pattern(40, 20);
    ASSERT_TRUE(writeBmp(path, img));
    EXPECT_EQ(readBmp(path), img);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 1)
        << "no temporary file beside it";
    EXPECT_FALSE(writeBmp((dir / "missing" / "b.bmp").string(), img));
    EXPECT_FALSE(readBmp((dir / "missing.bmp").string()));
    EXPECT_FALSE(readBmp(dir.string()));
    std::filesystem::remove_all(dir);
}

TEST(Bitmap, ReadsPalettedTopDownAndBitFieldPictures) {
    // 2 x 2, 8 bits with a two-colour palette, stored top-down (negative height).
    std::string b = encodeBmp(RgbImage(1, 1));
    b.resize(54);
    auto set32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) b[at + i] = static_cast<char>(v >> (8 * i));
    };
    auto set16 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 2; ++i) b[at + i] = static_cast<char>(v >> (8 * i));
    };
    set32(10, 54 + 8);
    set32(18, 2);
    set32(22, static_cast<uint32_t>(-2));
    set16(28, 8);
    set32(46, 2);
    b += std::string(
        "\x00\x00\xFF\x00"
        "\xFF\x00\x00\x00",
        8);  // red, blue (B G R 0)
    b += std::string(
        "\x00\x01\x00\x00"
        "\x01\x01\x00\x00",
        8);
    const auto img = decodeBmp(b);
    ASSERT_TRUE(img);
    EXPECT_EQ(img->pixel(0, 0), rgb(255, 0, 0));
    EXPECT_EQ(img->pixel(1, 0), rgb(0, 0, 255));
    EXPECT_EQ(img->pixel(0, 1), rgb(0, 0, 255));

    // 1 x 1, 16 bits 5-6-5 through bit fields: pure green.
    std::string c = encodeBmp(RgbImage(1, 1));
    c.resize(54);
    b = c;
    set32(10, 66);
    set32(18, 1);
    set32(22, 1);
    set16(28, 16);
    set32(30, 3);
    b += std::string(
        "\x00\xF8\x00\x00"
        "\xE0\x07\x00\x00"
        "\x1F\x00\x00\x00",
        12);
    b += std::string("\xE0\x07\x00\x00", 4);
    const auto green = decodeBmp(b);
    ASSERT_TRUE(green);
    EXPECT_EQ(green->pixel(0, 0), rgb(0, 255, 0));
}

TEST(Bitmap, DamagedDataIsRefusedNotRead) {
    const std::string good = encodeBmp(pattern(9, 9));
    EXPECT_FALSE(decodeBmp(""));
    EXPECT_FALSE(decodeBmp("BM"));
    EXPECT_FALSE(decodeBmp(good.substr(0, good.size() - 1)));  // truncated pixels
    std::string huge = good;
    huge[18] = '\xFF', huge[19] = '\xFF', huge[20] = '\xFF', huge[21] = '\x7F';
    EXPECT_FALSE(decodeBmp(huge));
    std::string rle = good;
    rle[30] = 1;
    EXPECT_FALSE(decodeBmp(rle));
    // Every truncation and every single corrupted header byte is survived.
    for (size_t n = 0; n < 80; ++n) (void)decodeBmp(good.substr(0, n));
    for (size_t i = 0; i < 54; ++i)
        for (int v : {0, 1, 0x7F, 0x80, 0xFF}) {
            std::string bad = good;
            bad[i] = static_cast<char>(v);
            (void)decodeBmp(bad);
        }
}

using Skins = lumortest::ScratchFolderTest;

TEST_F(Skins, TheListOffersExactlyTheSkinsThatLoadCompletely) {
    const RgbImage skin = pattern(SkinMinWidth, SkinMinHeight);
    const std::string good = encodeBmp(skin);
    auto put = [&](const std::string& name, const std::string& bytes) {
        lumortest::writeFile(dir / name, bytes);
    };
    put("Gut.bmp", good);
    put("Kopfstehend.BMP", topDown(skin));
    put("Abgeschnitten.bmp", good.substr(0, good.size() - 1));
    put("NurKopf.bmp", good.substr(0, 54));
    std::string huge = good;  // claims 16384 x 16384
    huge[18] = huge[22] = 0, huge[19] = huge[23] = 0x40;
    put("Riesig.bmp", huge);
    put("Schmal.bmp", encodeBmp(pattern(SkinMinWidth - 1, 40)));
    put("liesmich.txt", "kein Bild");
    put(".Gut.bmp.lumor-Xy12z9", good);  // a save's temporary file
    ASSERT_TRUE(lumortest::makeHostile(lumortest::Hostile::Fifo, (dir / "Fifo.bmp").string()));
    ASSERT_TRUE(lumortest::makeHostile(lumortest::Hostile::Huge, (dir / "Tera.bmp").string()));
    ASSERT_TRUE(
        lumortest::makeHostile(lumortest::Hostile::EndlessDevice, (dir / "Null.bmp").string()));

    EXPECT_EQ(listSkins(dir.string()), (std::vector<std::string>{"Gut.bmp", "Kopfstehend.BMP"}));
    EXPECT_EQ(readSkin((dir / "Kopfstehend.BMP").string()), skin);
    EXPECT_FALSE(readSkin((dir / "Abgeschnitten.bmp").string()));
}

TEST(DefaultSkin, SquaresHoldTheBuiltInPicturesOnDarkBlue) {
    const RgbImage skin = composeDefaultSkin();
    ASSERT_EQ(skin.width, 627);
    ASSERT_EQ(skin.height, 33);
    for (int x = 0; x < 627; ++x)
        EXPECT_EQ(skin.pixel(x, 32), SkinBackground) << x;  // row under the squares
    for (int k = 0; k < 19; ++k) {
        const RgbImage expected = k < 15 ? builtInTile(tileOfSquare(k)) : builtInSand(k - 15);
        EXPECT_EQ(skin.copy(33 * k, 0, 32, 32), expected) << "square " << k;
        if (k < 18) {
            for (int y = 0; y < 33; ++y)
                EXPECT_EQ(skin.pixel(33 * k + 32, y), SkinBackground);  // the gap
        }
    }
    EXPECT_EQ(tileOfSquare(1), 4);
    EXPECT_EQ(tileOfSquare(2), 6);
    EXPECT_EQ(tileOfSquare(14), 20);
}

TEST(DefaultSkin, PicturesHaveTheirLook) {
    const uint32_t black = rgb(0, 0, 0);
    auto isBlack = [&](const RgbImage& t, int x, int y) { return t.pixel(x, y) == black; };
    EXPECT_EQ(builtInTile(0), RgbImage(32, 32));

    // The source's neck reaches the top edge in the middle; the corners stay black.
    const RgbImage source = builtInTile(4);
    EXPECT_FALSE(isBlack(source, 16, 0));
    EXPECT_TRUE(isBlack(source, 0, 0) && isBlack(source, 31, 0) && isBlack(source, 0, 31));

    // The cup is open at the top: brownish (red above blue) content inside its upper part.
    const RgbImage target = builtInTile(6);
    int brown = 0;
    for (int y = 0; y < 14; ++y)
        for (int x = 0; x < 32; ++x) {
            const uint32_t c = target.pixel(x, y);
            if (redOf(c) > greenOf(c) + 30 && greenOf(c) > blueOf(c)) ++brown;
        }
    EXPECT_GT(brown, 20);

    // Cross bars reach all four edges.
    const RgbImage cross = builtInTile(10);
    for (auto [x, y] : {std::pair{16, 0}, {16, 31}, {0, 16}, {31, 16}}) {
        EXPECT_GT(blueOf(cross.pixel(x, y)), redOf(cross.pixel(x, y))) << x << "," << y;
    }
    EXPECT_TRUE(isBlack(cross, 2, 2));

    // Deflectors: red in the corner of the closed sides, black in the opposite corner,
    // darker towards the long edge.
    const std::pair<int, int> corners[] = {{0, 0}, {31, 0}, {31, 31}, {0, 31}};
    for (int code = 11; code <= 14; ++code) {
        const RgbImage d = builtInTile(code);
        const auto [cx, cy] = corners[code - 11];
        const auto [ox, oy] = corners[(code - 11 + 2) % 4];
        EXPECT_GT(redOf(d.pixel(cx, cy)), 200) << code;
        EXPECT_TRUE(isBlack(d, ox, oy)) << code;
        const int mx = (cx + 16) / 2, my = (cy + 16) / 2;  // between the corner and the long edge
        EXPECT_GT(redOf(d.pixel(cx == 0 ? 2 : 29, cy == 0 ? 2 : 29)), redOf(d.pixel(mx, my)))
            << code;
        EXPECT_GT(redOf(d.pixel(mx, my)), greenOf(d.pixel(mx, my)) * 2) << code;
    }

    // Four different star fields, mostly black with some white.
    std::set<std::vector<uint32_t>> fields;
    for (int code = 17; code <= 20; ++code) {
        const RgbImage s = builtInTile(code);
        int lit = 0;
        for (uint32_t p : s.pixels) lit += p != black;
        EXPECT_GT(lit, 8);
        EXPECT_LT(lit, 120);
        fields.insert(s.pixels);
    }
    EXPECT_EQ(fields.size(), 4u);

    // Sand pictures grow darker and redder.
    auto mean = [](const RgbImage& t, int (*ch)(uint32_t)) {
        long sum = 0;
        for (uint32_t p : t.pixels) sum += ch(p);
        return sum / static_cast<long>(t.pixels.size());
    };
    for (int i = 0; i < 3; ++i) {
        const RgbImage a = builtInSand(i), b = builtInSand(i + 1);
        EXPECT_GT(mean(a, greenOf), mean(b, greenOf)) << i;
        EXPECT_GT(mean(a, redOf) - mean(a, greenOf) / 2, 0);
    }
    // Sand is mottled, and the same every time.
    const RgbImage sandTile = builtInTile(15);
    EXPECT_GT(std::set<uint32_t>(sandTile.pixels.begin(), sandTile.pixels.end()).size(), 40u);
    EXPECT_EQ(sandTile, builtInTile(15));
}
