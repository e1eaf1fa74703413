#include "levels/packfile.h"
#include "app/random.h"

#include "support/hostile.h"
#include "support/scratch.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <functional>

#include <sys/resource.h>

using namespace lumor;
using lumortest::Hostile;
namespace fs = std::filesystem;

namespace {

// Levels with every cell and stock entry set, negative numbers and code 99 included.
std::vector<LevelRecord> makeLevels(int n) {
    std::vector<LevelRecord> levels(static_cast<size_t>(n));
    for (int k = 0; k < n; ++k) {
        LevelRecord& r = levels[static_cast<size_t>(k)];
        r.Name = "Level " + std::to_string(k + 1);
        r.Password = "PW" + std::to_string(k);
        for (size_t i = 0; i < r.Cells.size(); ++i)
            r.Cells[i] = static_cast<int16_t>((int(i) * 7 + k) % 21);
        r.cell(19, 11) = 99;
        r.cell(0, 0) = static_cast<int16_t>(-5 - k);
        for (int i = 0; i < StockEntries; ++i)
            r.Stock[static_cast<size_t>(i)] = static_cast<int16_t>(i + k);
        r.Stock[9] = -32768;  // entries 9..15 are unused but must survive
        r.Stock[15] = 32767;
    }
    return levels;
}

const PackHeader Header{"J\366rg M\374ller",
                        "  Bemerkung mit Blanks  ",
                        "Alles gel\366st \200",
                        "mailto:a@b.de",
                        "Testpack",
                        "Geheim"};  // Windows-1252

std::string bytesOf(const PackHeader& h, const std::vector<LevelRecord>& levels) {
    SeededRandom random(1);
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

std::string joinLines(const std::vector<std::string>& lines, const char* end = "\r\n") {
    std::string out;
    for (const auto& l : lines) out += l + end;
    return out;
}

// The file with one line (0-based) replaced.
std::string withLine(const std::string& bytes, size_t index, const std::string& text) {
    auto lines = splitLines(bytes);
    lines.at(index) = text;
    return joinLines(lines);
}

// Line indices (0-based) in a file whose header has the usual eight lines.
size_t blockLine(size_t level, size_t line1Based) { return 8 + 259 * level + line1Based - 1; }
size_t cellLine(size_t level, size_t x, size_t y) { return blockLine(level, 4 + 12 * x + y); }

// Refused as damaged, with nothing read.
bool refused(const std::string& bytes) {
    const PackReadResult r = readPackFromBytes(bytes);
    return !r.ok && !r.unreadable && r.message == PackDamagedMessage && r.contents.levels.empty();
}

// A Random that always answers the same fraction: fillers become predictable.
struct FixedRandom final : Random {
    explicit FixedRandom(double fraction) : f(fraction) {}
    double next() override { return f; }
    double f;
};

}  // namespace

TEST(PackFile, ScramblingTheChecksumAndTheLayout) {
    FixedRandom filler(0.5), low(0.0), high(0.999999999);  // 0.5 * 64 + 32 = 64, "@"
    std::string stored, plain;
    ASSERT_TRUE(ScrambleText("abc", filler, stored));
    EXPECT_EQ(stored, "bd@f");
    EXPECT_EQ(UnscrambleText(stored), "abc");
    ASSERT_TRUE(ScrambleText("xyz", low, stored) && stored[2] == ' ');
    ASSERT_TRUE(ScrambleText("xyz", high, stored) && stored[2] == '_') << "fillers in 32..95";
    SeededRandom random(7);
    ASSERT_TRUE(ScrambleText("ABCDEFGHIJKLMNO", random, stored));
    EXPECT_EQ(stored.size(), 22u) << "15 characters take 7 fillers (3, 5, 6, 9, 10, 12, 15)";
    EXPECT_EQ(UnscrambleText(stored), "ABCDEFGHIJKLMNO");
    EXPECT_FALSE(UnscrambleText(std::string("\x01\x01", 2), plain))
        << "code 1 at position 2 would be -1";
    EXPECT_TRUE(UnscrambleText("\x01", plain) && plain == std::string("\0", 1));

    EXPECT_TRUE(CharWeight(0) == 1 && CharWeight(255) == 110);
    LevelRecord l;
    l.Name = "abc";  // 42 + 43 + 43
    l.cell(3, 4) = -7;
    l.Stock[15] = 1000;
    EXPECT_EQ(PackChecksum({"abc", "", "", "", "", "abc"}, {l}), 3 * 128 - 7 + 1000);

    const std::string empty = bytesOf({}, {});
    EXPECT_EQ(empty, "Lumor Levelpack V.1.1\r\n\r\n\r\n\r\n\r\n\r\n\r\n*\r\n*\r\n0\r\n");
    EXPECT_TRUE(readPackFromBytes(empty).ok);
    l = LevelRecord{};
    l.cell(1, 2) = 9;
    l.cell(0, 1) = -3;
    l.Stock[0] = 4;
    const auto lines = splitLines(bytesOf({}, {l}));
    ASSERT_EQ(lines.size(), 8u + 259u + 2u);
    EXPECT_TRUE(lines[8] == " " && lines[9] == "");
    EXPECT_EQ(lines[8 + 3 + 1], "-3") << "cell (0, 1): negative numbers carry their sign, no blank";
    EXPECT_EQ(lines[8 + 3 + 12 * 1 + 2], " 9") << "cell (x, y) stands on block line 4 + 12x + y";
    EXPECT_EQ(lines[8 + 243], " 4");
    EXPECT_EQ(lines[267], "*");
    EXPECT_EQ(lines[268], "10") << "checksum without a leading blank";
}

TEST(PackFile, RoundTripKeepsEverythingUpTo101LevelsAndRefusesMore) {
    // Every level keeps its unused stock entries 9..15; the extremes of every number.
    const PackHeader& h = Header;
    auto levels = makeLevels(MaxLevels);
    levels[100].Cells.fill(32767);
    levels[99].Cells.fill(-32768);
    const std::string full = bytesOf(h, levels);
    const PackReadResult r = readPackFromBytes(full);
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_EQ(r.contents.header, h);
    EXPECT_EQ(r.contents.levels, levels);

    // Append a 102nd block by hand and fix the checksum, so only the count is wrong.
    auto lines = splitLines(full);
    const std::vector<std::string> block(lines.begin() + static_cast<long>(blockLine(0, 1)),
                                         lines.begin() + static_cast<long>(blockLine(1, 1)));
    lines.insert(lines.end() - 2, block.begin(), block.end());
    levels.push_back(levels[0]);
    lines.back() = std::to_string(PackChecksum(h, levels));
    EXPECT_TRUE(refused(joinLines(lines)));
}

TEST(PackFile, ReaderIsLenientWithFormFillersAndBlanksButNotWithContents) {
    const PackHeader h = Header;
    auto levels = makeLevels(3);
    levels[0].cell(4, 4) = 0;
    levels[0].cell(4, 5) = 12;
    const std::string good = bytesOf(h, levels);
    auto lines = splitLines(good);
    lines[0] = "*";                              // the format line is not examined
    lines.insert(lines.begin() + 7, "mehr");     // extra header lines are skipped
    lines[blockLine(0, 1) + 1] = "     ";        // any line but "*" opens a level
    lines[cellLine(0, 4, 4) + 1] = "Sand";       // not a number: 0
    lines[cellLine(0, 4, 5) + 1] = " \t 12 St";  // the number at the start counts
    lines[blockLine(3, 1) + 1] = "  *   ";       // "*" with blanks ends the levels
    EXPECT_EQ(readPackFromBytes(joinLines(lines, "\n")).contents.levels, levels) << "LF only";
    PackHeader authorOnly;  // a header may also end early
    authorOnly.PackAuthor = "Autor";
    const PackReadResult shortHeader = readPackFromBytes(
        "Format\r\nAutor\r\n*\r\n*\r\n" + std::to_string(PackChecksum(authorOnly, {})) + "\r\n");
    EXPECT_TRUE(shortHeader.ok && shortHeader.contents.header == authorOnly);

    // Level 2's name "Level 2" is stored with fillers at 2, 5 and 7: a filler may change.
    std::string name = splitLines(good)[blockLine(1, 2)];
    name[5] = name[5] == 'A' ? 'B' : 'A';
    EXPECT_EQ(readPackFromBytes(withLine(good, blockLine(1, 2), name)).contents.levels, levels);
    // A real character (by 3: "e" and "f" weigh alike), a cell, a stock entry, a header
    // text, the checksum may not.
    name[4] = static_cast<char>(name[4] + 3);
    EXPECT_TRUE(refused(withLine(good, blockLine(1, 2), name)));
    EXPECT_TRUE(refused(withLine(good, cellLine(2, 7, 3), " 12345")));
    EXPECT_TRUE(refused(withLine(good, blockLine(0, 259), " 1"))) << "stock 15";
    EXPECT_TRUE(refused(withLine(good, 1, "J\xf6rg Mueller"))) << "author";
    EXPECT_TRUE(refused(withLine(good, splitLines(good).size() - 1, "1"))) << "checksum";
}

TEST(PackFile, DamagedFilesAreRefusedWithoutReadingPastTheirEnd) {
    const std::string good = bytesOf(Header, makeLevels(2));
    const auto lines = splitLines(good);
    EXPECT_TRUE(refused(""));
    // Cut after every line short of the checksum, and in the middle of the last lines.
    for (size_t n = 0; n + 1 < lines.size(); ++n)
        ASSERT_TRUE(refused(joinLines({lines.begin(), lines.begin() + static_cast<long>(n)})))
            << n << " lines";
    EXPECT_TRUE(refused(good.substr(0, good.size() - 5)));

    // Numbers outside the 16-bit range, even when the checksum agrees.
    LevelRecord l;
    const auto one = splitLines(bytesOf(PackHeader{}, {l}));
    for (const char* n : {" 32768", "-32769", "99999999999999999999999999", "-32768"}) {
        auto big = one;
        big[cellLine(0, 0, 0)] = n;
        big.back() = std::to_string(std::strtoll(n, nullptr, 10));
        EXPECT_EQ(refused(joinLines(big)), std::string(n) != "-32768") << n;
    }

    // A scrambled line that ends where a filler is expected ("ab" stored as "bd" plus a filler).
    auto filler = one;
    filler[blockLine(0, 2)] = "bdX";
    filler.back() = "85";  // the weight of "ab": only the missing character is wrong
    EXPECT_TRUE(refused(joinLines(filler)));
    filler[blockLine(0, 2)] = "bdXf";
    filler.back() = "128";
    EXPECT_FALSE(refused(joinLines(filler))) << "the same name with its character: sound";
    filler = one;
    filler[6] = "bd!";  // the pack password
    EXPECT_TRUE(refused(joinLines(filler)));
    // A level named "*" (stored as "+") would end the list in every window.
    filler = one;
    filler[blockLine(0, 2)] = "+";
    filler.back() = std::to_string(CharWeight('*'));
    EXPECT_TRUE(refused(joinLines(filler)));
}

TEST(PackFile, WriterRefusesTextsTheFileCannotHold) {
    // One text of an empty header or of three good levels changed: how the refusal starts
    // ("" = written).
    const std::string password = "Passwort ist nicht kompaktibel.";
    const struct {
        int level;  // -1: the header
        std::string PackHeader::*header;
        std::string LevelRecord::*text;
        std::string value, message;
    } cases[] = {
        {1, nullptr, &LevelRecord::Name, "\376Name", ""},  // 254 at position 1 fits
        {1, nullptr, &LevelRecord::Name, "\377Name", "Der Name des 2. Levels (\377Name) ist nicht"},
        {2, nullptr, &LevelRecord::Name, "\t", "Der Name des 3. Levels (\t) ist nicht"},  // LF
        {2, nullptr, &LevelRecord::Name, "x\t", ""},  // 9 + 2 = 11
        {2, nullptr, &LevelRecord::Password, "ab\375", "Das Passwort des 3. Levels (Level 3) ist"},
        {0, nullptr, &LevelRecord::Name, "*", "Der Name des 1. Levels darf nicht \"*\" lauten."},
        {-1, &PackHeader::PackPassword, nullptr, ")", password},     // stored as "*"
        {-1, &PackHeader::PackPassword, nullptr, "\x0c", password},  // stored as CR
        {-1, &PackHeader::PackPassword, nullptr, "))", ""},
        {-1, &PackHeader::PackTitle, nullptr, "*",
         "Die Angabe \"Titel\" darf nicht nur aus einem Stern (*) bestehen"},
        {-1, &PackHeader::PackTitle, nullptr, " * ", ""},
        {-1, &PackHeader::PackRemark, nullptr, "zwei\r\nZeilen",
         "Die Angabe \"Bemerkung\" darf keinen Zeilenumbruch enthalten."},
        {-1, &PackHeader::PackRemark, nullptr, std::string(MaxPackFileBytes, 'x'),
         "Das Levelpack w\344re zu gro\337: h\366chstens 1024 KB sind erlaubt."},
    };
    for (const auto& c : cases) {
        PackHeader h;
        std::vector<LevelRecord> levels = makeLevels(3);
        if (c.level < 0)
            h.*c.header = c.value;
        else
            levels[static_cast<size_t>(c.level)].*c.text = c.value;
        SeededRandom random(1);
        std::string bytes = "old";
        const PackWriteResult w = packBytes(h, levels, random, bytes);
        EXPECT_EQ(w.message.substr(0, c.message.size()), c.message) << c.value.substr(0, 20);
        EXPECT_EQ(w.ok, c.message.empty());
        EXPECT_EQ(w.refused && bytes.empty(), !w.ok);
    }
    // The password is tested first; more than 101 levels are refused.
    std::vector<LevelRecord> levels = makeLevels(1);
    levels[0].Name = "\377";
    SeededRandom random(1);
    std::string bytes;
    EXPECT_EQ(packBytes({"", "", "", "", "", "\377"}, levels, random, bytes).message.find(password),
              0u);
    levels.resize(MaxLevels + 1);
    EXPECT_EQ(packBytes(PackHeader{}, levels, random, bytes).message,
              "Ein Levelpack kann h\366chstens 101 Levels enthalten.");
}

using PackFileOnDisk = lumortest::ScratchFolderTest;
using lumortest::readFile;
using lumortest::writeFile;

TEST_F(PackFileOnDisk, WritesAtomicallyAndARefusedOrFailedSaveLeavesTheOldFile) {
    const std::string path = (dir / "pack.llp").string();
    SeededRandom random(3);
    const PackHeader h = Header;
    const auto levels = makeLevels(4);
    ASSERT_TRUE(writePack(path, h, levels, random).ok);
    const std::string first = readFile(path);
    EXPECT_EQ(readPack(path).contents.levels, levels);

    // Refused saves leave the old file byte for byte: contents the file cannot hold, a
    // read-only file (also for the superuser).
    auto bad = levels;
    bad[3].Password = "\xff";
    EXPECT_TRUE(writePack(path, h, bad, random).refused);
    EXPECT_FALSE(writePack((dir / "neu.llp").string(), h, bad, random).ok);
    fs::permissions(path, fs::perms::owner_read);
    PackWriteResult w = writePack(path, h, makeLevels(1), random);
    EXPECT_TRUE(w.refused && w.message.find("schreibgesch\xfctzt") != std::string::npos);
    EXPECT_EQ(readFile(path), first);
    EXPECT_EQ(lumortest::entriesOf(dir), std::vector<std::string>{"pack.llp"})
        << "a refused save creates nothing";

    // A good save replaces the file and keeps its permissions.
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ASSERT_TRUE(writePack(path, h, makeLevels(1), random).ok);
    EXPECT_EQ(readPack(path).contents.levels.size(), 1u);
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    const std::string old = readFile(path);

    // The file system refuses to take more than a few bytes (works even for root).
    struct rlimit saved {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 1000;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    w = writePack(path, Header, makeLevels(5), random);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_TRUE(!w.ok && !w.refused);
    EXPECT_NE(w.message.find("nicht gespeichert"), std::string::npos);
    EXPECT_EQ(readFile(path), old);
    EXPECT_EQ(lumortest::entriesOf(dir), std::vector<std::string>{"pack.llp"})
        << "no temporary file stays";
}

TEST_F(PackFileOnDisk, ReadersRefuseWhatIsNoSoundPackAndThePreviewReadsTwoLines) {
    for (Hostile hostile : lumortest::AllHostile) {  // without waiting or reading them whole
        const std::string path = (dir / std::to_string(static_cast<int>(hostile))).string();
        ASSERT_TRUE(lumortest::makeHostile(hostile, path));
        EXPECT_EQ(readPack(path).message, PackDamagedMessage) << nameOf(hostile);
        EXPECT_FALSE(readPackHeader(path).ok) << nameOf(hostile);
    }
    const PackReadResult r = readPack((dir / "fehlt.llp").string());
    EXPECT_TRUE(!r.ok && r.unreadable && r.message == PackDamagedMessage);

    // The preview reads lines 2 and 6, trimmed; the rest of the file does not matter.
    const std::string p = (dir / "p.llp").string();
    writeFile(p, "V\n Anna \nr\ne\nl\n  Mein Pack \r\npw\n*\n*\n12345\n");
    const PackHeaderPreview preview = readPackHeader(p);
    EXPECT_TRUE(preview.ok && preview.author == "Anna" && preview.title == "Mein Pack");
    Pack pack;
    pack.levels.assign(makeLevels(3));
    std::string finalMessage = "alt";
    EXPECT_FALSE(loadPackInto(p, pack, finalMessage).ok);
    EXPECT_TRUE(pack.levels.count() == 3 && finalMessage == "alt") << "a refused pack leaves them";
}
