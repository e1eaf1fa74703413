#include "editor/boardedit.h"

#include "app/random.h"
#include "play/cells.h"

#include <algorithm>
#include <cstdlib>

namespace lumor {

int paletteCode(int X, int Y) {
    if (X < 0 || Y < 0) return -1;
    const int code = (X / 33) * 11 + (Y / 32);
    return code < PaletteCodes ? code : -1;
}

std::pair<int, int> palettePosition(int code) {
    if (code <= 10) return {0, 32 * code};
    return {34, 32 * (code - 11)};
}

std::string elementName(int code) {
    static const char* const names[PaletteCodes] = {
        "Leer",
        "Quelle nach rechts",
        "Quelle nach unten",
        "Quelle nach links",
        "Quelle nach oben",
        "Ziel f\xfcr Strahlen nach rechts",
        "Ziel f\xfcr Strahlen nach unten",
        "Ziel f\xfcr Strahlen nach links",
        "Ziel f\xfcr Strahlen nach oben",
        "Wand",
        "Kreuzung",
        "Umlenker rechts-unten",
        "Umlenker links-unten",
        "Umlenker links-oben",
        "Umlenker rechts-oben",
        "Sand",
        "Teiler",
        "Stern 1",
        "Stern 2",
        "Stern 3",
        "Stern 4",
    };
    if (code >= 0 && code < PaletteCodes) return names[code];
    return "Unbekannter Code " + std::to_string(code);
}

std::string paletteName(int code) {
    return code == Empty ? "Leer: l\xf6scht, was auf einem Feld steht" : elementName(code);
}

namespace {

// a / b rounded to the nearest whole number (b > 0), halves upwards.
int roundedDiv(int a, int b) {
    const int n = 2 * a + b;
    const int d = 2 * b;
    return n >= 0 ? n / d : -((-n + d - 1) / d);
}

}  // namespace

std::vector<std::pair<int, int>> cellsCrossed(int x1, int y1, int x2, int y2) {
    std::vector<std::pair<int, int>> cells;
    const int steps = std::max({std::abs(x2 - x1), std::abs(y2 - y1), 1});
    for (int k = 0; k <= steps; ++k) {
        // One pixel at a time along the stroke; the cell as the board finds it.
        const int px = x1 + roundedDiv((x2 - x1) * k, steps);
        const int py = y1 + roundedDiv((y2 - y1) * k, steps);
        if (px < 0 || py < 0) continue;  // left of or above the board
        const int cx = px / 32;
        const int cy = py / 32;
        if (cx >= BoardWidth || cy >= BoardHeight) continue;
        if (cells.empty() || cells.back() != std::pair{cx, cy}) cells.emplace_back(cx, cy);
    }
    return cells;
}

void distributeStars(LevelRecord& level, Random& random) {
    for (int16_t& c : level.Cells)
        if (c > 16) c = static_cast<int16_t>(17 + static_cast<int>(random.next() * 4));
}

int barValue(int i, int stock) { return std::clamp(barMaximum(i) - stock, 0, barMaximum(i)); }

int16_t stockForBar(int i, int value, int16_t stored) {
    if (value == barValue(i, stored)) return stored;
    return static_cast<int16_t>(barMaximum(i) - value);
}

std::optional<uint32_t> previewColour(int code) {
    if (code == 0) return 0x000000;
    if (code >= 1 && code <= 4) return 0xffff00;
    if (code >= 5 && code <= 8) return 0x00ff00;
    if (code == 9) return 0x00ffff;
    if (code == 10) return 0xff0000;
    if (code >= 11 && code <= 14) return 0xff00ff;
    if (code == 15) return 0x808000;
    if (code == 16) return 0xffffff;
    if (code >= 17 && code <= 20) return 0x808080;
    return std::nullopt;
}

}  // namespace lumor
