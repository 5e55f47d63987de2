// The triangle as the solver sees it: one bit per triangle square and the legal jumps between them.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "game/rules.h"

namespace tori::solver {

// Bit b set: a pin stands on the b-th triangle square (counted row by row from the top left).
using Position = uint32_t;

struct Jump {
    uint8_t from, over, to;  // bits
};

// Which jumps count: every jump the game accepts, or only the ordinary ones, which go along a row, a
// column or a diagonal over a neighbouring square onto the next, never round the board's edge.
enum class RuleSet { game, ordinary };

class Board {
public:
    explicit Board(int keta, RuleSet rules = RuleSet::game);  // keta is 5, 6 or 7

    int keta() const { return keta_; }
    int squares() const { return squares_; }
    Position all() const { return (Position{1} << squares_) - 1; }
    Position start() const { return all() & ~(Position{1} << bitOf(pinIndex(1, keta_))); }

    int pinIndex(int col, int row) const { return (row - 1) * keta_ + col; }
    bool inTriangle(int col, int row) const { return col >= 1 && row >= 1 && row <= keta_ && col <= keta_ - row + 1; }
    // -1 for a pin index that is no triangle square.
    int bitOf(int pin) const { return pin >= 1 && pin <= keta_ * keta_ ? bitOfPin_[size_t(pin)] : -1; }
    int col(int bit) const { return cols_[size_t(bit)]; }
    int row(int bit) const { return rows_[size_t(bit)]; }

    // Every jump the rule set allows, grouped by the lifted pin's bit in ascending order.
    const std::vector<Jump>& jumps() const { return jumps_; }
    // The jumps that lift the pin on `bit`: jumps()[firstJump(bit) .. firstJump(bit + 1)).
    int firstJump(int bit) const { return first_[size_t(bit)]; }

    // The jump from one square to another, if the game accepts it on some position.
    const Jump* jumpBetween(int fromBit, int toBit) const;

    // The legal jumps on a position, in the order of jumps().
    template <class F>
    void forEachMove(Position pos, F&& f) const {
        for (Position rest = pos; rest != 0; rest &= rest - 1) {
            const int b = __builtin_ctz(rest);
            for (int i = first_[size_t(b)]; i < first_[size_t(b) + 1]; ++i) {
                const Jump& j = jumps_[size_t(i)];
                if ((pos >> j.over & 1) && !(pos >> j.to & 1)) f(j);
            }
        }
    }

    static Position apply(Position pos, const Jump& j) {
        return (pos & ~(Position{1} << j.from) & ~(Position{1} << j.over)) | Position{1} << j.to;
    }

    // The triangle in rows of "●" (pin) and "・" (empty), one line per row, each ending in "\n".
    std::string picture(Position pos) const;

private:
    int keta_;
    int squares_;
    std::array<int8_t, kPinButtons + 1> bitOfPin_{};
    std::array<int8_t, kMostSquares> cols_{}, rows_{};
    std::array<int16_t, kMostSquares + 1> first_{};
    std::vector<Jump> jumps_;
};

inline int pins(Position pos) { return __builtin_popcount(pos); }

}  // namespace tori::solver
