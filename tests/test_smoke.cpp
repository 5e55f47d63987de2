#include <gtest/gtest.h>

#include "fake_toolkit.h"
#include "game/board.h"

using namespace tori;
using namespace tori::test;

TEST(Smoke, WinsFirstMove) {
    GameState s;
    FakeToolkit tk(s);
    tk.start();
    tk.choose(Menu::ketasu, 0);
    EXPECT_EQ(pincount(tk), 14);
    play(tk, 3, 3, 1, 5);
    ASSERT_EQ(tk.list.size(), 1u);
    EXPECT_EQ(tk.list[0], "1 手目 (3,3) ---> (1,5)");
}
