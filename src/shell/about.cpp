// The About box, the help contents and the two ways the program ends.
#include "shell/shell.h"
#include "version.h"

namespace tori {

void menuver_Click(GameState&, Toolkit& tk) { tk.show(Form::Form2, true); }

void menuhelpcont_Click(GameState&, Toolkit& tk) {
    tk.winHelp(tk.hWnd(Form::Form1), tk.helpFile(), HELP_CONTENTS, 0);
}

void menuend_Click(GameState&, Toolkit& tk) {
    tk.unload(Form::Form3);
    tk.end();
}

namespace form1 {
void Form_Unload(GameState&, Toolkit& tk) { tk.unload(Form::Form3); }
}  // namespace form1

namespace form2 {

void Form_Load(GameState&, Toolkit& tk) {
    tk.setCaption(Form::Form2, "バージョン情報");
    tk.setTop(Form::Form2, tk.top(Form::Form1) + 400);
    tk.setLeft(Form::Form2, tk.left(Form::Form1) + 400);
    tk.setCaption(Form::Form2, Control::Label1, 0, version::kAboutTitle);
    tk.setCaption(Form::Form2, Control::Label1, 1, version::kCopyright);
    tk.setCaption(Form::Form2, Control::Label1, 2, version::kAboutVersion);
}

void Command1_Click(GameState&, Toolkit& tk) { tk.unload(Form::Form2); }

}  // namespace form2
}  // namespace tori
