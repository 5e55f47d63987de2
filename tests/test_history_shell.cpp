// Undo and redo, the clipboard copy, the About box, help and the ways the program ends.
#include <gtest/gtest.h>

#include "fake_toolkit.h"
#include "game/board.h"
#include "history/history.h"
#include "shell/shell.h"
#include "version.h"

namespace tori::test {
namespace {

// What the player sees of a game: the pins with their places, the move number and the list.
struct Seen {
    std::vector<std::tuple<int16_t, float, float>> pins;
    int16_t tesuu;
    std::vector<std::string> list;
    friend bool operator==(const Seen&, const Seen&) = default;
};

Seen seen(FakeToolkit& tk) {
    Seen v{{}, tk.state.tesuu, tk.list};
    for (int16_t i : tk.visiblePins()) v.pins.emplace_back(i, tk.pin(i).left, tk.pin(i).top);
    return v;
}

void chooseSize(FakeToolkit& tk, int16_t keta) {
    tk.choose(Menu::ketasu, int16_t(keta - 5));
}

bool offered(FakeToolkit& tk, Menu m) {
    tk.openMenu();
    return tk.menu(m).enabled;
}

// The three 5 × 5 moves the history tests use.
void threeMoves(FakeToolkit& tk, std::vector<Seen>& after) {
    after.push_back(seen(tk));
    play(tk, 3, 3, 1, 5);
    after.push_back(seen(tk));
    play(tk, 1, 3, 3, 3);
    after.push_back(seen(tk));
    play(tk, 2, 1, 2, 3);
    after.push_back(seen(tk));
}

TEST(UndoRedo, ThreeMovesBackAndForthRestoreBoardMoveNumberAndList) {
    StartedGame game(5);
    auto& [s, tk] = game;
    std::vector<Seen> after;
    threeMoves(tk, after);
    EXPECT_EQ(tk.list, (std::vector<std::string>{"1 手目 (3,3) ---> (1,5)", "2 手目 (1,3) ---> (3,3)",
                                                 "3 手目 (2,1) ---> (2,3)"}));
    for (int t = 3; t >= 1; --t) {
        tk.choose(Menu::menuundo);
        EXPECT_EQ(seen(tk), after[size_t(t - 1)]) << "undo of move " << t;
        EXPECT_EQ(s.tesuumax, 3);
        EXPECT_EQ(s.picked, 0);
        EXPECT_EQ(s.undoused, -1);
    }
    EXPECT_FALSE(offered(tk, Menu::menuundo));
    for (int t = 1; t <= 3; ++t) {
        tk.choose(Menu::menuredo);
        EXPECT_EQ(seen(tk), after[size_t(t)]) << "redo of move " << t;
    }
    EXPECT_FALSE(offered(tk, Menu::menuredo));
    EXPECT_TRUE(tk.messages.empty());
    EXPECT_TRUE(tk.sounds.empty());
}

TEST(UndoRedo, EachStepIsExactlyTheCallsOfItsMove) {
    StartedGame game(5);
    auto& [s, tk] = game;
    play(tk, 3, 3, 1, 5);
    tk.log.clear();
    menuundo_Click(s, tk);
    EXPECT_EQ(tk.log, (std::vector<std::string>{"show Form1.pin(13)", "show Form1.pin(17)", "hide Form1.pin(21)",
                                                "hide Form1.pin(0)", "list remove 0"}));
    tk.log.clear();
    menuredo_Click(s, tk);
    EXPECT_EQ(tk.log, (std::vector<std::string>{"hide Form1.pin(13)", "hide Form1.pin(17)", "show Form1.pin(21)",
                                                "hide Form1.pin(0)", "list append 1 手目 (3,3) ---> (1,5)"}));
}

TEST(UndoRedo, LiftingAfterUndoDropsRedoAndNumbersTheNextMove) {
    StartedGame game(5);
    auto& [s, tk] = game;
    play(tk, 3, 3, 1, 5);
    play(tk, 1, 3, 3, 3);
    tk.choose(Menu::menuundo);
    EXPECT_TRUE(offered(tk, Menu::menuredo));
    tk.click(2, 1);
    EXPECT_EQ(s.tesuu, 2);
    EXPECT_EQ(s.tesuumax, 2);
    EXPECT_FALSE(offered(tk, Menu::menuredo));
    tk.pressSquare(2, 3);
    EXPECT_EQ(tk.list, (std::vector<std::string>{"1 手目 (3,3) ---> (1,5)", "2 手目 (2,1) ---> (2,3)"}));
    EXPECT_FALSE(offered(tk, Menu::menuredo));
}

// Undo while a pin is lifted cancels the lift: the board as it stood before, no line removed,
// and nothing left to redo.
void expectLiftCancelled(FakeToolkit& tk, const Seen& beforeLift, int16_t tesuuBefore) {
    tk.choose(Menu::menuundo);
    EXPECT_EQ(seen(tk), beforeLift);
    EXPECT_EQ(tk.state.tesuu, tesuuBefore);
    EXPECT_EQ(tk.state.tesuumax, tesuuBefore);
    EXPECT_EQ(tk.state.picked, 0);
    EXPECT_EQ(tk.state.undoused, -1);
    EXPECT_FALSE(offered(tk, Menu::menuredo));
    EXPECT_EQ(tk.menu(Menu::menuundo).enabled, tesuuBefore > 0);
}

TEST(UndoWhileLifted, FirstLiftOfTheFirstGame) {
    StartedGame game(5);
    auto& [s, tk] = game;
    const Seen start = seen(tk);
    tk.click(3, 3);
    expectLiftCancelled(tk, start, 0);
    EXPECT_EQ(tk.logCount("list remove"), 0u);
    // The pin lifts normally again.
    play(tk, 3, 3, 1, 5);
    EXPECT_EQ(tk.list, std::vector<std::string>{"1 手目 (3,3) ---> (1,5)"});
}

TEST(UndoWhileLifted, AfterAPressOnTheLiftedPinsOwnSquare) {
    StartedGame game(6);
    auto& [s, tk] = game;
    play(tk, 3, 4, 1, 6);
    const Seen before = seen(tk);
    tk.click(2, 2);
    tk.pressSquare(2, 2);
    ASSERT_EQ(s.topin[2], s.frompin[2]);
    tk.pressSquare(2, 5);  // wrong distance, also written into the history
    expectLiftCancelled(tk, before, 1);
    EXPECT_EQ(tk.list, std::vector<std::string>{"1 手目 (3,4) ---> (1,6)"});
}

TEST(UndoWhileLifted, WithStaleEntriesFromAnEarlierGame) {
    StartedGame game(7);
    auto& [s, tk] = game;
    play(tk, 1, 5, 1, 7);
    play(tk, 1, 3, 1, 5);
    play(tk, 3, 1, 1, 3);
    chooseSize(tk, 5);
    const Seen start = seen(tk);
    ASSERT_NE(s.overpin[1], 0);
    tk.click(2, 2);
    expectLiftCancelled(tk, start, 0);
    // And deeper in a game, where move 2 of the earlier game left its entries.
    play(tk, 3, 3, 1, 5);
    const Seen one = seen(tk);
    tk.click(4, 1);
    expectLiftCancelled(tk, one, 1);
}

TEST(UndoWhileLifted, AfterMovesWereTakenBack) {
    StartedGame game(5);
    auto& [s, tk] = game;
    std::vector<Seen> after;
    threeMoves(tk, after);
    tk.choose(Menu::menuundo);
    tk.choose(Menu::menuundo);
    tk.click(5, 1);
    expectLiftCancelled(tk, after[1], 1);
}

TEST(UndoRedo, RedoDownToOnePinNeitherSpeaksNorPlays) {
    StartedGame game(5);
    auto& [s, tk] = game;
    tk.setPins({1, 2, 11});
    play(tk, 1, 1, 3, 1);
    tk.choose(Menu::menuundo);
    // A pin that a redo does not touch goes, so that the redo leaves a single pin.
    tk.pin(11).visible = false;
    tk.choose(Menu::menuredo);
    EXPECT_EQ(pincount(tk), 1);
    EXPECT_TRUE(tk.messages.empty());
    EXPECT_TRUE(tk.sounds.empty());
    EXPECT_EQ(tk.logCount("doevents"), 0u);
}

const std::string kHeader5 = "プレイ日: 2026/12/07 4:20:17\r\n桁数: 5桁 \r\n";

TEST(Clipboard, ALiftedPinAtTheFirstMoveCopiesTheHeaderAlone) {
    StartedGame game(5);
    auto& [s, tk] = game;
    tk.click(3, 3);
    tk.choose(Menu::menuclipbordcopy);
    EXPECT_EQ(tk.clipboard, kHeader5);
}

TEST(Clipboard, OneMoveOnSevenBySeven) {
    StartedGame game(7);
    auto& [s, tk] = game;
    play(tk, 1, 5, 1, 7);
    tk.nowText = "2027/01/02 23:59:59";
    tk.clipboard = "earlier";
    tk.clipboardFormats = 3;
    tk.log.clear();
    tk.choose(Menu::menuclipbordcopy);
    EXPECT_EQ(tk.clipboard, "プレイ日: 2027/01/02 23:59:59\r\n桁数: 7桁 \r\n\r\n1 手目 (1,5) ---> (1,7)");
    EXPECT_EQ(tk.clipboardFormats, 1);
}

TEST(Clipboard, SeveralMovesFollowTheListAsItStands) {
    StartedGame game(5);
    auto& [s, tk] = game;
    std::vector<Seen> after;
    threeMoves(tk, after);
    commandClicked(s, tk, Form::Form3);  // the list window hidden
    tk.choose(Menu::menuclipbordcopy);
    EXPECT_EQ(tk.clipboard, kHeader5 +
                                "\r\n1 手目 (3,3) ---> (1,5)\r\n2 手目 (1,3) ---> (3,3)\r\n3 手目 (2,1) ---> (2,3)");
    tk.choose(Menu::menuundo);
    tk.choose(Menu::menuclipbordcopy);
    EXPECT_EQ(tk.clipboard, kHeader5 + "\r\n1 手目 (3,3) ---> (1,5)\r\n2 手目 (1,3) ---> (3,3)");
    tk.choose(Menu::menuredo);
    tk.choose(Menu::menuclipbordcopy);
    EXPECT_EQ(tk.clipboard, kHeader5 +
                                "\r\n1 手目 (3,3) ---> (1,5)\r\n2 手目 (1,3) ---> (3,3)\r\n3 手目 (2,1) ---> (2,3)");
}

TEST(Clipboard, ClearsBeforeWritingAndSaysSoWhenItCannotWrite) {
    StartedGame game(5);
    auto& [s, tk] = game;
    play(tk, 3, 3, 1, 5);
    tk.clipboardWorks = false;
    tk.log.clear();
    tk.choose(Menu::menuclipbordcopy);
    ASSERT_EQ(tk.messages.size(), 1u);
    EXPECT_EQ(tk.messages[0].flags, 64);
    EXPECT_FALSE(tk.messages[0].prompt.empty());
    const std::vector<std::string> tail(tk.log.end() - 3, tk.log.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"clipboard clear", "clipboard text", "msgbox 64 " + tk.messages[0].prompt}));
    EXPECT_EQ(s.tesuu, 1);
}

