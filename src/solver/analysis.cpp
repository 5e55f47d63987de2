// Classifying every reachable position by levels of pin count, counting winning lines, and the search.
#include "solver/analysis.h"

#include <algorithm>
#include <array>
#include <memory>
#include <stdexcept>

namespace tori::solver {

namespace {

// A jump seen from a word of 64 positions: the word index holds the squares from bit 6 up, the
// 64 bits of the word the six squares below.
struct WordJump {
    uint64_t legal;  // the positions of the word whose low squares allow the jump
    uint32_t flip;   // the jump's squares above the low six, on the word index
    // Moving bit l to bit l ^ (the jump's low squares), as up to three swaps of bit groups.
    struct Swap {
        uint64_t keep, mask;
        unsigned shift;
    };
    std::array<Swap, 3> swaps;

    uint64_t flipLow(uint64_t v) const {
        for (const Swap& s : swaps) v = (v & s.keep) | ((v >> s.shift) & s.mask) | ((v & s.mask) << s.shift);
        return v;
    }
};

// Which jumps a word allows by its high squares, found by three table look-ups of bit sets over the
// jumps instead of a test per jump: the tests branch unpredictably and cost more than the work.
class WordJumps {
public:
    explicit WordJumps(const Board& board) {
        // The tables cover 128 jumps and 24 high squares; the 7 x 7 board has 110 jumps and 22.
        if (board.jumps().size() > 128 || board.squares() > 6 + 8 * int(kChunks))
            throw std::length_error("board too large for the word tables");
        constexpr uint64_t groups[6] = {0x5555555555555555, 0x3333333333333333, 0x0F0F0F0F0F0F0F0F,
                                        0x00FF00FF00FF00FF, 0x0000FFFF0000FFFF, 0x00000000FFFFFFFF};
        for (auto& table : allowed_)
            for (auto& set : table) set = {~uint64_t{0}, ~uint64_t{0}};
        for (const Jump& j : board.jumps()) {
            const size_t n = jumps_.size();
            WordJump w{};
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
            for (unsigned l = 0; l < 64; ++l)
                if ((l & setLow) == setLow && !(l & clearLow)) w.legal |= uint64_t{1} << l;
            size_t used = 0;
            for (unsigned i = 0; i < 6; ++i)
                if ((setLow | clearLow) >> i & 1) w.swaps[used++] = {0, groups[i], 1u << i};
            for (; used < 3; ++used) w.swaps[used] = {~uint64_t{0}, 0, 0};
            jumps_.push_back(w);
            for (size_t c = 0; c < kChunks; ++c)
                for (uint32_t v = 0; v < 256; ++v) {
                    const uint32_t hi = v << (8 * c);
                    if ((hi & needSet) != (needSet & (0xFFu << (8 * c))) || (hi & needClear) != 0)
                        allowed_[c][v][n / 64] &= ~(uint64_t{1} << (n % 64));
                }
        }
        // Bits of absent jumps stay set in the tables; clear them once here.
        for (uint32_t v = 0; v < 256; ++v)
            for (size_t n = jumps_.size(); n < 128; ++n) allowed_[0][v][n / 64] &= ~(uint64_t{1} << (n % 64));
    }

