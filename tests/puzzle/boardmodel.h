#pragma once

// Test support for the game core: boards written as short strings, an independent model of the
// neighbour moves, and a solver that uses nothing but neighbour moves.
//
// A board is written row by row, the blank (piece 1) as "_", rows optionally split by "/":
// "_ 2 3 / 4 5 6 / 7 8 9" is the solved 3x3 board. Like a deal, a board held as a vector lists the
// piece in each cell in reading order.

#include "puzzle/puzzlegame.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tilmora::puzzle::testkit {

using Board = std::vector<int>;

[[nodiscard]] Board parseBoard(std::string_view text);
[[nodiscard]] std::string boardText(std::span<const int> board);

// The side of a square board of `pieceCount` cells.
[[nodiscard]] int sideOf(std::size_t pieceCount);

// The board on the table, read cell by cell through pieceAt. Precondition: game.hasBoard().
[[nodiscard]] Board boardOf(const PuzzleGame& game);
[[nodiscard]] std::string boardText(const PuzzleGame& game);

[[nodiscard]] Board homeBoard(int n);
[[nodiscard]] bool isPermutation(std::span<const int> board);

// Whether the cells with these 0-based indices on an n x n board share a side.
[[nodiscard]] bool areNeighbours(int cellA, int cellB, int n);

// The usual textbook rule, written for puzzles whose blank belongs in the bottom-right corner:
// count inversions among the numbered pieces; on odd sides the count must be even, on even sides
// its parity must differ from the parity of the blank's row counted from the bottom (1-based).
// Piece 1 is taken as the blank, as someone porting the rule to this game would do.
[[nodiscard]] bool textbookSaysSolvable(std::span<const int> board, int n);

// Index of a permutation of 1..9 among all 9! of them (lexicographic rank).
[[nodiscard]] std::size_t rankOf3x3(std::span<const int> board);

// For every 3x3 arrangement, by rank: whether it can be reached from the solved board by
// neighbour moves. Found by a breadth-first search over the states, computed once.
[[nodiscard]] const std::vector<bool>& reachable3x3();

// A way to solve the board using neighbour moves only, as the cells the blank steps into, one per
// move; nothing when the solver cannot finish it (the board is unsolvable).
//
// It places the pieces of the bottom rows from right to left, then the pieces of the top two rows
// column by column from the right, then the top-left 2x2 block. Each piece, or the last pair of a
// row or column, is brought home by a breadth-first search over the positions of those pieces and
// the blank among the cells not yet finished, so it never gets stuck on an awkward corner.
[[nodiscard]] std::optional<std::vector<int>> solveByNeighbourMoves(Board board, int n);

// Swaps the blank with the piece in `cell`, as the game does on a move.
void slideIntoBlank(Board& board, int cell);

// Brings the game in play to `target` with Easy clicks (any piece trades places with the blank),
// then restores the level it had. Each click counts an attempt; the count made is returned.
// Precondition: target is a permutation of the board's size and not the solved board.
std::int64_t arrangeOnEasy(PuzzleGame& game, std::span<const int> target);

} // namespace tilmora::puzzle::testkit
