// Options, input, and the Japanese and JSON output of toripin-solve.
#include "solver/cli.h"

#include <filesystem>
#include <fstream>
#include <istream>
#include <optional>
#include <ostream>

#include "solver/losing_move.h"
#include "solver/replay.h"
#include "solver/search.h"

namespace tori::solver {

namespace {

constexpr std::string_view kHelpJapanese =
    "使い方: toripin-solve [--size N] [--no-wrap] [--figures] [--json] [--memory MB] [ファイル]\n"
    "\n"
    "トリピンの指し手手順 (「指し手手順をコピー」で写したテキスト) を読み、その局面の盤面、\n"
    "残りのピン、まだクリアできるかを表示します。クリアできるときは続きの手順をゲームと同じ形の\n"
    "指し手の行で示し、クリアできないときはクリアできなくなった手 (敗着) と、代わりに指せば\n"
    "クリアできた手を示します。ファイルを省くか - を指定すると標準入力を読みます。メールなどから\n"
    "貼り付けた記録 (全角の数字や記号、「>」の引用、前後の文) も読めます。\n"
    "\n"
    "  --size N     指し手の行だけの記録を N 桁 (5、6、7) の盤として読みます。空の入力はその盤の最初の局面です\n"
    "  --no-wrap    盤の端をまたいで跳ぶ手を使わず、行・列・斜めに沿って隣のピンを跳び越す普通の跳び方だけで答えます\n"
    "  --figures    到達できる局面の数、そのうちクリアできる局面の数、クリアまでの手順の数を表示します\n"
    "  --json       同じ内容を JSON で出力します\n"
    "  --memory MB  使ってよいメモリの上限 (既定 100 MB)。手順の数がこれを超えるときは求めません\n"
    "  -h, --help   この説明を表示します\n"
    "\n"
    "ロケールが日本語 (LC_ALL、LC_MESSAGES、LANG のうち最初に設定されたものが ja で始まる) のときは\n"
    "日本語で、それ以外のときは英語で表示します。\n"
    "\n"
    "終了コード: 0 成功、1 使い方の誤り、2 記録の誤り (最初の誤りの行番号を表示します)\n";

constexpr std::string_view kHelpEnglish =
    "Usage: toripin-solve [--size N] [--no-wrap] [--figures] [--json] [--memory MB] [FILE]\n"
    "\n"
    "Reads a トリピン move record (the text the game copies to the clipboard) and shows the board,\n"
    "the pins left and whether the game can still be won; if it can, prints a winning continuation\n"
    "as move record lines numbered on from the record, and if not, the move that lost the game and\n"
    "a move that would have kept it winnable. Without FILE, or with -, reads standard input. Records\n"
    "pasted from a mail or a chat are read too (full-width digits and signs, \">\" quotes, text around).\n"
    "\n"
    "  --size N     read bare move record lines for the N x N board (5, 6 or 7); an empty input is its start\n"
    "  --no-wrap    answer with ordinary jumps only: along a row, column or diagonal over a neighbouring pin,\n"
    "               never round the board's edge\n"
    "  --figures    also print reachable positions, winnable positions and winning move sequences\n"
    "  --json       print the same as JSON\n"
    "  --memory MB  memory budget (default 100 MB); the sequence count is refused beyond it\n"
    "  -h, --help   show this help\n"
    "\n"
    "Messages are in Japanese when the locale is (the first of LC_ALL, LC_MESSAGES and LANG that is set\n"
    "begins with ja), in English otherwise.\n"
    "\n"
    "Exit status: 0 success, 1 usage error, 2 bad record (the message names the first bad line).\n";

constexpr size_t kReadLimit = (size_t{1} << 20) + 1;  // over the parser's limit, so that it refuses

struct Options {
    std::optional<int> keta;
    RuleSet rules = RuleSet::game;
    bool figures = false, json = false;
    size_t memory = kDefaultBudget;
    std::optional<std::string> file;
};

std::optional<int> parseInt(const std::string& s, int low, int high) {
    if (s.empty() || s.size() > 6 || s.find_first_not_of("0123456789") != std::string::npos) return std::nullopt;
    const int v = std::stoi(s);
    if (v < low || v > high) return std::nullopt;
    return v;
}

// Returns an error message for a usage error.
std::optional<std::string> parseOptions(const std::vector<std::string>& args, Options& o, bool& help, Language l) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](const std::string& name) -> std::optional<std::string> {
            if (a.rfind(name + "=", 0) == 0) return a.substr(name.size() + 1);
            if (a == name && i + 1 < args.size()) return args[++i];
            return std::nullopt;
        };
        if (a == "-h" || a == "--help") {
            help = true;
        } else if (a == "--figures") {
            o.figures = true;
        } else if (a == "--json") {
            o.json = true;
        } else if (a == "--no-wrap") {
            o.rules = RuleSet::ordinary;
        } else if (a == "--size" || a.rfind("--size=", 0) == 0) {
            const auto v = value("--size");
            o.keta = v ? parseInt(*v, kMinKeta, kMaxKeta) : std::nullopt;
            if (!o.keta) return say(l, "--size には 5、6、7 のどれかを指定して下さい。", "--size takes 5, 6 or 7.");
        } else if (a == "--memory" || a.rfind("--memory=", 0) == 0) {
            const auto v = value("--memory");
            const auto mb = v ? parseInt(*v, 1, 1000000) : std::nullopt;
            if (!mb)
                return say(l, "--memory には 1 以上の MB 数を指定して下さい。", "--memory takes a number of MB, 1 or more.");
            o.memory = size_t(*mb) * 1000 * 1000;
        } else if (a.size() > 1 && a[0] == '-') {
            return say(l, "不明なオプションです: ", "unknown option: ") + a;
        } else if (o.file) {
            return say(l, "読むファイルは一つだけです。", "only one file can be read.");
        } else {
            o.file = a;
        }
    }
    return std::nullopt;
}

