// Paints the extra skins into a folder: "Neon.bmp" (glowing glass on a dark grid) and
// "Holz.bmp" (wood, stone and brass). Each is a 627 x 33 24-bit bitmap in the skin
// layout: square k at (33 * k, 0), 0 empty, 1 source pointing up, 2 target open at
// the top, 3..14 codes 9..20, 15..18 the sand being eaten (light to dark).
//
// Every tile is a function from a point in the 32 x 32 square to a colour, sampled
// 4 x 4 times per pixel, so edges and glows come out smooth.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int Tile = 32;
constexpr int Squares = 19;
constexpr int Width = 33 * Squares;  // 627
constexpr int Height = 33;

struct Rgb {
    double r = 0, g = 0, b = 0;
};
Rgb operator+(Rgb a, Rgb b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }
Rgb operator*(Rgb a, double k) { return {a.r * k, a.g * k, a.b * k}; }
Rgb mix(Rgb a, Rgb b, double t) { return a * (1.0 - t) + b * t; }
Rgb rgb(int r, int g, int b) { return {r / 255.0, g / 255.0, b / 255.0}; }

double clamp01(double v) { return std::clamp(v, 0.0, 1.0); }
double smooth(double e0, double e1, double x) {
    const double t = clamp01((x - e0) / (e1 - e0));
    return t * t * (3 - 2 * t);
}
// Coverage of a shape whose signed distance (negative inside) is d, with a soft pixel edge.
double inside(double d) { return clamp01(0.5 - d); }

// Hash-based value noise, deterministic.
double hash(int x, int y, int seed) {
    uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u +
                 static_cast<uint32_t>(seed) * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return static_cast<double>((h ^ (h >> 16)) & 0xFFFFFF) / 16777215.0;
}
double valueNoise(double x, double y, int seed) {
    const int xi = static_cast<int>(std::floor(x)), yi = static_cast<int>(std::floor(y));
    const double fx = x - xi, fy = y - yi;
    const double sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
    const double a = hash(xi, yi, seed), b = hash(xi + 1, yi, seed);
    const double c = hash(xi, yi + 1, seed), d = hash(xi + 1, yi + 1, seed);
    return (a + (b - a) * sx) + ((c + (d - c) * sx) - (a + (b - a) * sx)) * sy;
}
double fbm(double x, double y, int seed) {
    return 0.55 * valueNoise(x, y, seed) + 0.3 * valueNoise(2 * x, 2 * y, seed + 1) +
           0.15 * valueNoise(4 * x, 4 * y, seed + 2);
}

double circleDist(double x, double y, double cx, double cy, double r) {
    return std::hypot(x - cx, y - cy) - r;
}
double boxDist(double x, double y, double x0, double y0, double x1, double y1) {
    const double dx = std::max(x0 - x, x - x1), dy = std::max(y0 - y, y - y1);
    if (dx <= 0 && dy <= 0) return std::max(dx, dy);
    return std::hypot(std::max(dx, 0.0), std::max(dy, 0.0));
}

// Distance into the closed half of a deflector (positive inside the closed half).
// Code 11 is closed at left and top, 12 at top and right, 13 at right and bottom,
// 14 at bottom and left.
double deflectorDepth(int code, double x, double y) {
    const double s = std::sqrt(0.5);
    switch (code) {
        case 11:
            return (Tile - x - y) * s;
        case 12:
            return (x - y) * s;
        case 13:
            return (x + y - Tile) * s;
        default:
            return (y - x) * s;
    }
}

// A five-pointed star's distance (negative inside), radius r, centred at (cx, cy).
double starDist(double x, double y, double cx, double cy, double r, double rot = 0.0) {
    const double dx = x - cx, dy = y - cy;
    const double a = std::atan2(dy, dx) + rot;
    const double seg = 2.0 * 3.14159265358979 / 5.0;
    const double m = std::fmod(a + 10 * seg, seg) - seg / 2;
    const double rr = r * (0.45 + 0.55 * std::pow(std::fabs(m) / (seg / 2), 1.6));
    return std::hypot(dx, dy) - rr;
}

using Shader = std::function<Rgb(double x, double y)>;

