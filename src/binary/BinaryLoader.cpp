#include "binary/BinaryLoader.h"

namespace zok2 {

std::vector<int> ValueWidths(const Section& columns)
{
    std::vector<int> widths;
    widths.reserve(columns.size());
    for (const ColumnDefinition& d : columns) widths.push_back(d.ByteSize());
    return widths;
}

std::vector<ColumnLayout> LayoutsOf(const Section& columns) { return std::vector<ColumnLayout>(columns.begin(), columns.end()); }

ValueTable LoadPlainSection(const Section& columns, const std::vector<ColumnLayout>& layouts, std::size_t rows, ByteSource& file)
{
    ValueTable table(ValueWidths(columns), rows);
    for (std::size_t r = 0; r < rows; ++r) {
        const auto row = static_cast<std::int64_t>(r);
        for (std::size_t c = 0; c < layouts.size(); ++c) {
            const ColumnLayout& layout = layouts[c];
            if (row < layout.rowCount) table.Set(r, c, DecodeCell(layout, file, layout.Offset(row), layout.BitIn(row)));
        }
    }
    return table;
}

}  // namespace zok2
