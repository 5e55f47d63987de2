// Board geometry: pin indices, the triangle, the twip grid and the pin count.
#pragma once

#include <cstdint>
#include <string>

#include "game/game_state.h"
#include "game/rules.h"
#include "platform/toolkit.h"

namespace tori {

inline constexpr int16_t kSquare = 450;   // twips per square

// -1 when cell lies inside the triangle of an n × n board, 0 when it is one of the excluded cells.
int16_t cellcheck(const int16_t& cell, const int16_t& n);

// How many of pin(1) to pin(49) are visible.
int16_t pincount(Toolkit& tk);

// What a screen reader says of square (col, row): its coordinates and what stands there, "(3,2) ピン",
// "(3,2) 空き", or "(3,2) 持ち上げ中" on the lifted pin's square; empty off the board's triangle.
std::string cellname(const GameState& s, Toolkit& tk, int16_t col, int16_t row);

constexpr int16_t pinIndex(int16_t col, int16_t row, int16_t keta) { return int16_t((row - 1) * keta + col); }

// The grid line (column or row) under a press position: rounded to the nearest twip, halves to even,
// then divided by 450. Positions no window can have become -1, which is no square.
int16_t gridLine(float twips);

}  // namespace tori