TEST(About, OpensModalOverTheBoardAndLoadsAfreshEachTime) {
    GameState s;
    FakeToolkit tk(s);
    tk.start();
    for (int round = 0; round < 2; ++round) {
        tk.windows[Form::Form1].left = 1000.5f + 300 * round;
        tk.windows[Form::Form1].top = 700 + 50 * round;
        tk.log.clear();
        tk.choose(Menu::menuver);
        const std::string top = round == 0 ? "1100" : "1150", left = round == 0 ? "1400.5" : "1700.5";
        EXPECT_EQ(tk.log, (std::vector<std::string>{
                              "event choose menuver(0)", "show Form2 modal", "load Form2", "caption Form2 バージョン情報",
                              "top Form2 " + top, "left Form2 " + left, "caption Form2.Label1(0) トリピン For Windows95",
                              "caption Form2.Label1(1) " + std::string(version::kCopyright),
                              "caption Form2.Label1(2) Version 2.1"}));
        EXPECT_TRUE(tk.windows[Form::Form2].visible);
        EXPECT_EQ(tk.windows[Form::Form2].loads, round + 1);
        commandClicked(s, tk, Form::Form2);
        EXPECT_FALSE(tk.windows[Form::Form2].loaded);
        EXPECT_EQ(tk.log.back(), "unload Form2");
    }
    EXPECT_FALSE(version::kCopyright.empty());
}

