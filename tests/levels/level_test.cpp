#include "levels/level.h"
#include "levels/cp1252.h"

#include <gtest/gtest.h>

using namespace lumor;

namespace {

LevelRecord level(const std::string& name, const std::string& password) {
    LevelRecord r;
    r.Name = name;
    r.Password = password;
    return r;
}

}  // namespace

TEST(Levels, EndMarkerCountsLevelsAndStopsWalksAfterAShorterPack) {
    Levels list;
    EXPECT_EQ(list.count(), 0);
    std::vector<LevelRecord> ten;
    for (int i = 0; i < 10; ++i)
        ten.push_back(level("L" + std::to_string(i), "P" + std::to_string(i)));
    list.assign(ten);
    EXPECT_EQ(list.count(), 10);
    list.assign({level("a", "A"), level("b", "B"), level("c", "C")});
    EXPECT_EQ(list.count(), 3);
    EXPECT_EQ(list.toVector().size(), 3u);
    EXPECT_FALSE(list.findByPassword("P5").has_value())
        << "records behind the marker are never looked at";
}

TEST(Levels, HoldsAtMost101Levels) {
    Levels list;
    std::vector<LevelRecord> many(101, level("x", ""));
    list.assign(many);
    EXPECT_EQ(list.count(), 101);
    many.push_back(level("y", ""));
    EXPECT_THROW(list.assign(many), std::out_of_range);
}

TEST(Levels, PasswordSearchIgnoresCaseIncludingUmlautsAndPrefersTheLowerIndex) {
    Levels list;
    list.assign({level("one", ""),
                 level("two",
                       "M\xc4"
                       "DCHEN"),
                 level("three",
                       "m\xe4"
                       "dchen"),
                 level("four",
                       "Stra\xdf"
                       "e")});
    EXPECT_EQ(list.findByPassword("m\xe4"
                                  "dchen"),
              1);
    EXPECT_EQ(list.findByPassword("STRA\xdf"
                                  "E"),
              3);
    EXPECT_FALSE(list.findByPassword("").has_value())
        << "an empty entry finds nothing, not the level without password";
    EXPECT_FALSE(list.findByPassword("nix").has_value());
}

TEST(Cp1252, RoundTripsThroughUtf8AndRefusesWhatItCannotHold) {
    std::string all;
    for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
    const auto back = cp1252::fromUtf8(cp1252::toUtf8(all));
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(*back, all);
    EXPECT_EQ(cp1252::toUtf8("\x80"), "\xe2\x82\xac");             // euro sign, not a C1 control
    EXPECT_EQ(cp1252::fromUtf8("\xc3\xa4"), std::string("\xe4"));  // ä
    EXPECT_FALSE(cp1252::fromUtf8("\xe2\x88\x9e").has_value());    // ∞ has no byte
    EXPECT_FALSE(cp1252::fromUtf8("\xc3").has_value());            // truncated sequence
}
