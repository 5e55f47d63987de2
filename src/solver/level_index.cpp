// Building a level's index in one pass over the won positions.
#include "solver/level_index.h"

namespace tori::solver {

LevelIndex::LevelIndex(const PositionSet& won, int count, const LevelSize& size)
    : won_(won), count_(count), groups_((won.words() + kGroupWords - 1) / kGroupWords) {
    // Reserved to the size, so that the memory is what bytesFor() says, without a doubling.
    blocks_.reserve(size.groups * kGroupBlocks);
    held_.reserve(size.words);
    size_t group = groups_.size();  // none yet
    int high = 0;
    for (size_t w = 0; w < won.words(); high += 1 - __builtin_ctzll(++w)) {
        const uint64_t here = bits(w, high);
        if (!here) continue;
        if (w / kGroupWords != group) {
            group = w / kGroupWords;
            groups_[group] = uint32_t(blocks_.size());
            blocks_.resize(blocks_.size() + kGroupBlocks, Block{.words = 0, .rank = 0});
        }
        Block& b = blocks_[groups_[group] + w / 64 % kGroupBlocks];
        if (!b.words) b.rank = uint32_t(held_.size());
        b.words |= uint64_t{1} << (w % 64);
        held_.push_back(uint32_t(size_));
        size_ += size_t(bitCount(here));
    }
}

std::vector<LevelSize> levelSizes(const PositionSet& won, int top) {
    std::vector<LevelSize> sizes(size_t(top) + 1);
    std::vector<size_t> lastGroup(size_t(top) + 1, ~size_t{0});
    for (size_t w = 0; w < won.words(); ++w) {
        if (!won.word(w)) continue;
        for (int low = 0, high = bitCount(w); low <= 6 && high + low <= top; ++low) {
            const auto k = size_t(high + low);
            const int n = bitCount(won.word(w) & kLowWithPins[size_t(low)]);
            if (n == 0) continue;
            sizes[k].positions += size_t(n);
            ++sizes[k].words;
            if (lastGroup[k] != w / LevelIndex::kGroupWords) {
                lastGroup[k] = w / LevelIndex::kGroupWords;
                ++sizes[k].groups;
            }
        }
    }
    return sizes;
}

}  // namespace tori::solver
