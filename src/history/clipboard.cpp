// Copying the move list to the clipboard, headed by the date of copying and the board size.
#include <string>

#include "history/history.h"

namespace tori {

std::string exportText(Toolkit& tk, std::string_view now, int16_t keta) {
    std::string text = "プレイ日: ";
    text += now;
    text += "\r\n桁数: " + std::to_string(keta) + "桁 \r\n";
    const int16_t n = tk.listCount();
    for (int16_t i = 0; i <= n - 1; ++i) {
        text += "\r\n";
        text += tk.listLine(i);
    }
    return text;
}

void menuclipbordcopy_Click(GameState& s, Toolkit& tk) {
    tk.clipboardClear();
    if (!tk.clipboardSetText(exportText(tk, tk.now(), s.keta)))
        tk.msgBox("指し手手順をクリップボードにコピーできませんでした。", vbInformation);
}

}  // namespace tori
