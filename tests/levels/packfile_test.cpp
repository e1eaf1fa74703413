#include "app/random.h"
#include "levels/packfile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include <csignal>
#include <stdexcept>

#include <sys/resource.h>
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
size_t cellLine(size_t level, int x, int y) { return blockLine(level, 4 + 12 * static_cast<size_t>(x) + static_cast<size_t>(y)); }

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

TEST(PackFile, ReaderIgnoresFormatLineAndFillersButNotTheContents) {
    const PackHeader h = makeHeader();
    const auto levels = makeLevels(3);
    const std::string good = bytesOf(h, levels);
    ASSERT_TRUE(readPackFromBytes(good).ok);

    EXPECT_TRUE(readPackFromBytes(withLine(good, 0, "Irgendein anderes Format")).ok);
    EXPECT_TRUE(readPackFromBytes(withLine(good, 0, "*x")).ok);

    // Level 2's name "Level 2" is stored with fillers at 2, 5 and 7.
    std::string name = splitLines(good)[blockLine(1, 2)];
    name[5] = name[5] == 'A' ? 'B' : 'A';
    const PackReadResult fillerChanged = readPackFromBytes(withLine(good, blockLine(1, 2), name));
    ASSERT_TRUE(fillerChanged.ok);
    EXPECT_EQ(fillerChanged.contents.levels, levels);

    // A real character of the name. The weight (3c div 7 + 1) does not tell every code from
    // its neighbour ("e" and "f" weigh alike), so change it by 3: a different weight.
    name[4] = static_cast<char>(name[4] + 3);
    const PackReadResult nameChanged = readPackFromBytes(withLine(good, blockLine(1, 2), name));
    EXPECT_FALSE(nameChanged.ok);
    EXPECT_FALSE(nameChanged.unreadable);
    EXPECT_EQ(nameChanged.message, "Levelpack besch\xe4" "digt!");
    EXPECT_TRUE(nameChanged.contents.levels.empty());

    EXPECT_FALSE(readPackFromBytes(withLine(good, cellLine(2, 7, 3), " 12345")).ok);
    EXPECT_FALSE(readPackFromBytes(withLine(good, blockLine(0, 259), " 1")).ok) << "stock 15";
    EXPECT_FALSE(readPackFromBytes(withLine(good, 1, "J\xf6rg Mueller")).ok) << "author";
    EXPECT_FALSE(readPackFromBytes(withLine(good, splitLines(good).size() - 1, "1")).ok) << "checksum";
}

TEST(PackFile, SeparatorsBlanksAndNumberLinesAreReadLeniently) {
    PackHeader h;
    std::vector<LevelRecord> levels = makeLevels(2);
    levels[0].cell(4, 4) = 0;
    levels[0].cell(4, 5) = 12;
    const std::string good = bytesOf(h, levels);
    auto lines = splitLines(good);
    lines[blockLine(0, 1)] = "     ";
    lines[blockLine(1, 1)] = "";                       // any line but "*" opens a level
    lines[cellLine(0, 4, 4)] = "Sand";                  // not a number: 0
    lines[cellLine(0, 4, 5)] = " \t 12 Steine";         // the number at the start counts
    lines[blockLine(2, 1)] = "  *   ";                  // "*" with blanks ends the levels
    PackReadResult r = readPackFromBytes(joinLines(lines));
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.contents.levels, levels);

    // LF-only line ends read alike.
    r = readPackFromBytes(joinLines(splitLines(good), "\n"));
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.contents.levels, levels);

    // Extra header lines before "*" are skipped; a header may also end early.
    lines = splitLines(good);
    lines.insert(lines.begin() + 7, "noch eine Zeile");
    EXPECT_TRUE(readPackFromBytes(joinLines(lines)).ok);
    PackHeader authorOnly;
    authorOnly.PackAuthor = "Autor";
    const PackReadResult shortHeader = readPackFromBytes(
        "Format\r\nAutor\r\n*\r\n*\r\n" + std::to_string(PackChecksum(authorOnly, {})) + "\r\n");
    ASSERT_TRUE(shortHeader.ok);
    EXPECT_EQ(shortHeader.contents.header.PackAuthor, "Autor");
    EXPECT_EQ(shortHeader.contents.header.PackTitle, "");
}

