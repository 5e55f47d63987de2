// The move list window stands against the board window's right edge whenever it is shown.
#include "history/history.h"

namespace tori {

namespace {
void placeBesideBoard(Toolkit& tk) {
    tk.setTop(Form::Form3, tk.top(Form::Form1));
    tk.setLeft(Form::Form3, tk.left(Form::Form1) + tk.width(Form::Form1));
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
