// The jump tables of the classification and the count, seen from words of 64 positions.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <stdexcept>
#include <type_traits>
#include <vector>

#include "solver/board.h"
#include "solver/position_set.h"

namespace tori::solver {

// A jump seen from a word of 64 positions: the word index holds the squares from bit 6 up, the
// 64 bits of the word the six squares below.
struct WordJump {
    uint64_t legal;    // the positions of the word whose low squares allow the jump
    uint32_t flip;     // the jump's squares above the low six, on the word index
    unsigned lowFlip;  // the jump's squares among the low six: bit l of the word lands on bit l ^ lowFlip
    int highPins;      // what the jump adds to the pins of the word index (-2 to 1)
    // Moving bit l to bit l ^ lowFlip: one swap of bit groups for each of the jump's low squares.
    struct Swap {
        uint64_t mask;
        unsigned shift;
    };
    std::array<Swap, 3> swaps;

    // kSwaps, the number of the jump's low squares, is known where the jump is handed out, so the
    // many jumps that have none cost nothing here.
    template <int kSwaps>
    uint64_t flipLow(uint64_t v, std::integral_constant<int, kSwaps>) const {
        for (int i = 0; i < kSwaps; ++i) {
            const Swap& s = swaps[size_t(i)];
            v = ((v >> s.shift) & s.mask) | ((v & s.mask) << s.shift);
        }
        return v;
    }
};

// Which jumps a word allows by its high squares, found by three table look-ups of bit sets over the
// jumps instead of a test per jump: the tests branch unpredictably and cost more than the work.
class WordJumps {
public:
    explicit WordJumps(const Board& board) {
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

    // Calls f(jump, swaps) for the jumps word w allows by its high squares, swaps being the jump's
    // number of low squares as a std::integral_constant for flipLow; stops when f returns true.
    template <class F>
    void forWord(uint32_t w, F&& f) const {
        const std::array<uint64_t, 2> set = {
            allowed_[0][w & 0xFF][0] & allowed_[1][w >> 8 & 0xFF][0] & allowed_[2][w >> 16 & 0xFF][0],
            allowed_[0][w & 0xFF][1] & allowed_[1][w >> 8 & 0xFF][1] & allowed_[2][w >> 16 & 0xFF][1]};
        visit<0>(set, f) || visit<1>(set, f) || visit<2>(set, f) || visit<3>(set, f);
    }

private:
    template <int kSwaps, class F>
    bool visit(const std::array<uint64_t, 2>& set, F& f) const {
        for (size_t half = 0; half < 2; ++half)
            for (uint64_t s = set[half] & swapGroups_[kSwaps][half]; s != 0; s &= s - 1)
                if (f(jumps_[half * 64 + size_t(__builtin_ctzll(s))], std::integral_constant<int, kSwaps>{}))
                    return true;
        return false;
    }

    static constexpr size_t kChunks = 3;  // 8 bits each: up to 24 high squares, 30 in all
    static constexpr size_t kMaxJumps = 128;
    std::array<WordJump, kMaxJumps> jumps_{};
    // The jumps by their number of low squares; a jump that is not there is in none of them.
    std::array<std::array<uint64_t, 2>, 4> swapGroups_{};
    std::array<std::array<std::array<uint64_t, 2>, 256>, kChunks> allowed_{};
};

inline constexpr auto kLowWithPins = [] {
    std::array<uint64_t, 7> sel{};
    for (unsigned b = 0; b < 64; ++b) sel[size_t(bitCount(b))] |= uint64_t{1} << b;
    return sel;
}();

// The positions of a word with `count` pins, `high` of them on the word index.
inline uint64_t levelBits(uint64_t word, int high, int count) {
    const int low = count - high;
    return low < 0 || low > 6 ? 0 : word & kLowWithPins[size_t(low)];
}

// Calls f(word index, its pins, the word's positions with `count` pins) for every word of
// [first, last) that has any. The index's pins are counted on from one word to the next. The words
// are read while other threads may write their other pin counts.
template <class F>
void forLevel(const PositionSet& set, int count, size_t first, size_t last, F&& f) {
    int high = bitCount(first);
    for (size_t w = first; w < last; high += 1 - __builtin_ctzll(++w))
        if (const uint64_t bits = levelBits(set.load(w), high, count)) f(uint32_t(w), high, bits);
}

}  // namespace tori::solver
