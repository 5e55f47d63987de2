// Numbering the won positions of one pin count, for the count of winning sequences.
#pragma once

#include <cstdint>
#include <vector>

#include "solver/position_set.h"
#include "solver/word_jumps.h"

namespace tori::solver {

// Numbers the won positions of one pin count 0, 1, 2, ... in ascending order, so that a value per
// position fits a plain array.
class LevelIndex {
public:
    LevelIndex(const PositionSet& won, int count) : won_(won), count_(count), before_(won.words()) {
        uint32_t n = 0;
        int high = 0;
        for (size_t w = 0; w < won.words(); high += 1 - __builtin_ctzll(++w)) {
            before_[w] = n;
            n += uint32_t(bitCount(bits(w, high)));
        }
        size_ = n;
    }
    size_t size() const { return size_; }
    // The positions of word w, whose index has `high` pins, with this pin count.
    uint64_t bits(size_t w, int high) const { return levelBits(won_.word(w), high, count_); }
    // The index of the word's first position.
    size_t before(size_t w) const { return before_[w]; }
    size_t indexOf(Position p) const {
        const size_t w = p >> 6;
        return before_[w] + size_t(bitCount(bits(w, bitCount(w)) & ((uint64_t{1} << (p & 63)) - 1)));
    }
    static size_t bytesFor(size_t words) { return words * sizeof(uint32_t); }

private:
    const PositionSet& won_;
    int count_;
    std::vector<uint32_t> before_;
    size_t size_ = 0;
};

}  // namespace tori::solver
