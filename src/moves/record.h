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

// A line recordLine writes, also as players paste it: with the full-width forms of its digits,
// parentheses, comma, arrow and blanks, any number of blanks where the game writes one, none before
// 手目, and the marks of a quoted mail (">") in front.
std::optional<RecordedMove> readRecordLine(std::string_view s);

struct Record {
    int keta = 0;
    std::vector<RecordedMove> moves;  // numbered 1, 2, 3, ...
};

// The language of a message: the game speaks Japanese only, toripin-solve the player's language.
enum class Language { japanese, english };

// The first thing wrong with an input; line 0 means the input as a whole.
struct RecordError {
    int line;
    std::string message;  // in Japanese, without the line number
    std::string english;  // the same in English
};

// Without `keta` the input must hold the clipboard text's size line, which may follow its date line
// and any text; with it, bare move lines do too. The moves run from the first line that mentions 手目
// or ---> to the last: the lines around them are ignored, blank lines among them skipped, and any
// other line among them is an error. With no move at all, the record is the start. Lines end in CR LF
// or LF.
std::variant<Record, RecordError> readRecord(std::string_view text, std::optional<int> keta);

// "5 行目: ..." or "line 5: ...", or the bare message for line 0.
std::string describe(const RecordError& e, Language language = Language::japanese);

}  // namespace tori
