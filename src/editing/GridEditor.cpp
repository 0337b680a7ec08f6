#include "editing/GridEditor.h"

#include <algorithm>
#include <string_view>

#include "binary/ValueCodec.h"
#include "document/CZOKDoc.h"
#include "document/EditRecord.h"
#include "document/Messages.h"
#include "document/SectionGrid.h"
#include "framework/Services.h"
#include "grid/CMSFlexGrid.h"
#include "text/SjisText.h"

namespace zok2 {

GridEditor::GridEditor(CZOKDoc& doc, CMSFlexGrid& grid, IClipboard& clipboard)
    : m_doc(doc), m_grid(grid), m_clipboard(clipboard)
{
}

bool GridEditor::HasSection() const
{
    return m_doc.HasSections() && m_section >= 0 && static_cast<std::size_t>(m_section) < m_doc.sections.size();
}

bool GridEditor::CanChange(const GridRect& rect) const
{
    if (!HasSection()) return false;
    const int columns = static_cast<int>(m_doc.sections[static_cast<std::size_t>(m_section)].size());
    for (int c = std::max(rect.firstColumn, 1); c <= rect.lastColumn && c <= columns; ++c) {
        for (int r = std::max(rect.firstRow, 1); r <= rect.lastRow; ++r) {
            if (m_doc.IsEditable(m_section, c - 1, r - 1)) return true;
            if (!m_doc.HasData(m_section, c - 1, r - 1)) break;  // the rows below hold no data either
        }
    }
    return false;
}

GridRect GridEditor::Selection() const
{
    return {std::min(m_grid.CurrentColumn(), m_grid.SelEndColumn()), std::max(m_grid.CurrentColumn(), m_grid.SelEndColumn()),
            std::min(m_grid.CurrentRow(), m_grid.SelEndRow()), std::max(m_grid.CurrentRow(), m_grid.SelEndRow())};
}

void GridEditor::Finish()
{
    RefreshSharedCells();
    if (afterCommand) afterCommand();
}

void GridEditor::RefreshSharedCells()
{
    for (const CellRef& cell : m_doc.TakeSharedChanges()) {
        if (cell.section != m_section) continue;  // shown afresh when its tab is
        const int row = static_cast<int>(cell.row);
        m_doc.RefreshCells(m_section, row, row, cell.column, cell.column);
    }
}

void GridEditor::SelectRange(int firstColumn, int lastColumn, int firstRow, int lastRow)
{
    m_grid.SetFocusFrame(0);
    m_grid.SetHighlightMode(0);
    m_grid.SetCurrentRow(firstRow);
    m_grid.SetCurrentColumn(firstColumn);
    m_grid.SetSelEndRow(lastRow);
    m_grid.SetSelEndColumn(lastColumn);
    m_grid.SetFocusFrame(2);
    m_grid.SetHighlightMode(1);
}

void GridEditor::SelectAll() { SelectRange(1, m_grid.ColumnCount() - 1, 1, m_grid.RowCount() - 1); }

void GridEditor::Delete()
{
    if (!HasSection()) return;
    const GridRect s = Selection();
    if (CanChange(s)) {
        RangeOperation(RangeMode::RecordUndo, s.firstColumn, s.lastColumn, s.firstRow, s.lastRow);
        RangeOperation(RangeMode::Clear, s.firstColumn, s.lastColumn, s.firstRow, s.lastRow);
        m_doc.history.ClearRedo();
        m_doc.TellValuesChanged({m_section, s.firstColumn, s.lastColumn, s.firstRow, s.lastRow});
    }
    Finish();
}

void GridEditor::Copy()
{
    if (!HasSection()) return;
    const GridRect s = Selection();
    if (s.firstRow < 1 || s.firstColumn < 1) return;  // a section without rows has no cell to copy
    RangeOperation(RangeMode::Copy, s.firstColumn, s.lastColumn, s.firstRow, s.lastRow);
    Finish();
}

void GridEditor::Cut()
{
    if (!HasSection()) return;
    const GridRect s = Selection();
    if (s.firstRow < 1 || s.firstColumn < 1) return;
    const bool change = CanChange(s);  // read-only cells are only copied
    if (change) RangeOperation(RangeMode::RecordUndo, s.firstColumn, s.lastColumn, s.firstRow, s.lastRow);
    RangeOperation(RangeMode::Copy, s.firstColumn, s.lastColumn, s.firstRow, s.lastRow);
    if (change) {
        RangeOperation(RangeMode::Clear, s.firstColumn, s.lastColumn, s.firstRow, s.lastRow);
        m_doc.history.ClearRedo();
        m_doc.TellValuesChanged({m_section, s.firstColumn, s.lastColumn, s.firstRow, s.lastRow});
    }
    Finish();
}

void GridEditor::Note(int row, int column, const ColumnCodec::ParseNote& note)
{
    if (!note.notANumber && !note.clamped && !note.cut) return;
    if (m_input.notNumbers == 0 && m_input.clamped == 0 && m_input.cut == 0) {
        m_input.firstRow = row;
        m_input.firstColumn = column;
    }
    if (note.notANumber) {
        ++m_input.notNumbers;
        const auto& columns = m_doc.sections[static_cast<std::size_t>(m_section)];
        if (column >= 1 && static_cast<std::size_t>(column - 1) < columns.size() &&
            text::ReadDec(columns[static_cast<std::size_t>(column - 1)][ColumnField::radix]) == 0) {
            m_input.textInList = true;
        }
    }
    if (note.clamped) ++m_input.clamped;
    if (note.cut) ++m_input.cut;
}

void GridEditor::Paste()
{
    m_input = {};
    if (!HasSection()) return;
    // Nothing pasted (an empty or unavailable clipboard) changes nothing, the redo log included.
    if (ApplyText(ApplyKind::Paste)) {
        m_doc.history.ClearRedo();
        m_doc.TellValuesChanged(m_applied);
    }
    Finish();
}

void GridEditor::Undo()
{
    if (!HasSection()) return;
    if (ApplyText(ApplyKind::Undo)) {
        m_doc.UpdateModifiedFromHistory();
        m_doc.TellValuesChanged(m_applied);
    }
    Finish();
}

void GridEditor::Redo()
{
    if (!HasSection()) return;
    if (ApplyText(ApplyKind::Redo)) {
        m_doc.UpdateModifiedFromHistory();
        m_doc.TellValuesChanged(m_applied);
    }
    Finish();
}

void GridEditor::CommitCellText(const std::string& text)
{
    m_input = {};
    const int column = m_grid.CurrentColumn(), row = m_grid.CurrentRow();
    if (!HasSection() || !m_doc.IsEditable(m_section, column - 1, row - 1)) return;
    RangeOperation(RangeMode::RecordUndo, column, column, row, row);
    ColumnCodec::ParseNote note;
    m_doc.StoreCellText(m_section, column - 1, row - 1, text, &note);
    Note(row, column, note);
    m_doc.RefreshCells(m_section, row - 1, row - 1, column - 1, column - 1);
    RefreshSharedCells();
    m_doc.TellValuesChanged({m_section, column, column, row, row});
}

std::string GridEditor::RangeText(int firstColumn, int lastColumn, int firstRow, int lastRow) const
{
    std::string out;
    const Section& columns = m_doc.sections[static_cast<std::size_t>(m_section)];
    const ValueTable& table = m_doc.values[static_cast<std::size_t>(m_section)];
    // Each column's codec is looked up once for the whole rectangle.
    struct ColumnText {
        const ColumnCodec* codec = nullptr;  // none for grid columns past the definitions
        bool byValue = false;
        std::size_t rows = 0;  // rows holding data
    };
    std::vector<ColumnText> plan;
    const bool checksums = m_doc.IsChecksumSection(m_section);
    for (int c = firstColumn; c <= lastColumn; ++c) {
        ColumnText column;
        if (c >= 1 && static_cast<std::size_t>(c - 1) < columns.size() && static_cast<std::size_t>(c - 1) < table.Columns()) {
            column.codec = &m_doc.CodecOf(m_section, c - 1);
            // List columns are copied and recorded by value, not by label; the
            // checksum table (never edited) as it is shown.
            column.byValue = text::ReadDec(columns[static_cast<std::size_t>(c - 1)][ColumnField::radix]) == 0 && !checksums;
            column.rows = std::min<std::size_t>(static_cast<std::size_t>(std::max(column.codec->RowCount(), 0)), table.Rows());
        }
        plan.push_back(column);
    }
    out.reserve(static_cast<std::size_t>(lastRow - firstRow + 1) * plan.size() * 6);
    for (int r = firstRow; r <= lastRow; ++r) {
        const auto row = static_cast<std::size_t>(r - 1);
        for (int c = firstColumn; c <= lastColumn; ++c) {
            const ColumnText& column = plan[static_cast<std::size_t>(c - firstColumn)];
            if (column.codec && r >= 1 && row < column.rows && (!checksums || m_doc.HasData(m_section, c - 1, r - 1))) {
                const std::uint32_t v = table.Get(row, static_cast<std::size_t>(c - 1));
                column.codec->AppendText(v, column.byValue, out);
            }
            if (c < lastColumn) out += '\t';
        }
        if (r < lastRow) out += "\r\n";
    }
    return out;
}

void GridEditor::RangeOperation(RangeMode mode, int firstColumn, int lastColumn, int firstRow, int lastRow)
{
    if (!HasSection()) return;
    if (mode == RangeMode::Clear) {
        for (int c = firstColumn; c <= lastColumn; ++c) {
            for (int r = firstRow; r <= lastRow; ++r) m_doc.StoreCellText(m_section, c - 1, r - 1, "0");
        }
        m_doc.RefreshCells(m_section, firstRow - 1, lastRow - 1, firstColumn - 1, lastColumn - 1);
        return;
    }
    std::string text = RangeText(firstColumn, lastColumn, firstRow, lastRow);
    if (mode == RangeMode::Copy) {
        if (!m_clipboard.SetText(text)) m_doc.MessageBox().Show(messages::kCopyFailed);
        return;
    }
    std::string record = FormatEditRecord({m_section, firstColumn, lastColumn, firstRow, lastRow}, text);
    if (mode == RangeMode::RecordRedo) {
        m_doc.history.RecordRedo(std::move(record));
    } else if (m_redoing) {
        m_doc.history.RecordUndoFromRedo(std::move(record));
    } else {
        m_doc.history.RecordEdit(std::move(record));
    }
}

void GridEditor::WriteText(const std::string& input, int firstColumn, int lastColumn, int firstRow, int lastRow,
                           bool recorded)
{
    // Views into the text: every line and cell is looked at once, however long the paste.
    std::vector<CZOKDoc::ColumnStore> stores;
    for (int c = firstColumn; c <= lastColumn; ++c) stores.push_back(m_doc.PrepareStore(m_section, c - 1));
    std::string_view remaining = input;
    for (int r = firstRow; r <= lastRow; ++r) {
        if (remaining.empty()) break;
        std::string_view line;
        const std::size_t lineEnd = remaining.find('\n');
        if (lineEnd == std::string_view::npos) {
            line = remaining;  // the last line fills any further rows
        } else {
            line = remaining.substr(0, lineEnd);
            remaining = lineEnd + 1 == remaining.size() ? std::string_view("0") : remaining.substr(lineEnd + 1);
        }
        for (int c = firstColumn; c <= lastColumn; ++c) {
            std::string_view cell;
            const std::size_t tab = line.find('\t');
            if (tab == std::string_view::npos) {
                cell = line;  // the last cell fills any further columns
            } else {
                cell = line.substr(0, tab);
                line.remove_prefix(tab + 1);
            }
            ColumnCodec::ParseNote note;
            m_doc.StoreText(stores[static_cast<std::size_t>(c - firstColumn)], m_section, c - 1, r - 1, cell, !recorded,
                            recorded ? nullptr : &note);
            if (!recorded) Note(r, c, note);
        }
    }
}

bool GridEditor::ApplyText(ApplyKind kind)
{
    if (kind == ApplyKind::Paste) {
        if (!HasSection()) return false;
        std::string clip;
        if (!m_clipboard.GetText(clip) || clip.empty()) return false;
        const int anchorColumn = m_grid.CurrentColumn(), anchorRow = m_grid.CurrentRow();
        std::string pasted = text::ReplaceAll(clip, "\r\n", "\n");
        if (!pasted.empty() && pasted.back() == '\n') pasted.pop_back();
        const std::size_t firstLineEnd = std::min(pasted.find('\n'), pasted.size());
        const int width = 1 + static_cast<int>(std::count(pasted.begin(), pasted.begin() + static_cast<std::ptrdiff_t>(firstLineEnd), '\t'));
        const std::int64_t height = 1 + std::count(pasted.begin(), pasted.end(), '\n');
        const int lastColumn = std::min(anchorColumn + width - 1, m_grid.ColumnCount() - 1);
        const int lastRow = static_cast<int>(std::min<std::int64_t>(anchorRow + height - 1, m_grid.RowCount() - 1));
        if (anchorColumn < 1 || anchorRow < 1 || lastColumn < anchorColumn || lastRow < anchorRow) return false;
        if (!CanChange({anchorColumn, lastColumn, anchorRow, lastRow})) return false;
        m_skipped = static_cast<int>(m_doc.CountReadOnly(m_section, anchorColumn - 1, lastColumn - 1, anchorRow - 1, lastRow - 1));
        RangeOperation(RangeMode::RecordUndo, anchorColumn, lastColumn, anchorRow, lastRow);
        WriteText(pasted, anchorColumn, lastColumn, anchorRow, lastRow, false);
        m_applied = {m_section, anchorColumn, lastColumn, anchorRow, lastRow};
        m_doc.RefreshCells(m_section, anchorRow - 1, lastRow - 1, anchorColumn - 1, lastColumn - 1);
        m_grid.SetSelEndRow(lastRow);
        m_grid.SetSelEndColumn(lastColumn);
        return true;
    }

    const bool undo = kind == ApplyKind::Undo;
    std::string record;
    if (!(undo ? m_doc.history.TakeUndo(&record) : m_doc.history.TakeRedo(&record))) return false;
    EditRegion region;
    std::string_view recordText;
    if (!ParseEditRecord(record, &region, &recordText)) return false;  // not a record this program wrote
    if (region.section < 0 || static_cast<std::size_t>(region.section) >= m_doc.sections.size()) return false;

    const bool switched = SwitchTo(region.section, region.firstColumn, region.firstRow);
    m_redoing = !undo;
    RangeOperation(undo ? RangeMode::RecordRedo : RangeMode::RecordUndo, region.firstColumn, region.lastColumn,
                   region.firstRow, region.lastRow);
    m_redoing = false;
    WriteText(std::string(recordText), region.firstColumn, region.lastColumn, region.firstRow, region.lastRow, true);
    m_applied = region;
    m_doc.RefreshCells(m_section, region.firstRow - 1, region.lastRow - 1, region.firstColumn - 1, region.lastColumn - 1);
    SelectRange(region.firstColumn, region.lastColumn, region.firstRow, region.lastRow);
    if (switched || !m_grid.RowVisible(m_grid.CurrentRow()) || !m_grid.ColumnVisible(m_grid.CurrentColumn())) {
        EnsureRangeVisible(region.firstColumn, region.lastColumn, region.firstRow, region.lastRow);
    }
    return true;
}

bool GridEditor::SwitchTo(int section, int column, int row)
{
    if (section == m_section) return false;
    if (showSection) {
        showSection(section, column, row);
    } else {
        FillSectionGrid(m_doc, m_grid, section, column, row);
    }
    m_section = section;
    return true;
}

void GridEditor::GoTo(int section, int firstColumn, int lastColumn, int firstRow, int lastRow)
{
    if (section < 0 || static_cast<std::size_t>(section) >= m_doc.sections.size()) return;
    const bool switched = SwitchTo(section, firstColumn, firstRow);
    SelectRange(firstColumn, lastColumn, firstRow, lastRow);
    if (switched || !m_grid.RowVisible(firstRow) || !m_grid.ColumnVisible(firstColumn)) {
        EnsureRangeVisible(firstColumn, lastColumn, firstRow, lastRow);
    }
    if (afterCommand) afterCommand();
}

void GridEditor::EnsureRangeVisible(int firstColumn, int lastColumn, int firstRow, int lastRow)
{
    int visibleColumns = 0, visibleRows = 0;
    for (int c = 1; c < m_grid.ColumnCount(); ++c) visibleColumns += m_grid.ColumnVisible(c) ? 1 : 0;
    for (int r = 1; r < m_grid.RowCount(); ++r) visibleRows += m_grid.RowVisible(r) ? 1 : 0;
    if (lastColumn - firstColumn + 1 < visibleColumns) {
        firstColumn = std::max(1, firstColumn - (firstColumn + visibleColumns - lastColumn - 1) / 2);
    }
    if (lastRow - firstRow + 1 < visibleRows) {
        firstRow = std::max(1, firstRow - (visibleRows + firstRow - lastRow - 1) / 2);
    }
    m_grid.SetFirstVisibleColumn(firstColumn);
    m_grid.SetFirstVisibleRow(firstRow);
}

}  // namespace zok2
