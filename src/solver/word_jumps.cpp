// The word tables, built once per board from its jumps.
#include "solver/word_jumps.h"

#include <algorithm>
#include <stdexcept>
#include <vector>

#include "solver/position_set.h"

namespace tori::solver {

WordJumps::WordJumps(const Board& board) {
    // The tables cover 128 jumps and 24 high squares; the 7 x 7 board has 110 jumps and 22.
    if (board.jumps().size() > kMaxJumps || board.squares() > 6 + 8 * int(kChunks))
        throw std::length_error("board too large for the word tables");
    constexpr uint64_t groups[6] = {0x5555555555555555, 0x3333333333333333, 0x0F0F0F0F0F0F0F0F,
                                    0x00FF00FF00FF00FF, 0x0000FFFF0000FFFF, 0x00000000FFFFFFFF};
    auto lowSquares = [](const Jump& j) { return int(j.from < 6) + int(j.over < 6) + int(j.to < 6); };
    std::vector<Jump> ordered = board.jumps();
    std::stable_sort(ordered.begin(), ordered.end(),
                     [&](const Jump& a, const Jump& b) { return lowSquares(a) < lowSquares(b); });
    for (auto& table : allowed_)
        for (auto& set : table) set = {~uint64_t{0}, ~uint64_t{0}};
    for (size_t n = 0; n < ordered.size(); ++n) {
        const Jump& j = ordered[n];
        WordJump& w = jumps_[n];
        uint32_t needSet = 0, needClear = 0;
        unsigned setLow = 0, clearLow = 0;
        auto place = [](int bit, uint32_t& high, unsigned& low) {
            if (bit >= 6) high |= uint32_t{1} << (bit - 6);
            else low |= 1u << bit;
        };
        place(j.from, needSet, setLow);
        place(j.over, needSet, setLow);
        place(j.to, needClear, clearLow);
        w.flip = needSet | needClear;
        w.lowFlip = setLow | clearLow;
        w.highPins = bitCount(needClear) - bitCount(needSet);
        for (unsigned l = 0; l < 64; ++l)
            if ((l & setLow) == setLow && !(l & clearLow)) w.legal |= uint64_t{1} << l;
        size_t used = 0;
        for (unsigned i = 0; i < 6; ++i)
            if (w.lowFlip >> i & 1) w.swaps[used++] = {groups[i], 1u << i};
        swapGroups_[size_t(lowSquares(j))][n / 64] |= uint64_t{1} << (n % 64);
        for (size_t c = 0; c < kChunks; ++c)
            for (uint32_t v = 0; v < 256; ++v) {
                const uint32_t hi = v << (8 * c);
                if ((hi & needSet) != (needSet & (0xFFu << (8 * c))) || (hi & needClear) != 0)
                    allowed_[c][v][n / 64] &= ~(uint64_t{1} << (n % 64));
            }
    }
}

}  // namespace tori::solver
