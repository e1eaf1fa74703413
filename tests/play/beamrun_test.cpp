#include "app/random.h"
#include "play/beamrun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>

using namespace lumor;

namespace {

struct Board {
    WorkingBoard cells{};
    Board& set(int x, int y, int code) {
        cells[static_cast<size_t>(cellIndex(x, y))] = code;
        return *this;
    }
};

// Plays all 32 sub-steps of the current cell step, collecting their output.
struct SubStepLog {
    std::vector<DrawOp> draws[SubSteps];
    std::vector<int> sounds[SubSteps];
    std::vector<SparkRequest> sparks[SubSteps];
    std::vector<RemovedBeam> removed[SubSteps];
};

SubStepLog playSubSteps(BeamRun& run) {
    SubStepLog log;
    for (int s = 0; s < SubSteps; ++s) {
        const StepOutput& o = run.subStep(s);
        log.draws[s] = o.draws;
        log.sounds[s] = o.sounds;
        log.sparks[s] = o.sparks;
        log.removed[s] = o.removed;
    }
    return log;
}

// Runs cell steps with their sub-steps and returns every sound in order.
std::vector<int> playAll(BeamRun& run, const WorkingBoard& board) {
    std::vector<int> sounds = run.start(board).sounds;
    while (run.state() == BeamRunning) {
        const StepOutput& c = run.cellStep();
        sounds.insert(sounds.end(), c.sounds.begin(), c.sounds.end());
        if (run.finished()) break;
        for (int s = 0; s < SubSteps; ++s) {
            const StepOutput& o = run.subStep(s);
            sounds.insert(sounds.end(), o.sounds.begin(), o.sounds.end());
        }
    }
    return sounds;
}

// A 640 x 384 raster of the boxes drawn, both corners included.
struct Raster {
    std::vector<bool> px = std::vector<bool>(640 * 384, false);
    void apply(const DrawOp& op) {
        ASSERT_EQ(op.kind, DrawKind::Box);
        for (int x = std::min(op.x1, op.x2); x <= std::max(op.x1, op.x2); ++x)
            for (int y = std::min(op.y1, op.y2); y <= std::max(op.y1, op.y2); ++y)
                if (x >= 0 && y >= 0 && x < 640 && y < 384) px[static_cast<size_t>(x + 640 * y)] = true;
    }
    bool at(int x, int y) const { return px[static_cast<size_t>(x + 640 * y)]; }
};

DrawOp box(int x1, int y1, int x2, int y2) { return {DrawKind::Box, x1, y1, x2, y2, 0}; }
DrawOp line(int x1, int y1, int x2, int y2) { return {DrawKind::Line, x1, y1, x2, y2, 0}; }

}  // namespace

// The stop/take table per direction, written out independently of the engine's own table.
TEST(BeamRules, EveryCodeFromEveryDirection) {
    const std::set<int> stopped[5] = {{},
                                      {1, 2, 3, 4, 6, 7, 8, 9, 11, 14},
                                      {1, 2, 3, 4, 5, 7, 8, 9, 11, 12},
                                      {1, 2, 3, 4, 5, 6, 8, 9, 12, 13},
                                      {1, 2, 3, 4, 5, 6, 7, 9, 13, 14}};
    std::vector<int> codes;
    for (int c = 0; c <= 20; ++c) codes.push_back(c);
    codes.push_back(EatenSand);
    for (int dir = 1; dir <= 4; ++dir) {
        for (int code : codes) {
            SCOPED_TRACE("direction " + std::to_string(dir) + " code " + std::to_string(code));
            const int sx = 10, sy = 6, cx = sx + stepX(dir), cy = sy + stepY(dir);
            Board b;
            b.set(sx, sy, dir).set(cx, cy, code);
            BeamRun run;
            run.start(b.cells);
            const StepOutput& o = run.cellStep();
            if (stopped[dir].count(code)) {
                // A source in front sends a beam of its own, which ends at our source.
                const RemovedBeam ours{{int16_t(cx), int16_t(cy), int16_t(dir)}, BeamEnd::Stopped};
                EXPECT_EQ(std::count(o.removed.begin(), o.removed.end(), ours), 1);
                EXPECT_EQ(o.sounds, std::vector<int>{SoundWand});
                ASSERT_FALSE(o.sparks.empty());
                EXPECT_EQ(o.sparks[0].count, 50);
                EXPECT_FALSE(o.sparks[0].cool);
                EXPECT_EQ(run.hits(), 0);
            } else if (code == dir + 4) {
                ASSERT_EQ(o.removed.size(), 1u);
                EXPECT_EQ(o.removed[0].why, BeamEnd::Taken);
                EXPECT_EQ(o.sounds, std::vector<int>{SoundZiel});
                ASSERT_EQ(o.sparks.size(), 1u);
                EXPECT_EQ(o.sparks[0].count, 100);
                EXPECT_TRUE(o.sparks[0].cool);
                EXPECT_EQ(run.hits(), 1);
            } else {
                EXPECT_TRUE(o.removed.empty());
                ASSERT_EQ(run.beams().size(), code == Splitter ? 2u : 1u);
                EXPECT_EQ(run.beams()[0].x, cx);
                EXPECT_EQ(run.beams()[0].y, cy);
                const int expectedSound = code == Sand       ? SoundSand
                                          : code == Cross    ? SoundKreuz
                                          : code == Splitter ? SoundTeiler
                                                             : -1;
                EXPECT_EQ(o.sounds, expectedSound < 0 ? std::vector<int>{} : std::vector<int>{expectedSound});
                EXPECT_EQ(o.sparks.size(), code == Sand ? 1u : 0u);
                EXPECT_EQ(run.cell(cx, cy), code == EatenSand ? Empty : code) << "eaten sand is cleared";
            }
        }
    }
}

