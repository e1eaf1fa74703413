#include "play/beamrun.h"
#include "app/random.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
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

// Plays whole cell steps, sub-steps included.
void advance(BeamRun& run, int cellSteps) {
    for (int i = 0; i < cellSteps; ++i) {
        run.cellStep();
        playSubSteps(run);
    }
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
                if (x >= 0 && y >= 0 && x < 640 && y < 384)
                    px[static_cast<size_t>(x + 640 * y)] = true;
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
            const Beam entered{int16_t(cx), int16_t(cy), int16_t(dir)};
            if (stopped[dir].count(code)) {
                // A source in front sends a beam of its own, which ends at our source.
                const RemovedBeam ours{entered, BeamEnd::Stopped};
                EXPECT_EQ(std::count(o.removed.begin(), o.removed.end(), ours), 1);
                EXPECT_EQ(o.sounds, std::vector<int>{SoundWand});
                EXPECT_TRUE(!o.sparks.empty() && o.sparks[0].count == 50 && !o.sparks[0].cool);
                EXPECT_EQ(run.hits(), 0);
            } else if (code == dir + 4) {
                EXPECT_EQ(o.removed, (std::vector<RemovedBeam>{{entered, BeamEnd::Taken}}));
                EXPECT_EQ(o.sounds, std::vector<int>{SoundZiel});
                EXPECT_TRUE(o.sparks.size() == 1 && o.sparks[0].count == 100 && o.sparks[0].cool);
                EXPECT_EQ(run.hits(), 1);
            } else {
                EXPECT_TRUE(o.removed.empty());
                ASSERT_EQ(run.beams().size(), code == Splitter ? 2u : 1u);
                EXPECT_TRUE(run.beams()[0].x == cx && run.beams()[0].y == cy);
                const int expectedSound = code == Sand       ? SoundSand
                                          : code == Cross    ? SoundKreuz
                                          : code == Splitter ? SoundTeiler
                                                             : -1;
                EXPECT_EQ(o.sounds,
                          expectedSound < 0 ? std::vector<int>{} : std::vector<int>{expectedSound});
                EXPECT_EQ(o.sparks.size(), code == Sand ? 1u : 0u);
                EXPECT_EQ(run.cell(cx, cy), code == EatenSand ? Empty : code)
                    << "eaten sand is cleared";
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
    EXPECT_EQ(o.sparks, (std::vector<SparkRequest>{{50, 192, 160, 192, 192, false},
                                                   {50, 256, 96, 288, 96, false},
                                                   {50, 384, 224, 384, 256, false},
                                                   {50, 480, 288, 512, 288, false}}));
    EXPECT_EQ(o.sounds, std::vector<int>{SoundWand}) << "one sound for four stops";

    // Leaving the board: the board edge of the cell left.
    Board e;
    e.set(19, 3, SourceRight).set(2, 11, SourceDown).set(0, 4, SourceLeft).set(7, 0, SourceUp);
    run.start(e.cells);
    const StepOutput& l = run.cellStep();
    const std::vector<SparkRequest> expected = {{50, 0, 128, 0, 160, false},      // (0,4) left
                                                {50, 64, 384, 96, 384, false},    // (2,11) down
                                                {50, 224, 0, 256, 0, false},      // (7,0) up
                                                {50, 640, 96, 640, 128, false}};  // (19,3) right
    EXPECT_EQ(l.sparks, expected);
    EXPECT_EQ(l.removed[0].why, BeamEnd::LeftBoard);
    EXPECT_EQ(run.state(), BeamWon) << "no target, every beam gone: 0 hits equal 0 targets";
}

TEST(BeamRun, StartFillsTheSavedRecordAndNumbersBeamsColumnByColumn) {
    Board b;
    b.set(3, 0, SourceDown)
        .set(1, 5, SourceRight)
        .set(1, 2, SourceUp)
        .set(7, 7, TargetLeft)
        .set(9, 9, TargetUp)
        .set(4, 4, Sand);
    LevelRecord saved;
    saved.Stock[12] = 77;
    BeamRun run;
    const StepOutput& o = run.start(b.cells, {5, 1, 2, 0, 0, 0, 0, 0, 3}, saved);
    EXPECT_EQ(o.sounds, std::vector<int>{SoundStart});
    EXPECT_EQ(std::vector<Beam>(run.beams().begin(), run.beams().end()),
              (std::vector<Beam>{{1, 2, Up}, {1, 5, Right}, {3, 0, Down}}));
    EXPECT_EQ(run.targets(), 2);
    EXPECT_TRUE(saved.cell(4, 4) == Sand && saved.cell(3, 0) == SourceDown);
    EXPECT_TRUE(saved.Stock[0] == 5 && saved.Stock[8] == 3);
    EXPECT_EQ(saved.Stock[12], 77) << "entries behind the nine counts are kept";
}

TEST(BeamRun, VictoryAndFailureAreDecidedOnlyWhenTheLastBeamEnds) {
    // One beam hits its target at once; the other runs on and is stopped three steps later.
    Board b;
    b.set(0, 0, SourceRight)
        .set(1, 0, TargetRight)
        .set(0, 5, SourceRight)
        .set(3, 5, Wall)
        .set(9, 9, TargetDown);
    BeamRun run;
    run.start(b.cells);
    run.cellStep();
    EXPECT_EQ(run.hits(), 1);
    EXPECT_EQ(run.state(), BeamRunning);
    EXPECT_FALSE(run.finished());
    const RunResult r = run.runToEnd();
    EXPECT_EQ((std::array{r.state, r.hits, r.targets, r.cellSteps}),
              (std::array{int{BeamFailed}, 1, 2, 3}));

    // No source at all: one cell step finds no beam.
    Board empty;
    EXPECT_EQ(run.run(empty.cells).state, BeamWon);
    EXPECT_EQ(run.cellSteps(), 1);
    empty.set(4, 4, TargetLeft);
    EXPECT_EQ(run.run(empty.cells).state, BeamFailed);
}

TEST(BeamRun, TwoBeamsMeetingInAnEmptyCellEndInTheMiddleWithOneWand) {
    Board b;
    b.set(0, 5, SourceRight).set(2, 3, SourceDown);
    BeamRun run;
    run.start(b.cells);
    advance(run, 1);
    const StepOutput& c = run.cellStep();  // both enter (2,5)
    EXPECT_TRUE(c.sounds.empty());
    EXPECT_EQ(run.trailMark(2, 5), 2);
    const SubStepLog log = playSubSteps(run);
    for (int s = 0; s < SubSteps; ++s)
        EXPECT_EQ(log.removed[s].empty() && log.sounds[s].empty(), s != 14) << s;
    EXPECT_EQ(log.removed[14], (std::vector<RemovedBeam>{{{2, 5, Right}, BeamEnd::Collision},
                                                         {{2, 5, Down}, BeamEnd::Collision}}));
    EXPECT_EQ(log.sounds[14], std::vector<int>{SoundWand});
    ASSERT_EQ(log.sparks[14].size(), 2u);
    EXPECT_EQ(log.sparks[14][0], (SparkRequest{50, 64, 160, 96, 192, false}));
    EXPECT_EQ(log.draws[13].size(), 2u);
    EXPECT_EQ(log.draws[14].size(), 2u) << "the front is drawn before the collision test";
    EXPECT_TRUE(log.draws[15].empty());
}

TEST(BeamRun, SplitterSplitsOnceAndStopsTheNextBeam) {
    Board b;
    b.set(0, 5, SourceRight).set(3, 5, Splitter).set(8, 5, SourceLeft);
    BeamRun run;
    run.start(b.cells);
    advance(run, 2);
    const StepOutput& c = run.cellStep();
    EXPECT_EQ(c.sounds, std::vector<int>{SoundTeiler});
    EXPECT_EQ(std::vector<Beam>(run.beams().begin(), run.beams().end()),
              (std::vector<Beam>{{3, 5, Down}, {5, 5, Left}, {3, 5, Up}}))
        << "the new beam is appended";
    EXPECT_EQ(run.trailMark(3, 5), 1);
    const SubStepLog log = playSubSteps(run);
    for (int s = 0; s < SubSteps; ++s)
        EXPECT_EQ(log.draws[s].size(), 1u) << "nothing is drawn on the splitter";
    advance(run, 1);
    const StepOutput& hit = run.cellStep();  // the left-moving beam reaches the used splitter
    EXPECT_EQ(hit.removed, (std::vector<RemovedBeam>{{{3, 5, Left}, BeamEnd::UsedSplitter}}));
    EXPECT_EQ(hit.sounds, std::vector<int>{SoundWand});
    EXPECT_EQ(hit.sparks, (std::vector<SparkRequest>{{50, 96, 160, 128, 192, false}}));
    EXPECT_EQ(run.runToEnd().state, BeamWon);

    // A beam moving down leaves the splitter to the right, the new one to the left.
    Board d;
    d.set(3, 0, SourceDown).set(3, 2, Splitter);
    run.start(d.cells);
    advance(run, 1);
    run.cellStep();
    EXPECT_EQ(std::vector<Beam>(run.beams().begin(), run.beams().end()),
              (std::vector<Beam>{{3, 2, Right}, {3, 2, Left}}));
}

TEST(BeamRun, SandHoldsTheBeamOneExtraStepAndIsGoneUntilTheBoardIsRestored) {
    Board b;
    b.set(0, 5, SourceRight).set(2, 5, Sand);
    LevelRecord saved;
    BeamRun run;
    run.start(b.cells, {}, saved);
    advance(run, 1);
    const StepOutput& enter = run.cellStep();
    EXPECT_EQ(enter.sparks, (std::vector<SparkRequest>{{10, 64, 160, 64, 192, false}}));
    EXPECT_EQ(run.trailMark(2, 5), 1);

    const SubStepLog log = playSubSteps(run);
    for (int s = 0; s < SubSteps; ++s) {
        std::vector<DrawOp> expected;
        if (s % 8 == 0) expected = {{DrawKind::SandPicture, 64, 160, 95, 191, s / 8}};
        if (s == 30) expected = {{DrawKind::Tile, 64, 160, 95, 191, Empty}};
        if (s == 31)
            expected = {box(63, 174, 64, 178)};  // stepped back into (1,5): its last column again
        EXPECT_EQ(log.draws[s], expected) << s;
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

    EXPECT_EQ(run.runToEnd().cellSteps, 21) << "one step more than without the sand";
    EXPECT_EQ(saved.cell(2, 5), Sand) << "the saved record restores it after the attempt";
}

TEST(BeamDrawing, AStraightBandFillsRows14To18OfEveryCellPassed) {
    // The first and last box drawn in cell (7, 6) per direction.
    const DrawOp first[5] = {{},
                             box(224, 206, 225, 210),
                             box(238, 192, 242, 193),
                             box(255, 206, 254, 210),
                             box(238, 223, 242, 222)};
    const DrawOp last[5] = {{},
                            box(255, 206, 256, 210),
                            box(238, 223, 242, 224),
                            box(224, 206, 223, 210),
                            box(238, 192, 242, 191)};
    for (int dir = 1; dir <= 4; ++dir) {
        SCOPED_TRACE(dir);
        const int cx = 7, cy = 6;
        Board b;
        b.set(cx - stepX(dir), cy - stepY(dir), dir);
        BeamRun run;
        run.start(b.cells);
        run.cellStep();
        const SubStepLog log = playSubSteps(run);
        EXPECT_EQ(log.draws[0], std::vector<DrawOp>{first[dir]});
        EXPECT_EQ(log.draws[31], std::vector<DrawOp>{last[dir]});
        Raster raster;
        for (const auto& draws : log.draws)
            for (const DrawOp& op : draws) raster.apply(op);
        const bool across = dir == Right || dir == Left;
        for (int u = 0; u < 32; ++u)
            for (int v = 0; v < 32; ++v)
                EXPECT_EQ(raster.at(32 * cx + (across ? u : v), 32 * cy + (across ? v : u)),
                          v >= 14 && v <= 18)
                    << u << "," << v;
    }
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
        EXPECT_EQ(log.draws[16], shifted(c.at16, px, py));
        EXPECT_EQ(log.draws[18], shifted(c.at18, px, py));
        for (int s : {13, 14, 15, 17}) EXPECT_TRUE(log.draws[s].empty()) << s;
        for (int s = 0; s < SubSteps; ++s)
            EXPECT_EQ(log.sounds[s], s == 14 ? std::vector<int>{SoundLenk} : std::vector<int>{})
                << s;
        EXPECT_EQ(log.sparks[16],
                  (std::vector<SparkRequest>{{5, px, py, px + 32, py + 32, false}}));
        EXPECT_EQ(run.beams()[0].dir, c.out);
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
    t.set(0, 0, SourceRight)
        .set(1, 0, DeflectorLeftDown)
        .set(0, 3, SourceRight)
        .set(1, 3, Splitter)
        .set(0, 8, SourceRight)
        .set(1, 8, DeflectorLeftDown);
    run.start(t.cells);
    EXPECT_EQ(run.cellStep().sounds, std::vector<int>{SoundTeiler});
    log = playSubSteps(run);
    EXPECT_EQ(log.sounds[14], std::vector<int>{SoundLenk});

    // A collision on a deflector in the middle: lenk, then wand, in one sub-step.
    Board c;
    c.set(0, 5, SourceRight).set(3, 5, DeflectorLeftUp).set(3, 2, SourceDown);
    run.start(c.cells);
    advance(run, 2);
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
    for (int s = 0; s < SubSteps; ++s) {
        EXPECT_TRUE(BeamRun::waitsAfter(s, false, false)) << s;
        EXPECT_TRUE(BeamRun::waitsAfter(s, false, true)) << s;
        EXPECT_EQ(BeamRun::waitsAfter(s, true, false), s == 6 || s == 14 || s == 22 || s == 30)
            << s;
        EXPECT_EQ(BeamRun::waitsAfter(s, true, true), s == 30) << s;
    }
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
            if (r < 0.003)
                c = (n % 4 == 0) ? EatenSand : (n % 4 == 1) ? -7 : (n % 4 == 2) ? 21 : 30000;
        }
        std::vector<int> sounds;
        const RunResult r = run.run(board, &sounds);
        ASSERT_TRUE(r.state == BeamWon || r.state == BeamFailed);
        // Only sand is used up; every other cell is as it was.
        for (int i = 0; i < CellCount; ++i) {
            const int before = board[static_cast<size_t>(i)];
            const int after = run.board()[static_cast<size_t>(i)];
            EXPECT_TRUE(after == before ||
                        ((before == Sand || before == EatenSand) && after == Empty));
        }
        // The drawn run agrees with the undrawn one.
        ASSERT_EQ(playAll(run, board), sounds);
        EXPECT_EQ(run.hits(), r.hits);
        EXPECT_EQ(run.cellSteps(), r.cellSteps);
    }
}
