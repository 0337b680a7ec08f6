#include "search/CellFacts.h"

#include <algorithm>
#include <cstdio>

#include "binary/CellLayout.h"
#include "binary/ValueCodec.h"
#include "document/CZOKDoc.h"

namespace zok2::search {

namespace {

std::int64_t SignExtend(std::uint32_t v, int byteSize)
{
    const int bits = 8 * std::clamp(byteSize, 1, 4);
    if (bits == 32) return static_cast<std::int32_t>(v);
    std::int64_t x = v & ((std::uint32_t{1} << bits) - 1u);
    if (x & (std::int64_t{1} << (bits - 1))) x -= std::int64_t{1} << bits;
    return x;
}

// Rows of a layout whose bytes cover `offset`, within [0, rows).
void RowsCovering(const ColumnLayout& layout, std::int64_t offset, std::int64_t rows, std::int64_t* first, std::int64_t* last)
{
    *first = 0;
    *last = -1;
    if (rows <= 0) return;
    const std::int64_t address = layout.address;
    if (layout.kind == ColumnLayout::Kind::PackedBit) {
        if (layout.bitStride <= 0 || offset < address) return;
        const std::int64_t lowBit = 8 * (offset - address), highBit = lowBit + 7;
        *first = std::max<std::int64_t>(0, (lowBit - layout.bit + layout.bitStride - 1) / layout.bitStride);
        *last = std::min<std::int64_t>(rows - 1, highBit < layout.bit ? -1 : (highBit - layout.bit) / layout.bitStride);
        return;
    }
    const std::int64_t span = layout.SpanBytes();
    if (layout.stride == 0) {
        if (offset >= address && offset < address + span) *last = rows - 1;
        return;
    }
    const std::int64_t stride = layout.stride;
    const std::int64_t low = offset - address - span + 1, high = offset - address;
    if (high < 0) return;
    *first = std::max<std::int64_t>(0, low <= 0 ? 0 : (low + stride - 1) / stride);
    *last = std::min<std::int64_t>(rows - 1, high / stride);
}

// The last row (below `rows`) whose value starts before `offset`, or -1.
std::int64_t LastRowBefore(const ColumnLayout& layout, std::int64_t offset, std::int64_t rows)
{
    if (rows <= 0 || offset <= layout.address) return -1;
    const std::int64_t distance = offset - layout.address;  // > 0
    std::int64_t r;
    if (layout.kind == ColumnLayout::Kind::PackedBit) {
        if (layout.bitStride <= 0) return layout.Offset(0) < offset ? 0 : -1;
        const std::int64_t lastBit = 8 * distance - 1 - layout.bit;
        if (lastBit < 0) return -1;
        r = lastBit / layout.bitStride;
    } else {
        r = layout.stride == 0 ? rows - 1 : (distance - 1) / layout.stride;
    }
    r = std::min(r, rows - 1);
    return layout.Offset(r) >= 0 && layout.Offset(r) < offset ? r : -1;
}

}  // namespace

std::string OffsetText(std::int64_t offset)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "0x%llX", static_cast<unsigned long long>(offset));
    return buffer;
}

std::string HexPairs(const std::string& bytes)
{
    std::string out;
    char pair[4];
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        std::snprintf(pair, sizeof pair, "%02X", static_cast<unsigned char>(bytes[i]));
        if (i > 0) out += ' ';
        out += pair;
    }
    return out;
}

