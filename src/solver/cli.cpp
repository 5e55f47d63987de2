// Options, input, and the Japanese and JSON output of toripin-solve.
#include "solver/cli.h"

#include <filesystem>
#include <fstream>
#include <istream>
#include <optional>
#include <ostream>

#include "solver/replay.h"
#include "solver/search.h"

namespace tori::solver {

namespace {

constexpr std::string_view kHelp =
    "使い方: toripin-solve [--size N] [--figures] [--json] [--memory MB] [ファイル]\n"
    "\n"
    "トリピンの指し手手順 (「指し手手順をコピー」で写したテキスト) を読み、その局面の盤面、\n"
    "残りのピン、まだクリアできるかを表示します。クリアできるときは、続きの手順を\n"
    "ゲームと同じ形の指し手の行で示します。ファイルを省くか - を指定すると標準入力を読みます。\n"
    "\n"
    "  --size N     指し手の行だけの記録を N 桁 (5、6、7) の盤として読みます。空の入力はその盤の最初の局面です\n"
    "  --figures    到達できる局面の数、そのうちクリアできる局面の数、クリアまでの手順の数を表示します\n"
    "  --json       同じ内容を JSON で出力します\n"
    "  --memory MB  使ってよいメモリの上限 (既定 100 MB)。手順の数がこれを超えるときは求めません\n"
    "  -h, --help   この説明を表示します\n"
    "\n"
    "終了コード: 0 成功、1 使い方の誤り、2 記録の誤り (最初の誤りの行番号を表示します)\n"
    "\n"
    "Usage: toripin-solve [--size N] [--figures] [--json] [--memory MB] [FILE]\n"
    "\n"
    "Reads a トリピン move record (the text the game copies to the clipboard) and shows the board,\n"
    "the pins left and whether the game can still be won; if it can, prints a winning continuation\n"
    "as move record lines numbered on from the record. Without FILE, or with -, reads standard input.\n"
    "\n"
    "  --size N     read bare move record lines for the N x N board (5, 6 or 7); an empty input is its start\n"
    "  --figures    also print reachable positions, winnable positions and winning move sequences\n"
    "  --json       print the same as JSON\n"
    "  --memory MB  memory budget (default 100 MB); the sequence count is refused beyond it\n"
    "  -h, --help   show this help\n"
    "\n"
    "Exit status: 0 success, 1 usage error, 2 bad record (the message names the first bad line).\n";

constexpr size_t kReadLimit = (size_t{1} << 20) + 1;  // over the parser's limit, so that it refuses

struct Options {
    std::optional<int> keta;
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
std::optional<std::string> parseOptions(const std::vector<std::string>& args, Options& o, bool& help) {
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
        } else if (a == "--size" || a.rfind("--size=", 0) == 0) {
            const auto v = value("--size");
            o.keta = v ? parseInt(*v, kMinKeta, kMaxKeta) : std::nullopt;
            if (!o.keta) return "--size には 5、6、7 のどれかを指定して下さい。";
        } else if (a == "--memory" || a.rfind("--memory=", 0) == 0) {
            const auto v = value("--memory");
            const auto mb = v ? parseInt(*v, 1, 1000000) : std::nullopt;
            if (!mb) return "--memory には 1 以上の MB 数を指定して下さい。";
            o.memory = size_t(*mb) * 1000 * 1000;
        } else if (a.size() > 1 && a[0] == '-') {
            return "不明なオプションです: " + a;
        } else if (o.file) {
            return "読むファイルは一つだけです。";
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
    bool winnable = false;
    std::vector<std::string> continuation{};
    std::optional<Classification::Sequences> sequences{};
    uint64_t reachable = 0, winnableCount = 0;
    size_t memory = 0;
};

std::string refusal(const Result& r) {
    auto mb = [](size_t bytes) { return std::to_string((bytes + 999999) / 1000000); };
    return "必要なメモリ約 " + mb(r.sequences->bytesNeeded) + " MB が上限 " + mb(r.memory) +
           " MB を超えるため求めません (--memory で上限を変えられます)";
}

void printHuman(const Result& r, std::ostream& out) {
    out << "盤: " << r.keta << "桁、記録 " << r.moves << " 手\n";
    for (const std::string& row : r.board) out << "  " << row << "\n";
    out << "残りのピン: " << r.pins << " 本\n";
    if (r.pins == 1) out << "判定: クリアしています。\n";
    else if (r.winnable) out << "判定: まだクリアできます。\n";
    else out << "判定: この局面からはクリアできません。\n";
    if (!r.continuation.empty()) {
        out << "続きの手順:\n";
        for (const std::string& line : r.continuation) out << line << "\n";
    }
    if (r.sequences) {
        out << "到達できる局面の数: " << r.reachable << "\n";
        out << "そのうちクリアできる局面の数: " << r.winnableCount << "\n";
        out << "クリアまでの手順の数: ";
        if (r.sequences->count) out << toDecimal(*r.sequences->count) << "\n";
        else out << refusal(r) << "\n";
    }
}

void printJson(const Result& r, std::ostream& out) {
    auto list = [](const std::vector<std::string>& items) {
        std::string s = "[";
        for (size_t i = 0; i < items.size(); ++i) s += (i ? ", " : "") + jsonString(items[i]);
        return s + "]";
    };
    out << "{\n  \"size\": " << r.keta << ",\n  \"moves\": " << r.moves << ",\n  \"pins\": " << r.pins
        << ",\n  \"board\": " << list(r.board) << ",\n  \"winnable\": " << (r.winnable ? "true" : "false")
        << ",\n  \"continuation\": " << list(r.continuation);
    if (r.sequences) {
        out << ",\n  \"figures\": {\"reachable\": " << r.reachable << ", \"winnable\": " << r.winnableCount
            << ", \"winningSequences\": ";
        // A string: the count exceeds what JSON readers keep exactly in a number.
        if (r.sequences->count) out << jsonString(toDecimal(*r.sequences->count));
        else out << "null, \"refused\": " << jsonString(refusal(r));
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

std::string toDecimal(Count n) {
    std::string digits;
    do {
        digits.insert(digits.begin(), char('0' + int(n % 10)));
        n /= 10;
    } while (n != 0);
    return digits;
}

int runCommand(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err,
               int progressFd) {
    Options o;
    bool help = false;
    if (const auto problem = parseOptions(args, o, help)) {
        err << "toripin-solve: " << *problem << "\n使い方は toripin-solve --help で表示されます。\n";
        return kExitUsage;
    }
    if (help) {
        out << kHelp;
        return kExitOk;
    }

    std::string text;
    if (o.file && *o.file != "-") {
        std::error_code ec;
        std::ifstream file(*o.file, std::ios::binary);
        if (!file || std::filesystem::is_directory(*o.file, ec)) {
            err << "toripin-solve: ファイルを開けません: " << *o.file << "\n";
            return kExitUsage;
        }
        text = readAll(file);
    } else {
        text = readAll(in);
    }

    auto fail = [&](const RecordError& e) {
        err << "toripin-solve: " << describe(e) << "\n";
        if (o.json)
            out << "{\"error\": {\"line\": " << e.line << ", \"message\": " << jsonString(e.message) << "}}\n";
        return kExitBadRecord;
    };
    const auto parsed = readRecord(text, o.keta);
    if (const auto* e = std::get_if<RecordError>(&parsed)) return fail(*e);
    const Record& record = std::get<Record>(parsed);
    const Board board(record.keta);
    const auto replayed = replay(board, record);
    if (const auto* e = std::get_if<RecordError>(&replayed)) return fail(*e);
    const Position pos = std::get<Position>(replayed);

    Result r{.keta = record.keta,
             .moves = int(record.moves.size()),
             .pins = pins(pos),
             .board = rows(board.picture(pos)),
             .memory = o.memory};
    Solver solver(board);
    const Verdict v = solver.solve(pos);
    r.winnable = v.winnable;
    int number = r.moves;
    for (const Jump& j : v.continuation) r.continuation.push_back(moveLine(board, ++number, j));
    if (o.figures) {
        Progress progress;
        const ProgressLine line(progress, progressFd);
        const Classification c(board, pos, Workers{.progress = &progress});
        r.reachable = c.reachableCount();
        r.winnableCount = c.winnableCount();
        r.sequences = countWithin(c, solver, o.memory);
    }
    if (o.json) printJson(r, out);
    else printHuman(r, out);
    return kExitOk;
}

}  // namespace tori::solver