TEST(BeamRules, SparksSitOnTheSideFacingTheBeamAndOnTheBoardEdge) {
    // Stopped by walls: the wall cell's side that the beam runs into.
    Board b;
    b.set(5, 5, SourceRight).set(6, 5, Wall);
    b.set(8, 2, SourceDown).set(8, 3, Wall);
    b.set(12, 7, SourceLeft).set(11, 7, Wall);
    b.set(15, 9, SourceUp).set(15, 8, Wall);
    BeamRun run;
    run.start(b.cells);
    const StepOutput& o = run.cellStep();
    // Beams in column-major order of their sources: (5,5), (8,2), (12,7), (15,9).
    ASSERT_EQ(o.sparks.size(), 4u);
    EXPECT_EQ(o.sparks[0], (SparkRequest{50, 192, 160, 192, 192, false}));
    EXPECT_EQ(o.sparks[1], (SparkRequest{50, 256, 96, 288, 96, false}));
    EXPECT_EQ(o.sparks[2], (SparkRequest{50, 384, 224, 384, 256, false}));
    EXPECT_EQ(o.sparks[3], (SparkRequest{50, 480, 288, 512, 288, false}));
    EXPECT_EQ(o.sounds, std::vector<int>{SoundWand}) << "one sound for four stops";

    // Leaving the board: the board edge of the cell left.
    Board e;
    e.set(19, 3, SourceRight).set(2, 11, SourceDown).set(0, 4, SourceLeft).set(7, 0, SourceUp);
    run.start(e.cells);
    const StepOutput& l = run.cellStep();
    ASSERT_EQ(l.sparks.size(), 4u);
    std::vector<SparkRequest> expected = {{50, 0, 128, 0, 160, false},     // (0,4) left
                                          {50, 64, 384, 96, 384, false},   // (2,11) down
                                          {50, 224, 0, 256, 0, false},     // (7,0) up
                                          {50, 640, 96, 640, 128, false}}; // (19,3) right
    EXPECT_EQ(l.sparks, expected);
    ASSERT_EQ(l.removed.size(), 4u);
    for (const auto& r : l.removed) EXPECT_EQ(r.why, BeamEnd::LeftBoard);
    EXPECT_TRUE(run.finished());
    EXPECT_EQ(run.state(), BeamWon) << "no target, every beam gone: 0 hits equal 0 targets";
}

