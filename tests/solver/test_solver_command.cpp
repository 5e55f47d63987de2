// toripin-solve on records the game itself copied to the clipboard: the continuation it prints is
// played back in the game until the game declares the win.
#include <gtest/gtest.h>

#include <cctype>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "fake_toolkit.h"
#include "game/board.h"
#include "moves/record.h"
#include "solver/cli.h"

using namespace tori;
using namespace tori::solver;
using tori::test::FakeToolkit;
using tori::test::StartedGame;

namespace {

struct Outcome {
    int status;
    std::string out, err;
};

Outcome run(const std::vector<std::string>& args, const std::string& input, Language language = Language::japanese) {
    std::istringstream in(input);
    std::ostringstream out, err;
    const int status = runCommand(args, in, out, err, -1, language);
    return {status, out.str(), err.str()};
}

// The command itself, started with no shell between, so that no path in it is ever parsed: standard
// input from a file, standard output (with standard error when asked) read back, in the locale given.
Outcome execute(const std::vector<std::string>& args, const char* input, bool withErrors = false,
                const char* locale = "LANG=ja_JP.UTF-8") {
    int out[2];
    if (pipe(out) != 0) return {-1, "", "pipe"};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, input, O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    if (withErrors) posix_spawn_file_actions_adddup2(&actions, out[1], 2);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addclose(&actions, out[1]);
    std::vector<char*> argv{const_cast<char*>(TORIPIN_SOLVE)};
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    char* environment[] = {const_cast<char*>(locale), nullptr};
    const int spawned = posix_spawn(&pid, TORIPIN_SOLVE, &actions, nullptr, argv.data(), environment);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    Outcome r{-1, "", ""};
    char buffer[4096];
    for (ssize_t n; (n = read(out[0], buffer, sizeof buffer)) > 0;) r.out.append(buffer, size_t(n));
    close(out[0]);
    int status = 0;
    if (spawned == 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status)) r.status = WEXITSTATUS(status);
    return r;
}

struct Line {
    int number, fromCol, fromRow, toCol, toRow;
};

// The move record lines in a text, in order, each checked to be exactly the game's own line.
std::vector<Line> moveLines(const std::string& text) {
    const std::string mark = " 手目 (";
    std::vector<Line> out;
    for (size_t at = text.find(mark); at != std::string::npos; at = text.find(mark, at + 1)) {
        size_t start = at;
        while (start > 0 && std::isdigit(static_cast<unsigned char>(text[start - 1]))) --start;
        const std::string rest = text.substr(at + mark.size(), 15);  // "a,b) ---> (c,d)"
        if (start == at || rest.size() < 15) continue;
        const Line l{std::stoi(text.substr(start, at - start)), rest[0] - '0', rest[2] - '0', rest[11] - '0',
                     rest[13] - '0'};
        const std::string line = recordLine(int16_t(l.number), int16_t(l.fromCol), int16_t(l.fromRow),
                                            int16_t(l.toCol), int16_t(l.toRow));
        EXPECT_EQ(text.substr(start, line.size()), line);
        out.push_back(l);
    }
    return out;
}

// The board as the game shows it, drawn from its pin buttons.
std::string pictureOf(FakeToolkit& tk, int keta) {
    std::string out;
    for (int row = 1; row <= keta; ++row) {
        out += "  ";
        for (int col = 1; col <= keta - row + 1; ++col)
            out += tk.pinVisible(pinIndex(int16_t(col), int16_t(row), int16_t(keta))) ? "●" : "・";
        out += "\n";
    }
    return out;
}

// A game of the given size after `moves` random jumps, each carried out by the game's handlers.
void playRandom(FakeToolkit& tk, int keta, int moves, std::mt19937& rng) {
    tk.start();
    tk.choose(Menu::ketasu, int16_t(keta - 5));
    const Board board(keta);
    for (int i = 0; i < moves; ++i) {
        Position pos = 0;
        for (int bit = 0; bit < board.squares(); ++bit)
            if (tk.pinVisible(int16_t(board.pinIndex(board.col(bit), board.row(bit))))) pos |= Position{1} << bit;
        std::vector<Jump> legal;
        board.forEachMove(pos, [&](const Jump& j) { legal.push_back(j); });
        if (legal.size() < 2) return;  // keep clear of the end of the game
        const Jump j = legal[rng() % legal.size()];
        const size_t listed = tk.list.size();
        test::play(tk, int16_t(board.col(j.from)), int16_t(board.row(j.from)), int16_t(board.col(j.to)),
                   int16_t(board.row(j.to)));
        ASSERT_EQ(tk.list.size(), listed + 1);
    }
}

