#pragma once
// The grid on screen: a scroll area that draws only the cells it shows. Header
// texts (row 0, column 0) are stored; value cells are read from the document on
// demand after a refresh, so a section of a million cells costs the grid a bit
// per cell and its first paint costs the cells on screen. Every row below the
// header has one height, which keeps scrolling and resizing independent of the
// row count. Scrolling moves by whole rows and columns, as the interface counts them.
#include <QAbstractScrollArea>
#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "grid/CMSFlexGrid.h"
#include "gridwidget/CellMarks.h"

namespace zok2 {

// Key codes of the platform the rules are written in (digits and letters are their ASCII codes).
namespace vk {
inline constexpr int kBack = 0x08, kReturn = 0x0D, kEscape = 0x1B, kDelete = 0x2E, kF2 = 0x71;
inline constexpr int kNumpad0 = 0x60, kAdd = 0x6B, kSubtract = 0x6D, kOemPlus = 0xBB, kOemMinus = 0xBD;
}  // namespace vk
// The key code of a Qt key press (0 for keys the rules never look at).
int VirtualKeyOf(int qtKey, Qt::KeyboardModifiers modifiers);
// How much larger than 9-point text a font is (1 for 9 points and less).
double TextScaleOf(const QFont& font);

class QtFlexGrid : public QAbstractScrollArea, public CMSFlexGrid {
public:
    explicit QtFlexGrid(QWidget* parent = nullptr);

    // ---- the grid interface ----
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
    int FirstVisibleRow() const { return m_firstRow; }
    int FirstVisibleColumn() const { return m_firstColumn; }

    int CurrentRow() const override { return m_currentRow; }
    void SetCurrentRow(int row) override;
    int CurrentColumn() const override { return m_currentColumn; }
    void SetCurrentColumn(int column) override;
    int SelEndRow() const override { return m_selEndRow; }
    void SetSelEndRow(int row) override;
    int SelEndColumn() const override { return m_selEndColumn; }
    void SetSelEndColumn(int column) override;
    std::string CurrentText() const override { return CellText(m_currentRow, m_currentColumn); }

    void SetLiveScroll(bool live) override;
    void SetFocusFrame(int style) override;
    void SetHighlightMode(int mode) override;
    void SetDrawingEnabled(bool enabled) override;

    int PointerRow() const override { return m_pointerRow; }
    int PointerColumn() const override { return m_pointerColumn; }
    int CurrentCellLeft() const override;
    int CurrentCellTop() const override;
    int CurrentCellWidth() const override { return ColumnWidthTwips(m_currentColumn); }
    int CurrentCellHeight() const override { return RowHeightTwips(m_currentRow); }

    void SetColumnAlign(int column, int align) override;
    int ColumnAlign(int column) const override;
    int ColumnWidthTwips(int column) const override;
    void SetColumnWidthTwips(int column, int twips) override;
    int RowHeightTwips(int row) const override;
    // Row 0 has its own height; a height for any other row is the height of them all.
    void SetRowHeightTwips(int row, int twips) override;

    std::string CellText(int row, int column) const override;
    void SetCellText(int row, int column, const std::string& text) override;
    void ClearCells() override;
    bool RefreshFromSource(const ICellTextSource& source, int section, int firstRow, int lastRow, int firstColumn,
                           int lastColumn) override;
    bool RowLabelsFromSource(const ICellTextSource& source, int section) override;
    // What the grid holds beyond the document, for the memory figures.
    std::size_t MemoryBytes() const;

    // ---- events for the view ----
    // Mouse button 1 left, 2 right, 4 middle; shift state 1 Shift, 2 Ctrl, 4 Alt; x and y in pixels.
    // `beforeMouseDown` runs before the grid moves its selection and may take the click (true).
    std::function<bool(int button, int shift)> beforeMouseDown;
    std::function<void(int button, int shift, int x, int y)> mouseDown;
    std::function<void()> doubleClick;
    std::function<void()> currentCellChanged;
    // Runs before the grid handles the key itself; true when the view took it.
    std::function<bool(int virtualKey, int shift, const QString& text)> keyDown;
    std::function<void()> scrolled;
    // Cells drawn as read-only (grid coordinates of value cells).
    std::function<bool(int row, int column)> readOnlyCell;
    // Cells drawn as edited since the last save (a tinted background and a corner mark).
    std::function<bool(int row, int column)> editedCell;
    // Cells drawn as differing from a reference file (a violet tint and a corner mark on the right).
    std::function<bool(int row, int column)> differentCell;

