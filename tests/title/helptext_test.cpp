#include "title/helptext.h"

#include <gtest/gtest.h>

using namespace lumor;

namespace {

std::vector<TypeStep> run(HelpTyper& typer, int frames) {
    std::vector<TypeStep> steps;
    for (int i = 0; i < frames; ++i) steps.push_back(typer.frame());
    return steps;
}

}  // namespace

TEST(HelpTyper, TypesACharacterEveryFifthFrameWithAGlowBehindIt) {
    HelpTyper typer({"  Hi   |ab   |", "  X   |"});
    auto steps = run(typer, 5);
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(steps[static_cast<size_t>(i)].glyphs.empty() &&
                    !steps[static_cast<size_t>(i)].clear);
    // The page starts at its third character, at (2, 2).
    EXPECT_TRUE(steps[4].clear);
    EXPECT_EQ(steps[4].glyphs, (std::vector<Glyph>{{2, 2, 'H', Shade::DarkGrey},
                                                   {-6, 2, ' ', Shade::LightGrey},
                                                   {-14, 2, ' ', Shade::White}}));
    steps = run(typer, 5);
    EXPECT_FALSE(steps[4].clear);
    EXPECT_EQ(steps[4].glyphs, (std::vector<Glyph>{{10, 2, 'i', Shade::DarkGrey},
                                                   {2, 2, 'H', Shade::LightGrey},
                                                   {-6, 2, ' ', Shade::White}}));
    run(typer, 15);         // the three blanks
    steps = run(typer, 5);  // the bar: a new line, nothing drawn
    EXPECT_TRUE(steps[4].glyphs.empty());
    steps = run(typer, 5);
    EXPECT_EQ(steps[4].glyphs[0], (Glyph{2, 16, 'a', Shade::DarkGrey}));
    EXPECT_EQ(steps[4].glyphs[1], (Glyph{-6, 16, '|', Shade::LightGrey}));
}

TEST(HelpTyper, PausesTwentyFiveStepsBehindAPageAndWrapsAfterTheLast) {
    const std::string a = "  ab   |", b = "  cd   |";
    HelpTyper typer({a, b});
    // One step for each position from 3 to length + 25: the page, then a pause of 25 steps.
    const int steps = static_cast<int>(a.size()) + 25 - 3 + 1;
    int frames = 0;
    while (typer.page() == 0) {
        typer.frame();
        ++frames;
        ASSERT_LT(frames, 1000);
    }
    EXPECT_EQ(frames, 5 * steps);
    EXPECT_EQ(typer.position(), 0);
    auto first = run(typer, 5);
    EXPECT_TRUE(first[4].clear);
    EXPECT_EQ(first[4].glyphs[0].ch, 'c');
    while (typer.page() == 1) typer.frame();
    EXPECT_EQ(typer.page(), 0);
}

TEST(HelpTyper, ShortPagesDoNotReadPastTheirEnd) {
    HelpTyper typer({"", "|", "ab"});
    for (int i = 0; i < 2000; ++i) {
        const TypeStep s = typer.frame();
        for (const Glyph& g : s.glyphs) EXPECT_NE(g.ch, 0);
    }
}

TEST(StatusTyper, TypesOneCharacterPerFrameAndStartsOverOnANewText) {
    StatusTyper typer;
    EXPECT_FALSE(typer.busy());
    EXPECT_TRUE(typer.frame().glyphs.empty());

    typer.setText("  Start   ");
    EXPECT_TRUE(typer.busy());
    TypeStep s = typer.frame();
    EXPECT_TRUE(s.clear);
    // Position 4 at x = 8 * 4 - 16 = 16; the one before in light grey, the one before that white.
    EXPECT_EQ(s.glyphs, (std::vector<Glyph>{{16, 0, 't', Shade::DarkGrey},
                                            {8, 0, 'S', Shade::LightGrey},
                                            {0, 0, ' ', Shade::White}}));
    s = typer.frame();
    EXPECT_FALSE(s.clear);
    EXPECT_EQ(s.glyphs[2], (Glyph{8, 0, 'S', Shade::White}));
    int frames = 2;
    while (typer.busy()) {
        typer.frame();
        ++frames;
    }
    EXPECT_EQ(frames, 10 - 3);  // positions 4..10
    EXPECT_TRUE(typer.frame().glyphs.empty());

    typer.setText("  Skin   ");
    s = typer.frame();
    EXPECT_TRUE(s.clear);
    EXPECT_EQ(s.glyphs[0].ch, 'k');
    typer.setText("");
    s = typer.frame();
    EXPECT_TRUE(s.clear);
    EXPECT_TRUE(s.glyphs.empty());
    EXPECT_FALSE(typer.busy());
}
