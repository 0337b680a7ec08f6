#include "gridwidget/QtFlexGrid.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QFontMetricsF>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <limits>

#include "gridwidget/CellMarks.h"
#include "gridwidget/GridAccessible.h"
#include "qt/SjisCodec.h"

namespace zok2 {

namespace {

constexpr int kDefaultColumnTwips = 960;
constexpr int kResizeGrip = 3;  // pixels either side of a column edge in the header row
// Lengths from a definition set can be anything; positions are summed in 64 bits
// and every length is kept to what a screen can show.
constexpr int kMaxColumnTwips = 1'000'000, kMaxRowTwips = 15 * 500;
constexpr double kDesignPoints = 9.0;


int ClampToInt(long long v)
{
    return static_cast<int>(std::clamp<long long>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

int ShiftState(Qt::KeyboardModifiers modifiers)
{
    return (modifiers.testFlag(Qt::ShiftModifier) ? 1 : 0) | (modifiers.testFlag(Qt::ControlModifier) ? 2 : 0) |
           (modifiers.testFlag(Qt::AltModifier) ? 4 : 0);
}

int ButtonCode(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton: return 1;
    case Qt::RightButton: return 2;
    case Qt::MiddleButton: return 4;
    default: return 0;
    }
}

Qt::Alignment AlignmentOf(int align)
{
    switch (align) {
    case 1: return Qt::AlignLeft | Qt::AlignVCenter;
    case 7: return Qt::AlignRight | Qt::AlignVCenter;
    default: return Qt::AlignLeft | Qt::AlignTop;
    }
}

}  // namespace

int VirtualKeyOf(int key, Qt::KeyboardModifiers modifiers)
{
    if (modifiers.testFlag(Qt::KeypadModifier)) {
        if (key >= Qt::Key_0 && key <= Qt::Key_9) return vk::kNumpad0 + (key - Qt::Key_0);
        switch (key) {
        case Qt::Key_Plus: return vk::kAdd;
        case Qt::Key_Minus: return vk::kSubtract;
        case Qt::Key_Asterisk: return 0x6A;
        case Qt::Key_Slash: return 0x6F;
        case Qt::Key_Period:
        case Qt::Key_Comma: return 0x6E;
        default: break;  // the keypad's movement keys are the main ones
        }
    }
    if (key >= Qt::Key_0 && key <= Qt::Key_9) return key;
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return key;
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return 0x70 + (key - Qt::Key_F1);
    switch (key) {
    case Qt::Key_Backspace: return vk::kBack;
    case Qt::Key_Tab: return 0x09;
    case Qt::Key_Return:
    case Qt::Key_Enter: return vk::kReturn;
    case Qt::Key_Escape: return vk::kEscape;
    case Qt::Key_Space: return 0x20;
    case Qt::Key_PageUp: return 0x21;
    case Qt::Key_PageDown: return 0x22;
    case Qt::Key_End: return 0x23;
    case Qt::Key_Home: return 0x24;
    case Qt::Key_Left: return 0x25;
    case Qt::Key_Up: return 0x26;
    case Qt::Key_Right: return 0x27;
    case Qt::Key_Down: return 0x28;
    case Qt::Key_Insert: return 0x2D;
    case Qt::Key_Delete: return vk::kDelete;
    case Qt::Key_Plus:
    case Qt::Key_Equal: return vk::kOemPlus;
    case Qt::Key_Minus:
    case Qt::Key_Underscore: return vk::kOemMinus;
    case Qt::Key_Semicolon:
    case Qt::Key_Colon: return 0xBA;
    case Qt::Key_Comma:
    case Qt::Key_Less: return 0xBC;
    case Qt::Key_Period:
    case Qt::Key_Greater: return 0xBE;
    case Qt::Key_Slash:
    case Qt::Key_Question: return 0xBF;
    default: return 0;
    }
}

QtFlexGrid::QtFlexGrid(QWidget* parent) : QAbstractScrollArea(parent)
{
    setFrameShape(QFrame::NoFrame);  // cell positions are relative to the grid's own corner
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setMouseTracking(true);
    viewport()->setAutoFillBackground(false);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    verticalScrollBar()->setSingleStep(1);
    horizontalScrollBar()->setSingleStep(1);
    MeasureText();
    m_headerRowTwips = m_rowTwips;
    Resize(2, 2);
    InstallGridAccessibility();
}

// ---- size ----

// Sizes in twips were chosen for the 9-point text of the desktops the sets were
// made on; with larger text (a 16-point system font) every size in twips grows
// with it, so that rows, captions and columns keep their text whole. Smaller
// text keeps the sizes as they are.
double TextScaleOf(const QFont& font)
{
    // Measured against the same font at 9 points, not from the size it reports
    // (some font engines report none).
    QFont design = font;
    design.setPointSizeF(kDesignPoints);
    const double designHeight = QFontMetricsF(design).height();
    return designHeight > 0 ? std::max(1.0, QFontMetricsF(font).height() / designHeight) : 1.0;
}

void QtFlexGrid::MeasureText()
{
    m_twipsPerPixel = kTwipsPerPixel / TextScaleOf(font());
    // The value rows follow the text unless a height was given; the header keeps its lines.
    if (!m_rowHeightGiven) m_rowTwips = static_cast<int>((fontMetrics().height() + 4) * m_twipsPerPixel);
}

int QtFlexGrid::Px(long long twips) const { return static_cast<int>(static_cast<double>(twips) / m_twipsPerPixel); }

void QtFlexGrid::changeEvent(QEvent* event)
{
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        MeasureText();
        GeometryChanged();
        Repaint();
    }
}

void QtFlexGrid::Resize(int rows, int columns)
{
    ++m_tableStamp;
    rows = std::max(rows, 0);
    columns = std::max(columns, 0);
    if (!m_texts.empty()) {
        for (auto it = m_texts.begin(); it != m_texts.end();) {
            const int r = static_cast<int>(it->first >> 32), c = static_cast<int>(it->first & 0xFFFFFFFFu);
            it = r >= rows || c >= columns ? m_texts.erase(it) : std::next(it);
        }
    }
    const std::size_t words = (static_cast<std::size_t>(rows) + 63) / 64;
    m_sourced.resize(static_cast<std::size_t>(columns));
    for (auto& bits : m_sourced) {
        if (rows < m_rows && !bits.empty()) {
            // Rows dropped now must not come back sourced when the grid grows again.
            for (int r = rows; r < m_rows && static_cast<std::size_t>(r / 64) < bits.size(); ++r) {
                bits[static_cast<std::size_t>(r / 64)] &= ~(std::uint64_t{1} << (r % 64));
            }
        }
        bits.resize(words, 0);
    }
    m_rows = rows;
    m_columns = columns;
    m_columnTwips.resize(static_cast<std::size_t>(columns), kDefaultColumnTwips);
    m_aligns.resize(static_cast<std::size_t>(columns), 0);
    m_captions.resize(static_cast<std::size_t>(columns));
    for (auto it = m_rowLabels.begin(); it != m_rowLabels.end();) it = it->first >= rows ? m_rowLabels.erase(it) : std::next(it);
    m_currentRow = ClampRow(m_currentRow);
    m_currentColumn = ClampColumn(m_currentColumn);
    m_selEndRow = ClampRow(m_selEndRow);
    m_selEndColumn = ClampColumn(m_selEndColumn);
    m_firstRow = std::clamp(m_firstRow, m_headerRows, std::max(m_rows - 1, m_headerRows));
    m_firstColumn = std::clamp(m_firstColumn, m_headerColumns, std::max(m_columns - 1, m_headerColumns));
    GeometryChanged();
}

int QtFlexGrid::ClampRow(int row) const
{
    const int low = std::min(m_headerRows, std::max(m_rows - 1, 0));
    return std::clamp(row, low, std::max(m_rows - 1, low));
}

int QtFlexGrid::ClampColumn(int column) const
{
    const int low = std::min(m_headerColumns, std::max(m_columns - 1, 0));
    return std::clamp(column, low, std::max(m_columns - 1, low));
}

void QtFlexGrid::SetRowCount(int rows) { Resize(rows, m_columns); }
void QtFlexGrid::SetColumnCount(int columns) { Resize(m_rows, columns); }

int QtFlexGrid::ColumnWidthTwips(int column) const
{
    return column >= 0 && column < m_columns ? m_columnTwips[static_cast<std::size_t>(column)] : 0;
}

void QtFlexGrid::SetColumnWidthTwips(int column, int twips)
{
    if (column < 0 || column >= m_columns) return;
    m_columnTwips[static_cast<std::size_t>(column)] = std::clamp(twips, 0, kMaxColumnTwips);
    GeometryChanged();
}

int QtFlexGrid::RowHeightTwips(int row) const
{
    if (row < 0 || row >= m_rows) return 0;
    return row == 0 ? m_headerRowTwips : m_rowTwips;
}

void QtFlexGrid::SetRowHeightTwips(int row, int twips)
{
    if (row < 0 || row >= m_rows) return;
    (row == 0 ? m_headerRowTwips : m_rowTwips) = std::clamp(twips, kTwipsPerPixel, kMaxRowTwips);  // at least a pixel
    if (row != 0) m_rowHeightGiven = true;
    GeometryChanged();
}

void QtFlexGrid::SetColumnAlign(int column, int align)
{
    if (column < 0 || column >= m_columns || m_aligns[static_cast<std::size_t>(column)] == align) return;
    m_aligns[static_cast<std::size_t>(column)] = align;
    Repaint();
}

int QtFlexGrid::ColumnAlign(int column) const
{
    return column >= 0 && column < m_columns ? m_aligns[static_cast<std::size_t>(column)] : 0;
}

// ---- texts ----

bool QtFlexGrid::Sourced(int row, int column) const
{
    if (!m_source || column < 0 || column >= m_columns) return false;
    const auto& bits = m_sourced[static_cast<std::size_t>(column)];
    const std::size_t word = static_cast<std::size_t>(row) / 64;
    return word < bits.size() && (bits[word] >> (row % 64) & 1) != 0;
}

std::string QtFlexGrid::CellText(int row, int column) const
{
    if (row < 0 || column < 0 || row >= m_rows || column >= m_columns) return std::string();
    if (row == 0) return m_captions[static_cast<std::size_t>(column)];
    if (column == 0) {
        auto it = m_rowLabels.find(row);
        if (it != m_rowLabels.end()) return it->second;
        return m_labelSource ? m_labelSource->RowLabelText(m_labelSection, row - 1) : std::string();
    }
    if (!m_texts.empty()) {
        auto it = m_texts.find(Key(row, column));
        if (it != m_texts.end()) return it->second;
    }
    if (Sourced(row, column)) return m_source->DisplayText(m_sourceSection, column - 1, row - 1);
    return std::string();
}

void QtFlexGrid::SetCellText(int row, int column, const std::string& text)
{
    if (row < 0 || column < 0 || row >= m_rows || column >= m_columns) return;
    if (row == 0) {
        m_captions[static_cast<std::size_t>(column)] = text;
    } else if (column == 0) {
        m_rowLabels[row] = text;
    } else {
        m_texts[Key(row, column)] = text;
    }
    Repaint();
}

void QtFlexGrid::ClearCells()
{
    std::fill(m_captions.begin(), m_captions.end(), std::string());
    m_rowLabels.clear();
    m_labelSource = nullptr;
    m_labelSection = -1;
    m_texts.clear();
    for (auto& bits : m_sourced) std::fill(bits.begin(), bits.end(), 0);
    m_source = nullptr;
    m_sourceSection = -1;
    ++m_tableStamp;
    Repaint();
}

bool QtFlexGrid::RefreshFromSource(const ICellTextSource& source, int section, int firstRow, int lastRow, int firstColumn,
                                   int lastColumn)
{
    if (m_source != &source || m_sourceSection != section) {
        // Cells of another section are not this section's texts.
        for (auto& bits : m_sourced) std::fill(bits.begin(), bits.end(), 0);
        m_source = &source;
        m_sourceSection = section;
        ++m_tableStamp;
    }
    firstRow = std::max(firstRow, 1);
    firstColumn = std::max(firstColumn, 1);
    lastRow = std::min(lastRow, m_rows - 1);
    lastColumn = std::min(lastColumn, m_columns - 1);
    if (firstRow > lastRow || firstColumn > lastColumn) return true;
    for (int c = firstColumn; c <= lastColumn; ++c) {
        auto& bits = m_sourced[static_cast<std::size_t>(c)];
        int r = firstRow;
        for (; r <= lastRow && r % 64 != 0; ++r) bits[static_cast<std::size_t>(r / 64)] |= std::uint64_t{1} << (r % 64);
        for (; r + 63 <= lastRow; r += 64) bits[static_cast<std::size_t>(r / 64)] = ~std::uint64_t{0};
        for (; r <= lastRow; ++r) bits[static_cast<std::size_t>(r / 64)] |= std::uint64_t{1} << (r % 64);
    }
    if (!m_texts.empty()) {
        for (auto it = m_texts.begin(); it != m_texts.end();) {
            const int r = static_cast<int>(it->first >> 32), c = static_cast<int>(it->first & 0xFFFFFFFFu);
            const bool inside = r >= firstRow && r <= lastRow && c >= firstColumn && c <= lastColumn;
            it = inside ? m_texts.erase(it) : std::next(it);
        }
    }
    Repaint();
    return true;
}

bool QtFlexGrid::RowLabelsFromSource(const ICellTextSource& source, int section)
{
    m_labelSource = &source;
    m_labelSection = section;
    m_rowLabels.clear();
    ++m_tableStamp;
    Repaint();
    return true;
}

std::size_t QtFlexGrid::MemoryBytes() const
{
    std::size_t bytes = sizeof(*this) + m_columnTwips.capacity() * sizeof(int) + m_aligns.capacity() * sizeof(int);
    for (const auto& bits : m_sourced) bytes += sizeof(bits) + bits.capacity() * sizeof(std::uint64_t);
    for (const auto& caption : m_captions) bytes += sizeof(caption) + (caption.capacity() > 15 ? caption.capacity() : 0);
    bytes += (m_texts.size() + m_rowLabels.size()) * (sizeof(std::string) + 32);
    return bytes;
}

// ---- current cell and selection ----

void QtFlexGrid::NotifyCurrentChanged(int oldRow, int oldColumn)
{
    Repaint();
    if ((oldRow != m_currentRow || oldColumn != m_currentColumn) && currentCellChanged) currentCellChanged();
}

void QtFlexGrid::SetCurrentRow(int row)
{
    const int oldRow = m_currentRow;
    m_currentRow = ClampRow(row);
    m_selEndRow = m_currentRow;
    m_selEndColumn = m_currentColumn;
    NotifyCurrentChanged(oldRow, m_currentColumn);
}

void QtFlexGrid::SetCurrentColumn(int column)
{
    const int oldColumn = m_currentColumn;
    m_currentColumn = ClampColumn(column);
    m_selEndRow = m_currentRow;
    m_selEndColumn = m_currentColumn;
    NotifyCurrentChanged(m_currentRow, oldColumn);
}

void QtFlexGrid::SetSelEndRow(int row)
{
    m_selEndRow = ClampRow(row);
    Repaint();
}

void QtFlexGrid::SetSelEndColumn(int column)
{
    m_selEndColumn = ClampColumn(column);
    Repaint();
}

void QtFlexGrid::SetLiveScroll(bool live)
{
    verticalScrollBar()->setTracking(live);
    horizontalScrollBar()->setTracking(live);
}

void QtFlexGrid::SetFocusFrame(int style)
{
    m_focusFrame = style;
    Repaint();
}

void QtFlexGrid::SetHighlightMode(int mode)
{
    m_highlightMode = mode;
    Repaint();
}

void QtFlexGrid::SetDrawingEnabled(bool enabled)
{
    const bool wasDisabled = !m_drawingEnabled;
    m_drawingEnabled = enabled;
    if (enabled && wasDisabled) {
        if (m_geometryPending) GeometryChanged();
        ++m_repaintRequests;
        viewport()->update();
    }
}

void QtFlexGrid::Repaint()
{
    if (!m_drawingEnabled) return;  // one repaint follows when drawing is switched on
    ++m_repaintRequests;
    viewport()->update();
    TellReadersAboutGrid(*this);
}

void QtFlexGrid::GeometryChanged()
{
    if (!m_drawingEnabled) {
        m_geometryPending = true;
        return;
    }
    m_geometryPending = false;
    UpdateScrollBars();
    Repaint();
}

// ---- geometry ----

int QtFlexGrid::HeaderHeightPixels() const { return m_rows > 0 ? Px(m_headerRowTwips) : 0; }

int QtFlexGrid::ColumnLeftTwips(int column) const
{
    if (column <= 0) return 0;
    long long x = ColumnWidthTwips(0);
    if (column >= m_firstColumn) {
        for (int c = m_firstColumn; c < column; ++c) x += ColumnWidthTwips(c);
    } else {
        for (int c = column; c < m_firstColumn; ++c) x -= ColumnWidthTwips(c);
    }
    return ClampToInt(x);
}

int QtFlexGrid::RowTopTwips(int row) const
{
    if (row <= 0) return 0;
    return ClampToInt(m_headerRowTwips + static_cast<long long>(row - m_firstRow) * m_rowTwips);
}

int QtFlexGrid::CurrentCellLeft() const { return ColumnLeftTwips(m_currentColumn); }
int QtFlexGrid::CurrentCellTop() const { return RowTopTwips(m_currentRow); }

int QtFlexGrid::DataRowsOnScreen() const
{
    const int rowPx = std::max(Px(m_rowTwips), 1);
    return std::max((viewport()->height() - HeaderHeightPixels()) / rowPx, 0);
}

int QtFlexGrid::LastFirstRow() const
{
    const int dataRows = m_rows - 1;
    return std::max(1, dataRows - std::max(DataRowsOnScreen(), 1) + 1);
}

int QtFlexGrid::LastFirstColumn() const
{
    // The leftmost column that still lets the last one end on screen.
    const long long room = static_cast<long long>(viewport()->width() * m_twipsPerPixel) - ColumnWidthTwips(0);
    long long used = 0;
    int first = m_columns - 1;
    for (int c = m_columns - 1; c >= 1; --c) {
        used += ColumnWidthTwips(c);
        if (used > room) break;
        first = c;
    }
    return std::max(first, 1);
}

bool QtFlexGrid::RowVisible(int row) const
{
    if (row < 0 || row >= m_rows) return false;
    if (row < m_headerRows) return true;
    if (row < m_firstRow) return false;
    const int top = Px(RowTopTwips(row));
    return top < viewport()->height();
}

bool QtFlexGrid::ColumnVisible(int column) const
{
    if (column < 0 || column >= m_columns) return false;
    if (column < m_headerColumns) return true;
    if (column < m_firstColumn) return false;
    return Px(ColumnLeftTwips(column)) < viewport()->width();
}

void QtFlexGrid::SetFirstVisibleRow(int row)
{
    const int old = m_firstRow;
    m_firstRow = std::clamp(row, m_headerRows, std::max(std::min(LastFirstRow(), m_rows - 1), m_headerRows));
    UpdateScrollBars();
    if (old != m_firstRow) {
        Repaint();
        if (scrolled) scrolled();
    }
}

void QtFlexGrid::SetFirstVisibleColumn(int column)
{
    const int old = m_firstColumn;
    m_firstColumn = std::clamp(column, m_headerColumns, std::max(std::min(LastFirstColumn(), m_columns - 1), m_headerColumns));
    UpdateScrollBars();
    if (old != m_firstColumn) {
        Repaint();
        if (scrolled) scrolled();
    }
}

void QtFlexGrid::UpdateScrollBars()
{
    m_settingScroll = true;
    const int lastRow = LastFirstRow(), lastColumn = LastFirstColumn();
    verticalScrollBar()->setRange(0, std::max(lastRow - 1, 0));
    verticalScrollBar()->setPageStep(std::max(DataRowsOnScreen(), 1));
    horizontalScrollBar()->setRange(0, std::max(lastColumn - 1, 0));
    horizontalScrollBar()->setPageStep(1);
    m_firstRow = std::clamp(m_firstRow, 1, std::max(lastRow, 1));
    m_firstColumn = std::clamp(m_firstColumn, 1, std::max(lastColumn, 1));
    verticalScrollBar()->setValue(m_firstRow - 1);
    horizontalScrollBar()->setValue(m_firstColumn - 1);
    m_settingScroll = false;
}

void QtFlexGrid::scrollContentsBy(int, int)
{
    if (m_settingScroll) return;
    const int row = verticalScrollBar()->value() + 1, column = horizontalScrollBar()->value() + 1;
    if (row == m_firstRow && column == m_firstColumn) return;
    m_firstRow = row;
    m_firstColumn = column;
    Repaint();
    if (scrolled) scrolled();
}

void QtFlexGrid::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    GeometryChanged();
}

