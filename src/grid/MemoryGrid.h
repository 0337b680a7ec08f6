#pragma once
// An in-memory grid for the command-line tool and the tests. Its "screen" is a
// window of a fixed number of rows and columns starting at the first visible ones.
#include <string>
#include <vector>

#include "grid/CMSFlexGrid.h"

namespace zok2 {

class MemoryGrid : public CMSFlexGrid {
public:
    MemoryGrid(int visibleRows = 20, int visibleColumns = 8);

    int RowCount() const override { return m_rows; }
    void SetRowCount(int rows) override;
    int ColumnCount() const override { return m_columns; }
    void SetColumnCount(int columns) override;
    void SetHeaderRowCount(int rows) override { m_headerRows = rows; }
    void SetHeaderColumnCount(int columns) override { m_headerColumns = columns; }

    void SetFirstVisibleRow(int row) override;
    void SetFirstVisibleColumn(int column) override;
    bool RowVisible(int row) const override;
    bool ColumnVisible(int column) const override;
    int FirstVisibleRow() const { return m_firstVisibleRow; }
    int FirstVisibleColumn() const { return m_firstVisibleColumn; }

    int CurrentRow() const override { return m_currentRow; }
    void SetCurrentRow(int row) override;
    int CurrentColumn() const override { return m_currentColumn; }
    void SetCurrentColumn(int column) override;
    int SelEndRow() const override { return m_selEndRow; }
    void SetSelEndRow(int row) override;
    int SelEndColumn() const override { return m_selEndColumn; }
    void SetSelEndColumn(int column) override;
    std::string CurrentText() const override { return CellText(m_currentRow, m_currentColumn); }

    void SetLiveScroll(bool live) override { m_liveScroll = live; }
    void SetFocusFrame(int style) override { m_focusFrame = style; }
    void SetHighlightMode(int mode) override { m_highlightMode = mode; }
    void SetDrawingEnabled(bool enabled) override { m_drawingEnabled = enabled; }
    bool DrawingEnabled() const { return m_drawingEnabled; }
    int FocusFrame() const { return m_focusFrame; }
    int HighlightMode() const { return m_highlightMode; }

    int PointerRow() const override { return m_pointerRow; }
    int PointerColumn() const override { return m_pointerColumn; }
    void SetPointer(int row, int column)
    {
        m_pointerRow = row;
        m_pointerColumn = column;
    }
    int CurrentCellLeft() const override;
    int CurrentCellTop() const override;
    int CurrentCellWidth() const override { return ColumnWidthTwips(m_currentColumn); }
    int CurrentCellHeight() const override { return RowHeightTwips(m_currentRow); }

    void SetColumnAlign(int column, int align) override;
    int ColumnAlign(int column) const override;
    int ColumnWidthTwips(int column) const override;
    void SetColumnWidthTwips(int column, int twips) override;
    int RowHeightTwips(int row) const override;
    void SetRowHeightTwips(int row, int twips) override;

    std::string CellText(int row, int column) const override;
    void SetCellText(int row, int column, const std::string& text) override;
    void ClearCells() override;

private:
    bool InRange(int row, int column) const { return row >= 0 && column >= 0 && row < m_rows && column < m_columns; }
    void Resize(int rows, int columns);
    int ClampRow(int row) const;
    int ClampColumn(int column) const;

    int m_rows = 2, m_columns = 2;
    int m_headerRows = 1, m_headerColumns = 1;
    int m_visibleRows, m_visibleColumns;
    int m_firstVisibleRow = 1, m_firstVisibleColumn = 1;
    int m_currentRow = 1, m_currentColumn = 1, m_selEndRow = 1, m_selEndColumn = 1;
    int m_pointerRow = 0, m_pointerColumn = 0;
    bool m_liveScroll = false, m_drawingEnabled = true;
    int m_focusFrame = 1, m_highlightMode = 1;
    std::vector<std::string> m_cells;  // row-major, m_rows x m_columns
    std::vector<int> m_columnWidths, m_rowHeights, m_columnAligns;
};

}  // namespace zok2
