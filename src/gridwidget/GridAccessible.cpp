#include "gridwidget/GridAccessible.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPointer>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <climits>
#include <unordered_map>

#include "gridwidget/QtFlexGrid.h"
#include "qt/SjisCodec.h"

namespace zok2 {

namespace {

// More cells than a reader could want at once: beyond it the cells made are
// forgotten (a reader asking again gets new ones).
constexpr std::size_t kCellsKept = 20000;
// A selection listed cell by cell up to this many; its size is told whatever it is.
constexpr int kSelectionListed = 10000;

class GridAccessible;

// One cell of the grid (row 0: a caption, column 0: a row label), in grid coordinates.
class CellAccessible : public QAccessibleInterface, public QAccessibleTableCellInterface {
public:
    CellAccessible(QtFlexGrid* grid, int row, int column) : m_grid(grid), m_row(row), m_column(column) {}

    bool isValid() const override { return m_grid && m_row < m_grid->RowCount() && m_column < m_grid->ColumnCount(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return m_grid ? m_grid->window()->windowHandle() : nullptr; }
    QAccessibleInterface* focusChild() const override { return nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override { return m_grid ? QAccessible::queryAccessibleInterface(m_grid.data()) : nullptr; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }

    QString text(QAccessible::Text t) const override
    {
        if (!isValid() || (t != QAccessible::Name && t != QAccessible::Value)) return {};
        return SjisToQString(m_grid->CellText(m_row, m_column));
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override
    {
        if (!isValid()) return {};
        const QRect cell = m_grid->CellRect(m_row, m_column);
        return QRect(m_grid->viewport()->mapToGlobal(cell.topLeft()), cell.size());
    }
    QAccessible::Role role() const override
    {
        if (m_row == 0) return QAccessible::ColumnHeader;
        return m_column == 0 ? QAccessible::RowHeader : QAccessible::Cell;
    }
    QAccessible::State state() const override
    {
        QAccessible::State s;
        if (!isValid()) {
            s.invalid = true;
            return s;
        }
        const bool value = m_row > 0 && m_column > 0;
        s.focusable = value;
        s.selectable = value;
        s.focused = value && m_grid->hasFocus() && m_row == m_grid->CurrentRow() && m_column == m_grid->CurrentColumn();
        s.selected = value && isSelected();
        s.readOnly = !value || (m_grid->readOnlyCell && m_grid->readOnlyCell(m_row, m_column));
        s.editable = !s.readOnly;
        const bool inSight = (m_row == 0 || m_grid->RowVisible(m_row)) && (m_column == 0 || m_grid->ColumnVisible(m_column));
        s.offscreen = !inSight;
        s.invisible = !m_grid->isVisible();
        return s;
    }
    void* interface_cast(QAccessible::InterfaceType t) override
    {
        return t == QAccessible::TableCellInterface && m_row > 0 && m_column > 0 ? static_cast<QAccessibleTableCellInterface*>(this) : nullptr;
    }

    // ---- as a cell of the table ----
    bool isSelected() const override
    {
        if (!m_grid) return false;
        const int top = std::min(m_grid->CurrentRow(), m_grid->SelEndRow()), bottom = std::max(m_grid->CurrentRow(), m_grid->SelEndRow());
        const int left = std::min(m_grid->CurrentColumn(), m_grid->SelEndColumn());
        const int right = std::max(m_grid->CurrentColumn(), m_grid->SelEndColumn());
        return m_row >= top && m_row <= bottom && m_column >= left && m_column <= right;
    }
    QList<QAccessibleInterface*> columnHeaderCells() const override;
    QList<QAccessibleInterface*> rowHeaderCells() const override;
    int columnIndex() const override { return m_column - 1; }
    int rowIndex() const override { return m_row - 1; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override { return parent(); }

    int Row() const { return m_row; }
    int Column() const { return m_column; }
    const QtFlexGrid* Grid() const { return m_grid.data(); }

private:
    QPointer<QtFlexGrid> m_grid;
    int m_row, m_column;
};

// The grid as a table: its records are the rows, its columns the columns.
class GridAccessible : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    explicit GridAccessible(QtFlexGrid* grid) : QAccessibleWidget(grid, QAccessible::Table) {}
    ~GridAccessible() override { ForgetCells(); }

    QtFlexGrid* Grid() const { return static_cast<QtFlexGrid*>(widget()); }

    // The interface of a grid cell, the same one each time it is asked for while the table stays.
    QAccessibleInterface* Cell(int row, int column) const
    {
        QtFlexGrid* grid = Grid();
        if (row < 0 || column < 0 || row >= grid->RowCount() || column >= grid->ColumnCount()) return nullptr;
        const auto key = (static_cast<std::uint64_t>(static_cast<std::uint32_t>(row)) << 32) | static_cast<std::uint32_t>(column);
        const auto found = m_cells.find(key);
        if (found != m_cells.end()) return QAccessible::accessibleInterface(found->second);
        if (m_cells.size() >= kCellsKept) ForgetCells();
        auto* cell = new CellAccessible(grid, row, column);
        m_cells.emplace(key, QAccessible::registerAccessibleInterface(cell));
        return cell;
    }
    void ForgetCells() const
    {
        for (const auto& entry : m_cells) QAccessible::deleteAccessibleInterface(entry.second);
        m_cells.clear();
    }

    // ---- as a widget with children ----
    int childCount() const override
    {
        const qint64 cells = static_cast<qint64>(Grid()->RowCount()) * Grid()->ColumnCount();
        return static_cast<int>(std::min<qint64>(cells, INT_MAX));
    }
    QAccessibleInterface* child(int index) const override
    {
        const int columns = Grid()->ColumnCount();
        if (index < 0 || columns <= 0) return nullptr;
        return Cell(index / columns, index % columns);
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        const auto* cell = dynamic_cast<const CellAccessible*>(child);
        if (!cell || cell->Grid() != Grid()) return -1;
        const qint64 index = static_cast<qint64>(cell->Row()) * Grid()->ColumnCount() + cell->Column();
        return index <= INT_MAX ? static_cast<int>(index) : -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override
    {
        int row = -1, column = -1;
        Grid()->CellAt(Grid()->viewport()->mapFromGlobal(QPoint(x, y)), &row, &column);
        return row >= 0 && column >= 0 ? Cell(row, column) : nullptr;
    }
    QAccessibleInterface* focusChild() const override
    {
        if (!Grid()->hasFocus()) return nullptr;
        return Cell(Grid()->CurrentRow(), Grid()->CurrentColumn());
    }
    void* interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::TableInterface) return static_cast<QAccessibleTableInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }

    // ---- as a table (value cells: row and column 0 are the first record and column) ----
    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override { return Cell(row + 1, column + 1); }
    int rowCount() const override { return std::max(Grid()->RowCount() - 1, 0); }
    int columnCount() const override { return std::max(Grid()->ColumnCount() - 1, 0); }
    QString columnDescription(int column) const override { return SjisToQString(Grid()->CellText(0, column + 1)); }
    QString rowDescription(int row) const override { return SjisToQString(Grid()->CellText(row + 1, 0)); }

    struct Span {
        int top, bottom, left, right;  // grid coordinates
        qint64 Cells() const { return static_cast<qint64>(bottom - top + 1) * (right - left + 1); }
    };
    Span Selection() const
    {
        const QtFlexGrid* g = Grid();
        return {std::min(g->CurrentRow(), g->SelEndRow()), std::max(g->CurrentRow(), g->SelEndRow()),
                std::min(g->CurrentColumn(), g->SelEndColumn()), std::max(g->CurrentColumn(), g->SelEndColumn())};
    }
    int selectedCellCount() const override
    {
        if (rowCount() == 0 || columnCount() == 0) return 0;
        return static_cast<int>(std::min<qint64>(Selection().Cells(), INT_MAX));
    }
    QList<QAccessibleInterface*> selectedCells() const override
    {
        QList<QAccessibleInterface*> cells;
        if (selectedCellCount() == 0) return cells;
        const Span s = Selection();
        for (int r = s.top; r <= s.bottom && cells.size() < kSelectionListed; ++r) {
            for (int c = s.left; c <= s.right && cells.size() < kSelectionListed; ++c) cells.append(Cell(r, c));
        }
        return cells;
    }
    bool isColumnSelected(int column) const override
    {
        const Span s = Selection();
        return s.top == 1 && s.bottom == Grid()->RowCount() - 1 && column + 1 >= s.left && column + 1 <= s.right;
    }
    bool isRowSelected(int row) const override
    {
        const Span s = Selection();
        return s.left == 1 && s.right == Grid()->ColumnCount() - 1 && row + 1 >= s.top && row + 1 <= s.bottom;
    }
    QList<int> selectedColumns() const override
    {
        QList<int> columns;
        const Span s = Selection();
        for (int c = s.left; c <= s.right && columnCount() > 0; ++c) {
            if (isColumnSelected(c - 1)) columns.append(c - 1);
        }
        return columns;
    }
    QList<int> selectedRows() const override
    {
        QList<int> rows;
        const Span s = Selection();
        for (int r = s.top; r <= s.bottom && rows.size() < kSelectionListed && rowCount() > 0; ++r) {
            if (isRowSelected(r - 1)) rows.append(r - 1);
        }
        return rows;
    }
    int selectedColumnCount() const override { return static_cast<int>(selectedColumns().size()); }
    int selectedRowCount() const override
    {
        const Span s = Selection();
        return rowCount() > 0 && isRowSelected(s.top - 1) ? s.bottom - s.top + 1 : 0;
    }
    bool selectRow(int row) override
    {
        if (row < 0 || row >= rowCount()) return false;
        Grid()->SetCurrentRow(row + 1);
        Grid()->SetCurrentColumn(1);
        Grid()->SetSelEndColumn(Grid()->ColumnCount() - 1);
        return true;
    }
    bool selectColumn(int column) override
    {
        if (column < 0 || column >= columnCount()) return false;
        Grid()->SetCurrentColumn(column + 1);
        Grid()->SetCurrentRow(1);
        Grid()->SetSelEndRow(Grid()->RowCount() - 1);
        return true;
    }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent*) override {}

    // What the readers were told last.
    int toldStamp = -1, toldRow = -1, toldColumn = -1;
    bool toldFocus = false;
    QString toldText;

private:
    mutable std::unordered_map<std::uint64_t, QAccessible::Id> m_cells;
};

QList<QAccessibleInterface*> CellAccessible::columnHeaderCells() const
{
    auto* table = m_grid ? dynamic_cast<GridAccessible*>(parent()) : nullptr;
    QAccessibleInterface* header = table ? table->Cell(0, m_column) : nullptr;
    return header ? QList<QAccessibleInterface*>{header} : QList<QAccessibleInterface*>{};
}

QList<QAccessibleInterface*> CellAccessible::rowHeaderCells() const
{
    auto* table = m_grid ? dynamic_cast<GridAccessible*>(parent()) : nullptr;
    QAccessibleInterface* header = table ? table->Cell(m_row, 0) : nullptr;
    return header ? QList<QAccessibleInterface*>{header} : QList<QAccessibleInterface*>{};
}

QAccessibleInterface* Factory(const QString&, QObject* object)
{
    auto* grid = dynamic_cast<QtFlexGrid*>(object);
    return grid ? new GridAccessible(grid) : nullptr;
}

}  // namespace

void InstallGridAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(&Factory);
        return true;
    }();
    (void)installed;
}

