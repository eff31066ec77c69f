#include "boardaccessible.h"

#include "board.h"

#include <QAccessibleWidget>
#include <QCoreApplication>

#include <algorithm>
#include <map>

namespace tilmora {

namespace {

using puzzle::Cell;

// A piece, or the blank (piece 1 while it is hidden), as a cell of the board's table.
class PieceAccessible final : public QAccessibleInterface,
                              public QAccessibleTableCellInterface,
                              public QAccessibleActionInterface
{
    Q_DECLARE_TR_FUNCTIONS(tilmora::PieceAccessible)
public:
    PieceAccessible(Board* board, int piece)
        : board_(board)
        , piece_(piece)
    {}

    [[nodiscard]] bool isValid() const override { return board_->boardSize() > 0; }
    [[nodiscard]] QObject* object() const override { return nullptr; }
    [[nodiscard]] QAccessibleInterface* parent() const override
    {
        return QAccessible::queryAccessibleInterface(board_);
    }
    [[nodiscard]] QAccessibleInterface* child(int /*index*/) const override { return nullptr; }
    [[nodiscard]] int childCount() const override { return 0; }
    [[nodiscard]] int indexOfChild(const QAccessibleInterface* /*child*/) const override { return -1; }
    [[nodiscard]] QAccessibleInterface* childAt(int /*x*/, int /*y*/) const override { return nullptr; }
    [[nodiscard]] QAccessible::Role role() const override { return QAccessible::Cell; }
    [[nodiscard]] QRect rect() const override
    {
        const QRect cell = board_->cellRect(this->cell());
        return {board_->mapToGlobal(cell.topLeft()), cell.size()};
    }
    void setText(QAccessible::Text /*kind*/, const QString& /*text*/) override {}

    // Short, as the player hears it on every move: what stands here and where it belongs; the
    // blank says where it is, the one thing a player needs of it.
    [[nodiscard]] QString text(QAccessible::Text kind) const override
    {
        const auto& game = board_->game();
        const Cell here = cell();
        if (kind == QAccessible::Description) {
            if (!hasFocus())
                return {};
            if (board_->news() == Board::News::Refused)
                return tr("Refused");
            return board_->news() == Board::News::Moved ? movedText() : QString();
        }
        if (kind != QAccessible::Name)
            return {};
        if (!game.isPieceVisible(piece_))
            return tr("Blank, %1").arg(place(here));
        const QString name = board_->numbersShown() ? tr("piece %1").arg(piece_)
                                                    : tr("piece for %1").arg(place(game.homeCell(piece_)));
        return game.homeCell(piece_) == here ? tr("%1, in place").arg(name) : name;
    }

    [[nodiscard]] QAccessible::State state() const override
    {
        QAccessible::State state;
        state.focusable = true;
        state.focused = hasFocus();
        return state;
    }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TableCellInterface)
            return static_cast<QAccessibleTableCellInterface*>(this);
        if (type == QAccessible::ActionInterface)
            return static_cast<QAccessibleActionInterface*>(this);
        return nullptr;
    }

    [[nodiscard]] QStringList actionNames() const override
    {
        const auto& game = board_->game();
        return game.inPlay() && game.isPieceVisible(piece_) ? QStringList{pressAction()} : QStringList{};
    }
    void doAction(const QString& action) override
    {
        if (action == pressAction())
            board_->press(cell());
    }
    [[nodiscard]] QStringList keyBindingsForAction(const QString& action) const override
    {
        return action == pressAction() ? QStringList{QStringLiteral("Return")} : QStringList{};
    }

    [[nodiscard]] bool isSelected() const override { return false; }
    [[nodiscard]] QList<QAccessibleInterface*> columnHeaderCells() const override { return {}; }
    [[nodiscard]] QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    [[nodiscard]] int columnIndex() const override { return cell().column; }
    [[nodiscard]] int rowIndex() const override { return cell().row; }
    [[nodiscard]] int columnExtent() const override { return 1; }
    [[nodiscard]] int rowExtent() const override { return 1; }
    [[nodiscard]] QAccessibleInterface* table() const override { return parent(); }

private:
    [[nodiscard]] Cell cell() const { return board_->game().cellOfPiece(piece_); }
    [[nodiscard]] bool hasFocus() const { return board_->hasFocus() && board_->cursorCell() == cell(); }
    //: A place on the board, counted from the top left.
    [[nodiscard]] static QString place(Cell cell)
    {
        return tr("row %1, column %2").arg(cell.row + 1).arg(cell.column + 1);
    }
    // Where the focused piece went: it says which piece, and where it stands now or that it is home.
    [[nodiscard]] QString movedText() const
    {
        const QString name = text(QAccessible::Name);
        return board_->game().homeCell(piece_) == cell() ? name : tr("%1, now %2").arg(name, place(cell()));
    }

    Board* board_;
    int piece_;
};