// Stops soon after the parser's limit, so that an endless input is refused rather than stored.
std::string readAll(std::istream& in) {
    std::string text, chunk(size_t{1} << 16, '\0');
    while (text.size() < kReadLimit) {
        in.read(chunk.data(), std::streamsize(chunk.size()));
        const auto n = size_t(in.gcount());
        if (n == 0) break;
        text.append(chunk, 0, n);
    }
    return text;
}

std::string jsonString(std::string_view s) {
    std::string out = "\"";
    for (const char c : s) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            constexpr char hex[] = "0123456789abcdef";
            out += "\\u00";
            out += hex[(c >> 4) & 0xF];
            out += hex[c & 0xF];
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::vector<std::string> rows(const std::string& picture) {
    std::vector<std::string> out;
    size_t start = 0;
    for (size_t nl; (nl = picture.find('\n', start)) != std::string::npos; start = nl + 1)
        out.push_back(picture.substr(start, nl - start));
    return out;
}

struct Result {
    int keta = 0, moves = 0, pins = 0;
    std::vector<std::string> board{};
    RuleSet rules = RuleSet::game;
    bool winnable = false;
    std::vector<std::string> continuation{};
    // For a game that cannot be won: the move that lost it and one that would have kept it winnable,
    // as record lines.
    struct Lost {
        int move;
        std::string played, instead;
    };
    std::optional<Lost> losing{};
    std::optional<Classification::Sequences> sequences{};
    uint64_t reachable = 0, winnableCount = 0;
    size_t memory = 0;
};

std::string refusal(const Result& r, Language l) {
    auto mb = [](size_t bytes) { return grouped((bytes + 999999) / 1000000); };
    return say(l,
               "必要なメモリ約 " + mb(r.sequences->bytesNeeded) + " MB が上限 " + mb(r.memory) +
                   " MB を超えるため求めません (--memory で上限を変えられます)",
               "not counted: it needs about " + mb(r.sequences->bytesNeeded) + " MB, over the budget of " +
                   mb(r.memory) + " MB (--memory sets the budget)");
}

void printHuman(const Result& r, Language l, std::ostream& out) {
    auto moves = [](int n) { return std::to_string(n) + (n == 1 ? " move" : " moves"); };
    const std::string keta = std::to_string(r.keta);
    out << say(l, "盤: " + keta + "桁、記録 " + std::to_string(r.moves) + " 手\n",
               "Board: " + keta + " x " + keta + ", a record of " + moves(r.moves) + "\n");
    for (const std::string& row : r.board) out << "  " << row << "\n";
    out << say(l, "残りのピン: " + std::to_string(r.pins) + " 本\n", "Pins left: " + std::to_string(r.pins) + "\n");
    if (r.rules == RuleSet::ordinary)
        out << say(l, "跳び方: 盤の端をまたがない普通の跳び方だけ\n", "Jumps: ordinary jumps only, none round the board's edge\n");
    if (r.pins == 1) out << say(l, "判定: クリアしています。\n", "Verdict: the game is won.\n");
    else if (r.winnable)
        out << say(l, "判定: まだクリアできます。あと " + std::to_string(r.pins - 1) + " 手です。\n",
                   "Verdict: the game can still be won, in " + moves(r.pins - 1) + ".\n");
    else out << say(l, "判定: この局面からはクリアできません。\n", "Verdict: this position can no longer be won.\n");
    if (!r.continuation.empty()) {
        out << say(l, "続きの手順:\n", "Winning continuation:\n");
        for (const std::string& line : r.continuation) out << line << "\n";
    }
    if (r.losing) {
        const std::string before = std::to_string(r.losing->move - 1);
        out << say(l, "敗着: ", "Losing move: ") << r.losing->played << "\n";
        if (r.losing->move == 1) out << say(l, "  最初の局面ならクリアできました。\n", "  The start could still be won.\n");
        else
            out << say(l, "  " + before + " 手目のあとの局面ならクリアできました。\n",
                       "  The position after move " + before + " could still be won.\n");
        out << say(l, "  そこで " + r.losing->instead + " と指せば、まだクリアできました。\n",
                   "  Playing " + r.losing->instead + " there would have kept it winnable.\n");
    }
    if (r.sequences) {
        out << say(l, "到達できる局面の数: ", "Reachable positions: ") << grouped(r.reachable) << "\n";
        out << say(l, "そのうちクリアできる局面の数: ", "Of them winnable: ") << grouped(r.winnableCount) << "\n";
        out << say(l, "クリアまでの手順の数: ", "Winning move sequences: ");
        if (r.sequences->count) out << grouped(*r.sequences->count) << "\n";
        else out << refusal(r, l) << "\n";
    }
}

void printJson(const Result& r, Language l, std::ostream& out) {
    auto list = [](const std::vector<std::string>& items) {
        std::string s = "[";
        for (size_t i = 0; i < items.size(); ++i) s += (i ? ", " : "") + jsonString(items[i]);
        return s + "]";
    };
    const std::string rules = r.rules == RuleSet::ordinary ? "ordinary" : "game";
    out << "{\n  \"size\": " << r.keta << ",\n  \"moves\": " << r.moves << ",\n  \"pins\": " << r.pins
        << ",\n  \"board\": " << list(r.board) << ",\n  \"rules\": " << jsonString(rules)
        << ",\n  \"winnable\": " << (r.winnable ? "true" : "false")
        << ",\n  \"continuation\": " << list(r.continuation);
    if (r.winnable) out << ",\n  \"movesRemaining\": " << r.pins - 1;
    if (r.losing)
        out << ",\n  \"losingMove\": {\"move\": " << r.losing->move << ", \"played\": " << jsonString(r.losing->played)
            << ", \"instead\": " << jsonString(r.losing->instead) << "}";
    if (r.sequences) {
        out << ",\n  \"figures\": {\"reachable\": " << r.reachable << ", \"winnable\": " << r.winnableCount
            << ", \"winningSequences\": ";
        // A string: the count exceeds what JSON readers keep exactly in a number.
        if (r.sequences->count) out << jsonString(toDecimal(*r.sequences->count));
        else out << "null, \"refused\": " << jsonString(refusal(r, l));
        out << "}";
    }
    out << "\n}\n";
}

}  // namespace

