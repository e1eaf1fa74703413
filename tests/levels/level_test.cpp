#include "levels/level.h"
#include "levels/cp1252.h"

#include <gtest/gtest.h>

using namespace lumor;

namespace {

std::vector<LevelRecord> levels(std::initializer_list<const char*> passwords) {
    std::vector<LevelRecord> list;
    for (const char* p : passwords) list.emplace_back().Password = p;
    return list;
}

}  // namespace

TEST(Levels, EndMarkerCountsLevelsAndStopsWalksAfterAShorterPack) {
    Levels list;
    EXPECT_EQ(list.count(), 0);
    list.assign(levels({"P0", "P1", "P2", "P3", "P4", "P5"}));
    list.assign(levels({"A", "B", "C"}));
    EXPECT_TRUE(list.count() == 3 && list.toVector().size() == 3u);
    EXPECT_FALSE(list.findByPassword("P5").has_value())
        << "records behind the marker are never looked at";
    list.assign(std::vector<LevelRecord>(MaxLevels));
    EXPECT_EQ(list.count(), 101);
    EXPECT_THROW(list.assign(std::vector<LevelRecord>(MaxLevels + 1)), std::out_of_range);
}

TEST(Levels, PasswordSearchIgnoresCaseIncludingUmlautsAndPrefersTheLowerIndex) {
    Levels list;
    list.assign(levels({"", "M\304DCHEN", "m\344dchen", "Stra\337e"}));  // Windows-1252
    EXPECT_EQ(list.findByPassword("m\344dchen"), 1);
    EXPECT_EQ(list.findByPassword("STRA\337E"), 3);
    EXPECT_FALSE(list.findByPassword("").has_value())
        << "an empty entry finds nothing, not the level without password";
    EXPECT_FALSE(list.findByPassword("nix").has_value());
}

TEST(Cp1252, RoundTripsThroughUtf8AndRefusesWhatItCannotHold) {
    std::string all;
    for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
    EXPECT_EQ(cp1252::fromUtf8(cp1252::toUtf8(all)), all);
    EXPECT_EQ(cp1252::toUtf8("\x80"), "\xe2\x82\xac");             // euro sign, not a C1 control
    EXPECT_EQ(cp1252::fromUtf8("\xc3\xa4"), std::string("\xe4"));  // ä
    EXPECT_FALSE(cp1252::fromUtf8("\xe2\x88\x9e").has_value());    // ∞ has no byte
    EXPECT_FALSE(cp1252::fromUtf8("\xc3").has_value());            // truncated sequence
}
