// Palette, strokes, stars, stock bars, level picture colours, the pack information and the
// save dialog's names.
#include "editor/boardedit.h"
#include "app/random.h"
#include "editor/packfiles.h"
#include "editor/packinfo.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>
#include <vector>

using namespace lumor;

TEST(Palette, PressPicksByTheColumnsOf33AndTheRowsOf32) {
    const std::pair<std::pair<int, int>, int> presses[] = {
        {{0, 0}, 0},     {{32, 351}, 10}, {{33, 0}, 11},  // x = 33 is column 1 already
        {{64, 319}, 20}, {{40, 320}, -1},                 // code 21
        {{0, 352}, 11},                                   // the row below column 0
        {{66, 0}, -1},   {{-1, 5}, -1},                   // right of the second column
    };
    for (const auto& [xy, code] : presses)
        EXPECT_EQ(paletteCode(xy.first, xy.second), code) << xy.first << "," << xy.second;
    EXPECT_EQ(palettePosition(10), std::make_pair(0, 320));
    EXPECT_EQ(palettePosition(11), std::make_pair(34, 0));
    EXPECT_EQ(palettePosition(20), std::make_pair(34, 288));
}

TEST(Stroke, EveryCellThePointerCrossesOnce) {
    using Cells = std::vector<std::pair<int, int>>;
    EXPECT_EQ(cellsCrossed(5, 5, 5, 5), (Cells{{0, 0}}));
    EXPECT_EQ(cellsCrossed(10, 40, 140, 40), (Cells{{0, 1}, {1, 1}, {2, 1}, {3, 1}, {4, 1}}));
    EXPECT_EQ(cellsCrossed(100, 100, 36, 100), (Cells{{3, 3}, {2, 3}, {1, 3}}));
    // Off the board nothing is painted.
    EXPECT_EQ(cellsCrossed(600, 370, 700, 370), (Cells{{18, 11}, {19, 11}}));
    const Cells diagonal = cellsCrossed(0, 0, 383, 383);
    EXPECT_EQ(diagonal.front(), std::make_pair(0, 0));
    EXPECT_EQ(diagonal.back(), std::make_pair(11, 11));
    EXPECT_EQ(std::set(diagonal.begin(), diagonal.end()).size(), diagonal.size());
}

TEST(Stars, OnlyDecorationsAreDrawnAgainEachOnItsOwn) {
    LevelRecord level;
    for (int x = 0; x < 20; ++x) level.cell(x, 0) = 17;
    level.cell(0, 1) = 16;
    level.cell(1, 1) = 99;
    SeededRandom random(7);
    distributeStars(level, random);
    std::set<int> seen;
    for (int x = 0; x < 20; ++x) seen.insert(level.cell(x, 0));
    EXPECT_EQ(seen, (std::set<int>{17, 18, 19, 20}));
    EXPECT_EQ(level.cell(0, 1), 16);
    EXPECT_GE(level.cell(1, 1), 17);
    EXPECT_LE(level.cell(1, 1), 20);
    EXPECT_EQ(level.cell(2, 1), 0);
}

TEST(StockBars, InvertedAndAnOutOfRangeCountSurvivesUntilTheBarMoves) {
    EXPECT_EQ(barValue(0, 99), 0);
    EXPECT_EQ(barValue(0, 0), 99);
    EXPECT_EQ(barValue(3, 5), 15);
    EXPECT_EQ(barValue(0, 150), 0);
    EXPECT_EQ(barValue(4, -3), 20);
    EXPECT_EQ(stockForBar(3, 15, 5), 5);
    EXPECT_EQ(stockForBar(3, 14, 5), 6);
    EXPECT_EQ(stockForBar(0, 0, 150), 150);
    EXPECT_EQ(stockForBar(4, 20, -3), -3);
    EXPECT_EQ(stockForBar(0, 1, 150), 98);
}

TEST(LevelPicture, ColoursOfTheSixteenColourTable) {
    const std::pair<int, uint32_t> colours[] = {
        {0, 0x000000},  {1, 0xffff00},  {4, 0xffff00},  {5, 0x00ff00},  {8, 0x00ff00},
        {9, 0x00ffff},  {10, 0xff0000}, {11, 0xff00ff}, {14, 0xff00ff}, {15, 0x808000},
        {16, 0xffffff}, {17, 0x808080}, {20, 0x808080},
    };
    for (const auto& [code, rgb] : colours) EXPECT_EQ(previewColour(code), rgb) << code;
    EXPECT_EQ(previewColour(21), std::nullopt);
    EXPECT_EQ(previewColour(-1), std::nullopt);
}

TEST(PackInfo, TheLinkGetsASchemeOnlyWhenItHasNone) {
    const struct {
        const char* typed;
        const char* stored;
        LinkPrefix added;
    } cases[] = {
        {"  www.example.org ", "http://www.example.org", LinkPrefix::Http},
        {"ich@example.org", "mailto:ich@example.org", LinkPrefix::Mailto},
        {"http://a.b", "http://a.b", LinkPrefix::None},
        {"mailto:x@y", "mailto:x@y", LinkPrefix::None},
        {"https://a.b/c", "https://a.b/c", LinkPrefix::None},
        {"HTTP://A.B", "HTTP://A.B", LinkPrefix::None},
        {"MailTo:x@y", "MailTo:x@y", LinkPrefix::None},
        {"ftp://a@b", "mailto:ftp://a@b", LinkPrefix::Mailto},
        {"   ", "", LinkPrefix::None},
    };
    for (const auto& c : cases) {
        const PackLink link = packLinkRule(c.typed);
        EXPECT_EQ(link.link, c.stored) << c.typed;
        EXPECT_EQ(link.added, c.added) << c.typed;
    }

    PackHeader header;
    const PackInfoTexts texts{" T ", " A", "B ", " M ", "x.de", "  geheim  "};
    EXPECT_EQ(storePackInfo(texts, header), LinkPrefix::Http);
    EXPECT_EQ(header, (PackHeader{"A", "B", "M", "http://x.de", "T", "geheim"}));
}

TEST(SaveNames, ExtensionAndForbiddenCharacters) {
    const std::pair<const char*, const char*> names[] = {
        {"pack", "pack.llp"},
        {"pack.LLP", "pack.LLP"},
        {"pack.llp.txt", "pack.llp.txt.llp"},
        {"llp", "llp.llp"},
        {"", ".llp"},
    };
    for (const auto& [typed, stored] : names) EXPECT_EQ(withPackExtension(typed), stored);
    for (const char c : std::string("\\/:*?\"<>|"))
        EXPECT_TRUE(hasForbiddenCharacter(std::string("a") + c + "b")) << c;
    EXPECT_FALSE(hasForbiddenCharacter("Mein Pack (2). \xc3\xa4.llp"));
}
