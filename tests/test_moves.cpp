// Moves: lifting, the eight jump directions with their bounds, refusals, the move record and the won game.
#include <gtest/gtest.h>

#include "fake_toolkit.h"
#include "player_texts.h"
#include "fuzz/peg_rules.h"
#include "game/board.h"
#include "moves/directions.h"
#include "moves/moves.h"
#include "moves/record.h"

namespace tori::test {
namespace {

TEST(Lift, OpensTheMoveAndHidesThePin) {
    StartedGame g(5);
    g.tk.click(5, 1);
    EXPECT_EQ(g.s.picked, -1);
    EXPECT_EQ(g.s.tesuu, 1);
    EXPECT_EQ(g.s.tesuumax, 1);
    EXPECT_EQ(g.s.frompin[1], 5);
    EXPECT_EQ(g.s.redofrom[1], 5);
    EXPECT_EQ(g.s.fromx[1], 5);  // the last column, not (0, 2)
    EXPECT_EQ(g.s.fromy[1], 1);
    EXPECT_FALSE(g.tk.pinVisible(5));
    EXPECT_EQ(g.tk.log, (std::vector<std::string>{"event pin_Click 5", "hide Form1.pin(5)"}));
}

TEST(Lift, ComputesTheSquareOfEveryPin) {
    for (int16_t keta = 5; keta <= 7; ++keta) {
        for (int16_t i = 1; i <= keta * keta; ++i) {
            if (!inTriangle(i, keta)) continue;
            StartedGame g(keta);
            g.tk.setPins({i});
            g.tk.clickPin(i);
            const Square q = squareOf(i, keta);
            EXPECT_EQ(g.s.fromx[1], q.col) << i << " on " << keta;
            EXPECT_EQ(g.s.fromy[1], q.row) << i << " on " << keta;
        }
    }
}

TEST(Lift, AnotherPinWhileLiftedIsRefusedAndNothingChanges) {
    StartedGame g(6);
    g.tk.click(2, 2);
    const GameState lifted = g.s;
    const auto pins = g.tk.visiblePins();
    g.tk.click(1, 1);
    g.tk.click(3, 3);
    EXPECT_EQ(g.tk.messages, (std::vector<Message>{{std::string(kLiftedRefusal), 64}, {std::string(kLiftedRefusal), 64}}));
    EXPECT_EQ(g.s, lifted);
    EXPECT_EQ(g.tk.visiblePins(), pins);
}

TEST(Lift, APinWithNoJumpCanBeLiftedAndStaysLifted) {
    StartedGame g(5);
    g.only({{1, 1}, {3, 3}});
    g.tk.click(1, 1);
    EXPECT_EQ(g.s.picked, -1);
    for (int16_t c = 1; c <= 5; ++c)
        for (int16_t r = 1; c + r <= 6; ++r)
            if (c != 3 || r != 3) g.tk.pressSquare(c, r);
    EXPECT_EQ(g.s.picked, -1);
    EXPECT_EQ(g.s.tesuu, 1);
    EXPECT_TRUE(g.tk.list.empty());
    EXPECT_TRUE(g.tk.messages.empty());
}

// One jump in each direction of the table, in the middle of the board.
struct StraightJump {
    Sq from, over, to;
};
const StraightJump kStraight[] = {
    {{3, 1}, {2, 2}, {1, 3}},  // two rows down, two columns left
    {{1, 1}, {2, 2}, {3, 3}},  // two rows down, two columns right
    {{3, 3}, {2, 2}, {1, 1}},  // two rows up, two columns left
    {{1, 3}, {2, 2}, {3, 1}},  // two rows up, two columns right
    {{3, 1}, {2, 1}, {1, 1}},  // same row, two columns left
    {{1, 1}, {2, 1}, {3, 1}},  // same row, two columns right
    {{1, 3}, {1, 2}, {1, 1}},  // two rows up, same column
    {{1, 1}, {1, 2}, {1, 3}},  // two rows down, same column
};

TEST(Jump, EveryDirectionJumpsOverAPinOnEverySize) {
    for (int16_t keta = 5; keta <= 7; ++keta) {
        for (const auto& j : kStraight) {
            StartedGame g(keta);
            g.only({j.from, j.over});
            g.tk.click(j.from.col, j.from.row);
            g.tk.pressSquare(j.to.col, j.to.row);
            EXPECT_EQ(g.tk.visiblePins(), std::vector<int16_t>{g.at(j.to)}) << keta;
            EXPECT_EQ(g.s.overpin[1], g.at(j.over));
            EXPECT_EQ(g.s.redoover[1], g.at(j.over));
            EXPECT_EQ(g.s.topin[1], g.at(j.to));
            EXPECT_EQ(g.s.redoto[1], g.at(j.to));
            EXPECT_EQ(g.s.picked, 0);
            EXPECT_EQ(g.tk.list.size(), 1u);
        }
    }
}

TEST(Jump, NoPinInBetweenNoJumpInEveryDirection) {
    for (int16_t keta = 5; keta <= 7; ++keta) {
        for (const auto& j : kStraight) {
            StartedGame g(keta);
            g.only({j.from, {keta, 1}});
            g.tk.click(j.from.col, j.from.row);
            g.tk.pressSquare(j.to.col, j.to.row);
            EXPECT_EQ(g.s.picked, -1);
            EXPECT_EQ(g.s.tesuu, 1);
            EXPECT_FALSE(g.tk.pinVisible(g.at(j.to)));
            EXPECT_EQ(g.s.tox[1], j.to.col);  // the pressed square is written all the same
            EXPECT_EQ(g.s.toy[1], j.to.row);
            EXPECT_TRUE(g.tk.list.empty());
            EXPECT_TRUE(g.tk.messages.empty());
        }
    }
}

TEST(Jump, EachDirectionHasItsBoundOnTheJumpedIndex) {
    // Just inside and just outside each bound on the 7 × 7 board with lastcell 43.
    struct Case {
        int16_t from, to, jumped;
    };
    const Case inside[] = {{37, 49, 43}, {35, 51, 43}, {9, -7, 1}, {7, -5, 1},
                           {2, 0, 1},    {42, 44, 43}, {8, -6, 1}, {36, 50, 43}};
    const Case outside[] = {{38, 50, 44}, {36, 52, 44}, {8, -8, 0}, {6, -6, 0},
                            {1, -1, 0},   {43, 45, 44}, {7, -7, 0}, {37, 51, 44}};
    for (int row = 0; row < 8; ++row) {
        EXPECT_EQ(jumpedOver(inside[row].from, inside[row].to, 7, 43), inside[row].jumped) << "row " << row + 1;
        EXPECT_EQ(jumpedOver(outside[row].from, outside[row].to, 7, 43), std::nullopt) << "row " << row + 1;
    }
    // The bound is lastcell itself, not a constant.
    EXPECT_EQ(jumpedOver(1, 9, 5, 5), std::optional<int16_t>(5));
    EXPECT_EQ(jumpedOver(1, 9, 5, 4), std::nullopt);
    EXPECT_EQ(jumpedOver(1, 11, 5, 6), std::optional<int16_t>(6));
    EXPECT_EQ(jumpedOver(1, 11, 5, 5), std::nullopt);
}

TEST(Jump, TheHandlerReadsTheBoundFromLastcell) {
    StartedGame g(5);
    g.only({{1, 1}, {1, 2}});
    g.s.lastcell = 5;  // below the jumped index 6
    g.tk.click(1, 1);
    g.tk.pressSquare(1, 3);
    EXPECT_EQ(g.s.picked, -1);
    g.s.lastcell = 6;
    g.tk.pressSquare(1, 3);
    EXPECT_EQ(g.s.picked, 0);
}

TEST(Jump, TheEightWrapAroundMovesArePlayedOnEverySize) {
    for (int16_t n = 5; n <= 7; ++n) {
        const int16_t m = int16_t(n - 1);
        const struct {
            Sq from, over, to;
        } wraps[] = {
            {{1, 1}, {n, 1}, {m, 2}}, {{n, 1}, {1, 3}, {2, 4}}, {{2, 4}, {1, 3}, {n, 1}}, {{m, 2}, {n, 1}, {1, 1}},
            {{1, 2}, {n, 1}, {m, 1}}, {{2, 2}, {1, 2}, {n, 1}}, {{m, 1}, {n, 1}, {1, 2}}, {{n, 1}, {1, 2}, {2, 2}},
        };
        for (const auto& w : wraps) {
            StartedGame g(n);
            g.only({w.from, w.over});
            g.tk.click(w.from.col, w.from.row);
            g.tk.pressSquare(w.to.col, w.to.row);
            EXPECT_EQ(g.tk.visiblePins(), std::vector<int16_t>{g.at(w.to)}) << n;
            const std::string line = recordLine(1, w.from.col, w.from.row, w.to.col, w.to.row);
            EXPECT_EQ(g.tk.list, std::vector<std::string>{line});
            // Taken back and played again like any other move.
            g.tk.choose(Menu::menuundo);
            EXPECT_EQ(g.tk.visiblePins(), (std::vector<int16_t>{std::min(g.at(w.from), g.at(w.over)),
                                                                std::max(g.at(w.from), g.at(w.over))}));
            g.tk.choose(Menu::menuredo);
            EXPECT_EQ(g.tk.visiblePins(), std::vector<int16_t>{g.at(w.to)});
            EXPECT_EQ(g.tk.list, std::vector<std::string>{line});
        }
    }
}

TEST(Jump, ShiftAndCtrlChangeNothing) {
    for (int16_t shift : {1, 2, 3}) {
        StartedGame g(5);
        g.tk.click(3, 3);
        g.tk.press(1 * 450 + 225, 5 * 450 + 225, vbLeftButton, shift);
        EXPECT_EQ(g.tk.list, std::vector<std::string>{"1 手目 (3,3) ---> (1,5)"}) << shift;
        g.tk.press(5 * 450 + 225, 5 * 450 + 225, vbLeftButton, shift);
        EXPECT_EQ(g.tk.messages, (std::vector<Message>{{std::string(kTriangleRefusal), 64}})) << shift;
    }
}

TEST(Jump, TheWorkedExampleOfTheFirstMove) {
    StartedGame g(5);
    g.tk.click(3, 3);
    g.tk.pressSquare(1, 5);
    EXPECT_EQ(g.tk.log, (std::vector<std::string>{"event pin_Click 13", "hide Form1.pin(13)",
                                                  "event Form_MouseDown 1 675,2475", "show Form1.pin(21)",
                                                  "hide Form1.pin(17)", "list append 1 手目 (3,3) ---> (1,5)"}));
    EXPECT_EQ(g.s.overpin[1], 17);
    EXPECT_EQ(g.s.tox[1], 1);
    EXPECT_EQ(g.s.toy[1], 5);
    EXPECT_EQ(pincount(g.tk), 13);
}

using P = std::pair<int, int>;

TEST(Keys, ArrowsShowTheCursorThenWalkTheTriangleAPressHidesIt) {
    for (int16_t keta = 5; keta <= 7; ++keta) {
        StartedGame g(keta);
        g.tk.key(vbKeyReturn);  // nothing on a cursor not shown
        g.tk.key(vbKeyDown);    // shows it on (1,1), moving nothing
        ASSERT_TRUE(g.tk.cursor().visible && P(g.s.curx, g.s.cury) == P(1, 1) && g.tk.pinVisible(1));
        const int16_t keys[] = {vbKeyLeft, vbKeyRight, vbKeyUp, vbKeyDown, 65};
        const int dc[] = {-1, 1, 0, 0, 0}, dr[] = {0, 0, -1, 1, 0};
        for (int16_t col = 1; col <= keta; ++col)
            for (int16_t row = 1; col + row <= keta + 1; ++row)
                for (int k = 0; k < 5; ++k) {
                    g.s.curx = col, g.s.cury = row;
                    g.tk.key(keys[k]);
                    const int c = col + dc[k], r = row + dr[k];
                    const P want = c >= 1 && r >= 1 && c + r <= keta + 1 ? P(c, r) : P(col, row);
                    EXPECT_EQ(P(g.s.curx, g.s.cury), want) << col << "," << row << " key " << keys[k];
                    if (want != P(col, row)) {
                        EXPECT_EQ(P(g.tk.cursor().left, g.tk.cursor().top), P(c * 450, r * 450));
                    }
                }
        g.tk.pressSquare(8, 8);
        const GameState hidden = g.s;
        g.tk.key(vbKeySpace);
        g.tk.key(vbKeyUp);  // shows it where it was
        EXPECT_EQ(g.s, hidden);
        EXPECT_TRUE(g.tk.cursor().visible);
    }
}

TEST(Keys, SpaceAndEnterClickTheCursorsSquareAndCellnameSaysWhatStandsThere) {
    StartedGame g(5);
    for (int16_t k : {vbKeyUp, vbKeyRight, vbKeyRight, vbKeyDown, vbKeyDown, vbKeySpace}) g.tk.key(k);
    EXPECT_EQ(cellname(g.s, g.tk, 3, 3), "(3,3) 持ち上げ中");
    for (int16_t k : {vbKeyLeft, vbKeyLeft, vbKeyDown, vbKeyDown, vbKeyReturn}) g.tk.key(k);
    EXPECT_EQ(g.tk.list, std::vector<std::string>{"1 手目 (3,3) ---> (1,5)"});
    EXPECT_EQ(cellname(g.s, g.tk, 1, 5) + cellname(g.s, g.tk, 2, 4) + cellname(g.s, g.tk, 3, 3), "(1,5) ピン(2,4) 空き(3,3) 空き");
    for (Sq off : {Sq{2, 5}, Sq{0, 1}, Sq{6, 1}}) EXPECT_EQ(cellname(g.s, g.tk, off.col, off.row), "");
    g.tk.click(1, 1);
    EXPECT_FALSE(g.tk.cursor().visible);
}

TEST(Press, OutsideTheTriangleIsRefusedWithOrWithoutALiftedPin) {
    for (int16_t keta = 5; keta <= 7; ++keta) {
        StartedGame g(keta);
        g.tk.pressSquare(keta, 2);
        g.tk.pressSquare(keta, keta);
        g.tk.pressSquare(2, keta);
        g.tk.click(1, 1);
        const GameState lifted = g.s;
        g.tk.pressSquare(keta, 2);
        EXPECT_EQ(g.s, lifted);
        EXPECT_EQ(g.tk.messages, std::vector<Message>(4, Message{std::string(kTriangleRefusal), 64}));
        EXPECT_TRUE(g.tk.list.empty());
    }
}

TEST(Press, IsSilentWhereThereIsNothingToDo) {
    StartedGame g(5);
    const GameState started = g.s;
    // Margins, beyond the grid, and the empty corner with no pin lifted.
    for (int16_t i = 0; i <= 7; ++i) {
        g.tk.pressSquare(0, i);
        g.tk.pressSquare(i, 0);
        g.tk.pressSquare(6, i);
        g.tk.pressSquare(i, 6);
    }
    g.tk.pressSquare(1, 5);
    EXPECT_EQ(g.s, started);

    // A pin lifted: its own square, squares at a wrong distance.
    g.only({{1, 1}, {2, 1}, {1, 2}});
    g.tk.click(1, 1);
    g.tk.pressSquare(1, 1);
    EXPECT_EQ(g.s.tox[1], 1);
    EXPECT_EQ(g.s.toy[1], 1);
    for (Sq q : std::initializer_list<Sq>{{4, 1}, {1, 4}, {2, 3}, {3, 2}, {2, 2}, {5, 1}, {1, 5}}) {
        g.tk.pressSquare(q.col, q.row);
        EXPECT_EQ(g.s.tox[1], q.col);
        EXPECT_EQ(g.s.toy[1], q.row);
    }
    EXPECT_EQ(g.s.picked, -1);
    EXPECT_EQ(g.tk.visiblePins(), (std::vector<int16_t>{2, 6}));
    EXPECT_TRUE(g.tk.messages.empty());
    EXPECT_TRUE(g.tk.list.empty());
}

TEST(Record, OneLinePerJumpAndNoneForRefusals) {
    StartedGame g(6);
    g.tk.click(3, 4);
    g.tk.pressSquare(6, 6);  // outside
    g.tk.pressSquare(1, 5);  // wrong distance
    g.tk.pressSquare(3, 4);  // own square
    g.tk.pressSquare(1, 6);  // the jump over (2,5)
    g.tk.click(1, 4);
    g.tk.pressSquare(3, 4);  // over (2,4)
    EXPECT_EQ(g.tk.list, (std::vector<std::string>{"1 手目 (3,4) ---> (1,6)", "2 手目 (1,4) ---> (3,4)"}));
    EXPECT_EQ(g.tk.logCount("list append"), 2u);
}

TEST(Record, MoveNumbersOfTwoDigitsAreWrittenInFull) {
    StartedGame g(5);
    g.only({{1, 1}, {2, 1}, {5, 1}});
    g.s.tesuu = g.s.tesuumax = 11;  // as after eleven moves
    play(g.tk, 1, 1, 3, 1);
    EXPECT_EQ(g.tk.list.back(), "12 手目 (1,1) ---> (3,1)");
}

TEST(Win, TheLastPinPlaysTheSoundThenAsks) {
    StartedGame game(5);
    auto& [s, tk] = game;
    tk.setPins({1, 2});
    tk.answers = {vbYes};
    tk.log.clear();
    play(tk, 1, 1, 3, 1);
    const std::vector<std::string> expected = {
        "event pin_Click 1", "hide Form1.pin(1)", "event Form_MouseDown 1 1575,675", "show Form1.pin(3)",
        "hide Form1.pin(2)", "list append 1 手目 (1,1) ---> (3,1)", "doevents", "doevents", "sound tada.wav 1",
        "msgbox 68 " + std::string(kWinQuestion), "list clear"};
    EXPECT_EQ(std::vector<std::string>(tk.log.begin(), tk.log.begin() + 11), expected);
    EXPECT_EQ(tk.listAtMessage, std::vector<std::string>{"1 手目 (1,1) ---> (3,1)"});
    EXPECT_EQ(tk.pickedAtMessage, 0);
    // Yes: the same size again.
    EXPECT_EQ(s.keta, 5);
    EXPECT_EQ(s.tesuu, 0);
    EXPECT_TRUE(tk.list.empty());
    EXPECT_EQ(pincount(tk), 14);
    EXPECT_EQ(tk.log.back(), "show Form1.pin(17)");
    EXPECT_FALSE(tk.ended);
}

TEST(Win, InputQueuedAtTheWinIsHandledBeforeTheMessage) {
    StartedGame game(5);
    GameState& s = game.s;
    FakeToolkit& tk = game.tk;  // a lambda below takes it, which a structured binding cannot be for clang 14
    tk.setPins({1, 2});
    tk.answers = {vbYes};
    tk.onDoEvents = [&] { tk.clickPin(3); };  // the player clicked the last pin meanwhile
    play(tk, 1, 1, 3, 1);
    const auto from = std::find(tk.log.begin(), tk.log.end(), "doevents");
    ASSERT_NE(from, tk.log.end());
    EXPECT_EQ(std::vector<std::string>(from, from + 6),
              (std::vector<std::string>{"doevents", "event pin_Click 3", "hide Form1.pin(3)", "doevents",
                                        "sound tada.wav 1", "msgbox 68 " + std::string(kWinQuestion)}));
    EXPECT_EQ(tk.pickedAtMessage, -1);
    EXPECT_EQ(s.tesuu, 0);  // Yes laid out a new game all the same
    EXPECT_EQ(pincount(tk), 14);
}

TEST(Win, NoEndsTheProgramAtOnce) {
    StartedGame g(7);
    g.only({{1, 1}, {1, 2}});
    g.tk.answers = {vbNo};
    play(g.tk, 1, 1, 1, 3);
    EXPECT_TRUE(g.tk.ended);
    EXPECT_EQ(g.tk.log.back(), "end");
    EXPECT_EQ(g.tk.messages, (std::vector<Message>{{std::string(kWinQuestion), 68}}));
}

TEST(Win, AfterUndoOrRedoTheMessageHasTwoLines) {
    StartedGame g(5);
    g.only({{1, 1}, {2, 1}, {4, 1}});
    play(g.tk, 1, 1, 3, 1);
    g.tk.choose(Menu::menuundo);
    g.tk.choose(Menu::menuredo);  // the same position again
    g.tk.answers = {vbYes};
    play(g.tk, 4, 1, 2, 1);
    EXPECT_EQ(g.tk.messages, (std::vector<Message>{{std::string(kWinAfterUndo), 68}}));
    EXPECT_EQ(g.s.undoused, 0);  // the new game
    EXPECT_EQ(pincount(g.tk), 14);
}

TEST(Win, TwoPinsWithNoJumpShowNothing) {
    StartedGame g(6);
    g.only({{1, 1}, {3, 2}});
    for (Sq lifted : {Sq{1, 1}, Sq{3, 2}}) {
        g.tk.click(lifted.col, lifted.row);
        for (int16_t c = 1; c <= 6; ++c)
            for (int16_t r = 1; c + r <= 7; ++r)
                if (!g.tk.pinVisible(g.at({c, r}))) g.tk.pressSquare(c, r);
        EXPECT_EQ(g.s.picked, -1);
        g.tk.choose(Menu::menuundo);
    }
    EXPECT_EQ(g.tk.visiblePins(), (std::vector<int16_t>{1, 9}));
    EXPECT_TRUE(g.tk.messages.empty());
    EXPECT_TRUE(g.tk.sounds.empty());
}

}  // namespace
}  // namespace tori::test
