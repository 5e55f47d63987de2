// Copying the move list to the clipboard, headed by the date of copying and the board size.
#include <string>
#include <vector>

#include "history/history.h"
#include "moves/record.h"

namespace tori {

void menuclipbordcopy_Click(GameState& s, Toolkit& tk) {
    tk.clipboardClear();
    const std::string now = tk.now();
    std::vector<std::string> lines;
    const int16_t n = tk.listCount();
    for (int16_t i = 0; i <= n - 1; ++i) lines.push_back(tk.listLine(i));
    if (!tk.clipboardSetText(clipboardText(now, s.keta, lines)))
        tk.msgBox("指し手手順をクリップボードにコピーできませんでした。", vbInformation);
}

}  // namespace tori
