// Config.cfg: its lines in each release, reading up to the first bad line, the file itself,
// and which pack links the title menu may hand on.
#include "title/config.h"
#include "title/links.h"

#include "support/edition.h"
#include "support/scratch.h"

#include <gtest/gtest.h>

using namespace lumor;

using ConfigInEachEdition = lumortest::InEachEdition<>;
LUMOR_IN_EACH_EDITION(ConfigInEachEdition);

// Eleven lines in the earlier release, which has no OptResetAfterFailure and reads no more.
TEST_P(ConfigInEachEdition, WritesALineForEachOptionOfTheEditionAndReadsThemBack) {
    Config c{2, 1, false, {}};
    c.Options.fill(true);
    c.Options[OptParticles] = false;
    const std::string eleven =
        "2\r\n1\r\n#FALSE#\r\n#TRUE#\r\n#TRUE#\r\n#TRUE#\r\n#FALSE#\r\n"
        "#TRUE#\r\n#TRUE#\r\n#TRUE#\r\n#TRUE#\r\n";
    EXPECT_EQ(formatConfig(c), earlier() ? eleven : eleven + "#TRUE#\r\n");
    Config back;
    EXPECT_EQ(parseConfig(eleven + "#FALSE#\r\n", back), earlier() ? 11 : 12);
    EXPECT_EQ(back.Options[OptResetAfterFailure], earlier());

    // Each option in its own line: a pattern no shift or swap of lines keeps.
    c = {-7, INT32_MAX, true, {true, false, false, true, true, true, false, true, false}};
    c.Options[OptResetAfterFailure] |= earlier();  // not kept there: the default stays
    back = Config{};
    EXPECT_EQ(parseConfig(formatConfig(c), back), configLineCount());
    EXPECT_EQ(back, c);
}

TEST(Config, ReadingStopsAtTheFirstBadLineAndKeepsWhatCameBefore) {
    const std::array<bool, OptionCount> all{true, true, true, true, true, true, true, true, true};
    auto withOption0Off = all;
    withOption0Off[0] = false;
    const struct {
        std::string text;
        int taken;
        Config expect;
    } cases[] = {
        {"3\r\n1\r\n", 2, {3, 1, true, all}},  // the rest keeps the defaults
        {"4\r\nzwei\r\n#FALSE#\r\n", 1, {4, 0, true, all}},
        {"4\r\n1\r\nja\r\n#FALSE#\r\n", 2, {4, 1, true, all}},
        {"2147483648\r\n1\r\n", 0, {0, 0, true, all}},  // past 32 bits
        {"-2147483648\r\n1\r\n", 2, {INT32_MIN, 1, true, all}},
        {"1.5\r\n1\r\n", 0, {0, 0, true, all}},
        {"  5 \r\n\t6\r\n #false# \r\n0\r\n-1\r\n", 5, {5, 6, false, withOption0Off}},
        {"1\n2\n#FALSE#", 3, {1, 2, false, all}},  // LF ends and no last line end
        {formatConfig(Config{}) + "#FALSE#\r\nrubbish\r\n", configLineCount(), Config{}},
    };
    for (const auto& k : cases) {
        Config c;
        EXPECT_EQ(parseConfig(k.text, c), k.taken) << k.text;
        EXPECT_EQ(c, k.expect) << k.text;
    }
}

using ConfigFile = lumortest::ScratchFolderTest;

TEST_F(ConfigFile, OnlyASmallRegularFileIsReadAndAReadOnlyOneStays) {
    const std::string path = (dir / "Config.cfg").string();
    const Config c{3, 1, false, {}};
    ASSERT_TRUE(saveConfigFile(path, c));
    Config back;
    ASSERT_TRUE(readConfigFile(path, back));
    EXPECT_EQ(back, c);

    // What else may lie under a name is the file readers' test; here: the defaults stand.
    lumortest::writeFile(dir / "gross.cfg", "1\r\n" + std::string(MaxConfigFileBytes, ' '));
    back = Config{};
    EXPECT_FALSE(readConfigFile((dir / "gross.cfg").string(), back));
    EXPECT_EQ(back, Config{});
    EXPECT_FALSE(saveConfigFile(dir.string(), c));
    std::filesystem::permissions(path, std::filesystem::perms::owner_read);
    EXPECT_FALSE(saveConfigFile(path, Config{}));
    EXPECT_EQ(lumortest::readFile(path), formatConfig(c));
    // A link is read, but never written through.
    const std::string link = (dir / "Link.cfg").string();
    std::filesystem::permissions(path, std::filesystem::perms::owner_all);
    std::filesystem::create_symlink(path, link);
    EXPECT_TRUE(readConfigFile(link, back));
    EXPECT_FALSE(saveConfigFile(link, Config{}));
    EXPECT_EQ(lumortest::readFile(path), formatConfig(c));
}

TEST(PackLink, OnlyWebAndMailAddressesAreHandedOn) {
    for (const char* ok : {"http://lumor.example.org/", "HTTPS://example.org/levels?a=1",
                           "mailto:someone@example.org", "https://example.org/page.exe.html"})
        EXPECT_TRUE(packLinkMayOpen(ok)) << ok;
    for (const char* refused :
         {"", "www.example.org", "calc.exe", "file:///bin/sh", "C:\\Windows\\system32\\cmd.exe",
          "javascript:alert(1)", "http://", "mailto:", " https://example.org",
          "https://example.org/x y", "https://example.org/\r\nx", "https://example.org/setup.EXE",
          "ftp://example.org", "http:/example.org"})
        EXPECT_FALSE(packLinkMayOpen(refused)) << refused;
}
