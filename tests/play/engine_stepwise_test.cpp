// The beam engine against the rules as they stood before it, step for step: every output
// of the board window's run and every record of the searches' marking runs must be equal.
#include "play/beamrun.h"
#include "solver/beamcheck.h"
#include "support/edition.h"
#include "support/oldengine.h"

#include <gtest/gtest.h>

#include <random>

using namespace lumor;

namespace {

// Random pieces, sources, targets and sand, a few codes no level should hold, and now and
// then a board crowded with splitters and crosses.
WorkingBoard randomBoard(std::mt19937& rng) {
    const auto roll = [&](int lo, int hi) {
        return std::uniform_int_distribution<int>(lo, hi)(rng);
    };
    WorkingBoard b{};
    const int empty = roll(30, 97);
    const bool crowded = roll(0, 9) == 0;
    for (auto& c : b) {
        if (roll(0, 99) < empty) continue;
        const int odd = roll(0, 99);
        c = odd < 3   ? std::array{99, 98, 21, -1, 32767}[static_cast<size_t>(roll(0, 4))]
            : crowded ? std::array{Splitter, Cross, Sand, SourceRight,
                                   TargetUp}[static_cast<size_t>(roll(0, 4))]
                      : roll(1, 20);
    }
    return b;
}

void expectSameOutput(const StepOutput& a, const StepOutput& b, const std::string& where) {
    ASSERT_EQ(a.sounds, b.sounds) << where;
    ASSERT_EQ(a.sparks.size(), b.sparks.size()) << where;
    for (size_t i = 0; i < a.sparks.size(); ++i) {
        const SparkRequest &x = a.sparks[i], &y = b.sparks[i];
        ASSERT_TRUE(x.count == y.count && x.x1 == y.x1 && x.y1 == y.y1 && x.x2 == y.x2 &&
                    x.y2 == y.y2 && x.cool == y.cool)
            << where << " spark " << i;
    }
    ASSERT_EQ(a.draws, b.draws) << where;
    ASSERT_EQ(a.removed, b.removed) << where;
    ASSERT_EQ(a.closing, b.closing) << where;
}

// Stops the test at the first difference.
#define sameOutput(...) ASSERT_NO_FATAL_FAILURE(expectSameOutput(__VA_ARGS__))

class EngineStepwise : public lumortest::InEachEdition<> {};

TEST_P(EngineStepwise, BoardRunsMatchTheOldRunOnTenThousandBoards) {
    std::mt19937 rng(GetParam() == Edition::Main ? 24 : 42);
    old::BeamRun before;
    BeamRun now;
    int won = 0, longRuns = 0;
    for (int round = 0; round < 10000; ++round) {
        const WorkingBoard board = randomBoard(rng);
        const std::string at = "round " + std::to_string(round);
        sameOutput(before.start(board), now.start(board), at + " start");
        // Some runs are closed part way, as a window closing in the middle of a step.
        const int closeAt = round % 7 == 0 ? std::uniform_int_distribution<int>(1, 40)(rng) : -1;
        int steps = 0;
        while (now.state() == BeamRunning) {
            sameOutput(before.cellStep(), now.cellStep(), at + " cell step");
            ASSERT_EQ(before.finished(), now.finished()) << at;
            if (now.finished()) break;
            for (int s = 0; s < SubSteps; ++s) {
                if (++steps == closeAt) {
                    before.setState(BeamClosing);
                    now.setState(BeamClosing);
                }
                sameOutput(before.subStep(s), now.subStep(s),
                           at + " sub-step " + std::to_string(s));
                const auto beams = now.beams();
                ASSERT_TRUE(std::equal(beams.begin(), beams.end(), before.beams().begin(),
                                       before.beams().end()))
                    << at;
            }
            if (now.state() == BeamClosing) break;
        }
        ASSERT_EQ(before.state(), now.state()) << at;
        ASSERT_EQ(before.hits(), now.hits()) << at;
        ASSERT_EQ(before.cellSteps(), now.cellSteps()) << at;
        ASSERT_EQ(before.board(), now.board()) << at;
        won += now.state() == BeamWon;
        longRuns += now.cellSteps() > 15;

        // Played through without drawing, with its sounds.
        std::vector<int> oldSounds, newSounds;
        const RunResult a = before.run(board, &oldSounds), b = now.run(board, &newSounds);
        ASSERT_TRUE(a.state == b.state && a.hits == b.hits && a.targets == b.targets &&
                    a.cellSteps == b.cellSteps)
            << at;
        ASSERT_EQ(oldSounds, newSounds) << at;
        ASSERT_EQ(before.board(), now.board()) << at;
    }
    EXPECT_GT(won, 50);
    EXPECT_GT(longRuns, 500);
}

LUMOR_IN_EACH_EDITION(EngineStepwise);

TEST(CheckerStepwise, SearchRunsMatchTheOldCheckerWithPiecesPutOnAndTakenOff) {
    std::mt19937 rng(2024);
    old::BeamChecker before;
    BeamChecker now;
    for (int round = 0; round < 10000; ++round) {
        const WorkingBoard board = randomBoard(rng);
        const std::string at = "round " + std::to_string(round);
        before.setBoard(board);
        now.setBoard(board);
        ASSERT_EQ(before.sourceCount(), now.sourceCount()) << at;
        ASSERT_EQ(before.targets(), now.targets()) << at;
        for (int trial = 0; trial < 3; ++trial) {
            // A piece put on (or a cell emptied) between runs, as the searches do.
            const int p = BeamChecker::pad(std::uniform_int_distribution<int>(0, 19)(rng),
                                           std::uniform_int_distribution<int>(0, 11)(rng));
            const int code = std::uniform_int_distribution<int>(8, 16)(rng);
            before.place(p, code == 8 ? Empty : code);
            now.place(p, code == 8 ? Empty : code);
            ASSERT_EQ(before.run(), now.run()) << at;
            const int capture = std::uniform_int_distribution<int>(0, 12)(rng);
            ASSERT_EQ(before.runMarking(capture), now.runMarking(capture)) << at;
            ASSERT_EQ(before.enteredOrder(), now.enteredOrder()) << at;
            ASSERT_EQ(before.enteredStep(), now.enteredStep()) << at;
            ASSERT_EQ(before.enteredDir(), now.enteredDir()) << at;
            ASSERT_EQ(before.hitsMade(), now.hitsMade()) << at;
            ASSERT_EQ(before.captured(), now.captured()) << at;
        }
        for (int x = 0; x < BoardWidth; ++x)
            for (int y = 0; y < BoardHeight; ++y) {
                const int p = BeamChecker::pad(x, y), a = before.codeAt(p), b = now.codeAt(p);
                // The old checker kept a stray 99 as a decoration.
                ASSERT_TRUE(a == b || (a == Decoration1 && b == EatenSand)) << at;
            }
    }
}

}  // namespace
