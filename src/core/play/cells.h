// Board cells: the geometry of the board, the beam directions' steps and the sound files.
// What each cell code is and does is the element table's (play/elements.h).
#pragma once

#include "play/elements.h"

#include <array>
#include <cstdint>

namespace lumor {

// Board geometry: cell (x, y) is the 32 x 32 pixel square at (32x, 32y) of a picture of
// 20 x 12 cells.
inline constexpr int CellPixels = 32;
inline constexpr int BoardPixelWidth = 640;
inline constexpr int BoardPixelHeight = 384;

constexpr int stepX(int dir) { return dir == Right ? 1 : dir == Left ? -1 : 0; }
constexpr int stepY(int dir) { return dir == Down ? 1 : dir == Up ? -1 : 0; }

inline constexpr int SoundCount = 7;
inline constexpr std::array<const char*, SoundCount> SoundFiles = {
    "sound\\start.wav",  "sound\\kreuz.wav", "sound\\sand.wav", "sound\\lenk.wav",
    "sound\\teiler.wav", "sound\\wand.wav",  "sound\\ziel.wav"};

}  // namespace lumor
