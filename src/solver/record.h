// Reading a game's move record, as the game copies it to the clipboard or as bare move lines, and
// replaying it on the board.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "solver/board.h"

namespace tori::solver {

struct RecordedMove {
    int number, fromCol, fromRow, toCol, toRow;
    int line;  // 1-based line of the input
};

struct Record {
    int keta = 0;
    std::vector<RecordedMove> moves;
};

// The first thing wrong with an input; line 0 means the input as a whole.
struct RecordError {
    int line;
    std::string message;  // in Japanese, without the line number
};

// Without `keta` the input must be the clipboard text (date line, size line, empty line, moves);
// with it, bare move lines, or a clipboard text of that size. Lines end in CR LF or LF.
std::variant<Record, RecordError> parseRecord(std::string_view text, std::optional<int> keta);

// The position after the record's moves, or the first move the game would not accept.
std::variant<Position, RecordError> replay(const Board& board, const Record& record);

// The game's move record line for a jump made as move `number`.
std::string moveLine(const Board& board, int number, const Jump& jump);

// "5 行目: ..." or the bare message for line 0.
std::string describe(const RecordError& e);

}  // namespace tori::solver
