// The move list window stands against the board window's right edge whenever it is shown.
#include <algorithm>

#include "history/history.h"

namespace tori {

namespace {
// Where the list against the board would pass the screen's right edge, the board moves left just as far
// as both need, but not past the screen's left edge; on a screen narrower than both the list then
// overlaps the board as little as it must. Where both fit, nothing moves.
void placeBesideBoard(Toolkit& tk) {
    const float room = tk.screenWidth() - tk.width(Form::Form3);  // the list's left edge at the most
    if (tk.left(Form::Form1) + tk.width(Form::Form1) > room)
        tk.setLeft(Form::Form1, std::max(0.0f, room - tk.width(Form::Form1)));
    tk.setTop(Form::Form3, tk.top(Form::Form1));
    tk.setLeft(Form::Form3, std::min(tk.left(Form::Form1) + tk.width(Form::Form1), std::max(0.0f, room)));
}
}  // namespace

void menulistview_Click(GameState&, Toolkit& tk) {
    tk.setEnabled(Menu::menulistview, 0, false);
    placeBesideBoard(tk);
    tk.show(Form::Form3);
}

namespace form3 {

void Form_Load(GameState&, Toolkit& tk) { placeBesideBoard(tk); }

void Command1_Click(GameState&, Toolkit& tk) {
    tk.setEnabled(Menu::menulistview, 0, true);
    tk.hide(Form::Form3);
}

}  // namespace form3
}  // namespace tori
