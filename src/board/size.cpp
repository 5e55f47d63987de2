// Choosing the board size: paint the board for the new size, then lay out a new game.
#include "board/board_window.h"
#include "game/board.h"
#include "platform/design.h"

namespace tori {

void ketasu_Click(GameState& s, Toolkit& tk, int16_t index) {
    if (index < 0 || index > kMaxKeta - kMinKeta) return;  // only the three size items exist
    tk.setMousePointer(Form::Form1, Pointer::hourglass);
    constexpr int16_t largest = (kMaxKeta + 1) * kSquare;
    tk.fillBox(kSquare, kSquare, largest, largest, design::kBoardWindowBack);  // the largest board goes first
    for (int16_t i = 0; i <= kMaxKeta - kMinKeta; ++i) tk.setChecked(Menu::ketasu, i, false);
    s.keta = int16_t(index + kMinKeta);
    tk.setChecked(Menu::ketasu, index, true);
    tk.setEnabled(Menu::menurestart, 0, true);

    const auto e = int16_t((s.keta + 1) * kSquare);
    tk.fillBox(kSquare, kSquare, e, e, design::kBoard);
    tk.line(e, 2 * kSquare, 2 * kSquare, e, design::kLine);
    // One diagonal through each band of squares outside the triangle; the first repeats the
    // hypotenuse and the last is the corner point.
    for (int16_t i = 1; i <= s.keta; ++i) tk.line(e, (i + 1) * kSquare, (i + 1) * kSquare, e, design::kLine);
    for (int16_t i = 1; i <= s.keta + 1; ++i) {
        tk.line(i * kSquare, kSquare, i * kSquare, e, design::kLine);
        tk.line(kSquare, i * kSquare, e, i * kSquare, design::kLine);
    }
    newgame(s, tk, s.keta);
    tk.setMousePointer(Form::Form1, Pointer::standard);
}

}  // namespace tori
