// The help pages and how they and the status line are typed.
#include "title/helptext.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace lumor;

namespace {

std::vector<TypeStep> run(HelpTyper& typer, int frames) {
    std::vector<TypeStep> steps;
    for (int i = 0; i < frames; ++i) steps.push_back(typer.frame());
    return steps;
}

}  // namespace

TEST(HelpText, PagesAreLinesEndedByABarThatFitTheHelpArea) {
    const auto& pages = helpPages();
    EXPECT_EQ(pages[10], "  Ich geb's auf...   |");
    EXPECT_NE(pages[2].find("den R\xe4tselmarathon des   |"), std::string::npos);
    for (const std::string& page : pages) {
        ASSERT_EQ(page.back(), '|');
        size_t start = 0, lines = 0;
        for (size_t bar; (bar = page.find('|', start)) != std::string::npos;
             start = bar + 1, ++lines) {
            const std::string line = page.substr(start, bar - start);
            EXPECT_EQ(line.substr(line.size() - 3), "   ") << line;
            EXPECT_LE(line.size(), 35u) << line;  // 35 cells of 8 pixels are the help area's width
        }
        EXPECT_LE(lines, 10u);
    }
}

TEST(HelpTyper, TypesACharacterEveryFifthFrameWithAGlowBehindIt) {
    HelpTyper typer({"  Hi   |ab   |", "  X   |"});
    auto steps = run(typer, 5);  // how many frames a step takes: the pause test
    // The page starts at its third character, at (2, 2).
    EXPECT_TRUE(steps[4].clear);
    EXPECT_EQ(steps[4].glyphs, (std::vector<Glyph>{{2, 2, 'H', Shade::DarkGrey},
                                                   {-6, 2, ' ', Shade::LightGrey},
                                                   {-14, 2, ' ', Shade::White}}));
    steps = run(typer, 5);
    EXPECT_FALSE(steps[4].clear);
    EXPECT_EQ(steps[4].glyphs[0], (Glyph{10, 2, 'i', Shade::DarkGrey}));
    run(typer, 15);         // the three blanks
    steps = run(typer, 5);  // the bar: a new line, nothing drawn
    EXPECT_TRUE(steps[4].glyphs.empty());
    steps = run(typer, 5);
    EXPECT_EQ(steps[4].glyphs[0], (Glyph{2, 16, 'a', Shade::DarkGrey}));
    EXPECT_EQ(steps[4].glyphs[1], (Glyph{-6, 16, '|', Shade::LightGrey}));
}

// One step for each position from 3 to length + 25: the page, then a pause of 25 steps.
TEST(HelpTyper, PausesTwentyFiveStepsBehindAPageAndWrapsAfterTheLast) {
    const std::string a = "  ab   |";
    HelpTyper typer({a, "  cd   |"});
    int frames = 0;
    for (; typer.page() == 0 && frames < 1000; ++frames) typer.frame();
    EXPECT_EQ(frames, 5 * (static_cast<int>(a.size()) + 25 - 3 + 1));
    EXPECT_EQ(typer.position(), 0);
    EXPECT_EQ(run(typer, 5)[4].glyphs[0].ch, 'c');
    while (typer.page() == 1) typer.frame();
    EXPECT_EQ(typer.page(), 0);

    HelpTyper shortPages({"", "|", "ab"});  // never read past their ends
    for (int i = 0; i < 2000; ++i)
        for (const Glyph& g : shortPages.frame().glyphs) EXPECT_NE(g.ch, 0);
}

// A click leads from any page to the rules; on a rules page it first shows the rest of the
// page at once, then turns to the next, which stays far longer than a menu page.
TEST(HelpTyper, AClickLeadsToTheRulesAndTurnsTheirPages) {
    HelpTyper typer({"  menu   |", "  Regel   |eins   |", "  zwei   |"}, 1);
    run(typer, 12);
    typer.click();
    TypeStep s = typer.frame();
    EXPECT_EQ(typer.page(), 1);
    EXPECT_TRUE(s.clear);
    EXPECT_EQ(s.glyphs[0], (Glyph{2, 2, 'R', Shade::DarkGrey}));

    typer.click();  // still typing: the whole page, in white, as typing lays it out
    s = typer.frame();
    EXPECT_TRUE(s.clear);
    EXPECT_EQ(s.glyphs.size(), std::string("Regel   eins   ").size());
    EXPECT_EQ(s.glyphs[8], (Glyph{2, 16, 'e', Shade::White}));
    for (const Glyph& g : s.glyphs) EXPECT_EQ(g.shade, Shade::White);
    int frames = 0;
    for (; typer.page() == 1 && frames < 5000; ++frames) typer.frame();
    EXPECT_EQ(frames, 5 * 199) << "held until 200 steps behind its end";

    typer.click();  // "zwei" being typed: finished at once
    EXPECT_EQ(typer.frame().glyphs.at(3), (Glyph{26, 2, 'i', Shade::White}));
    typer.click();  // finished: the next page, behind the last the first
    typer.frame();
    EXPECT_EQ(typer.page(), 0);
    typer.click();
    typer.frame();
    EXPECT_EQ(typer.page(), 1);

    HelpTyper noRules({"  a   |", "  b   |"});
    noRules.click();
    noRules.frame();
    EXPECT_EQ(noRules.page(), 0);
    EXPECT_FALSE(helpPages()[FirstRulesPage].find("Spielregeln") == std::string::npos);
}

TEST(StatusTyper, TypesOneCharacterPerFrameAndStartsOverOnANewText) {
    StatusTyper typer;
    typer.setText("  Start   ");
    EXPECT_TRUE(typer.busy());
    TypeStep s = typer.frame();
    EXPECT_TRUE(s.clear);
    // Position 4 at x = 8 * 4 - 16 = 16; the one before in light grey, the one before that white.
    EXPECT_EQ(s.glyphs, (std::vector<Glyph>{{16, 0, 't', Shade::DarkGrey},
                                            {8, 0, 'S', Shade::LightGrey},
                                            {0, 0, ' ', Shade::White}}));
    int frames = 1;
    for (; typer.busy(); ++frames) typer.frame();
    EXPECT_EQ(frames, 10 - 3);  // positions 4..10
    EXPECT_TRUE(typer.frame().glyphs.empty());

    typer.setText("  Skin   ");  // a new text starts over
    s = typer.frame();
    EXPECT_TRUE(s.clear);
    EXPECT_EQ(s.glyphs, (std::vector<Glyph>{{16, 0, 'k', Shade::DarkGrey},
                                            {8, 0, 'S', Shade::LightGrey},
                                            {0, 0, ' ', Shade::White}}));
    typer.setText("");
    s = typer.frame();
    EXPECT_TRUE(s.clear && s.glyphs.empty() && !typer.busy());
}