TEST(BeamRun, StartFillsTheSavedRecordAndNumbersBeamsColumnByColumn) {
    Board b;
    b.set(3, 0, SourceDown).set(1, 5, SourceRight).set(1, 2, SourceUp).set(7, 7, TargetLeft).set(9, 9, TargetUp)
        .set(4, 4, Sand);
    LevelRecord saved;
    saved.Stock[12] = 77;
    BeamRun run;
    const StepOutput& o = run.start(b.cells, {5, 1, 2, 0, 0, 0, 0, 0, 3}, saved);
    EXPECT_EQ(o.sounds, std::vector<int>{SoundStart});
    ASSERT_EQ(run.beams().size(), 3u);
    EXPECT_EQ(run.beams()[0], (Beam{1, 2, Up}));
    EXPECT_EQ(run.beams()[1], (Beam{1, 5, Right}));
    EXPECT_EQ(run.beams()[2], (Beam{3, 0, Down}));
    EXPECT_EQ(run.targets(), 2);
    EXPECT_EQ(saved.cell(4, 4), Sand);
    EXPECT_EQ(saved.cell(3, 0), SourceDown);
    EXPECT_EQ(saved.Stock[0], 5);
    EXPECT_EQ(saved.Stock[8], 3);
    EXPECT_EQ(saved.Stock[12], 77) << "entries behind the nine counts are kept";
}

TEST(BeamRun, VictoryAndFailureAreDecidedOnlyWhenTheLastBeamEnds) {
    // One beam hits its target at once; the other runs on and is stopped three steps later.
    Board b;
    b.set(0, 0, SourceRight).set(1, 0, TargetRight).set(0, 5, SourceRight).set(3, 5, Wall).set(9, 9, TargetDown);
    BeamRun run;
    run.start(b.cells);
    run.cellStep();
    EXPECT_EQ(run.hits(), 1);
    EXPECT_EQ(run.state(), BeamRunning);
    EXPECT_FALSE(run.finished());
    const RunResult r = run.runToEnd();
    EXPECT_EQ(r.state, BeamFailed);
    EXPECT_EQ(r.hits, 1);
    EXPECT_EQ(r.targets, 2);
    EXPECT_EQ(r.cellSteps, 3);

    // Two beams, two targets, both hit: victory; a third target nobody reaches: failure.
    Board w;
    w.set(0, 0, SourceRight).set(5, 0, TargetRight).set(0, 3, SourceRight).set(9, 3, TargetRight);
    EXPECT_EQ(run.run(w.cells).state, BeamWon);
    EXPECT_EQ(run.hits(), 2);
    w.set(12, 11, TargetUp);
    const RunResult f = run.run(w.cells);
    EXPECT_EQ(f.state, BeamFailed);
    EXPECT_EQ(f.hits, 2);
    EXPECT_EQ(f.targets, 3);

    // No source at all: one cell step finds no beam.
    Board empty;
    EXPECT_EQ(run.run(empty.cells).state, BeamWon);
    EXPECT_EQ(run.cellSteps(), 1);
    empty.set(4, 4, TargetLeft);
    EXPECT_EQ(run.run(empty.cells).state, BeamFailed);

    // No target and a beam that leaves the board: victory when it leaves.
    Board leave;
    leave.set(18, 0, SourceRight);
    const RunResult v = run.run(leave.cells);
    EXPECT_EQ(v.state, BeamWon);
    EXPECT_EQ(v.cellSteps, 2);
}

TEST(BeamRun, TwoBeamsMeetingInAnEmptyCellEndInTheMiddleWithOneWand) {
    Board b;
    b.set(0, 5, SourceRight).set(2, 3, SourceDown);
    BeamRun run;
    run.start(b.cells);
    run.cellStep();
    playSubSteps(run);
    const StepOutput& c = run.cellStep();  // both enter (2,5)
    EXPECT_TRUE(c.sounds.empty());
    EXPECT_EQ(run.trailMark(2, 5), 2);
    const SubStepLog log = playSubSteps(run);
    for (int s = 0; s < SubSteps; ++s) {
        if (s == 14) continue;
        EXPECT_TRUE(log.removed[s].empty()) << s;
        EXPECT_TRUE(log.sounds[s].empty()) << s;
    }
    ASSERT_EQ(log.removed[14].size(), 2u);
    EXPECT_EQ(log.removed[14][0], (RemovedBeam{{2, 5, Right}, BeamEnd::Collision}));
    EXPECT_EQ(log.removed[14][1], (RemovedBeam{{2, 5, Down}, BeamEnd::Collision}));
    EXPECT_EQ(log.sounds[14], std::vector<int>{SoundWand});
    ASSERT_EQ(log.sparks[14].size(), 2u);
    EXPECT_EQ(log.sparks[14][0], (SparkRequest{50, 64, 160, 96, 192, false}));
    EXPECT_EQ(log.draws[13].size(), 2u);
    EXPECT_EQ(log.draws[14].size(), 2u) << "the front is drawn before the collision test";
    EXPECT_TRUE(log.draws[15].empty());
    run.cellStep();
    EXPECT_EQ(run.state(), BeamWon);

    // On a Cross both pass, with the kreuz sound.
    b.set(2, 5, Cross);
    std::vector<int> sounds = playAll(run, b.cells);
    EXPECT_EQ(run.state(), BeamWon);
    EXPECT_EQ(sounds, (std::vector<int>{SoundStart, SoundKreuz, SoundWand, SoundWand}))
        << "kreuz, then each beam leaves the board";
    EXPECT_EQ(run.cellSteps(), 20) << "the right-moving beam leaves last";
}

