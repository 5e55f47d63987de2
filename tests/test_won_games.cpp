// Whole games won click by click from the start position of each size.
#include <gtest/gtest.h>

#include "fake_toolkit.h"
#include "fuzz/peg_rules.h"
#include "game/board.h"
#include "moves/moves.h"
#include "moves/record.h"

namespace tori::test {
namespace {

// By the mouse, or by the keyboard alone: arrows to the square, then Space to lift, Enter to jump.
class WonGame : public ::testing::TestWithParam<std::tuple<int16_t, bool>> {};

// Up and left first, then right and down: every step stays on the triangle.
void walk(FakeToolkit& tk, Square to) {
    const auto steps = [&](int n, int16_t code) { for (; n > 0; --n) tk.key(code); };
    const int col = tk.state.curx, row = tk.state.cury;
    steps(col - to.col, vbKeyLeft);
    steps(row - to.row, vbKeyUp);
    steps(to.col - col, vbKeyRight);
    steps(to.row - row, vbKeyDown);
    ASSERT_TRUE(tk.state.curx == to.col && tk.state.cury == to.row) << tk.state.curx << "," << tk.state.cury;
}

TEST_P(WonGame, IsPlayedClickByClickFromTheStart) {
    const auto [keta, byKeys] = GetParam();
    const auto line = findWin(startPosition(keta), keta);
    ASSERT_TRUE(line) << "no winning line on " << keta;
    ASSERT_EQ(line->size(), size_t(keta * (keta + 1) / 2 - 2));

    GameState s;
    FakeToolkit tk(s);
    tk.start();
    tk.choose(Menu::ketasu, int16_t(keta - 5));
    tk.answers = {vbYes};
    std::vector<std::string> expected;
    for (size_t t = 0; t < line->size(); ++t) {
        const Jump& j = (*line)[t];
        const Square from = squareOf(j.from, keta), to = squareOf(j.to, keta);
        ASSERT_TRUE(tk.pinVisible(j.from));
        ASSERT_FALSE(tk.pinVisible(j.to));
        if (byKeys) {
            if (t == 0) tk.key(vbKeyUp);  // shows the cursor
            walk(tk, from);
            tk.key(vbKeySpace);
            walk(tk, to);
            tk.key(vbKeyReturn);
        } else {
            tk.click(from.col, from.row);
            tk.click(to.col, to.row);
        }
        expected.push_back(recordLine(int16_t(t + 1), from.col, from.row, to.col, to.row));
        if (t + 1 < line->size()) {
            ASSERT_EQ(tk.list, expected);
            ASSERT_EQ(pincount(tk), int(line->size() - t));
            ASSERT_TRUE(tk.messages.empty()) << tk.messages[0].prompt;
        }
    }
    EXPECT_EQ(tk.listAtMessage, expected);
    EXPECT_EQ(tk.messages, (std::vector<Message>{{"クリア!!!おめでとう御座います。もう一度しますか?", 68}}));
    EXPECT_EQ(tk.sounds, std::vector<std::string>{"tada.wav"});
    // Yes laid out the same size again.
    EXPECT_EQ(s.keta, keta);
    EXPECT_EQ(s.tesuu, 0);
    EXPECT_TRUE(tk.list.empty());
    EXPECT_EQ(pincount(tk), keta * (keta + 1) / 2 - 1);
    EXPECT_FALSE(tk.ended);
    // The cursor stays where the last jump landed.
    EXPECT_EQ(tk.cursor().visible, byKeys);
    const Square last = squareOf(line->back().to, keta);
    EXPECT_TRUE(!byKeys || (s.curx == last.col && s.cury == last.row));
}

INSTANTIATE_TEST_SUITE_P(EverySize, WonGame, ::testing::Combine(::testing::Values(5, 6, 7), ::testing::Bool()));

}  // namespace
}  // namespace tori::test
