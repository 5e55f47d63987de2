// Taking moves back and forward, the move list window, and copying the move list.
#pragma once

#include "game/game_state.h"
#include "platform/toolkit.h"

namespace tori {

void menuundo_Click(GameState& s, Toolkit& tk);
void menuredo_Click(GameState& s, Toolkit& tk);
void menulistview_Click(GameState& s, Toolkit& tk);
void menuclipbordcopy_Click(GameState& s, Toolkit& tk);

namespace form3 {
void Form_Load(GameState& s, Toolkit& tk);
void Command1_Click(GameState& s, Toolkit& tk);
}  // namespace form3

}  // namespace tori
