// Replaying a game's move record on the solver's board.
#pragma once

#include <string>
#include <variant>
#include <vector>

#include "moves/record.h"
#include "solver/board.h"

namespace tori::solver {

// The positions the record passes through, from the start to the position after its last move, or
// the first move the board would not accept.
std::variant<std::vector<Position>, RecordError> replay(const Board& board, const Record& record);

// The game's move record line for a jump made as move `number`.
std::string moveLine(const Board& board, int number, const Jump& jump);

}  // namespace tori::solver