TEST(BeamRun, ABeamEnteringAnEarlierTrailEndsThereAndTheEarlierBeamGoesOn) {
    Board b;
    b.set(2, 6, SourceRight).set(5, 0, SourceDown);
    BeamRun run;
    run.start(b.cells);
    std::vector<RemovedBeam> collisions;
    int collisionStep = 0;
    while (run.state() == BeamRunning) {
        run.cellStep();
        if (run.finished()) break;
        for (int s = 0; s < SubSteps; ++s)
            for (const auto& r : run.subStep(s).removed) {
                EXPECT_EQ(s, 14);
                collisions.push_back(r);
                collisionStep = run.cellSteps();
            }
    }
    ASSERT_EQ(collisions.size(), 1u);
    EXPECT_EQ(collisions[0], (RemovedBeam{{5, 6, Down}, BeamEnd::Collision}));
    EXPECT_EQ(collisionStep, 6);
    EXPECT_EQ(run.cellSteps(), 18) << "the right-moving beam leaves the board at step 18";
}

TEST(BeamRun, ABeamRunningBackOverItsOwnPathEndsAsInACollision) {
    Board b;
    b.set(0, 1, SourceRight).set(4, 1, DeflectorLeftDown).set(4, 3, DeflectorLeftUp).set(2, 3, DeflectorRightUp);
    BeamRun run;
    std::vector<int> sounds;
    const RunResult r = run.run(b.cells, &sounds);
    EXPECT_EQ(r.state, BeamWon);
    EXPECT_EQ(r.cellSteps, 11);
    EXPECT_EQ(run.trailMark(2, 1), 2);
    // lenk three times, then the wand of the collision.
    EXPECT_EQ(sounds, (std::vector<int>{SoundStart, SoundLenk, SoundLenk, SoundLenk, SoundWand}));
}

TEST(BeamRun, SplitterSplitsOnceAndStopsTheNextBeam) {
    Board b;
    b.set(0, 5, SourceRight).set(3, 5, Splitter).set(8, 5, SourceLeft);
    BeamRun run;
    run.start(b.cells);
    for (int step = 1; step <= 2; ++step) {
        run.cellStep();
        playSubSteps(run);
    }
    const StepOutput& c = run.cellStep();
    EXPECT_EQ(c.sounds, std::vector<int>{SoundTeiler});
    ASSERT_EQ(run.beams().size(), 3u);
    EXPECT_EQ(run.beams()[0], (Beam{3, 5, Down}));
    EXPECT_EQ(run.beams()[1], (Beam{5, 5, Left}));
    EXPECT_EQ(run.beams()[2], (Beam{3, 5, Up})) << "the new beam is appended";
    EXPECT_EQ(run.trailMark(3, 5), 1);
    const SubStepLog log = playSubSteps(run);
    for (int s = 0; s < SubSteps; ++s) EXPECT_EQ(log.draws[s].size(), 1u) << "nothing is drawn on the splitter";
    run.cellStep();
    playSubSteps(run);
    const StepOutput& hit = run.cellStep();  // the left-moving beam reaches the used splitter
    ASSERT_EQ(hit.removed.size(), 1u);
    EXPECT_EQ(hit.removed[0], (RemovedBeam{{3, 5, Left}, BeamEnd::UsedSplitter}));
    EXPECT_EQ(hit.sounds, std::vector<int>{SoundWand});
    ASSERT_EQ(hit.sparks.size(), 1u);
    EXPECT_EQ(hit.sparks[0], (SparkRequest{50, 96, 160, 128, 192, false}));
    EXPECT_EQ(run.runToEnd().state, BeamWon);

    // A beam moving down leaves the splitter to the right, the new one to the left.
    Board d;
    d.set(3, 0, SourceDown).set(3, 2, Splitter);
    run.start(d.cells);
    run.cellStep();
    playSubSteps(run);
    run.cellStep();
    ASSERT_EQ(run.beams().size(), 2u);
    EXPECT_EQ(run.beams()[0], (Beam{3, 2, Right}));
    EXPECT_EQ(run.beams()[1], (Beam{3, 2, Left}));
}

