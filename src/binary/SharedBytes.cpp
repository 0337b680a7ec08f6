#include "binary/SharedBytes.h"

#include <algorithm>

namespace zok2 {

namespace {

std::int64_t FloorDiv(std::int64_t a, std::int64_t b)
{
    std::int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return q;
}
std::int64_t CeilDiv(std::int64_t a, std::int64_t b) { return -FloorDiv(-a, b); }

struct RowRange {
    std::int64_t first = 0, last = -1;
};

// Rows r in [0, rows) with lo <= base + step * r <= hi.
RowRange RowsWithin(std::int64_t base, std::int64_t step, std::int64_t lo, std::int64_t hi, std::int64_t rows)
{
    RowRange range;
    if (rows <= 0 || lo > hi) return range;
    if (step == 0) {
        if (base >= lo && base <= hi) range = {0, rows - 1};
        return range;
    }
    if (step > 0) {
        range = {CeilDiv(lo - base, step), FloorDiv(hi - base, step)};
    } else {
        range = {CeilDiv(hi - base, step), FloorDiv(lo - base, step)};
    }
    range.first = std::max<std::int64_t>(range.first, 0);
    range.last = std::min<std::int64_t>(range.last, rows - 1);
    return range;
}

// Rows of `layout` whose value covers the file byte at `offset`.
RowRange RowsCovering(const ColumnLayout& layout, std::int64_t offset, std::int64_t rows)
{
    const std::int64_t address = layout.address;
    if (layout.kind == ColumnLayout::Kind::PackedBit) {
        if (offset < address) return {};
        const std::int64_t firstBit = 8 * (offset - address);
        return RowsWithin(layout.bit, layout.bitStride, firstBit, firstBit + 7, rows);
    }
    return RowsWithin(address, layout.stride, offset - layout.SpanBytes() + 1, offset, rows);
}

// First and last file byte any data row of the column covers; false when none.
bool Span(const ColumnLayout& layout, std::int64_t* first, std::int64_t* last)
{
    if (layout.rowCount <= 0) return false;
    std::int64_t a = layout.Offset(0), b = layout.Offset(layout.rowCount - 1);
    if (a > b) std::swap(a, b);
    if (b < 0) return false;
    *first = std::max<std::int64_t>(a, layout.address);
    *last = b + layout.SpanBytes() - 1;
    return true;
}

// Columns laid out with the same stride share no byte when their bytes within
// one stride never meet: the common case of a table's columns side by side,
// which then costs a stored value nothing.
bool MayShare(const ColumnLayout& a, const ColumnLayout& b, bool same)
{
    if (a.kind == ColumnLayout::Kind::PackedBit || b.kind == ColumnLayout::Kind::PackedBit) return true;
    if (a.stride == 0 || a.stride != b.stride) return true;
    const std::int64_t stride = a.stride;
    if (a.SpanBytes() > stride || b.SpanBytes() > stride) return true;  // rows of one column overlap each other
    if (same) return false;                                              // its rows never meet
    const std::int64_t first = static_cast<std::int64_t>(a.address) % stride;
    const std::int64_t second = static_cast<std::int64_t>(b.address) % stride;
    // Byte positions within a stride, on a circle of `stride` positions.
    auto covers = [stride](std::int64_t start, int span, std::int64_t position) {
        return (position - start + stride) % stride < span;
    };
    for (int i = 0; i < b.SpanBytes(); ++i) {
        if (covers(first, a.SpanBytes(), (second + i) % stride)) return true;
    }
    return false;
}

}  // namespace

void ByteSharing::Reset(const std::vector<std::vector<ColumnLayout>>* layouts)
{
    m_layouts = layouts;
    m_candidates.clear();
    m_known.clear();
    if (!layouts) return;
    m_candidates.resize(layouts->size());
    m_known.resize(layouts->size());
    for (std::size_t s = 0; s < layouts->size(); ++s) {
        m_candidates[s].resize((*layouts)[s].size());
        m_known[s].assign((*layouts)[s].size(), false);
    }
}

bool ByteSharing::Shares(int section, int column)
{
    return m_layouts && section >= 0 && column >= 0 && static_cast<std::size_t>(section) < m_layouts->size() &&
           static_cast<std::size_t>(column) < (*m_layouts)[static_cast<std::size_t>(section)].size() && !Candidates(section, column).empty();
}

const std::vector<ByteSharing::ColumnRef>& ByteSharing::Candidates(int section, int column)
{
    auto& list = m_candidates[static_cast<std::size_t>(section)][static_cast<std::size_t>(column)];
    std::vector<bool>::reference known = m_known[static_cast<std::size_t>(section)][static_cast<std::size_t>(column)];
    if (known) return list;
    known = true;
    std::int64_t first = 0, last = 0;
    if (!Span((*m_layouts)[static_cast<std::size_t>(section)][static_cast<std::size_t>(column)], &first, &last)) return list;
    for (std::size_t s = 0; s < m_layouts->size(); ++s) {
        for (std::size_t c = 0; c < (*m_layouts)[s].size(); ++c) {
            std::int64_t otherFirst = 0, otherLast = 0;
            const bool same = s == static_cast<std::size_t>(section) && c == static_cast<std::size_t>(column);
            if (Span((*m_layouts)[s][c], &otherFirst, &otherLast) && otherFirst <= last && otherLast >= first &&
                MayShare((*m_layouts)[static_cast<std::size_t>(section)][static_cast<std::size_t>(column)], (*m_layouts)[s][c], same)) {
                list.push_back({static_cast<int>(s), static_cast<int>(c)});
            }
        }
    }
    return list;
}

void ByteSharing::Spread(std::vector<ValueTable>& values, int section, int column, std::int64_t row, std::vector<CellRef>* changed)
{
    if (!m_layouts || static_cast<std::size_t>(section) >= m_layouts->size() ||
        static_cast<std::size_t>(column) >= (*m_layouts)[static_cast<std::size_t>(section)].size()) {
        return;
    }
    // Most columns share bytes with no other: nothing more to look at.
    const std::vector<ColumnRef>& candidates = Candidates(section, column);
    if (candidates.empty()) return;
    const ColumnLayout& from = (*m_layouts)[static_cast<std::size_t>(section)][static_cast<std::size_t>(column)];
    const std::int64_t start = from.Offset(row);
    if (start < 0) return;
    const std::uint32_t value = values[static_cast<std::size_t>(section)].Get(static_cast<std::size_t>(row), static_cast<std::size_t>(column));
    for (const ColumnRef& other : candidates) {
        const ColumnLayout& to = (*m_layouts)[static_cast<std::size_t>(other.section)][static_cast<std::size_t>(other.column)];
        ValueTable& table = values[static_cast<std::size_t>(other.section)];
        const std::int64_t rows = std::min<std::int64_t>(to.rowCount, static_cast<std::int64_t>(table.Rows()));
        for (int i = 0; i < from.SpanBytes(); ++i) {
            const std::uint8_t mine = from.ByteMask(row, i);
            if (mine == 0) continue;
            const std::int64_t offset = start + i;
            const std::uint8_t byte = from.ByteOfValue(row, value, i);
            const RowRange range = RowsCovering(to, offset, rows);
            for (std::int64_t r = range.first; r <= range.last; ++r) {
                if (other.section == section && other.column == column && r == row) continue;
                const std::int64_t at = to.Offset(r);
                if (at < 0 || offset < at || offset >= at + to.SpanBytes()) continue;
                const int j = static_cast<int>(offset - at);
                const std::uint8_t shared = static_cast<std::uint8_t>(mine & to.ByteMask(r, j));
                if (shared == 0) continue;
                const std::uint32_t old = table.Get(static_cast<std::size_t>(r), static_cast<std::size_t>(other.column));
                const std::uint32_t now = to.WithByte(r, old, j, shared, byte);
                if (now == old) continue;
                table.Set(static_cast<std::size_t>(r), static_cast<std::size_t>(other.column), now);
                if (changed) changed->push_back({other.section, other.column, r});
            }
        }
    }
}

}  // namespace zok2
