// Editing one level on the editor's board: the palette layout, the element names of the
// status line, the strokes of the mouse, the star shuffle, the stock bars and the colours
// of the small level pictures.
#pragma once

#include "levels/level.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace lumor {

class Random;

// The palette: the elements' pictures by their palette place p, places 0..10 in the left
// column at (0, 32p), places 11.. in the right column at (34, 32(p - 11)); 65 x 353 pixels.
inline constexpr int PaletteWidth = 65;
inline constexpr int PaletteHeight = 353;

// The code a press at (X, Y) on the palette picks: the element at place
// (X div 33) * 11 + (Y div 32), or -1 when no element stands there (or the press lies above
// or left of the palette).
int paletteCode(int X, int Y);
// The top-left corner of a code's picture on the palette.
std::pair<int, int> palettePosition(int code);

// The German name of a cell code for the status line (Windows-1252).
std::string elementName(int code);
// The name of a palette picture: the element's, and for the empty cell what it does.
std::string paletteName(int code);

// The cells a straight stroke from pixel (x1, y1) to (x2, y2) of the board passes
// through, in order from the first point, each once; cells outside the board are left out.
std::vector<std::pair<int, int>> cellsCrossed(int x1, int y1, int x2, int y2);

// "Sterne verteilen": every cell with a code above 16 gets 17 + a whole random number
// 0..3, drawn for each cell separately. Cells with codes 0..16 are left alone.
void distributeStars(LevelRecord& level, Random& random);

// The stock bars: bar 0 ("Gesamt erlaubt:") runs 0..99, bars 1..8 run 0..20, inverted
// so that the top end is the highest count.
constexpr int barMaximum(int i) { return i == 0 ? 99 : 20; }
// The bar position that shows a stored count; a count outside the bar's range is shown
// at the nearer end.
int barValue(int i, int stock);
// The count stored when bar i moves to `value`. A bar standing where it shows the stored
// count keeps that count, so a count outside the range survives until the bar is moved.
int16_t stockForBar(int i, int value, int16_t stored);

// The colour (0xRRGGBB) of a code in the 40 x 24 level pictures of the import window;
// nullopt for a code that leaves its block as the background.
std::optional<uint32_t> previewColour(int code);

}  // namespace lumor
