#pragma once

// The state and the rules of one run of the sliding picture puzzle, with no window attached.
//
// The main window owns one PuzzleGame and turns menu commands, clicks, keys and timer ticks into
// calls on it; after each call it draws what the game says. Random numbers and clock readings are
// handed in, so every game can be replayed exactly.
//
// Board model: an n x n grid of cells numbered 1..n*n in reading order. Piece k belongs in cell k.
// Piece 1 is hidden during play; the cell it stands in is the blank cell, and a move swaps a piece
// with it. Rules compare cells, never screen positions, so a picture of any size plays the same.

#include "deal.h"
#include "gameclock.h"

#include <cstdint>
#include <vector>

namespace tilmora::puzzle {

enum class Level { Easy, Hard };

// A cell by row and column, both from 0 at the top-left.
struct Cell {
    int row = 0;
    int column = 0;
    friend bool operator==(const Cell&, const Cell&) = default;
};

// Where a run of the game stands. Everything the windows ask (is there a picture, a board, is the
// clock running, is the game won) follows from this one fact.
enum class Phase {
    NoPicture,   // nothing loaded yet: Start is refused
    PictureOnly, // a picture and no board: the state after a load
    InPlay,      // a board dealt and not yet solved; the clock runs
    Over,        // the board is solved and waits for the next Start
};

// What Start did.
enum class StartOutcome {
    NoPicture,       // refused: the player must load a picture first
    PictureTooSmall, // refused: a piece would be less than a pixel on a side; nothing changed
    Dealt,           // a fresh board is on the table and the clock runs
};

// What a click (or Enter) on a piece did.
struct ClickOutcome {
    bool counted = false;         // false: no game in play, or no such piece; nothing changed
    bool moved = false;           // the piece swapped places with the blank cell
    bool solved = false;          // this click finished the game
    std::int64_t attemptsShown{}; // the count the attempts label shows after this click
};

class PuzzleGame
{
public:
    static constexpr int kDefaultGridSize = 4;

    // Menu commands. A size takes effect at the next Start; a level at the very next click.
    void chooseLevel(Level level);
    void chooseSize(int n); // Precondition: 2 <= n <= 10.

    // A new picture of width x height pixels replaced the old one: any board is discarded and the
    // clock stops.
    void pictureLoaded(int width, int height);

    // The Start command: refuses without a picture, or with one too small to cut into pieces of a
    // pixel at least; otherwise discards any board (also a finished one, or one of another size)
    // and deals a fresh one of the chosen size.
    StartOutcome start(RandomEngine& random, const ClockReading& now);

    // A click on piece k (1..n*n), or the Enter key on it. Counted only while a game is in play.
    ClickOutcome click(int piece);

    // A tick of the clock: recomputes the elapsed seconds while a game runs and returns them.
    std::int64_t tick(SteadyTime now);

    // --- What the windows read ---
    // A picture has been loaded (it is never taken away again).
    [[nodiscard]] bool flagforload() const { return phase_ != Phase::NoPicture; }
    // A board is on the table, in play or finished (flagforstart).
    [[nodiscard]] bool hasBoard() const { return phase_ == Phase::InPlay || phase_ == Phase::Over; }
    // A board is in play: dealt and not yet solved.
    [[nodiscard]] bool inPlay() const { return phase_ == Phase::InPlay; }
    // The last game on the board was solved (flagforsolved).
    [[nodiscard]] bool isOver() const { return phase_ == Phase::Over; }
    // Whether the clock ticks (the timer is enabled): exactly while a game is in play.
    [[nodiscard]] bool timerEnabled() const { return inPlay(); }
    [[nodiscard]] Level level() const { return level_; }
    [[nodiscard]] int gridsize() const { return gridsize_; }
    [[nodiscard]] int boardsize() const { return boardsize_; }
    [[nodiscard]] std::int64_t attempts() const { return attempts_; }
    [[nodiscard]] std::int64_t elapsedseconds() const { return elapsedseconds_; }
    // The deal of the board dealt last, cell by cell (see deal.h); empty before the first Start.
    [[nodiscard]] const std::vector<int>& pieceorder() const { return pieceorder_; }
    // When the game on the board started (see gameclock.h).
    [[nodiscard]] const StartTime& starttime() const { return starttime_; }

    [[nodiscard]] int pieceCount() const { return boardsize_ * boardsize_; }

    // Where piece k (1..pieceCount()) stands, and which piece stands in a cell.
    // Precondition: hasBoard().
    [[nodiscard]] Cell cellOfPiece(int piece) const;
    [[nodiscard]] int pieceAt(Cell cell) const;
    [[nodiscard]] Cell blankCell() const { return cellOfPiece(1); }
    // The cell piece k belongs in: piece 1 top-left, then in reading order.
    [[nodiscard]] Cell homeCell(int piece) const { return cellAt(piece - 1); }
    // Piece 1 stays hidden while a game is in play and completes the picture at its end.
    [[nodiscard]] bool isPieceVisible(int piece) const { return piece != 1 || isOver(); }

    // Whether every piece stands in its home cell (the solved check).
    [[nodiscard]] bool CheckSolved() const;

private:
    void discardBoard();
    void deal(RandomEngine& random, const ClockReading& now);
    void endGame();
    [[nodiscard]] bool mayMove(Cell from) const;
    [[nodiscard]] Cell cellAt(int index) const;
    [[nodiscard]] int indexOf(Cell cell) const;

    Phase phase_ = Phase::NoPicture;
    Level level_ = Level::Easy;
    int gridsize_ = kDefaultGridSize;
    int boardsize_ = 0;
    int picturewidth_ = 0;
    int pictureheight_ = 0;
    std::int64_t attempts_ = 0;
    std::int64_t elapsedseconds_ = 0;
    StartTime starttime_;
    std::vector<int> pieceorder_; // the deal of the current board
    std::vector<int> cellpiece_;  // cell index (0-based) -> piece number
    std::vector<int> piececell_;  // piece number -> cell index (0-based); element 0 unused
};

} // namespace tilmora::puzzle
