// The skin store: cutting, the quarter turns and mirrors, refused skins.
#include "board_support.h"

#include "app/defaultskin.h"
#include "play/Bilder.h"

#include <gtest/gtest.h>
#include <QTemporaryDir>

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
class BilderTest : public ::testing::Test {
protected:
    void TearDown() override { bilder() = Bilder(); }
};

}  // namespace

TEST_F(BilderTest, SkinFileIsCutTurnedAndMirroredPixelForPixel) {
    QTemporaryDir dir;
    const QString path = dir.filePath("Fremd.bmp");
    ASSERT_TRUE(testSkin().save(path, "BMP"));
    ASSERT_TRUE(bilder().LoadSkin(path));

    auto same = [](int x, int y) { return std::pair{x, y}; };
    auto turned = [](int x, int y) { return std::pair{y, 31 - x}; };     // quarter turn clockwise
    auto mirrored = [](int x, int y) { return std::pair{x, 31 - y}; };   // top to bottom
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
}

TEST_F(BilderTest, PointingUpBecomesRightDownLeft) {
    // A one-pixel "neck" at the top middle of square 1 shows where each source points.
    QImage skin = testSkin();
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) skin.setPixel(33 + x, y, qRgb(0, 0, 0));
    skin.setPixel(33 + 16, 0, qRgb(255, 255, 255));
    ASSERT_TRUE(bilder().cutSkin(skin));
    auto white = [](int code, int x, int y) {
        return (bilder().tile(code).pixel(x, y) & 0xffffff) == 0xffffff;
    };
    EXPECT_TRUE(white(4, 16, 0));   // up
    EXPECT_TRUE(white(1, 31, 16));  // right
    EXPECT_TRUE(white(2, 16, 31));  // down: mirrored, not turned twice (that would give x = 15)
    EXPECT_TRUE(white(3, 0, 16));   // left
}

TEST_F(BilderTest, RefusedSkinsKeepThePreviousPictures) {
    ASSERT_TRUE(bilder().cutSkin(testSkin()));
    const QImage before = bilder().tile(9);

    QTemporaryDir dir;
    const QString narrow = dir.filePath("schmal.bmp");
    ASSERT_TRUE(testSkin(625, 33).save(narrow, "BMP"));
    const QString flat = dir.filePath("flach.bmp");
    ASSERT_TRUE(testSkin(700, 31).save(flat, "BMP"));
    const QString broken = dir.filePath("kaputt.bmp");
    {
        QFile f(broken);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("BM this is no bitmap");
    }
    EXPECT_FALSE(bilder().LoadSkin(narrow));
    EXPECT_FALSE(bilder().LoadSkin(flat));
    EXPECT_FALSE(bilder().LoadSkin(broken));
    EXPECT_FALSE(bilder().LoadSkin(dir.filePath("fehlt.bmp")));
    EXPECT_EQ(bilder().tile(9), before);

    // Exactly 626 x 32 is enough.
    const QString minimal = dir.filePath("knapp.bmp");
    QImage other = testSkin(626, 32);
    other.setPixel(33 * 3 + 5, 5, qRgb(1, 2, 3));
    ASSERT_TRUE(other.save(minimal, "BMP"));
    EXPECT_TRUE(bilder().LoadSkin(minimal));
    EXPECT_EQ(bilder().tile(9).pixel(5, 5) & 0xffffff, 0x010203u);
}

TEST_F(BilderTest, CodesOutsideTheTilesShowTheEmptyTile) {
    ASSERT_TRUE(bilder().cutSkin(testSkin()));
    EXPECT_EQ(bilder().tile(99), bilder().tile(0));
    EXPECT_EQ(bilder().tile(-1), bilder().tile(0));
}

TEST_F(BilderTest, StartsWithTheBuiltInPictures) {
    const Bilder fresh;
    auto same = [](const QImage& q, const RgbImage& r) {
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                if ((q.pixel(x, y) & 0xffffff) != r.pixel(x, y)) return false;
        return true;
    };
    for (int code : {0, 4, 6, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20})
        EXPECT_TRUE(same(fresh.tile(code), builtInTile(code))) << code;
    for (int i = 0; i < 4; ++i) EXPECT_TRUE(same(fresh.sand(i), builtInSand(i))) << i;
    EXPECT_EQ(fresh.tile(1), Bilder::quarterTurn(fresh.tile(4)));
    EXPECT_EQ(fresh.tile(2), Bilder::mirror(fresh.tile(4)));
}
