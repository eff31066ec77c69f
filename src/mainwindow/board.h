#pragma once

// The board on screen: the pieces of the game on the table, each in the cell the game says it
// stands in, with the blank cell left open. It draws what the game says and takes the player's
// mouse and keys, reporting which piece was clicked or activated with Enter; the window decides
// what that does. The keyboard works on cells, the blank among them: the board takes the focus and
// keeps a cursor on one cell (Tab in reading order, the arrow keys to the neighbouring cell); the
// cursor follows a piece that moves. A screen reader reads the board as a table of cells
// (boardaccessible.h); the board only sends the events, by cell index in reading order.

#include "puzzle/puzzlegame.h"

#include <QAccessible>
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
    // exactly, so give it the picture's size first. The cursor starts on the cell after the blank.
    void deal(const QPixmap& picture);
    // Takes every piece away at once, so a new board never stands beside the old one.
    void clear();
    // Shows the move the game just made: `piece` and the blank cell traded places.
    void showMove(int piece);
    // A click on `piece` that the rules refused (Hard: not next to the blank) is told to a screen
    // reader, which otherwise hears nothing change.
    void showRefusal(int piece);
    // The game is won: the missing piece completes the picture; Enter moves nothing any more.
    void showEnd();

    // Draws each piece's number (its home cell in reading order) in its corner, or not.
    void showNumbers(bool shown);
    [[nodiscard]] bool numbersShown() const { return numbersShown_; }

    // The pieces on screen, by piece number (element 0 unused); empty without a board.
    [[nodiscard]] const std::vector<PieceWidget*>& picturesplit() const { return picturesplit_; }
    // The board on screen is boardSize() x boardSize() cells; 0 without a board.
    [[nodiscard]] int boardSize() const { return picturesplit_.empty() ? 0 : game_.boardsize(); }
    [[nodiscard]] const puzzle::PuzzleGame& game() const { return game_; }
    // The cell the keyboard works on.
    [[nodiscard]] puzzle::Cell cursorCell() const { return cursor_; }
    // What just happened to the piece under the cursor, while a screen reader is told of it.
    enum class News { None, Moved, Refused };
    [[nodiscard]] News news() const { return news_; }
    // Where a cell lies on the board.
    [[nodiscard]] QRect cellRect(puzzle::Cell cell) const;
    // A screen reader's press on a cell: the cursor goes there with the focus, then the piece there
    // acts as with Enter, once the caller has had its answer.
    void press(puzzle::Cell cell);
    // A hint: the focus and the cursor go to the cell where `piece` stands, read out as any step.
    void showPiece(int piece);

signals:
    void clicked(int piece);   // a press and release of the mouse on the piece
    void activated(int piece); // Enter on the piece

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void placePiece(PieceWidget* widget);
    void moveCursor(puzzle::Cell cell);
    void showCursor();
    void announce(QAccessible::Event kind);
    void announce(QAccessible::Event kind, puzzle::Cell cell);
    void announceNews();
    void announceNewBoard();

    const puzzle::PuzzleGame& game_;
    std::vector<PieceWidget*> picturesplit_;
    bool numbersShown_ = false;
    puzzle::Cell cursor_{};
    News news_ = News::None;
};

} // namespace tilmora
