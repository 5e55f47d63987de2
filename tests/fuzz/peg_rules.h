// The rules of the game written again, small and separate from the game's code, for tests to
// predict positions and to find winning games.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "game/rules.h"

namespace tori::test {

// A set of squares by pin index, bit i for index i (1 to kPinButtons).
using Squares = uint64_t;

constexpr Squares bit(int index) { return Squares{1} << index; }

struct Jump {
    int16_t from, over, to;
    friend bool operator==(const Jump&, const Jump&) = default;
};

struct Square {
    int16_t col, row;
};

Square squareOf(int index, int keta);
bool inTriangle(int index, int keta);
// Every triangle square but the bottom corner.
Squares startPosition(int keta);
int countOf(Squares pins);

// The jumps the pins allow, in the order of the game's direction table; the ordinary ones alone if asked.
std::vector<Jump> legalJumps(Squares pins, int keta, bool ordinary = false);
Squares apply(Squares pins, const Jump& j);

// A sequence of jumps from `pins` that leaves exactly one pin, if there is one.
std::optional<std::vector<Jump>> findWin(Squares pins, int keta);

}  // namespace tori::test
