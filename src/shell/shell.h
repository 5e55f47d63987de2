// The menu tree with its enabling rule, the About box, help and exit; and the events the toolkit delivers.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "game/game_state.h"
#include "platform/toolkit.h"

namespace tori {

using MenuHandler = void (*)(GameState&, Toolkit&, int16_t index);

struct MenuItem {
    Menu id;
    int16_t index;             // within a menu item array (ketasu); 0 elsewhere
    int8_t depth;              // 0 on the menu bar, 1 in a menu, 2 in a submenu
    std::string_view caption;  // "-" is a separator; "&" marks the access key
    bool enabled;              // when the window is created; nothing starts checked
    MenuHandler onClick;       // for a menu: runs when it is about to open
};

// The whole tree in display order.
std::span<const MenuItem> menuTree();

void menumenu_Click(GameState& s, Toolkit& tk);
void menuver_Click(GameState& s, Toolkit& tk);
void menuhelpcont_Click(GameState& s, Toolkit& tk);
void menuend_Click(GameState& s, Toolkit& tk);

namespace form1 {
void Form_Unload(GameState& s, Toolkit& tk);
}
namespace form2 {
void Form_Load(GameState& s, Toolkit& tk);
void Command1_Click(GameState& s, Toolkit& tk);
}  // namespace form2

// What the toolkit calls: a window was loaded, a menu item chosen (or a menu is about to open),
// a window's Command1 clicked.
void formLoaded(GameState& s, Toolkit& tk, Form f);
void menuChosen(GameState& s, Toolkit& tk, Menu m, int16_t index);
void commandClicked(GameState& s, Toolkit& tk, Form f);

}  // namespace tori
