// The board window's menu tree, and the rule that enables the history items each time the menu opens.
#include "board/board_window.h"
#include "history/history.h"
#include "shell/shell.h"

namespace tori {

namespace {

template <void (*handler)(GameState&, Toolkit&)>
void plain(GameState& s, Toolkit& tk, int16_t) {
    handler(s, tk);
}

constexpr MenuItem kTree[] = {
    {Menu::menumenu, 0, 0, "ﾒﾆｭｰ(&M)", true, plain<menumenu_Click>},
    {Menu::menuselect, 0, 1, "桁数選択(&S)", true, nullptr},
    {Menu::ketasu, 0, 2, "5*5(&5)", true, ketasu_Click},
    {Menu::ketasu, 1, 2, "6*6(&6)", true, ketasu_Click},
    {Menu::ketasu, 2, 2, "7*7(&7)", true, ketasu_Click},
    {Menu::menusen1, 0, 1, "-", true, nullptr},
    {Menu::menuundo, 0, 1, "１手戻す(&B)", true, plain<menuundo_Click>},
    {Menu::menuredo, 0, 1, "１手進める(&N)", true, plain<menuredo_Click>},
    {Menu::menusen3, 0, 1, "-", true, nullptr},
    {Menu::menurestart, 0, 1, "最初から(&R)", false, plain<menurestart_Click>},
    {Menu::menusen5, 0, 1, "-", true, nullptr},
    {Menu::menulistview, 0, 1, "指し手手順を表示(&L)...", false, plain<menulistview_Click>},
    {Menu::menusen2, 0, 1, "-", true, nullptr},
    {Menu::menuclipbordcopy, 0, 1, "指し手手順をコピー(&C)", true, plain<menuclipbordcopy_Click>},
    {Menu::menusen10, 0, 1, "-", true, nullptr},
    {Menu::menuend, 0, 1, "トリピンを終了(&X)", true, plain<menuend_Click>},
    {Menu::helper, 0, 0, "ﾍﾙﾌﾟ(&H)", true, nullptr},
    {Menu::menuhelpcont, 0, 1, "目次(&C)", true, plain<menuhelpcont_Click>},
    {Menu::menuver, 0, 1, "バージョン情報(&V)...", true, plain<menuver_Click>},
};

}  // namespace

std::span<const MenuItem> menuTree() { return kTree; }

void menumenu_Click(GameState& s, Toolkit& tk) {
    if (s.tesuu == 0) {
        tk.setEnabled(Menu::menuundo, 0, false);
        tk.setEnabled(Menu::menuclipbordcopy, 0, false);
    } else if (s.tesuu > 0) {
        tk.setEnabled(Menu::menuundo, 0, true);
        tk.setEnabled(Menu::menuclipbordcopy, 0, true);
    }
    tk.setEnabled(Menu::menuredo, 0, s.tesuu != s.tesuumax);
}

void menuChosen(GameState& s, Toolkit& tk, Menu m, int16_t index) {
    for (const MenuItem& item : kTree)
        if (item.id == m && item.index == index && item.onClick) item.onClick(s, tk, index);
}

void formLoaded(GameState& s, Toolkit& tk, Form f) {
    switch (f) {
        case Form::Form1: form1::Form_Load(s, tk); break;
        case Form::Form2: form2::Form_Load(s, tk); break;
        case Form::Form3: form3::Form_Load(s, tk); break;
    }
}

void commandClicked(GameState& s, Toolkit& tk, Form f) {
    if (f == Form::Form2) form2::Command1_Click(s, tk);
    if (f == Form::Form3) form3::Command1_Click(s, tk);
}

}  // namespace tori
