// The game's fixed numbers, each written once: the board sizes, the pin indices and the bound lastcell.
#pragma once

#include <cstdint>

namespace tori {

// Board sizes (keta): the triangle has 5, 6 or 7 squares along each side.
inline constexpr int16_t kMinKeta = 5, kMaxKeta = 7;

// Pin indices number a keta × keta grid row by row, (col, row) being (row - 1) × keta + col. The
// largest board has 7 × 7 = 49 of them, one pin button each: pin(1) to pin(49), pin(0) being the
// hidden template.
inline constexpr int16_t kPinButtons = kMaxKeta * kMaxKeta;

// The triangle of the largest board has 28 squares; its game starts with 27 pins and ends with one,
// so it has at most 26 moves.
inline constexpr int16_t kMostSquares = kMaxKeta * (kMaxKeta + 1) / 2;
inline constexpr int16_t kMostMoves = kMostSquares - 2;

// lastcell, the bound on the jumped-over pin index in the four jump directions that go down or to the
// right (the other four only ask for an index above 0). It is 43, the index of (1, 7): the bottom
// vertex of the 7 × 7 triangle and the highest index of a triangle square on any size. So on every
// size a jump over a triangle square passes the bound, and the jumped pin alone decides. The game
// keeps it in GameState::lastcell, set when the board window loads.
inline constexpr int16_t kLastcell = 43;
static_assert(kLastcell == (kMaxKeta - 1) * kMaxKeta + 1, "the bottom vertex of the largest board");

}  // namespace tori
