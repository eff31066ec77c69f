#pragma once

// The board as a screen reader reads it: a table of n x n cells, each the piece that stands there
// (named after the cell it belongs in, "in place" once it is there, with a press action that
// does what a click does) or the blank cell. Qt builds the tree from these interfaces; the board
// tells it what a move changed.

#include "puzzle/puzzlegame.h"

class QWidget;

namespace tilmora {

class Board;
class PieceWidget;

// Lets Qt find the board's and the pieces' accessible interfaces; safe to call more than once.
void installBoardAccessibility();

// The board changed as a whole (a deal, or no board any more).
void announceNewBoard(Board* board);

// `moved` and the blank cell traded places: `moved` came from `from` into `to`.
void announceMove(Board* board, PieceWidget* moved, PieceWidget* blank, puzzle::Cell from, puzzle::Cell to);

} // namespace tilmora
