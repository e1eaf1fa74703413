#include "app/random.h"
#include "levels/packfile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include <sys/stat.h>
#include <unistd.h>

using namespace lumor;
namespace fs = std::filesystem;

namespace {

LevelRecord makeLevel(const std::string& name, const std::string& password, int seed) {
    LevelRecord r;
    r.Name = name;
    r.Password = password;
    for (int i = 0; i < CellCount; ++i) r.Cells[static_cast<size_t>(i)] = static_cast<int16_t>((i * 7 + seed) % 21);
    r.cell(19, 11) = 99;
    r.cell(0, 0) = static_cast<int16_t>(-5 - seed);
    for (int i = 0; i < StockEntries; ++i) r.Stock[static_cast<size_t>(i)] = static_cast<int16_t>(i + seed);
    r.Stock[9] = -32768;  // entries 9..15 are unused but must survive
    r.Stock[15] = 32767;
    return r;
}

PackHeader makeHeader() {
    PackHeader h;
    h.PackAuthor = "J\xf6rg M\xfcller";
    h.PackRemark = "  Bemerkung mit Blanks  ";
    h.PackEndMessage = "Alles gel\xf6st \x80";
    h.PackLink = "mailto:a@b.de";
    h.PackTitle = "Testpack";
    h.PackPassword = "Geheim";
    return h;
}

std::vector<LevelRecord> makeLevels(int n) {
    std::vector<LevelRecord> levels;
    for (int i = 0; i < n; ++i)
        levels.push_back(makeLevel("Level " + std::to_string(i + 1), "PW" + std::to_string(i), i));
    return levels;
}

std::string bytesOf(const PackHeader& h, const std::vector<LevelRecord>& levels, uint64_t seed = 1) {
    SeededRandom random(seed);
    std::string bytes;
    const PackWriteResult r = packBytes(h, levels, random, bytes);
    EXPECT_TRUE(r.ok) << r.message;
    return bytes;
}

std::vector<std::string> splitLines(const std::string& bytes) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t p; (p = bytes.find("\r\n", start)) != std::string::npos; start = p + 2)
        lines.push_back(bytes.substr(start, p - start));
    EXPECT_EQ(start, bytes.size()) << "every line ends with CR LF";
    return lines;
}

// A Random that always answers the same fraction: fillers become predictable.
class FixedRandom final : public Random {
public:
    explicit FixedRandom(double f) : f_(f) {}
    double next() override { return f_; }

private:
    double f_;
};

}  // namespace

TEST(PackText, ScrambleFollowsTheFillerPatternAndUnscrambleInvertsIt) {
    FixedRandom filler(0.5);  // 0.5 * 64 + 32 = 64, "@"
    std::string stored;
    ASSERT_TRUE(ScrambleText("abc", filler, stored));
    EXPECT_EQ(stored, "bd@f");
    EXPECT_EQ(UnscrambleText(stored), "abc");

    SeededRandom random(7);
    ASSERT_TRUE(ScrambleText("ABCDEFGHIJKLMNO", random, stored));
    EXPECT_EQ(stored.size(), 22u) << "15 characters take 7 fillers (3, 5, 6, 9, 10, 12, 15)";
    EXPECT_EQ(UnscrambleText(stored), "ABCDEFGHIJKLMNO");

    ASSERT_TRUE(ScrambleText("", random, stored));
    EXPECT_EQ(stored, "");

    FixedRandom low(0.0), high(0.999999999);
    ASSERT_TRUE(ScrambleText("xyz", low, stored));
    EXPECT_EQ(stored[2], ' ');
    ASSERT_TRUE(ScrambleText("xyz", high, stored));
    EXPECT_EQ(stored[2], '_') << "fillers stay within 32..95";
}

TEST(PackText, CodesPlusPositionMustStayWithin255) {
    SeededRandom random(1);
    std::string stored;
    EXPECT_TRUE(ScrambleText("\xfe", random, stored));
    EXPECT_EQ(stored, "\xff");
    EXPECT_FALSE(ScrambleText("\xff", random, stored));
    EXPECT_TRUE(CanScramble("\xfc\xfc\xfc"));
    EXPECT_FALSE(CanScramble("\xfc\xfc\xfc\xfc")) << "\xfc at position 4 gives 256";
}