std::string copyToClipboard(FakeToolkit& tk) {
    tk.choose(Menu::menuclipbordcopy);
    return tk.clipboard;
}

}  // namespace

class SolveExportedGame : public ::testing::TestWithParam<int> {};

TEST_P(SolveExportedGame, ContinuationWinsInTheGame) {
    const int keta = GetParam();
    std::mt19937 rng(unsigned(7 * keta));
    int won = 0, lost = 0;
    for (int game = 0; game < 6; ++game) {
        GameState s;
        FakeToolkit tk(s);
        playRandom(tk, keta, 2 + game, rng);
        const int played = int(tk.list.size());
        const Outcome r = run({}, copyToClipboard(tk));
        ASSERT_EQ(r.status, kExitOk) << r.err;
        EXPECT_EQ(r.err, "");

        const std::string head = "盤: " + std::to_string(keta) + "桁、記録 " + std::to_string(played) + " 手\n";
        EXPECT_EQ(r.out.substr(0, head.size() + pictureOf(tk, keta).size()), head + pictureOf(tk, keta));
        EXPECT_NE(r.out.find("残りのピン: " + std::to_string(pincount(tk)) + " 本\n"), std::string::npos);

        const std::vector<Line> continuation = moveLines(r.out);
        if (r.out.find("判定: この局面からはクリアできません。\n") != std::string::npos) {
            EXPECT_EQ(continuation.size(), 2u) << "the losing move and a move instead";
            ++lost;
            continue;
        }
        ASSERT_NE(r.out.find("できます。あと " + std::to_string(pincount(tk) - 1) + " 手です。\n続きの手順:\n"), std::string::npos);
        ASSERT_EQ(int(continuation.size()), pincount(tk) - 1);
        for (size_t i = 0; i < continuation.size(); ++i) {
            const Line& l = continuation[i];
            ASSERT_EQ(l.number, played + 1 + int(i));
            test::play(tk, int16_t(l.fromCol), int16_t(l.fromRow), int16_t(l.toCol), int16_t(l.toRow));
            ASSERT_EQ(int(tk.list.size()), l.number) << "the game refused the continuation's move " << l.number;
        }
        ASSERT_FALSE(tk.messages.empty());
        EXPECT_EQ(tk.messages.back().prompt, "クリア!!!おめでとう御座います。もう一度しますか?");
        ++won;
    }
    EXPECT_GT(won, 0);
    RecordProperty("won", won);
    RecordProperty("lost", lost);
}

INSTANTIATE_TEST_SUITE_P(AllSizes, SolveExportedGame, ::testing::Values(5, 6, 7));

TEST(SolveCommand, JsonCarriesTheSameAnswer) {
    GameState s;
    FakeToolkit tk(s);
    std::mt19937 rng(3);
    playRandom(tk, 6, 3, rng);
    const std::string text = copyToClipboard(tk);
    const Outcome human = run({}, text), json = run({"--json"}, text);
    ASSERT_EQ(json.status, kExitOk);
    EXPECT_NE(json.out.find("\"size\": 6,"), std::string::npos);
    EXPECT_NE(json.out.find("\"moves\": 3,"), std::string::npos);
    EXPECT_NE(json.out.find("\"pins\": 17,"), std::string::npos);
    const std::vector<Line> a = moveLines(human.out), b = moveLines(json.out);
    ASSERT_EQ(a.size(), b.size());
    for (size_t i = 0; i < a.size(); ++i) EXPECT_EQ(a[i].number, b[i].number);
    EXPECT_NE(json.out.find(a.empty() ? "\"winnable\": false" : "\"winnable\": true"), std::string::npos);
    EXPECT_EQ(json.out.find("figures"), std::string::npos);
}

