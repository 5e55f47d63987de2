// A new game: empty move list, counters reset, the start position on the board.
#include <string>

#include "board/board_window.h"
#include "game/board.h"
#include "platform/design.h"

namespace tori {

void newgame(GameState& s, Toolkit& tk, const int16_t& n) {
    tk.listClear();
    s.undoused = 0;
    // The bottom vertex starts empty, but a jump into it only shows its button: stand it there now.
    const auto vertex = int16_t(n * n - n + 1);
    tk.setLeft(Form::Form1, Control::pin, vertex, kSquare);
    tk.setTop(Form::Form1, Control::pin, vertex, n * kSquare);
    s.picked = 0;
    s.tesuu = 0;
    s.tesuumax = 0;
    for (int16_t i = 0; i <= kPinButtons; ++i) tk.setVisible(Form::Form1, Control::pin, i, false);
    labelset(tk, n);
    for (int16_t r = 1; r <= n; ++r)
        for (int16_t c = 1; c <= n; ++c) s.cellno[c][r] = pinIndex(c, r, n);
    // The keyboard cursor keeps its square where the new triangle has it, else it goes to (1,1); shown
    // or hidden, it stays so.
    if (s.curx < 1 || s.cury < 1 || s.curx > n || s.cury > n || cellcheck(s.cellno[s.curx][s.cury], n) != kTrue) {
        s.curx = 1;
        s.cury = 1;
    }
    tk.setLeft(Form::Form1, Control::Shape1, 0, s.curx * kSquare);
    tk.setTop(Form::Form1, Control::Shape1, 0, s.cury * kSquare);
    for (int16_t r = 1; r <= n - 1; ++r) {
        for (auto p = int16_t((r - 1) * n + 1); p <= r * (n - 1) + 1; ++p) {
            const auto c = int16_t(p - (r - 1) * n);
            tk.setLeft(Form::Form1, Control::pin, p, c * kSquare);
            tk.setTop(Form::Form1, Control::pin, p, r * kSquare);
            tk.setVisible(Form::Form1, Control::pin, p, true);
        }
    }
}

void labelset(Toolkit& tk, const int16_t& n) {
    for (int16_t i = 1; i < kMaxKeta; ++i) {
        tk.setVisible(Form::Form1, Control::Label1, i, false);
        tk.setVisible(Form::Form1, Control::Label2, i, false);
    }
    for (int16_t i = 0; i <= n - 1; ++i) {
        tk.setLeft(Form::Form1, Control::Label1, i, design::kLabel1Template.left + kSquare * i);
        tk.setTop(Form::Form1, Control::Label1, i, design::kLabel1Template.top);
        tk.setLeft(Form::Form1, Control::Label2, i, design::kLabel2Template.left);
        tk.setTop(Form::Form1, Control::Label2, i, design::kLabel2Template.top + kSquare * i);
        const std::string caption = std::to_string(i + 1);
        tk.setCaption(Form::Form1, Control::Label1, i, caption);
        tk.setCaption(Form::Form1, Control::Label2, i, caption);
        tk.setVisible(Form::Form1, Control::Label1, i, true);
        tk.setVisible(Form::Form1, Control::Label2, i, true);
    }
}

void menurestart_Click(GameState& s, Toolkit& tk) {
    if (s.keta < kMinKeta) return;  // the item is offered only once a size is chosen
    newgame(s, tk, s.keta);
}

}  // namespace tori
