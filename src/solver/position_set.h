// A set of positions as one bit for every subset of the triangle's squares: 2^28 bits, 32 MiB, on
// 7 x 7. Membership is a shift, and the 64 positions that differ only in their six lowest squares share
// a word, which the classification and the count handle as one. A level, the positions with a given
// number of pins, is read word by word through a mask of the low squares' pin counts.
#pragma once

#include <sys/mman.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <new>

#include "solver/board.h"

namespace tori::solver {

// Set bits, counted without the library call a plain x86-64 build makes for __builtin_popcount.
constexpr int bitCount(uint64_t x) {
    x -= (x >> 1) & 0x5555555555555555;
    x = (x & 0x3333333333333333) + ((x >> 2) & 0x3333333333333333);
    x = (x + (x >> 4)) & 0x0F0F0F0F0F0F0F0F;
    return int((x * 0x0101010101010101) >> 56);
}

class PositionSet {
public:
    // Pages of zeros straight from the system, which gives them memory only when first written: a set
    // that holds few positions costs few pages, and bytes() can tell how many. Huge pages would
    // charge a whole 2 MiB for a single position.
    explicit PositionSet(int squares)
        : words_(squares >= 6 ? size_t{1} << (squares - 6) : 1), bits_(zeros(words_), Free{words_}) {}

    bool has(Position p) const { return bits_[p >> 6] >> (p & 63) & 1; }
    void add(Position p) { bits_[p >> 6] |= uint64_t{1} << (p & 63); }
    size_t words() const { return words_; }
    uint64_t word(size_t i) const { return bits_[i]; }
    uint64_t& word(size_t i) { return bits_[i]; }
    // The memory the set occupies: the pages that hold a position, the only ones ever written.
    size_t bytes() const {
        const size_t page = size_t(sysconf(_SC_PAGESIZE)), perPage = page / sizeof(uint64_t);
        size_t used = 0;
        for (size_t i = 0; i < words_; ++i)
            if (bits_[i]) {
                used += page;
                i |= perPage - 1;  // on to the next page
            }
        return used;
    }

    // For words that other threads read or write at the same time: relaxed, so as cheap as plain access.
    uint64_t load(size_t i) const { return std::atomic_ref<uint64_t>(bits_[i]).load(std::memory_order_relaxed); }
    void store(size_t i, uint64_t v) { std::atomic_ref<uint64_t>(bits_[i]).store(v, std::memory_order_relaxed); }
    void merge(size_t i, uint64_t v) { std::atomic_ref<uint64_t>(bits_[i]).fetch_or(v, std::memory_order_relaxed); }

private:
    static uint64_t* zeros(size_t words) {
        void* p = mmap(nullptr, words * sizeof(uint64_t), PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (p == MAP_FAILED) throw std::bad_alloc();
        madvise(p, words * sizeof(uint64_t), MADV_NOHUGEPAGE);
        return static_cast<uint64_t*>(p);
    }
    struct Free {
        size_t words;
        void operator()(uint64_t* p) const { munmap(p, words * sizeof(uint64_t)); }
    };
    size_t words_;
    std::unique_ptr<uint64_t[], Free> bits_;
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