Classification::Sequences countWithin(const Classification& c, const Solver& solver, size_t budget) {
    const size_t held = kProgramBytes + solver.bytes() + c.bytes();
    Classification::Sequences s = c.winningSequences(budget > held ? budget - held : 0);
    s.bytesNeeded += held;
    return s;
}

int runCommand(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err,
               int progressFd, Language l) {
    Options o;
    bool help = false;
    if (const auto problem = parseOptions(args, o, help, l)) {
        err << "toripin-solve: " << *problem << "\n"
            << say(l, "使い方は toripin-solve --help で表示されます。\n", "toripin-solve --help shows how to use it.\n");
        return kExitUsage;
    }
    if (help) {
        out << (l == Language::japanese ? kHelpJapanese : kHelpEnglish);
        return kExitOk;
    }

    std::string text;
    if (o.file && *o.file != "-") {
        std::error_code ec;
        std::ifstream file(*o.file, std::ios::binary);
        if (!file || std::filesystem::is_directory(*o.file, ec)) {
            err << "toripin-solve: " << say(l, "ファイルを開けません: ", "cannot open the file: ") << *o.file << "\n";
            return kExitUsage;
        }
        text = readAll(file);
    } else {
        text = readAll(in);
    }

    auto fail = [&](const RecordError& e) {
        err << "toripin-solve: " << describe(e, l) << "\n";
        if (o.json)
            out << "{\"error\": {\"line\": " << e.line << ", \"message\": "
                << jsonString(l == Language::japanese ? e.message : e.english) << "}}\n";
        return kExitBadRecord;
    };
    const auto parsed = readRecord(text, o.keta);
    if (const auto* e = std::get_if<RecordError>(&parsed)) return fail(*e);
    const Record& record = std::get<Record>(parsed);
    // The record is the game's, replayed by its rules; the answers follow the rules asked for.
    const Board game(record.keta), board(record.keta, o.rules);
    const auto replayed = replay(game, record);
    if (const auto* e = std::get_if<RecordError>(&replayed)) return fail(*e);
    const std::vector<Position>& line = std::get<std::vector<Position>>(replayed);
    const Position pos = line.back();

    Result r{.keta = record.keta,
             .moves = int(record.moves.size()),
             .pins = pins(pos),
             .board = rows(board.picture(pos)),
             .rules = o.rules,
             .memory = o.memory};
    Solver solver(board);
    const Verdict v = solver.solve(pos);
    r.winnable = v.winnable;
    int number = r.moves;
    for (const Jump& j : v.continuation) r.continuation.push_back(moveLine(board, ++number, j));
    Progress progress;
    const ProgressLine shown(progress, progressFd, l);
    const Workers workers{.progress = &progress};
    // Both rule sets win from every start, so a game that cannot be won has a losing move.
    if (!v.winnable) {
        if (const auto lost = findLosingMove(board, line, workers)) {
            const RecordedMove& m = record.moves[size_t(lost->move - 1)];
            r.losing = Result::Lost{.move = lost->move,
                                    .played = recordLine(int16_t(m.number), int16_t(m.fromCol), int16_t(m.fromRow),
                                                         int16_t(m.toCol), int16_t(m.toRow)),
                                    .instead = moveLine(board, lost->move, lost->instead)};
        }
    }
    if (o.figures) {
        const Classification c(board, pos, workers);
        r.reachable = c.reachableCount();
        r.winnableCount = c.winnableCount();
        r.sequences = countWithin(c, solver, o.memory);
    }
    if (o.json) printJson(r, l, out);
    else printHuman(r, l, out);
    return kExitOk;
}

}  // namespace tori::solver
