// The triangle's squares as bits and the jumps between them, taken from the game's direction table.
#include "solver/board.h"

#include <cstdlib>
#include <stdexcept>

#include "game/board.h"
#include "moves/directions.h"

namespace tori::solver {

namespace {

// The game's jumps by pin index reach from one row's end to the next row; an ordinary jump's three
// squares stand one step apart on one line of the grid.
bool isOrdinary(const Board& b, int from, int over, int to) {
    const int dc = b.col(over) - b.col(from), dr = b.row(over) - b.row(from);
    return std::abs(dc) <= 1 && std::abs(dr) <= 1 && b.col(to) == b.col(over) + dc && b.row(to) == b.row(over) + dr;
}

}  // namespace

Board::Board(int keta, RuleSet rules) : keta_(keta), squares_(keta * (keta + 1) / 2) {
    if (keta < kMinKeta || keta > kMaxKeta) throw std::invalid_argument("board size must be 5, 6 or 7");
    bitOfPin_.fill(-1);
    int bit = 0;
    for (int row = 1; row <= keta; ++row)
        for (int col = 1; col <= keta - row + 1; ++col) {
            bitOfPin_[size_t(pinIndex(col, row))] = int8_t(bit);
            cols_[size_t(bit)] = int8_t(col);
            rows_[size_t(bit)] = int8_t(row);
            ++bit;
        }

    // A destination counts only where the game takes a press: a grid square that its triangle test
    // accepts. The jumped pin must be able to stand somewhere, so it too lies on the triangle.
    const auto k = int16_t(keta);
    for (int from = 0; from < squares_; ++from) {
        first_[size_t(from)] = int16_t(jumps_.size());
        const auto p = int16_t(pinIndex(cols_[size_t(from)], rows_[size_t(from)]));
        for (const Direction& d : kDirections) {
            const auto to = int16_t(p + d.targetRows * k + d.targetCols);
            if (to < 1 || to > k * k || cellcheck(to, k) != kTrue) continue;
            const auto over = jumpedOver(p, to, k, kLastcell);
            if (!over || bitOf(*over) < 0) continue;
            if (rules == RuleSet::ordinary && !isOrdinary(*this, from, bitOf(*over), bitOf(to))) continue;
            jumps_.push_back({.from = uint8_t(from), .over = uint8_t(bitOf(*over)), .to = uint8_t(bitOf(to))});
        }
    }
    first_[size_t(squares_)] = int16_t(jumps_.size());
}

const Jump* Board::jumpBetween(int fromBit, int toBit) const {
    if (fromBit < 0 || fromBit >= squares_) return nullptr;
    for (int i = first_[size_t(fromBit)]; i < first_[size_t(fromBit) + 1]; ++i)
        if (jumps_[size_t(i)].to == toBit) return &jumps_[size_t(i)];
    return nullptr;
}

std::string Board::picture(Position pos) const {
    std::string out;
    for (int row = 1; row <= keta_; ++row) {
        for (int col = 1; col <= keta_ - row + 1; ++col) out += (pos >> bitOf(pinIndex(col, row)) & 1) ? "●" : "・";
        out += "\n";
    }
    return out;
}

}  // namespace tori::solver
