#include "play/particles.h"
#include "app/random.h"

#include <gtest/gtest.h>

#include <deque>
#include <vector>

using namespace lumor;

namespace {

// Hands out the fractions queued (then 0.5) and counts the draws.
struct ScriptedRandom final : Random {
    double next() override {
        ++draws;
        const double r = values.empty() ? 0.5 : values.front();
        if (!values.empty()) values.pop_front();
        return r;
    }
    std::deque<double> values;
    int draws = 0;
};

// The board picture; the pool must only touch pixels inside it.
struct Board final : PixelSurface {
    int32_t pixel(int x, int y) const override { return ++reads, px[index(x, y)]; }
    void setPixel(int x, int y, int32_t c) override { ++writes, px[index(x, y)] = c; }
    void point(int x, int y, int32_t c) override {
        points.push_back({x, y}), PixelSurface::point(x, y, c);
    }
    int32_t& at(int x, int y) { return px[index(x, y)]; }
    static size_t index(int x, int y) {
        EXPECT_TRUE(inBoard(x, y)) << x << "," << y;
        return static_cast<size_t>(x + 640 * y);
    }

    std::vector<int32_t> px = std::vector<int32_t>(640 * 384, 0);
    mutable int reads = 0;
    int writes = 0;
    std::vector<std::pair<int, int>> points;
};

// Adds n particles at the point (x, y), each moving by (vx, vy) per frame with the given life.
void spawn(ParticlePool& pool, ScriptedRandom& r, int n, int life, double vx, double vy, int x,
           int y, bool cool = false) {
    const auto frac = [](int whole, int range) { return (whole + 0.5) / range; };
    for (int i = 0; i < n; ++i)
        r.values.insert(r.values.end(), {0.0, 0.0, frac(life - 2, 10), 0.5, 0.5,
                                         frac(int(vx * 2) + 6, 12), frac(int(vy * 2) + 6, 12)});
    pool.Addpartikel(n, x, y, x, y, cool);
}

}  // namespace

TEST(Particles, AFrameRestoresAgesMovesAndDrawsAndFreedRecordsAreReusedLowestFirst) {
    ScriptedRandom r;
    ParticlePool pool(r);
    Board board;
    const int32_t yellow = rgbColour(255, 255, 0);
    board.at(100, 100) = yellow;  // the beam
    spawn(pool, r, 1, 2, 2.0, 0.0, 98, 100);
    spawn(pool, r, 1, 11, 0, 0, 300, 300);  // record 1 outlives record 0
    const int32_t colour = pool[0].Colour;

    pool.BewegPartikel(board);  // nothing to restore yet; moves onto the beam
    EXPECT_EQ(pool[0].Under, yellow);
    EXPECT_EQ(board.at(100, 100), colour);
    EXPECT_EQ(pool[0].Life, 2) << "not aged before it was drawn";
    EXPECT_EQ(board.points, (std::vector<std::pair<int, int>>{{-1, -1}}));
    pool.BewegPartikel(board);
    EXPECT_EQ(board.at(100, 100), yellow) << "the beam's pixel comes back";
    EXPECT_EQ(board.at(102, 100), colour);
    EXPECT_EQ(pool[0].Life, 1);
    pool.BewegPartikel(board);
    pool.BewegPartikel(board);  // Life 0 -> -1: freed after restoring
    EXPECT_FALSE(pool[0].Alive);
    EXPECT_EQ(pool.liveCount(), 1);
    EXPECT_TRUE(board.at(104, 100) == 0 && board.at(106, 100) == 0);

    spawn(pool, r, 2, 5, 0, 0, 7, 7, true);
    EXPECT_TRUE(pool[0].X == 7.0f && pool[1].X == 300.0f && pool[2].X == 7.0f);
}

TEST(Particles, SharedPixelsAreRestoredInReverseOrderAndSparksLeavingTheBoardAreFreed) {
    ScriptedRandom r;
    ParticlePool pool(r);
    Board board;
    board.at(50, 50) = 1234;
    spawn(pool, r, 2, 5, 0.5, 0, 50, 50);  // both stay on (50, 50)
    spawn(pool, r, 1, 2, -3.0, 0, 1, 10);
    spawn(pool, r, 1, 2, 0, -0.5, 5, 0);       // half a pixel above the board is outside too
    spawn(pool, r, 1, 2, 2.5, 2.5, 638, 380);  // leaves by the lower right corner
    spawn(pool, r, 1, 3, 1.0, 0, -3, 200);     // spawned outside, flying in
    spawn(pool, r, 1, 3, 0, 0, 10, 400);       // outside and standing still
    pool.moveDrawPass(board);
    EXPECT_EQ(pool[1].Under, pool[0].Colour);
    EXPECT_EQ(pool.liveCount(), 3);
    EXPECT_EQ(pool.lowestFree(), 0) << "only ever lowered";
    for (int i : {2, 3, 4, 6}) EXPECT_FALSE(pool[i].Alive) << i;
    pool.erasePass(board);
    EXPECT_EQ(board.at(50, 50), 1234);

    // The one flying in is kept until it reaches the board, then drawn and aged.
    pool.BewegPartikel(board);
    EXPECT_TRUE(pool[5].Alive && pool[5].Under == -1 && pool[5].Life == 3);
    pool.BewegPartikel(board);
    EXPECT_EQ(board.at(0, 200), pool[5].Colour);
    for (int frame = 0; frame < 10; ++frame)
        pool.BewegPartikel(board);  // Board fails any read outside
    EXPECT_EQ(pool.liveCount(), 0);
}

TEST(Particles, TheLiveCountIsTestedOnEntryOnlyAndOffChangesNothing) {
    SeededRandom random(11);
    ParticlePool pool(random);
    pool.Addpartikel(2450, 0, 0, 640, 384, false);
    EXPECT_EQ(pool.liveCount(), 2450);
    pool.Addpartikel(100, 0, 0, 640, 384, true);
    EXPECT_EQ(pool.liveCount(), ParticlePool::Size) << "the remaining 51 records are filled";
    EXPECT_TRUE(pool[ParticlePool::LastIndex].Alive);

    // At 2500 live a call is refused although one record is free; reset frees them all.
    pool.reset();
    EXPECT_FALSE(pool[0].Alive);
    pool.Addpartikel(2500, 0, 0, 640, 384, false);
    ScriptedRandom counted;
    pool.setRandom(counted);
    pool.Addpartikel(1, 0, 0, 10, 10, false);
    EXPECT_EQ(counted.draws, 0);
    EXPECT_FALSE(pool[ParticlePool::LastIndex].Alive);

    pool.reset();
    pool.setEnabled(false);
    pool.Addpartikel(100, 0, 0, 640, 384, false);
    EXPECT_TRUE(counted.draws == 0 && pool.liveCount() == 0);
    pool.setEnabled(true);
    pool.Addpartikel(3, 0, 0, 640, 384, false);
    EXPECT_EQ(pool.liveCount(), 3);
    pool.setEnabled(false);
    Board board;
    pool.BewegPartikel(board);
    EXPECT_TRUE(board.reads + board.writes == 0 && board.points.empty())
        << "nothing moves while the option is off";
}
