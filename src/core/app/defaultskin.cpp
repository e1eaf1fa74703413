#include "app/defaultskin.h"

#include "play/elements.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <utility>
#include <vector>

namespace lumor {

namespace {

constexpr int N = 32;

int clamp255(double v) { return static_cast<int>(std::lround(std::clamp(v, 0.0, 255.0))); }

uint32_t shade(uint32_t c, double f) {
    return rgb(clamp255(redOf(c) * f), clamp255(greenOf(c) * f), clamp255(blueOf(c) * f));
}

uint32_t mix(uint32_t a, uint32_t b, double t) {
    return rgb(clamp255(redOf(a) + (redOf(b) - redOf(a)) * t),
               clamp255(greenOf(a) + (greenOf(b) - greenOf(a)) * t),
               clamp255(blueOf(a) + (blueOf(b) - blueOf(a)) * t));
}

uint32_t hash(uint32_t x, uint32_t y, uint32_t seed) {
    uint32_t h = x * 0x9E3779B1u ^ (y + 0x7F4A7C15u) * 0x85EBCA77u ^ seed * 0xC2B2AE3Du;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return h;
}
double hash01(uint32_t x, uint32_t y, uint32_t seed) {
    return (hash(x, y, seed) & 0xFFFFFF) / double(0x1000000);
}

// Light falling from the upper left onto a surface with the normal (nx, ny, nz).
double lit(double nx, double ny, double nz) {
    const double lx = -0.55, ly = -0.35, lz = 0.76;  // roughly unit length
    return std::max(0.0, nx * lx + ny * ly + nz * lz);
}

// Cylindrical metal shading across a shape: t runs from -1 (left edge) to 1 (right edge).
uint32_t metal(uint32_t base, double t, double extra = 1.0) {
    t = std::clamp(t, -0.999, 0.999);
    const double d = lit(t, 0.0, std::sqrt(1 - t * t));
    const double shine = std::pow(d, 18) * 0.55;
    const uint32_t body = shade(base, (0.28 + 0.78 * d) * extra);
    return mix(body, rgb(255, 255, 255), shine);
}

// Every picture's columns are centred on pixel 16, the middle of the beam's band
// (rows/columns 14 to 18), so that beams meet the drawn pieces in their middle.
constexpr double Mid = 16.5;

// --- tile 4: a grey bottle, its neck reaching the top edge ---------------------------
double bottleHalfWidth(int y) {
    if (y <= 1) return 4.5;  // lip
    if (y <= 8) return 3.5;  // neck
    if (y <= 13) {           // shoulders
        const double t = (y - 8) / 5.0;
        return 3.5 + 6.0 * std::sin(t * M_PI / 2);
    }
    if (y <= 28) return 9.5;  // body
    if (y == 29) return 9.0;
    if (y == 30) return 7.5;
    return 0;
}

RgbImage bottle() {
    RgbImage img(N, N);
    const uint32_t grey = rgb(170, 172, 182);
    for (int y = 0; y < N; ++y) {
        const double hw = bottleHalfWidth(y);
        for (int x = 0; x < N; ++x) {
            const double dx = x + 0.5 - Mid;
            if (std::abs(dx) >= hw) continue;
            double f = 1.0;
            if (y <= 1)
                f = 1.12;  // lip catches the light
            else if (y == 2 || y == 8)
                f = 0.72;  // rings under the lip and at the shoulder
            else if (y >= 14)
                f = 1.0 - 0.18 * (y - 14) / 16.0;  // darker towards the floor
            if (y >= 18 && y <= 24) f *= 0.84;     // label band
            if (y == 18 || y == 24) f *= 0.8;
            uint32_t c = metal(grey, dx / hw, f);
            const bool edge =
                std::abs(dx) > hw - 1.0 || y == 30 || bottleHalfWidth(y + 1) < std::abs(dx) + 0.5;
            const bool top = y > 0 && bottleHalfWidth(y - 1) <= std::abs(dx);
            if (edge)
                c = shade(c, 0.55);
            else if (top)
                c = mix(c, rgb(235, 236, 240), 0.45);
            img.setPixel(x, y, c);
        }
    }
    return img;
}

// --- tile 6: a grey cup, open at the top, with brownish content -------------------------
RgbImage cup() {
    RgbImage img(N, N);
    const uint32_t grey = rgb(168, 170, 178);
    const double rimY = 8.5, rimRx = 12.4, rimRy = 5.0;
    const double bottomY = 27.5;
    auto bodyHalfWidth = [&](double py) { return rimRx - 2.6 * (py - rimY) / (bottomY - rimY); };
    for (int y = 0; y < N; ++y) {
        for (int x = 0; x < N; ++x) {
            const double px = x + 0.5, py = y + 0.5, dx = px - Mid;
            uint32_t c = 0;
            bool set = false;
            // Body: a slightly tapering cylinder with a rounded bottom.
            if (py >= rimY && py <= bottomY + 2.2) {
                const double hw = bodyHalfWidth(std::min(py, bottomY));
                const double ey = py > bottomY ? (py - bottomY) / 2.2 : 0.0;
                const double w = hw * std::sqrt(std::max(0.0, 1 - ey * ey));
                if (std::abs(dx) < w) {
                    c = metal(grey, dx / w, 1.0 - 0.2 * (py - rimY) / (bottomY - rimY));
                    if (std::abs(dx) > w - 1.0 || py > bottomY + 1.2) c = shade(c, 0.55);
                    set = true;
                }
            }
            // Foot.
            if (y >= 29 && y <= 30 && std::abs(dx) < 6.5) {
                c = metal(rgb(120, 122, 130), dx / 6.5, y == 30 ? 0.7 : 1.0);
                set = true;
            }
            // The opening: rim ring around the content.
            const double er = std::pow(dx / rimRx, 2) + std::pow((py - rimY) / rimRy, 2);
            if (er < 1.0) {
                const double irx = rimRx - 1.8, iry = rimRy - 1.5;
                const double ir = std::pow(dx / irx, 2) + std::pow((py - rimY) / iry, 2);
                if (ir < 1.0) {
                    const double back = (rimY - py) / iry;  // 1 at the back, -1 in front
                    if (back > 0.3) {
                        // The inside of the back wall above the content, in shade.
                        c = metal(rgb(110, 112, 120), -dx / irx, 0.7);
                    } else {
                        // Brown content, lighter at the back, in shadow under the front rim.
                        const double f = 0.85 + 0.3 * back - 0.2 * dx / irx;
                        c = shade(rgb(140, 82, 38), f);
                        if (back > 0.0 && back < 0.3 && dx > -7 && dx < -1)
                            c = mix(c, rgb(206, 150, 92), 0.5);  // glint
                    }
                } else {
                    c = py < rimY ? mix(metal(grey, dx / rimRx, 1.1), rgb(240, 240, 244), 0.35)
                                  : metal(grey, dx / rimRx, 0.95);
                    if (er > 0.8) c = shade(c, 0.78);
                }
                set = true;
            }
            if (set) img.setPixel(x, y, c);
        }
    }
    return img;
}

// --- tile 9: grey bricks with dark joints (rows of 8, half-brick offset; tiles seamlessly)
RgbImage wall() {
    RgbImage img(N, N);
    const uint32_t joint = rgb(44, 44, 50);
    for (int y = 0; y < N; ++y) {
        const int row = y / 8, yin = y % 8;
        const int offset = row % 2 ? 8 : 0;
        for (int x = 0; x < N; ++x) {
            const int xin = (x + offset) % 16;
            if (yin == 7 || xin == 15) {
                img.setPixel(x, y, joint);
                continue;
            }
            const int brick = ((x + offset) / 16) % 2;
            const double tone =
                0.92 + 0.16 * hash01(static_cast<uint32_t>(brick), static_cast<uint32_t>(row), 9);
            double f = tone * (0.94 + 0.12 * hash01(static_cast<uint32_t>(x),
                                                    static_cast<uint32_t>(y), 19));
            if (yin == 0)
                f *= 1.22;
            else if (yin == 6)
                f *= 0.74;
            if (xin == 0)
                f *= 1.1;
            else if (xin == 14)
                f *= 0.8;
            uint32_t c = shade(rgb(132, 132, 140), f);
            if (hash01(static_cast<uint32_t>(x), static_cast<uint32_t>(y), 29) < 0.06)
                c = shade(c, 0.8);  // pits
            img.setPixel(x, y, c);
        }
    }
    return img;
}

// --- tile 10: two light-blue bars crossing in the middle, reaching all four edges -------
RgbImage cross() {
    RgbImage img(N, N);
    const std::array<uint32_t, 4> profile = {
        rgb(205, 238, 255), rgb(140, 205, 252), rgb(86, 156, 232),
        rgb(38, 92, 180)};  // by distance from the bar's middle
    for (int y = 0; y < N; ++y) {
        for (int x = 0; x < N; ++x) {
            const int dx = std::abs(x - 16), dy = std::abs(y - 16);
            const bool inV = dx <= 3, inH = dy <= 3;
            if (!inV && !inH) {
                // A faint glow beside the bars.
                if (dx == 4 || dy == 4) img.setPixel(x, y, rgb(8, 20, 44));
                continue;
            }
            int d = inV && inH ? std::min(dx, dy) : inV ? dx : dy;
            img.setPixel(x, y, profile[static_cast<size_t>(d)]);
        }
    }
    // A rivet where the bars cross.
    for (int y = 14; y <= 18; ++y)
        for (int x = 14; x <= 18; ++x) {
            const double r = std::hypot(x - 16, y - 16);
            if (r <= 2.3)
                img.setPixel(x, y,
                             r < 1 ? rgb(255, 255, 255)
                                   : mix(rgb(230, 246, 255), rgb(80, 150, 230), (r - 1) / 1.3));
        }
    return img;
}

// --- tiles 11 to 14: red right-angled triangles in the half on the closed sides --------
// Drawn for code 11 (corner at the upper left) and mirrored for the others.
RgbImage deflector(int code) {
    RgbImage img(N, N);
    const bool flipX = code == 12 || code == 13;
    const bool flipY = code == 13 || code == 14;
    for (int y = 0; y < N; ++y) {
        for (int x = 0; x < N; ++x) {
            const int s = x + y;  // 0 in the corner, 31 on the long edge
            if (s > 31) continue;
            // Bright in the right-angled corner, darker towards the long edge.
            const double t = std::pow(s / 31.0, 1.15);
            uint32_t c = mix(rgb(255, 92, 72), rgb(112, 6, 8), t);
            if (s == 31)
                c = rgb(78, 0, 4);  // the long edge
            else if (x == 0 || y == 0)
                c = mix(c, rgb(255, 190, 170), 0.35);  // lit outer edges
            const double n = hash01(static_cast<uint32_t>(x), static_cast<uint32_t>(y), 11);
            c = shade(c, 0.97 + 0.06 * n);  // a little grain against banding
            img.setPixel(flipX ? N - 1 - x : x, flipY ? N - 1 - y : y, c);
        }
    }
    return img;
}

// --- tile 15 and the sand pictures: mottled sand ------------------------------------------
// Value noise on lattices that repeat every 32 pixels, so neighbouring sand cells join.
double latticeNoise(int x, int y, int cell, uint32_t seed) {
    const int n = N / cell;
    const int gx = x / cell, gy = y / cell;
    const double fx = (x % cell + 0.5) / cell, fy = (y % cell + 0.5) / cell;
    auto at = [&](int i, int j) {
        return hash01(static_cast<uint32_t>((i % n + n) % n),
                      static_cast<uint32_t>((j % n + n) % n), seed);
    };
    const double sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
    const double top = at(gx, gy) + (at(gx + 1, gy) - at(gx, gy)) * sx;
    const double bottom = at(gx, gy + 1) + (at(gx + 1, gy + 1) - at(gx, gy + 1)) * sx;
    return top + (bottom - top) * sy;
}

RgbImage sand(uint32_t dark, uint32_t light, uint32_t seed) {
    RgbImage img(N, N);
    for (int y = 0; y < N; ++y) {
        for (int x = 0; x < N; ++x) {
            const uint32_t ux = static_cast<uint32_t>(x), uy = static_cast<uint32_t>(y);
            double v = 0.55 * latticeNoise(x, y, 8, seed) + 0.3 * latticeNoise(x, y, 4, seed + 1) +
                       0.15 * hash01(ux, uy, seed + 2);
            v = std::clamp((v - 0.25) / 0.5, 0.0, 1.0);
            uint32_t c = mix(dark, light, v);
            const double g = hash01(ux, uy, seed + 3);
            if (g < 0.04)
                c = mix(c, rgb(255, 236, 190), 0.45);  // bright grains
            else if (g > 0.97)
                c = shade(c, 0.75);  // dark grains
            img.setPixel(x, y, c);
        }
    }
    return img;
}

// --- tile 16: a black disc with a blue ring and a green diamond in the middle -------------
RgbImage splitter() {
    RgbImage img(N, N);
    const double ringIn = 11.0, ringOut = 15.0;
    for (int y = 0; y < N; ++y) {
        for (int x = 0; x < N; ++x) {
            const double dx = x + 0.5 - Mid, dy = y + 0.5 - Mid, r = std::hypot(dx, dy);
            if (r >= ringOut) continue;
            uint32_t c;
            if (r >= ringIn) {
                // The ring as a rounded band: its cross-section is lit like a tube.
                const double u = (r - (ringIn + ringOut) / 2) / ((ringOut - ringIn) / 2);
                const double ur = std::clamp(u, -0.999, 0.999);
                const double nz = std::sqrt(1 - ur * ur);
                const double d = lit(ur * dx / r, ur * dy / r, nz);
                c = mix(shade(rgb(48, 96, 236), 0.3 + 0.9 * d), rgb(220, 235, 255),
                        std::pow(d, 14) * 0.7);
            } else {
                // The disc: black, a faint sheen towards the ring.
                c = mix(rgb(2, 2, 6), rgb(20, 22, 40), std::pow(r / ringIn, 3));
            }
            // The diamond with four facets, lit from the upper left.
            const double m = std::abs(dx) + std::abs(dy);
            if (m < 7.2) {
                const uint32_t facet = dx < 0 ? (dy < 0 ? rgb(130, 255, 130) : rgb(46, 178, 60))
                                              : (dy < 0 ? rgb(72, 218, 84) : rgb(20, 118, 34));
                c = m > 6.0 ? rgb(12, 84, 24) : facet;
                if (m > 3.0 && m < 5.0 && dx < -1 && dy < -1)
                    c = mix(c, rgb(240, 255, 240), 0.5);  // sparkle edge
            }
            img.setPixel(x, y, c);
        }
    }
    return img;
}

// --- tiles 17 to 20: small white stars scattered on black --------------------------------
RgbImage stars(int variant) {
    RgbImage img(N, N);
    uint32_t state = 0x1234567u + static_cast<uint32_t>(variant) * 0x9E3779B9u;
    auto next = [&] {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    };
    struct Star {
        int x, y, kind;
    };
    std::vector<Star> placed;
    const int wanted = 9 + variant % 3;
    for (int attempt = 0; attempt < 400 && static_cast<int>(placed.size()) < wanted; ++attempt) {
        const int x = 2 + static_cast<int>(next() % 28), y = 2 + static_cast<int>(next() % 28);
        // One bigger sparkle, two small crosses, the rest single points.
        const int kind = placed.empty() ? 2 : placed.size() < 3 ? 1 : 0;
        const int room = kind == 2 ? 7 : 5;
        bool free = true;
        for (const Star& s : placed)
            if (std::abs(s.x - x) < room && std::abs(s.y - y) < room) free = false;
        if (kind == 2 && (x < 4 || y < 4 || x > 27 || y > 27)) free = false;
        if (free) placed.push_back({x, y, kind});
    }
    const std::array<uint32_t, 4> tints = {rgb(255, 255, 255), rgb(210, 225, 255),
                                           rgb(255, 244, 214), rgb(235, 235, 235)};
    for (const Star& s : placed) {
        const uint32_t tint = tints[next() % tints.size()];
        switch (s.kind) {
            case 0:
                img.setPixel(s.x, s.y, shade(tint, 0.45 + 0.55 * (next() % 100) / 100.0));
                break;
            case 1:
                img.setPixel(s.x, s.y, tint);
                for (auto [ox, oy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}})
                    img.setPixel(s.x + ox, s.y + oy, shade(tint, 0.45));
                break;
            default:
                img.setPixel(s.x, s.y, rgb(255, 255, 255));
                for (auto [ox, oy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
                    img.setPixel(s.x + ox, s.y + oy, shade(tint, 0.8));
                    img.setPixel(s.x + 2 * ox, s.y + 2 * oy, shade(tint, 0.4));
                }
                for (auto [ox, oy] : {std::pair{1, 1}, {-1, 1}, {1, -1}, {-1, -1}})
                    img.setPixel(s.x + ox, s.y + oy, shade(tint, 0.25));
                break;
        }
    }
    return img;
}

}  // namespace

RgbImage builtInTile(int code) {
    switch (code) {
        case SourceUp:
            return bottle();
        case TargetDown:
            return cup();
        case Wall:
            return wall();
        case Cross:
            return cross();
        case DeflectorRightDown:
        case DeflectorLeftDown:
        case DeflectorLeftUp:
        case DeflectorRightUp:
            return deflector(code);
        case Sand:
            return sand(rgb(196, 112, 34), rgb(250, 172, 78), 15);
        case Splitter:
            return splitter();
        case Decoration1:
        case Decoration2:
        case Decoration3:
        case Decoration4:
            return stars(code - Decoration1);
        default:
            return RgbImage(N, N);  // tile 0 and the rest: plain black
    }
}

RgbImage builtInSand(int i) {
    static const std::array<std::pair<uint32_t, uint32_t>, 4> ramps = {{
        {rgb(232, 150, 62), rgb(255, 204, 126)},  // light orange
        {rgb(198, 96, 30), rgb(240, 146, 64)},
        {rgb(150, 46, 20), rgb(200, 88, 42)},
        {rgb(88, 10, 8), rgb(140, 30, 22)},  // dark red
    }};
    const auto& [dark, light] = ramps[static_cast<size_t>(std::clamp(i, 0, 3))];
    return sand(dark, light, 15);  // the sand tile's grains, recoloured
}

int tileOfSquare(int square) {
    // The element cut from the square as it stands.
    for (const Element& e : Elements)
        if (e.skinSquare == square && e.skinCut == SkinCut::AsIs) return e.code;
    return -1;
}

RgbImage composeDefaultSkin() {
    RgbImage skin(DefaultSkinWidth, DefaultSkinHeight, SkinBackground);
    for (int k = 0; k < SkinSquareCount; ++k) {
        const RgbImage pic =
            k < SandSquare ? builtInTile(tileOfSquare(k)) : builtInSand(k - SandSquare);
        skin.draw(pic, SkinSquareStep * k, 0);
    }
    return skin;
}

}  // namespace lumor
