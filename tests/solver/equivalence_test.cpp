// The beam engine, as the board window drives it and as the searches run it, must agree
// with the rules written out literally on every board: a finder that reports what the
// game does not do would mislead the player.
#include "play/beamrun.h"
#include "solver/beamcheck.h"
#include "support/reference.h"

#include "solver_support.h"

#include <gtest/gtest.h>

#include <random>

using namespace lumor;

namespace {

// A random board: every code of the game (and a few a damaged level might hold), many
// sources and splitters.
LevelRecord randomBoard(std::mt19937& rng, int emptyPercent) {
    LevelRecord level;
    const auto roll = [&](int lo, int hi) { return lumor::testing::roll(rng, lo, hi); };
    for (auto& c : level.Cells) {
        if (roll(0, 99) < emptyPercent) continue;
        const int v = roll(1, 20), odd = roll(0, 99);
        c = static_cast<int16_t>(odd < 8    ? 99
                                 : odd < 10 ? std::array{98, 21, -1, 100, 32767}[roll(0, 99) % 5]
                                            : v);
    }
    return level;
}

// The board window's run, driven as the window drives it: every cell step, then all 32
// sub-steps with their drawings.
BeamResult playOnBoard(const LevelRecord& level) {
    BeamRun run;
    run.start(BeamRun::boardOf(level));
    while (run.state() == BeamRunning) {
        run.cellStep();
        if (run.finished()) break;
        for (int s = 0; s < SubSteps; ++s) run.subStep(s);
    }
    return {run.state() == BeamWon, run.hits(), run.targets(), run.cellSteps()};
}

BeamResult fastCheck(const LevelRecord& level) {
    BeamChecker checker;
    checker.setBoard(level.Cells);
    const BeamResult first = checker.run();
    // A second run on the same checker must find the board as it was.
    EXPECT_EQ(checker.runMarking(), first);
    return first;
}

}  // namespace

TEST(BeamCheckEquivalence, TenThousandRandomBoardsAgree) {
    // First a beam once round the board, into the target at its last step.
    const std::string middle(18, '.');
    const LevelRecord circuit = lumor::testing::levelFrom(
        {">" + middle + "b", "U", "", "", "", "", "", "", "", "", "", "d" + middle + "c"}, {});
    const BeamResult circuitRun = referenceBeamCheck(circuit);
    EXPECT_TRUE(circuitRun.solved && circuitRun.steps > 55);
    EXPECT_EQ(playOnBoard(circuit), circuitRun);
    EXPECT_EQ(fastCheck(circuit), circuitRun);

    std::mt19937 rng(6121);
    std::uniform_int_distribution<int> emptiness(20, 97);
    int won = 0, withHits = 0, longRuns = 0;
    for (int round = 0; round < 10000; ++round) {
        const LevelRecord level = randomBoard(rng, emptiness(rng));
        const BeamResult r = referenceBeamCheck(level);
        ASSERT_EQ(playOnBoard(level), r) << "round " << round;
        ASSERT_EQ(fastCheck(level), r) << "round " << round;
        won += r.solved;
        withHits += r.hits > 0;
        longRuns += r.steps > 15;
    }
    // The boards must exercise the rules, not end at once.
    EXPECT_GT(won, 100);
    EXPECT_GT(withHits, 1000);
    EXPECT_GT(longRuns, 500);
}
