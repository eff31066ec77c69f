#pragma once

// The board as a screen reader reads it: a table of n x n cells, each the object of the piece that
// stands there, named by where it belongs ("piece for row 2, column 3", or "piece 6" while Numbers
// is on) with ", in place" once it is there, with a press action that does what Enter does; or the
// blank, named with its place ("Blank, row 1, column 2"). The keyboard cursor going to another cell
// is heard as the focus going to another object; what happens to the focused piece (a move, a
// refusal) is heard as a change of its description, as a screen reader ignores the focus arriving
// again on the object it is on. The board sends the events (board.h); the interfaces here answer
// what the screen reader asks.

namespace tilmora {

// Lets Qt find the board's accessible interface; safe to call more than once.
void installBoardAccessibility();

} // namespace tilmora