struct Image {
    std::vector<Rgb> pixels = std::vector<Rgb>(Width * Height);
    void fill(Rgb c) { std::fill(pixels.begin(), pixels.end(), c); }
    void paintSquare(int k, const Shader& shader) {
        for (int py = 0; py < Tile; ++py)
            for (int px = 0; px < Tile; ++px) {
                Rgb sum;
                for (int sy = 0; sy < 4; ++sy)
                    for (int sx = 0; sx < 4; ++sx)
                        sum = sum + shader(px + (sx + 0.5) / 4, py + (sy + 0.5) / 4);
                pixels[py * Width + 33 * k + px] = sum * (1.0 / 16);
            }
    }
    bool writeBmp(const std::string& path) const {
        const int rowBytes = (Width * 3 + 3) & ~3;
        const uint32_t dataBytes = static_cast<uint32_t>(rowBytes * Height);
        std::vector<unsigned char> out;
        auto u32 = [&](uint32_t v) {
            for (int i = 0; i < 4; ++i) out.push_back(static_cast<unsigned char>(v >> (8 * i)));
        };
        auto u16 = [&](uint16_t v) {
            out.push_back(static_cast<unsigned char>(v & 0xFF));
            out.push_back(static_cast<unsigned char>(v >> 8));
        };
        out.push_back('B');
        out.push_back('M');
        u32(54 + dataBytes);
        u32(0);
        u32(54);
        u32(40);
        u32(Width);
        u32(Height);
        u16(1);
        u16(24);
        u32(0);
        u32(dataBytes);
        u32(2835);
        u32(2835);
        u32(0);
        u32(0);
        for (int y = Height - 1; y >= 0; --y) {
            for (int x = 0; x < Width; ++x) {
                const Rgb& c = pixels[y * Width + x];
                auto byte = [](double v) {
                    return static_cast<unsigned char>(std::lround(clamp01(v) * 255));
                };
                out.push_back(byte(c.b));
                out.push_back(byte(c.g));
                out.push_back(byte(c.r));
            }
            for (int p = Width * 3; p < rowBytes; ++p) out.push_back(0);
        }
        std::ofstream file(path, std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(out.data()),
                   static_cast<std::streamsize>(out.size()));
        return static_cast<bool>(file.flush());
    }
};

// ---- Neon: glowing glass on a dark grid -------------------------------------------------

Rgb neonFloor(double x, double y) {
    const Rgb base = rgb(7, 9, 22);
    const double edge = std::min({x, y, Tile - x, Tile - y});
    const double grid = std::exp(-edge * 1.3) * 0.55;
    return base + rgb(30, 60, 120) * grid;
}

Rgb glow(Rgb colour, double dist, double width) {
    return colour * std::exp(-std::max(dist, 0.0) / width);
}