TEST(PackFile, DamagedFilesAreRefusedWithoutReadingPastTheirEnd) {
    const std::string good = bytesOf(makeHeader(), makeLevels(2));
    const auto lines = splitLines(good);
    auto refused = [](const std::string& bytes) {
        const PackReadResult r = readPackFromBytes(bytes);
        return !r.ok && r.message == PackDamagedMessage && r.contents.levels.empty();
    };
    EXPECT_TRUE(refused(""));
    // Cut after every line short of the checksum, and in the middle of the last lines.
    for (size_t n = 0; n + 1 < lines.size(); ++n) {
        std::vector<std::string> head(lines.begin(), lines.begin() + static_cast<long>(n));
        ASSERT_TRUE(refused(joinLines(head))) << "cut after " << n << " lines";
    }
    EXPECT_TRUE(refused(good.substr(0, good.size() - 5)));

    // Numbers outside the 16-bit range, even when the checksum agrees.
    LevelRecord l;
    l.cell(0, 0) = 32767;
    std::string one = bytesOf(PackHeader{}, {l});
    EXPECT_TRUE(readPackFromBytes(one).ok);
    auto big = splitLines(one);
    big[cellLine(0, 0, 0)] = " 32768";
    big.back() = "32768";
    EXPECT_TRUE(refused(joinLines(big)));
    big[cellLine(0, 0, 0)] = "-32769";
    big.back() = "-32769";
    EXPECT_TRUE(refused(joinLines(big)));
    big[cellLine(0, 0, 0)] = "99999999999999999999999999";
    EXPECT_TRUE(refused(joinLines(big)));
    big[cellLine(0, 0, 0)] = "-32768";
    big.back() = "-32768";
    EXPECT_TRUE(readPackFromBytes(joinLines(big)).ok);

    // A scrambled line that ends where a filler is expected ("ab" stored as "bd" plus a filler).
    auto filler = splitLines(bytesOf(PackHeader{}, {l}));
    filler[blockLine(0, 2)] = "bdX";
    filler.back() = "32767";
    EXPECT_TRUE(refused(joinLines(filler)));
    filler[blockLine(0, 2)] = "bdXf";
    filler.back() = std::to_string(32767 + 128);
    EXPECT_TRUE(readPackFromBytes(joinLines(filler)).ok) << "the same name with its character: sound";

    // A password line (header line 7) ending at a filler.
    auto pw = splitLines(one);
    pw[6] = "bd!";
    EXPECT_TRUE(refused(joinLines(pw)));
}

TEST(PackFile, MoreThan101LevelsAreRefused) {
    auto levels = makeLevels(MaxLevels);
    const std::string full = bytesOf(PackHeader{}, levels);
    ASSERT_TRUE(readPackFromBytes(full).ok);
    // Append a 102nd block by hand and fix the checksum, so only the count is wrong.
    auto lines = splitLines(full);
    const std::vector<std::string> block(lines.begin() + static_cast<long>(blockLine(0, 1)),
                                         lines.begin() + static_cast<long>(blockLine(1, 1)));
    lines.insert(lines.end() - 2, block.begin(), block.end());
    levels.push_back(levels[0]);
    lines.back() = std::to_string(PackChecksum(PackHeader{}, levels));
    const PackReadResult r = readPackFromBytes(joinLines(lines));
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.message, PackDamagedMessage);

    SeededRandom random(1);
    std::string bytes;
    const PackWriteResult w = packBytes(PackHeader{}, levels, random, bytes);
    EXPECT_FALSE(w.ok);
    EXPECT_TRUE(w.refused);
}