void TellReadersAboutGrid(QtFlexGrid& grid)
{
    if (!QAccessible::isActive()) return;
    auto* table = dynamic_cast<GridAccessible*>(QAccessible::queryAccessibleInterface(&grid));
    if (!table) return;
    if (table->toldStamp != grid.TableStamp()) {
        // Another table: the cells made for the last one are gone.
        table->ForgetCells();
        table->toldStamp = grid.TableStamp();
        table->toldRow = table->toldColumn = -1;
        QAccessibleTableModelChangeEvent reset(&grid, QAccessibleTableModelChangeEvent::ModelReset);
        QAccessible::updateAccessibility(&reset);
    }
    const int row = grid.CurrentRow(), column = grid.CurrentColumn();
    QAccessibleInterface* cell = row >= 1 && column >= 1 ? table->Cell(row, column) : nullptr;
    if (!cell) return;
    const QString text = cell->text(QAccessible::Name);
    if (row != table->toldRow || column != table->toldColumn || grid.hasFocus() != table->toldFocus) {
        table->toldRow = row;
        table->toldColumn = column;
        table->toldFocus = grid.hasFocus();
        table->toldText = text;
        if (grid.hasFocus()) {
            QAccessibleEvent focus(cell, QAccessible::Focus);
            QAccessible::updateAccessibility(&focus);
        }
        QAccessibleEvent selection(cell, QAccessible::Selection);
        QAccessible::updateAccessibility(&selection);
    } else if (text != table->toldText) {
        // The current cell's value changed (typed, pasted, undone).
        table->toldText = text;
        QAccessibleEvent name(cell, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&name);
    }
}

}  // namespace zok2
