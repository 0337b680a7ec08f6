// The document's cell operations: display texts into the grid, typed texts into values.
#include <algorithm>

#include "binary/ValueCodec.h"
#include "document/CZOKDoc.h"
#include "grid/CMSFlexGrid.h"
#include "saving/BinaryWriter.h"

namespace zok2 {

bool CZOKDoc::HasData(int section, int column, int row) const
{
    const ColumnDefinition* d = Column(section, column);
    if (!d || row < 0 || static_cast<std::size_t>(section) >= values.size()) return false;
    if (row >= GetFieldNumber(static_cast<int>(ColumnField::rowCount), section, column)) return false;
    return values[static_cast<std::size_t>(section)].Contains(static_cast<std::size_t>(row), static_cast<std::size_t>(column));
}

bool CZOKDoc::IsEditable(int section, int column, int row) const
{
    if (!HasData(section, column, row) || static_cast<std::size_t>(section) >= m_layouts.size()) return false;
    const std::vector<ColumnLayout>& layouts = m_layouts[static_cast<std::size_t>(section)];
    return static_cast<std::size_t>(column) < layouts.size() && CellInFile(layouts[static_cast<std::size_t>(column)], row, m_fileSize);
}

std::uint32_t CZOKDoc::Value(int section, int column, int row) const
{
    if (section < 0 || column < 0 || row < 0 || static_cast<std::size_t>(section) >= values.size()) return 0;
    const ValueTable& table = values[static_cast<std::size_t>(section)];
    if (!table.Contains(static_cast<std::size_t>(row), static_cast<std::size_t>(column))) return 0;
    return table.Get(static_cast<std::size_t>(row), static_cast<std::size_t>(column));
}

std::string CZOKDoc::GetEditText(int section, int column, int row) const
{
    const ColumnDefinition* d = Column(section, column);
    if (!d || static_cast<std::size_t>(section) >= values.size() ||
        !values[static_cast<std::size_t>(section)].Contains(static_cast<std::size_t>(row), static_cast<std::size_t>(column))) {
        return std::string();
    }
    return ColumnCodec(*d).EditText(Value(section, column, row));
}

std::string CZOKDoc::DisplayText(int section, int column, int row) const
{
    if (!HasData(section, column, row)) return "--";
    return ColumnCodec(*Column(section, column), this).DisplayText(Value(section, column, row));
}

std::string CZOKDoc::RowLabelText(int section, int row) const
{
    const TextList& labels = RowLabels(section);
    return row >= 0 && static_cast<std::size_t>(row) < labels.size() ? std::string(labels[static_cast<std::size_t>(row)]) : std::string();
}

void CZOKDoc::RefreshCells(int section, int firstRow, int lastRow, int firstColumn, int lastColumn)
{
    CMSFlexGrid* grid = ViewGrid();
    if (!grid || section < 0 || static_cast<std::size_t>(section) >= sections.size()) return;
    const int rowTotal = static_cast<int>(RowLabels(section).size());
    const Section& columns = sections[static_cast<std::size_t>(section)];
    const int columnTotal = static_cast<int>(columns.size());
    if (columnTotal == 0 || firstColumn < 0 || firstColumn >= columnTotal || firstRow < 0 || firstRow >= rowTotal) return;
    const int columnEnd = lastColumn == -1 ? columnTotal : std::min(lastColumn + 1, columnTotal);
    const int rowEnd = lastRow == -1 ? rowTotal : std::min(lastRow + 1, rowTotal);
    const ValueTable* table = static_cast<std::size_t>(section) < values.size() ? &values[static_cast<std::size_t>(section)] : nullptr;
    for (int c = firstColumn; c < columnEnd; ++c) grid->SetColumnAlign(c + 1, ColumnCodec(columns[static_cast<std::size_t>(c)], this).Alignment());
    // A grid that formats what it draws needs no text of ours.
    if (grid->RefreshFromSource(*this, section, firstRow + 1, rowEnd, firstColumn + 1, columnEnd)) return;
    for (int c = firstColumn; c < columnEnd; ++c) {
        const ColumnCodec codec(columns[static_cast<std::size_t>(c)], this);
        for (int r = firstRow; r < rowEnd; ++r) {
            // Rows past the row count, or past what a section's value table holds, have no data.
            const bool data = r < codec.RowCount() && table && table->Contains(static_cast<std::size_t>(r), static_cast<std::size_t>(c));
            grid->SetCellText(r + 1, c + 1,
                              data ? codec.DisplayText(table->Get(static_cast<std::size_t>(r), static_cast<std::size_t>(c))) : std::string("--"));
        }
    }
}

void CZOKDoc::StoreCellText(int section, int column, int row, const std::string& input)
{
    StoreInput(section, column, row, input, true);
}

void CZOKDoc::StoreRecordedText(int section, int column, int row, const std::string& input)
{
    StoreInput(section, column, row, input, false);
}

void CZOKDoc::StoreInput(int section, int column, int row, const std::string& input, bool applyRange)
{
    if (!IsEditable(section, column, row)) return;
    const std::uint32_t v = ColumnCodec(*Column(section, column)).Parse(input, applyRange);
    values[static_cast<std::size_t>(section)].Set(static_cast<std::size_t>(row), static_cast<std::size_t>(column), v);
    m_sharing.Spread(values, section, column, row, &m_sharedChanges);
    MarkModified();
}

std::vector<CellRef> CZOKDoc::TakeSharedChanges()
{
    std::vector<CellRef> changes;
    changes.swap(m_sharedChanges);
    return changes;
}

}  // namespace zok2
