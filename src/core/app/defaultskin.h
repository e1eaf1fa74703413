// The built-in pictures and the default skin made of them. A skin is one row of 32 x 32
// squares placed every 33 pixels: square 0 = tile 0, 1 = tile 4 (source emitting up),
// 2 = tile 6 (target open at the top), 3..14 = tiles 9..20, 15..18 = sand pictures 0..3.
#pragma once

#include "app/bitmap.h"

#include <string>

namespace lumor {

inline constexpr int SkinSquareCount = 19;
inline constexpr int SandSquare = 15;  // the first of the four sand pictures
inline constexpr int SkinSquareStep = 33;
inline constexpr int DefaultSkinWidth = 627;  // 19 squares and their gaps
inline constexpr int DefaultSkinHeight = 33;
inline constexpr uint32_t SkinBackground = rgb(0, 0, 128);  // classic palette colour 1

// The built-in 32 x 32 picture of a tile: codes 0, 4, 6 and 9..20 (any other code gives
// plain black).
RgbImage builtInTile(int code);
// The built-in pictures of sand being eaten, i = 0 (light orange) .. 3 (dark red).
RgbImage builtInSand(int i);

// The tile code a skin square holds (square 15..18: -1, they are sand pictures).
int tileOfSquare(int square);

// The 627 x 33 default skin on dark blue.
RgbImage composeDefaultSkin();

}  // namespace lumor
