// The beam run's output: what each cell and sub-step asks the window to draw, sound and
// spark (won or not is also checked against the finder's own beam check, tests/solver).
#include "play/beamrun.h"
#include "app/random.h"
#include "support/boards.h"
#include "support/edition.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>

using namespace lumor;
using lumortest::board;

namespace {

// The output of all 32 sub-steps of the current cell step.
std::vector<StepOutput> playSubSteps(BeamRun& run) {
    std::vector<StepOutput> log;
    for (int s = 0; s < SubSteps; ++s) log.push_back(run.subStep(s));
    return log;
}

void advance(BeamRun& run, int cellSteps) {
    for (int i = 0; i < cellSteps; ++i) {
        run.cellStep();
        playSubSteps(run);
    }
}

// A board with a source at (x, y) sending its beam in `dir`, and one more cell.
WorkingBoard sourceAt(int x, int y, int dir, int cx = 0, int cy = 0, int code = Empty) {
    WorkingBoard b{};
    b[static_cast<size_t>(cellIndex(cx, cy))] = code;
    b[static_cast<size_t>(cellIndex(x, y))] = dir;
    return b;
}

std::vector<Beam> beamsOf(const BeamRun& run) { return {run.beams().begin(), run.beams().end()}; }

DrawOp box(int x1, int y1, int x2, int y2) { return {DrawKind::Box, x1, y1, x2, y2, 0}; }

}  // namespace

// The earlier release asks for fewer sparks at a stop (2), a target (5) and sand (1).
using BeamRules = lumortest::InEachEdition<>;
LUMOR_IN_EACH_EDITION(BeamRules);

// What a beam entering each code from each direction ends with, sounds and sparks: a table
// written out apart from the engine's own.
TEST_P(BeamRules, EveryCodeFromEveryDirection) {
    const int stop = earlier() ? 2 : 50, take = earlier() ? 5 : 100;
    const std::set<int> stopped[5] = {{},
                                      {1, 2, 3, 4, 6, 7, 8, 9, 11, 14},
                                      {1, 2, 3, 4, 5, 7, 8, 9, 11, 12},
                                      {1, 2, 3, 4, 5, 6, 8, 9, 12, 13},
                                      {1, 2, 3, 4, 5, 6, 7, 9, 13, 14}};
    for (int dir = Right; dir <= Up; ++dir) {
        for (int code = 0; code <= ElementCount; ++code) {
            if (code == ElementCount) code = EatenSand;
            SCOPED_TRACE("direction " + std::to_string(dir) + " code " + std::to_string(code));
            const int cx = 10 + stepX(dir), cy = 6 + stepY(dir);
            BeamRun run;
            run.start(sourceAt(10, 6, dir, cx, cy, code));
            const StepOutput& o = run.cellStep();
            const Beam entered{int16_t(cx), int16_t(cy), int16_t(dir)};
            if (stopped[dir].count(code)) {
                // A source in front sends a beam of its own, which ends at ours.
                EXPECT_EQ(std::count(o.removed.begin(), o.removed.end(),
                                     RemovedBeam{entered, BeamEnd::Stopped}),
                          1);
                EXPECT_EQ(o.sounds, std::vector<int>{SoundWand});
                EXPECT_TRUE(!o.sparks.empty() && o.sparks[0].count == stop && !o.sparks[0].cool);
            } else if (code == dir + 4) {
                EXPECT_EQ(o.removed, (std::vector<RemovedBeam>{{entered, BeamEnd::Taken}}));
                EXPECT_EQ(o.sounds, std::vector<int>{SoundZiel});
                EXPECT_TRUE(o.sparks.size() == 1 && o.sparks[0].count == take && o.sparks[0].cool);
                EXPECT_EQ(run.hits(), 1);
            } else {
                EXPECT_TRUE(o.removed.empty());
                ASSERT_EQ(run.beams().size(), code == Splitter ? 2u : 1u);
                EXPECT_TRUE(run.beams()[0].x == cx && run.beams()[0].y == cy);
                const int sound = code == Sand       ? SoundSand
                                  : code == Cross    ? SoundKreuz
                                  : code == Splitter ? SoundTeiler
                                                     : -1;
                EXPECT_EQ(o.sounds, sound < 0 ? std::vector<int>{} : std::vector<int>{sound});
                EXPECT_EQ(o.sparks.size(), code == Sand ? 1u : 0u);
                if (code == Sand) {
                    EXPECT_EQ(o.sparks[0].count, earlier() ? 1 : 10);
                }
                EXPECT_EQ(run.cell(cx, cy), code == EatenSand ? Empty : code);
            }
        }
    }
}

