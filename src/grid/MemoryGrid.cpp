#include "grid/MemoryGrid.h"

#include <algorithm>

namespace zok2 {

namespace {
constexpr int kDefaultColumnWidth = 960;
constexpr int kDefaultRowHeight = 240;
}  // namespace

MemoryGrid::MemoryGrid(int visibleRows, int visibleColumns)
    : m_visibleRows(visibleRows), m_visibleColumns(visibleColumns)
{
    Resize(m_rows, m_columns);
}

void MemoryGrid::Resize(int rows, int columns)
{
    rows = std::max(rows, 0);
    columns = std::max(columns, 0);
    std::vector<std::string> cells(static_cast<std::size_t>(rows) * static_cast<std::size_t>(columns));
    int keepRows = std::min(rows, m_rows), keepColumns = std::min(columns, m_columns);
    if (!m_cells.empty()) {
        for (int r = 0; r < keepRows; ++r) {
            for (int c = 0; c < keepColumns; ++c) {
                cells[static_cast<std::size_t>(r) * columns + c] =
                    std::move(m_cells[static_cast<std::size_t>(r) * m_columns + c]);
            }
        }
    }
    m_cells = std::move(cells);
    m_rows = rows;
    m_columns = columns;
    m_columnWidths.resize(static_cast<std::size_t>(columns), kDefaultColumnWidth);
    m_columnAligns.resize(static_cast<std::size_t>(columns), 0);
    m_rowHeights.resize(static_cast<std::size_t>(rows), kDefaultRowHeight);
    m_currentRow = ClampRow(m_currentRow);
    m_currentColumn = ClampColumn(m_currentColumn);
    m_selEndRow = ClampRow(m_selEndRow);
    m_selEndColumn = ClampColumn(m_selEndColumn);
}

int MemoryGrid::ClampRow(int row) const
{
    int low = std::min(m_headerRows, std::max(m_rows - 1, 0));
    return std::clamp(row, low, std::max(m_rows - 1, low));
}

int MemoryGrid::ClampColumn(int column) const
{
    int low = std::min(m_headerColumns, std::max(m_columns - 1, 0));
    return std::clamp(column, low, std::max(m_columns - 1, low));
}

void MemoryGrid::SetRowCount(int rows) { Resize(rows, m_columns); }
void MemoryGrid::SetColumnCount(int columns) { Resize(m_rows, columns); }

void MemoryGrid::SetFirstVisibleRow(int row) { m_firstVisibleRow = std::clamp(row, m_headerRows, std::max(m_rows - 1, m_headerRows)); }
void MemoryGrid::SetFirstVisibleColumn(int column)
{
    m_firstVisibleColumn = std::clamp(column, m_headerColumns, std::max(m_columns - 1, m_headerColumns));
}

bool MemoryGrid::RowVisible(int row) const
{
    if (row < 0 || row >= m_rows) return false;
    if (row < m_headerRows) return true;
    return row >= m_firstVisibleRow && row < m_firstVisibleRow + m_visibleRows;
}

bool MemoryGrid::ColumnVisible(int column) const
{
    if (column < 0 || column >= m_columns) return false;
    if (column < m_headerColumns) return true;
    return column >= m_firstVisibleColumn && column < m_firstVisibleColumn + m_visibleColumns;
}

void MemoryGrid::SetCurrentRow(int row)
{
    m_currentRow = ClampRow(row);
    m_selEndRow = m_currentRow;
    m_selEndColumn = m_currentColumn;
}

void MemoryGrid::SetCurrentColumn(int column)
{
    m_currentColumn = ClampColumn(column);
    m_selEndRow = m_currentRow;
    m_selEndColumn = m_currentColumn;
}

void MemoryGrid::SetSelEndRow(int row) { m_selEndRow = ClampRow(row); }
void MemoryGrid::SetSelEndColumn(int column) { m_selEndColumn = ClampColumn(column); }

int MemoryGrid::CurrentCellLeft() const
{
    int left = 0;
    for (int c = 0; c < m_headerColumns && c < m_columns; ++c) left += m_columnWidths[c];
    for (int c = m_firstVisibleColumn; c < m_currentColumn; ++c) left += m_columnWidths[c];
    return left;
}

int MemoryGrid::CurrentCellTop() const
{
    int top = 0;
    for (int r = 0; r < m_headerRows && r < m_rows; ++r) top += m_rowHeights[r];
    for (int r = m_firstVisibleRow; r < m_currentRow; ++r) top += m_rowHeights[r];
    return top;
}

void MemoryGrid::SetColumnAlign(int column, int align)
{
    if (column >= 0 && column < m_columns) m_columnAligns[column] = align;
}
int MemoryGrid::ColumnAlign(int column) const { return (column >= 0 && column < m_columns) ? m_columnAligns[column] : 0; }
int MemoryGrid::ColumnWidthTwips(int column) const { return (column >= 0 && column < m_columns) ? m_columnWidths[column] : 0; }
void MemoryGrid::SetColumnWidthTwips(int column, int twips)
{
    if (column >= 0 && column < m_columns) m_columnWidths[column] = twips;
}
int MemoryGrid::RowHeightTwips(int row) const { return (row >= 0 && row < m_rows) ? m_rowHeights[row] : 0; }
void MemoryGrid::SetRowHeightTwips(int row, int twips)
{
    if (row >= 0 && row < m_rows) m_rowHeights[row] = twips;
}

std::string MemoryGrid::CellText(int row, int column) const
{
    return InRange(row, column) ? m_cells[static_cast<std::size_t>(row) * m_columns + column] : std::string();
}

void MemoryGrid::SetCellText(int row, int column, const std::string& text)
{
    if (InRange(row, column)) m_cells[static_cast<std::size_t>(row) * m_columns + column] = text;
}

void MemoryGrid::ClearCells()
{
    for (auto& cell : m_cells) cell.clear();
}

}  // namespace zok2
