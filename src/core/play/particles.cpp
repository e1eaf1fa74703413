#include "play/particles.h"

#include "app/edition.h"

#include <cmath>

namespace lumor {

namespace {

// Int(): the whole number at or below.
int whole(double v) { return static_cast<int>(std::floor(v)); }
// Rounding to the nearest whole number, halves to even as the conversion to an integer does.
int rounded(double v) { return static_cast<int>(std::nearbyint(v)); }

int32_t readPixel(const PixelSurface& surface, int x, int y) {
    return PixelSurface::inBoard(x, y) ? surface.pixel(x, y) : -1;
}

void writePixel(PixelSurface& surface, int x, int y, int32_t colour) {
    if (PixelSurface::inBoard(x, y)) surface.setPixel(x, y, colour);
}

// True when a coordinate lies outside 0..size-1 and its movement does not lead back.
bool neverReturns(int at, float velocity, int size) {
    return (at < 0 && velocity <= 0) || (at >= size && velocity >= 0);
}

}  // namespace

void ParticlePool::reset() {
    for (Particle& p : pool_) p.Alive = false;
    liveCount_ = 0;
    lowestFree_ = 0;
}

void ParticlePool::free(int i) {
    pool_[static_cast<size_t>(i)].Alive = false;
    --liveCount_;
    if (i < lowestFree_) lowestFree_ = i;
}

void ParticlePool::Addpartikel(int count, int x1, int y1, int x2, int y2, bool cool) {
    if (!enabled_ || liveCount_ >= LastIndex || count <= 0) return;
    if (edition().redSparkBlocks) {
        addRedBlocks(count, x1, y1, x2, y2);
        return;
    }
    Random& r = *random_;
    int spawned = 0;
    for (int i = lowestFree_; i <= LastIndex; ++i) {
        Particle& p = pool_[static_cast<size_t>(i)];
        if (p.Alive) continue;
        p.X = static_cast<float>(x1 + whole((x2 - x1) * r.next()));
        p.Y = static_cast<float>(y1 + whole((y2 - y1) * r.next()));
        p.Life = static_cast<int16_t>(whole(r.next() * 10) + 2);
        p.Alive = true;
        if (cool) {
            const int red = rounded(r.next() * 255);
            const int green = rounded(r.next() * 255);
            p.Colour = rgbColour(red, green, 255);
        } else {
            const int green = whole(r.next() * 128) + 128;
            const int blue = rounded(r.next() * 255);
            p.Colour = rgbColour(255, green, blue);
        }
        p.Under = -1;
        p.VX = static_cast<float>(whole(r.next() * 12) - 6) / 2.0f;
        p.VY = static_cast<float>(whole(r.next() * 12) - 6) / 2.0f;
        ++liveCount_;
        if (++spawned == count) return;
    }
}

void ParticlePool::addRedBlocks(int count, int x1, int y1, int x2, int y2) {
    Random& r = *random_;
    int i = lowestFree_;
    for (int round = 0; round < count; ++round) {
        const int x = x1 + whole((x2 - x1) * r.next());
        const int y = y1 + whole((y2 - y1) * r.next());
        const float vx = static_cast<float>(whole(r.next() * 12) - 6) / 2.0f;
        const float vy = static_cast<float>(whole(r.next() * 12) - 6) / 2.0f;
        constexpr int half = RedBlockSide / 2;
        for (int dy = -half; dy <= half; ++dy)
            for (int dx = -half; dx <= half; ++dx) {
                while (i <= LastIndex && pool_[static_cast<size_t>(i)].Alive) ++i;
                if (i > LastIndex) return;  // the pool is full
                Particle& p = pool_[static_cast<size_t>(i)];
                p.X = static_cast<float>(x + dx);
                p.Y = static_cast<float>(y + dy);
                p.Life = static_cast<int16_t>(whole(r.next() * 10) + 2);
                p.Alive = true;
                p.Colour = rgbColour(255, 0, 0);
                p.Under = -1;
                p.VX = vx;
                p.VY = vy;
                ++liveCount_;
            }
    }
}

void ParticlePool::erasePass(PixelSurface& surface) {
    for (int i = LastIndex; i >= 0; --i) {
        Particle& p = pool_[static_cast<size_t>(i)];
        // A particle never drawn on the board has nothing to restore and does not age.
        if (!p.Alive || p.Under == -1) continue;
        writePixel(surface, whole(p.X), whole(p.Y), p.Under);
        --p.Life;
        if (p.Life < 0) free(i);
    }
}

void ParticlePool::moveDrawPass(PixelSurface& surface) {
    for (int i = 0; i <= LastIndex; ++i) {
        Particle& p = pool_[static_cast<size_t>(i)];
        if (!p.Alive) continue;
        p.X += p.VX;
        p.Y += p.VY;
        const int x = whole(p.X), y = whole(p.Y);
        // Off the board a spark is never drawn and so never ages; once its path cannot
        // bring it back, its record is freed, or endless fireworks would fill the pool.
        if (neverReturns(x, p.VX, BoardPixelWidth) || neverReturns(y, p.VY, BoardPixelHeight)) {
            free(i);
            continue;
        }
        p.Under = readPixel(surface, x, y);
        writePixel(surface, x, y, p.Colour);
    }
}

void ParticlePool::BewegPartikel(PixelSurface& surface) {
    if (!enabled_) return;
    erasePass(surface);
    moveDrawPass(surface);
    surface.point(-1, -1, 0);
}

}  // namespace lumor