TEST(PackFile, WriterRefusesTextsTheFileCannotHold) {
    auto refusal = [](const PackHeader& h, const std::vector<LevelRecord>& levels) {
        SeededRandom random(1);
        std::string bytes = "old";
        const PackWriteResult w = packBytes(h, levels, random, bytes);
        EXPECT_FALSE(w.ok);
        EXPECT_TRUE(w.refused);
        EXPECT_TRUE(bytes.empty());
        return w.message;
    };
    PackHeader h;
    std::vector<LevelRecord> levels = makeLevels(3);

    levels[1].Name = "\xfe" "Name";
    SeededRandom random(1);
    std::string bytes;
    ASSERT_TRUE(packBytes(h, levels, random, bytes).ok) << "code 254 at position 1 fits";
    levels[1].Name = "\xff" "Name";
    EXPECT_EQ(refusal(h, levels),
              "Der Name des 2. Levels (\xff" "Name) ist nicht kompaktibel. Bitte suchen sie sich ein anderen aus.");
    levels[1].Name = "Zwei";
    levels[2].Password = "ab\xfd";
    EXPECT_EQ(refusal(h, levels),
              "Das Passwort des 3. Levels (Level 3) ist nicht kompaktibel. Bitte suchen sie sich ein anderes aus.");
    levels[0].Name = "*";
    EXPECT_NE(refusal(h, levels).find("1. Levels"), std::string::npos) << "\"*\" is the end marker's name";
    levels = makeLevels(3);

    const std::string pwMessage = "Passwort ist nicht kompaktibel. Bitte suchen sie sich ein anderes.";
    h.PackPassword = "\xff";
    levels[0].Name = "\xff";
    EXPECT_EQ(refusal(h, levels), pwMessage) << "the password is tested first";
    levels = makeLevels(3);
    h.PackPassword = ")";  // stored as "*", which would end the header
    EXPECT_EQ(refusal(h, levels), pwMessage);
    h.PackPassword = "\x0c";  // 12 + 1: stored as CR
    EXPECT_EQ(refusal(h, levels), pwMessage);
    h.PackPassword = "))";
    ASSERT_TRUE(packBytes(h, levels, random, bytes).ok);

    h = PackHeader{};
    h.PackTitle = "*";
    EXPECT_NE(refusal(h, levels).find("\"Titel\""), std::string::npos);
    h.PackTitle = " * ";
    ASSERT_TRUE(packBytes(h, levels, random, bytes).ok);
    const PackReadResult r = readPackFromBytes(bytes);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.contents.header.PackTitle, " * ");
    h.PackRemark = "zwei\r\nZeilen";
    EXPECT_NE(refusal(h, levels).find("Zeilenumbruch"), std::string::npos);
    h.PackRemark = "";
    levels[2].Name = "x\x09";  // 9 + 2 = 11: no line break
    ASSERT_TRUE(packBytes(h, levels, random, bytes).ok);
    levels[2].Name = "\x09";
    EXPECT_NE(refusal(h, levels).find("3. Levels"), std::string::npos) << "stored as LF";
}

namespace {

// A fresh folder under the system's temporary folder, removed afterwards.
class TempFolder {
public:
    TempFolder() {
        std::string tmpl = (fs::temp_directory_path() / "lumor-packfile-XXXXXX").string();
        if (!::mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp");
        path_ = tmpl;
    }
    ~TempFolder() {
        std::error_code ec;
        fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(path_, ec);
    }
    std::string file(const std::string& name) const { return (path_ / name).string(); }
    std::vector<std::string> entries() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(path_)) names.push_back(e.path().filename().string());
        return names;
    }
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

}  // namespace

TEST(PackFileOnDisk, WritesReadsAndReplacesAtomically) {
    TempFolder dir;
    const std::string path = dir.file("pack.llp");
    SeededRandom random(3);
    const PackHeader h = makeHeader();
    const auto levels = makeLevels(4);
    ASSERT_TRUE(writePack(path, h, levels, random).ok);
    const std::string first = readFile(path);
    PackReadResult r = readPack(path);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.contents.header, h);
    EXPECT_EQ(r.contents.levels, levels);

    // A refused save leaves the old file byte for byte and no stray file beside it.
    auto bad = levels;
    bad[3].Password = "\xff";
    const PackWriteResult refused = writePack(path, h, bad, random);
    EXPECT_FALSE(refused.ok);
    EXPECT_TRUE(refused.refused);
    EXPECT_EQ(readFile(path), first);
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"pack.llp"});
    EXPECT_FALSE(writePack(dir.file("neu.llp"), h, bad, random).ok);
    EXPECT_FALSE(fs::exists(dir.file("neu.llp"))) << "a refused save creates nothing";

    // A good save replaces the file and keeps its permissions.
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ASSERT_TRUE(writePack(path, h, makeLevels(1), random).ok);
    EXPECT_EQ(readPack(path).contents.levels.size(), 1u);
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"pack.llp"});
}

