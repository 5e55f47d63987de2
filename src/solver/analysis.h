// Which positions can still be won, and in how many ways, proved by exhausting every position
// reachable from a root. A jump removes one pin, so the work goes by levels of pin count: down from
// the root for what is reachable, then up from one pin for what is won and by how many sequences.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "solver/board.h"
#include "solver/position_set.h"
#include "solver/progress.h"
#include "solver/ways.h"

namespace tori::solver {

// How the long computations run: on how many threads (0: one per core), and where they tell how far
// they are. The answers do not depend on either.
struct Workers {
    unsigned threads = 0;
    Progress* progress = nullptr;
};

// Every position reachable from a root, and which of them leave one pin at the end.
class Classification {
public:
    Classification(const Board& board, Position root, Workers workers = {});
    // From several roots at once; root() is the first.
    Classification(const Board& board, const std::vector<Position>& roots, Workers workers = {});

    const Board& board() const { return board_; }
    Position root() const { return root_; }
    bool reachable(Position p) const { return reach_.has(p); }
    bool winnable(Position p) const { return win_.has(p); }
    uint64_t reachableCount() const { return reachableCount_; }
    uint64_t winnableCount() const { return winnableCount_; }
    // The memory its two sets occupy.
    size_t bytes() const { return reach_.bytes() + win_.bytes(); }

    // The number of distinct move sequences from the root that end with one pin, unless the tables
    // it needs would take more than memoryLimit bytes at their largest; bytesNeeded says how many
    // they take then, told in advance from the number of won positions of each pin count.
    struct Sequences {
        std::optional<Count> count;
        size_t bytesNeeded = 0;
    };
    Sequences winningSequences(size_t memoryLimit) const;

private:
    const Board& board_;
    Position root_;
    unsigned threads_;
    Progress* progress_;
    PositionSet reach_, win_;
    uint64_t reachableCount_ = 0, winnableCount_ = 0;
};

}  // namespace tori::solver
