#include "app/random.h"
#include "play/particles.h"

#include <gtest/gtest.h>

#include <deque>
#include <vector>

using namespace lumor;

namespace {

// Hands out the given fractions in order and counts the draws.
class ScriptedRandom final : public Random {
public:
    ScriptedRandom(std::initializer_list<double> v = {}) : values(v) {}
    double next() override {
        ++draws;
        if (values.empty()) return fallback;
        const double r = values.front();
        values.pop_front();
        return r;
    }
    std::deque<double> values;
    double fallback = 0.5;
    int draws = 0;
};

class Board final : public PixelSurface {
public:
    Board() : px(640 * 384, 0) {}
    int32_t pixel(int x, int y) const override {
        EXPECT_TRUE(inBoard(x, y));
        ++reads;
        return px[static_cast<size_t>(x + 640 * y)];
    }
    void setPixel(int x, int y, int32_t c) override {
        EXPECT_TRUE(inBoard(x, y));
        ++writes;
        px[static_cast<size_t>(x + 640 * y)] = c;
    }
    void point(int x, int y, int32_t c) override {
        points.push_back({x, y});
        PixelSurface::point(x, y, c);
    }
    int32_t& at(int x, int y) { return px[static_cast<size_t>(x + 640 * y)]; }

    std::vector<int32_t> px;
    mutable int reads = 0;
    int writes = 0;
    std::vector<std::pair<int, int>> points;
};

// Fractions that give one particle at (x, y) moving by (vx, vy) per frame with the given life
// (the rectangle passed is (x, y)-(x, y), so the position draws do not matter).
void script(ScriptedRandom& r, int life, double vx, double vy) {
    const auto frac = [](int whole, int range) { return (whole + 0.5) / range; };
    r.values.insert(r.values.end(), {0.0, 0.0, frac(life - 2, 10), 0.5, 0.5, frac(int(vx * 2) + 6, 12),
                                     frac(int(vy * 2) + 6, 12)});
}

}  // namespace

TEST(Particles, SpawnDrawsItsRandomNumbersInOrder) {
    ScriptedRandom r{0.5, 0.25, 0.95, 0.3, 0.5, 0.0, 0.999,  // warm
                     0.0, 0.999, 0.0, 0.2, 0.5, 0.5, 0.5};   // cool
    ParticlePool pool(r);
    pool.Addpartikel(1, 10, 20, 30, 60, false);
    EXPECT_EQ(r.draws, 7);
    const Particle& p = pool[0];
    EXPECT_TRUE(p.Alive);
    EXPECT_EQ(p.X, 20.0f);   // 10 + Int(20 * 0.5)
    EXPECT_EQ(p.Y, 30.0f);   // 20 + Int(40 * 0.25)
    EXPECT_EQ(p.Life, 11);   // Int(9.5) + 2
    EXPECT_EQ(p.Colour, rgbColour(255, 166, 128));  // green Int(38.4) + 128; blue 127.5 to the even 128
    EXPECT_EQ(p.Under, -1);
    EXPECT_EQ(p.VX, -3.0f);
    EXPECT_EQ(p.VY, 2.5f);

    pool.Addpartikel(1, 0, 0, 32, 32, true);
    EXPECT_EQ(r.draws, 14);
    const Particle& q = pool[1];
    EXPECT_EQ(q.X, 0.0f);
    EXPECT_EQ(q.Y, 31.0f);
    EXPECT_EQ(q.Life, 2);
    EXPECT_EQ(q.Colour, rgbColour(51, 128, 255));
    EXPECT_EQ(q.VX, 0.0f);
    EXPECT_EQ(q.VY, 0.0f);
    EXPECT_EQ(pool.liveCount(), 2);
}

TEST(Particles, OffChangesNothing) {
    ScriptedRandom r;
    ParticlePool pool(r, false);
    Board board;
    pool.Addpartikel(100, 0, 0, 640, 384, false);
    EXPECT_EQ(r.draws, 0);
    EXPECT_EQ(pool.liveCount(), 0);
    pool.BewegPartikel(board);
    EXPECT_EQ(board.reads + board.writes, 0);
    EXPECT_TRUE(board.points.empty());

    pool.setEnabled(true);
    pool.Addpartikel(3, 0, 0, 640, 384, false);
    EXPECT_EQ(pool.liveCount(), 3);
    pool.setEnabled(false);
    pool.BewegPartikel(board);
    EXPECT_EQ(board.writes, 0) << "nothing moves while the option is off";
}

