// Writing the move record and reading it back, with a message for the first thing wrong.
#include "moves/record.h"

#include <algorithm>
#include <iterator>
#include <utility>

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

bool isBlank(char c) { return c == ' ' || c == '\t'; }

// Any number of blanks, none too.
bool readBlanks(std::string_view& s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    return true;
}

// What a Japanese input method types for the record's characters, and the characters themselves;
// it types "-" as the long vowel mark, or as a minus sign.
constexpr std::pair<std::string_view, std::string_view> kPastedForms[] = {
    {"　", " "}, {"（", "("}, {"）", ")"}, {"，", ","}, {"：", ":"}, {"＞", ">"},
    {"－", "-"}, {"ー", "-"}, {"−", "-"}, {"→", "--->"},
};
constexpr std::string_view kWideDigits = "０１２３４５６７８９";  // three bytes each

// A line in the game's own characters, without the marks of a quoted mail and the blanks around it.
std::string plain(std::string_view line) {
    std::string out;
    for (size_t i = 0; i < line.size();) {
        const std::string_view rest = line.substr(i);
        const auto form = std::find_if(std::begin(kPastedForms), std::end(kPastedForms),
                                       [&](const auto& f) { return rest.starts_with(f.first); });
        const size_t digit = rest.size() >= 3 ? kWideDigits.find(rest.substr(0, 3)) : std::string_view::npos;
        if (form != std::end(kPastedForms)) {
            out += form->second;
            i += form->first.size();
        } else if (digit != std::string_view::npos && digit % 3 == 0) {
            out += char('0' + digit / 3);
            i += 3;
        } else {
            out += line[i++];
        }
    }
    std::string_view s = out;
    for (readBlanks(s); !s.empty() && s.front() == '>'; readBlanks(s)) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return std::string(s);
}

// A move line made plain: blanks where the game writes one, or none.
std::optional<RecordedMove> readMove(std::string_view s) {
    RecordedMove m{};
    auto square = [&s](int& col, int& row) {
        return readText(s, "(") && readNumber(s, col) && readText(s, ",") && readNumber(s, row) && readText(s, ")");
    };
    if (readNumber(s, m.number) && readBlanks(s) && readText(s, "手目") && readBlanks(s) &&
        square(m.fromCol, m.fromRow) && readBlanks(s) && readText(s, "--->") && readBlanks(s) &&
        square(m.toCol, m.toRow) && s.empty())
        return m;
    return std::nullopt;
}

bool looksLikeMove(std::string_view s) {
    return s.find("手目") != std::string_view::npos || s.find("--->") != std::string_view::npos;
}

RecordError unreadable(int line) {
    return {line, "指し手の行として読めません (例: 1 手目 (3,3) ---> (1,5))。",
            "This cannot be read as a move line (for example 1 手目 (3,3) ---> (1,5))."};
}

// "桁数: 5桁 " made plain gives 5.
std::optional<int> readSize(std::string_view s) {
    int keta = 0;
    if (readText(s, "桁数") && readBlanks(s) && readText(s, ":") && readBlanks(s) && readNumber(s, keta) &&
        readBlanks(s) && readText(s, "桁") && s.empty())
        return keta;
    return std::nullopt;
}

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

std::optional<RecordedMove> readRecordLine(std::string_view s) { return readMove(plain(s)); }

std::variant<Record, RecordError> readRecord(std::string_view text, std::optional<int> keta) {
    if (text.size() > kMaxInput)
        return RecordError{0, "入力が大きすぎます (1 MiB まで)。", "The input is too large (1 MiB at most)."};
    if (keta && (*keta < kMinKeta || *keta > kMaxKeta))
        return RecordError{0, "桁数は 5、6、7 のどれかです。", "The size is 5, 6 or 7."};
    // An editor that saves the pasted text as UTF-8 may put a byte order mark in front.
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    std::vector<std::string> lines;
    for (const std::string_view line : splitLines(text)) lines.push_back(plain(line));
    if (std::all_of(lines.begin(), lines.end(), [](const std::string& l) { return l.empty(); })) {
        // Nothing played yet: with a size that is the start of the game.
        if (keta) return Record{*keta, {}};
        return RecordError{0, "入力が空です。", "The input is empty."};
    }

    // The header is the size line, after the date line when there is one; text before it is not the record's.
    Record record;
    size_t first = 0;  // where the moves may start
    const auto header = std::find_if(lines.begin(), lines.end(), [](const std::string& l) {
        return l.starts_with("プレイ日") || l.starts_with("桁数");
    });
    if (header != lines.end()) {
        size_t at = size_t(header - lines.begin());
        if (header->starts_with("プレイ日")) {
            ++at;
            while (at < lines.size() && lines[at].empty()) ++at;
        }
        if (at == lines.size())
            return RecordError{int(header - lines.begin()) + 2, "「桁数: N桁 」の行がありません。",
                               "The line \"桁数: N桁 \" is missing."};
        const int line = int(at) + 1;
        const auto size = readSize(lines[at]);
        if (!size)
            return RecordError{line, "「桁数: N桁 」の行として読めません。",
                               "This cannot be read as the line \"桁数: N桁 \"."};
        if (*size < kMinKeta || *size > kMaxKeta)
            return RecordError{line, "桁数は 5、6、7 のどれかです。", "The size is 5, 6 or 7."};
        if (keta && *keta != *size)
            return RecordError{line,
                               "記録は " + std::to_string(*size) + "桁の盤のものですが、--size " +
                                   std::to_string(*keta) + " が指定されました。",
                               "The record is of the " + std::to_string(*size) + " x " + std::to_string(*size) +
                                   " board, but --size " + std::to_string(*keta) + " was given."};
        record.keta = *size;
        first = at + 1;
    } else if (keta) {
        record.keta = *keta;
    } else {
        return RecordError{0, "「桁数: N桁 」の行がありません (指し手の行だけなら --size N を付けて下さい)。",
                           "The line \"桁数: N桁 \" is missing (for move lines alone give --size N)."};
    }

    // The moves run from the first line that looks like one to the last; the text around them is not
    // the record's, but a line among them that does not read as a move is an error.
    size_t last = lines.size();
    while (last > first && !looksLikeMove(lines[last - 1])) --last;
    while (first < last && !looksLikeMove(lines[first])) ++first;
    for (size_t i = first; i < last; ++i) {
        if (lines[i].empty()) continue;
        const int line = int(i) + 1;
        auto move = readMove(lines[i]);
        if (!move) return unreadable(line);
        const int expected = int(record.moves.size()) + 1;
        if (move->number != expected)
            return RecordError{line,
                               "手数が " + std::to_string(expected) + " のはずが " + std::to_string(move->number) +
                                   " になっています。",
                               "The move number should be " + std::to_string(expected) + " but is " +
                                   std::to_string(move->number) + "."};
        move->line = line;
        record.moves.push_back(*move);
    }
    return record;
}

std::string describe(const RecordError& e, Language language) {
    if (e.line <= 0) return language == Language::japanese ? e.message : e.english;
    if (language == Language::japanese) return std::to_string(e.line) + " 行目: " + e.message;
    return "line " + std::to_string(e.line) + ": " + e.english;
}

}  // namespace tori