TEST(PackText, MalformedStoredLinesAreRecognised) {
    std::string plain;
    EXPECT_TRUE(UnscrambleText("bd", plain));
    EXPECT_FALSE(UnscrambleText("bdX", plain)) << "ends where the filler before position 3 is expected";
    EXPECT_FALSE(UnscrambleText(std::string("\x01\x01", 2), plain)) << "code 1 at position 2 would be -1";
    EXPECT_TRUE(UnscrambleText(std::string("\x01", 1), plain));
    EXPECT_EQ(plain, std::string("\0", 1));
}

TEST(PackText, WeightsAndChecksum) {
    EXPECT_EQ(CharWeight(0), 1);
    EXPECT_EQ(CharWeight(255), 110);
    EXPECT_EQ(CharWeight('a') + CharWeight('b') + CharWeight('c'), 128);
    PackHeader h;
    h.PackAuthor = "abc";
    h.PackPassword = "abc";
    LevelRecord l;
    l.Name = "abc";
    l.cell(3, 4) = -7;
    l.Stock[15] = 1000;
    EXPECT_EQ(PackChecksum(h, {l}), 3 * 128 - 7 + 1000);
}

TEST(PackFile, RoundTripKeepsEverythingIncludingUnusedStockEntries) {
    const PackHeader h = makeHeader();
    const auto levels = makeLevels(5);
    const PackReadResult r = readPackFromBytes(bytesOf(h, levels));
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_EQ(r.contents.header, h);
    EXPECT_EQ(r.contents.levels, levels);

    // The largest pack the list can hold, and the extremes of every number.
    auto full = makeLevels(MaxLevels);
    full[100].Cells.fill(32767);
    full[99].Cells.fill(-32768);
    const PackReadResult big = readPackFromBytes(bytesOf(h, full));
    ASSERT_TRUE(big.ok);
    EXPECT_EQ(big.contents.levels, full);
}

TEST(PackFile, LayoutOfAnEmptyPackAndOfALevelBlock) {
    PackHeader h;
    const std::string empty = bytesOf(h, {});
    EXPECT_EQ(empty, "Lumor Levelpack V.1.1\r\n\r\n\r\n\r\n\r\n\r\n\r\n*\r\n*\r\n0\r\n");
    const PackReadResult r = readPackFromBytes(empty);
    ASSERT_TRUE(r.ok);
    EXPECT_TRUE(r.contents.levels.empty());

    LevelRecord l;
    l.cell(1, 2) = 9;
    l.cell(0, 1) = -3;
    l.Stock[0] = 4;
    const auto lines = splitLines(bytesOf(h, {l}));
    ASSERT_EQ(lines.size(), 8u + 259u + 2u);
    EXPECT_EQ(lines[8], " ");
    EXPECT_EQ(lines[9], "");
    EXPECT_EQ(lines[8 + 3 + 1], "-3") << "cell (0, 1): negative numbers carry their sign, no blank";
    EXPECT_EQ(lines[8 + 3 + 12 * 1 + 2], " 9") << "cell (x, y) stands on block line 4 + 12x + y";
    EXPECT_EQ(lines[8 + 243], " 4");
    EXPECT_EQ(lines[8 + 3], " 0");
    EXPECT_EQ(lines[267], "*");
    EXPECT_EQ(lines[268], "10") << "checksum without a leading blank";
}

TEST(PackFile, TwoSavingsDifferOnlyInFillers) {
    const PackHeader h = makeHeader();
    const auto levels = makeLevels(3);
    const std::string a = bytesOf(h, levels, 1);
    const std::string b = bytesOf(h, levels, 2);
    EXPECT_NE(a, b);
    const auto la = splitLines(a), lb = splitLines(b);
    ASSERT_EQ(la.size(), lb.size());
    for (size_t i = 0; i < la.size(); ++i) {
        ASSERT_EQ(la[i].size(), lb[i].size()) << "line " << i + 1;
        for (size_t k = 0; k < la[i].size(); ++k)
            if (la[i][k] != lb[i][k]) {
                EXPECT_TRUE(k == 2 || k == 5 || k == 7) << "line " << i + 1 << " at " << k;
            }
    }
    const PackReadResult ra = readPackFromBytes(a), rb = readPackFromBytes(b);
    ASSERT_TRUE(ra.ok && rb.ok);
    EXPECT_EQ(ra.contents.levels, rb.contents.levels);
    EXPECT_EQ(ra.contents.header, rb.contents.header);
    EXPECT_EQ(la.back(), lb.back());
}
