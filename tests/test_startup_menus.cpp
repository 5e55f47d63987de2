// Start-up, the move list window and the menus: what the player meets before and around the game.
#include <gtest/gtest.h>

#include <stdexcept>

#include "board/board_window.h"
#include "fake_toolkit.h"
#include "game/board.h"
#include "history/history.h"
#include "shell/shell.h"

namespace tori::test {
namespace {

// The entries logged after the first entry equal to `marker`.
std::vector<std::string> after(const FakeToolkit& tk, const std::string& marker) {
    const auto it = std::find(tk.log.begin(), tk.log.end(), marker);
    if (it == tk.log.end()) {
        ADD_FAILURE() << "not in the log: " << marker;
        return {};
    }
    return {it + 1, tk.log.end()};
}

std::vector<std::string> startupLog(const std::string& helpFile) {
    std::vector<std::string> log = {
        "show Form1",      "load Form1",          "caption Form1 トリピン", "height Form1 5000", "width Form1 4200",
        "top Form1 2000",  "left Form1 3900",     "hide Form1.pin(0)",       "show Form1",        "helpfile " + helpFile,
    };
    for (int i = 1; i <= 49; ++i) {
        const std::string pin = "Form1.pin(" + std::to_string(i) + ")";
        log.insert(log.end(), {"load " + pin, "height " + pin + " 450", "width " + pin + " 450", "hide " + pin});
    }
    for (int i = 1; i <= 6; ++i) {
        log.push_back("load Form1.Label1(" + std::to_string(i) + ")");
        log.push_back("load Form1.Label2(" + std::to_string(i) + ")");
    }
    // The list window is created only now, against the board window's final right edge.
    log.insert(log.end(), {"show Form3", "load Form3", "top Form3 2000", "left Form3 8100", "focus Form1"});
    return log;
}

TEST(StartUp, BuildsTheBoardWindowThenTheListWindowThenFocuses) {
    GameState s;
    FakeToolkit tk(s);
    tk.start();
    EXPECT_EQ(tk.log, startupLog("/opt/toripin/tori.hlp"));
    EXPECT_TRUE(tk.messages.empty());

    const WindowState& board = tk.windows[Form::Form1];
    EXPECT_TRUE(board.visible);
    EXPECT_EQ(board.caption, "トリピン");
    EXPECT_EQ(board.left, 3900);
    EXPECT_EQ(board.top, 2000);
    EXPECT_EQ(board.width, 4200);
    EXPECT_EQ(board.height, 5000);
    const WindowState& list = tk.windows[Form::Form3];
    EXPECT_TRUE(list.visible);
    EXPECT_EQ(list.top, 2000);
    EXPECT_EQ(list.left, 8100);
    EXPECT_FALSE(tk.menu(Menu::menulistview).enabled);
}

TEST(StartUp, LeavesNoPinVisibleAndEveryPinOneSquareLarge) {
    GameState s;
    FakeToolkit tk(s);
    tk.start();
    EXPECT_TRUE(tk.visiblePins().empty());
    for (int16_t i = 1; i <= 49; ++i) {
        EXPECT_EQ(tk.pin(i).width, 450) << i;
        EXPECT_EQ(tk.pin(i).height, 450) << i;
    }
    for (int16_t i = 1; i <= 6; ++i) {
        EXPECT_FALSE((tk.controls[{Form::Form1, Control::Label1, i}].visible)) << i;
        EXPECT_FALSE((tk.controls[{Form::Form1, Control::Label2, i}].visible)) << i;
    }
    EXPECT_EQ(s.lastcell, 43);
    EXPECT_EQ(s.keta, 0);
    EXPECT_EQ(s.tesuu, 0);
    EXPECT_EQ(s.tesuumax, 0);
    EXPECT_EQ(pincount(tk), 0);
}

TEST(StartUp, CentresOnAnyScreenWithoutRoundingToWholeTwips) {
    GameState s;
    FakeToolkit tk(s);
    tk.screenW = 19201;
    tk.screenH = 10801;
    tk.start();
    EXPECT_EQ(tk.windows[Form::Form1].left, 7500.5f);
    EXPECT_EQ(tk.windows[Form::Form1].top, 2900.5f);
    EXPECT_EQ(tk.windows[Form::Form3].left, 11700.5f);
    EXPECT_EQ(tk.windows[Form::Form3].top, 2900.5f);
}

// A screen that holds both windows side by side keeps them as above; else the board moves left as far as
// both need, and a screen narrower than both, or lower than the board, keeps the frames' top left on it.
TEST(StartUp, KeepsBothWindowsOnTheScreen) {
    struct Case {
        float screenW, screenH, boardLeft, boardTop, listLeft;
    };
    for (const Case& c : {Case{12000, 9000, 3900, 2000, 8100}, Case{10000, 6000, 2050, 500, 6250},
                          Case{6000, 4500, 0, 0, 2250}}) {
        GameState s;
        FakeToolkit tk(s);
        tk.screenW = c.screenW;
        tk.screenH = c.screenH;
        tk.start();
        EXPECT_EQ(tk.windows[Form::Form1].left, c.boardLeft) << c.screenW;
        EXPECT_EQ(tk.windows[Form::Form1].top, c.boardTop) << c.screenW;
        EXPECT_EQ(tk.windows[Form::Form3].left, c.listLeft) << c.screenW;
        EXPECT_EQ(tk.windows[Form::Form3].top, c.boardTop) << c.screenW;
    }
}

TEST(StartUp, HelpPathInsertsOneSeparatorUnlessTheDirectoryEndsInOne) {
    const std::string sep(1, kPathSeparator);
    EXPECT_EQ(helpPath(sep), sep + "tori.hlp");
    EXPECT_EQ(helpPath(sep + "opt" + sep + "toripin"), sep + "opt" + sep + "toripin" + sep + "tori.hlp");
    EXPECT_EQ(helpPath(sep + "opt" + sep + "toripin" + sep), sep + "opt" + sep + "toripin" + sep + "tori.hlp");

    // Through the load handler, as the help command will read it.
    for (const std::string& directory : {sep, sep + "usr" + sep + "games"}) {
        GameState s;
        FakeToolkit tk(s);
        tk.directory = directory;
        tk.start();
        EXPECT_EQ(tk.helpFile(), directory == sep ? sep + "tori.hlp" : directory + sep + "tori.hlp");
    }
}

// A toolkit that cannot create the fifth pin button.
class FailingToolkit : public FakeToolkit {
public:
    using FakeToolkit::FakeToolkit;
    void load(Form f, Control c, int16_t i) override {
        if (f == Form::Form1 && c == Control::pin && i == 5) {
            log.push_back("load fails");
            throw std::runtime_error("コントロール配列の要素を作成できません。");
        }
        FakeToolkit::load(f, c, i);
    }
};

TEST(StartUp, AnErrorWhileLoadingSkipsTheRestAndIsShownOnce) {
    GameState s;
    FailingToolkit tk(s);
    tk.start();
    ASSERT_EQ(tk.messages.size(), 1u);
    EXPECT_EQ(tk.messages[0], (Message{"コントロール配列の要素を作成できません。", vbExclamation}));
    EXPECT_EQ(s.lastcell, 0);
    // What was built before the error stays; nothing after it runs.
    for (int16_t i = 1; i <= 4; ++i) EXPECT_TRUE(tk.pin(i).loaded) << i;
    EXPECT_FALSE(tk.controls.contains({Form::Form1, Control::pin, 6}));
    EXPECT_EQ(tk.logCount("load Form1.Label"), 0u);
    EXPECT_EQ(after(tk, "load fails"),
              (std::vector<std::string>{"msgbox 48 コントロール配列の要素を作成できません。", "show Form3", "load Form3",
                                        "top Form3 2000", "left Form3 8100", "focus Form1"}));
    EXPECT_TRUE(tk.windows[Form::Form1].visible);
}

struct MenuStates {
    bool undo, redo, copy;
    friend bool operator==(const MenuStates&, const MenuStates&) = default;
    friend std::ostream& operator<<(std::ostream& o, const MenuStates& m) {
        return o << "undo " << m.undo << ", redo " << m.redo << ", copy " << m.copy;
    }
};

MenuStates opened(FakeToolkit& tk) {
    tk.openMenu();
    return {tk.menu(Menu::menuundo).enabled, tk.menu(Menu::menuredo).enabled, tk.menu(Menu::menuclipbordcopy).enabled};
}

TEST(Menus, HistoryItemsFollowTheMoveCountersEachTimeTheMenuOpens) {
    GameState s;
    FakeToolkit tk(s);
    tk.start();
    EXPECT_EQ(opened(tk), (MenuStates{false, false, false})) << "before any size";
    EXPECT_FALSE(tk.menu(Menu::menurestart).enabled);

    tk.choose(Menu::ketasu, 0);
    EXPECT_EQ(opened(tk), (MenuStates{false, false, false})) << "new game";
    play(tk, 3, 3, 1, 5);
    play(tk, 1, 3, 3, 3);
    EXPECT_EQ(opened(tk), (MenuStates{true, false, true})) << "after moves";
    tk.click(2, 1);
    ASSERT_EQ(s.picked, kTrue);
    EXPECT_EQ(opened(tk), (MenuStates{true, false, true})) << "a pin lifted";
    tk.pressSquare(2, 3);  // jumps over (2,2)
    tk.choose(Menu::menuundo);
    EXPECT_EQ(opened(tk), (MenuStates{true, true, true})) << "one move taken back";
    tk.choose(Menu::menuundo);
    tk.choose(Menu::menuundo);
    EXPECT_EQ(s.tesuu, 0);
    EXPECT_EQ(opened(tk), (MenuStates{false, true, false})) << "all moves taken back";
    for (int i = 0; i < 3; ++i) tk.choose(Menu::menuredo);
    EXPECT_EQ(opened(tk), (MenuStates{true, false, true})) << "all moves redone";
    tk.choose(Menu::menurestart);
    EXPECT_EQ(opened(tk), (MenuStates{false, false, false})) << "restarted";
}

TEST(Menus, TheRuleTouchesOnlyTheThreeHistoryItems) {
    StartedGame game(6);
    auto& [s, tk] = game;
    tk.log.clear();
    tk.openMenu();
    EXPECT_EQ(tk.log, (std::vector<std::string>{"event menumenu about to open", "disable menuundo(0)",
                                                "disable menuclipbordcopy(0)", "disable menuredo(0)"}));
    EXPECT_TRUE(tk.menu(Menu::ketasu, 1).checked);
    EXPECT_TRUE(tk.menu(Menu::menurestart).enabled);
    EXPECT_FALSE(tk.menu(Menu::menulistview).enabled);
}

TEST(Menus, RightPressOpensThePopupAndNothingElse) {
    GameState s;
    FakeToolkit tk(s);
    tk.start();
    // Before any size, on the grey background.
    tk.log.clear();
    tk.press(4000, 4200, 2);
    EXPECT_EQ(tk.popups, 1);
    EXPECT_EQ(tk.log, (std::vector<std::string>{"event Form_MouseDown 2 4000,4200", "popup menumenu",
                                                "disable menuundo(0)", "disable menuclipbordcopy(0)",
                                                "disable menuredo(0)"}));
    EXPECT_FALSE(tk.menu(Menu::menurestart).enabled);

    tk.choose(Menu::ketasu, 0);
    tk.click(3, 3);  // lift
    const GameState lifted = s;
    // On a square outside the triangle, with Shift and with Ctrl: the pop-up, no message, no square.
    for (int16_t shift : {0, 1, 2}) {
        tk.press(5 * 450 + 100, 2 * 450 + 100, 2, shift);
        EXPECT_EQ(s, lifted);
        EXPECT_TRUE(tk.messages.empty());
        EXPECT_TRUE(tk.menu(Menu::menuundo).enabled);
        EXPECT_TRUE(tk.menu(Menu::menuclipbordcopy).enabled);
        EXPECT_FALSE(tk.menu(Menu::menuredo).enabled);
    }
    EXPECT_EQ(tk.popups, 4);
    EXPECT_FALSE(tk.pinVisible(13));
}

TEST(Menus, MiddlePressDoesNothing) {
    StartedGame game(5);
    auto& [s, tk] = game;
    const GameState before = s;
    const auto pins = tk.visiblePins();
    tk.log.clear();
    tk.press(5 * 450 + 100, 2 * 450 + 100, 4);  // outside the triangle
    tk.press(1 * 450 + 100, 5 * 450 + 100, 4);  // the empty corner
    EXPECT_EQ(tk.popups, 0);
    EXPECT_TRUE(tk.messages.empty());
    EXPECT_EQ(s, before);
    EXPECT_EQ(tk.visiblePins(), pins);
    EXPECT_EQ(tk.log.size(), 2u);  // the two events and no call
}

TEST(Menus, ChoosingASizeFromThePopupIsTheSameAsFromTheBar) {
    GameState s1, s2;
    FakeToolkit bar(s1), popup(s2);
    bar.start();
    popup.start();
    bar.log.clear();
    popup.log.clear();
    bar.choose(Menu::ketasu, 0);
    popup.onPopup = [&] { menuChosen(s2, popup, Menu::ketasu, 0); };
    popup.press(100, 100, 2);
    EXPECT_EQ(s1, s2);
    EXPECT_EQ(bar.controls, popup.controls);
    EXPECT_EQ(bar.strokes, popup.strokes);
    EXPECT_EQ(after(bar, "event choose ketasu(0)"), after(popup, "disable menuredo(0)"));
}

TEST(ListWindow, ClosingKeepsTheLinesAndEnablesTheMenuItem) {
    StartedGame game(5);
    auto& [s, tk] = game;
    play(tk, 3, 3, 1, 5);
    play(tk, 1, 3, 3, 3);
    const auto lines = tk.list;
    tk.log.clear();
    commandClicked(s, tk, Form::Form3);
    EXPECT_EQ(tk.log, (std::vector<std::string>{"enable menulistview(0)", "hide Form3"}));
    EXPECT_FALSE(tk.windows[Form::Form3].visible);
    EXPECT_TRUE(tk.windows[Form::Form3].loaded);
    EXPECT_EQ(tk.list, lines);

    // Moves, undo and a new game while hidden reach the list all the same.
    play(tk, 2, 1, 2, 3);
    tk.choose(Menu::menuundo);
    tk.choose(Menu::menuundo);
    EXPECT_EQ(tk.list, std::vector<std::string>{"1 手目 (3,3) ---> (1,5)"});
    tk.choose(Menu::menulistview);
    EXPECT_TRUE(tk.windows[Form::Form3].visible);
    EXPECT_FALSE(tk.menu(Menu::menulistview).enabled);
    EXPECT_EQ(tk.list, std::vector<std::string>{"1 手目 (3,3) ---> (1,5)"});
    commandClicked(s, tk, Form::Form3);
    tk.choose(Menu::menurestart);
    tk.choose(Menu::menulistview);
    EXPECT_TRUE(tk.list.empty());
}

TEST(ListWindow, ShowsAgainAgainstTheBoardWindowsPresentRightEdge) {
    GameState s;
    FakeToolkit tk(s);
    tk.start();
    commandClicked(s, tk, Form::Form3);
    // The player drags the board window elsewhere.
    tk.windows[Form::Form1].left = 1234.5f;
    tk.windows[Form::Form1].top = 321;
    tk.log.clear();
    tk.choose(Menu::menulistview);
    EXPECT_EQ(after(tk, "event choose menulistview(0)"),
              (std::vector<std::string>{"disable menulistview(0)", "top Form3 321", "left Form3 5434.5", "show Form3"}));
    EXPECT_EQ(tk.windows[Form::Form3].loads, 1);
}

}  // namespace
}  // namespace tori::test
