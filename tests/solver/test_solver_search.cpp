// Winnability and the figures: hand-made positions, and a plain recursive search over the rules as
// the tests write them again, sharing nothing with the solver.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "fuzz/peg_rules.h"
#include "solver/analysis.h"
#include "solver/cli.h"
#include "solver/losing_move.h"
#include "solver/replay.h"
#include "solver/search.h"

using namespace tori::solver;
using tori::test::apply;
using tori::test::bit;
using tori::test::countOf;
using tori::test::legalJumps;
using tori::test::Squares;

namespace {

// Squares given as (col, row).
Position place(const Board& board, std::initializer_list<std::pair<int, int>> squares) {
    Position pos = 0;
    for (const auto& [col, row] : squares) pos |= Position{1} << board.bitOf(board.pinIndex(col, row));
    return pos;
}

// The figures by plain recursion over the rules as the tests write them again (fuzz/peg_rules.h).
class PlainSearch {
public:
    explicit PlainSearch(int keta, bool ordinary = false) : keta_(keta), ordinary_(ordinary) {}

    void explore(Squares b) {
        if (!seen_.insert(b).second) return;
        for (const auto& j : legalJumps(b, keta_, ordinary_)) explore(apply(b, j));
    }
    bool wins(Squares b) {
        if (const auto it = wins_.find(b); it != wins_.end()) return it->second;
        bool w = countOf(b) == 1;
        for (const auto& j : legalJumps(b, keta_, ordinary_)) w = wins(apply(b, j)) || w;
        return wins_[b] = w;
    }
    Count ways(Squares b) {
        if (countOf(b) == 1) return 1;
        if (const auto it = ways_.find(b); it != ways_.end()) return it->second;
        Count w = 0;
        for (const auto& j : legalJumps(b, keta_, ordinary_)) w += ways(apply(b, j));
        return ways_[b] = w;
    }
    const std::set<Squares>& seen() const { return seen_; }

private:
    int keta_;
    bool ordinary_;
    std::set<Squares> seen_;
    std::map<Squares, bool> wins_;
    std::map<Squares, Count> ways_;
};

Position toPosition(const Board& board, Squares b) {
    Position pos = 0;
    for (int i = 1; i <= tori::kPinButtons; ++i)
        if (b & bit(i)) pos |= Position{1} << board.bitOf(i);
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

class SolverRuleSets : public ::testing::TestWithParam<RuleSet> {};

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
    const auto sequences = Classification(board, jump).winningSequences(1 << 20);
    EXPECT_EQ(sequences.count, Count{1});
    EXPECT_EQ(sequences.bytesNeeded, 2'084u) << "the tables of two pin counts of one position each";

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

TEST_P(SolverRuleSets, FiveByFiveAgreesWithThePlainSearch) {
    const Board board(5, GetParam());
    PlainSearch plain(5, GetParam() == RuleSet::ordinary);
    const Squares start = tori::test::startPosition(5);
    plain.explore(start);
    const Classification c(board, toPosition(board, start));

    EXPECT_EQ(c.reachableCount(), plain.seen().size());
    uint64_t won = 0;
    for (const Squares b : plain.seen()) {
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

TEST_P(SolverRuleSets, SixBySixFromAMidGamePositionAgreesWithThePlainSearch) {
    const Board board(6, GetParam());
    PlainSearch plain(6, GetParam() == RuleSet::ordinary);
    Squares b = tori::test::startPosition(6);
    for (int i = 0; i < 8; ++i) b = apply(b, legalJumps(b, 6, GetParam() == RuleSet::ordinary).back());  // a fixed line
    plain.explore(b);
    const Classification c(board, toPosition(board, b));
    EXPECT_EQ(c.reachableCount(), plain.seen().size());
    uint64_t won = 0;
    for (const Squares s : plain.seen()) won += plain.wins(s);
    EXPECT_EQ(c.winnableCount(), won);
    EXPECT_EQ(toDecimal(*c.winningSequences(size_t(1) << 30).count), toDecimal(plain.ways(b)));
}

// Random lost games of the game's rules, their losing move by each rule set against the plain search:
// the position before it can be won, none after it can, the move instead keeps it won.
TEST_P(SolverRuleSets, TheLosingMoveAgreesWithThePlainSearch) {
    const bool ordinary = GetParam() == RuleSet::ordinary;
    std::mt19937 rng(24);
    for (const int keta : {5, 6}) {
        const Board board(keta, GetParam());
        PlainSearch plain(keta, ordinary);
        for (int lost = 0; lost < 8;) {
            std::vector<Squares> game{tori::test::startPosition(keta)};
            for (auto jumps = legalJumps(game.back(), keta); !jumps.empty(); jumps = legalJumps(game.back(), keta))
                game.push_back(apply(game.back(), jumps[rng() % jumps.size()]));
            if (countOf(game.back()) == 1) continue;
            ++lost;
            std::vector<Position> line;
            for (const Squares b : game) line.push_back(toPosition(board, b));
            const LosingMove move = findLosingMove(board, line).value();  // the start can be won
            const auto k = size_t(move.move - 1);
            EXPECT_TRUE(plain.wins(game[k]));
            for (size_t i = k + 1; i < game.size(); ++i) EXPECT_FALSE(plain.wins(game[i])) << i;
            const Position instead = Board::apply(line[k], move.instead);
            const auto jumps = legalJumps(game[k], keta, ordinary);
            EXPECT_TRUE(std::any_of(jumps.begin(), jumps.end(), [&](const auto& j) {
                return toPosition(board, apply(game[k], j)) == instead && plain.wins(apply(game[k], j));
            })) << "the move instead is one the rules allow, and keeps the game won";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(BothRuleSets, SolverRuleSets, ::testing::Values(RuleSet::game, RuleSet::ordinary));

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
    // The largest two neighbouring pin counts with their indexes, exact: a slip by one count shows.
    EXPECT_EQ(refused.bytesNeeded, 5'992'086u);
    EXPECT_FALSE(c.winningSequences(refused.bytesNeeded - 1).count);
    const auto allowed = c.winningSequences(refused.bytesNeeded);
    EXPECT_TRUE(allowed.count);
    // Three pins whose lines end on three squares: the one-pin count outweighs the two-pin one.
    const Board five(5);
    const auto late = Classification(five, place(five, {{2, 2}, {3, 2}, {1, 3}})).winningSequences(0);
    EXPECT_EQ(late.bytesNeeded, 2'126u);
    // The whole program's need adds its own code and the search's and the classification's sets.
    Solver solver(board);
    ASSERT_GT(solver.solve(board.start()).winnable ? solver.bytes() : 0, 0u);
    EXPECT_EQ(countWithin(c, solver, 0).bytesNeeded, kProgramBytes + solver.bytes() + c.bytes() + refused.bytesNeeded);
}

TEST(SolverFigures, NumbersBeyondSixtyFourBits) {
    EXPECT_EQ(toDecimal(0), "0");
    EXPECT_EQ(toDecimal(Count{18446744073709551615u}), "18446744073709551615");
    EXPECT_EQ(toDecimal(Count{18446744073709551615u} + 1), "18446744073709551616");
    EXPECT_EQ(toDecimal(~Count{0}), "340282366920938463463374607431768211455");

    // The count's tables keep 80 bits a position; the 7 x 7 start has 2^69 ways.
    EXPECT_EQ(toDecimal(kMostWays), "1208925819614629174706175");
    for (const Count n : {Count{0}, Count{1} << 64, (Count{1} << 64) - 1, (Count{34} << 64) + 7993952128104310493u,
                          kMostWays})
        EXPECT_EQ(toDecimal(unpack(pack(n))), toDecimal(n));
    EXPECT_EQ(toDecimal((Count{34} << 64) + 7993952128104310493u), "635183250634229065437");
    EXPECT_EQ(grouped((Count{34} << 64) + 7993952128104310493u), "635,183,250,634,229,065,437");

    // Positions on the progress line, in groups of three digits.
    Progress p;
    p.begin(Progress::Stage::reachable, 0);
    p.pins = 20;
    for (const auto& [done, text] : std::map<uint64_t, std::string>{
             {0, "0"}, {123, "123"}, {1234, "1,234"}, {24634801, "24,634,801"}, {219052688, "219,052,688"}}) {
        p.done = done;
        EXPECT_EQ(progressText(p), "到達できる局面を調べています: ピン 20 本、" + text + " 局面");
    }
    EXPECT_EQ(progressText(p, tori::Language::english), "Finding reachable positions: 20 pins, 219,052,688 positions");
}
