#include "support/tool_runner.h"

#include <gtest/gtest.h>

namespace {

using lumortest::ToolResult;

class GenerateCommand : public lumortest::ScratchFolderTest {
protected:
    ToolResult run(const std::vector<std::string>& args) {
        return lumortest::runLumorPack(args, dir);
    }
};

}  // namespace

TEST_F(GenerateCommand, ASeedAloneMakesALevelThatKeepsTheStrictRules) {
    const std::string a = (dir / "a.lls").string(), b = (dir / "b.lls").string();
    const ToolResult made = run({"generate", "--seed", "7", a});
    ASSERT_EQ(made.exit, 0) << made.err;
    const ToolResult lint = run({"lint", "--strict", a});
    EXPECT_EQ(lint.exit, 0) << lint.out << lint.err;
    EXPECT_NE(lumortest::readFile(a).find("L\u00f6sung: "), std::string::npos);
    // The same seed writes the same bytes.
    ASSERT_EQ(run({"generate", "--seed", "7", b}).exit, 0);
    EXPECT_EQ(lumortest::readFile(a), lumortest::readFile(b));
    // Every option spelled out.
    const ToolResult all = run({"generate", "--mechanik", "umlenker,kreuz", "--brett", "gaenge",
                                "--steine", "3", "--schwierigkeit", "schwer", "--seed", "2", b});
    EXPECT_EQ(all.exit, 0) << all.err;
}

TEST_F(GenerateCommand, RefusesWhatItCannotDo) {
    const std::string out = (dir / "x.lls").string();
    EXPECT_EQ(run({"generate", out}).exit, 2);                  // no seed
    EXPECT_EQ(run({"generate", "--seed", "x1", out}).exit, 2);  // not a number
    EXPECT_EQ(run({"generate", "--seed", "1"}).exit, 2);        // no file
    EXPECT_EQ(run({"generate", "--mechanik", "laser", "--seed", "1", out}).exit, 2);
    EXPECT_EQ(run({"generate", "--steine", "0", "--seed", "1", out}).exit, 2);
    // Nothing holds every promise in a single board of five kinds: refused, nothing written.
    const ToolResult none = run({"generate", "--mechanik", "umlenker,teiler,sand,kreuz,wand",
                                 "--steine", "5", "--bretter", "1", "--seed", "1", out});
    EXPECT_EQ(none.exit, 1);
    EXPECT_FALSE(std::filesystem::exists(out));
    EXPECT_EQ(run({"generate", "--seed", "1", (dir / "kein" / "x.lls").string()}).exit, 2);
    const ToolResult help = run({"generate", "--help"});
    EXPECT_EQ(help.exit, 0);
    EXPECT_NE(help.out.find("--schwierigkeit"), std::string::npos);
}