TEST(BeamRun, SparksSitOnTheSideFacingTheBeamAndOnTheBoardEdge) {
    BeamRun run;
    // Beams in column-major order of their sources: (5,5), (8,2), (12,7), (15,9).
    run.start(board({"", "", "........v", "........#", "", ".....>#", "", "...........#<",
                     "...............#", "...............^"}));
    const StepOutput& w = run.cellStep();
    EXPECT_EQ(w.sparks, (std::vector<SparkRequest>{{50, 192, 160, 192, 192, false},
                                                   {50, 256, 96, 288, 96, false},
                                                   {50, 384, 224, 384, 256, false},
                                                   {50, 480, 288, 512, 288, false}}));
    EXPECT_EQ(w.sounds, std::vector<int>{SoundWand}) << "one sound for four stops";

    run.start(
        board({".......^", "", "", "...................>", "<", "", "", "", "", "", "", "..v"}));
    const StepOutput& l = run.cellStep();
    EXPECT_EQ(l.sparks, (std::vector<SparkRequest>{{50, 0, 128, 0, 160, false},
                                                   {50, 64, 384, 96, 384, false},
                                                   {50, 224, 0, 256, 0, false},
                                                   {50, 640, 96, 640, 128, false}}));
    EXPECT_EQ(l.removed[0].why, BeamEnd::LeftBoard);
    EXPECT_EQ(run.state(), BeamWon) << "no target, every beam gone: 0 hits equal 0 targets";
}

TEST(BeamRun, StartFillsTheSavedRecordAndSandIsGoneUntilTheBoardIsRestored) {
    LevelRecord saved;
    saved.Stock[12] = 77;
    BeamRun run;
    const StepOutput& o =
        run.start(board({"...v", "", ".^", "", "....~", ".>", "", ".......L", "", ".........U"}),
                  {5, 1, 2, 0, 0, 0, 0, 0, 3}, saved);
    EXPECT_EQ(o.sounds, std::vector<int>{SoundStart});
    EXPECT_EQ(beamsOf(run), (std::vector<Beam>{{1, 2, Up}, {1, 5, Right}, {3, 0, Down}}));
    EXPECT_EQ(run.targets(), 2);
    EXPECT_TRUE(saved.cell(4, 4) == Sand && saved.cell(3, 0) == SourceDown);
    EXPECT_TRUE(saved.Stock[0] == 5 && saved.Stock[8] == 3);
    EXPECT_EQ(saved.Stock[12], 77) << "entries behind the nine counts are kept";

    // Sand holds the beam one extra step and is gone until the board is restored.
    run.start(board({"", "", "", "", "", ">.~"}), {}, saved);
    advance(run, 1);
    EXPECT_EQ(run.cellStep().sparks, (std::vector<SparkRequest>{{10, 64, 160, 64, 192, false}}));
    const auto log = playSubSteps(run);
    for (int s = 0; s < SubSteps; ++s) {
        std::vector<DrawOp> expected;
        if (s % 8 == 0) expected = {{DrawKind::SandPicture, 64, 160, 95, 191, s / 8}};
        if (s == 30) expected = {{DrawKind::Tile, 64, 160, 95, 191, Empty}};
        if (s == 31) expected = {box(63, 174, 64, 178)};  // stepped back into (1,5)
        EXPECT_EQ(log[s].draws, expected) << s;
        EXPECT_TRUE(log[s].sounds.empty());
    }
    EXPECT_EQ(run.cell(2, 5), EatenSand);
    EXPECT_EQ(run.trailMark(2, 5), 0);
    EXPECT_EQ(run.beams()[0], (Beam{1, 5, Right}));
    EXPECT_TRUE(run.cellStep().sounds.empty()) << "eaten sand lets the beam pass silently";
    EXPECT_EQ(run.cell(2, 5), Empty);
    EXPECT_EQ(run.runToEnd().cellSteps, 21) << "one step more than without the sand";
    EXPECT_EQ(saved.cell(2, 5), Sand) << "the saved record restores it after the attempt";
}

