// Every level the game ships compiles into a sound pack and fits the game. That the bare
// board does not win and the recorded solution is a best one is the ShippedPacks.Lint
// entry's part (lumor-pack lint --strict), whose beam check agrees with the board window's.
#include "app/random.h"
#include "levels/cp1252.h"
#include "levels/levelsource.h"
#include "levels/packfile.h"
#include "play/cells.h"

#include "support/scratch.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

using namespace lumor;
namespace fs = std::filesystem;

namespace {

struct ShippedPack {
    std::string file;  // the source file's name
    LevelSource source;
};

std::vector<ShippedPack> loadShippedPacks() {
    std::vector<ShippedPack> packs;
    const fs::path folder = fs::path(LUMOR_SOURCE_DIR) / "data" / "packs";
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().extension() == ".lls") files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    for (const auto& path : files) {
        const LevelSourceResult r = parseLevelSource(lumortest::readFile(path));
        EXPECT_TRUE(r.ok) << path << ": " << r.error;
        if (r.ok) packs.push_back({path.filename().string(), r.source});
    }
    return packs;
}

const std::vector<ShippedPack>& shippedPacks() {
    static const std::vector<ShippedPack> packs = loadShippedPacks();
    return packs;
}

std::string where(const ShippedPack& pack, const SourceLevel& level) {
    return pack.file + ":" + std::to_string(level.line) + " (" + cp1252::toUtf8(level.record.Name) +
           ")";
}

}  // namespace

TEST(ShippedPacks, CompileIntoPacksThatVerifyAndMatchTheProgramFolder) {
    for (const auto& pack : shippedPacks()) {
        SeededRandom random(1252);
        std::string bytes;
        const PackWriteResult w =
            packBytes(pack.source.header, pack.source.records(), random, bytes);
        ASSERT_TRUE(w.ok) << pack.file << ": " << cp1252::toUtf8(w.message);
        const PackReadResult r = readPackFromBytes(bytes);
        ASSERT_TRUE(r.ok) << pack.file;
        EXPECT_TRUE(r.contents.header == pack.source.header) << pack.file;
        EXPECT_TRUE(r.contents.levels == pack.source.records()) << pack.file;

        // The build compiles each source into the program folder under the same name.
        const fs::path built =
            fs::path(LUMOR_PROGRAM_DIR) / fs::path(pack.file).replace_extension(".llp");
        if (!fs::exists(built)) continue;  // content not assembled in this build tree
        const PackReadResult shipped = readPack(built.string());
        ASSERT_TRUE(shipped.ok) << built;
        EXPECT_TRUE(shipped.contents.levels == pack.source.records() &&
                    shipped.contents.header == pack.source.header)
            << built << " differs from its source: rebuild the target lumor_data";
    }
}

// Three packs of 25, 15 and at least 15 levels, with titles, remarks and end messages; names
// that fit the board; passwords by one rule (a word of 5 to 12 plain capitals, umlauts
// written out) that differ across all packs; framed boards with stars, sources and
// targets, and a total the slots can use up.
TEST(ShippedPacks, ContentFitsTheGame) {
    const auto& packs = shippedPacks();
    ASSERT_EQ(packs.size(), 3u);
    EXPECT_EQ(packs[0].source.levels.size(), 25u);
    EXPECT_EQ(packs[1].source.levels.size(), 15u);
    EXPECT_GE(packs[2].source.levels.size(), 15u);
    std::set<std::string> passwords;
    for (const auto& pack : packs) {
        const PackHeader& h = pack.source.header;
        EXPECT_FALSE(h.PackTitle.empty() || h.PackRemark.empty() || h.PackEndMessage.empty());
        for (const auto& level : pack.source.levels) {
            const std::string at = where(pack, level);
            const LevelRecord& r = level.record;
            // At 8 points a character is at most about 8 pixels wide: 40 fit the board.
            EXPECT_TRUE(r.Name.size() >= 3 && r.Name.size() <= 40) << at;
            EXPECT_TRUE(r.Password.size() >= 5 && r.Password.size() <= 12) << at;
            for (unsigned char c : r.Password) EXPECT_TRUE(c >= 'A' && c <= 'Z') << at;
            EXPECT_TRUE(passwords.insert(r.Password).second) << at << ": password used twice";
            int stars = 0, sources = 0, targets = 0, slots = 0;
            for (int y = 0; y < BoardHeight; ++y)
                for (int x = 0; x < BoardWidth; ++x) {
                    const int c = r.cell(x, y);
                    EXPECT_TRUE(c >= 0 && c < TileCount) << at << " at " << x << "," << y;
                    stars += isDecoration(c);
                    sources += isSource(c);
                    targets += isTarget(c);
                    const bool edge =
                        x == 0 || y == 0 || x == BoardWidth - 1 || y == BoardHeight - 1;
                    EXPECT_TRUE(!edge || c != Empty)
                        << at << ": the frame is open at " << x << "," << y;
                }
            EXPECT_TRUE(stars >= 2 && sources >= 1 && targets >= 1) << at;
            for (int k = SlotCount + 1; k < StockEntries; ++k)
                EXPECT_EQ(r.Stock[static_cast<size_t>(k)], 0) << at;
            for (int s = 1; s <= SlotCount; ++s) slots += r.Stock[static_cast<size_t>(s)];
            EXPECT_TRUE(r.Stock[0] > 0 && r.Stock[0] <= slots)
                << at << ": the total can be used up";
        }
    }
}
