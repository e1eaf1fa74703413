// The editor's level list and the import window's operations on the pack being edited.
#include "editor/levellist.h"
#include "editor/importlist.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace lumor;

namespace {

// A level told apart by its name, one cell and one unseen stock entry.
LevelRecord level(const std::string& name) {
    LevelRecord r;
    r.Name = name;
    r.Password = "PW" + name;
    r.cell(static_cast<int>(name.size()) % 20, 3) = static_cast<int16_t>(name.size());
    r.Stock[15] = static_cast<int16_t>(name[0]);
    return r;
}

std::unique_ptr<Levels> pack(const std::vector<std::string>& names) {
    auto levels = std::make_unique<Levels>();
    for (size_t i = 0; i < names.size(); ++i) (*levels)[static_cast<int>(i)] = level(names[i]);
    return levels;
}

std::vector<std::string> names(const Levels& levels, int count) {
    std::vector<std::string> r;
    for (int i = 0; i < count; ++i) r.push_back(levels[i].Name);
    return r;
}

using Names = std::vector<std::string>;

}  // namespace

TEST(LevelList, InsertAppendRemoveAndSwapKeepTheRecordsBehindTheList) {
    auto levels = pack({"A", "B", "C"});
    int count = 3;
    ASSERT_TRUE(insertLevel(*levels, count, 1));
    EXPECT_EQ(names(*levels, count), (Names{"A", "Noname", "B", "C"}));
    EXPECT_EQ((*levels)[1], newLevel(2));
    EXPECT_EQ((*levels)[1].Password, "Level2");
    EXPECT_EQ((*levels)[3], level("C"));  // copied whole, unseen stock entries too

    ASSERT_TRUE(appendLevel(*levels, count));
    EXPECT_EQ(count, 5);
    EXPECT_EQ((*levels)[4].Password, "Level5");

    // Removing the first level: the others move up, the old last record stays behind.
    ASSERT_TRUE(removeLevel(*levels, count, 0));
    EXPECT_EQ(names(*levels, count), (Names{"Noname", "B", "C", "Noname"}));
    EXPECT_EQ((*levels)[4].Password, "Level5");
    // Passwords are never renumbered.
    EXPECT_EQ((*levels)[0].Password, "Level2");

    swapLevels(*levels, 1, 2);
    EXPECT_EQ((*levels)[1], level("C"));
    EXPECT_EQ((*levels)[2], level("B"));

    int one = 1;
    EXPECT_FALSE(removeLevel(*levels, one, 0));
    EXPECT_EQ(one, 1);
    EXPECT_EQ(levelEntry(0, "Noname"), "1. Noname");
    EXPECT_EQ(levelEntry(100, ""), "101. ");
}

TEST(LevelList, InsertingAtTheFirstOfOneLevel) {
    auto levels = std::make_unique<Levels>();
    (*levels)[0] = newLevel(1);
    (*levels)[0].Name = "Alt";
    int count = 1;
    ASSERT_TRUE(insertLevel(*levels, count, 0));
    EXPECT_EQ(names(*levels, count), (Names{"Noname", "Alt"}));
    EXPECT_EQ((*levels)[0].Password, "Level1");
    EXPECT_EQ((*levels)[1].Password, "Level1");
}

TEST(LevelList, AtMost101Levels) {
    for (const int start : {100, 101}) {
        auto levels = std::make_unique<Levels>();
        int count = start;
        const bool fits = start == 100;
        EXPECT_EQ(insertLevel(*levels, count, 50), fits) << start;
        EXPECT_EQ(count, 101);
        count = start;
        EXPECT_EQ(appendLevel(*levels, count), fits) << start;
        EXPECT_EQ(count, 101);
    }
}

TEST(ImportList, ThreeCopiedLevelsMoveTogether) {
    auto levels = pack({"A", "B"});
    ImportTarget target(*levels, 2);
    target.selected[0] = true;
    const std::vector<LevelRecord> source = {level("s0"), level("s1"), level("s2"), level("s3")};
    const CopyResult r = copyLevels(target, source, {true, false, true, true});
    EXPECT_EQ(r.copied, 3);
    EXPECT_FALSE(r.full);
    EXPECT_EQ(names(*levels, target.count()), (Names{"A", "B", "s0", "s2", "s3"}));
    EXPECT_EQ((*levels)[3], level("s2"));
    EXPECT_EQ(target.selected, (std::vector<bool>{true, false, true, true, true}));

    // The first level is selected too: it stays, the block of three moves up past B.
    moveSelectedUp(target);
    EXPECT_EQ(names(*levels, 5), (Names{"A", "s0", "s2", "s3", "B"}));
    EXPECT_EQ(target.selected, (std::vector<bool>{true, true, true, true, false}));
    EXPECT_EQ(target.current, 3);

    moveSelectedDown(target);
    EXPECT_EQ(names(*levels, 5), (Names{"B", "A", "s0", "s2", "s3"}));
    EXPECT_EQ(target.selected, (std::vector<bool>{false, true, true, true, true}));
    EXPECT_EQ(target.current, 1);
}

TEST(ImportList, TheFirstTwoChangePlacesAndTheFirstAloneStays) {
    auto levels = pack({"A", "B", "C"});
    ImportTarget target(*levels, 3);
    target.selected = {true, false, false};
    moveSelectedUp(target);
    EXPECT_EQ(names(*levels, 3), (Names{"A", "B", "C"}));

    target.selected = {true, true, false};
    moveSelectedUp(target);
    EXPECT_EQ(names(*levels, 3), (Names{"B", "A", "C"}));
    target.selected = {false, true, true};
    moveSelectedDown(target);
    EXPECT_EQ(names(*levels, 3), (Names{"B", "C", "A"}));
}

TEST(ImportList, DeletingEverythingSelectedKeepsOneLevel) {
    auto levels = pack({"A", "B", "C", "D"});
    ImportTarget target(*levels, 4);
    target.selected = {false, true, false, true};
    EXPECT_FALSE(deleteSelected(target));
    EXPECT_EQ(names(*levels, target.count()), (Names{"A", "C"}));

    target.selected = {true, true};
    EXPECT_TRUE(deleteSelected(target));
    EXPECT_EQ(names(*levels, target.count()), (Names{"A"}));
    EXPECT_EQ(target.selected, std::vector<bool>{false});
}

TEST(ImportList, CopyingStopsAtTheCapacity) {
    auto levels = std::make_unique<Levels>();
    ImportTarget target(*levels, 99);
    const std::vector<LevelRecord> source = {level("x"), level("y"), level("z")};
    const CopyResult r = copyLevels(target, source, {true, true, true});
    EXPECT_EQ(r.copied, 2);
    EXPECT_TRUE(r.full);
    EXPECT_EQ(target.count(), 101);
    EXPECT_EQ((*levels)[100], level("y"));
    // The record behind the list (the end marker's place) is untouched.
    EXPECT_EQ((*levels)[101], LevelRecord{});
}
