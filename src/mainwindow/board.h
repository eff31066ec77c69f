#pragma once

// The board on screen: the pieces of the game on the table, each in the cell the game says it
// stands in, with the blank cell left open. It draws what the game says and takes the player's
// mouse and keys on the pieces (Tab in reading order, the arrow keys to the neighbouring piece),
// reporting which piece was clicked or activated with Enter; the window decides what that does.
// A screen reader reads it as a table of cells (boardaccessible.h).

#include "puzzle/puzzlegame.h"

#include <QPixmap>
#include <QWidget>

#include <vector>

namespace tilmora {

class PieceWidget;

class Board final : public QWidget
{
    Q_OBJECT
public:
    // The board reads `game`, which outlives it.
    Board(const puzzle::PuzzleGame& game, QWidget* parent);

    // Lays out the board the game has just dealt, cut from `picture`; the board covers the picture
    // exactly, so give it the picture's size first.
    void deal(const QPixmap& picture);
    // Takes every piece away at once, so a new board never stands beside the old one.
    void clear();
    // Shows the move the game just made: `piece` and the blank cell traded places.
    void showMove(int piece);
    // The game is won: the missing piece completes the picture and the pieces take no more keys.
    void showEnd();

    // Draws each piece's number (its home cell in reading order) in its corner, or not.
    void showNumbers(bool shown);

    // The pieces on screen, by piece number (element 0 unused); empty without a board.
    [[nodiscard]] const std::vector<PieceWidget*>& picturesplit() const { return picturesplit_; }
    // The board on screen is boardSize() x boardSize() cells; 0 without a board.
    [[nodiscard]] int boardSize() const { return picturesplit_.empty() ? 0 : game_.boardsize(); }
    [[nodiscard]] const puzzle::PuzzleGame& game() const { return game_; }

signals:
    void clicked(int piece);   // a press and release of the mouse on the piece
    void activated(int piece); // Enter on the piece

private:
    [[nodiscard]] QRect cellRect(puzzle::Cell cell) const;
    void placePiece(PieceWidget* widget);
    void updateTabOrder();
    void moveFocus(int fromPiece, Qt::Key direction);

    const puzzle::PuzzleGame& game_;
    std::vector<PieceWidget*> picturesplit_;
    bool numbersShown_ = false;
};

} // namespace tilmora
