#pragma once
// Reading values: the one cell-read rule for the file and for decoded records.
#include <cstdint>
#include <vector>

#include "binary/ByteSource.h"
#include "binary/CellLayout.h"
#include "binary/ValueTable.h"

namespace zok2 {

// The value of a cell whose bytes start at `offset` of `bytes` (the file, or a
// decoded record); `bit` is its bit number for bit columns. Bytes a source does
// not hold read as 0.
template <typename Bytes>
std::uint32_t DecodeCell(const ColumnLayout& layout, Bytes& bytes, std::int64_t offset, int bit)
{
    if (layout.kind != ColumnLayout::Kind::Bytes) return offset < 0 ? 0u : (bytes.At(offset) >> bit) & 1u;
    const std::uint32_t v = bytes.LittleEndian(offset, layout.byteCount);
    return layout.masked ? (v & layout.mask) : v;
}

// Bytes each column's values need in the value table.
std::vector<int> ValueWidths(const Section& columns);
std::vector<ColumnLayout> LayoutsOf(const Section& columns);

// One row per label and one value per column; rows past a column's row count hold 0.
ValueTable LoadPlainSection(const Section& columns, const std::vector<ColumnLayout>& layouts, std::size_t rows, ByteSource& file);

}  // namespace zok2