TEST(PackFileOnDisk, AFailedWriteLeavesTheOldFile) {
    TempFolder dir;
    const std::string path = dir.file("pack.llp");
    SeededRandom random(3);
    ASSERT_TRUE(writePack(path, makeHeader(), makeLevels(1), random).ok);
    const std::string old = readFile(path);

    // The file system refuses to take more than a few bytes (works even for root).
    struct rlimit saved {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 1000;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const PackWriteResult w = writePack(path, makeHeader(), makeLevels(5), random);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(w.ok);
    EXPECT_FALSE(w.refused);
    EXPECT_NE(w.message.find("nicht gespeichert"), std::string::npos);
    EXPECT_EQ(readFile(path), old);
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"pack.llp"}) << "the temporary file is removed";

    // A folder that does not exist, and a read-only folder.
    EXPECT_FALSE(writePack(dir.file("fehlt/pack.llp"), PackHeader{}, {}, random).ok);
    if (::geteuid() != 0) {
        fs::permissions(dir.path(), fs::perms::owner_read | fs::perms::owner_exec);
        EXPECT_FALSE(writePack(path, PackHeader{}, {}, random).ok);
        fs::permissions(dir.path(), fs::perms::owner_all);
        EXPECT_EQ(readFile(path), old);
    }
}

TEST(PackFileOnDisk, UnreadableFilesAndHeaderPreview) {
    TempFolder dir;
    PackReadResult r = readPack(dir.file("fehlt.llp"));
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.unreadable);
    EXPECT_EQ(r.message, PackDamagedMessage);
    r = readPack(dir.path().string());
    EXPECT_FALSE(r.ok) << "a folder is no pack";
    EXPECT_TRUE(r.unreadable);

    EXPECT_FALSE(readPackHeader(dir.file("fehlt.llp")).ok);
    writeFile(dir.file("kurz.llp"), "x\r\n  Autorin  \r\n");
    PackHeaderPreview p = readPackHeader(dir.file("kurz.llp"));
    EXPECT_TRUE(p.ok);
    EXPECT_EQ(p.author, "Autorin");
    EXPECT_EQ(p.title, "");
    // Lines 2 and 6, trimmed; the checksum does not matter here.
    writeFile(dir.file("p.llp"), "V\n Anna \nr\ne\nl\n  Mein Pack \r\npw\n*\n*\n12345\n");
    p = readPackHeader(dir.file("p.llp"));
    EXPECT_EQ(p.author, "Anna");
    EXPECT_EQ(p.title, "Mein Pack");
}

TEST(PackFileOnDisk, LoadingForPlaySetsListHeaderAndFinalMessage) {
    TempFolder dir;
    SeededRandom random(5);
    PackHeader h = makeHeader();
    ASSERT_TRUE(writePack(dir.file("a.llp"), h, makeLevels(10), random).ok);
    h.PackEndMessage = "";
    ASSERT_TRUE(writePack(dir.file("b.llp"), h, makeLevels(3), random).ok);
    writeFile(dir.file("kaputt.llp"), "nur Unsinn\r\n");

    Pack pack;
    std::string finalMessage = "alt";
    ASSERT_TRUE(loadPackInto(dir.file("a.llp"), pack, finalMessage).ok);
    EXPECT_EQ(pack.levels.count(), 10);
    EXPECT_EQ(finalMessage, makeHeader().PackEndMessage);
    ASSERT_TRUE(loadPackInto(dir.file("b.llp"), pack, finalMessage).ok);
    EXPECT_EQ(pack.levels.count(), 3);
    EXPECT_EQ(finalMessage, DefaultFinalMessage);
    EXPECT_EQ(pack.levels.findByPassword("pw2"), 2);
    EXPECT_FALSE(pack.levels.findByPassword("pw5").has_value());

    EXPECT_FALSE(loadPackInto(dir.file("kaputt.llp"), pack, finalMessage).ok);
    EXPECT_EQ(pack.header, PackHeader{});
    EXPECT_EQ(pack.levels.count(), 3) << "a refused pack leaves the list alone";
}
