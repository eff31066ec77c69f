#pragma once

// The deal: which piece lands in which cell when a game starts.
//
// Cells and pieces are numbered 1 to n*n in reading order (left to right, then top to bottom);
// piece k belongs in cell k. A deal is held as `pieceorder`: element p - 1 is the number of the
// piece dealt to cell p. Piece 1 is the hidden piece, so the cell it is dealt to is the blank cell.

#include <random>
#include <span>
#include <vector>

namespace tilmora::puzzle {

// Every random choice of the game comes from an engine the caller owns and seeds, so a game can
// be replayed exactly in a test.
using RandomEngine = std::mt19937;

// Deals a random permutation of 1..pieceCount by rejection: each cell keeps drawing a number
// uniformly from 1..pieceCount until it gets one that no earlier cell holds. Uniform over all
// permutations, the home order included. Precondition: pieceCount >= 1.
[[nodiscard]] std::vector<int> MakeRandomOrder(int pieceCount, RandomEngine& random);

// Whether the arrangement can be put in order by sliding neighbours into the blank cell.
//
// Each slide swaps piece 1 with a neighbour: one transposition of the permutation, and the blank
// cell steps one row or one column. So the parity of the permutation and the parity of the blank
// cell's distance (row + column) from its home in the top-left corner change together, and a
// board can only be solved when the two agree. They agreeing is also enough (the classic result
// for sliding puzzles of at least 2x2). The textbook "count inversions" rule assumes the blank
// belongs bottom-right and gives the wrong answer here on even sizes, hence this form.
// Precondition: order is a permutation of 1..n*n.
[[nodiscard]] bool isSolvable(std::span<const int> order, int n);

// Whether every piece stands in its home cell.
[[nodiscard]] bool isHomeOrder(std::span<const int> order);

// The deal a new game uses: MakeRandomOrder, then, when the arrangement cannot be solved by
// neighbour moves, pieces 2 and 3 trade places (wherever they were dealt). That swap flips the
// permutation's parity without moving the blank cell, and it is its own inverse, so it pairs each
// unsolvable arrangement with exactly one solvable one: deals stay uniform over the solvable
// arrangements. A deal that comes out already solved is drawn again; a game never starts finished.
// Precondition: 2 <= n.
[[nodiscard]] std::vector<int> dealSolvableBoard(int n, RandomEngine& random);

} // namespace tilmora::puzzle
