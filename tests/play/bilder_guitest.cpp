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

TEST_F(BilderTest, SkinFileIsCutTurnedAndMirroredPixelForPixel) {
    const QString path = file("Fremd.bmp");
    ASSERT_TRUE(testSkin().save(path, "BMP"));
    ASSERT_TRUE(bilder().LoadSkin(path));

    auto same = [](int x, int y) { return std::pair{x, y}; };
    auto turned = [](int x, int y) { return std::pair{y, 31 - x}; };  // quarter turn clockwise
    // Top to bottom: a source pointing up points down, which two turns would not give.
    auto mirrored = [](int x, int y) { return std::pair{x, 31 - y}; };
    auto mirroredTurned = [](int x, int y) { return std::pair{y, x}; };  // the turn of the mirror

    expectTile(0, 0, same);
    // Square 1, a source pointing up: right, down, left for codes 1, 2, 3.
    expectTile(4, 1, same);
    expectTile(1, 1, turned);
    expectTile(2, 1, mirrored);
    expectTile(3, 1, mirroredTurned);
    // Square 2, a target open at the top: right, bottom, left for codes 7, 8, 5.
    expectTile(6, 2, same);
    expectTile(7, 2, turned);
    expectTile(8, 2, mirrored);
    expectTile(5, 2, mirroredTurned);
    for (int i = 0; i < 12; ++i) expectTile(9 + i, 3 + i, same);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(bilder().sand(i).pixel(7, 9) & 0xffffff, skinPixel(15 + i, 7, 9) & 0xffffff);
    // Codes without a tile (sand being eaten) show the empty one.
    EXPECT_EQ(bilder().tile(EatenSand), bilder().tile(Empty));
    EXPECT_EQ(bilder().tile(-1), bilder().tile(Empty));
}

// A store starts with the built-in pictures; a refused skin keeps the previous ones.
TEST_F(BilderTest, RefusedSkinsKeepThePreviousPictures) {
    const Bilder fresh;
    for (int code : {0, 4, 9, 20}) {
        const RgbImage builtIn = builtInTile(code);
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                ASSERT_EQ(fresh.tile(code).pixel(x, y) & 0xffffff, builtIn.pixel(x, y)) << code;
    }
    EXPECT_EQ(fresh.tile(2), Bilder::mirror(fresh.tile(4)));
    ASSERT_TRUE(bilder().cutSkin(testSkin()));
    const QImage before = bilder().tile(9);

    const QString narrow = file("schmal.bmp");
    ASSERT_TRUE(testSkin(625, 33).save(narrow, "BMP"));
    const QString flat = file("flach.bmp");
    ASSERT_TRUE(testSkin(700, 31).save(flat, "BMP"));
    const QString broken = file("kaputt.bmp");
    lumortest::writeFile(dir / "kaputt.bmp", "BM this is no bitmap");
    EXPECT_FALSE(bilder().LoadSkin(narrow) || bilder().cutSkin(testSkin(625, 33)));
    EXPECT_FALSE(bilder().LoadSkin(flat));
    EXPECT_FALSE(bilder().LoadSkin(broken));
    EXPECT_FALSE(bilder().LoadSkin(file("fehlt.bmp")));
    EXPECT_EQ(bilder().tile(9), before);

    // Exactly 626 x 32 is enough.
    const QString minimal = file("knapp.bmp");
    QImage other = testSkin(626, 32);
    other.setPixel(33 * 3 + 5, 5, qRgb(1, 2, 3));
    ASSERT_TRUE(other.save(minimal, "BMP"));
    EXPECT_TRUE(bilder().LoadSkin(minimal));
    EXPECT_EQ(bilder().tile(9).pixel(5, 5) & 0xffffff, 0x010203u);
}
