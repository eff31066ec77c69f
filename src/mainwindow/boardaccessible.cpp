#include "boardaccessible.h"

#include "board.h"
#include "piecewidget.h"

#include <QAccessibleWidget>
#include <QCoreApplication>

#include <algorithm>

namespace tilmora {

namespace {

// A piece, or the blank cell (piece 1 while it is hidden), as a cell of the board's table.
class PieceAccessible final : public QAccessibleWidget, public QAccessibleTableCellInterface
{
    Q_DECLARE_TR_FUNCTIONS(tilmora::PieceAccessible)
public:
    explicit PieceAccessible(PieceWidget* piece)
        : QAccessibleWidget(piece, QAccessible::Cell)
    {}

    // Short, as the player hears it on every move: where the piece belongs, not where it stands
    // (the table says that).
    QString text(QAccessible::Text kind) const override
    {
        if (kind != QAccessible::Name)
            return QAccessibleWidget::text(kind);
        if (isBlank())
            return tr("Blank");
        const auto home = game().homeCell(piece()->piece());
        const QString name = tr("row %1, column %2").arg(home.row + 1).arg(home.column + 1);
        return home == cell() ? tr("%1, in place").arg(name) : name;
    }

    // The blank cell is a hidden piece, yet a cell of the table like any other.
    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        if (isBlank()) {
            state.invisible = false;
            state.focusable = false;
        }
        return state;
    }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TableCellInterface)
            return static_cast<QAccessibleTableCellInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QStringList actionNames() const override
    {
        return game().inPlay() && !isBlank() ? QStringList{pressAction()} : QStringList{};
    }
    void doAction(const QString& action) override
    {
        if (action == pressAction() && game().inPlay() && !isBlank())
            piece()->press();
    }
    QStringList keyBindingsForAction(const QString& action) const override
    {
        return action == pressAction() ? QStringList{QStringLiteral("Return")} : QStringList{};
    }

    bool isSelected() const override { return false; }
    QList<QAccessibleInterface*> columnHeaderCells() const override { return {}; }
    QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return cell().column; }
    int rowIndex() const override { return cell().row; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override { return parent(); }

private:
    [[nodiscard]] PieceWidget* piece() const { return static_cast<PieceWidget*>(widget()); }
    [[nodiscard]] const Board& board() const { return *static_cast<const Board*>(piece()->parentWidget()); }
    [[nodiscard]] const puzzle::PuzzleGame& game() const { return board().game(); }
    [[nodiscard]] puzzle::Cell cell() const { return game().cellOfPiece(piece()->piece()); }
    [[nodiscard]] bool isBlank() const { return !game().isPieceVisible(piece()->piece()); }
};

// The board: a table whose cell at (row, column) is whatever stands there.
class BoardAccessible final : public QAccessibleWidget, public QAccessibleTableInterface
{
    Q_DECLARE_TR_FUNCTIONS(tilmora::BoardAccessible)
public:
    explicit BoardAccessible(Board* board)
        : QAccessibleWidget(board, QAccessible::Table)
    {}

    QString text(QAccessible::Text kind) const override
    {
        return kind == QAccessible::Name ? tr("Board") : QAccessibleWidget::text(kind);
    }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TableInterface)
            return static_cast<QAccessibleTableInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    // The children are the cells in reading order.
    int childCount() const override { return size() * size(); }
    QAccessibleInterface* child(int index) const override
    {
        const int n = size();
        return n > 0 && index >= 0 && index < n * n ? cellAt(index / n, index % n) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        const auto* cell = child ? const_cast<QAccessibleInterface*>(child)->tableCellInterface() : nullptr;
        return cell && child->parent() == this ? cell->rowIndex() * size() + cell->columnIndex() : -1;
    }

    QAccessibleInterface* cellAt(int row, int column) const override
    {
        if (std::min(row, column) < 0 || std::max(row, column) >= size())
            return nullptr;
        const int piece = board().game().pieceAt({row, column});
        return QAccessible::queryAccessibleInterface(board().picturesplit()[static_cast<std::size_t>(piece)]);
    }
    int rowCount() const override { return size(); }
    int columnCount() const override { return size(); }
    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QString columnDescription(int /*column*/) const override { return {}; }
    QString rowDescription(int /*row*/) const override { return {}; }

    // Nothing on the board is ever selected: a piece is pressed, not chosen.
    int selectedCellCount() const override { return 0; }
    QList<QAccessibleInterface*> selectedCells() const override { return {}; }
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return 0; }
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override { return {}; }
    bool isColumnSelected(int /*column*/) const override { return false; }
    bool isRowSelected(int /*row*/) const override { return false; }
    bool selectRow(int /*row*/) override { return false; }
    bool selectColumn(int /*column*/) override { return false; }
    bool unselectRow(int /*row*/) override { return false; }
    bool unselectColumn(int /*column*/) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent* /*event*/) override {}

private:
    [[nodiscard]] const Board& board() const { return *static_cast<const Board*>(widget()); }
    [[nodiscard]] int size() const { return board().boardSize(); }
};

QAccessibleInterface* boardAccessibleFactory(const QString& className, QObject* object)
{
    if (className == QLatin1String("tilmora::Board"))
        return new BoardAccessible(static_cast<Board*>(object));
    if (className == QLatin1String("tilmora::PieceWidget"))
        return new PieceAccessible(static_cast<PieceWidget*>(object));
    return nullptr;
}

void announce(QObject* object, QAccessible::Event kind)
{
    QAccessibleEvent event(object, kind);
    QAccessible::updateAccessibility(&event);
}

} // namespace

void installBoardAccessibility()
{
    static const bool installed = (QAccessible::installFactory(&boardAccessibleFactory), true);
    Q_UNUSED(installed);
}

void announceNewBoard(Board* board)
{
    QAccessibleTableModelChangeEvent reset(board, QAccessibleTableModelChangeEvent::ModelReset);
    QAccessible::updateAccessibility(&reset);
}

void announceMove(Board* board, PieceWidget* moved, PieceWidget* blank, puzzle::Cell from, puzzle::Cell to)
{
    QAccessibleTableModelChangeEvent change(board, QAccessibleTableModelChangeEvent::DataChanged);
    change.setFirstRow(std::min(from.row, to.row));
    change.setLastRow(std::max(from.row, to.row));
    change.setFirstColumn(std::min(from.column, to.column));
    change.setLastColumn(std::max(from.column, to.column));
    QAccessible::updateAccessibility(&change);
    for (auto* cell : {moved, blank}) {
        announce(cell, QAccessible::LocationChanged);
        announce(cell, QAccessible::NameChanged);
    }
    // The focus stays on the piece that moved; saying so again has its new cell read out.
    if (moved->hasFocus())
        announce(moved, QAccessible::Focus);
}

} // namespace tilmora
