// The board: the triangle test, where a press lands, the size choice with its painting, and the new game.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>

#include "board/board_window.h"
#include "fake_toolkit.h"
#include "player_texts.h"
#include "game/board.h"
#include "moves/moves.h"

namespace tori::test {
namespace {


void expectExcluded(int16_t n, const std::set<int>& excluded) {
    for (int cell = -60; cell <= 120; ++cell) {
        const auto c = int16_t(cell);
        EXPECT_EQ(cellcheck(c, n), excluded.contains(cell) ? 0 : -1) << "cell " << cell << ", n " << n;
    }
}

TEST(Cellcheck, ExcludesTheLastSquaresOfEachRowBelowTheFirst) {
    expectExcluded(5, {10, 14, 15, 18, 19, 20, 22, 23, 24, 25});
    expectExcluded(6, {12, 17, 18, 22, 23, 24, 27, 28, 29, 30, 32, 33, 34, 35, 36});
    expectExcluded(7, {14, 20, 21, 26, 27, 28, 32, 33, 34, 35, 38, 39, 40, 41, 42, 44, 45, 46, 47, 48, 49});
}

TEST(Cellcheck, ExcludesNothingBelowTwoRows) {
    for (int16_t n : {-3, 0, 1}) expectExcluded(n, {});
}

TEST(Cellcheck, AgreesWithTheTriangleOnTheBoard) {
    for (int16_t n = 5; n <= 7; ++n)
        for (int16_t r = 1; r <= n; ++r)
            for (int16_t c = 1; c <= n; ++c)
                EXPECT_EQ(cellcheck(pinIndex(c, r, n), n), c + r <= n + 1 ? -1 : 0) << c << "," << r << " n " << n;
}

TEST(Pincount, CountsTheStartPositionOfEachSize) {
    GameState s;
    FakeToolkit tk(s);
    tk.start();
    const int16_t expected[] = {14, 20, 27};
    for (int16_t i = 0; i <= 2; ++i) {
        tk.choose(Menu::ketasu, i);
        EXPECT_EQ(pincount(tk), expected[i]);
    }
}

// A 5 × 5 board with its only pin, on (1,1), lifted: every triangle square is empty and no jump is
// possible, so a press inside the triangle only writes the pressed square into the history, which
// shows where a position lands.
struct LiftedOnFive : ::testing::Test {
    GameState s;
    FakeToolkit tk{s};
    void SetUp() override {
        tk.start();
        tk.choose(Menu::ketasu, 0);
        tk.setPins({1});
        tk.click(1, 1);
        s.tox[1] = s.toy[1] = 0;
    }
    // The square the press lands on, or (0, 0) when it lands on none.
    std::pair<int, int> landing(float x, float y) {
        s.tox[1] = s.toy[1] = 0;
        tk.press(x, y);
        return {s.tox[1], s.toy[1]};
    }
};

TEST_F(LiftedOnFive, PressesRoundToTheNearestTwipWithHalvesToEven) {
    using P = std::pair<int, int>;
    EXPECT_EQ(landing(449.4f, 600), P(0, 0));
    EXPECT_EQ(landing(449.5f, 600), P(1, 1));
    EXPECT_EQ(landing(600, 449.5f), P(1, 1));
    EXPECT_EQ(landing(899.4f, 600), P(1, 1));
    EXPECT_EQ(landing(899.5f, 600), P(2, 1));  // 900 either way
    EXPECT_EQ(landing(900.5f, 600), P(2, 1));  // 900, the even neighbour
    EXPECT_EQ(landing(1349.5f, 600), P(3, 1));  // 1350, the even neighbour
    EXPECT_EQ(landing(1350.5f, 1349.4f), P(3, 2));
    EXPECT_EQ(landing(2699.4f, 600), P(5, 1));
    EXPECT_TRUE(tk.messages.empty());
}

TEST_F(LiftedOnFive, TheRoundingDecidesTheTriangleMessage) {
    // (4,2) is inside the triangle, (5,2) outside: the message shows only from 2249.5 on.
    tk.press(2249.4f, 1000);
    EXPECT_TRUE(tk.messages.empty());
    tk.press(2249.5f, 1000);
    EXPECT_EQ(tk.messages, (std::vector<Message>{{std::string(kTriangleRefusal), 64}}));
    tk.messages.clear();
    // (5,1) is inside, (5,2) outside.
    tk.press(2400, 899.4f);
    EXPECT_TRUE(tk.messages.empty());
    tk.press(2400, 899.5f);
    EXPECT_EQ(tk.messages.size(), 1u);
}

TEST_F(LiftedOnFive, PositionsOnNoSquareAreIgnoredInSilence) {
    const float inf = std::numeric_limits<float>::infinity(), nan = std::numeric_limits<float>::quiet_NaN();
    const float odd[] = {-0.4f, -0.5f, -1, -449, -450, -451, -1e9f, 2700, 2700.5f, 1e6f, 32767, 40000, 1e9f,
                         3.4e38f, -3.4e38f, inf, -inf, nan};
    const GameState before = s;
    const auto pins = tk.visiblePins();
    for (float v : odd) {
        tk.press(v, 600);
        tk.press(600, v);
        tk.press(v, v);
    }
    EXPECT_EQ(s, before);
    EXPECT_EQ(tk.visiblePins(), pins);
    EXPECT_TRUE(tk.messages.empty());
    EXPECT_TRUE(tk.list.empty());
}

TEST(NewGame, LaysOutFiveByFive) {
    StartedGame game(5);
    auto& [s, tk] = game;
    const std::map<int16_t, std::pair<float, float>> expected = {
        {1, {450, 450}},   {2, {900, 450}},   {3, {1350, 450}},  {4, {1800, 450}},  {5, {2250, 450}},
        {6, {450, 900}},   {7, {900, 900}},   {8, {1350, 900}},  {9, {1800, 900}},  {11, {450, 1350}},
        {12, {900, 1350}}, {13, {1350, 1350}}, {16, {450, 1800}}, {17, {900, 1800}},
    };
    std::vector<int16_t> shown;
    for (const auto& [i, at] : expected) {
        shown.push_back(i);
        EXPECT_EQ(tk.pin(i).left, at.first) << i;
        EXPECT_EQ(tk.pin(i).top, at.second) << i;
    }
    EXPECT_EQ(tk.visiblePins(), shown);  // pin(0) and pin(18..49) among the hidden
    EXPECT_EQ(tk.pin(21).left, 450);
    EXPECT_EQ(tk.pin(21).top, 2250);

    const float at[] = {540, 990, 1440, 1890, 2340};
    for (int16_t i = 0; i <= 6; ++i) {
        const ControlState& column = tk.controls[{Form::Form1, Control::Label1, i}];
        const ControlState& row = tk.controls[{Form::Form1, Control::Label2, i}];
        EXPECT_EQ(column.visible, i <= 4) << i;
        EXPECT_EQ(row.visible, i <= 4) << i;
        if (i > 4) continue;
        EXPECT_EQ(column.caption, std::to_string(i + 1));
        EXPECT_EQ(row.caption, std::to_string(i + 1));
        EXPECT_EQ(column.left, at[i]);
        EXPECT_EQ(column.top, 180);
        EXPECT_EQ(row.left, 240);
        EXPECT_EQ(row.top, at[i]);
    }
    EXPECT_EQ(s.tesuu, 0);
    EXPECT_EQ(s.tesuumax, 0);
    EXPECT_EQ(s.picked, 0);
    EXPECT_EQ(s.undoused, 0);
    for (int16_t r = 1; r <= 5; ++r)
        for (int16_t c = 1; c <= 5; ++c) EXPECT_EQ(s.cellno[c][r], (r - 1) * 5 + c);
}

TEST(NewGame, LaysOutSevenBySeven) {
    StartedGame game(7);
    auto& [s, tk] = game;
    const std::vector<int16_t> shown = {1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 15,
                                        16, 17, 18, 19, 22, 23, 24, 25, 29, 30, 31, 36, 37};
    EXPECT_EQ(tk.visiblePins(), shown);
    EXPECT_EQ(tk.pin(43).left, 450);
    EXPECT_EQ(tk.pin(43).top, 3150);
    EXPECT_EQ(tk.pin(37).left, 900);
    EXPECT_EQ(tk.pin(37).top, 2700);
    for (int16_t i = 0; i <= 6; ++i) {
        EXPECT_TRUE((tk.controls[{Form::Form1, Control::Label1, i}].visible));
        EXPECT_TRUE((tk.controls[{Form::Form1, Control::Label2, i}].visible));
    }
    EXPECT_EQ((tk.controls[{Form::Form1, Control::Label1, 6}].left), 3240);
    EXPECT_EQ((tk.controls[{Form::Form1, Control::Label2, 6}].top), 3240);
    EXPECT_EQ((tk.controls[{Form::Form1, Control::Label1, 6}].caption), "7");
}

TEST(NewGame, SevenToFiveRewritesOnlyTheFiveByFiveBlock) {
    StartedGame game(7);
    auto& [s, tk] = game;
    play(tk, 1, 5, 1, 7);
    EXPECT_EQ(tk.pin(6).left, 6 * 450);
    EXPECT_EQ(tk.pin(6).top, 450);
    const GameState seven = s;

    tk.choose(Menu::ketasu, 0);
    EXPECT_EQ(tk.pin(6).left, 450);
    EXPECT_EQ(tk.pin(6).top, 900);
    EXPECT_TRUE(tk.pinVisible(6));
    for (int16_t i = 22; i <= 49; ++i) EXPECT_FALSE(tk.pinVisible(i)) << i;
    EXPECT_EQ(s.cellno[7][7], 49);
    for (int16_t r = 1; r <= 7; ++r)
        for (int16_t c = 1; c <= 7; ++c)
            EXPECT_EQ(s.cellno[c][r], c <= 5 && r <= 5 ? (r - 1) * 5 + c : seven.cellno[c][r]) << c << "," << r;
    // The history stays; a new game only resets the counters.
    EXPECT_EQ(s.frompin, seven.frompin);
    EXPECT_EQ(s.topin, seven.topin);
    EXPECT_EQ(s.lastcell, 43);
    EXPECT_EQ(s.tesuu, 0);
    EXPECT_TRUE(tk.list.empty());
}

TEST(NewGame, TheCursorKeepsItsSquareWhereTheNewTriangleHasItElseGoesToOneOne) {
    StartedGame g(7);
    g.tk.key(vbKeyUp);
    // From (column, row) on 7 × 7 to a size: where the cursor stands after.
    const int16_t rows[][5] = {{3, 3, 5, 3, 3}, {2, 5, 5, 1, 1}, {6, 2, 6, 1, 1}, {1, 6, 6, 1, 6}, {5, 1, 5, 5, 1}};
    for (const auto& r : rows) {
        g.s.curx = r[0], g.s.cury = r[1];
        g.tk.choose(Menu::ketasu, int16_t(r[2] - 5));
        g.tk.choose(Menu::menurestart);
        EXPECT_TRUE(g.s.curx == r[3] && g.s.cury == r[4] && g.tk.cursor().left == r[3] * 450 &&
                    g.tk.cursor().top == r[4] * 450 && g.tk.cursor().visible) << r[0] << "," << r[1];
        g.tk.choose(Menu::ketasu, 2);
    }
}

TEST(NewGame, RestartWhileLiftedRestoresTheStart) {
    StartedGame game(6);
    auto& [s, tk] = game;
    const auto start = tk.visiblePins();
    play(tk, 3, 4, 1, 6);
    tk.click(2, 2);
    tk.choose(Menu::menurestart);
    EXPECT_EQ(tk.visiblePins(), start);
    EXPECT_EQ(s.picked, 0);
    EXPECT_EQ(s.tesuu, 0);
    EXPECT_EQ(s.tesuumax, 0);
    EXPECT_TRUE(tk.list.empty());
    EXPECT_EQ(s.frompin[2], 8);  // history entries are kept
}

// The whole handler as the log records it, for one size.
std::vector<std::string> sizeChoiceLog(int16_t index, const std::vector<std::string>& painting) {
    const int n = index + 5;
    std::vector<std::string> log = {"pointer Form1 hourglass",
                                    "box 450,450-3600,3600",
                                    "uncheck ketasu(0)",
                                    "uncheck ketasu(1)",
                                    "uncheck ketasu(2)",
                                    "check ketasu(" + std::to_string(index) + ")",
                                    "enable menurestart(0)"};
    log.insert(log.end(), painting.begin(), painting.end());
    const auto at = [](int v) { return std::to_string(v); };
    const int vertex = n * n - n + 1;
    log.insert(log.end(), {"list clear", "left Form1.pin(" + at(vertex) + ") 450",
                           "top Form1.pin(" + at(vertex) + ") " + at(n * 450)});
    for (int i = 0; i <= 49; ++i) log.push_back("hide Form1.pin(" + at(i) + ")");
    for (int i = 1; i <= 6; ++i) {
        log.push_back("hide Form1.Label1(" + at(i) + ")");
        log.push_back("hide Form1.Label2(" + at(i) + ")");
    }
    for (int i = 0; i < n; ++i) {
        const std::string l1 = "Form1.Label1(" + at(i) + ")", l2 = "Form1.Label2(" + at(i) + ")";
        log.insert(log.end(), {"left " + l1 + " " + at(540 + 450 * i), "top " + l1 + " 180", "left " + l2 + " 240",
                               "top " + l2 + " " + at(540 + 450 * i), "caption " + l1 + " " + at(i + 1),
                               "caption " + l2 + " " + at(i + 1), "show " + l1, "show " + l2});
    }
    log.insert(log.end(), {"left Form1.Shape1(0) 450", "top Form1.Shape1(0) 450"});  // the cursor, on (1,1)
    for (int r = 1; r < n; ++r)
        for (int c = 1; c + r <= n + 1; ++c) {
            const std::string pin = "Form1.pin(" + at((r - 1) * n + c) + ")";
            log.insert(log.end(), {"left " + pin + " " + at(c * 450), "top " + pin + " " + at(r * 450), "show " + pin});
        }
    log.push_back("pointer Form1 default");
    return log;
}

TEST(SizeChoice, PaintsFiveByFiveAndLaysOutTheGameInOrder) {
    StartedGame game(7);
    auto& [s, tk] = game;
    tk.strokes.clear();
    tk.log.clear();
    tk.choose(Menu::ketasu, 0);
    const std::vector<std::string> painting = {
        "box 450,450-2700,2700",
        "line 2700,900-900,2700",  // the hypotenuse
        "line 2700,900-900,2700",   "line 2700,1350-1350,2700", "line 2700,1800-1800,2700",
        "line 2700,2250-2250,2700", "line 2700,2700-2700,2700",
        "line 450,450-450,2700",    "line 450,450-2700,450",    "line 900,450-900,2700",
        "line 450,900-2700,900",    "line 1350,450-1350,2700",  "line 450,1350-2700,1350",
        "line 1800,450-1800,2700",  "line 450,1800-2700,1800",  "line 2250,450-2250,2700",
        "line 450,2250-2700,2250",  "line 2700,450-2700,2700",  "line 450,2700-2700,2700",
    };
    EXPECT_EQ(std::vector<std::string>(tk.log.begin() + 5, tk.log.end()), sizeChoiceLog(0, painting));
    ASSERT_EQ(tk.strokes.size(), 20u);
    EXPECT_EQ(tk.strokes[0], (Stroke{true, 450, 450, 3600, 3600, {128, 128, 128}}));
    EXPECT_EQ(tk.strokes[1], (Stroke{true, 450, 450, 2700, 2700, {0, 128, 0}}));
    for (size_t i = 2; i < tk.strokes.size(); ++i) {
        EXPECT_FALSE(tk.strokes[i].box);
        EXPECT_EQ(tk.strokes[i].colour, (Rgb{0, 0, 0}));
    }
}

TEST(SizeChoice, PaintsSevenBySevenAndLaysOutTheGameInOrder) {
    GameState s;
    FakeToolkit tk(s);
    tk.start();
    tk.log.clear();
    tk.choose(Menu::ketasu, 2);
    const std::vector<std::string> painting = {
        "box 450,450-3600,3600",
        "line 3600,900-900,3600",
        "line 3600,900-900,3600",   "line 3600,1350-1350,3600", "line 3600,1800-1800,3600",
        "line 3600,2250-2250,3600", "line 3600,2700-2700,3600", "line 3600,3150-3150,3600",
        "line 3600,3600-3600,3600",
        "line 450,450-450,3600",    "line 450,450-3600,450",    "line 900,450-900,3600",
        "line 450,900-3600,900",    "line 1350,450-1350,3600",  "line 450,1350-3600,1350",
        "line 1800,450-1800,3600",  "line 450,1800-3600,1800",  "line 2250,450-2250,3600",
        "line 450,2250-3600,2250",  "line 2700,450-2700,3600",  "line 450,2700-3600,2700",
        "line 3150,450-3150,3600",  "line 450,3150-3600,3150",  "line 3600,450-3600,3600",
        "line 450,3600-3600,3600",
    };
    EXPECT_EQ(std::vector<std::string>(tk.log.begin() + 5, tk.log.end()), sizeChoiceLog(2, painting));
    EXPECT_EQ(tk.strokes[1], (Stroke{true, 450, 450, 3600, 3600, {0, 128, 0}}));
}

TEST(SizeChoice, ChecksExactlyTheChosenSizeAndEnablesRestart) {
    GameState s;
    FakeToolkit tk(s);
    tk.start();
    for (int16_t index : {2, 0, 1, 1}) {
        tk.click(1, 1);
        tk.choose(Menu::ketasu, index);
        EXPECT_EQ(s.keta, index + 5);
        for (int16_t i = 0; i <= 2; ++i) EXPECT_EQ(tk.menu(Menu::ketasu, i).checked, i == index);
        EXPECT_TRUE(tk.menu(Menu::menurestart).enabled);
        EXPECT_EQ(s.picked, 0);
        EXPECT_EQ(pincount(tk), (index + 5) * (index + 6) / 2 - 1);
    }
}

TEST(SizeChoice, PressesBeforeAnySizeAreIgnored) {
    GameState s;
    FakeToolkit tk(s);
    tk.start();
    for (int16_t col = 0; col <= 8; ++col)
        for (int16_t row = 0; row <= 8; ++row) tk.pressSquare(col, row);
    EXPECT_TRUE(tk.messages.empty());
    EXPECT_EQ(s, [] {
        GameState started;
        started.lastcell = 43;
        return started;
    }());
}

}  // namespace
}  // namespace tori::test
