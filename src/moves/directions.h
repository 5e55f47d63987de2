// The eight jumps of the game, by pin index, in the order they are tried. The solver reads the same table.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace tori {

enum class Bound : int8_t {
    atMostLastcell,  // jumped index ≤ lastcell
    positive,        // jumped index > 0
};

// Target and jumped-over square as row and column offsets; on the board a row is keta indices long,
// so an offset of two columns also reaches from the end of one row to the start of the next.
struct Direction {
    int8_t targetRows, targetCols;
    int8_t jumpedRows, jumpedCols;
    Bound bound;
};

inline constexpr std::array<Direction, 8> kDirections{{
    {+2, -2, +1, -1, Bound::atMostLastcell},  // two rows down, two columns left
    {+2, +2, +1, +1, Bound::atMostLastcell},  // two rows down, two columns right
    {-2, -2, -1, -1, Bound::positive},        // two rows up, two columns left
    {-2, +2, -1, +1, Bound::positive},        // two rows up, two columns right
    {0, -2, 0, -1, Bound::positive},          // same row, two columns left
    {0, +2, 0, +1, Bound::atMostLastcell},    // same row, two columns right
    {-2, 0, -1, 0, Bound::positive},          // two rows up, same column
    {+2, 0, +1, 0, Bound::atMostLastcell},    // two rows down, same column
}};

// The pin index jumped over when the pin at `from` lands on `to`, if a direction's target is `to`
// and its bound holds; whether a pin stands there is the caller's test.
constexpr std::optional<int16_t> jumpedOver(int16_t from, int16_t to, int16_t keta, int16_t lastcell) {
    for (const Direction& d : kDirections) {
        if (to != from + d.targetRows * keta + d.targetCols) continue;
        const auto j = int16_t(from + d.jumpedRows * keta + d.jumpedCols);
        const bool withinBound = d.bound == Bound::positive ? j > 0 : j <= lastcell;
        if (!withinBound) return std::nullopt;
        return j;
    }
    return std::nullopt;
}

}  // namespace tori
