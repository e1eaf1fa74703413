#include "title/titlesetup.h"

#include <gtest/gtest.h>

using namespace lumor;

TEST(TitleSetup, ChoicesComeFromConfigOnAWritableFolderStayInTheirListsAndSkipDamagedPacks) {
    Config current{5, 6, false, {}};
    const auto read = [](const char* text) { return [text](Config& c) { parseConfig(text, c); }; };
    EXPECT_EQ(startChoices(current, true, read("1\r\n1\r\n"), 3, 2), (Config{1, 1, false, {}}))
        << "what the file leaves out stays as it was";
    EXPECT_EQ(startChoices(current, true, {}, 3, 2).PackIndex, 0) << "no file: the first pack";
    EXPECT_EQ(startChoices(current, true, read("3\r\n-1\r\n"), 3, 2), (Config{0, 0, false, {}}));
    EXPECT_EQ(startChoices({2, 1, true, {}}, false, read("0\r\n0\r\n"), 3, 2),
              (Config{2, 1, true, {}}))
        << "a read-only folder reads nothing";

    // A damaged pack gives way to the first sound one.
    std::vector<int> tried;
    const auto loads = [&](int i) { return tried.push_back(i), i >= 2; };
    EXPECT_EQ(fallbackPack(4, 2, loads), 3);
    EXPECT_EQ(tried, (std::vector<int>{0, 1, 3}));
    EXPECT_EQ(fallbackPack(3, 0, [](int i) { return i == 0; }), std::nullopt);
}

TEST(TitleSetup, PasswordsAreReadInUpperCaseWithTheSolverPrefixTakenOff) {
    const struct {
        const char* typed;
        const char* password;
        bool solver;
    } cases[] = {{"gamma", "GAMMA", false},
                 {"\xa4"
                  "b\xe4r",
                  "B\xc4R", true},
                 {"\xa4", "", true},
                 {"x\xa4", "X\xa4", false},
                 {"", "", false}};
    for (const auto& c : cases) {
        const PasswordAnswer a = readPasswordAnswer(c.typed);
        EXPECT_EQ(a.password, c.password) << c.typed;
        EXPECT_EQ(a.solverRequest, c.solver) << c.typed;
    }
}