TEST(Help, HandsTheBoardWindowAndTheHelpPathToTheViewer) {
    GameState s;
    FakeToolkit tk(s);
    tk.directory = std::string(1, kPathSeparator);
    tk.start();
    tk.choose(Menu::menuhelpcont);
    ASSERT_EQ(tk.helpCalls.size(), 1u);
    EXPECT_EQ(tk.helpCalls[0], std::make_tuple(tk.hWnd(Form::Form1), std::string(1, kPathSeparator) + "tori.hlp",
                                               int16_t(3), int32_t(0)));
    EXPECT_TRUE(tk.messages.empty());
}

TEST(Exit, TheExitItemUnloadsTheListWindowThenEnds) {
    StartedGame game(6);
    auto& [s, tk] = game;
    play(tk, 3, 4, 1, 6);
    tk.log.clear();
    tk.choose(Menu::menuend);
    const std::vector<std::string> tail(tk.log.end() - 2, tk.log.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"unload Form3", "end"}));
    EXPECT_EQ(tk.logCount("unload"), 1u);  // no Form_Unload on this path
    EXPECT_FALSE(tk.windows[Form::Form3].loaded);
    EXPECT_TRUE(tk.ended);
    EXPECT_TRUE(tk.messages.empty());
}

TEST(Exit, ClosingTheBoardWindowUnloadsTheListWindow) {
    GameState s;
    FakeToolkit tk(s);
    tk.start();
    tk.log.clear();
    form1::Form_Unload(s, tk);
    EXPECT_EQ(tk.log, std::vector<std::string>{"unload Form3"});
    EXPECT_FALSE(tk.windows[Form::Form3].loaded);
    EXPECT_FALSE(tk.ended);
}

}  // namespace
}  // namespace tori::test