TEST(BeamRun, TwoBeamsReachingAnUnusedSplitterTogetherTheFirstSplits) {
    Board b;
    b.set(0, 5, SourceRight).set(4, 1, SourceDown).set(4, 5, Splitter);
    BeamRun run;
    run.start(b.cells);
    for (int step = 1; step <= 3; ++step) {
        run.cellStep();
        playSubSteps(run);
    }
    const StepOutput& c = run.cellStep();
    // Beam 0 (right) splits: down + new up; beam 1 (down) finds the splitter used.
    ASSERT_EQ(c.removed.size(), 1u);
    EXPECT_EQ(c.removed[0].beam.dir, Down);
    EXPECT_EQ(c.sounds, std::vector<int>{SoundWand});
    ASSERT_EQ(run.beams().size(), 2u);
    EXPECT_EQ(run.beams()[0], (Beam{4, 5, Down}));
    EXPECT_EQ(run.beams()[1], (Beam{4, 5, Up}));
    EXPECT_EQ(run.runToEnd().state, BeamWon);
}

TEST(BeamRun, SandHoldsTheBeamOneExtraStepAndIsGoneUntilTheBoardIsRestored) {
    Board b;
    b.set(0, 5, SourceRight).set(2, 5, Sand);
    LevelRecord saved;
    BeamRun run;
    run.start(b.cells, {}, saved);
    run.cellStep();
    playSubSteps(run);
    const StepOutput& enter = run.cellStep();
    EXPECT_EQ(enter.sounds, std::vector<int>{SoundSand});
    ASSERT_EQ(enter.sparks.size(), 1u);
    EXPECT_EQ(enter.sparks[0], (SparkRequest{10, 64, 160, 64, 192, false}));
    EXPECT_EQ(run.beams()[0], (Beam{2, 5, Right}));
    EXPECT_EQ(run.trailMark(2, 5), 1);

    const SubStepLog log = playSubSteps(run);
    for (int s = 0; s < SubSteps; ++s) {
        if (s % 8 == 0 && s < 32) {
            ASSERT_EQ(log.draws[s].size(), 1u) << s;
            EXPECT_EQ(log.draws[s][0], (DrawOp{DrawKind::SandPicture, 64, 160, 95, 191, s / 8}));
        } else if (s == 30) {
            ASSERT_EQ(log.draws[s].size(), 1u);
            EXPECT_EQ(log.draws[s][0], (DrawOp{DrawKind::Tile, 64, 160, 95, 191, Empty}));
        } else if (s == 31) {
            // Stepped back into (1,5): its last column is drawn once more.
            EXPECT_EQ(log.draws[s], std::vector<DrawOp>{box(63, 174, 64, 178)});
        } else {
            EXPECT_TRUE(log.draws[s].empty()) << s;
        }
        EXPECT_TRUE(log.sounds[s].empty());
    }
    EXPECT_EQ(run.cell(2, 5), EatenSand);
    EXPECT_EQ(run.trailMark(2, 5), 0);
    EXPECT_EQ(run.beams()[0], (Beam{1, 5, Right}));

    const StepOutput& again = run.cellStep();
    EXPECT_TRUE(again.sounds.empty()) << "eaten sand lets the beam pass silently";
    EXPECT_EQ(run.cell(2, 5), Empty);
    EXPECT_EQ(run.trailMark(2, 5), 1);
    const SubStepLog band = playSubSteps(run);
    EXPECT_EQ(band.draws[0], std::vector<DrawOp>{box(64, 174, 65, 178)});

    const RunResult r = run.runToEnd();
    EXPECT_EQ(r.state, BeamWon);
    EXPECT_EQ(r.cellSteps, 21) << "one step more than without the sand";
    EXPECT_EQ(run.cell(2, 5), Empty);
    EXPECT_EQ(saved.cell(2, 5), Sand) << "the saved record restores it after the attempt";
}

