#include "puzzlegame.h"

#include <cassert>
#include <cstdlib>
#include <utility>

namespace tilmora::puzzle {

void PuzzleGame::chooseLevel(Level level)
{
    level_ = level;
}

void PuzzleGame::chooseSize(int n)
{
    assert(n >= 2 && n <= 10);
    gridsize_ = n;
}

void PuzzleGame::pictureLoaded(int width, int height)
{
    discardBoard();
    phase_ = Phase::PictureOnly;
    picturewidth_ = width;
    pictureheight_ = height;
    attempts_ = 0;
    boardsize_ = 0;
}

StartOutcome PuzzleGame::start(RandomEngine& random, const ClockReading& now)
{
    if (!flagforload())
        return StartOutcome::NoPicture;
    // Every piece must be at least a pixel on each side; a picture a few pixels across cannot be
    // cut that finely, and the board on the table stays as it is.
    if (picturewidth_ < gridsize_ || pictureheight_ < gridsize_)
        return StartOutcome::PictureTooSmall;
    deal(random, now);
    return StartOutcome::Dealt;
}

void PuzzleGame::discardBoard()
{
    phase_ = Phase::PictureOnly;
    cellpiece_.clear();
    piececell_.clear();
}

void PuzzleGame::deal(RandomEngine& random, const ClockReading& now)
{
    discardBoard();
    phase_ = Phase::InPlay;
    boardsize_ = gridsize_;
    pieceorder_ = dealSolvableBoard(boardsize_, random);
    starttime_ = StartTime(now);
    elapsedseconds_ = 0;
    attempts_ = 0;

    const auto count = static_cast<std::size_t>(pieceCount());
    cellpiece_ = pieceorder_;
    piececell_.assign(count + 1, 0);
    for (std::size_t cell = 0; cell < count; ++cell)
        piececell_[static_cast<std::size_t>(cellpiece_[cell])] = static_cast<int>(cell);
}

ClickOutcome PuzzleGame::click(int piece)
{
    if (!inPlay() || piece < 1 || piece > pieceCount())
        return {};

    ClickOutcome outcome;
    outcome.counted = true;
    outcome.attemptsShown = ++attempts_;

    const Cell from = cellOfPiece(piece);
    if (piece != 1 && mayMove(from)) {
        const Cell blank = blankCell();
        std::swap(cellpiece_[static_cast<std::size_t>(indexOf(from))],
                  cellpiece_[static_cast<std::size_t>(indexOf(blank))]);
        std::swap(piececell_[static_cast<std::size_t>(piece)], piececell_[1]);
        outcome.moved = true;
    }

    if (CheckSolved()) {
        endGame();
        outcome.solved = true;
    }
    return outcome;
}

std::int64_t PuzzleGame::tick(SteadyTime now)
{
    if (timerEnabled())
        elapsedseconds_ = starttime_.elapsedSecondsAt(now);
    return elapsedseconds_;
}

// Easy: any piece may jump into the blank cell. Hard: only a piece next to it in one of the four
// directions, on the board as dealt (a size chosen since then waits for the next Start).
bool PuzzleGame::mayMove(Cell from) const
{
    if (level_ == Level::Easy)
        return true;
    const Cell blank = blankCell();
    const int rowDistance = std::abs(from.row - blank.row);
    const int columnDistance = std::abs(from.column - blank.column);
    return rowDistance + columnDistance == 1;
}

bool PuzzleGame::CheckSolved() const
{
    if (!hasBoard())
        return false;
    for (int piece = 1; piece <= pieceCount(); ++piece) {
        if (piececell_[static_cast<std::size_t>(piece)] != piece - 1)
            return false;
    }
    return true;
}

// The game is won: the clock stops, piece 1 completes the picture, and the counts start afresh
// (the labels keep showing the final values).
void PuzzleGame::endGame()
{
    phase_ = Phase::Over;
    attempts_ = 0;
    elapsedseconds_ = 0;
}

Cell PuzzleGame::cellOfPiece(int piece) const
{
    assert(hasBoard() && piece >= 1 && piece <= pieceCount());
    return cellAt(piececell_[static_cast<std::size_t>(piece)]);
}

int PuzzleGame::pieceAt(Cell cell) const
{
    assert(hasBoard());
    return cellpiece_[static_cast<std::size_t>(indexOf(cell))];
}

Cell PuzzleGame::cellAt(int index) const
{
    return {index / boardsize_, index % boardsize_};
}

int PuzzleGame::indexOf(Cell cell) const
{
    return cell.row * boardsize_ + cell.column;
}

} // namespace tilmora::puzzle
