// Replaying a game's move record on the solver's board.
#pragma once

#include <string>
#include <variant>

#include "moves/record.h"
#include "solver/board.h"

namespace tori::solver {

// The position after the record's moves, or the first move the game would not accept.
std::variant<Position, RecordError> replay(const Board& board, const Record& record);

// The game's move record line for a jump made as move `number`.
std::string moveLine(const Board& board, int number, const Jump& jump);

}  // namespace tori::solver
