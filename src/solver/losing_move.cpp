// The losing move, read off the classification of the positions a game could reach.
#include "solver/losing_move.h"

#include <algorithm>

namespace tori::solver {

std::optional<LosingMove> findLosingMove(const Board& board, const std::vector<Position>& line, Workers workers) {
    // A classification answers for the positions its roots' jumps reach. Every later position of the
    // game is a root too: after a jump of the game that the rules do not allow, the game has left what
    // the earlier ones reach. The first root steps back from the end, twice as far each time: a late
    // position reaches few others, so a game lost late is answered at once, and one lost early costs
    // little more than the classification from its start.
    for (size_t checked = line.size(), step = 1; checked > 0; step *= 2) {
        const size_t first = checked - std::min(step, checked);
        const Classification c(board, std::vector<Position>(line.begin() + long(first), line.end()), workers);
        for (size_t k = checked; k-- > first;) {
            if (!c.winnable(line[k])) continue;
            std::optional<Jump> instead;
            board.forEachMove(line[k], [&](const Jump& j) {
                if (!instead && c.winnable(Board::apply(line[k], j))) instead = j;
            });
            // Not the last position, which is lost: a won position with a move has a move to a won one.
            return LosingMove{.move = int(k) + 1, .instead = instead.value()};
        }
        checked = first;
    }
    return std::nullopt;
}

}  // namespace tori::solver
