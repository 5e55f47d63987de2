// A dense set of positions: one bit for every subset of the triangle's squares.
#pragma once

#include <atomic>
#include <cstdint>
#include <cstdlib>
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
    // calloc hands out untouched zero pages, so a search that visits few positions pays for few pages.
    explicit PositionSet(int squares)
        : words_(squares >= 6 ? size_t{1} << (squares - 6) : 1),
          bits_(static_cast<uint64_t*>(std::calloc(words_, sizeof(uint64_t)))) {
        if (!bits_) throw std::bad_alloc();
    }

    bool has(Position p) const { return bits_[p >> 6] >> (p & 63) & 1; }
    void add(Position p) { bits_[p >> 6] |= uint64_t{1} << (p & 63); }
    size_t words() const { return words_; }
    uint64_t word(size_t i) const { return bits_[i]; }
    uint64_t& word(size_t i) { return bits_[i]; }
    size_t bytes() const { return words_ * sizeof(uint64_t); }

    // For words that other threads read or write at the same time: relaxed, so as cheap as plain access.
    uint64_t load(size_t i) const { return std::atomic_ref<uint64_t>(bits_[i]).load(std::memory_order_relaxed); }
    void store(size_t i, uint64_t v) { std::atomic_ref<uint64_t>(bits_[i]).store(v, std::memory_order_relaxed); }
    void merge(size_t i, uint64_t v) { std::atomic_ref<uint64_t>(bits_[i]).fetch_or(v, std::memory_order_relaxed); }

private:
    struct Free {
        void operator()(uint64_t* p) const { std::free(p); }
    };
    size_t words_;
    std::unique_ptr<uint64_t[], Free> bits_;
};

}  // namespace tori::solver