TEST(BeamDrawing, AStraightBandFillsRows14To18OfEveryCellPassed) {
    for (int dir = 1; dir <= 4; ++dir) {
        SCOPED_TRACE(dir);
        Board b;
        const int sx = 6, sy = 6;
        b.set(sx, sy, dir);
        BeamRun run;
        run.start(b.cells);
        run.cellStep();
        const int cx = sx + stepX(dir), cy = sy + stepY(dir);
        Raster raster;
        for (int s = 0; s < SubSteps; ++s)
            for (const DrawOp& op : run.subStep(s).draws) raster.apply(op);
        for (int u = 0; u < 32; ++u) {
            for (int v = 0; v < 32; ++v) {
                const bool across = dir == Right || dir == Left;
                const int x = 32 * cx + (across ? u : v), y = 32 * cy + (across ? v : u);
                EXPECT_EQ(raster.at(x, y), v >= 14 && v <= 18) << x << "," << y;
            }
        }
    }
    // The exact boxes of the first and last sub-step in cell (7, 6).
    Board r;
    r.set(6, 6, SourceRight);
    BeamRun run;
    run.start(r.cells);
    run.cellStep();
    EXPECT_EQ(run.subStep(0).draws, std::vector<DrawOp>{box(224, 206, 225, 210)});
    for (int s = 1; s < 31; ++s) run.subStep(s);
    EXPECT_EQ(run.subStep(31).draws, std::vector<DrawOp>{box(255, 206, 256, 210)});
    Board l;
    l.set(8, 6, SourceLeft);
    run.start(l.cells);
    run.cellStep();
    EXPECT_EQ(run.subStep(0).draws, std::vector<DrawOp>{box(255, 206, 254, 210)});
    Board u;
    u.set(7, 7, SourceUp);
    run.start(u.cells);
    run.cellStep();
    EXPECT_EQ(run.subStep(5).draws, std::vector<DrawOp>{box(238, 218, 242, 217)});
}

TEST(BeamDrawing, DeflectorMarksTurnAndLenk) {
    struct Case {
        int code, in, out;
        std::vector<DrawOp> at12, at16, at18;  // relative to the cell's corner
    };
    auto wedge = [](int code) {
        std::vector<DrawOp> v;
        for (int k = code == DeflectorLeftUp ? 1 : 0; k <= 5; ++k) {
            if (code == DeflectorRightDown) v.push_back(line(18 - k, 18, 18 - k, 13 + k));
            if (code == DeflectorLeftDown) v.push_back(line(13 + k, 18, 13 + k, 13 + k));
            if (code == DeflectorLeftUp) v.push_back(line(13 + k, 13, 13 + k, 18 - k));
            if (code == DeflectorRightUp) v.push_back(line(18 - k, 13, 18 - k, 18 - k));
        }
        return v;
    };
    const std::vector<DrawOp> rightMark = {box(12, 14, 12, 18), box(13, 14, 13, 17)};
    const std::vector<DrawOp> downMark = {box(14, 12, 18, 12)};
    const std::vector<DrawOp> leftIn = {box(19, 14, 19, 18)};
    const std::vector<DrawOp> upIn = {box(14, 19, 18, 19)};
    const std::vector<Case> cases = {
        {DeflectorRightDown, Left, Down, leftIn, wedge(11), {box(14, 19, 18, 19)}},
        {DeflectorRightDown, Up, Right, upIn, wedge(11), {box(19, 14, 19, 18)}},
        {DeflectorLeftDown, Right, Down, rightMark, wedge(12), {box(14, 19, 18, 19)}},
        {DeflectorLeftDown, Up, Left, upIn, wedge(12), rightMark},
        {DeflectorLeftUp, Right, Up, rightMark, wedge(13), downMark},
        {DeflectorLeftUp, Down, Left, downMark, wedge(13), rightMark},
        {DeflectorRightUp, Left, Up, leftIn, wedge(14), downMark},
        {DeflectorRightUp, Down, Right, downMark, wedge(14), {box(19, 14, 19, 18)}},
    };
    auto shifted = [](std::vector<DrawOp> v, int dx, int dy) {
        for (auto& op : v) op.x1 += dx, op.x2 += dx, op.y1 += dy, op.y2 += dy;
        return v;
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("code " + std::to_string(c.code) + " from " + std::to_string(c.in));
        const int dx = 9, dy = 5;  // the deflector's cell
        Board b;
        b.set(dx - stepX(c.in), dy - stepY(c.in), c.in).set(dx, dy, c.code);
        BeamRun run;
        run.start(b.cells);
        EXPECT_TRUE(run.cellStep().sounds.empty());
        const SubStepLog log = playSubSteps(run);
        const int px = 32 * dx, py = 32 * dy;
        EXPECT_EQ(log.draws[12], shifted(c.at12, px, py));
        EXPECT_TRUE(log.draws[13].empty());
        EXPECT_TRUE(log.draws[14].empty());
        EXPECT_EQ(log.sounds[14], std::vector<int>{SoundLenk});
        EXPECT_TRUE(log.draws[15].empty());
        EXPECT_EQ(log.draws[16], shifted(c.at16, px, py));
        EXPECT_EQ(log.sparks[16], (std::vector<SparkRequest>{{5, px, py, px + 32, py + 32, false}}));
        EXPECT_TRUE(log.draws[17].empty());
        EXPECT_EQ(log.draws[18], shifted(c.at18, px, py));
        // Before and after the middle, the ordinary band: in the old, then the new direction.
        ASSERT_EQ(log.draws[11].size(), 1u);
        ASSERT_EQ(log.draws[19].size(), 1u);
        const auto horizontal = [](const DrawOp& op) { return op.y1 == op.y2 - 4; };
        EXPECT_EQ(horizontal(log.draws[11][0]), c.in == Right || c.in == Left);
        EXPECT_EQ(horizontal(log.draws[19][0]), c.out == Right || c.out == Left);
        EXPECT_EQ(run.beams()[0].dir, c.out);
        for (int s = 0; s < SubSteps; ++s) {
            if (s != 14) {
                EXPECT_TRUE(log.sounds[s].empty()) << s;
            }
        }
    }
}

