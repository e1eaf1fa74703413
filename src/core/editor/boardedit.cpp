#include "editor/boardedit.h"

#include "app/random.h"
#include "play/cells.h"

#include <algorithm>
#include <cstdlib>

namespace lumor {

int paletteCode(int X, int Y) {
    if (X < 0 || Y < 0) return -1;
    const Element* e = elementAtPalettePlace((X / 33) * 11 + (Y / 32));
    return e ? e->code : -1;
}

std::pair<int, int> palettePosition(int code) {
    const Element* e = elementOf(code);
    const int place = e ? e->palettePlace : 0;
    if (place <= 10) return {0, 32 * place};
    return {34, 32 * (place - 11)};
}

std::string elementName(int code) {
    if (const Element* e = elementOf(code)) return e->name;
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
        if (c > Splitter)
            c = static_cast<int16_t>(Decoration1 + static_cast<int>(random.next() * 4));
}

int barValue(int i, int stock) { return std::clamp(barMaximum(i) - stock, 0, barMaximum(i)); }

int16_t stockForBar(int i, int value, int16_t stored) {
    if (value == barValue(i, stored)) return stored;
    return static_cast<int16_t>(barMaximum(i) - value);
}

std::optional<uint32_t> previewColour(int code) {
    if (const Element* e = elementOf(code)) return static_cast<uint32_t>(e->preview);
    return std::nullopt;
}

}  // namespace lumor