QRect QtFlexGrid::CellRect(int row, int column) const
{
    const int left = Px(ColumnLeftTwips(column)), right = Px(static_cast<long long>(ColumnLeftTwips(column)) + ColumnWidthTwips(column));
    const int top = Px(RowTopTwips(row)), bottom = Px(static_cast<long long>(RowTopTwips(row)) + RowHeightTwips(row));
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

void QtFlexGrid::CellAt(const QPoint& point, int* row, int* column) const
{
    *row = -1;
    *column = -1;
    if (m_rows == 0 || m_columns == 0) return;
    const int headerPx = HeaderHeightPixels(), rowPx = std::max(Px(m_rowTwips), 1);
    if (point.y() >= 0 && point.y() < headerPx) {
        *row = 0;
    } else if (point.y() >= headerPx) {
        const int r = m_firstRow + (point.y() - headerPx) / rowPx;
        if (r < m_rows) *row = r;
    }
    if (point.x() >= 0 && point.x() < Px(ColumnWidthTwips(0))) {
        *column = 0;
    } else {
        for (int c = m_firstColumn; c < m_columns; ++c) {
            const int left = Px(ColumnLeftTwips(c));
            if (left > point.x()) break;
            if (point.x() < Px(static_cast<long long>(ColumnLeftTwips(c)) + ColumnWidthTwips(c))) {
                *column = c;
                break;
            }
        }
    }
}

int QtFlexGrid::ColumnEdgeAt(int x) const
{
    if (m_columns == 0) return -1;
    auto near = [x](int edge) { return x >= edge - kResizeGrip && x <= edge + kResizeGrip; };
    for (int c = m_columns - 1; c >= m_firstColumn; --c) {
        if (near(Px(static_cast<long long>(ColumnLeftTwips(c)) + ColumnWidthTwips(c)))) return c;
    }
    return near(Px(ColumnWidthTwips(0))) ? 0 : -1;
}

// ---- keyboard and mouse ----

void QtFlexGrid::MoveCurrent(int row, int column, bool extend)
{
    row = ClampRow(row);
    column = ClampColumn(column);
    if (extend) {
        m_selEndRow = row;
        m_selEndColumn = column;
        Repaint();
    } else {
        const int oldRow = m_currentRow, oldColumn = m_currentColumn;
        m_currentRow = m_selEndRow = row;
        m_currentColumn = m_selEndColumn = column;
        NotifyCurrentChanged(oldRow, oldColumn);
    }
    ScrollTo(row, column);
}

void QtFlexGrid::ScrollTo(int row, int column)
{
    int first = m_firstRow;
    const int onScreen = std::max(DataRowsOnScreen(), 1);
    if (row >= 1 && row < first) first = row;
    if (row >= first + onScreen) first = row - onScreen + 1;
    int firstColumn = m_firstColumn;
    if (column >= 1 && column < firstColumn) firstColumn = column;
    const long long room = static_cast<long long>(viewport()->width() * m_twipsPerPixel) - ColumnWidthTwips(0);
    while (firstColumn < column) {
        long long used = 0;
        for (int c = firstColumn; c <= column; ++c) used += ColumnWidthTwips(c);
        if (used <= room) break;
        ++firstColumn;
    }
    if (first != m_firstRow) SetFirstVisibleRow(first);
    if (firstColumn != m_firstColumn) SetFirstVisibleColumn(firstColumn);
}

void QtFlexGrid::keyPressEvent(QKeyEvent* event)
{
    const int key = VirtualKeyOf(event->key(), event->modifiers());
    if (keyDown && keyDown(key, ShiftState(event->modifiers()), event->text())) return;
    const bool extend = event->modifiers().testFlag(Qt::ShiftModifier);
    const bool control = event->modifiers().testFlag(Qt::ControlModifier);
    const int row = extend ? m_selEndRow : m_currentRow, column = extend ? m_selEndColumn : m_currentColumn;
    const int page = std::max(DataRowsOnScreen(), 1);
    switch (event->key()) {
    case Qt::Key_Up: MoveCurrent(row - 1, column, extend); break;
    case Qt::Key_Down: MoveCurrent(row + 1, column, extend); break;
    case Qt::Key_Left: MoveCurrent(row, column - 1, extend); break;
    case Qt::Key_Right: MoveCurrent(row, column + 1, extend); break;
    case Qt::Key_PageUp: MoveCurrent(row - page, column, extend); break;
    case Qt::Key_PageDown: MoveCurrent(row + page, column, extend); break;
    case Qt::Key_Home: MoveCurrent(control ? 1 : row, 1, extend); break;
    case Qt::Key_End: MoveCurrent(control ? m_rows - 1 : row, m_columns - 1, extend); break;
    default: QAbstractScrollArea::keyPressEvent(event); return;
    }
    event->accept();
}

void QtFlexGrid::mousePressEvent(QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    CellAt(point, &m_pointerRow, &m_pointerColumn);
    m_pointerRow = std::max(m_pointerRow, 0);
    m_pointerColumn = std::max(m_pointerColumn, 0);
    const int button = ButtonCode(event->button()), shift = ShiftState(event->modifiers());
    if (event->button() == Qt::LeftButton && point.y() < HeaderHeightPixels()) {
        const int edge = ColumnEdgeAt(point.x());
        if (edge >= 0) {
            m_resizingColumn = edge;
            m_resizeStartX = point.x();
            m_resizeStartTwips = ColumnWidthTwips(edge);
            return;
        }
    }
    if (beforeMouseDown && beforeMouseDown(button, shift)) return;
    if (event->button() == Qt::LeftButton && m_rows > 1 && m_columns > 1) {
        const bool extend = event->modifiers().testFlag(Qt::ShiftModifier);
        if (m_pointerRow >= 1 && m_pointerColumn >= 1) {
            MoveCurrent(m_pointerRow, m_pointerColumn, extend);
            m_selecting = true;
        } else if ((m_pointerRow == 0) != (m_pointerColumn == 0)) {
            // A caption selects its column, a row label its row.
            const int oldRow = m_currentRow, oldColumn = m_currentColumn;
            const bool column = m_pointerRow == 0;
            if (!extend) {
                m_currentRow = column ? 1 : m_pointerRow;
                m_currentColumn = column ? m_pointerColumn : 1;
            }
            m_selEndRow = column ? m_rows - 1 : m_pointerRow;
            m_selEndColumn = column ? m_pointerColumn : m_columns - 1;
            NotifyCurrentChanged(oldRow, oldColumn);
        }
    }
    if (mouseDown) mouseDown(button, shift, point.x(), point.y());
}

void QtFlexGrid::contextMenuEvent(QContextMenuEvent* event)
{
    // A right click has already asked for the menu through the mouse-down event.
    if (event->reason() == QContextMenuEvent::Mouse) {
        event->accept();
    } else {
        event->ignore();
    }
}

void QtFlexGrid::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    if (m_resizingColumn >= 0) {
        SetColumnWidthTwips(m_resizingColumn, std::max(m_resizeStartTwips + static_cast<int>((point.x() - m_resizeStartX) * m_twipsPerPixel), 0));
        return;
    }
    int row = -1, column = -1;
    CellAt(point, &row, &column);
    if (!event->buttons()) {
        m_pointerRow = std::max(row, 0);
        m_pointerColumn = std::max(column, 0);
        viewport()->setCursor(point.y() < HeaderHeightPixels() && ColumnEdgeAt(point.x()) >= 0 ? Qt::SplitHCursor
                                                                                             : Qt::ArrowCursor);
        return;
    }
    if (!m_selecting) return;
    // Dragging past an edge scrolls one row or column at a time.
    if (point.y() >= viewport()->height()) row = m_selEndRow + 1;
    if (point.y() < HeaderHeightPixels()) row = std::max(m_selEndRow - 1, 1);
    if (point.x() >= viewport()->width()) column = m_selEndColumn + 1;
    if (point.x() < Px(ColumnWidthTwips(0))) column = std::max(m_selEndColumn - 1, 1);
    if (row >= 1 && column >= 1 && (row != m_selEndRow || column != m_selEndColumn)) MoveCurrent(row, column, true);
}

