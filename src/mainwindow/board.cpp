#include "board.h"

#include "announcement.h"
#include "piecewidget.h"

#include <QKeyEvent>
#include <QPainter>

#include <cmath>

namespace tilmora {

Board::Board(const puzzle::PuzzleGame& game, QWidget* parent)
    : QWidget(parent)
    , game_(game)
{
    setObjectName(QStringLiteral("board"));
    // No background of its own: the blank cell shows the play area behind the board. Without a
    // board it has no size rather than being hidden: a screen reader that saw it hidden would not
    // notice it shown again (Qt tells it "showing" but not "visible").
    clear();
}

void Board::deal(const QPixmap& picture)
{
    const QSize size = this->size();
    clear();
    resize(size);
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
        picturesplit_[static_cast<std::size_t>(piece)] = widget;
        placePiece(widget);
        widget->showNumber(numbersShown_);
        widget->setVisible(game_.isPieceVisible(piece));
    }
    // The same cell on every deal, so a player knows where the keys start: the one after the blank.
    const int n = game_.boardsize();
    const puzzle::Cell blank = game_.blankCell();
    const int next = (blank.row * n + blank.column + 1) % (n * n);
    cursor_ = {next / n, next % n};
    // Tab and the arrow keys give the board the focus; a mouse click does not, so a mouse player
    // never sees the keyboard frame.
    setFocusPolicy(Qt::TabFocus);
    setAttribute(Qt::WA_TransparentForMouseEvents, false);
    announceNewBoard();
    showCursor();
    announce(QAccessible::Focus);
}

void Board::clear()
{
    qDeleteAll(picturesplit_);
    picturesplit_.clear();
    unsetCursor();
    news_ = News::None;
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_TransparentForMouseEvents, true);
    resize(0, 0);
    announceNewBoard();
}

void Board::showMove(int piece)
{
    const puzzle::Cell from = game_.blankCell();
    const puzzle::Cell to = game_.cellOfPiece(piece);
    placePiece(picturesplit_[static_cast<std::size_t>(piece)]);
    placePiece(picturesplit_[1]);
    QAccessibleTableModelChangeEvent change(this, QAccessibleTableModelChangeEvent::DataChanged);
    change.setFirstRow(std::min(from.row, to.row));
    change.setLastRow(std::max(from.row, to.row));
    change.setFirstColumn(std::min(from.column, to.column));
    change.setLastColumn(std::max(from.column, to.column));
    QAccessible::updateAccessibility(&change);
    // Both names say where they stand ("in place", the blank's place).
    announce(QAccessible::NameChanged, from);
    announce(QAccessible::NameChanged, to);
    if (cursor_ == to) {
        // The blank left the cursor: the piece that came in is another object to a screen reader.
        news_ = News::None;
        showCursor();
        announce(QAccessible::Focus);
    } else if (cursor_ == from) {
        // The cursor goes with the piece it was on. To a screen reader that is the same object,
        // focused still: what happened is told as a change of its description.
        cursor_ = to;
        news_ = News::Moved;
        showCursor();
        announceNews();
    }
}

void Board::showRefusal(int piece)
{
    if (game_.cellOfPiece(piece) != cursor_)
        return;
    news_ = News::Refused;
    announceNews();
}

void Board::showNumbers(bool shown)
{
    numbersShown_ = shown;
    for (auto* widget : picturesplit_) {
        if (widget != nullptr) {
            widget->showNumber(shown);
            announce(QAccessible::NameChanged, game_.cellOfPiece(widget->piece()));
        }
    }
}