TEST(BeamSounds, OnlyTheHighestSoundOfAStepIsPlayed) {
    BeamRun run;
    // Sand (2), a stop (5) and a target (6) in one step: ziel only, whatever the order.
    Board b;
    b.set(0, 0, SourceRight).set(1, 0, Sand).set(0, 2, SourceRight).set(1, 2, TargetRight);
    b.set(0, 4, SourceRight).set(1, 4, Wall).set(0, 6, SourceRight).set(1, 6, Cross);
    EXPECT_EQ(run.start(b.cells).sounds, std::vector<int>{SoundStart});
    EXPECT_EQ(run.cellStep().sounds, std::vector<int>{SoundZiel});

    // A stop in the same step keeps the deflector's lenk silent...
    Board w;
    w.set(0, 0, SourceRight).set(1, 0, DeflectorLeftDown).set(0, 3, SourceRight).set(1, 3, Wall);
    run.start(w.cells);
    EXPECT_EQ(run.cellStep().sounds, std::vector<int>{SoundWand});
    SubStepLog log = playSubSteps(run);
    EXPECT_TRUE(log.sounds[14].empty());

    // ...a split (4) does not, and lenk raises the level so a second deflector stays silent.
    Board t;
    t.set(0, 0, SourceRight).set(1, 0, DeflectorLeftDown).set(0, 3, SourceRight).set(1, 3, Splitter)
        .set(0, 8, SourceRight).set(1, 8, DeflectorLeftDown);
    run.start(t.cells);
    EXPECT_EQ(run.cellStep().sounds, std::vector<int>{SoundTeiler});
    log = playSubSteps(run);
    EXPECT_EQ(log.sounds[14], std::vector<int>{SoundLenk});

    // A collision on a deflector in the middle: lenk, then wand, in one sub-step.
    Board c;
    c.set(0, 5, SourceRight).set(3, 5, DeflectorLeftUp).set(3, 2, SourceDown);
    run.start(c.cells);
    for (int step = 1; step <= 2; ++step) {
        run.cellStep();
        playSubSteps(run);
    }
    EXPECT_TRUE(run.cellStep().sounds.empty());
    log = playSubSteps(run);
    EXPECT_EQ(log.sounds[14], (std::vector<int>{SoundLenk, SoundWand}));
    EXPECT_EQ(log.removed[14].size(), 2u);
}

