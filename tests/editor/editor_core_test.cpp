// The editor's core where the windows do not reach it alone: the undo history's steps,
// strokes, level picture colours and the link rule.
#include "editor/boardedit.h"
#include "editor/history.h"
#include "editor/levellist.h"
#include "editor/packinfo.h"

#include <gtest/gtest.h>

#include <memory>

using namespace lumor;

TEST(EditorCore, HistoryStepsJoinWhileOneFieldIsTypedIn) {
    auto levels = std::make_unique<Levels>();
    (*levels)[0] = newLevel(1);
    PackHeader header;
    History history;
    history.reset(*levels, header, {1, 0});
    const auto type = [&](const char* name, const char* key = "name 0") {
        (*levels)[0].Name = name;
        return history.record(*levels, header, {1, 0}, key);
    };
    type("N");
    type("Neu");
    (*levels)[0].Stock[0] = 5;
    history.record(*levels, header, {1, 0}, "stock 0 0");
    type("Neu!");
    EXPECT_EQ(history.steps(), 3u);
    history.undo(*levels, header);
    history.undo(*levels, header);
    EXPECT_EQ((*levels)[0].Name, "Neu");
    // After an undo the same field starts a new step.
    type("Anders");
    EXPECT_EQ(history.steps(), 2u);
    history.undo(*levels, header);
    EXPECT_EQ((*levels)[0].Name, "Neu");
    // Typed and taken back again: no step is left; no change records nothing.
    history.undo(*levels, header);
    type("x", "password 0");
    type("Noname", "password 0");
    EXPECT_EQ(history.steps(), 0u);
    EXPECT_FALSE(type("Noname"));

    // Old steps go when the records they hold pass the budget; the newest always stays.
    History small(4);
    small.reset(*levels, header, {1, 0});
    for (const char* name : {"a", "b", "c"}) {
        (*levels)[0].Name = name;
        small.record(*levels, header, {1, 0});
    }
    EXPECT_EQ(small.steps(), 2u);
    (*levels)[1].Name = (*levels)[2].Name = (*levels)[3].Name = "d";  // over the budget
    small.record(*levels, header, {1, 0});
    EXPECT_EQ(small.steps(), 1u);
}

TEST(EditorCore, StrokesAndPictureColours) {
    using Cells = std::vector<std::pair<int, int>>;
    EXPECT_EQ(cellsCrossed(100, 100, 36, 100), (Cells{{3, 3}, {2, 3}, {1, 3}}));
    EXPECT_EQ(cellsCrossed(-20, 370, 700, 370).front(), std::make_pair(0, 11));
    EXPECT_EQ(cellsCrossed(-20, 370, 700, 370).back(), std::make_pair(19, 11));

    const std::pair<int, uint32_t> colours[] = {
        {0, 0x000000},  {4, 0xffff00},  {5, 0x00ff00},  {9, 0x00ffff},  {10, 0xff0000},
        {14, 0xff00ff}, {15, 0x808000}, {16, 0xffffff}, {20, 0x808080},
    };
    for (const auto& [code, rgb] : colours) EXPECT_EQ(previewColour(code), rgb) << code;
    EXPECT_EQ(previewColour(21), std::nullopt);
}

TEST(EditorCore, TheLinkGetsASchemeOnlyWhenItHasNone) {
    const std::pair<const char*, const char*> links[] = {
        {"  www.example.org ", "http://www.example.org"},
        {"ich@example.org", "mailto:ich@example.org"},
        {"mailto:x@y", "mailto:x@y"},
        {"https://a.b/c", "https://a.b/c"},
        {"HTTP://A.B", "HTTP://A.B"},
        {"ftp://a@b", "mailto:ftp://a@b"},
        {"   ", ""},
    };
    for (const auto& [typed, stored] : links) EXPECT_EQ(packLinkRule(typed).link, stored);
}
