#include "search/ByteWindow.h"

#include <algorithm>

#include "binary/CellLayout.h"
#include "document/CZOKDoc.h"
#include "search/CellFacts.h"

namespace zok2::search {

namespace {

// A column whose rows all sit on the same bytes (stride 0) is looked at for
// this many rows at most: they are one place in the file.
constexpr std::int64_t kSamePlaceRows = 4096;

std::int64_t RowsOf(const CZOKDoc& doc, int section, const ColumnLayout& layout)
{
    const auto labels = static_cast<std::int64_t>(doc.RowLabels(section).size());
    return std::min<std::int64_t>(std::max<std::int64_t>(layout.rowCount, 0), labels);
}

// The rows of a column whose bytes may fall in [from, to): a superset, cheap to compute.
void RowsInRange(const ColumnLayout& layout, std::int64_t rows, std::int64_t from, std::int64_t to, std::int64_t* first,
                 std::int64_t* last)
{
    *first = 0;
    *last = -1;
    if (rows <= 0 || to <= from) return;
    const std::int64_t address = layout.address;
    if (layout.kind == ColumnLayout::Kind::PackedBit) {
        if (layout.bitStride <= 0) {
            *last = std::min(rows, kSamePlaceRows) - 1;
            return;
        }
        const std::int64_t lowBit = 8 * (from - address), highBit = 8 * (to - address) - 1;
        if (highBit < layout.bit) return;
        *first = std::max<std::int64_t>(0, (lowBit - layout.bit) / layout.bitStride);
        *last = std::min<std::int64_t>(rows - 1, (highBit - layout.bit) / layout.bitStride);
        return;
    }
    const std::int64_t span = layout.SpanBytes();
    if (layout.stride == 0) {
        if (address < to && address + span > from) *last = std::min(rows, kSamePlaceRows) - 1;
        return;
    }
    const std::int64_t stride = layout.stride;
    const std::int64_t high = to - 1 - address;
    if (high < 0) return;
    const std::int64_t low = from - address - span + 1;
    *first = std::max<std::int64_t>(0, low <= 0 ? 0 : (low + stride - 1) / stride);
    *last = std::min<std::int64_t>(rows - 1, high / stride);
}

}  // namespace

ByteWindow ReadByteWindow(const CZOKDoc& doc, int section, int row, int column, std::int64_t start, int count,
                          const DiffersFn& differs)
{
    ByteWindow window;
    window.start = std::max<std::int64_t>(start, 0);
    if (count <= 0) return window;
    window.bytes = doc.ReadOpenedBytes(window.start, static_cast<std::size_t>(count));
    window.marks.assign(window.bytes.size(), 0);
    const std::int64_t from = window.start, to = window.start + static_cast<std::int64_t>(window.bytes.size());
    if (from >= to) return window;
    const bool anyEdits = doc.IsModified();
    if (doc.IsChecksumSection(section)) {
        // The checksum table's cells in the file: each rule's stored value.
        for (int r = 0; r < static_cast<int>(doc.RowLabels(section).size()); ++r) {
            const std::optional<CZOKDoc::ChecksumPlace> place = doc.ChecksumPlaceOf(section, r);
            if (!place) continue;
            const std::uint8_t mark = kByteInTable | (r + 1 == row && column == 1 ? kByteCurrent : 0);
            for (std::int64_t offset = std::max(place->offset, from); offset < std::min(place->offset + place->size, to); ++offset) {
                window.marks[static_cast<std::size_t>(offset - from)] |= mark;
            }
        }
    }
    for (std::size_t s = 0; s < doc.sections.size(); ++s) {
        const int sec = static_cast<int>(s);
        const bool current = sec == section;
        if (!current && !anyEdits) continue;  // other tables only lend their edited bytes
        for (std::size_t c = 0; c < doc.sections[s].size(); ++c) {
            const int col = static_cast<int>(c);
            const ColumnLayout* layout = doc.LayoutOf(sec, col);
            if (!layout) break;  // a compressed table has no place in the file
            std::int64_t first = 0, last = -1;
            RowsInRange(*layout, RowsOf(doc, sec, *layout), from, to, &first, &last);
            for (std::int64_t r = first; r <= last; ++r) {
                const std::int64_t at = layout->Offset(r);
                const int span = layout->SpanBytes();
                if (at < 0 || at + span <= from || at >= to) continue;
                const int rowIndex = static_cast<int>(r);
                const bool edited = doc.IsEdited(sec, col, rowIndex);
                if (!current && !edited) continue;
                std::uint8_t mark = 0;
                if (current) {
                    mark |= kByteInTable;
                    if (rowIndex + 1 == row && col + 1 == column) mark |= kByteCurrent;
                    if (differs && differs(sec, rowIndex + 1, col + 1)) mark |= kByteDifferent;
                }
                if (edited) mark |= kByteEdited;
                const std::uint32_t value = edited ? doc.Value(sec, col, rowIndex) : 0;
                for (int i = 0; i < span; ++i) {
                    const std::int64_t offset = at + i;
                    if (offset < from || offset >= to) continue;
                    const auto k = static_cast<std::size_t>(offset - from);
                    window.marks[k] |= mark;
                    if (edited) {
                        const std::uint8_t bits = layout->ByteMask(r, i);
                        const auto byte = static_cast<std::uint8_t>(window.bytes[k]);
                        window.bytes[k] = static_cast<char>((byte & ~bits) | (layout->ByteOfValue(r, value, i) & bits));
                    }
                }
            }
        }
    }
    return window;
}

std::optional<SearchHit> CellOfByte(const CZOKDoc& doc, int section, std::int64_t offset)
{
    if (section >= 0 && static_cast<std::size_t>(section) < doc.sections.size()) {
        std::optional<SearchHit> best;
        for (std::size_t c = 0; c < doc.sections[static_cast<std::size_t>(section)].size(); ++c) {
            const ColumnLayout* layout = doc.LayoutOf(section, static_cast<int>(c));
            if (!layout) break;
            std::int64_t first = 0, last = -1;
            RowsInRange(*layout, RowsOf(doc, section, *layout), offset, offset + 1, &first, &last);
            for (std::int64_t r = first; r <= last; ++r) {
                const std::int64_t at = layout->Offset(r);
                if (at < 0 || offset < at || offset >= at + layout->SpanBytes()) continue;
                const SearchHit hit{section, static_cast<int>(r) + 1, static_cast<int>(c) + 1};
                if (!best || hit.row < best->row || (hit.row == best->row && hit.column < best->column)) best = hit;
                break;
            }
        }
        if (best) return best;
    }
    return LocateOffset(doc, offset).holder;
}

}  // namespace zok2::search
