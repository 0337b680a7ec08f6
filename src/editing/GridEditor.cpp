#include "editing/GridEditor.h"

#include <algorithm>

#include "document/CZOKDoc.h"
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

bool GridEditor::CanEditSection() const { return HasSection() && !m_doc.IsCompressedSection(m_section); }

GridRect GridEditor::Selection() const
{
    return {std::min(m_grid.CurrentColumn(), m_grid.SelEndColumn()), std::max(m_grid.CurrentColumn(), m_grid.SelEndColumn()),
            std::min(m_grid.CurrentRow(), m_grid.SelEndRow()), std::max(m_grid.CurrentRow(), m_grid.SelEndRow())};
}

void GridEditor::Finish()
{
    if (afterCommand) afterCommand();
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
    if (CanEditSection()) {
        const GridRect s = Selection();
        RangeOperation(RangeMode::RecordUndo, s.firstColumn, s.lastColumn, s.firstRow, s.lastRow);
        RangeOperation(RangeMode::Clear, s.firstColumn, s.lastColumn, s.firstRow, s.lastRow);
        m_doc.ClearRedoLog();
    }
    Finish();
}

void GridEditor::Copy()
{
    if (!HasSection()) return;
    const GridRect s = Selection();
    RangeOperation(RangeMode::Copy, s.firstColumn, s.lastColumn, s.firstRow, s.lastRow);
    Finish();
}

void GridEditor::Cut()
{
    if (!HasSection()) return;
    const GridRect s = Selection();
    if (CanEditSection()) {
        RangeOperation(RangeMode::RecordUndo, s.firstColumn, s.lastColumn, s.firstRow, s.lastRow);
        RangeOperation(RangeMode::Copy, s.firstColumn, s.lastColumn, s.firstRow, s.lastRow);
        RangeOperation(RangeMode::Clear, s.firstColumn, s.lastColumn, s.firstRow, s.lastRow);
        m_doc.ClearRedoLog();
    } else {
        RangeOperation(RangeMode::Copy, s.firstColumn, s.lastColumn, s.firstRow, s.lastRow);  // read-only: copy only
    }
    Finish();
}

void GridEditor::Paste()
{
    if (!HasSection()) return;
    if (CanEditSection()) {
        ApplyText(ApplyKind::Paste);
        m_doc.ClearRedoLog();
    }
    Finish();
}

void GridEditor::Undo()
{
    if (!HasSection()) return;
    if (!m_doc.undoLog.empty()) {
        ApplyText(ApplyKind::Undo);
        m_doc.UpdateModifiedFromHistory();
    }
    Finish();
}

void GridEditor::Redo()
{
    if (!HasSection()) return;
    if (!m_doc.redoLog.empty()) {
        ApplyText(ApplyKind::Redo);
        m_doc.UpdateModifiedFromHistory();
    }
    Finish();
}

void GridEditor::CommitCellText(const std::string& text)
{
    if (!CanEditSection()) return;
    const int column = m_grid.CurrentColumn(), row = m_grid.CurrentRow();
    RangeOperation(RangeMode::RecordUndo, column, column, row, row);
    m_doc.StoreCellText(m_section, column - 1, row - 1, text);
    m_doc.RefreshCells(m_section, row - 1, row - 1, column - 1, column - 1);
}

