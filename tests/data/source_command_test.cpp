// lumor-pack compile and decompile through the real executable.
#include "support/tool_runner.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using lumortest::readFile;
using lumortest::ToolResult;
using lumortest::writeFile;

class SourceCommand : public lumortest::ScratchFolderTest {
protected:
    ToolResult pack(const std::string& args) { return lumortest::runLumorPackLine(args, dir); }
    std::string at(const char* name) const { return (dir / name).string(); }
};

TEST_F(SourceCommand, ShippedSourcesCompileAndDecompileToTheSameLevelsAndRefusalsSayWhere) {
    const std::string source = std::string(LUMOR_SOURCE_DIR) + "/data/packs/1_Einstieg.lls";
    ToolResult r = pack("compile " + source + " " + at("a.llp"));
    ASSERT_EQ(r.exit, 0) << r.err;
    const ToolResult decompiled = pack("decompile " + at("a.llp"));
    ASSERT_EQ(decompiled.exit, 0) << decompiled.err;
    writeFile(dir / "back.lls", decompiled.out);
    r = pack("compile " + at("back.lls") + " " + at("b.llp"));
    ASSERT_EQ(r.exit, 0) << r.err;
    // The same fixed filler seed: the same levels give the same bytes.
    EXPECT_EQ(readFile(dir / "a.llp"), readFile(dir / "b.llp"));
    EXPECT_NE(decompiled.out.find("Level: Erstes Licht\nPasswort: FUNKE\n"), std::string::npos);
    EXPECT_EQ(decompiled.out.find("\nBestwert:"), std::string::npos)
        << "a pack holds no recorded best values";

    // Refusals say where, and touch no file.
    std::string level = "Lumor-Levelquelle 1\nLevel: \xc3\xbf\nVorrat: 0\nBrett:\n";
    for (int y = 0; y < 12; ++y) level += "....................\n";
    const struct {
        std::string source, message;
    } cases[] = {{"Lumor-Levelquelle 1\nTitel: x\nLevel: Eins\nVorrat: 1 | Q 1\n",
                  "Zeile 4: erwartet wird \"Stein Anzahl\""},
                 {level, "nicht kompaktibel"}};  // "ÿ": code + position above 255
    for (const auto& c : cases) {
        writeFile(dir / "bad.lls", c.source);
        r = pack("compile " + at("bad.lls") + " " + at("bad.llp"));
        EXPECT_EQ(r.exit, 1);
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_FALSE(std::filesystem::exists(dir / "bad.llp"));
    }
    EXPECT_EQ(pack("compile " + at("missing.lls") + " " + at("x.llp")).exit, 2);
    EXPECT_EQ(pack("decompile " + at("missing.llp")).exit, 2);
    EXPECT_EQ(pack("compile onlyone").exit, 2);
}

}  // namespace
