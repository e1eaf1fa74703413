// Every level the game ships is proven here: it compiles into a sound pack, the bare
// board does not win, the recorded solution wins under the board window's rules and
// leaves the recorded number of pieces, and the fast search agrees that no solution
// leaves more. A change that makes a level easier or unsolvable fails this test.
#include "app/random.h"
#include "levels/cp1252.h"
#include "levels/levelsource.h"
#include "levels/packfile.h"
#include "play/beamrun.h"
#include "play/cells.h"
#include "solver/fastsearch.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

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
        std::ifstream in(path, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        const LevelSourceResult r = parseLevelSource(text.str());
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

// Places the pieces as a player would (empty cells only, within the stock) and plays
// the beam run to its end. Returns false with a reason when a piece cannot be placed.
bool playLevel(const LevelRecord& level, const std::vector<SourcePiece>& pieces, RunResult& result,
               std::string& why) {
    WorkingBoard board = BeamRun::boardOf(level);
    std::array<int, 9> stock{};
    for (size_t i = 0; i < stock.size(); ++i) stock[i] = level.Stock[i];
    for (const auto& p : pieces) {
        int32_t& cell = board[static_cast<size_t>(cellIndex(p.x, p.y))];
        if (cell != Empty) {
            why = "cell " + std::to_string(p.x) + "," + std::to_string(p.y) + " is not empty";
            return false;
        }
        if (stock[0] <= 0 || stock[static_cast<size_t>(p.slot)] <= 0) {
            why = "no stock left for slot " + std::to_string(p.slot);
            return false;
        }
        --stock[0];
        --stock[static_cast<size_t>(p.slot)];
        cell = codeOfSlot(p.slot);
    }
    BeamRun run;
    result = run.run(board);
    return true;
}

}  // namespace

TEST(ShippedPacks, TwoPacksOfTwentyFiveAndFifteenLevels) {
    const auto& packs = shippedPacks();
    ASSERT_GE(packs.size(), 1u);
    EXPECT_GE(packs[0].source.levels.size(), 25u) << packs[0].file;
    if (packs.size() > 1) {
        EXPECT_GE(packs[1].source.levels.size(), 15u) << packs[1].file;
    }
    for (const auto& pack : packs) {
        EXPECT_FALSE(pack.source.header.PackTitle.empty()) << pack.file;
        EXPECT_FALSE(pack.source.header.PackRemark.empty()) << pack.file;
        EXPECT_FALSE(pack.source.header.PackEndMessage.empty()) << pack.file;
    }
}

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

TEST(ShippedPacks, NamesAndPasswordsFitTheGame) {
    for (const auto& pack : shippedPacks()) {
        std::set<std::string> passwords;
        for (const auto& level : pack.source.levels) {
            const std::string at = where(pack, level);
            const LevelRecord& r = level.record;
            // At 8 points a character is at most about 8 pixels wide: 40 fit the 640-pixel board.
            EXPECT_GE(r.Name.size(), 3u) << at;
            EXPECT_LE(r.Name.size(), 40u) << at;
            EXPECT_GE(r.Password.size(), 4u) << at;
            EXPECT_EQ(cp1252::toUpper(r.Password), r.Password)
                << at << ": passwords are upper case";
            for (unsigned char c : r.Password)
                EXPECT_TRUE(c >= 'A' && c <= 'Z') << at << ": plain letters, easy to type";
            EXPECT_TRUE(passwords.insert(r.Password).second) << at << ": password used twice";
            EXPECT_NE(r.Password[0], '\xa4') << at << ": the solver prefix";
        }
    }
}

TEST(ShippedPacks, BoardsAreFramedAndDecorated) {
    for (const auto& pack : shippedPacks()) {
        for (const auto& level : pack.source.levels) {
            const std::string at = where(pack, level);
            const LevelRecord& r = level.record;
            int stars = 0, sources = 0, targets = 0;
            for (int y = 0; y < BoardHeight; ++y)
                for (int x = 0; x < BoardWidth; ++x) {
                    const int c = r.cell(x, y);
                    EXPECT_TRUE(c >= 0 && c <= 20) << at << " at " << x << "," << y;
                    stars += isDecoration(c);
                    sources += isSource(c);
                    targets += isTarget(c);
                    const bool edge =
                        x == 0 || y == 0 || x == BoardWidth - 1 || y == BoardHeight - 1;
                    if (edge) {
                        EXPECT_NE(c, Empty) << at << ": the frame is open at " << x << "," << y;
                    }
                }
            EXPECT_GE(stars, 2) << at;
            EXPECT_GE(sources, 1) << at;
            EXPECT_GE(targets, 1) << at;
            for (int k = 9; k < StockEntries; ++k)
                EXPECT_EQ(r.Stock[static_cast<size_t>(k)], 0) << at;
            int slots = 0;
            for (int s = 1; s <= SlotCount; ++s) slots += r.Stock[static_cast<size_t>(s)];
            EXPECT_GT(r.Stock[0], 0) << at;
            EXPECT_LE(r.Stock[0], slots) << at << ": the total can be used up";
        }
    }
}

TEST(ShippedPacks, BareBoardsFailAndRecordedSolutionsWin) {
    for (const auto& pack : shippedPacks()) {
        for (const auto& level : pack.source.levels) {
            const std::string at = where(pack, level);
            RunResult bare;
            std::string why;
            ASSERT_TRUE(playLevel(level.record, {}, bare, why));
            EXPECT_FALSE(bare.won()) << at << ": wins without a piece";

            ASSERT_TRUE(level.bestLeft.has_value()) << at << ": no Bestwert recorded";
            ASSERT_TRUE(level.solution.has_value()) << at << ": no Lösung recorded";
            RunResult played;
            ASSERT_TRUE(playLevel(level.record, *level.solution, played, why)) << at << ": " << why;
            EXPECT_TRUE(played.won()) << at << ": the recorded solution fails (" << played.hits
                                      << " of " << played.targets << " targets)";
            EXPECT_EQ(level.record.Stock[0] - static_cast<int>(level.solution->size()),
                      *level.bestLeft)
                << at << ": the recorded solution is not the best one";
        }
    }
}

TEST(ShippedPacks, TheFastSearchFindsNoBetterSolutionAndItsOwnWins) {
    for (const auto& pack : shippedPacks()) {
        for (const auto& level : pack.source.levels) {
            const std::string at = where(pack, level);
            const FastResult fast = fastSolve(level.record);
            ASSERT_TRUE(fast.ok) << at;
            EXPECT_EQ(fast.bestLeft, level.bestLeft.value_or(-2))
                << at << ": the recorded Bestwert no longer matches the best solution";
            std::vector<SourcePiece> pieces;
            for (const Piece& p : fast.best) pieces.push_back({p.Slot, p.X, p.Y});
            RunResult played;
            std::string why;
            if (!playLevel(level.record, pieces, played, why)) {
                ADD_FAILURE() << at << ": the search's arrangement cannot be placed: " << why;
                continue;
            }
            EXPECT_TRUE(played.won())
                << at << ": the search's arrangement does not win in the beam run";
        }
    }
}