TEST(SolveCommand, FiguresFromALiftedFirstPin) {
    // A pin lifted, nothing jumped yet: the copy holds the header lines alone.
    StartedGame game(5);
    auto& [s, tk] = game;
    tk.clickPin(13);
    const std::string text = copyToClipboard(tk);
    ASSERT_EQ(text, "プレイ日: " + tk.nowText + "\r\n桁数: 5桁 \r\n");

    const Board board(5);
    const Classification c(board, board.start());
    const std::string sequences = toDecimal(*c.winningSequences(size_t(1) << 30).count);
    const Outcome r = run({"--figures"}, text);
    ASSERT_EQ(r.status, kExitOk) << r.err;
    EXPECT_NE(r.out.find("盤: 5桁、記録 0 手\n"), std::string::npos);
    EXPECT_NE(r.out.find("残りのピン: 14 本\n"), std::string::npos);
    EXPECT_NE(r.out.find("到達できる局面の数: " + grouped(c.reachableCount()) + "\n"), std::string::npos);
    EXPECT_NE(r.out.find("そのうちクリアできる局面の数: " + grouped(c.winnableCount()) + "\n"),
              std::string::npos);
    EXPECT_NE(r.out.find("クリアまでの手順の数: 6,140,568\n"), std::string::npos);

    const Outcome j = run({"--figures", "--json"}, text);
    EXPECT_NE(j.out.find("\"reachable\": " + std::to_string(c.reachableCount())), std::string::npos);
    EXPECT_NE(j.out.find("\"winningSequences\": \"" + sequences + "\""), std::string::npos);
    EXPECT_NE(run({"--no-wrap", "--figures", "--json", "--size=5"}, "").out.find("\"movesRemaining\": 13,\n  \"figures"
              "\": {\"reachable\": 4526, \"winnable\": 1055, \"winningSequences\": \"70128\"}"), std::string::npos);

    // An empty record with a size is the same start: the same board, figures and winning line from move 1.
    const Outcome empty = run({"--figures", "--size", "5"}, "");
    ASSERT_EQ(empty.status, kExitOk) << empty.err;
    EXPECT_EQ(empty.out, r.out);
    EXPECT_EQ(moveLines(empty.out).at(0).number, 1);
    EXPECT_EQ(run({"--figures", "--json", "--size=5"}, "\n\n").out, j.out);
}

TEST(SolveCommand, RefusesTheCountOverTheMemoryLimit) {
    // The 6 x 6 start needs 10,298,294 bytes: the program, the search's and the classification's sets,
    // and the count's tables. Told in MB of 1,000,000 bytes, rounded up.
    const std::string start = "プレイ日: x\r\n桁数: 6桁 \r\n";
    const std::string refusal = "必要なメモリ約 11 MB が上限 10 MB を超えるため求めません (--memory で上限を変えられます)";
    const Outcome r = run({"--figures", "--memory", "10"}, start);
    ASSERT_EQ(r.status, kExitOk) << r.err;
    EXPECT_NE(r.out.find("クリアまでの手順の数: " + refusal + "\n"), std::string::npos) << r.out;
    const Outcome j = run({"--figures", "--json", "--memory=10"}, start);
    EXPECT_NE(j.out.find("\"winningSequences\": null, \"refused\": \"" + refusal + "\"}"), std::string::npos) << j.out;
    EXPECT_NE(run({"--figures", "--memory", "11"}, start).out.find("クリアまでの手順の数: 4,183,968,642,069\n"),
              std::string::npos);
    // A budget below the program's own memory leaves nothing for the count, not everything.
    EXPECT_NE(run({"--figures", "--memory", "1", "--size", "5"}, "").out.find("約 4 MB が上限 1 MB"), std::string::npos);
    // The default is the 100 MB --help states: 7 x 7 after eight moves of a win needs about 113 MB.
    const std::string win = run({"--size", "7"}, "").out;
    const std::string eight = win.substr(win.find("1 手目"), win.find("9 手目") - win.find("1 手目"));
    EXPECT_NE(run({"--figures", "--size", "7"}, eight).out.find("約 113 MB が上限 100 MB"), std::string::npos);
}

TEST(SolveCommand, BadRecordsExitWithTwo) {
    const Outcome r = run({}, "プレイ日: x\r\n桁数: 5桁 \r\n\r\n1 手目 (3,3) ---> (1,5)\r\n3 手目 (1,3) ---> (3,3)");
    EXPECT_EQ(r.status, kExitBadRecord);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "toripin-solve: 5 行目: 手数が 2 のはずが 3 になっています。\n");
    const Outcome j = run({"--json", "--size", "5"}, "1 手目 (3,1) ---> (1,5)");
    EXPECT_EQ(j.status, kExitBadRecord);
    EXPECT_EQ(j.out, "{\"error\": {\"line\": 1, \"message\": \"(3,1) から (1,5) へは跳べません。\"}}\n");
    EXPECT_EQ(run({}, "").status, kExitBadRecord);
    EXPECT_EQ(run({}, std::string(3 << 20, 'x')).err, "toripin-solve: 入力が大きすぎます (1 MiB まで)。\n");
}