TEST(BeamRun, SplitterSplitsOnceAndBeamsMeetingEndInTheMiddle) {
    BeamRun run;
    run.start(board({"", "", "", "", "", ">..T....<"}));
    advance(run, 2);
    EXPECT_EQ(run.cellStep().sounds, std::vector<int>{SoundTeiler});
    EXPECT_EQ(beamsOf(run), (std::vector<Beam>{{3, 5, Down}, {5, 5, Left}, {3, 5, Up}}))
        << "the new beam is appended (what is drawn: the board window's test)";
    advance(run, 1);
    const StepOutput& hit = run.cellStep();  // the left-moving beam reaches the used splitter
    EXPECT_EQ(hit.removed, (std::vector<RemovedBeam>{{{3, 5, Left}, BeamEnd::UsedSplitter}}));
    EXPECT_EQ(hit.sounds, std::vector<int>{SoundWand});
    EXPECT_EQ(hit.sparks, (std::vector<SparkRequest>{{50, 96, 160, 128, 192, false}}));
    run.setState(BeamClosing);  // a close request stops the sub-step at the next beam
    EXPECT_TRUE(run.subStep(0).closing && run.subStep(0).draws.empty());

    // Two beams meeting in an empty cell end in the middle with one wand.
    run.start(board({"", "", "", "..v", "", ">"}));
    advance(run, 1);
    EXPECT_TRUE(run.cellStep().sounds.empty());  // both enter (2,5)
    EXPECT_EQ(run.trailMark(2, 5), 2);
    const auto log = playSubSteps(run);
    for (int s = 0; s < SubSteps; ++s)
        EXPECT_EQ(log[s].removed.empty() && log[s].sounds.empty(), s != 14) << s;
    EXPECT_EQ(log[14].removed, (std::vector<RemovedBeam>{{{2, 5, Right}, BeamEnd::Collision},
                                                         {{2, 5, Down}, BeamEnd::Collision}}));
    EXPECT_EQ(log[14].sounds, std::vector<int>{SoundWand});
    ASSERT_EQ(log[14].sparks.size(), 2u);
    EXPECT_EQ(log[14].sparks[0], (SparkRequest{50, 64, 160, 96, 192, false}));
    EXPECT_EQ(log[14].draws.size(), 2u) << "the front is drawn before the collision test";
    EXPECT_TRUE(log[15].draws.empty());
}

// Each deflector once, entered from each side once and left by each side once: the band's
// mark at sub-step 12, the wedge at 16 (drawn into the board window's test), the mark after
// the turn at 18 and lenk at 14.
TEST(BeamDrawing, DeflectorMarksTurnAndLenk) {
    const std::vector<DrawOp> rightMark = {box(12, 14, 12, 18), box(13, 14, 13, 17)};
    const std::vector<DrawOp> downMark = {box(14, 12, 18, 12)}, upMark = {box(14, 19, 18, 19)};
    const std::vector<DrawOp> leftMark = {box(19, 14, 19, 18)};
    const struct {
        int code, in, out;
        std::vector<DrawOp> at12, at18;  // relative to the cell's corner
    } cases[] = {
        {DeflectorRightDown, Left, Down, leftMark, upMark},
        {DeflectorLeftDown, Up, Left, upMark, rightMark},
        {DeflectorLeftUp, Right, Up, rightMark, downMark},
        {DeflectorRightUp, Down, Right, downMark, leftMark},
    };
    const int dx = 9, dy = 5, px = 32 * dx, py = 32 * dy;  // the deflector's cell
    auto shifted = [&](std::vector<DrawOp> v) {
        for (auto& op : v) op.x1 += px, op.x2 += px, op.y1 += py, op.y2 += py;
        return v;
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("code " + std::to_string(c.code) + " from " + std::to_string(c.in));
        BeamRun run;
        run.start(sourceAt(dx - stepX(c.in), dy - stepY(c.in), c.in, dx, dy, c.code));
        EXPECT_TRUE(run.cellStep().sounds.empty());
        const auto log = playSubSteps(run);
        EXPECT_EQ(log[12].draws, shifted(c.at12));
        EXPECT_FALSE(log[16].draws.empty());
        for (const DrawOp& op : log[16].draws)  // the wedge fills the corner of the band
            EXPECT_TRUE(op.kind == DrawKind::Line && std::min(op.x1, op.x2) >= px + 13 &&
                        std::max(op.x1, op.x2) <= px + 18 && std::min(op.y1, op.y2) >= py + 13 &&
                        std::max(op.y1, op.y2) <= py + 18);
        EXPECT_EQ(log[18].draws, shifted(c.at18));
        for (int s : {13, 14, 15, 17}) EXPECT_TRUE(log[s].draws.empty()) << s;
        for (int s = 0; s < SubSteps; ++s)
            EXPECT_EQ(log[s].sounds, s == 14 ? std::vector<int>{SoundLenk} : std::vector<int>{});
        EXPECT_EQ(log[16].sparks,
                  (std::vector<SparkRequest>{{5, px, py, px + 32, py + 32, false}}));
        EXPECT_EQ(run.beams()[0].dir, c.out);
    }
}

