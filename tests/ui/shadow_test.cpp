// Strip alpha and the fade's opacity steps (the strips' places: the shadow control's test).
#include "ui/shadow.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

using namespace lumor::shadow;

namespace {

// Alpha at (x, y) of a strip picture: x across the picture, y down it.
int alphaAt(Strip strip, int length, int depth, bool rounded, int x, int y) {
    const std::vector<uint8_t> a = stripAlpha(strip, length, depth, true, rounded);
    return a.at(static_cast<size_t>(y) * (strip == Strip::Right ? depth : length) + x);
}

TEST(ShadowStrips, SoftAlphaFadesOutwardHardIsSolidAndRoundedTopsClearTheOuterCorner) {
    // {strip, length, depth, x, y, alpha}
    const std::vector<std::tuple<Strip, int, int, int, int, int>> cases = {
        // Bottom strip: darkest next to the owner, clear at the outer row and the left end;
        // the right end meets the corner and has no ramp.
        {Strip::Bottom, 50, 10, 20, 0, 229},
        {Strip::Bottom, 50, 10, 20, 9, 0},
        {Strip::Bottom, 50, 10, 5, 0, 114},
        {Strip::Bottom, 50, 10, 49, 0, 229},
        // Right strip: full next to the owner, ramps at both ends.
        {Strip::Right, 40, 10, 9, 20, 25},
        {Strip::Right, 40, 10, 0, 3, 76},
        {Strip::Right, 40, 10, 0, 37, 51},
        {Strip::Right, 5, 10, 0, 3, 25},  // shorter than both ramps: the nearer end counts
    };
    for (const auto& [strip, length, depth, x, y, alpha] : cases) {
        SCOPED_TRACE(testing::Message()
                     << int(strip) << " " << length << "x" << depth << " " << x << "," << y);
        EXPECT_EQ(alphaAt(strip, length, depth, false, x, y), alpha);
    }

    // Hard strips are solid; a rounded top clears the outer corner.
    for (Strip strip : {Strip::Right, Strip::Bottom})
        EXPECT_EQ(stripAlpha(strip, 33, 7, false, false), std::vector<uint8_t>(33 * 7, 255));
    // The outer 3, 2, 1, 1 pixels of rows 1 to 4 (row 0 is clear anyway), none below.
    for (auto [x, y, alpha] : {std::tuple{6, 1, 10}, {7, 1, 0}, {8, 2, 0}, {9, 4, 0}, {9, 5, 12}})
        EXPECT_EQ(alphaAt(Strip::Right, 40, 10, true, x, y), alpha) << x << "," << y;
    EXPECT_EQ(alphaAt(Strip::Right, 40, 3, true, 0, 1), 0);  // thinner than the rounding
}

TEST(FadeSteps, SpreadWhatIsLeftOverTheTimeLeft) {
    FadeSteps fade;
    fade.start(1000, 500);
    std::vector<int> values;
    int64_t t = 1000;
    while (fade.tick(t += FadeSteps::TickMs)) values.push_back(fade.value());
    EXPECT_EQ(t, 1480);  // the step due then would reach 0: the fade ends there
    ASSERT_EQ(values.size(), 23u);
    EXPECT_TRUE(values[0] == 245 && values[9] == 154 && values.back() == 11);
    EXPECT_EQ(fade.value(), 0);

    // A late tick spreads what is left over the time left; the last moment ends the fade
    // however little time remains.
    fade.start(0, 500);
    EXPECT_TRUE(fade.tick(20) && fade.tick(300));
    EXPECT_EQ(fade.value(), 221);  // 245 - 245 * 20 / 200
    EXPECT_FALSE(fade.tick(499));
    fade.start(0, 0);
    EXPECT_FALSE(fade.tick(0));
}

}  // namespace
