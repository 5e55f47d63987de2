// The depth-first search, the jumps tried in the order of the board's jump list.
#include "solver/search.h"

namespace tori::solver {

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
