// The move that lost a game: the last position of its record that could still be won, and a move
// there that would have kept it so.
#pragma once

#include <optional>
#include <vector>

#include "solver/analysis.h"

namespace tori::solver {

struct LosingMove {
    int move;      // the number of the move that lost the game; the position before it could be won
    Jump instead;  // a jump from that position that keeps the game winnable
};

// For the positions a game passed through, from its start to a last position that cannot be won (as
// replay() gives them), under the rules of `board`: the losing move, or none when no position of the
// game could be won.
std::optional<LosingMove> findLosingMove(const Board& board, const std::vector<Position>& line, Workers workers = {});

}  // namespace tori::solver
