// The jumps applied to 64 positions at once, for the classification and the count. A position's six
// lowest squares choose its bit in a word of a position set and the others the word's index, so a jump
// carries a whole word's positions together: its squares above the six change the index, those among
// the six move bits inside the word by swaps of bit groups. Which jumps a word's index allows comes
// from three table look-ups of bit sets over the jumps, one per 8 squares of the index, instead of a
// test per jump, whose branches mispredict and cost more than the work itself.
#pragma once

#include <array>
#include <cstdint>
#include <type_traits>

#include "solver/board.h"

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
    explicit WordJumps(const Board& board);

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

}  // namespace tori::solver