    // For the tests and the benchmarks: how often the grid asked to be repainted,
    // and how often it painted.
    int RepaintRequests() const { return m_repaintRequests; }
    // Changes whenever the grid shows another table (its size or its texts' source), for screen readers.
    int TableStamp() const { return m_tableStamp; }
    int Paints() const { return m_paints; }
    // Column whose right edge lies under x (pixels in the header row), or -1.
    int ColumnEdgeAt(int x) const;
    // The grid cell at a point of the viewport (row or column -1 outside the cells).
    void CellAt(const QPoint& point, int* row, int* column) const;
    // The rectangle of a cell in viewport pixels.
    QRect CellRect(int row, int column) const;
    // Pixels of a size in twips, at the grid's text size.
    int Px(long long twips) const;
    // The colours it paints with, chosen against its palette.
    const GridColours& Colours() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void Resize(int rows, int columns);
    void MeasureText();
    int ClampRow(int row) const;
    int ClampColumn(int column) const;
    // x of a column's left edge in twips from the grid's left, with the present scrolling.
    int ColumnLeftTwips(int column) const;
    int RowTopTwips(int row) const;
    int DataRowsOnScreen() const;  // rows fully on screen below the header
    int LastFirstRow() const;      // the largest first visible row that still fills the screen
    int LastFirstColumn() const;
    void UpdateScrollBars();
    void Repaint();
    void GeometryChanged();
    void MoveCurrent(int row, int column, bool extend);
    void ScrollTo(int row, int column);
    void NotifyCurrentChanged(int oldRow, int oldColumn);
    int HeaderHeightPixels() const;
    bool Sourced(int row, int column) const;
    static std::uint64_t Key(int row, int column)
    {
        return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(row)) << 32) | static_cast<std::uint32_t>(column);
    }

    int m_rows = 2, m_columns = 2;
    int m_headerRows = 1, m_headerColumns = 1;
    int m_firstRow = 1, m_firstColumn = 1;
    int m_currentRow = 1, m_currentColumn = 1, m_selEndRow = 1, m_selEndColumn = 1;
    int m_pointerRow = 0, m_pointerColumn = 0;
    bool m_drawingEnabled = true;
    int m_focusFrame = 2, m_highlightMode = 1;
    int m_headerRowTwips = 240;
    int m_rowTwips = 240;
    bool m_rowHeightGiven = false;
    std::vector<int> m_columnTwips, m_aligns;
    // Column 0 texts set one by one; otherwise the label source's, when there is one.
    std::unordered_map<int, std::string> m_rowLabels;
    const ICellTextSource* m_labelSource = nullptr;
    int m_labelSection = -1;
    std::vector<std::string> m_captions;   // row 0, by column
    std::unordered_map<std::uint64_t, std::string> m_texts;  // value cells set one by one
    // Value cells that read the source: per grid column, a bit per grid row.
    std::vector<std::vector<std::uint64_t>> m_sourced;
    const ICellTextSource* m_source = nullptr;
    int m_sourceSection = -1;

    bool m_selecting = false;
    int m_resizingColumn = -1, m_resizeStartX = 0, m_resizeStartTwips = 0;
    bool m_settingScroll = false, m_geometryPending = false;
    int m_repaintRequests = 0, m_paints = 0;
    int m_tableStamp = 0;
    double m_twipsPerPixel = kTwipsPerPixel;  // at the text size (see MeasureText)
    mutable GridColours m_colours;
    mutable qint64 m_coloursKey = -1;
};

}  // namespace zok2
