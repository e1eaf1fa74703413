// The elements: everything the game knows about a cell code, in one table. The beam
// engine, the searches, the editor's palette and status line, the level source format and
// the skin reader all read it; adding an element is a row here plus its pictures.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

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
    // Sand while a beam eats through it; only the beam engine puts it on a board.
    EatenSand = 99,
};

enum Direction : int { Right = 1, Down = 2, Left = 3, Up = 4 };

// Sounds: the index is also the priority within a cell step.
enum SoundIndex : int {
    SoundNone = -1,
    SoundStart = 0,
    SoundKreuz = 1,
    SoundSand = 2,
    SoundLenk = 3,
    SoundTeiler = 4,
    SoundWand = 5,
    SoundZiel = 6
};

// What an element does to a beam that moves into it from one side.
//   Pass:   the beam goes on (and is drawn across the cell).
//   Stop:   the beam ends at the side it tried to enter (the wand sound).
//   Absorb: the beam ends and counts as a hit.
//   Turn:   the beam goes on in the direction `turns` gives, turning in the middle.
//   Split:  the first beam leaves as two at right angles; a later one is stopped there.
//   Eat:    the beam is held up one cell step while it eats the element away.
enum class Effect : uint8_t { Pass, Stop, Absorb, Turn, Split, Eat };

// Which sparks an element's own event asks for (their counts are the edition's).
enum class Sparks : uint8_t { None, Absorb, Eat, Turn };

// How a tile picture is cut from a skin square: as it is, a quarter turn clockwise,
// mirrored top to bottom, or mirrored and then turned.
enum class SkinCut : uint8_t { AsIs, Turned, Mirrored, MirroredTurned };

struct Element {
    int code;
    const char* name;        // the German name (Windows-1252), for the status line
    const char* sourceChar;  // its character in the level source (UTF-8)
    int palettePlace;        // place in the editor's palette, 0.. top of the left column
    int stockSlot;           // 1..8 when the player may place it from the stock, else 0
    bool emits;              // a beam starts here, in direction `emitsTo`
    int emitsTo;
    std::array<Effect, 4> from;    // by the beam's direction, Right..Up
    std::array<uint8_t, 4> turns;  // the direction after a Turn, by direction
    bool crossing;                 // beams cross here without meeting
    SoundIndex sound;              // its event's sound (a stop is always wand)
    Sparks sparks;
    int skinSquare;  // the skin square its picture is cut from, and how
    SkinCut skinCut;
    int32_t preview;  // its colour (0xRRGGBB) in the import window's small level pictures

    constexpr Effect effectFrom(int dir) const { return from[static_cast<size_t>(dir - 1)]; }
    constexpr bool placeable() const { return stockSlot > 0; }
};

namespace elementrows {

using E = Effect;
constexpr std::array<Effect, 4> all(Effect e) { return {e, e, e, e}; }
// An element that takes only beams moving in `dir` and stops the others.
constexpr std::array<Effect, 4> only(int dir) {
    std::array<Effect, 4> a = all(E::Stop);
    a[static_cast<size_t>(dir - 1)] = E::Absorb;
    return a;
}
// A deflector joining two sides: beams moving `a` or `b` (towards the open sides) turn.
constexpr std::array<Effect, 4> opens(int a, int b) {
    std::array<Effect, 4> r = all(E::Stop);
    r[static_cast<size_t>(a - 1)] = E::Turn;
    r[static_cast<size_t>(b - 1)] = E::Turn;
    return r;
}
constexpr std::array<uint8_t, 4> NoTurn{0, 0, 0, 0};
constexpr std::array<uint8_t, 4> turn(int right, int down, int left, int up) {
    return {static_cast<uint8_t>(right), static_cast<uint8_t>(down), static_cast<uint8_t>(left),
            static_cast<uint8_t>(up)};
}

}  // namespace elementrows

inline constexpr int ElementCount = 21;  // codes 0..20, each a tile of the skin

