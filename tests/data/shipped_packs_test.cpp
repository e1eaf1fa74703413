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

// Four packs of 26, 15, at least 15 and at least 12 levels, with titles, remarks and end messages, each
// matching the pack the build put into the program folder; names that fit the board;
// passwords by one rule (a word of 5 to 12 plain capitals, umlauts written out) that differ
// across all packs; framed boards with stars, sources and targets, and a total the slots
// can use up.
TEST(ShippedPacks, CompileIntoPacksThatMatchTheProgramFolderAndFitTheGame) {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(fs::path(LUMOR_SOURCE_DIR) / "data" / "packs"))
        if (entry.path().extension() == ".lls") files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    ASSERT_EQ(files.size(), 4u);
    const size_t sizes[] = {26, 15, 15, 12};
    std::set<std::string> passwords;
    for (size_t p = 0; p < files.size(); ++p) {
        const std::string file = files[p].filename().string();
        const LevelSourceResult source = parseLevelSource(lumortest::readFile(files[p]));
        ASSERT_TRUE(source.ok) << file << ": " << source.error;
        const PackHeader& h = source.source.header;
        const std::vector<LevelRecord> records = source.source.records();
        EXPECT_TRUE(p >= 2 ? records.size() >= sizes[p] : records.size() == sizes[p]) << file;
        EXPECT_FALSE(h.PackTitle.empty() || h.PackRemark.empty() || h.PackEndMessage.empty());

        SeededRandom random(1252);
        std::string bytes;
        const PackWriteResult w = packBytes(h, records, random, bytes);
        ASSERT_TRUE(w.ok) << file << ": " << cp1252::toUtf8(w.message);
        const PackReadResult r = readPackFromBytes(bytes);
        EXPECT_TRUE(r.ok && r.contents.header == h && r.contents.levels == records) << file;
        // The build compiles each source into the program folder under the same name.
        const fs::path built =
            fs::path(LUMOR_PROGRAM_DIR) / fs::path(file).replace_extension(".llp");
        if (fs::exists(built)) {  // else the content is not assembled in this build tree
            const PackReadResult shipped = readPack(built.string());
            EXPECT_TRUE(shipped.ok && shipped.contents.levels == records &&
                        shipped.contents.header == h)
                << built << " differs from its source: rebuild the target lumor_data";
        }

        for (const auto& level : source.source.levels) {
            const std::string at = file + ":" + std::to_string(level.line) + " (" +
                                   cp1252::toUtf8(level.record.Name) + ")";
            const LevelRecord& l = level.record;
            // At 8 points a character is at most about 8 pixels wide: 40 fit the board.
            EXPECT_TRUE(l.Name.size() >= 3 && l.Name.size() <= 40) << at;
            EXPECT_TRUE(l.Password.size() >= 5 && l.Password.size() <= 12) << at;
            for (unsigned char c : l.Password) EXPECT_TRUE(c >= 'A' && c <= 'Z') << at;
            EXPECT_TRUE(passwords.insert(l.Password).second) << at << ": password used twice";
            int stars = 0, sources = 0, targets = 0, slots = 0;
            for (int y = 0; y < BoardHeight; ++y)
                for (int x = 0; x < BoardWidth; ++x) {
                    const int c = l.cell(x, y);
                    EXPECT_TRUE(c >= 0 && c < ElementCount) << at << " at " << x << "," << y;
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
                EXPECT_EQ(l.Stock[static_cast<size_t>(k)], 0) << at;
            for (int s = 1; s <= SlotCount; ++s) slots += l.Stock[static_cast<size_t>(s)];
            EXPECT_TRUE(l.Stock[0] > 0 && l.Stock[0] <= slots)
                << at << ": the total can be used up";
        }
    }
}
