#include "moves/moves.h"

#include "board/board_window.h"
#include "game/board.h"
#include "moves/directions.h"
#include "moves/record.h"

namespace tori {

namespace {

// The jump just made goes into the move list; one pin left wins the game.
void recordMove(GameState& s, Toolkit& tk) {
    const int16_t t = s.tesuu;
    s.redoover[t] = s.overpin[t];
    tk.listAppend(recordLine(t, s.fromx[t], s.fromy[t], s.tox[t], s.toy[t]));
    s.picked = kFalse;
    if (pincount(tk) != 1) return;

    // Let queued input and painting finish before the fanfare and the question.
    tk.doEvents();
    tk.doEvents();
    tk.sndPlaySound("tada.wav", SND_ASYNC);
    const int16_t answer =
        s.undoused == kTrue
            ? tk.msgBox("クリア!!!おめでとう御座います。\r\n"
                        "今度は１手戻すと１手進めるを使用しないで挑戦してみて下さい。",
                        vbInformation + vbYesNo)
            : tk.msgBox("クリア!!!おめでとう御座います。もう一度しますか?", vbInformation + vbYesNo);
    if (answer == vbYes)
        newgame(s, tk, s.keta);
    else
        tk.end();
}

}  // namespace

void pin_Click(GameState& s, Toolkit& tk, int16_t index) {
    if (s.picked != kFalse) {
        tk.msgBox("そこには置けません。移動先のマス目をクリックして下さい。", vbInformation);
        return;
    }
    // Pins stand only on a chosen board, and a game never comes near the end of the history.
    if (s.keta < kMinKeta || index < 1 || index > kPinButtons || !inHistory(s.tesuu + 1)) return;
    s.picked = kTrue;
    s.tesuu = int16_t(s.tesuu + 1);
    s.tesuumax = s.tesuu;
    const int16_t t = s.tesuu;
    s.frompin[t] = index;
    s.redofrom[t] = index;
    tk.setVisible(Form::Form1, Control::pin, s.frompin[t], false);
    const int16_t p = s.frompin[t];
    s.fromy[t] = int16_t(p / s.keta + 1);
    s.fromx[t] = int16_t(p % s.keta);
    if (s.fromx[t] == 0) {  // the last column
        s.fromx[t] = s.keta;
        s.fromy[t] = int16_t(s.fromy[t] - 1);
    }
}

int16_t jumppin(Toolkit& tk, const int16_t& to, const int16_t& over) {
    tk.setVisible(Form::Form1, Control::pin, to, true);
    tk.setVisible(Form::Form1, Control::pin, over, false);
    return kTrue;
}

namespace form1 {

void Form_MouseDown(GameState& s, Toolkit& tk, int16_t button, int16_t /*shift*/, float x, float y) {
    if (button == vbRightButton) {
        tk.popupMenu(Menu::menumenu);
        return;
    }
    const int16_t col = gridLine(x), row = gridLine(y);
    if (button != vbLeftButton) return;
    if (col > s.keta || row > s.keta || col <= 0 || row <= 0) return;  // margins and beyond the grid
    if (cellcheck(s.cellno[col][row], s.keta) == kFalse) {
        tk.msgBox("そのマス目にはピンを置くことが出来ません。", vbInformation);
        return;
    }
    if (s.picked != kTrue) return;

    const int16_t t = s.tesuu;
    s.tox[t] = col;
    s.toy[t] = row;
    s.topin[t] = s.cellno[col][row];
    s.redoto[t] = s.cellno[col][row];

    int16_t jumped = kFalse;
    const auto over = jumpedOver(s.frompin[t], s.topin[t], s.keta, s.lastcell);
    if (over && tk.visible(Form::Form1, Control::pin, *over)) {
        s.overpin[t] = *over;
        jumped = jumppin(tk, s.topin[t], s.overpin[t]);
    }
    if (jumped == kTrue) recordMove(s, tk);
}

void Form_KeyDown(GameState& s, Toolkit& tk, int16_t keyCode, int16_t /*shift*/) {
    if (s.keta < kMinKeta) return;  // no board yet
    const bool shown = tk.visible(Form::Form1, Control::Shape1, 0);
    int16_t col = s.curx, row = s.cury;
    switch (keyCode) {
        case vbKeyLeft: --col; break;
        case vbKeyRight: ++col; break;
        case vbKeyUp: --row; break;
        case vbKeyDown: ++row; break;
        case vbKeySpace:
        case vbKeyReturn: {
            if (!shown) return;  // no action on a square the player cannot see
            // The click a mouse would make there: on the pin's button while one stands, else on the board.
            const int16_t p = s.cellno[s.curx][s.cury];
            if (tk.visible(Form::Form1, Control::pin, p))
                pin_Click(s, tk, p);
            else
                Form_MouseDown(s, tk, vbLeftButton, 0, s.curx * kSquare + kSquare / 2, s.cury * kSquare + kSquare / 2);
            return;
        }
        default: return;
    }
    // A hidden cursor shows where it was left; a shown one moves, but never off the triangle.
    if (shown && col >= 1 && row >= 1 && col <= s.keta && row <= s.keta && cellcheck(s.cellno[col][row], s.keta) == kTrue) {
        s.curx = col;
        s.cury = row;
        tk.setLeft(Form::Form1, Control::Shape1, 0, col * kSquare);
        tk.setTop(Form::Form1, Control::Shape1, 0, row * kSquare);
    }
    if (!shown) tk.setVisible(Form::Form1, Control::Shape1, 0, true);
}

}  // namespace form1
}  // namespace tori
