// The record reader and the replay, with a message for the first thing wrong.
#include "solver/record.h"

#include "moves/record.h"

namespace tori::solver {

namespace {

constexpr std::string_view kDateHead = "プレイ日: ";
constexpr std::string_view kSizeHead = "桁数: ";
constexpr std::string_view kSizeTail = "桁 ";
constexpr size_t kMaxInput = 1 << 20;  // a real record is under 1 KiB

// Splits at LF and drops the CR of a CR LF; a last piece after the final LF is kept, even if empty.
std::vector<std::string_view> splitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    for (;;) {
        const size_t lf = text.find('\n');
        std::string_view line = text.substr(0, lf);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        if (lf == std::string_view::npos) break;
        text.remove_prefix(lf + 1);
    }
    return lines;
}

// A small decimal number written as the game writes it: digits only, no leading zero.
bool readNumber(std::string_view& s, int& value) {
    size_t n = 0;
    while (n < s.size() && n < 4 && s[n] >= '0' && s[n] <= '9') ++n;
    if (n == 0 || n == 4 || (n > 1 && s[0] == '0')) return false;
    value = 0;
    for (size_t i = 0; i < n; ++i) value = value * 10 + (s[i] - '0');
    s.remove_prefix(n);
    return true;
}

bool readText(std::string_view& s, std::string_view expected) {
    if (s.substr(0, expected.size()) != expected) return false;
    s.remove_prefix(expected.size());
    return true;
}

// "12 手目 (1,1) ---> (3,1)": exactly the game's line, nothing around it.
std::optional<RecordedMove> readMove(std::string_view s, int line) {
    RecordedMove m{};
    m.line = line;
    if (readNumber(s, m.number) && readText(s, " 手目 (") && readNumber(s, m.fromCol) && readText(s, ",") &&
        readNumber(s, m.fromRow) && readText(s, ") ---> (") && readNumber(s, m.toCol) && readText(s, ",") &&
        readNumber(s, m.toRow) && readText(s, ")") && s.empty())
        return m;
    return std::nullopt;
}

// "桁数: 5桁 " gives 5; the trailing blank may have been lost on the way, so it is optional.
std::optional<int> readSize(std::string_view s) {
    int keta = 0;
    if (!readText(s, kSizeHead) || !readNumber(s, keta)) return std::nullopt;
    if (!readText(s, kSizeTail) && s != "桁") return std::nullopt;
    return keta;
}

bool isBlank(std::string_view s) { return s.find_first_not_of(" \t") == std::string_view::npos; }

std::string square(int col, int row) {
    std::string s = "(";
    s += std::to_string(col);
    s += ",";
    s += std::to_string(row);
    return s + ")";
}

}  // namespace

std::variant<Record, RecordError> parseRecord(std::string_view text, std::optional<int> keta) {
    if (text.size() > kMaxInput) return RecordError{0, "入力が大きすぎます (1 MiB まで)。"};
    if (text.find_first_not_of(" \t\r\n") == std::string_view::npos)
        return RecordError{0, "入力が空です。"};
    if (keta && (*keta < kMinKeta || *keta > kMaxKeta)) return RecordError{0, "桁数は 5、6、7 のどれかです。"};

    // An editor that saves the pasted text as UTF-8 may put a byte order mark in front.
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    const std::vector<std::string_view> lines = splitLines(text);
    Record record;
    size_t first = 0;  // index of the first move line
    if (lines[0].substr(0, kDateHead.size()) == kDateHead) {
        if (lines.size() < 2) return RecordError{2, "「桁数: N桁 」の行がありません。"};
        const auto size = readSize(lines[1]);
        if (!size) return RecordError{2, "「桁数: N桁 」の行として読めません。"};
        if (*size < kMinKeta || *size > kMaxKeta) return RecordError{2, "桁数は 5、6、7 のどれかです。"};
        if (keta && *keta != *size)
            return RecordError{2, "記録は " + std::to_string(*size) + "桁の盤のものですが、--size " +
                                      std::to_string(*keta) + " が指定されました。"};
        record.keta = *size;
        if (lines.size() >= 3 && !lines[2].empty()) return RecordError{3, "空行のはずの行に何か書かれています。"};
        first = 3;
    } else if (keta) {
        record.keta = *keta;
    } else {
        return RecordError{1, "「プレイ日: 」で始まる行がありません (指し手の行だけなら --size N を付けて下さい)。"};
    }

    // Empty lines may follow the last move, as after a paste into an editor, but not come between moves.
    size_t last = lines.size();
    while (last > first && isBlank(lines[last - 1])) --last;
    for (size_t i = first; i < last; ++i) {
        const int line = int(i) + 1;
        const auto move = readMove(lines[i], line);
        if (!move) {
            if (isBlank(lines[i])) return RecordError{line, "指し手の間に空行があります。"};
            return RecordError{line, "指し手の行として読めません (例: 1 手目 (3,3) ---> (1,5))。"};
        }
        const int expected = int(record.moves.size()) + 1;
        if (move->number != expected)
            return RecordError{line, "手数が " + std::to_string(expected) + " のはずが " +
                                         std::to_string(move->number) + " になっています。"};
        record.moves.push_back(*move);
    }
    return record;
}

std::variant<Position, RecordError> replay(const Board& board, const Record& record) {
    Position pos = board.start();
    for (const RecordedMove& m : record.moves) {
        const std::string from = square(m.fromCol, m.fromRow), to = square(m.toCol, m.toRow);
        if (!board.inTriangle(m.fromCol, m.fromRow))
            return RecordError{m.line, "マス目 " + from + " は " + std::to_string(board.keta()) +
                                           "桁の盤の三角形の外です。"};
        if (!board.inTriangle(m.toCol, m.toRow))
            return RecordError{m.line, "マス目 " + to + " は " + std::to_string(board.keta()) +
                                           "桁の盤の三角形の外です。"};
        const int fromBit = board.bitOf(board.pinIndex(m.fromCol, m.fromRow));
        const int toBit = board.bitOf(board.pinIndex(m.toCol, m.toRow));
        if (!(pos >> fromBit & 1)) return RecordError{m.line, from + " にピンがありません。"};
        if (pos >> toBit & 1) return RecordError{m.line, to + " にはもうピンがあります。"};
        const Jump* jump = board.jumpBetween(fromBit, toBit);
        if (!jump) return RecordError{m.line, from + " から " + to + " へは跳べません。"};
        if (!(pos >> jump->over & 1))
            return RecordError{m.line, from + " から " + to + " へ跳ぶには " +
                                           square(board.col(jump->over), board.row(jump->over)) +
                                           " にピンが要ります。"};
        pos = Board::apply(pos, *jump);
    }
    return pos;
}

std::string moveLine(const Board& board, int number, const Jump& jump) {
    return recordLine(int16_t(number), int16_t(board.col(jump.from)), int16_t(board.row(jump.from)),
                      int16_t(board.col(jump.to)), int16_t(board.row(jump.to)));
}

std::string describe(const RecordError& e) {
    return e.line > 0 ? std::to_string(e.line) + " 行目: " + e.message : e.message;
}

}  // namespace tori::solver