void QtFlexGrid::mouseReleaseEvent(QMouseEvent*)
{
    m_resizingColumn = -1;
    m_selecting = false;
}

void QtFlexGrid::mouseDoubleClickEvent(QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    if (event->button() != Qt::LeftButton) return;
    if (point.y() < HeaderHeightPixels() && ColumnEdgeAt(point.x()) >= 0) return;
    int row = -1, column = -1;
    CellAt(point, &row, &column);
    if (row >= 1 && column >= 1 && doubleClick) doubleClick();
}

void QtFlexGrid::focusInEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusInEvent(event);
    Repaint();
}

void QtFlexGrid::focusOutEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusOutEvent(event);
    Repaint();
}

// ---- drawing ----

const GridColours& QtFlexGrid::Colours() const
{
    if (m_coloursKey != palette().cacheKey()) {
        m_colours = GridColours::Of(palette());
        m_coloursKey = palette().cacheKey();
    }
    return m_colours;
}

void QtFlexGrid::paintEvent(QPaintEvent*)
{
    ++m_paints;
    QPainter painter(viewport());
    const QRect area = viewport()->rect();
    painter.fillRect(area, palette().color(QPalette::Window));
    if (m_rows == 0 || m_columns == 0) return;
    const GridColours& colours = Colours();
    const int selTop = std::min(m_currentRow, m_selEndRow), selBottom = std::max(m_currentRow, m_selEndRow);
    const int selLeft = std::min(m_currentColumn, m_selEndColumn), selRight = std::max(m_currentColumn, m_selEndColumn);
    const bool multiple = selTop != selBottom || selLeft != selRight;

    std::vector<int> columns{0};
    for (int c = m_firstColumn; c < m_columns && Px(ColumnLeftTwips(c)) < area.width(); ++c) columns.push_back(c);
    std::vector<int> rows{0};
    for (int r = m_firstRow; r < m_rows && Px(RowTopTwips(r)) < area.height(); ++r) rows.push_back(r);

    for (int r : rows) {
        for (int c : columns) {
            const QRect cell = CellRect(r, c);
            if (cell.width() <= 0 || cell.height() <= 0) continue;
            const bool header = r == 0 || c == 0;
            QColor fill = colours.base;
            const CellMarks marks{!header && editedCell && editedCell(r, c), !header && differentCell && differentCell(r, c)};
            if (header) {
                fill = colours.header;
            } else if (m_highlightMode == 1 && multiple && r >= selTop && r <= selBottom && c >= selLeft && c <= selRight &&
                       !(r == m_currentRow && c == m_currentColumn)) {
                fill = colours.selection;
            } else if (marks.Any()) {
                fill = marks.Fill(colours);
            } else if (readOnlyCell && readOnlyCell(r, c)) {
                fill = colours.readOnly;
            }
            painter.fillRect(cell, fill);
            marks.DrawCorners(painter, cell, colours);
            painter.setPen(header ? colours.headerLine : colours.line);
            painter.drawLine(cell.topRight(), cell.bottomRight());
            painter.drawLine(cell.bottomLeft(), cell.bottomRight());
            const QString text = SjisToQString(CellText(r, c));
            if (text.isEmpty()) continue;
            painter.setPen(header ? colours.headerText : colours.text);
            const QRect inner = cell.adjusted(2, 1, -3, -1);
            if (r == 0) {
                painter.drawText(inner, Qt::AlignCenter | Qt::TextWrapAnywhere, text);
            } else {
                painter.drawText(inner, AlignmentOf(ColumnAlign(c)), text);
            }
        }
    }
    if (m_focusFrame != 0 && m_currentRow >= 1 && m_currentColumn >= 1 && RowVisible(m_currentRow) &&
        ColumnVisible(m_currentColumn)) {
        QPen pen(hasFocus() ? colours.focus : colours.focusInactive);
        pen.setWidth(m_focusFrame == 2 ? 2 : 1);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(CellRect(m_currentRow, m_currentColumn).adjusted(1, 1, -1, -1));
    }
}

}  // namespace zok2
