// The finder's beam check and the board window's beam run must agree on every board:
// a finder that reports what the game does not do would mislead the player.
#include "play/beamrun.h"
#include "solver/beamcheck.h"
#include "solver/reference.h"

#include "solver_support.h"

#include <gtest/gtest.h>

#include <random>

using namespace lumor;
using lumor::testing::randomBoard;

namespace {

// The board window's run, driven as the window drives it: every cell step, then all 32
// sub-steps with their drawings.
RunResult playOnBoard(const LevelRecord& level) {
    BeamRun run;
    run.start(BeamRun::boardOf(level));
    while (run.state() == BeamRunning) {
        run.cellStep();
        if (run.finished()) break;
        for (int s = 0; s < SubSteps; ++s) run.subStep(s);
    }
    return RunResult{run.state(), run.hits(), run.targets(), run.cellSteps()};
}

BeamResult fastCheck(const LevelRecord& level) {
    BeamChecker checker;
    checker.setBoard(level.Cells);
    const BeamResult first = checker.run();
    // A second run on the same checker must find the board as it was.
    EXPECT_EQ(checker.runMarking(), first);
    return first;
}

void expectSame(const LevelRecord& level, const std::string& what) {
    const RunResult board = playOnBoard(level);
    const BeamResult ref = referenceBeamCheck(level);
    const BeamResult fast = fastCheck(level);
    ASSERT_EQ(ref.solved, board.won()) << what;
    ASSERT_EQ(ref.hits, board.hits) << what;
    ASSERT_EQ(ref.targets, board.targets) << what;
    ASSERT_EQ(ref.steps, board.cellSteps) << what;
    ASSERT_EQ(fast, ref) << what;
}

}  // namespace

TEST(BeamCheckEquivalence, TenThousandRandomBoardsAgree) {
    std::mt19937 rng(6121);
    std::uniform_int_distribution<int> emptiness(20, 97);
    int won = 0, withHits = 0, longRuns = 0;
    for (int round = 0; round < 10000; ++round) {
        const LevelRecord level = randomBoard(rng, emptiness(rng));
        expectSame(level, "round " + std::to_string(round));
        if (::testing::Test::HasFatalFailure()) return;
        const BeamResult r = referenceBeamCheck(level);
        won += r.solved;
        withHits += r.hits > 0;
        longRuns += r.steps > 15;
    }
    // The boards must exercise the rules, not end at once.
    EXPECT_GT(won, 100);
    EXPECT_GT(withHits, 1000);
    EXPECT_GT(longRuns, 500);
}
