// Winnability and the figures: hand-made positions, and a plain recursive search written here from
// the rules in words, sharing nothing with the solver but the board size.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "solver/analysis.h"
#include "solver/cli.h"
#include "solver/replay.h"
#include "solver/search.h"

using namespace tori::solver;

namespace {

// Squares given as (col, row).
Position place(const Board& board, std::initializer_list<std::pair<int, int>> squares) {
    Position pos = 0;
    for (const auto& [col, row] : squares) pos |= Position{1} << board.bitOf(board.pinIndex(col, row));
    return pos;
}

// The plain search: a board is a string of '#' and '.' over pin indices 1..n², index 0 unused.
class PlainSearch {
public:
    explicit PlainSearch(int n) : n_(n) {}

    std::string start() const {
        std::string b(size_t(n_ * n_ + 1), '.');
        for (int row = 1; row <= n_; ++row)
            for (int col = 1; col <= n_ + 1 - row; ++col) b[size_t((row - 1) * n_ + col)] = '#';
        b[size_t((n_ - 1) * n_ + 1)] = '.';
        return b;
    }

    // Eight index steps, each with the bound the game puts on the jumped index (43 for "up to").
    std::vector<std::string> next(const std::string& b) const {
        const int steps[8] = {n_ - 1, n_ + 1, -n_ - 1, -n_ + 1, -1, 1, -n_, n_};
        const bool upTo[8] = {true, true, false, false, false, true, false, true};
        std::vector<std::string> out;
        for (int p = 1; p <= n_ * n_; ++p) {
            if (b[size_t(p)] != '#') continue;
            for (int i = 0; i < 8; ++i) {
                const int over = p + steps[i], to = p + 2 * steps[i];
                if (upTo[i] ? over > 43 : over < 1) continue;
                if (to < 1 || to > n_ * n_ || !inside(to)) continue;
                if (b[size_t(over)] != '#' || b[size_t(to)] != '.') continue;
                std::string c = b;
                c[size_t(p)] = c[size_t(over)] = '.';
                c[size_t(to)] = '#';
                out.push_back(c);
            }
        }
        return out;
    }

    void explore(const std::string& b) {
        if (!seen_.insert(b).second) return;
        for (const std::string& c : next(b)) explore(c);
    }
    bool wins(const std::string& b) {
        if (const auto it = wins_.find(b); it != wins_.end()) return it->second;
        bool w = pins(b) == 1;
        for (const std::string& c : next(b)) w = wins(c) || w;
        return wins_[b] = w;
    }
    Count ways(const std::string& b) {
        if (pins(b) == 1) return 1;
        if (const auto it = ways_.find(b); it != ways_.end()) return it->second;
        Count w = 0;
        for (const std::string& c : next(b)) w += ways(c);
        return ways_[b] = w;
    }
    const std::set<std::string>& seen() const { return seen_; }

    static int pins(const std::string& b) { return int(std::count(b.begin(), b.end(), '#')); }

private:
    bool inside(int index) const {
        const int col = (index - 1) % n_ + 1, row = (index - 1) / n_ + 1;
        return col + row <= n_ + 1;
    }
    int n_;
    std::set<std::string> seen_;
    std::map<std::string, bool> wins_;
    std::map<std::string, Count> ways_;
};

Position toPosition(const Board& board, const std::string& b) {
    Position pos = 0;
    for (size_t i = 1; i < b.size(); ++i)
        if (b[i] == '#') pos |= Position{1} << board.bitOf(int(i));
    return pos;
}

void expectContinuationWins(const Board& board, Position pos, const Verdict& v) {
    ASSERT_TRUE(v.winnable);
    for (const Jump& j : v.continuation) {
        bool legal = false;
        board.forEachMove(pos, [&](const Jump& m) { legal = legal || (m.from == j.from && m.to == j.to); });
        ASSERT_TRUE(legal);
        pos = Board::apply(pos, j);
    }
    EXPECT_EQ(pins(pos), 1);
}

}  // namespace

TEST(SolverHandMade, OnePinIsWonWithNothingToPlay) {
    const Board board(6);
    const Position pos = place(board, {{4, 2}});
    Solver solver(board);
    const Verdict v = solver.solve(pos);
    EXPECT_TRUE(v.winnable);
    EXPECT_TRUE(v.continuation.empty());
    const Classification c(board, pos);
    EXPECT_EQ(c.reachableCount(), 1u);
    EXPECT_EQ(c.winnableCount(), 1u);
    EXPECT_EQ(c.winningSequences(1 << 20).count, Count{1});
}

TEST(SolverHandMade, TwoPinsWithAndWithoutAJump) {
    const Board board(5);
    Solver solver(board);
    // (1,1) over (2,1) to (3,1); and the reverse from (2,1) over (1,1) has nowhere to land.
    const Position jump = place(board, {{1, 1}, {2, 1}});
    const Verdict v = solver.solve(jump);
    ASSERT_TRUE(v.winnable);
    ASSERT_EQ(v.continuation.size(), 1u);
    EXPECT_EQ(moveLine(board, 7, v.continuation[0]), "7 手目 (1,1) ---> (3,1)");
    EXPECT_EQ(Classification(board, jump).winningSequences(1 << 20).count, Count{1});

    // Two pins two squares apart have no pin between them.
    const Position apart = place(board, {{1, 1}, {3, 1}});
    EXPECT_FALSE(solver.solve(apart).winnable);
    const Classification c(board, apart);
    EXPECT_EQ(c.reachableCount(), 1u);
    EXPECT_EQ(c.winnableCount(), 0u);

    // (4,1) over (5,1) lands on index 6, the start of the next row: a row-wrapping jump.
    const Verdict wrap = solver.solve(place(board, {{4, 1}, {5, 1}}));
    ASSERT_TRUE(wrap.winnable);
    EXPECT_EQ(moveLine(board, 1, wrap.continuation.at(0)), "1 手目 (4,1) ---> (1,2)");
}