void Board::showEnd()
{
    picturesplit_[1]->show();
    showCursor();
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

void Board::press(puzzle::Cell cell)
{
    // Queued: a screen reader waits for the answer to its press, and the move may end the game
    // with a message box that waits for the player.
    QMetaObject::invokeMethod(
        this,
        [this, cell] {
            if (boardSize() == 0)
                return;
            setFocus(Qt::OtherFocusReason);
            moveCursor(cell);
            if (const int piece = game_.pieceAt(cell); game_.inPlay() && game_.isPieceVisible(piece))
                emit activated(piece);
        },
        Qt::QueuedConnection);
}

void Board::showPiece(int piece)
{
    if (boardSize() == 0)
        return;
    const puzzle::Cell cell = game_.cellOfPiece(piece);
    const bool alreadyThere = hasFocus() && cell == cursor_;
    setFocus(Qt::OtherFocusReason);
    moveCursor(cell);
    // A screen reader reads the focus moving; a hint for the cell it is already on is said anew.
    auto* table =
        alreadyThere && QAccessible::isActive() ? QAccessible::queryAccessibleInterface(this) : nullptr;
    if (auto* focused = table ? table->child(cell.row * boardSize() + cell.column) : nullptr)
        tilmora::announce(this, focused->text(QAccessible::Name));
}

void Board::keyPressEvent(QKeyEvent* event)
{
    const int n = boardSize();
    const auto step = [this, n](int dRow, int dColumn) {
        const puzzle::Cell next{cursor_.row + dRow, cursor_.column + dColumn};
        // At the board's edge the cursor stays put.
        if (next.row >= 0 && next.row < n && next.column >= 0 && next.column < n)
            moveCursor(next);
    };
    switch (event->key()) {
    case Qt::Key_Left:
        return step(0, -1);
    case Qt::Key_Right:
        return step(0, 1);
    case Qt::Key_Up:
        return step(-1, 0);
    case Qt::Key_Down:
        return step(1, 0);
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // Enter on the blank cell does nothing, as a click there does.
        if (const int piece = game_.pieceAt(cursor_); n > 0 && game_.inPlay() && game_.isPieceVisible(piece))
            emit activated(piece);
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

// Tab walks the cells in reading order and comes round again; nothing else in the window takes it.
bool Board::focusNextPrevChild(bool next)
{
    const int n = boardSize();
    if (n == 0 || !hasFocus())
        return QWidget::focusNextPrevChild(next);
    const int index = (cursor_.row * n + cursor_.column + (next ? 1 : n * n - 1)) % (n * n);
    moveCursor({index / n, index % n});
    return true;
}

void Board::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    showCursor();
    // The board as a whole takes the focus, which Qt tells after this; the cell the cursor is on
    // is told after that, to be read after the table.
    QMetaObject::invokeMethod(
        this, [this] { announce(QAccessible::Focus); }, Qt::QueuedConnection);
}

void Board::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    showCursor();
}

void Board::moveCursor(puzzle::Cell cell)
{
    const bool moved = cell != cursor_;
    cursor_ = cell;
    news_ = News::None;
    showCursor();
    // Moving the focus to another cell's object is what a screen reader reads out, whether the
    // cursor stepped or a piece carried it.
    if (moved)
        announce(QAccessible::Focus);
}

void Board::showCursor()
{
    const bool shown = hasFocus() && boardSize() > 0;
    for (auto* widget : picturesplit_) {
        if (widget != nullptr)
            widget->showCursor(shown && game_.cellOfPiece(widget->piece()) == cursor_);
    }
    update();
}

// The frame on the blank cell, which no piece covers.
void Board::paintEvent(QPaintEvent* /*event*/)
{
    if (!hasFocus() || boardSize() == 0 || game_.isPieceVisible(game_.pieceAt(cursor_)))
        return;
    QPainter painter(this);
    drawCursorFrame(painter, cellRect(cursor_));
}

void Board::announce(QAccessible::Event kind)
{
    if (hasFocus())
        announce(kind, cursor_);
}

void Board::announce(QAccessible::Event kind, puzzle::Cell cell)
{
    if (boardSize() == 0)
        return;
    QAccessibleEvent event(this, kind);
    event.setChild(cell.row * boardSize() + cell.column);
    QAccessible::updateAccessibility(&event);
}

// The news is the focused cell's description, worded where the cells are named.
void Board::announceNews()
{
    if (!hasFocus() || !QAccessible::isActive()) {
        news_ = News::None;
        return;
    }
    auto* table = QAccessible::queryAccessibleInterface(this);
    auto* cell = table ? table->child(cursor_.row * boardSize() + cursor_.column) : nullptr;
    if (cell != nullptr)
        tilmora::announce(this, cell->text(QAccessible::Description));
    // Told once: the cell read again later is read as it stands.
    news_ = News::None;
}

void Board::announceNewBoard()
{
    QAccessibleTableModelChangeEvent reset(this, QAccessibleTableModelChangeEvent::ModelReset);
    QAccessible::updateAccessibility(&reset);
}

} // namespace tilmora
