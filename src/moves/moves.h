// A move: lifting a pin, the press on its destination, the move record and the won game.
#pragma once

#include <cstdint>

#include "game/game_state.h"
#include "platform/toolkit.h"

namespace tori {

inline constexpr int16_t vbLeftButton = 1, vbRightButton = 2, vbMiddleButton = 4;

void pin_Click(GameState& s, Toolkit& tk, int16_t index);
int16_t jumppin(Toolkit& tk, const int16_t& to, const int16_t& over);

namespace form1 {
void Form_MouseDown(GameState& s, Toolkit& tk, int16_t button, int16_t shift, float x, float y);
}

}  // namespace tori