    template <class F>
    void forWord(uint32_t w, F&& f) const {
        for (size_t half = 0; half < 2; ++half) {
            uint64_t set = allowed_[0][w & 0xFF][half] & allowed_[1][w >> 8 & 0xFF][half] &
                           allowed_[2][w >> 16 & 0xFF][half];
            for (; set != 0; set &= set - 1) f(jumps_[half * 64 + size_t(__builtin_ctzll(set))]);
        }
    }

private:
    static constexpr size_t kChunks = 3;  // 8 bits each: up to 24 high squares, 30 in all
    std::vector<WordJump> jumps_;
    std::array<std::array<std::array<uint64_t, 2>, 256>, kChunks> allowed_{};
};

constexpr auto kLowWithPins = [] {
    std::array<uint64_t, 7> sel{};
    for (unsigned b = 0; b < 64; ++b) sel[size_t(__builtin_popcount(b))] |= uint64_t{1} << b;
    return sel;
}();

// Calls f(word index, the word's positions with `count` pins) for every word that has any.
template <class F>
void forLevel(const PositionSet& set, int count, F&& f) {
    for (size_t w = 0; w < set.words(); ++w) {
        const int low = count - __builtin_popcountll(w);
        if (low < 0 || low > 6) continue;
        if (const uint64_t bits = set.word(w) & kLowWithPins[size_t(low)]) f(uint32_t(w), bits);
    }
}

}  // namespace

Classification::Classification(const Board& board, Position root)
    : board_(board), root_(root), reach_(board.squares()), win_(board.squares()) {
    const int top = pins(root);
    const WordJumps jumps(board);
    // A jump removes one pin, so each pin count is complete before the next lower one is read.
    // 64 positions that share their high squares move together.
    reach_.add(root);
    for (int k = top; k >= 2; --k)
        forLevel(reach_, k, [&](uint32_t w, uint64_t bits) {
            jumps.forWord(w, [&](const WordJump& j) {
                if (const uint64_t v = bits & j.legal) reach_.word(w ^ j.flip) |= j.flipLow(v);
            });
        });
    // One pin left is a win; a position is won when some jump leads to a won position.
    forLevel(reach_, 1, [&](uint32_t w, uint64_t bits) { win_.word(w) |= bits; });
    for (int k = 2; k <= top; ++k)
        forLevel(reach_, k, [&](uint32_t w, uint64_t bits) {
            uint64_t won = 0;
            jumps.forWord(w, [&](const WordJump& j) {
                won |= bits & j.legal & j.flipLow(win_.word(w ^ j.flip));
            });
            win_.word(w) |= won;
        });
    for (size_t w = 0; w < reach_.words(); ++w) {
        reachableCount_ += uint64_t(__builtin_popcountll(reach_.word(w)));
        winnableCount_ += uint64_t(__builtin_popcountll(win_.word(w)));
    }
}

namespace {

// Numbers the won positions of one pin count 0, 1, 2, ... in ascending order, so that a value per
// position fits a plain array.
class LevelIndex {
public:
    LevelIndex(const PositionSet& won, int count) : won_(won), count_(count), before_(won.words()) {
        uint32_t n = 0;
        for (size_t w = 0; w < won.words(); ++w) {
            before_[w] = n;
            n += uint32_t(__builtin_popcountll(bits(w)));
        }
        size_ = n;
    }
    size_t size() const { return size_; }
    size_t indexOf(Position p) const {
        const size_t w = p >> 6;
        return before_[w] + size_t(__builtin_popcountll(bits(w) & ((uint64_t{1} << (p & 63)) - 1)));
    }
    static size_t bytesFor(size_t words) { return words * sizeof(uint32_t); }

private:
    uint64_t bits(size_t w) const {
        const int low = count_ - __builtin_popcountll(w);
        return low < 0 || low > 6 ? 0 : won_.word(w) & kLowWithPins[size_t(low)];
    }
    const PositionSet& won_;
    int count_;
    std::vector<uint32_t> before_;
    size_t size_ = 0;
};

}  // namespace

Classification::Sequences Classification::winningSequences(size_t memoryLimit) const {
    const int top = pins(root_);
    if (top == 0 || !win_.has(root_)) return {Count{0}, 0};
    // Ways to finish from every won position of one pin count, kept for two counts at a time.
    std::vector<size_t> sizes(size_t(top) + 1, 0);
    for (int k = 1; k <= top; ++k)
        forLevel(win_, k, [&](uint32_t, uint64_t bits) { sizes[size_t(k)] += size_t(__builtin_popcountll(bits)); });
    size_t needed = 0;
    for (int k = 2; k <= top; ++k)
        needed = std::max(needed, (sizes[size_t(k)] + sizes[size_t(k) - 1]) * sizeof(Count) +
                                      2 * LevelIndex::bytesFor(win_.words()));
    if (needed > memoryLimit) return {std::nullopt, needed};

    // No position reachable from the root has more ways than the root itself, and the start of the
    // 7 x 7 board has about 6.4e20, so 128 bits hold every sum exactly.
    auto below = std::make_unique<LevelIndex>(win_, 1);
    std::vector<Count> ways(below->size(), 1);
    for (int k = 2; k <= top; ++k) {
        auto here = std::make_unique<LevelIndex>(win_, k);
        std::vector<Count> next(here->size(), 0);
        size_t i = 0;
        forLevel(win_, k, [&](uint32_t w, uint64_t bits) {
            for (; bits != 0; bits &= bits - 1, ++i) {
                const auto p = Position(w << 6 | uint32_t(__builtin_ctzll(bits)));
                Count sum = 0;
                board_.forEachMove(p, [&](const Jump& j) {
                    const Position q = Board::apply(p, j);
                    if (win_.has(q)) sum += ways[below->indexOf(q)];
                });
                next[i] = sum;
            }
        });
        ways = std::move(next);
        below = std::move(here);
    }
    return {ways[below->indexOf(root_)], needed};
}

Solver::Solver(const Board& board) : board_(board), dead_(board.squares()) {}

Verdict Solver::solve(Position p) {
    Verdict v;
    v.winnable = search(p, v.continuation);
    if (!v.winnable) v.continuation.clear();
    return v;
}

bool Solver::search(Position p, std::vector<Jump>& line) {
    if (pins(p) == 1) return true;
    if (dead_.has(p)) return false;
    bool won = false;
    // forEachMove has no early exit; a found win skips the remaining jumps.
    board_.forEachMove(p, [&](const Jump& j) {
        if (won) return;
        line.push_back(j);
        if (search(Board::apply(p, j), line)) won = true;
        else line.pop_back();
    });
    if (!won) dead_.add(p);
    return won;
}

}  // namespace tori::solver