std::optional<CellFacts> DescribeCell(const CZOKDoc& doc, int section, int row, int column)
{
    if (section < 0 || static_cast<std::size_t>(section) >= doc.sections.size()) return std::nullopt;
    const int rows = static_cast<int>(doc.RowLabels(section).size());
    const int columns = static_cast<int>(doc.sections[static_cast<std::size_t>(section)].size());
    if (row < 1 || row > rows || column < 1 || column > columns) return std::nullopt;
    CellFacts facts;
    facts.table = doc.SectionName(section);
    facts.rowLabel = std::string(doc.RowLabels(section)[static_cast<std::size_t>(row - 1)]);
    const ColumnDefinition& d = doc.sections[static_cast<std::size_t>(section)][static_cast<std::size_t>(column - 1)];
    facts.caption = d[ColumnField::caption];
    facts.byteCount = d.HasBitSize() ? 1 : d.ByteSize();
    if (!doc.HasData(section, column - 1, row - 1)) return facts;  // "--"
    facts.value = doc.Value(section, column - 1, row - 1);
    facts.signedValue = SignExtend(facts.value, facts.byteCount);
    if (doc.IsChecksumSection(section)) {
        facts.state = CellState::Checksum;
        const std::optional<CZOKDoc::ChecksumPlace> place = column == 1 ? doc.ChecksumPlaceOf(section, row - 1) : std::nullopt;
        if (place) {
            facts.offset = place->offset;
            facts.byteCount = place->size;
            facts.bytes = doc.ReadOpenedBytes(place->offset, static_cast<std::size_t>(place->size));
        }
        facts.signedValue = SignExtend(facts.value, facts.byteCount);
        return facts;
    }
    const ColumnLayout* layout = doc.LayoutOf(section, column - 1);
    if (doc.IsCompressedSection(section) || !layout) {
        facts.state = CellState::Compressed;
        return facts;
    }
    facts.offset = layout->Offset(row - 1);
    facts.byteCount = layout->SpanBytes();
    if (layout->kind != ColumnLayout::Kind::Bytes) facts.bit = layout->BitIn(row - 1);
    facts.state = doc.IsEditable(section, column - 1, row - 1) ? CellState::Editable : CellState::PastEnd;
    if (facts.offset >= 0) facts.bytes = doc.ReadOpenedBytes(facts.offset, static_cast<std::size_t>(facts.byteCount));
    // An edited cell's bytes are those the save will write: its own bits from its value.
    if (doc.IsEdited(section, column - 1, row - 1)) {
        for (std::size_t i = 0; i < facts.bytes.size(); ++i) {
            const std::uint8_t mask = layout->ByteMask(row - 1, static_cast<int>(i));
            const auto byte = static_cast<std::uint8_t>(facts.bytes[i]);
            facts.bytes[i] = static_cast<char>((byte & ~mask) | (layout->ByteOfValue(row - 1, facts.value, static_cast<int>(i)) & mask));
        }
    }
    return facts;
}

OffsetLocation LocateOffset(const CZOKDoc& doc, std::int64_t offset)
{
    OffsetLocation found;
    std::int64_t nearestStart = -1;
    for (std::size_t s = 0; s < doc.sections.size(); ++s) {
        if (doc.sections[s].empty()) continue;
        const int section = static_cast<int>(s);
        const std::int64_t labels = static_cast<std::int64_t>(doc.RowLabels(section).size());
        std::optional<SearchHit> best;
        for (std::size_t c = 0; c < doc.sections[s].size(); ++c) {
            const ColumnLayout* layout = doc.LayoutOf(section, static_cast<int>(c));
            if (!layout) break;  // a compressed table has no place in the file
            const std::int64_t rows = std::min<std::int64_t>(std::max(layout->rowCount, std::int64_t{0}), labels);
            std::int64_t first = 0, last = -1;
            RowsCovering(*layout, offset, rows, &first, &last);
            for (std::int64_t r = first; r <= last; ++r) {
                const std::int64_t at = layout->Offset(r);
                if (at < 0 || offset < at || offset >= at + layout->SpanBytes()) continue;
                if (layout->kind != ColumnLayout::Kind::Bytes && at != offset) continue;
                const SearchHit hit{section, static_cast<int>(r) + 1, static_cast<int>(c) + 1};
                if (!best || hit.row < best->row || (hit.row == best->row && hit.column < best->column)) best = hit;
                break;
            }
            // The cell of this column that starts last before the offset, for "nearest before".
            const std::int64_t r = LastRowBefore(*layout, offset, rows);
            if (r >= 0 && layout->Offset(r) > nearestStart) {
                nearestStart = layout->Offset(r);
                found.nearestBefore = SearchHit{section, static_cast<int>(r) + 1, static_cast<int>(c) + 1};
            }
        }
        if (best) {
            found.holder = best;
            return found;
        }
    }
    // No table reads it: the checksum stored there, if one is.
    const int checksums = doc.ChecksumSection();
    for (int r = 0; checksums >= 0 && r < static_cast<int>(doc.RowLabels(checksums).size()); ++r) {
        const std::optional<CZOKDoc::ChecksumPlace> place = doc.ChecksumPlaceOf(checksums, r);
        if (place && offset >= place->offset && offset < place->offset + place->size) {
            found.holder = SearchHit{checksums, r + 1, 1};
            break;
        }
    }
    return found;
}

std::optional<std::int64_t> ReadOffset(const std::string& text)
{
    std::string_view s = text;
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        s.remove_prefix(2);
    } else if (s.size() > 1 && s[0] == '$') {
        s.remove_prefix(1);
    } else {
        return std::nullopt;
    }
    const std::optional<std::uint64_t> v = ReadHexDigits(s, 15);
    if (!v) return std::nullopt;
    return static_cast<std::int64_t>(*v);
}

}  // namespace zok2::search
