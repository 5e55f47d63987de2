// Numbering the won positions of one pin count 0, 1, 2, ... in ascending order, so that the count of
// winning sequences keeps one value per position in a plain array. The numbers come from a word's
// place among the words that hold such positions, so the index grows with what the level holds and
// not with the board: a handful of positions late in a 7 x 7 game costs a few kilobytes, where one
// entry for every word of the board would cost 16 MiB.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "solver/position_set.h"

namespace tori::solver {

// How much one pin count's won positions hold, which is what its tables cost.
struct LevelSize {
    size_t positions = 0;  // won positions with this pin count
    size_t words = 0;      // words of 64 positions that hold any of them
    size_t groups = 0;     // groups of 4096 words that hold any of them
};

class LevelIndex {
public:
    // `size` is the level's own, from levelSizes().
    LevelIndex(const PositionSet& won, int count, const LevelSize& size);

    size_t size() const { return size_; }
    // The positions of word w, whose index has `high` pins, with this pin count.
    uint64_t bits(size_t w, int high) const { return levelBits(won_.word(w), high, count_); }
    // The number of the word's first position; only for a word that holds positions of this count.
    size_t before(size_t w) const {
        const Block& b = blocks_[groups_[w / kGroupWords] + w / 64 % kGroupBlocks];
        return held_[b.rank + size_t(bitCount(b.words & ((uint64_t{1} << (w % 64)) - 1)))];
    }
    size_t indexOf(Position p) const {
        const size_t w = p >> 6;
        return before(w) + size_t(bitCount(bits(w, bitCount(w)) & ((uint64_t{1} << (p & 63)) - 1)));
    }

    // The index's bytes for a level of that size on a set of `words` words.
    static size_t bytesFor(const LevelSize& size, size_t words) {
        return (words + kGroupWords - 1) / kGroupWords * sizeof(uint32_t) +
               size.groups * kGroupBlocks * sizeof(Block) + size.words * sizeof(uint32_t);
    }
    static constexpr size_t kGroupWords = 4096;

private:
    static constexpr size_t kGroupBlocks = kGroupWords / 64;
    // 64 words: which of them hold positions of this count, and how many such words come before.
    struct Block {
        uint64_t words;
        uint32_t rank;
    };
    const PositionSet& won_;
    int count_;
    std::vector<uint32_t> groups_;  // for each group of words: its first block, if it holds any position
    std::vector<Block> blocks_;     // the blocks of the groups that hold positions
    std::vector<uint32_t> held_;    // for each word that holds positions: the number of its first one
    size_t size_ = 0;
};

// The sizes of the won positions of the set by pin count, index 0 to `top`.
std::vector<LevelSize> levelSizes(const PositionSet& won, int top);

}  // namespace tori::solver