TEST(BeamRun, ClosingStopsTheSubStepAtTheNextBeam) {
    Board b;
    b.set(0, 0, SourceRight).set(0, 3, SourceRight);
    BeamRun run;
    run.start(b.cells);
    run.cellStep();
    EXPECT_FALSE(run.subStep(0).closing);
    run.setState(BeamClosing);
    const StepOutput& o = run.subStep(1);
    EXPECT_TRUE(o.closing);
    EXPECT_TRUE(o.draws.empty());
    // Cancelling lets the cell step finish; the window's loop then ends as failed.
    run.setState(BeamFailed);
    EXPECT_EQ(run.subStep(2).draws.size(), 2u);
    EXPECT_FALSE(run.finished());
}

TEST(BeamPacing, WaitsAfterEverySubStepUnlessTurbo) {
    int normal = 0, turbo = 0, faster = 0;
    for (int s = 0; s < SubSteps; ++s) {
        normal += BeamRun::waitsAfter(s, false, false);
        EXPECT_TRUE(BeamRun::waitsAfter(s, false, true));
        const bool t = BeamRun::waitsAfter(s, true, false);
        turbo += t;
        EXPECT_EQ(t, s == 6 || s == 14 || s == 22 || s == 30) << s;
        const bool f = BeamRun::waitsAfter(s, true, true);
        faster += f;
        EXPECT_EQ(f, s == 30) << s;
    }
    EXPECT_EQ(normal * 12, 384);
    EXPECT_EQ(turbo * 12, 48);
    EXPECT_EQ(faster * 12, 12);
}

TEST(BeamRun, RandomBoardsEndAndKeepTheirCounts) {
    SeededRandom random(7);
    BeamRun run;
    for (int n = 0; n < 2000; ++n) {
        WorkingBoard board{};
        for (auto& c : board) {
            const double r = random.next();
            c = r < 0.5 ? 0 : static_cast<int>(random.next() * 21);
            if (c >= 17 && random.next() < 0.5) c = Sand;
            // Codes no level should hold still must not upset the run.
            if (r < 0.003) c = (n % 4 == 0) ? EatenSand : (n % 4 == 1) ? -7 : (n % 4 == 2) ? 21 : 30000;
        }
        int targets = 0;
        for (int c : board) targets += isTarget(c);
        std::vector<int> sounds;
        const RunResult r = run.run(board, &sounds);
        ASSERT_TRUE(r.state == BeamWon || r.state == BeamFailed);
        EXPECT_EQ(r.targets, targets);
        EXPECT_EQ(r.won(), r.hits == r.targets);
        EXPECT_LT(r.cellSteps, 1000);
        EXPECT_EQ(sounds.front(), SoundStart);
        for (int i = 0; i < CellCount; ++i) {
            const int before = board[static_cast<size_t>(i)];
            const int after = run.board()[static_cast<size_t>(i)];
            EXPECT_TRUE(after == before || ((before == Sand || before == EatenSand) && after == Empty));
        }

        // The drawn run agrees with the undrawn one.
        WorkingBoard copy = board;
        const std::vector<int> drawnSounds = playAll(run, copy);
        ASSERT_EQ(drawnSounds, sounds);
        EXPECT_EQ(run.hits(), r.hits);
        EXPECT_EQ(run.cellSteps(), r.cellSteps);
    }
}

TEST(Cells, NamesFollowTheCodes) {
    EXPECT_STREQ(cellCodeName(Empty), "Empty");
    EXPECT_STREQ(cellCodeName(TargetLeft), "TargetLeft");
    EXPECT_STREQ(cellCodeName(DeflectorRightUp), "DeflectorRightUp");
    EXPECT_STREQ(cellCodeName(Decoration4), "Decoration4");
    EXPECT_STREQ(cellCodeName(EatenSand), "EatenSand");
    EXPECT_EQ(cellCodeName(21), nullptr);
    EXPECT_EQ(cellCodeName(-1), nullptr);
    EXPECT_STREQ(directionName(Up), "up");
    for (int slot = 1; slot <= SlotCount; ++slot) EXPECT_EQ(slotOfCode(codeOfSlot(slot)), slot);
}
