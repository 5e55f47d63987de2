#include "game/board.h"

#include <cmath>

namespace tori {

int16_t cellcheck(const int16_t& cell, const int16_t& n) {
    if (n < 2) return kTrue;
    // Row i excludes its last i - 1 squares: i*n - (i - 2) to i*n.
    int16_t low = int16_t(2 * n), high = int16_t(2 * n);
    for (int16_t i = 2; i <= n; ++i) {
        if (cell >= low && cell <= high) return kFalse;
        low = int16_t(low + n - 1);
        high = int16_t(high + n);
    }
    return kTrue;
}

int16_t pincount(Toolkit& tk) {
    int16_t count = 0;
    for (int16_t i = 1; i <= kPinButtons; ++i)
        if (tk.visible(Form::Form1, Control::pin, i)) ++count;
    return count;
}

std::string cellname(const GameState& s, Toolkit& tk, int16_t col, int16_t row) {
    if (s.keta < kMinKeta || col < 1 || row < 1 || col > s.keta || row > s.keta) return {};
    const int16_t p = s.cellno[col][row];
    if (cellcheck(p, s.keta) != kTrue) return {};
    const char* what = "空き";
    if (tk.visible(Form::Form1, Control::pin, p))
        what = "ピン";
    else if (s.picked == kTrue && s.frompin[s.tesuu] == p)  // its button is hidden while it is lifted
        what = "持ち上げ中";
    return "(" + std::to_string(col) + "," + std::to_string(row) + ") " + what;
}

int16_t gridLine(float twips) {
    // Outside this range no press can be on the board; it also keeps the 16-bit result exact.
    if (!(twips > -0.5f && twips < 32000.0f)) return -1;
    return int16_t(std::lrint(twips) / kSquare);  // default rounding mode: halves to even
}

}  // namespace tori
