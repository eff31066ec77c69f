#include "board.h"

#include "boardaccessible.h"
#include "piecewidget.h"

#include <cmath>

namespace tilmora {

Board::Board(const puzzle::PuzzleGame& game, QWidget* parent)
    : QWidget(parent)
    , game_(game)
{
    setObjectName(QStringLiteral("board"));
    installBoardAccessibility();
    // No background of its own: the blank cell shows the play area behind the board.
    hide();
}

void Board::deal(const QPixmap& picture)
{
    clear();
    const double scale = picture.devicePixelRatio();
    const auto devicePixel = [scale](int logical) { return static_cast<int>(std::lround(logical * scale)); };
    picturesplit_.assign(static_cast<std::size_t>(game_.pieceCount()) + 1, nullptr);
    for (int piece = 1; piece <= game_.pieceCount(); ++piece) {
        const QRect home = cellRect(game_.homeCell(piece));
        const QRect source(QPoint(devicePixel(home.left()), devicePixel(home.top())),
                           QPoint(devicePixel(home.right() + 1) - 1, devicePixel(home.bottom() + 1) - 1));
        auto* widget = new PieceWidget(piece, picture, source, this);
        // The pointer says "no" while a button is held on a piece.
        connect(widget, &PieceWidget::pressed, this, [this] { setCursor(Qt::ForbiddenCursor); });
        connect(widget, &PieceWidget::released, this, [this] { unsetCursor(); });
        connect(widget, &PieceWidget::clicked, this, &Board::clicked);
        connect(widget, &PieceWidget::activated, this, &Board::activated);
        connect(widget, &PieceWidget::arrowPressed, this, &Board::moveFocus);
        picturesplit_[static_cast<std::size_t>(piece)] = widget;
        placePiece(widget);
        widget->showNumber(numbersShown_);
        widget->setVisible(game_.isPieceVisible(piece));
    }
    updateTabOrder();
    show();
    announceNewBoard(this);
}

void Board::clear()
{
    qDeleteAll(picturesplit_);
    picturesplit_.clear();
    unsetCursor();
    hide();
    announceNewBoard(this);
}

void Board::showMove(int piece)
{
    auto* moved = picturesplit_[static_cast<std::size_t>(piece)];
    auto* blank = picturesplit_[1];
    placePiece(moved);
    placePiece(blank);
    updateTabOrder();
    announceMove(this, moved, blank, game_.blankCell(), game_.cellOfPiece(piece));
}

void Board::showNumbers(bool shown)
{
    numbersShown_ = shown;
    for (auto* widget : picturesplit_) {
        if (widget != nullptr)
            widget->showNumber(shown);
    }
}

void Board::showEnd()
{
    picturesplit_[1]->show();
    for (auto* widget : picturesplit_) {
        if (widget != nullptr)
            widget->setFocusPolicy(Qt::NoFocus);
    }
}

QRect Board::cellRect(puzzle::Cell cell) const
{
    // Cell edges are rounded from exact fractions of the picture, so the cells tile it with no
    // gap or overlap whatever its size: 440 pixels in six columns make cells of 73 and 74.
    const int n = game_.boardsize();
    const auto edge = [n](int index, int length) {
        return static_cast<int>(std::lround(static_cast<double>(index) * length / n));
    };
    const int left = edge(cell.column, width());
    const int top = edge(cell.row, height());
    return {QPoint(left, top), QPoint(edge(cell.column + 1, width()) - 1, edge(cell.row + 1, height()) - 1)};
}

void Board::placePiece(PieceWidget* widget)
{
    widget->setGeometry(cellRect(game_.cellOfPiece(widget->piece())));
}

// Tab walks the pieces in the reading order of the cells they stand in.
void Board::updateTabOrder()
{
    QWidget* previous = nullptr;
    const int n = game_.boardsize();
    for (int row = 0; row < n; ++row) {
        for (int column = 0; column < n; ++column) {
            QWidget* current = picturesplit_[static_cast<std::size_t>(game_.pieceAt({row, column}))];
            if (previous)
                QWidget::setTabOrder(previous, current);
            previous = current;
        }
    }
}

// The arrow keys move the focus to the piece in the neighbouring cell, passing over the blank.
void Board::moveFocus(int fromPiece, Qt::Key direction)
{
    if (!game_.inPlay())
        return;
    const int n = game_.boardsize();
    auto cell = game_.cellOfPiece(fromPiece);
    const int dRow = direction == Qt::Key_Up ? -1 : direction == Qt::Key_Down ? 1 : 0;
    const int dColumn = direction == Qt::Key_Left ? -1 : direction == Qt::Key_Right ? 1 : 0;
    for (;;) {
        cell = {cell.row + dRow, cell.column + dColumn};
        if (cell.row < 0 || cell.row >= n || cell.column < 0 || cell.column >= n)
            return;
        auto* widget = picturesplit_[static_cast<std::size_t>(game_.pieceAt(cell))];
        if (widget->isVisible()) {
            widget->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
}

} // namespace tilmora
