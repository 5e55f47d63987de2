// The board for assistive technology: every square of the triangle a child of the board surface, named
// by the game, the keyboard cursor's square the focus.
#pragma once

class QWidget;

namespace tori::qt {

class BoardSurface;

// Makes the board surface's accessible interface the one below; once per program.
void installBoardAccessibility();

// Tells assistive technology what changed on the board since it was last told: the squares' names and
// the cursor's square, which has the focus while the cursor is shown. Nothing while no assistive
// technology listens.
void announceBoard(BoardSurface* surface);

}  // namespace tori::qt