void paintNeon(Image& img) {
    img.fill(rgb(2, 3, 8));
    const Rgb cyan = rgb(60, 230, 255), magenta = rgb(255, 70, 200), violet = rgb(170, 90, 255);
    const Rgb amber = rgb(255, 170, 40), white = rgb(255, 255, 255);

    img.paintSquare(0, neonFloor);
    // Source pointing up: a glass capsule with a bright core, its emitter reaching the top edge.
    img.paintSquare(1, [&](double x, double y) {
        Rgb c = neonFloor(x, y);
        const double body = boxDist(x, y, 9, 14, 23, 29) - 2.5;
        const double nozzle = boxDist(x, y, 13.5, 0, 18.5, 14);
        const double shape = std::min(body, nozzle);
        c = c + glow(cyan, shape, 2.2) * 0.6;
        const double a = inside(shape);
        Rgb glass = mix(rgb(10, 60, 80), rgb(30, 140, 170), smooth(29, 14, y));
        glass = glass + cyan * (0.5 * std::exp(-std::pow(x - 16, 2) / 10));
        c = mix(c, glass, a * 0.9);
        const double core = circleDist(x, y, 16, 21.5, 3.5);
        c = c + white * inside(core) * 0.8 + glow(cyan, core, 2.0) * 0.7;
        c = c + white * inside(std::fabs(x - 16) - 0.8) * a * smooth(14, 0, y) * 0.7;
        return c;
    });
    // Target open at the top: a magenta glass cup with a glowing well.
    img.paintSquare(2, [&](double x, double y) {
        Rgb c = neonFloor(x, y);
        const double outer = boxDist(x, y, 5, 6, 27, 28) - 2;
        const double well = boxDist(x, y, 10, -4, 22, 22) - 1;
        const double cup = std::max(outer, -well);
        c = c + glow(magenta, cup, 2.0) * 0.6;
        c = mix(c, mix(rgb(90, 15, 70), rgb(200, 60, 160), smooth(28, 6, y)), inside(cup) * 0.92);
        const double pool = std::max(well, 12 - y);
        c = c + mix(rgb(60, 10, 50), magenta, smooth(22, 14, y)) * inside(pool) * 0.7;
        c = c + white * inside(std::fabs(y - 27) - 0.6) * inside(cup) * 0.4;
        return c;
    });
    // Wall: a dark glass block with a neon rim and a sheen.
    img.paintSquare(3, [&](double x, double y) {
        const double d = boxDist(x, y, 1.5, 1.5, 30.5, 30.5);
        Rgb c = mix(rgb(40, 20, 70), rgb(18, 10, 40), (x + y) / 64);
        c = c + violet * (std::exp(-std::fabs(d + 1.2) * 1.2) * 0.9);
        const double sheen = std::fabs((x - y) + 6);
        c = c + white * (0.12 * std::exp(-sheen * 0.4) * smooth(30, 4, x + y - 20));
        const double inner = boxDist(x, y, 8, 8, 24, 24);
        c = c + violet * (0.25 * std::exp(-std::fabs(inner) * 1.5));
        return c;
    });
    // Cross: two glowing bars through the middle, reaching all four edges.
    img.paintSquare(4, [&](double x, double y) {
        Rgb c = neonFloor(x, y);
        const double h = std::fabs(y - 16) - 2.5, v = std::fabs(x - 16) - 2.5;
        const double d = std::min(h, v);
        c = c + glow(cyan, d, 2.5) * 0.5;
        c = mix(c, mix(cyan, white, 0.4), inside(d));
        c = c + white * inside(circleDist(x, y, 16, 16, 3)) * 0.5;
        return c;
    });
    // Deflectors 11..14: a glass wedge over the closed half, its mirror edge glowing.
    for (int code = 11; code <= 14; ++code)
        img.paintSquare(5 + code - 11, [&, code](double x, double y) {
            Rgb c = neonFloor(x, y);
            const double d = deflectorDepth(code, x, y);
            if (d < 0) return c + glow(rgb(80, 255, 170), -d, 1.8) * 0.5;
            Rgb glass = mix(rgb(20, 120, 90), rgb(8, 40, 45), clamp01(d / 20));
            glass = glass + rgb(80, 255, 170) * (std::exp(-d * 0.7) * 1.1);
            return mix(c, glass, inside(-d));
        });
    // Sand: warm glowing grains on dark amber.
    auto sandGrains = [&](double fade) {
        return [&, fade](double x, double y) {
            const Rgb dark = mix(rgb(70, 30, 5), rgb(40, 6, 8), fade);
            Rgb c = dark * (0.7 + 0.5 * fbm(x / 5, y / 5, 7));
            const double n = valueNoise(x * 0.9, y * 0.9, 31);
            const Rgb grain = mix(amber, rgb(200, 40, 20), fade);
            c = c + grain * (smooth(0.62, 0.85, n) * (1.0 - 0.6 * fade));
            const double edge = std::min({x, y, Tile - x, Tile - y});
            return c + grain * (0.35 * std::exp(-edge * 0.8) * (1.0 - fade));
        };
    };
    img.paintSquare(9, sandGrains(0.0));
    // Splitter: a glowing violet ring around a white diamond.
    img.paintSquare(10, [&](double x, double y) {
        Rgb c = neonFloor(x, y);
        const double ring = std::fabs(circleDist(x, y, 16, 16, 11)) - 1.6;
        c = c + glow(violet, ring, 2.2) * 0.7;
        c = mix(c, mix(violet, white, 0.3), inside(ring));
        const double diamond = (std::fabs(x - 16) + std::fabs(y - 16)) * 0.7071 - 4.2;
        c = c + glow(cyan, diamond, 1.8) * 0.6;
        c = mix(c, mix(cyan, white, 0.5), inside(diamond));
        return c;
    });
    // Decorations 17..20: glinting stars in four arrangements.
    struct Glint {
        double x, y, r;
        Rgb colour;
    };
    const std::vector<std::vector<Glint>> skies = {
        {{9, 10, 3.2, cyan}, {23, 22, 2.2, white}, {24, 7, 1.2, magenta}},
        {{16, 16, 4.0, magenta}, {6, 26, 1.2, white}, {27, 5, 1.4, cyan}},
        {{7, 7, 2.0, white}, {20, 13, 2.8, amber}, {10, 25, 1.6, cyan}, {27, 27, 1.1, white}},
        {{24, 9, 3.0, white}, {8, 19, 2.4, cyan}, {19, 27, 1.3, magenta}},
    };
    for (int k = 0; k < 4; ++k)
        img.paintSquare(11 + k, [&, k](double x, double y) {
            Rgb c = neonFloor(x, y);
            for (const auto& g : skies[static_cast<size_t>(k)]) {
                const double dx = std::fabs(x - g.x), dy = std::fabs(y - g.y);
                const double spike =
                    std::min(dx * dy * 1.2 + dx * 0.25 + dy * 0.25, std::hypot(dx, dy) * 1.5);
                c = c + g.colour * (std::exp(-spike / g.r) * 0.9) +
                    white * (inside(std::hypot(dx, dy) - g.r * 0.3) * 0.8);
            }
            return c;
        });
    for (int k = 0; k < 4; ++k) img.paintSquare(15 + k, sandGrains((k + 1) / 4.5));
}

