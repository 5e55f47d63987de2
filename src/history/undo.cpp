// Undo and redo replay the move history on the pin buttons and the move list.
#include "history/history.h"
#include "moves/record.h"

namespace tori {

namespace {
void setPin(Toolkit& tk, int16_t index, bool visible) { tk.setVisible(Form::Form1, Control::pin, index, visible); }
}  // namespace

void menuundo_Click(GameState& s, Toolkit& tk) {
    const int16_t t = s.tesuu;
    if (t < 1 || !inHistory(t)) return;  // the menu offers undo only after a move
    // Undo with a pin lifted cancels the lift: that move never reached the board or the list.
    const bool lifted = s.picked == kTrue;
    setPin(tk, s.frompin[t], true);
    if (!lifted) {
        setPin(tk, s.overpin[t], true);
        setPin(tk, s.topin[t], false);
    }
    setPin(tk, 0, false);
    s.tesuu = int16_t(t - 1);
    if (lifted) s.tesuumax = s.tesuu;  // nothing to redo: the cancelled move was never made
    const int16_t c = tk.listCount();
    if (c >= 1 && s.picked == kFalse) tk.listRemove(int16_t(c - 1));
    s.undoused = kTrue;
    s.picked = kFalse;
}

void menuredo_Click(GameState& s, Toolkit& tk) {
    const auto t = int16_t(s.tesuu + 1);
    if (t < 1 || !inHistory(t)) return;
    s.tesuu = t;
    setPin(tk, s.redofrom[t], false);
    setPin(tk, s.redoover[t], false);
    setPin(tk, s.redoto[t], true);
    setPin(tk, 0, false);
    if (s.picked == kFalse) tk.listAppend(recordLine(t, s.fromx[t], s.fromy[t], s.tox[t], s.toy[t]));
    s.picked = kFalse;
    s.undoused = kTrue;
}

}  // namespace tori
