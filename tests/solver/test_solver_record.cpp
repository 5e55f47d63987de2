// Reading move records: the clipboard text and bare lines, and the first fault with its line number.
#include <gtest/gtest.h>

#include <vector>

#include "moves/record.h"
#include "solver/replay.h"

using namespace tori;
using namespace tori::solver;

namespace {

const std::string kHeader5 = "プレイ日: 2026/12/07 4:20:17\r\n桁数: 5桁 \r\n";

// The message for the first fault, "" when the record replays.
std::string fault(std::string_view text, std::optional<int> keta = std::nullopt) {
    const auto parsed = readRecord(text, keta);
    if (const auto* e = std::get_if<RecordError>(&parsed)) return describe(*e);
    const Record& r = std::get<Record>(parsed);
    const Board board(r.keta);
    const auto replayed = replay(board, r);
    if (const auto* e = std::get_if<RecordError>(&replayed)) return describe(*e);
    return "";
}

Position replayed(std::string_view text, std::optional<int> keta = std::nullopt) {
    const Record r = std::get<Record>(readRecord(text, keta));
    return std::get<std::vector<Position>>(replay(Board(r.keta), r)).back();
}

}  // namespace

TEST(SolverRecord, ClipboardTextWithCrLfOrLf) {
    const std::string crlf = kHeader5 + "\r\n1 手目 (3,3) ---> (1,5)\r\n2 手目 (1,3) ---> (3,3)";
    const auto parsed = readRecord(crlf, std::nullopt);
    ASSERT_TRUE(std::holds_alternative<Record>(parsed)) << describe(std::get<RecordError>(parsed));
    const Record& r = std::get<Record>(parsed);
    EXPECT_EQ(r.keta, 5);
    ASSERT_EQ(r.moves.size(), 2u);
    EXPECT_EQ(r.moves[1].line, 5);
    EXPECT_EQ(r.moves[1].fromCol, 1);
    EXPECT_EQ(r.moves[1].toRow, 3);

    std::string lf = crlf;
    for (size_t at; (at = lf.find('\r')) != std::string::npos;) lf.erase(at, 1);
    EXPECT_EQ(replayed(lf), replayed(crlf));
    EXPECT_EQ(replayed(crlf + "\r\n"), replayed(crlf)) << "a final line break, as an editor adds";
    EXPECT_EQ(replayed("\xEF\xBB\xBF" + crlf), replayed(crlf)) << "a byte order mark, as an editor adds";
    EXPECT_EQ(replayed(crlf + "\r\n \t\r\n\t"), replayed(crlf)) << "blank lines of spaces and tabs at the end";
    EXPECT_EQ(replayed("プレイ日: x\r\n桁数: 5桁\r\n" + crlf.substr(kHeader5.size())), replayed(crlf))
        << "the size line without its trailing blank";

    const Board board(5);
    Position expected = board.start();
    auto bit = [&](int c, int r) { return Position{1} << board.bitOf(board.pinIndex(c, r)); };
    expected = (expected & ~bit(3, 3) & ~bit(2, 4)) | bit(1, 5);
    expected = (expected & ~bit(1, 3) & ~bit(2, 3)) | bit(3, 3);
    EXPECT_EQ(replayed(crlf), expected);
    const auto line = std::get<std::vector<Position>>(replay(board, std::get<Record>(readRecord(crlf, {}))));
    EXPECT_EQ(line.at(1), (board.start() & ~bit(3, 3) & ~bit(2, 4)) | bit(1, 5)) << "every position of the game";
}

TEST(SolverRecord, HeaderAloneAndBareLines) {
    // A copy made with a pin lifted before the first jump: the two header lines only.
    EXPECT_EQ(replayed(kHeader5), Board(5).start());
    const Board seven(7);
    const Jump* first = seven.jumpBetween(seven.bitOf(seven.pinIndex(3, 5)), seven.bitOf(seven.pinIndex(1, 7)));
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(replayed("1 手目 (3,5) ---> (1,7)\n", 7), Board::apply(seven.start(), *first));
    EXPECT_EQ(replayed("桁数: 7桁 \r\n"), seven.start()) << "a size line without its date line";
    // Nothing at all, with a size: the start of that size; without one it stays an error (below).
    EXPECT_EQ(replayed("", 7), seven.start());
    EXPECT_EQ(replayed("\r\n \n\t\n", 6), Board(6).start());
    EXPECT_EQ(replayed("\xEF\xBB\xBF\n", 5), Board(5).start());
}

TEST(SolverRecord, FaultsNameTheLine) {
    EXPECT_EQ(fault(""), "入力が空です。");
    EXPECT_EQ(fault("\r\n \n"), "入力が空です。");
    EXPECT_EQ(fault("\xEF\xBB\xBF"), "入力が空です。");
    EXPECT_EQ(fault("1 手目 (3,3) ---> (1,5)"), "「桁数: N桁 」の行がありません (指し手の行だけなら --size N を付けて下さい)。");
    EXPECT_EQ(fault("プレイ日: x\r\n桁数: 8桁 \r\n"), "2 行目: 桁数は 5、6、7 のどれかです。");
    EXPECT_EQ(fault("プレイ日: x\r\n5桁\r\n"), "2 行目: 「桁数: N桁 」の行として読めません。");
}