// ---- Holz: wood, stone and brass -------------------------------------------------------

Rgb woodFloor(double x, double y) {
    // Two planks per tile, running left to right, with grain and a seam.
    const int plank = y < 16 ? 0 : 1;
    const double grain = std::sin((y + 3 * fbm(x / 9, y / 3, 11 + plank)) * 2.2 + plank * 1.7);
    const double knots = fbm(x / 6, y / 6, 5 + plank);
    Rgb c = mix(rgb(92, 58, 30), rgb(128, 84, 44), 0.5 + 0.25 * grain + 0.3 * (knots - 0.5));
    const double seam = std::min(std::fabs(y - 16), std::min(y, Tile - y));
    c = c * (0.55 + 0.45 * smooth(0.0, 1.4, seam));
    return c * (0.85 + 0.15 * smooth(0, 32, 32 - x * 0.5 - y * 0.5));
}

Rgb brass(double shade) { return mix(rgb(110, 70, 20), rgb(250, 210, 120), clamp01(shade)); }

Rgb stone(double x, double y, int seed) {
    const double n = fbm(x / 4, y / 4, seed);
    return mix(rgb(105, 100, 92), rgb(170, 162, 148), n);
}

void paintHolz(Image& img) {
    img.fill(rgb(40, 24, 12));
    img.paintSquare(0, woodFloor);
    // Source pointing up: a brass lamp whose barrel reaches the top edge.
    img.paintSquare(1, [&](double x, double y) {
        Rgb c = woodFloor(x, y);
        const double shadow = boxDist(x - 1.5, y - 1.5, 8, 15, 24, 29) - 3;
        c = c * (1.0 - 0.4 * inside(shadow / 2));
        const double base = boxDist(x, y, 8, 16, 24, 28) - 3;
        const double barrel = boxDist(x, y, 12.5, 0, 19.5, 16);
        const double body = std::min(base, barrel);
        const double shade = 0.75 - 0.5 * std::fabs(x - 14) / 10 + 0.2 * smooth(28, 16, y);
        c = mix(c, brass(shade), inside(body));
        c = mix(c, rgb(60, 36, 10), inside(std::fabs(base + 1.2) - 0.5) * inside(body));
        const double lens = circleDist(x, y, 16, 22, 3.5);
        c = mix(c, mix(rgb(255, 250, 200), rgb(255, 180, 40), clamp01((lens + 3.5) / 3.5)),
                inside(lens));
        c = mix(c, rgb(70, 40, 10), inside(std::fabs(y - 3) - 0.7) * inside(barrel));
        return c;
    });
    // Target open at the top: a light stone bowl outlined in dark, glowing embers in its
    // well and their light spilling out of the opening, so it stands out on the wood.
    img.paintSquare(2, [&](double x, double y) {
        Rgb c = woodFloor(x, y);
        const double shadow = boxDist(x - 1.5, y - 1.5, 4, 7, 28, 29) - 2;
        c = c * (1.0 - 0.45 * inside(shadow / 2));
        const double well = boxDist(x, y, 10, -4, 22, 22) - 1;
        // The glow rising from the opening, brightest just above the well.
        const double rise = std::max(boxDist(x, y, 11, 0, 21, 8), 0.0);
        c = c + rgb(255, 170, 60) * (0.55 * std::exp(-rise / 2.5));
        const double outer = boxDist(x, y, 4, 7, 28, 29) - 2;
        const double bowl = std::max(outer, -well);
        const Rgb rim = mix(rgb(175, 170, 160), rgb(235, 230, 218), smooth(29, 8, y));
        c = mix(c, rim * (0.9 + 0.2 * fbm(x / 4, y / 4, 3)), inside(bowl));
        c = mix(c, rgb(35, 25, 15), inside(std::fabs(bowl) - 0.7));
        const double pool = std::max(well, 9 - y);
        const double ember = fbm(x / 2.5, y / 2.5, 9);
        c = mix(c,
                mix(rgb(230, 70, 10), rgb(255, 235, 130),
                    0.4 + 0.6 * smooth(0.3, 0.75, ember) * smooth(22, 12, y)),
                inside(pool));
        return c;
    });
    // Wall: stone blocks with mortar.
    img.paintSquare(3, [&](double x, double y) {
        const int row = static_cast<int>(y / 11);
        const double offset = (row % 2) ? 8 : 0;
        const double bx = std::fmod(x + offset + 32, 16.0), by = std::fmod(y, 11.0);
        const double joint = std::min({bx, 16 - bx, by, 11 - by});
        const int block = static_cast<int>((x + offset) / 16) + 7 * row;
        Rgb c = stone(x, y, 20 + block) * (0.85 + 0.3 * hash(block, row, 3));
        c = c * (0.75 + 0.25 * smooth(0, 3, joint)) + rgb(30, 25, 20) * (0.2 * smooth(3, 0, joint));
        return mix(rgb(70, 62, 52), c, smooth(0.3, 1.3, joint));
    });
    // Cross: two iron bars with rivets.
    img.paintSquare(4, [&](double x, double y) {
        Rgb c = woodFloor(x, y);
        const double h = std::fabs(y - 16) - 3, v = std::fabs(x - 16) - 3;
        const double d = std::min(h, v);
        const double metal = 0.55 + 0.3 * std::cos((h < v ? (y - 16) : (x - 16)) * 0.5);
        c = c * (1.0 - 0.35 * inside(d - 1.5));
        c = mix(c, rgb(70, 75, 85) * (metal + 0.4), inside(d));
        const double rivet = circleDist(x, y, 16, 16, 2.5);
        c = mix(c, rgb(200, 200, 210), inside(rivet) * smooth(2.5, 0, std::hypot(x - 15, y - 15)));
        return c;
    });
    // Deflectors 11..14: a polished bronze wedge over the closed half, a bright mirror edge.
    for (int code = 11; code <= 14; ++code)
        img.paintSquare(5 + code - 11, [&, code](double x, double y) {
            Rgb c = woodFloor(x, y);
            const double d = deflectorDepth(code, x, y);
            c = c * (1.0 - 0.35 * smooth(-3, 0, d));
            Rgb metal = brass(0.35 + 0.5 * std::exp(-d * 0.25) + 0.1 * std::sin(d * 1.3));
            metal = mix(metal, rgb(255, 245, 210), std::exp(-d * 1.2) * 0.9);
            return mix(c, metal, inside(-d));
        });
    auto sandPile = [&](double fade) {
        return [&, fade](double x, double y) {
            const double n = fbm(x / 2.2, y / 2.2, 41);
            const double grains = hash(static_cast<int>(x * 2), static_cast<int>(y * 2), 13);
            Rgb c = mix(rgb(214, 178, 110), rgb(240, 212, 150), n);
            c = c * (0.9 + 0.15 * grains);
            const Rgb burnt = mix(rgb(200, 120, 60), rgb(110, 30, 15), fade);
            c = mix(c, burnt * (0.85 + 0.3 * n), clamp01(fade * 1.3));
            const double edge = std::min({x, y, Tile - x, Tile - y});
            return c * (0.8 + 0.2 * smooth(0, 3, edge));
        };
    };
    img.paintSquare(9, sandPile(0.0));
    // Splitter: a crystal prism on a stone disc.
    img.paintSquare(10, [&](double x, double y) {
        Rgb c = woodFloor(x, y);
        const double disc = circleDist(x, y, 16, 16, 13);
        c = mix(c, stone(x, y, 61) * 0.9, inside(disc));
        c = mix(c, rgb(70, 62, 52), inside(std::fabs(disc + 0.8) - 0.6));
        const double diamond = (std::fabs(x - 16) + std::fabs(y - 16)) * 0.7071 - 6.5;
        const double facet = (x < 16 ? 0.2 : 0.0) + (y < 16 ? 0.3 : 0.0);
        c = mix(c, mix(rgb(60, 160, 200), rgb(220, 250, 255), facet + 0.3), inside(diamond));
        c = mix(c, rgb(240, 255, 255), inside(std::fabs(diamond + 0.5) - 0.4) * inside(diamond));
        return c;
    });
    // Decorations 17..20: brass inlays in the floor: a star, a leaf, small studs, a flower.
    img.paintSquare(11, [&](double x, double y) {
        Rgb c = woodFloor(x, y);
        const double s = starDist(x, y, 16, 16, 10, -0.31);
        c = c * (1.0 - 0.3 * inside(s - 1.2));
        return mix(c, brass(0.55 + 0.4 * smooth(8, -2, std::hypot(x - 13, y - 13))), inside(s));
    });
    // A brass leaf lying across the grain, with its vein.
    img.paintSquare(12, [&](double x, double y) {
        Rgb c = woodFloor(x, y);
        const double u = ((x - 16) + (y - 16)) * 0.7071, v = ((x - 16) - (y - 16)) * 0.7071;
        const double leaf = std::hypot(u / 11.0, v / 4.5) - 1.0;
        c = c * (1.0 - 0.3 * inside((leaf - 0.12) * 5));
        c = mix(c, brass(0.5 + 0.35 * smooth(5, -5, v)), inside(leaf * 5));
        const double vein = std::fabs(v) - 0.5;
        return mix(c, brass(0.2), inside(vein) * inside(leaf * 5 + 0.6) * 0.8);
    });
    img.paintSquare(13, [&](double x, double y) {
        Rgb c = woodFloor(x, y);
        const double studs[][2] = {{8, 8}, {24, 9}, {15, 19}, {7, 25}, {25, 26}};
        for (const auto& s : studs) {
            const double d = circleDist(x, y, s[0], s[1], 2.4);
            c = mix(c,
                    brass(0.4 + 0.6 * smooth(2.4, 0, std::hypot(x - s[0] + 0.8, y - s[1] + 0.8))),
                    inside(d));
        }
        return c;
    });
    img.paintSquare(14, [&](double x, double y) {
        Rgb c = woodFloor(x, y);
        double petals = 1e9;
        for (int k = 0; k < 6; ++k) {
            const double a = k * 3.14159265 / 3;
            petals =
                std::min(petals, circleDist(x, y, 16 + 7 * std::cos(a), 16 + 7 * std::sin(a), 4));
        }
        c = mix(c, rgb(180, 120, 60), inside(petals));
        return mix(c, brass(0.9), inside(circleDist(x, y, 16, 16, 3.5)));
    });
    for (int k = 0; k < 4; ++k) img.paintSquare(15 + k, sandPile((k + 1) / 4.5));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_skins OUTPUT_FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    const std::pair<const char*, void (*)(Image&)> skins[] = {{"Neon.bmp", paintNeon},
                                                              {"Holz.bmp", paintHolz}};
    for (const auto& [name, paint] : skins) {
        Image img;
        paint(img);
        if (!img.writeBmp(folder + "/" + name)) {
            std::fprintf(stderr, "cannot write %s/%s\n", folder.c_str(), name);
            return 1;
        }
    }
    return 0;
}