// clang-format off
inline constexpr std::array<Element, ElementCount> Elements = [] {
    using namespace elementrows;
    const auto source = [](int c, const char* name, const char* ch, int cut) {
        return Element{c, name, ch, c, 0, true, c, all(E::Stop), NoTurn, false, SoundStart,
                       Sparks::None, 1, static_cast<SkinCut>(cut), 0xffff00};
    };
    const auto target = [](int c, const char* name, const char* ch, int cut) {
        return Element{c, name, ch, c, 0, false, 0, only(c - 4), NoTurn, false, SoundZiel,
                       Sparks::Absorb, 2, static_cast<SkinCut>(cut), 0x00ff00};
    };
    const auto piece = [](int c, const char* name, const char* ch, std::array<Effect, 4> from,
                          std::array<uint8_t, 4> turns, SoundIndex sound, Sparks sparks,
                          int32_t preview) {
        return Element{c, name, ch, c, c - 8, false, 0, from, turns, c == Cross, sound, sparks,
                       c - 6, SkinCut::AsIs, preview};
    };
    const auto star = [](int c, const char* name, const char* ch) {
        return Element{c, name, ch, c, 0, false, 0, all(E::Pass), NoTurn, false, SoundNone,
                       Sparks::None, c - 6, SkinCut::AsIs, 0x808080};
    };
    return std::array<Element, ElementCount>{
        Element{Empty, "Leer", ".", 0, 0, false, 0, all(E::Pass), NoTurn, false, SoundNone,
                Sparks::None, 0, SkinCut::AsIs, 0x000000},
        // The skin holds a source emitting up and a target open at the top; the other
        // directions are cut from them.
        source(SourceRight, "Quelle nach rechts", ">", 1),
        source(SourceDown, "Quelle nach unten", "v", 2),
        source(SourceLeft, "Quelle nach links", "<", 3),
        source(SourceUp, "Quelle nach oben", "^", 0),
        target(TargetRight, "Ziel f\xfcr Strahlen nach rechts", "R", 3),
        target(TargetDown, "Ziel f\xfcr Strahlen nach unten", "D", 0),
        target(TargetLeft, "Ziel f\xfcr Strahlen nach links", "L", 1),
        target(TargetUp, "Ziel f\xfcr Strahlen nach oben", "U", 2),
        piece(Wall, "Wand", "#", all(E::Stop), NoTurn, SoundWand, Sparks::None, 0x00ffff),
        piece(Cross, "Kreuzung", "+", all(E::Pass), NoTurn, SoundKreuz, Sparks::None, 0xff0000),
        // A deflector is drawn as the corner it joins: it turns beams coming from its two
        // open sides and stops the others.
        piece(DeflectorRightDown, "Umlenker rechts-unten", "\u250C", opens(Left, Up),
              turn(0, 0, Down, Right), SoundLenk, Sparks::Turn, 0xff00ff),
        piece(DeflectorLeftDown, "Umlenker links-unten", "\u2510", opens(Right, Up),
              turn(Down, 0, 0, Left), SoundLenk, Sparks::Turn, 0xff00ff),
        piece(DeflectorLeftUp, "Umlenker links-oben", "\u2518", opens(Right, Down),
              turn(Up, Left, 0, 0), SoundLenk, Sparks::Turn, 0xff00ff),
        piece(DeflectorRightUp, "Umlenker rechts-oben", "\u2514", opens(Left, Down),
              turn(0, Right, Up, 0), SoundLenk, Sparks::Turn, 0xff00ff),
        piece(Sand, "Sand", "~", all(E::Eat), NoTurn, SoundSand, Sparks::Eat, 0x808000),
        piece(Splitter, "Teiler", "T", all(E::Split), NoTurn, SoundTeiler, Sparks::None, 0xffffff),
        star(Decoration1, "Stern 1", "1"),
        star(Decoration2, "Stern 2", "2"),
        star(Decoration3, "Stern 3", "3"),
        star(Decoration4, "Stern 4", "4"),
    };
}();
// clang-format on

