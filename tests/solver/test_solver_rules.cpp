// The solver's board and jumps against the game itself: every jump the solver generates is one the
// game's handlers accept, and no other.
#include <gtest/gtest.h>

#include <random>
#include <set>
#include <tuple>

#include "fake_toolkit.h"
#include "game/board.h"
#include "solver/board.h"

using namespace tori;
using namespace tori::solver;
using tori::test::FakeToolkit;

namespace {

using Triple = std::tuple<int, int, int>;  // lifted pin, jumped pin, destination, as pin indices

// The position on the game's board, read from the pin buttons.
Position fromGame(FakeToolkit& tk, const Board& board) {
    Position pos = 0;
    for (int pin = 1; pin <= kPinButtons; ++pin) {
        if (!tk.pinVisible(int16_t(pin))) continue;
        const int bit = board.bitOf(pin);
        EXPECT_GE(bit, 0) << "a pin stands outside the triangle: " << pin;
        if (bit >= 0) pos |= Position{1} << bit;
    }
    return pos;
}

std::set<Triple> solverJumps(const Board& board, Position pos) {
    std::set<Triple> out;
    auto pin = [&](int bit) { return board.pinIndex(board.col(bit), board.row(bit)); };
    board.forEachMove(pos, [&](const Jump& j) { out.insert({pin(j.from), pin(j.over), pin(j.to)}); });
    return out;
}

// Tries every lift of a pin onto every empty grid square in the game, taking each attempt back with
// undo, and collects the jumps the game carried out.
std::set<Triple> gameJumps(FakeToolkit& tk) {
    GameState& s = tk.state;
    const int16_t keta = s.keta;
    std::set<Triple> out;
    const std::vector<int16_t> pins = tk.visiblePins();
    for (int16_t p : pins) {
        if (p == 0) continue;
        for (int16_t row = 1; row <= keta; ++row)
            for (int16_t col = 1; col <= keta; ++col) {
                const int16_t d = pinIndex(col, row, keta);
                if (tk.pinVisible(d)) continue;
                const size_t listed = tk.list.size();
                tk.clickPin(p);
                tk.click(col, row);
                if (tk.list.size() == listed + 1) out.insert({p, s.overpin[s.tesuu], d});
                tk.choose(Menu::menuundo);
                tk.log.clear();
                tk.messages.clear();
            }
    }
    return out;
}

}  // namespace

TEST(SolverBoard, TriangleSquaresAndStartPosition) {
    for (int keta = kMinKeta; keta <= kMaxKeta; ++keta) {
        const Board board(keta);
        EXPECT_EQ(board.squares(), keta * (keta + 1) / 2);
        EXPECT_EQ(pins(board.start()), board.squares() - 1);
        EXPECT_FALSE(board.start() >> board.bitOf(keta * keta - keta + 1) & 1) << "the bottom vertex starts empty";
        for (int pin = 1; pin <= keta * keta; ++pin) {
            const bool inside = cellcheck(int16_t(pin), int16_t(keta)) == kTrue;
            EXPECT_EQ(board.bitOf(pin) >= 0, inside) << keta << " " << pin;
        }
    }
}

TEST(SolverBoard, TheEightRowWrappingJumpsAreLegal) {
    for (int n = kMinKeta; n <= kMaxKeta; ++n) {
        const Board board(n);
        auto bit = [&](int col, int row) { return board.bitOf(board.pinIndex(col, row)); };
        const int wraps[8][6] = {{1, 1, n, 1, n - 1, 2}, {n, 1, 1, 3, 2, 4}, {2, 4, 1, 3, n, 1},
                                 {n - 1, 2, n, 1, 1, 1}, {1, 2, n, 1, n - 1, 1}, {2, 2, 1, 2, n, 1},
                                 {n - 1, 1, n, 1, 1, 2}, {n, 1, 1, 2, 2, 2}};
        for (const auto& w : wraps) {
            const Jump* j = board.jumpBetween(bit(w[0], w[1]), bit(w[4], w[5]));
            ASSERT_NE(j, nullptr) << n << ": (" << w[0] << "," << w[1] << ") to (" << w[4] << "," << w[5] << ")";
            EXPECT_EQ(j->over, bit(w[2], w[3]));
        }
    }
}

TEST(SolverBoard, NoJumpLandsOutsideTheTriangle) {
    // (4,1) over (5,1) lands on index 6 of the 5 x 5 board, which is (1,2) and inside;
    // (5,2) would be index 10, which is outside, and so is every landing that needs it.
    const Board board(5);
    for (const Jump& j : board.jumps()) {
        EXPECT_TRUE(board.inTriangle(board.col(j.to), board.row(j.to)));
        EXPECT_TRUE(board.inTriangle(board.col(j.over), board.row(j.over)));
    }
    EXPECT_EQ(board.bitOf(10), -1);
}

class SolverAgainstGame : public ::testing::TestWithParam<int> {};

TEST_P(SolverAgainstGame, SameJumpsOnRandomGames) {
    const int keta = GetParam();
    const Board board(keta);
    std::mt19937 rng(unsigned(1000 + keta));
    const int games = keta == 7 ? 4 : 10;
    for (int game = 0; game < games; ++game) {
        GameState s;
        FakeToolkit tk(s);
        tk.start();
        tk.choose(Menu::ketasu, int16_t(keta - 5));
        for (int move = 0;; ++move) {
            const Position pos = fromGame(tk, board);
            const std::set<Triple> accepted = gameJumps(tk);
            ASSERT_EQ(fromGame(tk, board), pos) << "trying the jumps changed the board";
            ASSERT_EQ(solverJumps(board, pos), accepted) << "size " << keta << ", game " << game << ", move " << move;
            if (accepted.empty()) break;
            // Go on with a jump the game chose to accept, picked at random.
            auto it = accepted.begin();
            std::advance(it, long(rng() % accepted.size()));
            const auto [from, over, to] = *it;
            tk.clickPin(int16_t(from));
            tk.click(int16_t((to - 1) % keta + 1), int16_t((to - 1) / keta + 1));
            ASSERT_FALSE(tk.pinVisible(int16_t(over)));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(AllSizes, SolverAgainstGame, ::testing::Values(5, 6, 7));
