// The rules of play without the window: placing and taking back, the attempt, the
// endings and the marathon through the pack (the board window's test plays them through).
#include "play/playmodel.h"
#include "support/boards.h"

#include <gtest/gtest.h>

using namespace lumor;
using lumortest::level;

namespace {

class PlayModelTest : public ::testing::Test {
protected:
    void SetUp() override {
        program.Options[OptAutostart] = false;
        program.Options[OptResetAfterFailure] = false;
        // A wall in the beam's way: whatever is placed elsewhere, the run fails.
        program.pack.levels.assign(
            {level({"", "", "", "", "", ">...#.....R"}, {3, 3, 0, 0, 0, 1}, "Wand"),
             level({">"}, {}, "Frei")});
        play.open(0);
        play.beginLevel();
        play.buildLevel();
    }

    ProgramState program;
    PlayModel play{program};
};

TEST_F(PlayModelTest, PiecesArePlacedAndTakenBackAndVictoriesLeadThroughThePack) {
    EXPECT_EQ(play.phase(), AttemptPhase::Idle);
    EXPECT_FALSE(play.place(1, 1).placed) << "no slot selected";
    play.selectSlot(2);
    EXPECT_FALSE(play.place(1, 1).placed) << "slot 2 is empty";
    play.selectSlot(1);
    EXPECT_FALSE(play.place(4, 5).placed) << "the level's own wall";
    EXPECT_TRUE(play.place(1, 1).placed && play.place(2, 1).placed);
    EXPECT_EQ(play.cell(2, 1), Wall);
    play.selectSlot(5);
    EXPECT_TRUE(play.place(3, 1).placed);
    EXPECT_EQ(play.cell(3, 1), DeflectorLeftUp);
    EXPECT_EQ(play.stock(), (PlayModel::Stock{0, 1, 0, 0, 0, 0}));
    play.selectSlot(1);
    EXPECT_FALSE(play.place(4, 1).placed) << "the total is used up";
    EXPECT_FALSE(play.place(4, 1).autostart) << "only with the option";
    program.Options[OptAutostart] = true;
    EXPECT_TRUE(play.place(4, 1).autostart) << "even a click that places nothing";
    EXPECT_EQ(play.stored().cell(1, 1), Empty) << "the pack is never written";

    // Only the player's own pieces are taken back.
    EXPECT_FALSE(play.takeBack(4, 5).taken) << "the level's own wall";
    EXPECT_FALSE(play.takeBack(7, 7).taken) << "an empty cell";
    const PlayModel::Taken taken = play.takeBack(3, 1);
    EXPECT_TRUE(taken.taken && taken.code == Empty);
    EXPECT_EQ(play.stock(), (PlayModel::Stock{1, 1, 0, 0, 0, 1}));
    EXPECT_EQ(play.selectedSlot(), 5) << "OptGameRightClickTakes selects its slot";
    program.Options[OptGameRightClickTakes] = false;
    play.takeBack(2, 1);
    EXPECT_EQ(play.selectedSlot(), 5);
    play.place(6, 1);
    play.selectSlot(-1);
    EXPECT_FALSE(play.takeBack(6, 1).taken) << "no slot selected";

    // Victories lead through the pack to the final message.
    program.FinalMessage = "Ende";
    play.open(1);
    EXPECT_EQ(play.advance(), AfterVictory::FinalMessage);
    EXPECT_FALSE(play.hasLevel());
    program.FinalMessage.clear();
    play.open(0);
    EXPECT_EQ(play.advance(), AfterVictory::NextLevel);
    EXPECT_EQ(play.advance(), AfterVictory::End);

    // The 101st level is the last there can be.
    program.pack.levels.assign(std::vector<LevelRecord>(MaxLevels));
    play.open(MaxLevels - 2);
    EXPECT_EQ(play.advance(), AfterVictory::NextLevel);
    EXPECT_EQ(play.advance(), AfterVictory::End);
    play.open(-1);
    EXPECT_FALSE(play.hasLevel());
}

// An attempt paused, resumed, cancelled and taken back, then run to its failure: with
// OptResetAfterFailure the pieces go (without it they stay: the board window's test).
TEST_F(PlayModelTest, TheAttemptPausesIsCancelledAndResetAfterFailureSetsTheLevelBack) {
    program.Options[OptResetAfterFailure] = true;
    play.selectSlot(1);
    play.place(1, 1);
    play.selectSlot(5);
    play.place(3, 1);
    EXPECT_EQ(play.pressStart(), StartAction::Start);
    play.startAttempt();
    EXPECT_EQ(play.selectedSlot(), -1);
    EXPECT_EQ(play.saved().Stock[0], 1) << "the live counts go into the saved record";
    EXPECT_EQ(play.saved().cell(1, 1), Wall);
    play.selectSlot(1);  // a click that cannot happen while the stock is hidden
    EXPECT_FALSE(play.takeBack(1, 1).taken) << "not during an attempt";
    EXPECT_EQ(play.pressStart(), StartAction::Pause);
    EXPECT_EQ(play.phase(), AttemptPhase::Paused);
    EXPECT_EQ(play.pressStart(), StartAction::Resume);
    EXPECT_FALSE(play.pressRetry()) << "Abbrechen";
    EXPECT_EQ(play.BeamState, BeamFailed);
    EXPECT_EQ(play.pressStart(), StartAction::Resume) << "a click on Stop takes it back";
    EXPECT_EQ(play.BeamState, BeamRunning);

    play.BeamState = play.run().runToEnd().state;
    play.endAttempt();
    EXPECT_EQ(play.BeamState, BeamFailed);
    EXPECT_EQ(play.phase(), AttemptPhase::Finale);
    play.restoreAfterFailure();
    play.showAgain();
    EXPECT_EQ(play.phase(), AttemptPhase::Idle);
    EXPECT_TRUE(play.cell(1, 1) == Empty && play.cell(3, 1) == Empty);
    EXPECT_EQ(play.stock(), (PlayModel::Stock{3, 3, 0, 0, 0, 1}));
    play.selectSlot(1);
    EXPECT_TRUE(play.pressRetry()) << "Noch mal";
    EXPECT_EQ(play.selectedSlot(), -1);
}

// Ctrl+Z takes the pieces back newest first, skipping one taken back by hand, with the counts
// and the selection as they were; it reaches no piece placed before the last run or "Noch mal".
TEST_F(PlayModelTest, UndoTakesBackTheNewestPiecesOfThisAttemptOnly) {
    const auto undone = [this](int x, int y) {
        const PlayModel::Taken t = play.undo();
        return t.taken && t.x == x && t.y == y && t.code == Empty && play.cell(x, y) == Empty;
    };
    play.selectSlot(1);
    play.place(1, 1);
    play.place(2, 1);
    play.selectSlot(5);
    play.place(3, 1);
    EXPECT_TRUE(play.takeBack(2, 1).taken);
    play.selectSlot(1);
    EXPECT_TRUE(undone(3, 1));
    EXPECT_EQ(play.selectedSlot(), 1) << "unlike a right click";
    EXPECT_EQ(play.stock(), (PlayModel::Stock{2, 2, 0, 0, 0, 1}));
    EXPECT_TRUE(undone(1, 1)) << "the piece taken back by hand is skipped";
    EXPECT_FALSE(play.undo().taken);
    EXPECT_EQ(play.stock(), (PlayModel::Stock{3, 3, 0, 0, 0, 1}));

    play.place(6, 1);
    play.selectSlot(-1);
    EXPECT_TRUE(play.takeBack(6, 1, false).taken) << "the keyboard needs no slot";
    play.selectSlot(1);
    play.place(6, 1);
    play.place(7, 1);
    EXPECT_TRUE(play.pressRetry());
    EXPECT_FALSE(play.undo().taken) << "Noch mal set the level back";
    play.selectSlot(1);
    play.place(6, 1);
    play.startAttempt();
    EXPECT_FALSE(play.undo().taken) << "not during the run";
    play.BeamState = play.run().runToEnd().state;
    play.endAttempt();
    play.restoreAfterFailure();
    play.showAgain();
    EXPECT_EQ(play.cell(6, 1), Wall) << "kept after the failure";
    EXPECT_FALSE(play.undo().taken) << "placed before the run";
    play.selectSlot(1);
    play.place(8, 1);
    EXPECT_TRUE(undone(8, 1));
    EXPECT_EQ(play.cell(6, 1), Wall);
}

}  // namespace