TEST(SolveCommand, UsageErrorsExitWithOne) {
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"--bogus"}, {"--size"}, {"--size", "8"}, {"--size=4"}, {"--memory", "0"}, {"a", "b"},
             {"/nonexistent/record.txt"}, {std::filesystem::temp_directory_path().string()}}) {
        const Outcome r = run(args, "");
        EXPECT_EQ(r.status, kExitUsage) << args[0];
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err.rfind("toripin-solve: ", 0), 0u) << r.err;
    }
}

TEST(SolveCommand, TheLosingMoveOfAnExportedGame) {
    StartedGame game(5);
    for (auto l : moveLines("1 手目 (3,3) ---> (1,5)2 手目 (1,1) ---> (3,3)3 手目 (3,1) ---> (1,1)4 手目 (5,1) ---> (3,1)"
                            "5 手目 (4,2) ---> (2,2)6 手目 (2,3) ---> (2,1)7 手目 (2,1) ---> (4,1)"))
        test::play(game.tk, int16_t(l.fromCol), int16_t(l.fromRow), int16_t(l.toCol), int16_t(l.toRow));
    const std::string text = copyToClipboard(game.tk);
    EXPECT_NE(run({}, text).out.find("クリアできません。\n敗着: 6 手目 (2,3) ---> (2,1)\n  5 手目のあとの局面ならクリア"
                                     "できました。\n  そこで 6 手目 (1,2) ---> (3,2) と指せば、まだクリアできました。\n"),
              std::string::npos);
    EXPECT_NE(run({}, text, Language::english).out.find("Losing move: 6 手目 (2,3) ---> (2,1)\n  The position after "
              "move 5 could still be won.\n  Playing 6 手目 (1,2) ---> (3,2) there would have kept it winnable.\n"),
              std::string::npos);
    EXPECT_NE(run({"--json"}, text).out.find("\"losingMove\": {\"move\": 6, \"played\": \"6 手目 (2,3) ---> (2,1)\", "
                                             "\"instead\": \"6 手目 (1,2) ---> (3,2)\"}"), std::string::npos);
}

TEST(SolveCommand, TheLocaleChoosesTheLanguage) {
    EXPECT_EQ(languageOf(nullptr, nullptr, "ja_JP.UTF-8"), Language::japanese);
    EXPECT_EQ(languageOf("C.UTF-8", "ja_JP.UTF-8", "ja_JP.UTF-8"), Language::english);
    EXPECT_EQ(languageOf("", "ja", "C"), Language::japanese);
    EXPECT_EQ(run({"--help"}, "").out.rfind("使い方: toripin-solve [--size N]", 0), 0u);
    EXPECT_EQ(run({"-h"}, "", Language::english).out.rfind("Usage: toripin-solve [--size N]", 0), 0u);
    EXPECT_NE(run({"--size=5"}, "", Language::english).out.find("13 moves.\nWinning continuation:"), std::string::npos);
    EXPECT_EQ(run({"--size", "5"}, "1 手目 (1,5) ---> (3,3)", Language::english).err,
              "toripin-solve: line 1: There is no pin on (1,5).\n");
}

TEST(SolveCommand, TheProgramReadsAFileAndStandardInput) {
    GameState s;
    FakeToolkit tk(s);
    std::mt19937 rng(11);
    playRandom(tk, 7, 4, rng);
    const std::string text = copyToClipboard(tk);
    const auto path = std::filesystem::temp_directory_path() / ("toripin-solve-test-" + std::to_string(getpid()));
    std::ofstream(path, std::ios::binary) << text;

    const std::string file = path.string();
    const Outcome fromFile = execute({file}, "/dev/null");
    const Outcome fromStdin = execute({"-"}, file.c_str());
    const Outcome empty = execute({}, "/dev/null", true);
    const Outcome start = execute({"--size", "7"}, "/dev/null");
    std::filesystem::remove(path);

    EXPECT_EQ(fromFile.status, kExitOk);
    EXPECT_EQ(fromFile.out, run({}, text).out);
    EXPECT_EQ(fromStdin.out, fromFile.out);
    EXPECT_EQ(empty.status, kExitBadRecord);
    EXPECT_EQ(empty.out, "toripin-solve: 入力が空です。\n");
    EXPECT_EQ(execute({}, "/dev/null", true, "LANG=C").out, "toripin-solve: The input is empty.\n");
    EXPECT_EQ(start.status, kExitOk);
    EXPECT_EQ(start.out, run({"--size", "7"}, "").out);
    EXPECT_EQ(start.out.rfind("盤: 7桁、記録 0 手\n", 0), 0u) << start.out;
}
