// The text form of a game's moves: the move record line and the clipboard text, as the game writes
// them and as they are read back.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "game/rules.h"

namespace tori {

// For example "1 手目 (3,3) ---> (1,5)".
std::string recordLine(int16_t t, int16_t fromx, int16_t fromy, int16_t tox, int16_t toy);

// A square as the record line writes it, for example "(3,3)".
std::string squareText(int col, int row);

// The date line, the size line, then a line break and the line for each line of the move list.
std::string clipboardText(std::string_view now, int16_t keta, const std::vector<std::string>& lines);

struct RecordedMove {
    int number, fromCol, fromRow, toCol, toRow;
    int line;  // 1-based line of the input, 0 for a line read on its own
};

// Exactly a line recordLine writes, nothing around it.
std::optional<RecordedMove> readRecordLine(std::string_view s);

struct Record {
    int keta = 0;
    std::vector<RecordedMove> moves;  // numbered 1, 2, 3, ...
};

// The first thing wrong with an input; line 0 means the input as a whole.
struct RecordError {
    int line;
    std::string message;  // in Japanese, without the line number
};

// Without `keta` the input must be the clipboard text; with it, bare move lines, or a clipboard text of
// that size, and an input with no lines but blank ones is the start of that size. Lines end in CR LF or LF.
std::variant<Record, RecordError> readRecord(std::string_view text, std::optional<int> keta);

// "5 行目: ..." or the bare message for line 0.
std::string describe(const RecordError& e);

}  // namespace tori
