// Classifying every reachable position by levels of pin count, counting winning lines, and the search.
#include "solver/analysis.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <memory>
#include <stdexcept>
#include <system_error>
#include <thread>

namespace tori::solver {

namespace {

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

constexpr auto kLowWithPins = [] {
    std::array<uint64_t, 7> sel{};
    for (unsigned b = 0; b < 64; ++b) sel[size_t(bitCount(b))] |= uint64_t{1} << b;
    return sel;
}();

// The positions of a word with `count` pins, `high` of them on the word index.
uint64_t levelBits(uint64_t word, int high, int count) {
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

unsigned threadsFor(unsigned asked) { return asked ? asked : std::max(1u, std::thread::hardware_concurrency()); }

// Runs f(first, last) over the words [0, n) in chunks that `threads` threads take in turn.
template <class F>
void inParallel(unsigned threads, size_t n, const F& f) {
    constexpr size_t kChunk = size_t{1} << 12;
    std::atomic<size_t> next{0};
    auto work = [&] {
        for (size_t first; (first = next.fetch_add(kChunk, std::memory_order_relaxed)) < n;)
            f(first, std::min(n, first + kChunk));
    };
    std::vector<std::thread> helpers;
    for (unsigned t = 1; t < threads && t * kChunk < n; ++t) {
        try {
            helpers.emplace_back(work);
        } catch (const std::system_error&) {
            break;  // the threads there are do the same work
        }
    }
    work();
    for (std::thread& t : helpers) t.join();
}

// Tells the progress the stage and the pin count being worked on; a new stage starts from nothing done.
void report(Progress* p, Progress::Stage stage, int pins, uint64_t total) {
    if (!p) return;
    if (p->stage.load(std::memory_order_relaxed) != stage) p->begin(stage, total);
    p->pins.store(pins, std::memory_order_relaxed);
}

// Once per chunk of words, so that the threads hardly ever meet on the counter.
void advance(Progress* p, uint64_t positions) {
    if (p) p->done.fetch_add(positions, std::memory_order_relaxed);
}

}  // namespace

Classification::Classification(const Board& board, Position root, Workers workers)
    : board_(board),
      root_(root),
      threads_(threadsFor(workers.threads)),
      progress_(workers.progress),
      reach_(board.squares()),
      win_(board.squares()) {
    const int top = pins(root);
    const WordJumps jumps(board);
    const size_t words = reach_.words();
    // A jump removes one pin, so each pin count is complete before the next lower one is read.
    // 64 positions that share their high squares move together. Threads take words in turn; two
    // of them may land jumps in the same word, hence the atomic OR.
    reach_.add(root);
    for (int k = top; k >= 2; --k) {
        report(progress_, Progress::Stage::reachable, k, 0);
        inParallel(threads_, words, [&](size_t first, size_t last) {
            uint64_t done = 0;
            forLevel(reach_, k, first, last, [&](uint32_t w, int, uint64_t bits) {
                jumps.forWord(w, [&](const WordJump& j, auto swaps) {
                    if (const uint64_t v = bits & j.legal) reach_.merge(w ^ j.flip, j.flipLow(v, swaps));
                    return false;
                });
                done += uint64_t(bitCount(bits));
            });
            advance(progress_, done);
        });
    }
    for (size_t w = 0; w < words; ++w) reachableCount_ += uint64_t(bitCount(reach_.word(w)));

    // One pin left is a win; a position is won when some jump leads to a won position. Each thread
    // writes only the words it took; the words it reads hold the pin count below, already complete.
    forLevel(reach_, 1, 0, words, [&](uint32_t w, int, uint64_t bits) { win_.word(w) |= bits; });
    for (int k = 2; k <= top; ++k) {
        report(progress_, Progress::Stage::winnable, k, reachableCount_);
        inParallel(threads_, words, [&](size_t first, size_t last) {
            uint64_t done = 0;
            forLevel(reach_, k, first, last, [&](uint32_t w, int, uint64_t bits) {
                uint64_t won = 0;
                // Most positions are won, so a word is often complete long before its last jump.
                jumps.forWord(w, [&](const WordJump& j, auto swaps) {
                    won |= bits & j.legal & j.flipLow(win_.load(w ^ j.flip), swaps);
                    return won == bits;
                });
                if (won) win_.store(w, win_.load(w) | won);
                done += uint64_t(bitCount(bits));
            });
            advance(progress_, done);
        });
    }
    for (size_t w = 0; w < words; ++w) winnableCount_ += uint64_t(bitCount(win_.word(w)));
}

namespace {

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

// The ways to finish from one position, in 80 bits: no position reachable from a start has more ways
// than the start, and the start of the 7 x 7 board has about 6.4e20 (2^69). Ten bytes instead of
// sixteen keep the two largest levels of the 7 x 7 board under a gigabyte.
struct [[gnu::packed]] Ways {
    uint64_t low;
    uint16_t high;
};

Count unpack(const Ways& w) { return Count{w.high} << 64 | w.low; }

}  // namespace

Classification::Sequences Classification::winningSequences(size_t memoryLimit) const {
    const int top = pins(root_);
    if (top == 0 || !win_.has(root_)) return {Count{0}, 0};
    // Ways to finish from every won position of one pin count, kept for two counts at a time.
    std::vector<size_t> sizes(size_t(top) + 1, 0);
    for (size_t w = 0; w < win_.words(); ++w)
        for (int low = 0, high = bitCount(w); low <= 6 && high + low <= top; ++low)
            sizes[size_t(high + low)] += size_t(bitCount(win_.word(w) & kLowWithPins[size_t(low)]));
    size_t needed = 0, positions = 0;
    for (int k = 2; k <= top; ++k) {
        needed = std::max(needed, (sizes[size_t(k)] + sizes[size_t(k) - 1]) * sizeof(Ways) +
                                      2 * LevelIndex::bytesFor(win_.words()));
        positions += sizes[size_t(k)];
    }
    if (needed > memoryLimit) return {std::nullopt, needed};

    // A word's positions are summed together: the jumps a word allows by its high squares land in
    // one word below, whose index and won positions are looked up once for all of them.
    const WordJumps jumps(board_);
    std::atomic<bool> overflow{false};
    auto below = std::make_unique<LevelIndex>(win_, 1);
    std::vector<Ways> ways(below->size(), Ways{1, 0});
    for (int k = 2; k <= top; ++k) {
        report(progress_, Progress::Stage::sequences, k, positions);
        auto here = std::make_unique<LevelIndex>(win_, k);
        std::vector<Ways> next(here->size());
        inParallel(threads_, win_.words(), [&](size_t first, size_t last) {
            uint64_t done = 0;
            std::array<Count, 64> sum;
            forLevel(win_, k, first, last, [&](uint32_t w, int high, uint64_t bits) {
                for (uint64_t b = bits; b != 0; b &= b - 1) sum[size_t(__builtin_ctzll(b))] = 0;
                jumps.forWord(w, [&](const WordJump& j, auto swaps) {
                    const size_t to = w ^ j.flip;
                    const uint64_t won = below->bits(to, high + j.highPins);
                    uint64_t v = bits & j.legal & j.flipLow(won, swaps);
                    if (v == 0) return false;
                    for (const size_t base = below->before(to); v != 0; v &= v - 1) {
                        const unsigned l = unsigned(__builtin_ctzll(v));
                        const uint64_t earlier = (uint64_t{1} << (l ^ j.lowFlip)) - 1;
                        sum[l] += unpack(ways[base + size_t(bitCount(won & earlier))]);
                    }
                    return false;
                });
                size_t i = here->before(w);
                for (uint64_t b = bits; b != 0; b &= b - 1) {
                    const Count n = sum[size_t(__builtin_ctzll(b))];
                    if (n >> 80) overflow.store(true, std::memory_order_relaxed);
                    next[i++] = {uint64_t(n), uint16_t(n >> 64)};
                }
                done += uint64_t(bitCount(bits));
            });
            advance(progress_, done);
        });
        if (overflow) throw std::overflow_error("more than 2^80 winning sequences from one position");
        ways = std::move(next);
        below = std::move(here);
    }
    return {unpack(ways[below->indexOf(root_)]), needed};
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