TEST(Particles, AFrameRestoresAgesMovesAndDraws) {
    ScriptedRandom r;
    ParticlePool pool(r);
    Board board;
    const int32_t yellow = rgbColour(255, 255, 0);
    board.at(100, 100) = yellow;  // the beam
    script(r, 2, 2.0, 0.0);
    pool.Addpartikel(1, 98, 100, 98, 100, false);
    const int32_t colour = pool[0].Colour;

    pool.BewegPartikel(board);  // nothing to restore yet; moves onto the beam
    EXPECT_EQ(pool[0].X, 100.0f);
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
    EXPECT_EQ(pool.liveCount(), 0);
    EXPECT_EQ(board.at(104, 100), 0);
    EXPECT_EQ(board.at(106, 100), 0);
    EXPECT_EQ(board.at(100, 100), yellow);
    EXPECT_EQ(pool.lowestFree(), 0);

    // The freed record is the first one taken again.
    script(r, 5, 0, 0);
    pool.Addpartikel(1, 7, 7, 7, 7, true);
    EXPECT_TRUE(pool[0].Alive);
    EXPECT_EQ(pool[0].X, 7.0f);
}

TEST(Particles, TwoOnOnePixelAreErasedInReverseOrder) {
    ScriptedRandom r;
    ParticlePool pool(r);
    Board board;
    board.at(50, 50) = 1234;
    script(r, 5, 0.5, 0);
    script(r, 5, 0.5, 0);
    pool.Addpartikel(2, 50, 50, 50, 50, false);
    pool.moveDrawPass(board);
    EXPECT_EQ(pool[0].Under, 1234);
    EXPECT_EQ(pool[1].Under, pool[0].Colour);
    pool.erasePass(board);
    EXPECT_EQ(board.at(50, 50), 1234);
}

TEST(Particles, OffTheBoardReadsMinusOneAndNeverAges) {
    ScriptedRandom r;
    ParticlePool pool(r);
    Board board;
    script(r, 2, -3.0, 0);
    pool.Addpartikel(1, 1, 10, 1, 10, false);
    for (int frame = 0; frame < 30; ++frame) pool.BewegPartikel(board);
    EXPECT_TRUE(pool[0].Alive);
    EXPECT_EQ(pool[0].Under, -1);
    EXPECT_EQ(pool[0].Life, 2);
    EXPECT_EQ(pool[0].X, 1.0f - 90.0f);
    EXPECT_EQ(pool.liveCount(), 1);
    EXPECT_EQ(board.writes, 0);
    EXPECT_EQ(board.reads, 0);
    // Half a pixel left of the board is outside too.
    script(r, 2, -0.5, 0);
    pool.Addpartikel(1, 0, 5, 0, 5, false);
    pool.moveDrawPass(board);
    EXPECT_EQ(pool[1].Under, -1);
    pool.reset();
    EXPECT_EQ(pool.liveCount(), 0);
    EXPECT_FALSE(pool[0].Alive);
}

TEST(Particles, TheLiveCountIsTestedOnEntryOnly) {
    SeededRandom random(11);
    ParticlePool pool(random);
    pool.Addpartikel(2450, 0, 0, 640, 384, false);
    EXPECT_EQ(pool.liveCount(), 2450);
    pool.Addpartikel(100, 0, 0, 640, 384, true);
    EXPECT_EQ(pool.liveCount(), ParticlePool::Size) << "the remaining 51 records are filled";
    for (int i = 0; i <= ParticlePool::LastIndex; ++i) ASSERT_TRUE(pool[i].Alive);
    pool.Addpartikel(5, 0, 0, 640, 384, true);
    EXPECT_EQ(pool.liveCount(), ParticlePool::Size);

    // At 2500 live a call is refused although one record is free.
    pool.reset();
    pool.Addpartikel(2500, 0, 0, 640, 384, false);
    ScriptedRandom counted;
    pool.setRandom(counted);
    pool.Addpartikel(1, 0, 0, 10, 10, false);
    EXPECT_EQ(counted.draws, 0);
    EXPECT_FALSE(pool[ParticlePool::LastIndex].Alive);
}
