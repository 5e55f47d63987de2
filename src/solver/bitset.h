// A dense set of positions: one bit for every subset of the triangle's squares.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <new>

#include "solver/board.h"

namespace tori::solver {

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

private:
    struct Free {
        void operator()(uint64_t* p) const { std::free(p); }
    };
    size_t words_;
    std::unique_ptr<uint64_t[], Free> bits_;
};

}  // namespace tori::solver
