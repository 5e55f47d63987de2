// The board window: start-up, the choice of board size with its painting, and the new game.
#pragma once

#include <string>
#include <string_view>

#include "game/game_state.h"
#include "platform/toolkit.h"

namespace tori {

void Main(GameState& s, Toolkit& tk);

// The help file's path: the program's directory and "tori.hlp", with one separator between.
std::string helpPath(std::string_view directory);

void ketasu_Click(GameState& s, Toolkit& tk, int16_t index);
void newgame(GameState& s, Toolkit& tk, const int16_t& n);
void labelset(Toolkit& tk, const int16_t& n);
void menurestart_Click(GameState& s, Toolkit& tk);

namespace form1 {
void Form_Load(GameState& s, Toolkit& tk);
}

}  // namespace tori
