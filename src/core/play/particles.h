// The spark pool of the board window: a fixed array of single-pixel particles that
// beam events spawn, and the two passes that erase, age, move and draw them.
#pragma once

#include "app/random.h"
#include "play/cells.h"

#include <array>
#include <cstdint>

namespace lumor {

// Colours are red + 256 * green + 65536 * blue, as the board picture reports them.
constexpr int32_t rgbColour(int red, int green, int blue) {
    return red + 256 * green + 65536 * blue;
}

// A request to spawn sparks, as the beam engine reports it: Addpartikel's arguments.
struct SparkRequest {
    int count = 0;
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // board pixels, x2 >= x1, y2 >= y1
    bool cool = false;                   // cool colours for a target hit, warm otherwise
    bool operator==(const SparkRequest&) const = default;
};

// The pixels the particles live on (the board picture). The pool calls pixel() and
// setPixel() only for points inside the 640 x 384 board; outside, a read is -1 and a
// write does nothing, as the window system's device context behaves.
class PixelSurface {
public:
    virtual ~PixelSurface() = default;
    virtual int32_t pixel(int x, int y) const = 0;
    virtual void setPixel(int x, int y, int32_t colour) = 0;
    // A point drawn with the board picture's own method rather than through its device
    // context. BewegPartikel ends every frame with one outside the board: it changes no
    // pixel, but it is what makes the picture show the frame, so a window repaints here.
    virtual void point(int x, int y, int32_t colour) {
        if (inBoard(x, y)) setPixel(x, y, colour);
    }

    static constexpr bool inBoard(int x, int y) {
        return x >= 0 && y >= 0 && x < BoardPixelWidth && y < BoardPixelHeight;
    }
};

struct Particle {
    float X = 0, Y = 0;    // position in board pixels
    float VX = 0, VY = 0;  // movement per frame
    int32_t Under =
        -1;  // board pixel under the particle before it was drawn; -1 = nothing to restore
    int32_t Colour = 0;
    int16_t Life = 0;    // frames left
    bool Alive = false;  // record in use
};

class ParticlePool {
public:
    static constexpr int LastIndex = 2500;  // records 0..2500
    static constexpr int Size = LastIndex + 1;

    // enabled is OptParticles: when off, Addpartikel and BewegPartikel change nothing.
    explicit ParticlePool(Random& random, bool enabled = true)
        : random_(&random), enabled_(enabled) {}

    void setEnabled(bool on) { enabled_ = on; }
    bool enabled() const { return enabled_; }
    void setRandom(Random& random) { random_ = &random; }

    // Frees every record (start of an attempt).
    void reset();

    // Spawns up to count particles in the rectangle, from the lowest free index on. The
    // live count is tested on entry only, so one call may fill the pool to its last record.
    // In the earlier release each of the count rounds is a block of RedBlockSide x
    // RedBlockSide pure red particles centred on one random point of the rectangle, all
    // with one random velocity (each with its own life), whatever `cool` says.
    void Addpartikel(int count, int x1, int y1, int x2, int y2, bool cool);
    static constexpr int RedBlockSide = 3;
    void add(const SparkRequest& r) { Addpartikel(r.count, r.x1, r.y1, r.x2, r.y2, r.cool); }

    // Records 2500 down to 0: restore the pixel under each drawn particle, age it, free it
    // when its life runs out. The beam engine runs this before drawing a sub-step.
    void erasePass(PixelSurface& surface);
    // Records 0 up to 2500: move each particle, remember the pixel under it, draw it. A
    // particle that has left the board and moves on away from it is freed.
    void moveDrawPass(PixelSurface& surface);
    // One finale frame: both passes and the point outside the board; only when enabled.
    void BewegPartikel(PixelSurface& surface);

    int liveCount() const { return liveCount_; }
    int lowestFree() const { return lowestFree_; }
    const Particle& operator[](int i) const { return pool_[static_cast<size_t>(i)]; }

private:
    void free(int i);
    void addRedBlocks(int count, int x1, int y1, int x2, int y2);

    std::array<Particle, Size> pool_{};
    Random* random_;
    bool enabled_;
    int liveCount_ = 0;
    int lowestFree_ = 0;
};

}  // namespace lumor
