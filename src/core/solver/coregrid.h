// The beam moves the core search and its bounds share: how a beam steps from cell to cell,
// and what each cell code does to a beam passing through it without a new piece.
#pragma once

#include "play/cells.h"
#include "solver/beamcheck.h"

#include <array>
#include <cstdint>
#include <limits>

namespace lumor::coregrid {

inline constexpr std::array<int, 5> Delta = {0, 1, BeamChecker::PadW, -1, -BeamChecker::PadW};
inline constexpr int Unreachable = std::numeric_limits<int>::max() / 2;

// Directions a beam entering a cell of this (checker) code moving `in` leaves it with,
// without a new piece, as a bit mask; and the other way round, the directions it may have
// come in with to leave moving `out`.
constexpr std::array<std::array<uint8_t, 5>, BeamChecker::CodeCount> makeThrough() {
    std::array<std::array<uint8_t, 5>, BeamChecker::CodeCount> t{};
    for (int code = 0; code < BeamChecker::CodeCount; ++code)
        for (int in = 1; in <= 4; ++in) t[code][in] = BeamChecker::exits(code, in);
    return t;
}
inline constexpr auto Through = makeThrough();

constexpr std::array<std::array<uint8_t, 5>, BeamChecker::CodeCount> makeInto() {
    std::array<std::array<uint8_t, 5>, BeamChecker::CodeCount> t{};
    for (int code = 0; code < BeamChecker::CodeCount; ++code)
        for (int in = 1; in <= 4; ++in)
            for (int out = 1; out <= 4; ++out)
                if (Through[code][in] & (1 << out)) t[code][out] |= static_cast<uint8_t>(1 << in);
    return t;
}
inline constexpr auto Into = makeInto();

// Deflectors and splitters: the pieces that turn a beam.
constexpr bool turnsBeam(int slot) {
    return isDeflector(codeOfSlot(slot)) || codeOfSlot(slot) == Splitter;
}

constexpr bool crossing(int a, int b) {
    return (a == Right || a == Left) != (b == Right || b == Left);
}

// The deflector code that turns a beam moving `from` into `to` (0 for none).
constexpr int deflectorFor(int from, int to) {
    for (int code = DeflectorRightDown; code <= DeflectorRightUp; ++code)
        if (entryOf(from, code) == Entry::Pass && turnedBy(code, from) == to) return code;
    return 0;
}

}  // namespace lumor::coregrid