// The board: a table whose cells are the pieces where they stand. The pieces' objects are made as a
// screen reader asks for them and given up with the board they belong to.
class BoardAccessible final : public QAccessibleWidget, public QAccessibleTableInterface
{
    Q_DECLARE_TR_FUNCTIONS(tilmora::BoardAccessible)
public:
    explicit BoardAccessible(Board* board)
        : QAccessibleWidget(board, QAccessible::Table)
    {}
    ~BoardAccessible() override { forgetCells(); }
    BoardAccessible(const BoardAccessible&) = delete;
    BoardAccessible& operator=(const BoardAccessible&) = delete;

    [[nodiscard]] QString text(QAccessible::Text kind) const override
    {
        return kind == QAccessible::Name ? tr("Board") : QAccessibleWidget::text(kind);
    }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TableInterface)
            return static_cast<QAccessibleTableInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    // The children are the cells in reading order; the pieces' own widgets are not read.
    [[nodiscard]] int childCount() const override { return size() * size(); }
    [[nodiscard]] QAccessibleInterface* child(int index) const override
    {
        const int n = size();
        return n > 0 && index >= 0 && index < n * n ? cellAt(index / n, index % n) : nullptr;
    }
    [[nodiscard]] int indexOfChild(const QAccessibleInterface* child) const override
    {
        const auto* cell = child ? const_cast<QAccessibleInterface*>(child)->tableCellInterface() : nullptr;
        return cell && child->parent() == this ? cell->rowIndex() * size() + cell->columnIndex() : -1;
    }
    [[nodiscard]] QAccessibleInterface* focusChild() const override
    {
        return board().hasFocus() ? cellAt(board().cursorCell().row, board().cursorCell().column) : nullptr;
    }
    [[nodiscard]] QAccessibleInterface* childAt(int x, int y) const override
    {
        for (int index = 0; index < childCount(); ++index) {
            if (child(index)->rect().contains(x, y))
                return child(index);
        }
        return nullptr;
    }

    [[nodiscard]] QAccessibleInterface* cellAt(int row, int column) const override
    {
        if (std::min(row, column) < 0 || std::max(row, column) >= size())
            return nullptr;
        const int piece = board().game().pieceAt({row, column});
        auto known = cells_.find(piece);
        if (known == cells_.end()) {
            auto* made = new PieceAccessible(const_cast<Board*>(&board()), piece);
            known = cells_.emplace(piece, QAccessible::registerAccessibleInterface(made)).first;
        }
        return QAccessible::accessibleInterface(known->second);
    }
    [[nodiscard]] int rowCount() const override { return size(); }
    [[nodiscard]] int columnCount() const override { return size(); }
    [[nodiscard]] QAccessibleInterface* caption() const override { return nullptr; }
    [[nodiscard]] QAccessibleInterface* summary() const override { return nullptr; }
    [[nodiscard]] QString columnDescription(int /*column*/) const override { return {}; }
    [[nodiscard]] QString rowDescription(int /*row*/) const override { return {}; }

    // Nothing on the board is ever selected: a piece is pressed, not chosen.
    [[nodiscard]] int selectedCellCount() const override { return 0; }
    [[nodiscard]] QList<QAccessibleInterface*> selectedCells() const override { return {}; }
    [[nodiscard]] int selectedColumnCount() const override { return 0; }
    [[nodiscard]] int selectedRowCount() const override { return 0; }
    [[nodiscard]] QList<int> selectedColumns() const override { return {}; }
    [[nodiscard]] QList<int> selectedRows() const override { return {}; }
    [[nodiscard]] bool isColumnSelected(int /*column*/) const override { return false; }
    [[nodiscard]] bool isRowSelected(int /*row*/) const override { return false; }
    bool selectRow(int /*row*/) override { return false; }
    bool selectColumn(int /*column*/) override { return false; }
    bool unselectRow(int /*row*/) override { return false; }
    bool unselectColumn(int /*column*/) override { return false; }

    // A new deal, or no board: the old cells go, new ones are made as they are asked for.
    void modelChange(QAccessibleTableModelChangeEvent* event) override
    {
        if (event->modelChangeType() == QAccessibleTableModelChangeEvent::ModelReset)
            forgetCells();
    }

private:
    [[nodiscard]] const Board& board() const { return *static_cast<const Board*>(widget()); }
    [[nodiscard]] int size() const { return board().boardSize(); }
    void forgetCells()
    {
        for (const auto& [index, id] : cells_)
            QAccessible::deleteAccessibleInterface(id);
        cells_.clear();
    }

    mutable std::map<int, QAccessible::Id> cells_; // by piece
};

QAccessibleInterface* boardAccessibleFactory(const QString& className, QObject* object)
{
    if (className == QLatin1String("tilmora::Board"))
        return new BoardAccessible(static_cast<Board*>(object));
    return nullptr;
}

} // namespace

void installBoardAccessibility()
{
    static const bool installed = (QAccessible::installFactory(&boardAccessibleFactory), true);
    Q_UNUSED(installed);
}

} // namespace tilmora
