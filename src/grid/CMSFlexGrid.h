#pragma once
// What the program needs of its grid component. Rows and columns count from 0;
// row 0 and column 0 are fixed headers; lengths are twips (15 per pixel).
// Setting the current row or column collapses the selection to the current cell.
#include <string>

namespace zok2 {

constexpr int kTwipsPerPixel = 15;

// Where a grid that draws only what is on screen reads value-cell texts when it
// needs them. Section, column definition and row count as the document counts them.
class ICellTextSource {
public:
    virtual ~ICellTextSource() = default;
    virtual std::string DisplayText(int section, int column, int row) const = 0;
    // The label of row `row` (from 0) of a section; empty past the end.
    virtual std::string RowLabelText(int section, int row) const = 0;
};

class CMSFlexGrid {
public:
    virtual ~CMSFlexGrid() = default;

    virtual int RowCount() const = 0;
    virtual void SetRowCount(int rows) = 0;
    virtual int ColumnCount() const = 0;
    virtual void SetColumnCount(int columns) = 0;
    virtual void SetHeaderRowCount(int rows) = 0;
    virtual void SetHeaderColumnCount(int columns) = 0;

    virtual void SetFirstVisibleRow(int row) = 0;
    virtual void SetFirstVisibleColumn(int column) = 0;
    virtual bool RowVisible(int row) const = 0;
    virtual bool ColumnVisible(int column) const = 0;

    virtual int CurrentRow() const = 0;
    virtual void SetCurrentRow(int row) = 0;
    virtual int CurrentColumn() const = 0;
    virtual void SetCurrentColumn(int column) = 0;
    virtual int SelEndRow() const = 0;
    virtual void SetSelEndRow(int row) = 0;
    virtual int SelEndColumn() const = 0;
    virtual void SetSelEndColumn(int column) = 0;
    virtual std::string CurrentText() const = 0;

    virtual void SetLiveScroll(bool live) = 0;
    virtual void SetFocusFrame(int style) = 0;      // 0 none, 2 heavy
    virtual void SetHighlightMode(int mode) = 0;    // 0 never, 1 always
    virtual void SetDrawingEnabled(bool enabled) = 0;

    virtual int PointerRow() const = 0;
    virtual int PointerColumn() const = 0;
    virtual int CurrentCellLeft() const = 0;
    virtual int CurrentCellTop() const = 0;
    virtual int CurrentCellWidth() const = 0;
    virtual int CurrentCellHeight() const = 0;

    virtual void SetColumnAlign(int column, int align) = 0;  // 0 left top, 1 left centre, 7 right centre
    virtual int ColumnAlign(int column) const = 0;
    virtual int ColumnWidthTwips(int column) const = 0;
    virtual void SetColumnWidthTwips(int column, int twips) = 0;
    virtual int RowHeightTwips(int row) const = 0;
    virtual void SetRowHeightTwips(int row, int twips) = 0;

    // Cell texts are Shift-JIS, exactly as set.
    virtual std::string CellText(int row, int column) const = 0;
    virtual void SetCellText(int row, int column, const std::string& text) = 0;
    virtual void ClearCells() = 0;

    // A refresh of the value cells of grid rows firstRow..lastRow and grid columns
    // firstColumn..lastColumn (inclusive). A grid that takes these texts from
    // `source` on demand returns true: the cells then show the source's texts of
    // `section`, which the caller guarantees are what a refresh would have set, as
    // every change of a value is followed by a refresh. A grid that stores every
    // text returns false and the caller sets the texts one by one.
    virtual bool RefreshFromSource(const ICellTextSource& /*source*/, int /*section*/, int /*firstRow*/, int /*lastRow*/,
                                   int /*firstColumn*/, int /*lastColumn*/)
    {
        return false;
    }
    // The same for the row labels (column 0 of rows 1 and up), until ClearCells or
    // a label is set; false when the caller must set every label itself.
    virtual bool RowLabelsFromSource(const ICellTextSource& /*source*/, int /*section*/) { return false; }
};

}  // namespace zok2
