// Classifying every reachable position by levels of pin count, and counting winning lines.
#include "solver/analysis.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <memory>
#include <stdexcept>
#include <system_error>
#include <thread>

#include "solver/level_index.h"
#include "solver/word_jumps.h"

namespace tori::solver {

namespace {

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
    : Classification(board, std::vector<Position>{root}, workers) {}

Classification::Classification(const Board& board, const std::vector<Position>& roots, Workers workers)
    : board_(board),
      root_(roots.at(0)),
      threads_(threadsFor(workers.threads)),
      progress_(workers.progress),
      reach_(board.squares()),
      win_(board.squares()) {
    int top = 0;
    for (const Position root : roots) top = std::max(top, pins(root));
    const WordJumps jumps(board);
    const size_t words = reach_.words();
    // A jump removes one pin, so each pin count is complete before the next lower one is read.
    // 64 positions that share their high squares move together. Threads take words in turn; two
    // of them may land jumps in the same word, hence the atomic OR.
    for (const Position root : roots) reach_.add(root);
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

Classification::Sequences Classification::winningSequences(size_t memoryLimit) const {
    const int top = pins(root_);
    if (top == 0 || !win_.has(root_)) return {.count = Count{0}, .bytesNeeded = 0};
    // Ways to finish from every won position of one pin count, kept for two counts at a time: the
    // count being summed and the one below it, each with its index.
    const std::vector<LevelSize> sizes = levelSizes(win_, top);
    auto tables = [&](int k) {
        return sizes[size_t(k)].positions * sizeof(Ways) + LevelIndex::bytesFor(sizes[size_t(k)], win_.words());
    };
    size_t needed = tables(1), positions = 0;
    for (int k = 2; k <= top; ++k) {
        needed = std::max(needed, tables(k - 1) + tables(k));
        positions += sizes[size_t(k)].positions;
    }
    if (needed > memoryLimit) return {.count = std::nullopt, .bytesNeeded = needed};

    // A word's positions are summed together: the jumps a word allows by its high squares land in
    // one word below, whose index and won positions are looked up once for all of them.
    const WordJumps jumps(board_);
    std::atomic<bool> overflow{false};
    auto below = std::make_unique<LevelIndex>(win_, 1, sizes[1]);
    std::vector<Ways> ways(below->size(), pack(1));
    for (int k = 2; k <= top; ++k) {
        report(progress_, Progress::Stage::sequences, k, positions);
        auto here = std::make_unique<LevelIndex>(win_, k, sizes[size_t(k)]);
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
                    if (n > kMostWays) overflow.store(true, std::memory_order_relaxed);
                    next[i++] = pack(n);
                }
                done += uint64_t(bitCount(bits));
            });
            advance(progress_, done);
        });
        if (overflow) throw std::overflow_error("more than 2^80 winning sequences from one position");
        ways = std::move(next);
        below = std::move(here);
    }
    return {.count = unpack(ways[below->indexOf(root_)]), .bytesNeeded = needed};
}

}  // namespace tori::solver
