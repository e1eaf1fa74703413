// Undo and redo of the editor: every change a step, put back byte for byte.
#include "editor/history.h"
#include "editor/levellist.h"

#include <gtest/gtest.h>

#include <memory>

using namespace lumor;

namespace {

class HistoryTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (int i = 0; i < 3; ++i) {
            levels[i] = newLevel(i + 1);
            levels[i].Stock[9 + i] = static_cast<int16_t>(7 * i);
        }
        levels[3].Name = "behind";
        header.PackTitle = "Titel";
        history.reset(levels, header, {3, 0});
    }
    bool record(const std::string& key = {}) { return history.record(levels, header, place, key); }

    std::unique_ptr<Levels> owned = std::make_unique<Levels>();
    Levels& levels = *owned;
    PackHeader header;
    EditorPlace place{3, 0};
    History history;
};

}  // namespace

TEST_F(HistoryTest, UndoAndRedoPutBackEveryByte) {
    const std::unique_ptr<Levels> start = std::make_unique<Levels>(levels);
    // A drag over three cells, recorded once at the release.
    for (int x = 2; x <= 4; ++x) levels[0].cell(x, 5) = 9;
    EXPECT_TRUE(record());
    const std::unique_ptr<Levels> painted = std::make_unique<Levels>(levels);

    // An append on level 2: the count and the record behind the list change.
    place.current = 2;
    history.moveTo(2);
    appendLevel(levels, place.count);
    place.current = 3;
    EXPECT_TRUE(record());
    header.PackAuthor = "Autor";
    EXPECT_TRUE(record());
    const std::unique_ptr<Levels> end = std::make_unique<Levels>(levels);
    const PackHeader endHeader = header;

    EXPECT_EQ(history.undo(levels, header), (EditorPlace{4, 3}));
    EXPECT_EQ(header.PackAuthor, "");
    EXPECT_EQ(history.undo(levels, header), (EditorPlace{3, 2}));
    EXPECT_EQ(levels[3].Name, "behind");
    EXPECT_EQ(history.undo(levels, header), (EditorPlace{3, 0}));
    EXPECT_FALSE(history.undo(levels, header));
    for (int i = 0; i < Levels::Capacity; ++i) EXPECT_EQ(levels[i], (*start)[i]) << i;

    EXPECT_EQ(history.redo(levels, header), (EditorPlace{3, 0}));
    for (int i = 0; i < Levels::Capacity; ++i) EXPECT_EQ(levels[i], (*painted)[i]) << i;
    history.redo(levels, header);
    history.redo(levels, header);
    EXPECT_FALSE(history.redo(levels, header));
    for (int i = 0; i < Levels::Capacity; ++i) EXPECT_EQ(levels[i], (*end)[i]) << i;
    EXPECT_EQ(header, endHeader);
}

TEST_F(HistoryTest, TypingInOneFieldIsOneStepUntilSomethingElseHappens) {
    for (const char* name : {"N", "Ne", "Neu"}) {
        levels[0].Name = name;
        record("name 0");
    }
    levels[0].Stock[0] = 5;
    record("stock 0 0");
    levels[0].Name = "Neu!";
    record("name 0");
    EXPECT_EQ(history.steps(), 3u);

    history.undo(levels, header);
    EXPECT_EQ(levels[0].Name, "Neu");
    history.undo(levels, header);
    EXPECT_EQ(levels[0].Stock[0], 0);

    // A new change after an undo drops what could be redone and is not merged.
    levels[0].Name = "Anders";
    record("name 0");
    EXPECT_FALSE(history.canRedo());
    EXPECT_EQ(history.steps(), 2u);
    history.undo(levels, header);
    EXPECT_EQ(levels[0].Name, "Neu");
    history.undo(levels, header);
    EXPECT_EQ(levels[0].Name, "Noname");

    // Typed and deleted again: no step is left; an unchanged pack records nothing.
    levels[1].Password = "x";
    record("password 1");
    levels[1].Password = "Level2";
    record("password 1");
    EXPECT_EQ(history.steps(), 0u);
    EXPECT_FALSE(record());
}

TEST_F(HistoryTest, KeepsOnlyTheNewestSteps) {
    History small(2);
    small.reset(levels, header, place);
    for (int v = 1; v <= 3; ++v) {
        levels[0].Stock[0] = static_cast<int16_t>(v);
        small.record(levels, header, place);
    }
    EXPECT_TRUE(small.undo(levels, header));
    EXPECT_TRUE(small.undo(levels, header));
    EXPECT_FALSE(small.undo(levels, header));
    EXPECT_EQ(levels[0].Stock[0], 1);
}
