// lumor-pack compile and decompile through the real executable.
#include "support/tool_runner.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace {

using lumortest::ToolResult;

std::string readAll(const fs::path& p) { return lumortest::readFile(p); }

class SourceCommand : public lumortest::ScratchFolderTest {
protected:
    // Runs lumor-pack; its standard error is kept in errFile as well, for the messages.
    ToolResult runPack(const std::string& args, const fs::path& errFile) {
        ToolResult r = lumortest::runLumorPackLine(args, dir);
        lumortest::writeFile(errFile, r.err);
        return r;
    }
    const fs::path& dir_ = dir;
};

}  // namespace

TEST_F(SourceCommand, ShippedSourcesCompileAndDecompileToTheSameLevels) {
    const fs::path source = fs::path(LUMOR_SOURCE_DIR) / "data" / "packs" / "1_Einstieg.lls";
    const fs::path pack = dir_ / "a.llp", again = dir_ / "b.llp", back = dir_ / "back.lls";
    const fs::path err = dir_ / "err.txt";
    ASSERT_EQ(runPack("compile " + source.string() + " " + pack.string(), err).exit, 0)
        << readAll(err);
    const ToolResult decompiled = runPack("decompile " + pack.string(), err);
    ASSERT_EQ(decompiled.exit, 0) << readAll(err);
    std::ofstream(back, std::ios::binary) << decompiled.out;
    ASSERT_EQ(runPack("compile " + back.string() + " " + again.string(), err).exit, 0)
        << readAll(err);
    // The same fixed filler seed: the same levels give the same bytes.
    EXPECT_EQ(readAll(pack), readAll(again));
    EXPECT_NE(decompiled.out.find("Level: Erstes Licht\nPasswort: FUNKE\n"), std::string::npos);
    EXPECT_EQ(decompiled.out.find("\nBestwert:"), std::string::npos)
        << "a pack holds no recorded best values";
}

TEST_F(SourceCommand, RefusalsSayWhereAndTouchNoFile) {
    const fs::path source = dir_ / "bad.lls", pack = dir_ / "bad.llp", err = dir_ / "err.txt";
    std::ofstream(source, std::ios::binary)
        << "Lumor-Levelquelle 1\nTitel: x\nLevel: Eins\nVorrat: 1 | Q 1\n";
    EXPECT_EQ(runPack("compile " + source.string() + " " + pack.string(), err).exit, 1);
    EXPECT_NE(readAll(err).find("Zeile 4: erwartet wird \"Stein Anzahl\""), std::string::npos)
        << readAll(err);
    EXPECT_FALSE(fs::exists(pack));

    // A name the pack file cannot store: code + position above 255.
    std::string level = "Lumor-Levelquelle 1\nLevel: \xc3\xbf\nVorrat: 0\nBrett:\n";
    for (int y = 0; y < 12; ++y) level += "....................\n";
    std::ofstream(source, std::ios::binary | std::ios::trunc) << level;
    EXPECT_EQ(runPack("compile " + source.string() + " " + pack.string(), err).exit, 1);
    EXPECT_NE(readAll(err).find("nicht kompaktibel"), std::string::npos) << readAll(err);
    EXPECT_FALSE(fs::exists(pack));

    EXPECT_EQ(runPack("compile " + (dir_ / "missing.lls").string() + " " + pack.string(), err).exit,
              2);
    EXPECT_EQ(runPack("decompile " + (dir_ / "missing.llp").string(), err).exit, 2);
    EXPECT_EQ(runPack("compile onlyone", err).exit, 2);
}
