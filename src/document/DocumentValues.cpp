// The document's cell operations: display texts into the grid, typed texts into values.
#include <algorithm>

#include "binary/ValueCodec.h"
#include "document/CZOKDoc.h"
#include "grid/CMSFlexGrid.h"
#include "saving/BinaryWriter.h"

namespace zok2 {

const ColumnCodec& CZOKDoc::CodecOf(int section, int column) const
{
    const auto s = static_cast<std::size_t>(section), c = static_cast<std::size_t>(column);
    const ColumnDefinition& d = sections[s][c];
    if (m_codecs.size() < sections.size()) m_codecs.resize(sections.size());
    if (m_codecs[s].size() < sections[s].size()) m_codecs[s].resize(sections[s].size());
    CachedCodec& cached = m_codecs[s][c];
    // Size, limit, row count and list are fixed once the file is open (a new open
    // empties the cache); only the display radix changes while it is shown.
    const std::string& radix = d[ColumnField::radix];
    const bool same = cached.codec && cached.radix.size() == radix.size() &&
                      std::equal(radix.begin(), radix.end(), cached.radix.begin());
    if (!same) {
        cached.radix = radix;
        cached.codec = std::make_unique<ColumnCodec>(d, this);
    }
    return *cached.codec;
}

bool CZOKDoc::HasData(int section, int column, int row) const
{
    const ColumnDefinition* d = Column(section, column);
    if (!d || row < 0 || static_cast<std::size_t>(section) >= values.size()) return false;
    if (row >= CodecOf(section, column).RowCount()) return false;
    if (section == m_checksumSection && !ChecksumCellHeld(column, row)) return false;
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
    return CodecOf(section, column).EditText(Value(section, column, row));
}

std::string CZOKDoc::DisplayText(int section, int column, int row) const
{
    if (!HasData(section, column, row)) return "--";
    return CodecOf(section, column).DisplayText(Value(section, column, row));
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
    for (int c = firstColumn; c < columnEnd; ++c) grid->SetColumnAlign(c + 1, CodecOf(section, c).Alignment());
    // A grid that formats what it draws needs no text of ours.
    if (grid->RefreshFromSource(*this, section, firstRow + 1, rowEnd, firstColumn + 1, columnEnd)) return;
    for (int c = firstColumn; c < columnEnd; ++c) {
        const ColumnCodec& codec = CodecOf(section, c);
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

void CZOKDoc::StoreCellText(int section, int column, int row, const std::string& input, ColumnCodec::ParseNote* note)
{
    StoreInput(section, column, row, input, true, note);
}

void CZOKDoc::StoreRecordedText(int section, int column, int row, const std::string& input)
{
    StoreInput(section, column, row, input, false);
}

void CZOKDoc::StoreInput(int section, int column, int row, const std::string& input, bool applyRange, ColumnCodec::ParseNote* note)
{
    if (!IsEditable(section, column, row)) return;
    const std::uint32_t v = CodecOf(section, column).Parse(input, applyRange, note);  // the codec IsEditable just used
    KeepValuesAsRead();
    values[static_cast<std::size_t>(section)].Set(static_cast<std::size_t>(row), static_cast<std::size_t>(column), v);
    m_sharing.Spread(values, section, column, row, &m_sharedChanges);
    MarkModified();
}

const ColumnLayout* CZOKDoc::LayoutOf(int section, int column) const
{
    if (section < 0 || column < 0 || static_cast<std::size_t>(section) >= m_layouts.size()) return nullptr;
    const std::vector<ColumnLayout>& layouts = m_layouts[static_cast<std::size_t>(section)];
    return static_cast<std::size_t>(column) < layouts.size() ? &layouts[static_cast<std::size_t>(column)] : nullptr;
}

std::string CZOKDoc::ReadOpenedBytes(std::int64_t offset, std::size_t count) const
{
    std::string bytes(count, '\0');
    const std::int64_t got = m_opened.IsOpen() ? m_opened.ReadAt(offset, bytes.data(), count) : -1;
    bytes.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    return bytes;
}

bool CZOKDoc::IsEdited(int section, int column, int row) const
{
    // Until the first change the values are the file's own; then the copy kept
    // for the save's check tells them apart, so the marks cost no memory of their own.
    if (!m_valuesAsReadKept || section < 0 || column < 0 || row < 0 || static_cast<std::size_t>(section) >= values.size() ||
        static_cast<std::size_t>(section) >= m_valuesAsRead.size()) {
        return false;
    }
    const ValueTable& now = values[static_cast<std::size_t>(section)];
    const ValueTable& before = m_valuesAsRead[static_cast<std::size_t>(section)];
    const auto r = static_cast<std::size_t>(row), c = static_cast<std::size_t>(column);
    return now.Contains(r, c) && before.Contains(r, c) && now.Get(r, c) != before.Get(r, c);
}

void CZOKDoc::KeepValuesAsRead()
{
    // A save checks the file against what was read; the copy is taken once,
    // before the first change, so an open that only looks costs no memory.
    if (m_valuesAsReadKept) return;
    m_valuesAsRead = values;
    m_valuesAsReadKept = true;
}

CZOKDoc::ColumnStore CZOKDoc::PrepareStore(int section, int column) const
{
    ColumnStore store;
    if (!Column(section, column) || static_cast<std::size_t>(section) >= values.size() ||
        static_cast<std::size_t>(section) >= m_layouts.size() ||
        static_cast<std::size_t>(column) >= m_layouts[static_cast<std::size_t>(section)].size() ||
        !values[static_cast<std::size_t>(section)].Contains(0, static_cast<std::size_t>(column))) {
        return store;
    }
    store.codec = &CodecOf(section, column);
    store.layout = &m_layouts[static_cast<std::size_t>(section)][static_cast<std::size_t>(column)];
    store.rows = std::min<std::int64_t>(std::max(store.codec->RowCount(), 0),
                                        static_cast<std::int64_t>(values[static_cast<std::size_t>(section)].Rows()));
    store.shares = m_sharing.Shares(section, column);
    return store;
}

bool CZOKDoc::CanStore(const ColumnStore& store, int row) const
{
    // The same rule as IsEditable: a row holding data whose bytes all lie in the file.
    return store.codec && row >= 0 && row < store.rows && CellInFile(*store.layout, row, m_fileSize);
}

void CZOKDoc::StoreText(const ColumnStore& store, int section, int column, int row, std::string_view input, bool applyRange,
                        ColumnCodec::ParseNote* note)
{
    if (!CanStore(store, row)) return;
    const std::uint32_t v = store.codec->Parse(input, applyRange, note);
    // Checked here rather than called: a paste or an import stores a million cells.
    if (!m_valuesAsReadKept) KeepValuesAsRead();
    values[static_cast<std::size_t>(section)].Set(static_cast<std::size_t>(row), static_cast<std::size_t>(column), v);
    if (store.shares) m_sharing.Spread(values, section, column, row, &m_sharedChanges);
    if (!IsModified()) MarkModified();
}

void CZOKDoc::BeginStores()
{
    KeepValuesAsRead();
    MarkModified();
}

void CZOKDoc::SpreadFrom(int section, int column, int row) { m_sharing.Spread(values, section, column, row, &m_sharedChanges); }

std::int64_t CZOKDoc::CountReadOnly(int section, int firstColumn, int lastColumn, int firstRow, int lastRow) const
{
    std::int64_t count = 0;
    for (int c = std::max(firstColumn, 0); c <= lastColumn; ++c) {
        if (!Column(section, c) || static_cast<std::size_t>(section) >= values.size() ||
            !values[static_cast<std::size_t>(section)].Contains(0, static_cast<std::size_t>(c))) {
            continue;
        }
        const std::int64_t rows = std::min<std::int64_t>(std::max(CodecOf(section, c).RowCount(), 0),
                                                         static_cast<std::int64_t>(values[static_cast<std::size_t>(section)].Rows()));
        const ColumnStore store = PrepareStore(section, c);
        for (std::int64_t r = std::max(firstRow, 0); r <= lastRow && r < rows; ++r) {
            if (!store.codec || !CellInFile(*store.layout, r, m_fileSize)) ++count;
        }
    }
    return count;
}

std::vector<CellRef> CZOKDoc::TakeSharedChanges()
{
    std::vector<CellRef> changes;
    changes.swap(m_sharedChanges);
    return changes;
}

}  // namespace zok2