std::string GridEditor::RangeText(int firstColumn, int lastColumn, int firstRow, int lastRow) const
{
    std::string out;
    const Section& columns = m_doc.sections[static_cast<std::size_t>(m_section)];
    for (int r = firstRow; r <= lastRow; ++r) {
        for (int c = firstColumn; c <= lastColumn; ++c) {
            if (m_doc.HasData(m_section, c - 1, r - 1)) {
                // List columns are copied and recorded by value, not by label.
                const bool listMode = text::ReadDec(columns[static_cast<std::size_t>(c - 1)][ColumnField::radix]) == 0;
                out += listMode ? m_doc.GetEditText(m_section, c - 1, r - 1) : m_doc.DisplayText(m_section, c - 1, r - 1);
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
    const std::string text = RangeText(firstColumn, lastColumn, firstRow, lastRow);
    if (mode == RangeMode::Copy) {
        if (!m_clipboard.SetText(text)) m_doc.MessageBox().Show(messages::kCopyFailed);
        return;
    }
    std::string record;
    for (int number : {m_section, firstColumn, lastColumn, firstRow, lastRow}) record += text::FormatDec(number) + ",";
    record += text;
    if (mode == RangeMode::RecordRedo) {
        m_doc.RecordRedoFromUndo(record);
    } else if (m_redoing) {
        m_doc.RecordUndoFromRedo(record);
    } else {
        m_doc.RecordNewEdit(record);
    }
}

void GridEditor::WriteText(const std::string& input, int firstColumn, int lastColumn, int firstRow, int lastRow,
                           bool recorded)
{
    std::string remaining = input;
    for (int r = firstRow; r <= lastRow; ++r) {
        if (remaining.empty()) break;
        std::string line;
        const std::size_t lineEnd = remaining.find('\n');
        if (lineEnd == std::string::npos) {
            line = remaining;  // the last line fills any further rows
        } else {
            line = remaining.substr(0, lineEnd);
            remaining = lineEnd + 1 == remaining.size() ? std::string("0") : remaining.substr(lineEnd + 1);
        }
        for (int c = firstColumn; c <= lastColumn; ++c) {
            std::string cell;
            const std::size_t tab = line.find('\t');
            if (tab == std::string::npos) {
                cell = line;  // the last cell fills any further columns
            } else {
                cell = line.substr(0, tab);
                line.erase(0, tab + 1);
            }
            if (recorded) {
                m_doc.StoreRecordedText(m_section, c - 1, r - 1, cell);
            } else {
                m_doc.StoreCellText(m_section, c - 1, r - 1, cell);
            }
        }
    }
}

void GridEditor::ApplyText(ApplyKind kind)
{
    if (kind == ApplyKind::Paste) {
        if (!CanEditSection()) return;
        std::string clip;
        if (!m_clipboard.GetText(clip) || clip.empty()) return;
        const int anchorColumn = m_grid.CurrentColumn(), anchorRow = m_grid.CurrentRow();
        std::string pasted = text::ReplaceAll(clip, "\r\n", "\n");
        if (!pasted.empty() && pasted.back() == '\n') pasted.pop_back();
        const std::string firstLine = pasted.substr(0, pasted.find('\n'));
        const int width = 1 + static_cast<int>(std::count(firstLine.begin(), firstLine.end(), '\t'));
        const int height = 1 + static_cast<int>(std::count(pasted.begin(), pasted.end(), '\n'));
        const int lastColumn = std::min(anchorColumn + width - 1, m_grid.ColumnCount() - 1);
        const int lastRow = std::min(anchorRow + height - 1, m_grid.RowCount() - 1);
        if (anchorColumn < 1 || anchorRow < 1 || lastColumn < anchorColumn || lastRow < anchorRow) return;
        RangeOperation(RangeMode::RecordUndo, anchorColumn, lastColumn, anchorRow, lastRow);
        WriteText(pasted, anchorColumn, lastColumn, anchorRow, lastRow, false);
        m_doc.RefreshCells(m_section, anchorRow - 1, lastRow - 1, anchorColumn - 1, lastColumn - 1);
        m_grid.SetSelEndRow(lastRow);
        m_grid.SetSelEndColumn(lastColumn);
        return;
    }

    const bool undo = kind == ApplyKind::Undo;
    if (undo ? m_doc.undoLog.empty() : m_doc.redoLog.empty()) return;
    const std::string record = undo ? m_doc.TakeLastUndo() : m_doc.TakeLastRedo();
    int numbers[5] = {0, 0, 0, 0, 0};
    std::size_t pos = 0;
    for (int& number : numbers) {
        const std::size_t comma = record.find(',', pos);
        if (comma == std::string::npos) return;  // not a record this program wrote
        number = text::ReadDec(std::string_view(record).substr(pos, comma - pos));
        pos = comma + 1;
    }
    const std::string recordText = record.substr(pos);
    const int section = numbers[0], firstColumn = numbers[1], lastColumn = numbers[2], firstRow = numbers[3],
              lastRow = numbers[4];
    if (section < 0 || static_cast<std::size_t>(section) >= m_doc.sections.size()) return;

    const bool switched = section != m_section;
    if (switched) {
        if (showSection) {
            showSection(section, firstColumn, firstRow);
        } else {
            FillSectionGrid(m_doc, m_grid, section, firstColumn, firstRow);
        }
        m_section = section;
    }
    m_redoing = !undo;
    RangeOperation(undo ? RangeMode::RecordRedo : RangeMode::RecordUndo, firstColumn, lastColumn, firstRow, lastRow);
    m_redoing = false;
    WriteText(recordText, firstColumn, lastColumn, firstRow, lastRow, true);
    m_doc.RefreshCells(m_section, firstRow - 1, lastRow - 1, firstColumn - 1, lastColumn - 1);
    SelectRange(firstColumn, lastColumn, firstRow, lastRow);
    if (switched || !m_grid.RowVisible(m_grid.CurrentRow()) || !m_grid.ColumnVisible(m_grid.CurrentColumn())) {
        EnsureRangeVisible(firstColumn, lastColumn, firstRow, lastRow);
    }
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