// The row of a code, nullptr for a code outside the table (EatenSand included).
constexpr const Element* elementOf(int code) {
    return code >= 0 && code < ElementCount ? &Elements[static_cast<size_t>(code)] : nullptr;
}

// What kind of element a code is, worked out once from the table: the searches ask this
// for every cell they look at.
namespace elementkinds {
enum : uint8_t { Source = 1, Target = 2, Deflector = 4, Decoration = 8, Placeable = 16 };
inline constexpr std::array<uint8_t, ElementCount> Kinds = [] {
    std::array<uint8_t, ElementCount> k{};
    for (const Element& e : Elements) {
        uint8_t bits = 0;
        if (e.emits) bits |= Source;
        for (const Effect f : e.from)
            if (f == Effect::Absorb) bits |= Target;
        if (e.turns != elementrows::NoTurn) bits |= Deflector;
        if (e.code != Empty && e.from == elementrows::all(Effect::Pass) && !e.crossing)
            bits |= Decoration;
        if (e.placeable()) bits |= Placeable;
        k[static_cast<size_t>(e.code)] = bits;
    }
    return k;
}();
constexpr bool is(int code, uint8_t kind) {
    return code >= 0 && code < ElementCount && (Kinds[static_cast<size_t>(code)] & kind);
}
}  // namespace elementkinds

constexpr bool isSource(int code) { return elementkinds::is(code, elementkinds::Source); }
constexpr bool isTarget(int code) { return elementkinds::is(code, elementkinds::Target); }
constexpr bool isDeflector(int code) { return elementkinds::is(code, elementkinds::Deflector); }
// Decorations: pictures a beam passes as an empty cell, offered only by the palette.
constexpr bool isDecoration(int code) { return elementkinds::is(code, elementkinds::Decoration); }
constexpr bool isPlaceable(int code) { return elementkinds::is(code, elementkinds::Placeable); }

// Stock slots 1..8 are the placeable elements.
inline constexpr int SlotCount = 8;
inline constexpr std::array<int, SlotCount + 1> SlotCodes = [] {
    std::array<int, SlotCount + 1> c{};
    for (const Element& e : Elements)
        if (e.stockSlot > 0) c[static_cast<size_t>(e.stockSlot)] = e.code;
    return c;
}();
constexpr int codeOfSlot(int slot) {
    return slot > 0 && slot <= SlotCount ? SlotCodes[static_cast<size_t>(slot)] : Empty;
}
constexpr int slotOfCode(int code) {
    const Element* e = elementOf(code);
    return e ? e->stockSlot : 0;
}

// What a cell does to a beam entering it in a direction (the move of a cell step); a code
// outside the table lets it pass.
enum class Entry : uint8_t { Pass, Stop, Take, EnterSand };

constexpr Entry entryOf(int dir, int code) {
    const Element* e = elementOf(code);
    if (!e || dir < Right || dir > Up) return Entry::Pass;
    switch (e->effectFrom(dir)) {
        case Effect::Stop:
            return Entry::Stop;
        case Effect::Absorb:
            return Entry::Take;
        case Effect::Eat:
            return Entry::EnterSand;
        default:
            return Entry::Pass;
    }
}

// The direction after a deflector's turn (any other code or side keeps it).
constexpr int turnedBy(int code, int dir) {
    const Element* e = elementOf(code);
    if (!e || dir < Right || dir > Up) return dir;
    const int t = e->turns[static_cast<size_t>(dir - 1)];
    return t ? t : dir;
}

// The element at a palette place, nullptr for a place without one.
const Element* elementAtPalettePlace(int place);
// The element with this level source character, nullptr for none.
const Element* elementOfSourceChar(const char* utf8Char, size_t length);

}  // namespace lumor
