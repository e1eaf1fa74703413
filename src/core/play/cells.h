// Board cells: the codes, the beam directions, the stock slots and the sounds.
#pragma once

#include <array>
#include <cstdint>

namespace lumor {

enum CellCode : int {
    Empty = 0,
    SourceRight = 1,
    SourceDown = 2,
    SourceLeft = 3,
    SourceUp = 4,
    TargetRight = 5,
    TargetDown = 6,
    TargetLeft = 7,
    TargetUp = 8,
    Wall = 9,
    Cross = 10,
    DeflectorRightDown = 11,
    DeflectorLeftDown = 12,
    DeflectorLeftUp = 13,
    DeflectorRightUp = 14,
    Sand = 15,
    Splitter = 16,
    Decoration1 = 17,
    Decoration2 = 18,
    Decoration3 = 19,
    Decoration4 = 20,
    EatenSand = 99,
};

inline constexpr int TileCount = 21;  // skin tiles for codes 0..20

// Board geometry: cell (x, y) is the 32 x 32 pixel square at (32x, 32y) of a picture of
// 20 x 12 cells.
inline constexpr int CellPixels = 32;
inline constexpr int BoardPixelWidth = 640;
inline constexpr int BoardPixelHeight = 384;

enum Direction : int { Right = 1, Down = 2, Left = 3, Up = 4 };

constexpr int stepX(int dir) { return dir == Right ? 1 : dir == Left ? -1 : 0; }
constexpr int stepY(int dir) { return dir == Down ? 1 : dir == Up ? -1 : 0; }

constexpr bool isSource(int code) { return code >= 1 && code <= 4; }
constexpr bool isTarget(int code) { return code >= 5 && code <= 8; }
constexpr bool isDeflector(int code) { return code >= 11 && code <= 14; }
constexpr bool isDecoration(int code) { return code >= 17 && code <= 20; }

// Stock slots 1..8 are placed as code slot + 8.
inline constexpr int SlotCount = 8;
constexpr int codeOfSlot(int slot) { return slot + 8; }
constexpr int slotOfCode(int code) { return code - 8; }
constexpr bool isPlaceable(int code) { return code >= 9 && code <= 16; }

// What a cell does to a beam entering it in a direction (the move of a cell step).
enum class Entry : uint8_t { Pass, Stop, Take, EnterSand };

constexpr Entry entryOf(int dir, int code) {
    if (code == Sand) return Entry::EnterSand;
    if (isTarget(code)) return code - 4 == dir ? Entry::Take : Entry::Stop;
    if (isSource(code) || code == Wall) return Entry::Stop;
    switch (code) {
        case DeflectorRightDown:
            return (dir == Right || dir == Down) ? Entry::Stop : Entry::Pass;
        case DeflectorLeftDown:
            return (dir == Right || dir == Up) ? Entry::Pass : Entry::Stop;
        case DeflectorLeftUp:
            return (dir == Right || dir == Down) ? Entry::Pass : Entry::Stop;
        case DeflectorRightUp:
            return (dir == Left || dir == Down) ? Entry::Pass : Entry::Stop;
        default:
            return Entry::Pass;
    }
}

// The direction after a deflector's turn (only for the two open sides).
constexpr int turnedBy(int code, int dir) {
    switch (code) {
        case DeflectorRightDown:
            return dir == Left ? Down : dir == Up ? Right : dir;
        case DeflectorLeftDown:
            return dir == Right ? Down : dir == Up ? Left : dir;
        case DeflectorLeftUp:
            return dir == Right ? Up : dir == Down ? Left : dir;
        case DeflectorRightUp:
            return dir == Left ? Up : dir == Down ? Right : dir;
        default:
            return dir;
    }
}

// Sounds: the index is also the priority within a cell step.
enum SoundIndex : int {
    SoundStart = 0,
    SoundKreuz = 1,
    SoundSand = 2,
    SoundLenk = 3,
    SoundTeiler = 4,
    SoundWand = 5,
    SoundZiel = 6
};
inline constexpr int SoundCount = 7;
inline constexpr std::array<const char*, SoundCount> SoundFiles = {
    "sound\\start.wav",  "sound\\kreuz.wav", "sound\\sand.wav", "sound\\lenk.wav",
    "sound\\teiler.wav", "sound\\wand.wav",  "sound\\ziel.wav"};

}  // namespace lumor