TEST(BeamSounds, OnlyTheHighestSoundOfAStepIsPlayed) {
    BeamRun run;
    // Sand (2), a stop (5), a target (6) and a cross in one step: ziel only.
    EXPECT_EQ(run.start(board({">~", "", ">R", "", ">#", "", ">+"})).sounds,
              std::vector<int>{SoundStart});
    EXPECT_EQ(run.cellStep().sounds, std::vector<int>{SoundZiel});
    // A stop in the same step keeps the deflector's lenk silent...
    run.start(board({">\u2510", "", "", ">#"}));
    EXPECT_EQ(run.cellStep().sounds, std::vector<int>{SoundWand});
    EXPECT_TRUE(playSubSteps(run)[14].sounds.empty());
    // ...a split (4) does not, and lenk raises the level so a second deflector stays silent.
    run.start(board({">\u2510", "", "", ">T", "", "", "", "", ">\u2510"}));
    EXPECT_EQ(run.cellStep().sounds, std::vector<int>{SoundTeiler});
    EXPECT_EQ(playSubSteps(run)[14].sounds, std::vector<int>{SoundLenk});
    // A collision on a deflector in the middle: lenk, then wand, in one sub-step.
    run.start(board({"", "", "...v", "", "", ">..\u2518"}));
    advance(run, 2);
    EXPECT_TRUE(run.cellStep().sounds.empty());
    const auto log = playSubSteps(run);
    EXPECT_EQ(log[14].sounds, (std::vector<int>{SoundLenk, SoundWand}));
    EXPECT_EQ(log[14].removed.size(), 2u);
}

// Random boards, codes no level should hold included: every run ends, only sand is used
// up, and the run played without drawing agrees with the drawn one.
TEST(BeamRun, RandomBoardsEndAndKeepTheirCounts) {
    SeededRandom random(7);
    BeamRun run;
    for (int n = 0; n < 2000; ++n) {
        WorkingBoard b{};
        for (auto& c : b) {
            const double r = random.next();
            c = r < 0.5 ? 0 : static_cast<int>(random.next() * 21);
            if (c >= 17 && random.next() < 0.5) c = Sand;
            if (r < 0.003)
                c = std::array{int{EatenSand}, -7, 21, 30000}[static_cast<size_t>(n % 4)];
        }
        std::vector<int> sounds;
        const RunResult r = run.run(b, &sounds);
        ASSERT_TRUE(r.state == BeamWon || r.state == BeamFailed);
        for (int i = 0; i < CellCount; ++i) {
            const int before = b[static_cast<size_t>(i)],
                      after = run.board()[static_cast<size_t>(i)];
            EXPECT_TRUE(after == before ||
                        ((before == Sand || before == EatenSand) && after == Empty));
        }
        std::vector<int> drawn = run.start(b).sounds;
        const auto heard = [&](const StepOutput& o) {
            drawn.insert(drawn.end(), o.sounds.begin(), o.sounds.end());
        };
        while (!run.finished()) {
            heard(run.cellStep());
            for (int s = 0; s < SubSteps && !run.finished(); ++s) heard(run.subStep(s));
        }
        ASSERT_EQ(drawn, sounds);
        EXPECT_EQ(run.hits(), r.hits);
        EXPECT_EQ(run.cellSteps(), r.cellSteps);
    }
}
