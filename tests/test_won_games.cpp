// Whole games won click by click from the start position of each size.
#include <gtest/gtest.h>

#include "fake_toolkit.h"
#include "fuzz/peg_rules.h"
#include "game/board.h"
#include "moves/record.h"

namespace tori::test {
namespace {

class WonGame : public ::testing::TestWithParam<int16_t> {};

TEST_P(WonGame, IsPlayedClickByClickFromTheStart) {
    const int16_t keta = GetParam();
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
        tk.click(from.col, from.row);
        tk.click(to.col, to.row);
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
}

INSTANTIATE_TEST_SUITE_P(EverySize, WonGame, ::testing::Values(5, 6, 7));

}  // namespace
}  // namespace tori::test
