// The skin store: cutting, the quarter turns and mirrors, refused skins.
#include "board_support.h"

#include "app/defaultskin.h"
#include "play/Bilder.h"

#include <gtest/gtest.h>

using namespace lumor;
using lumor::testing::skinPixel;
using lumor::testing::testSkin;

namespace {

// Every pixel of tile `code` against the source square's pixel at the mapped point.
template <typename Map>
void expectTile(int code, int square, Map map) {
    const QImage& t = bilder().tile(code);
    ASSERT_EQ(t.size(), QSize(32, 32)) << "tile " << code;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const auto [sx, sy] = map(x, y);
            ASSERT_EQ(t.pixel(x, y) & 0xffffff, skinPixel(square, sx, sy) & 0xffffff)
                << "tile " << code << " at " << x << "," << y;
        }
}

// Leaves the program's pictures as they were at start.
class BilderTest : public lumortest::ScratchFolderTest {
protected:
    void TearDown() override { bilder() = Bilder(); }
    QString file(const char* name) const { return QString::fromStdString((dir / name).string()); }
};

}  // namespace

TEST_F(BilderTest, SkinFileIsCutTurnedAndMirroredAndRefusedSkinsKeepThePreviousPictures) {
    ASSERT_TRUE(testSkin().save(file("Fremd.bmp"), "BMP"));
    ASSERT_TRUE(bilder().LoadSkin(file("Fremd.bmp")));

    auto same = [](int x, int y) { return std::pair{x, y}; };
    auto turned = [](int x, int y) { return std::pair{y, 31 - x}; };  // quarter turn clockwise
    // Top to bottom: a source pointing up points down, which two turns would not give.
    auto mirrored = [](int x, int y) { return std::pair{x, 31 - y}; };
    auto mirroredTurned = [](int x, int y) { return std::pair{y, x}; };  // the turn of the mirror

    // Square 1, a source pointing up: right, down, left for codes 1, 2, 3; square 2, a target
    // open at the top: right, bottom, left for codes 7, 8, 5.
    const int squares[][5] = {{1, 4, 1, 2, 3}, {2, 6, 7, 8, 5}};
    for (const auto& [square, up, right, down, left] : squares) {
        expectTile(up, square, same);
        expectTile(right, square, turned);
        expectTile(down, square, mirrored);
        expectTile(left, square, mirroredTurned);
    }
    expectTile(0, 0, same);
    for (int i = 0; i < 12; ++i) expectTile(9 + i, 3 + i, same);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(bilder().sand(i).pixel(7, 9) & 0xffffff, skinPixel(15 + i, 7, 9) & 0xffffff);
    // Codes without a tile (sand being eaten) show the empty one.
    EXPECT_EQ(bilder().tile(EatenSand), bilder().tile(Empty));
    EXPECT_EQ(bilder().tile(-1), bilder().tile(Empty));

    // A store starts with the built-in pictures; a refused skin keeps the previous ones.
    const Bilder fresh;
    for (int code : {0, 4, 9, 20})
        EXPECT_EQ(fresh.tile(code).pixel(16, 16) & 0xffffff, builtInTile(code).pixel(16, 16));
    EXPECT_EQ(fresh.tile(2), Bilder::mirror(fresh.tile(4)));
    const QImage before = bilder().tile(9);

    ASSERT_TRUE(testSkin(625, 33).save(file("schmal.bmp"), "BMP"));
    ASSERT_TRUE(testSkin(700, 31).save(file("flach.bmp"), "BMP"));
    lumortest::writeFile(dir / "kaputt.bmp", "BM this is no bitmap");
    for (const char* name : {"schmal.bmp", "flach.bmp", "kaputt.bmp", "fehlt.bmp"})
        EXPECT_FALSE(bilder().LoadSkin(file(name))) << name;
    EXPECT_FALSE(bilder().cutSkin(testSkin(625, 33)));
    EXPECT_EQ(bilder().tile(9), before);

    // Exactly 626 x 32 is enough.
    QImage other = testSkin(626, 32);
    other.setPixel(33 * 3 + 5, 5, qRgb(1, 2, 3));
    ASSERT_TRUE(other.save(file("knapp.bmp"), "BMP"));
    EXPECT_TRUE(bilder().LoadSkin(file("knapp.bmp")));
    EXPECT_EQ(bilder().tile(9).pixel(5, 5) & 0xffffff, 0x010203u);
}
