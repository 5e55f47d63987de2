// Writing the move record and reading it back, with a message for the first thing wrong.
#include "moves/record.h"

namespace tori {

namespace {

constexpr std::string_view kDateHead = "プレイ日: ";
constexpr std::string_view kSizeHead = "桁数: ";
constexpr std::string_view kSizeTail = "桁 ";
constexpr std::string_view kLineBreak = "\r\n";
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

// "桁数: 5桁 " gives 5; the trailing blank may have been lost on the way, so it is optional.
std::optional<int> readSize(std::string_view s) {
    int keta = 0;
    if (!readText(s, kSizeHead) || !readNumber(s, keta)) return std::nullopt;
    if (!readText(s, kSizeTail) && s != "桁") return std::nullopt;
    return keta;
}

bool isBlank(std::string_view s) { return s.find_first_not_of(" \t") == std::string_view::npos; }

}  // namespace

std::string squareText(int col, int row) { return "(" + std::to_string(col) + "," + std::to_string(row) + ")"; }

std::string recordLine(int16_t t, int16_t fromx, int16_t fromy, int16_t tox, int16_t toy) {
    return std::to_string(t) + " 手目 " + squareText(fromx, fromy) + " ---> " + squareText(tox, toy);
}

std::string clipboardText(std::string_view now, int16_t keta, const std::vector<std::string>& lines) {
    std::string text(kDateHead);
    text += now;
    text += kLineBreak;
    text += kSizeHead;
    text += std::to_string(keta);
    text += kSizeTail;
    text += kLineBreak;
    for (const std::string& line : lines) {
        text += kLineBreak;
        text += line;
    }
    return text;
}

std::optional<RecordedMove> readRecordLine(std::string_view s) {
    RecordedMove m{};
    if (readNumber(s, m.number) && readText(s, " 手目 (") && readNumber(s, m.fromCol) && readText(s, ",") &&
        readNumber(s, m.fromRow) && readText(s, ") ---> (") && readNumber(s, m.toCol) && readText(s, ",") &&
        readNumber(s, m.toRow) && readText(s, ")") && s.empty())
        return m;
    return std::nullopt;
}

std::variant<Record, RecordError> readRecord(std::string_view text, std::optional<int> keta) {
    if (text.size() > kMaxInput) return RecordError{0, "入力が大きすぎます (1 MiB まで)。"};
    if (keta && (*keta < kMinKeta || *keta > kMaxKeta)) return RecordError{0, "桁数は 5、6、7 のどれかです。"};
    // An editor that saves the pasted text as UTF-8 may put a byte order mark in front.
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    if (text.find_first_not_of(" \t\r\n") == std::string_view::npos) {
        // Nothing played yet: with a size that is the start of the game.
        if (keta) return Record{*keta, {}};
        return RecordError{0, "入力が空です。"};
    }
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
        auto move = readRecordLine(lines[i]);
        if (!move) {
            if (isBlank(lines[i])) return RecordError{line, "指し手の間に空行があります。"};
            return RecordError{line, "指し手の行として読めません (例: 1 手目 (3,3) ---> (1,5))。"};
        }
        const int expected = int(record.moves.size()) + 1;
        if (move->number != expected)
            return RecordError{line, "手数が " + std::to_string(expected) + " のはずが " +
                                         std::to_string(move->number) + " になっています。"};
        move->line = line;
        record.moves.push_back(*move);
    }
    return record;
}

std::string describe(const RecordError& e) {
    return e.line > 0 ? std::to_string(e.line) + " 行目: " + e.message : e.message;
}

}  // namespace tori
