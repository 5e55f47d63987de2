// The move record reads back to the moves the game wrote: every move line the game can write, and the
// clipboard copies of played games, dated as the real Qt toolkit dates them in the locale of the run
// (CTest runs this under ja_JP.UTF-8 and under C.UTF-8).
#include <gtest/gtest.h>

#include <QLocale>

#include <cstdlib>
#include <optional>
#include <tuple>

#include "fake_toolkit.h"
#include "history/history.h"
#include "moves/record.h"
#include "qt/qt_toolkit.h"
#include "solver/search.h"

using namespace tori;
using tori::test::StartedGame;

namespace {

using Move = std::tuple<int, int, int, int>;  // from column, from row, to column, to row

Move moveOf(const RecordedMove& m) { return {m.fromCol, m.fromRow, m.toCol, m.toRow}; }

std::string qtNow() {
    GameState s;
    return qt::QtToolkit(s).now();
}

// The copy the game makes now reads back, with and without a size, to exactly `played`, and each
// line of the move list on its own to its move.
void expectCopyReadsBack(StartedGame& g, int keta, const std::vector<Move>& played) {
    menuclipbordcopy_Click(g.s, g.tk);
    const std::string& text = g.tk.clipboard;
    ASSERT_EQ(text.rfind("プレイ日: " + g.tk.nowText + "\r\n", 0), 0u) << text;
    for (const std::optional<int> size : {std::optional<int>{}, std::optional<int>{keta}}) {
        const auto read = readRecord(text, size);
        ASSERT_TRUE(std::holds_alternative<Record>(read)) << describe(std::get<RecordError>(read)) << "\n" << text;
        const Record& r = std::get<Record>(read);
        EXPECT_EQ(r.keta, keta);
        std::vector<Move> moves;
        for (const RecordedMove& m : r.moves) moves.push_back(moveOf(m));
        ASSERT_EQ(moves, played) << text;
    }
    ASSERT_EQ(g.tk.list.size(), played.size());
    for (size_t i = 0; i < played.size(); ++i) {
        const auto m = readRecordLine(g.tk.list[i]);
        ASSERT_TRUE(m) << g.tk.list[i];
        EXPECT_EQ(m->number, int(i) + 1);
        EXPECT_EQ(moveOf(*m), played[i]);
    }
}

}  // namespace

TEST(RecordRoundTrip, TheLocaleOfTheRunIsInEffect) {
    // The two runs must really date in two locales, or one of them tests nothing new.
    const char* all = std::getenv("LC_ALL");
    if (!all) GTEST_SKIP() << "CTest sets LC_ALL";
    const bool japanese = std::string(all).rfind("ja_JP", 0) == 0;
    EXPECT_EQ(QLocale::system().name() == "ja_JP", japanese) << QLocale::system().name().toStdString();
    RecordProperty("now", qtNow());
}

TEST(RecordRoundTrip, EveryMoveLineTheGameCanWrite) {
    // Move numbers 1 to 26 (the most a 7 x 7 game has), columns and rows 1 to 7.
    for (int16_t t = 1; t <= kMostMoves; ++t)
        for (int16_t fx = 1; fx <= kMaxKeta; ++fx)
            for (int16_t fy = 1; fy <= kMaxKeta; ++fy)
                for (int16_t tx = 1; tx <= kMaxKeta; ++tx)
                    for (int16_t ty = 1; ty <= kMaxKeta; ++ty) {
                        const std::string line = recordLine(t, fx, fy, tx, ty);
                        const auto m = readRecordLine(line);
                        ASSERT_TRUE(m) << line;
                        ASSERT_EQ(std::tuple(m->number, m->fromCol, m->fromRow, m->toCol, m->toRow),
                                  std::tuple(int(t), int(fx), int(fy), int(tx), int(ty)));
                    }
}

TEST(RecordRoundTrip, EveryCopyOfAPlayedGameReadsBack) {
    const std::string now = qtNow();
    for (int keta = kMinKeta; keta <= kMaxKeta; ++keta) {
        // A winning line, played up to its last move, with an undo and a redo after every third move.
        const solver::Board board(keta);
        solver::Solver solver(board);
        const std::vector<solver::Jump> line = solver.solve(board.start()).continuation;
        ASSERT_EQ(int(line.size()), board.squares() - 2);
        StartedGame g{int16_t(keta)};
        g.tk.nowText = now;
        std::vector<Move> played;
        for (size_t i = 0; i + 1 < line.size(); ++i) {
            const Move m{board.col(line[i].from), board.row(line[i].from), board.col(line[i].to),
                         board.row(line[i].to)};
            const auto [fc, fr, tc, tr] = m;
            g.tk.click(int16_t(fc), int16_t(fr));
            // A pin lifted and nothing played yet: the copy is the header alone.
            if (i == 0) expectCopyReadsBack(g, keta, played);
            g.tk.pressSquare(int16_t(tc), int16_t(tr));
            played.push_back(m);
            ASSERT_EQ(g.tk.list.size(), played.size()) << "the game refused move " << i + 1;
            expectCopyReadsBack(g, keta, played);
            if (i % 3 == 2) {
                g.tk.choose(Menu::menuundo);
                played.pop_back();
                expectCopyReadsBack(g, keta, played);
                g.tk.choose(Menu::menuredo);
                played.push_back(m);
                expectCopyReadsBack(g, keta, played);
            }
        }
    }
}