TEST(SolverHandMade, ADeadEndThatStillHasMoves) {
    // Two jumps: (1,1) over (2,1) to (3,1), and (1,1) over (5,1) to (4,2) across the row end.
    // Each leaves two pins with nothing between them.
    const Board board(5);
    const Position pos = place(board, {{1, 1}, {2, 1}, {5, 1}});
    int moves = 0;
    board.forEachMove(pos, [&](const Jump&) { ++moves; });
    EXPECT_EQ(moves, 2);
    Solver solver(board);
    const Verdict v = solver.solve(pos);
    EXPECT_FALSE(v.winnable);
    EXPECT_TRUE(v.continuation.empty());
    const Classification c(board, pos);
    EXPECT_EQ(c.reachableCount(), 3u);
    EXPECT_EQ(c.winnableCount(), 0u);
    EXPECT_EQ(c.winningSequences(1 << 20).count, Count{0});
}

TEST(SolverFigures, FiveByFiveAgreesWithThePlainSearch) {
    const Board board(5);
    PlainSearch plain(5);
    const std::string start = plain.start();
    plain.explore(start);
    const Classification c(board, toPosition(board, start));

    EXPECT_EQ(c.reachableCount(), plain.seen().size());
    uint64_t won = 0;
    for (const std::string& b : plain.seen()) {
        const Position pos = toPosition(board, b);
        ASSERT_TRUE(c.reachable(pos));
        ASSERT_EQ(c.winnable(pos), plain.wins(b)) << b;
        won += plain.wins(b);
    }
    EXPECT_EQ(c.winnableCount(), won);
    const auto sequences = c.winningSequences(size_t(1) << 30);
    ASSERT_TRUE(sequences.count);
    EXPECT_EQ(toDecimal(*sequences.count), toDecimal(plain.ways(start)));
    EXPECT_GT(*sequences.count, Count{0});
}

TEST(SolverFigures, SixBySixFromAMidGamePositionAgreesWithThePlainSearch) {
    const Board board(6);
    PlainSearch plain(6);
    std::string b = plain.start();
    for (int i = 0; i < 8; ++i) b = plain.next(b).back();  // a fixed line of play into the middle game
    plain.explore(b);
    const Classification c(board, toPosition(board, b));
    EXPECT_EQ(c.reachableCount(), plain.seen().size());
    uint64_t won = 0;
    for (const std::string& s : plain.seen()) won += plain.wins(s);
    EXPECT_EQ(c.winnableCount(), won);
    EXPECT_EQ(toDecimal(*c.winningSequences(size_t(1) << 30).count), toDecimal(plain.ways(b)));
}

TEST(SolverFigures, TheAnswersDoNotDependOnTheThreads) {
    const Board board(6);
    const Classification one(board, board.start(), Workers{.threads = 1}),
        three(board, board.start(), Workers{.threads = 3});
    EXPECT_EQ(one.reachableCount(), three.reachableCount());
    EXPECT_EQ(one.winnableCount(), three.winnableCount());
    for (Position pos = 0; pos <= board.all(); ++pos) {
        ASSERT_EQ(one.reachable(pos), three.reachable(pos)) << pos;
        ASSERT_EQ(one.winnable(pos), three.winnable(pos)) << pos;
    }
    EXPECT_EQ(toDecimal(*three.winningSequences(size_t(1) << 30).count),
              toDecimal(*one.winningSequences(size_t(1) << 30).count));
}

TEST(SolverFigures, TheSearchAgreesWithTheClassificationOnEveryReachablePosition) {
    const Board board(5);
    const Classification c(board, board.start());
    Solver solver(board);
    int checked = 0;
    for (Position pos = 0; pos <= board.all(); ++pos) {
        if (!c.reachable(pos)) continue;
        const Verdict v = solver.solve(pos);
        ASSERT_EQ(v.winnable, c.winnable(pos)) << pos;
        if (v.winnable) expectContinuationWins(board, pos, v);
        ++checked;
    }
    EXPECT_EQ(uint64_t(checked), c.reachableCount());
}

TEST(SolverFigures, RefusesTheCountBeyondTheMemoryLimit) {
    const Board board(6);
    const Classification c(board, board.start());
    const auto refused = c.winningSequences(1000);
    EXPECT_FALSE(refused.count);
    EXPECT_GT(refused.bytesNeeded, 1000u);
    const auto allowed = c.winningSequences(refused.bytesNeeded);
    EXPECT_TRUE(allowed.count);
}

TEST(SolverFigures, DecimalPrinterBeyondSixtyFourBits) {
    EXPECT_EQ(toDecimal(0), "0");
    EXPECT_EQ(toDecimal(Count{18446744073709551615u}), "18446744073709551615");
    EXPECT_EQ(toDecimal(Count{18446744073709551615u} + 1), "18446744073709551616");
    EXPECT_EQ(toDecimal(~Count{0}), "340282366920938463463374607431768211455");
}
