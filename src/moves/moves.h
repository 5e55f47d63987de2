// A move: lifting a pin, the press on its destination, the move record and the won game.
#pragma once

#include <cstdint>

#include "game/game_state.h"
#include "platform/toolkit.h"

namespace tori {

inline constexpr int16_t vbLeftButton = 1, vbRightButton = 2, vbMiddleButton = 4;
// The keys the board window answers, by their key codes.
inline constexpr int16_t vbKeyReturn = 13, vbKeySpace = 32, vbKeyLeft = 37, vbKeyUp = 38, vbKeyRight = 39,
                         vbKeyDown = 40;

void pin_Click(GameState& s, Toolkit& tk, int16_t index);
int16_t jumppin(Toolkit& tk, const int16_t& to, const int16_t& over);

namespace form1 {
void Form_MouseDown(GameState& s, Toolkit& tk, int16_t button, int16_t shift, float x, float y);
// A key pressed while the board window is active: the arrow keys show and move the keyboard cursor,
// Space and Enter act on its square as a left click there does.
void Form_KeyDown(GameState& s, Toolkit& tk, int16_t keyCode, int16_t shift);
}

}  // namespace tori
