#include "binary/BinaryLoader.h"

#include <algorithm>

namespace zok2 {

std::vector<int> ValueWidths(const Section& columns)
{
    std::vector<int> widths;
    widths.reserve(columns.size());
    for (const ColumnDefinition& d : columns) widths.push_back(d.ByteSize());
    return widths;
}

std::vector<ColumnLayout> LayoutsOf(const Section& columns) { return std::vector<ColumnLayout>(columns.begin(), columns.end()); }

namespace {

// A column of W-byte values (or bits) at a byte stride, read straight from the
// page in memory where a value lies in one; the general rule covers the rest.
template <int W>
void LoadColumn(ValueTable& table, std::size_t column, const ColumnLayout& layout, std::int64_t from, std::int64_t rows, ByteSource& file)
{
    const bool bytes = layout.kind == ColumnLayout::Kind::Bytes;
    const std::uint32_t keep = bytes ? (W >= 4 ? 0xFFFFFFFFu : (1u << (8 * W)) - 1u) & (layout.masked ? layout.mask : 0xFFFFFFFFu) : 1u;
    const int shift = bytes ? 0 : layout.bit;
    const std::size_t step = table.RowBytes();
    const std::int64_t stride = layout.stride;
    std::uint8_t* out = table.CellBytes(static_cast<std::size_t>(from), column);
    auto store = [&](std::uint32_t v) {
        for (int i = 0; i < W; ++i) out[i] = static_cast<std::uint8_t>(v >> (8 * i));
        out += step;
    };
    std::int64_t offset = layout.Offset(from);
    for (std::int64_t r = from; r < rows;) {
        std::int64_t length = 0;
        const std::uint8_t* p = file.Run(offset, &length);
        // The rows whose whole value lies in this run of memory, read without further checks.
        std::int64_t count = length < W ? 0 : (stride == 0 ? rows - r : (length - W) / stride + 1);
        count = std::min(count, rows - r);
        if (count == 0) {
            store(DecodeCell(layout, file, offset, layout.bit));  // across a page boundary, or past the end
            ++r;
            offset += stride;
            continue;
        }
        for (std::int64_t k = 0; k < count; ++k) {
            const std::uint8_t* q = p + k * stride;
            std::uint32_t v = q[0];
            if constexpr (W > 1) v |= static_cast<std::uint32_t>(q[1]) << 8;
            if constexpr (W > 2) v |= static_cast<std::uint32_t>(q[2]) << 16;
            if constexpr (W > 3) v |= static_cast<std::uint32_t>(q[3]) << 24;
            store((v >> shift) & keep);
        }
        r += count;
        offset += count * stride;
    }
}

// One bit per row at a bit distance: each row's byte read from the page in
// memory that holds it.
void LoadPackedBits(ValueTable& table, std::size_t column, const ColumnLayout& layout, std::int64_t from, std::int64_t rows, ByteSource& file)
{
    std::uint8_t* out = table.CellBytes(static_cast<std::size_t>(from), column);
    const std::size_t step = table.RowBytes();
    for (std::int64_t r = from; r < rows;) {
        const std::int64_t first = layout.Offset(r);
        std::int64_t length = 0;
        const std::uint8_t* p = first < 0 ? nullptr : file.Run(first, &length);
        if (p == nullptr) {
            *out = static_cast<std::uint8_t>(DecodeCell(layout, file, first, layout.BitIn(r)));
            out += step;
            ++r;
            continue;
        }
        for (; r < rows; ++r) {
            const std::int64_t position = layout.bit + layout.bitStride * r;
            const std::int64_t at = position < 0 ? -1 : static_cast<std::int64_t>(layout.address) + position / 8 - first;
            if (at < 0 || at >= length) break;
            *out = static_cast<std::uint8_t>((p[at] >> (position % 8)) & 1u);
            out += step;
        }
    }
}

}  // namespace

ValueTable LoadPlainSection(const Section& columns, const std::vector<ColumnLayout>& layouts, std::size_t rows, ByteSource& file)
{
    ValueTable table(ValueWidths(columns), rows);
    // A block of rows at a time, column by column, so that the bytes read and the
    // values written stay in the processor's nearest cache across the columns.
    constexpr std::int64_t kBlockRows = 256;
    const auto allRows = static_cast<std::int64_t>(rows);
    for (std::int64_t from = 0; from < allRows; from += kBlockRows) {
        for (std::size_t c = 0; c < layouts.size(); ++c) {
            const ColumnLayout& layout = layouts[c];
            const std::int64_t to = std::min({layout.rowCount, allRows, from + kBlockRows});
            if (to <= from) continue;
            if (layout.kind == ColumnLayout::Kind::PackedBit) {
                LoadPackedBits(table, c, layout, from, to, file);
                continue;
            }
            switch (table.Width(c)) {
            case 1: LoadColumn<1>(table, c, layout, from, to, file); break;
            case 2: LoadColumn<2>(table, c, layout, from, to, file); break;
            case 3: LoadColumn<3>(table, c, layout, from, to, file); break;
            default: LoadColumn<4>(table, c, layout, from, to, file); break;
            }
        }
    }
    return table;
}

}  // namespace zok2