TEST(SolverRecord, AsPlayersPasteIt) {
    const Position played = replayed(kHeader5 + "\r\n1 手目 (3,3) ---> (1,5)\r\n2 手目 (1,3) ---> (3,3)");
    for (const auto& [text, keta] : std::vector<std::pair<std::string, std::optional<int>>>{
             {"> プレイ日： 2026/12/07\n> 桁数：５桁　\n>\n> １手目　（３，３）　－－－＞　（１，５）\n>> ２手目（1,3）→（3,3）", {}},
             {"Here:\n\nプレイ日: x\n\n桁数:5桁\nMoves:\n1手目 (3,3) ーーー＞ (1,5)\n\n\n 2 手目  (1,3)\t---> (3,3) \nNow?\n", {}},
             {"> > 1 手目 (3,3) ---> (1,5)\r\n>>2 手目 (1,3) ---> (3,3)\r\nhello", 5}})
        EXPECT_EQ(replayed(text, keta), played) << text;
    // A line that looks like a move and is not one, among the moves or after them, stays an error.
    const std::string garbled = " 行目: 指し手の行として読めません (例: 1 手目 (3,3) ---> (1,5))。";
    EXPECT_EQ(fault("> 1 手目 (3,3) ---> (1,5)\n>\n> 2 手目 (1,3) -> (3,3)\n", 5), "3" + garbled);
    EXPECT_EQ(fault(kHeader5 + "1 手目 (3,3) ---> (1,5)\nあと 12 手目まで\n"), "4" + garbled);
}

TEST(SolverRecord, GarbageAndNearMisses) {
    const std::string garbled = "2 行目: 指し手の行として読めません (例: 1 手目 (3,3) ---> (1,5))。";
    for (const std::string& line : std::vector<std::string>{"2 手目 (3,3) --> (1,5)", "2 手目",
                                   "02 手目 (3,3) ---> (1,5)", "2 手目 (3,3) ---> (1,5", "2 手目 (3, 3) ---> (1,5)",
                                   "2 手目 (+3,3) ---> (1,5)", "\x01\xff\xfe",
                                   std::string("2 手目 (3,3)\0 ---> (1,5)", 27), "2 手目 (3,3) ---> (1,5)\r\r",
                                   "99999 手目 (3,3) ---> (1,5)"})
        EXPECT_EQ(fault("1 手目 (3,3) ---> (1,5)\n" + line + "\n2 手目 (1,3) ---> (3,3)", 5), garbled) << line;
}

TEST(SolverRecord, WrongNumbering) {
    EXPECT_EQ(fault(kHeader5 + "\r\n2 手目 (3,3) ---> (1,5)"), "4 行目: 手数が 1 のはずが 2 になっています。");
    EXPECT_EQ(fault("1 手目 (3,3) ---> (1,5)\n1 手目 (1,3) ---> (3,3)\n", 5),
              "2 行目: 手数が 2 のはずが 1 になっています。");
}

TEST(SolverRecord, IllegalMoves) {
    EXPECT_EQ(fault("1 手目 (1,5) ---> (3,3)", 5), "1 行目: (1,5) にピンがありません。");
    EXPECT_EQ(fault("1 手目 (3,3) ---> (1,1)", 5), "1 行目: (1,1) にはもうピンがあります。");
    EXPECT_EQ(fault("1 手目 (2,4) ---> (1,5)", 5), "1 行目: (2,4) から (1,5) へは跳べません。");
    EXPECT_EQ(fault("1 手目 (3,3) ---> (1,5)\n2 手目 (1,5) ---> (3,3)", 5),
              "2 行目: (1,5) から (3,3) へ跳ぶには (2,4) にピンが要ります。");
    EXPECT_EQ(fault("1 手目 (3,3) ---> (1,5)\n2 手目 (3,1) ---> (3,3)\n3 手目 (1,1) ---> (1,1)", 5),
              "3 行目: (1,1) にはもうピンがあります。");
}

TEST(SolverRecord, SquaresOutsideTheTriangle) {
    EXPECT_EQ(fault("1 手目 (5,2) ---> (3,2)", 5), "1 行目: マス目 (5,2) は 5桁の盤の三角形の外です。");
    EXPECT_EQ(fault("1 手目 (3,3) ---> (0,5)", 5), "1 行目: マス目 (0,5) は 5桁の盤の三角形の外です。");
    EXPECT_EQ(fault("1 手目 (3,3) ---> (1,99)", 5), "1 行目: マス目 (1,99) は 5桁の盤の三角形の外です。");
}

TEST(SolverRecord, ARecordFromAnotherSize) {
    const std::string seven = "プレイ日: x\r\n桁数: 7桁 \r\n\r\n1 手目 (3,5) ---> (1,7)";
    EXPECT_EQ(fault(seven), "");
    EXPECT_EQ(fault(seven, 7), "");
    EXPECT_EQ(fault(seven, 5), "2 行目: 記録は 7桁の盤のものですが、--size 5 が指定されました。");
    // The same move as a bare line read as a 5 x 5 game: (3,5) is off that board's triangle.
    EXPECT_EQ(fault("1 手目 (3,5) ---> (1,7)", 5), "1 行目: マス目 (3,5) は 5桁の盤の三角形の外です。");
    // The first 5 x 5 move read as 6 x 6: (1,5) holds a pin there.
    EXPECT_EQ(fault("1 手目 (3,3) ---> (1,5)", 6), "1 行目: (1,5) にはもうピンがあります。");
}

TEST(SolverRecord, MoveLinesAreTheGamesLines) {
    const Board board(7);
    const Jump* j = board.jumpBetween(board.bitOf(board.pinIndex(5, 3)), board.bitOf(board.pinIndex(1, 7)));
    ASSERT_EQ(j, nullptr) << "(5,3) to (1,7) is four squares away";
    const Jump* k = board.jumpBetween(board.bitOf(board.pinIndex(3, 5)), board.bitOf(board.pinIndex(1, 7)));
    ASSERT_NE(k, nullptr);
    EXPECT_EQ(moveLine(board, 12, *k), "12 手目 (3,5) ---> (1,7)");
}
