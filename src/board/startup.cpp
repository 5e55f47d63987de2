// Start-up: the board window with its hidden pins and labels, then the move list beside it.
#include <algorithm>
#include <exception>

#include "board/board_window.h"
#include "game/board.h"

namespace tori {

void Main(GameState&, Toolkit& tk) {
    tk.show(Form::Form1);  // runs form1::Form_Load
    tk.show(Form::Form3);  // runs form3::Form_Load, which places it beside the board window
    tk.setFocus(Form::Form1);
}

std::string helpPath(std::string_view directory) {
    std::string path(directory);
    if (path.empty() || path.back() != kPathSeparator) path += kPathSeparator;
    return path + "tori.hlp";
}

namespace form1 {

void Form_Load(GameState& s, Toolkit& tk) {
    try {
        tk.setCaption(Form::Form1, "トリピン");
        tk.setHeight(Form::Form1, 5000);
        tk.setWidth(Form::Form1, 4200);
        // Centred, but on a screen smaller than the window its title bar stays on the screen.
        tk.setTop(Form::Form1, std::max(0.0f, (tk.screenHeight() - tk.height(Form::Form1)) / 2));
        tk.setLeft(Form::Form1, std::max(0.0f, (tk.screenWidth() - tk.width(Form::Form1)) / 2));
        tk.setVisible(Form::Form1, Control::pin, 0, false);
        tk.show(Form::Form1);
        tk.setHelpFile(helpPath(tk.appPath()));
        for (int16_t i = 1; i <= kPinButtons; ++i) {
            tk.load(Form::Form1, Control::pin, i);
            tk.setHeight(Form::Form1, Control::pin, i, kSquare);
            tk.setWidth(Form::Form1, Control::pin, i, kSquare);
            tk.setVisible(Form::Form1, Control::pin, i, false);
        }
        for (int16_t i = 1; i < kMaxKeta; ++i) {
            tk.load(Form::Form1, Control::Label1, i);
            tk.load(Form::Form1, Control::Label2, i);
        }
        s.lastcell = kLastcell;
    } catch (const std::exception& e) {
        // The window keeps what was built before the error.
        tk.msgBox(e.what(), vbExclamation);
    } catch (...) {
        tk.msgBox("予期しないエラーが発生しました。", vbExclamation);
    }
}

}  // namespace form1
}  // namespace tori
