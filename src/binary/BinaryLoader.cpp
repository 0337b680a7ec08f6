// Decoding the opened binary into the value table.
#include <algorithm>

#include "binary/ByteSource.h"
#include "binary/CellLayout.h"
#include "document/CZOKDoc.h"

namespace zok2 {

namespace {

// Fills column c of every row below its row count. The rows hold zeros already.
void ReadColumn(const ColumnLayout& layout, std::size_t c, SectionValues& rows, ByteSource& file)
{
    const std::int64_t count = std::min<std::int64_t>(layout.rowCount, static_cast<std::int64_t>(rows.size()));
    switch (layout.kind) {
    case ColumnLayout::Kind::Bytes:
        for (std::int64_t r = 0; r < count; ++r) {
            const std::uint32_t v = file.LittleEndian(layout.Offset(r), layout.byteCount);
            rows[static_cast<std::size_t>(r)][c] = layout.masked ? (v & layout.mask) : v;
        }
        break;
    case ColumnLayout::Kind::Bit:
    case ColumnLayout::Kind::PackedBit:
        for (std::int64_t r = 0; r < count; ++r) {
            const std::int64_t offset = layout.Offset(r);
            rows[static_cast<std::size_t>(r)][c] = offset < 0 ? 0u : (file.At(offset) >> layout.BitIn(r)) & 1u;
        }
        break;
    }
}

}  // namespace

bool CZOKDoc::LoadBinary(const std::string& path)
{
    ByteSource file;
    if (!file.Open(path)) {
        ClearContents();
        return false;
    }
    values.reserve(definitionNames.size());
    // Decoding a compressed section appends entries; they are loaded by this loop too.
    for (std::size_t i = 0; i < definitionNames.size(); ++i) {
        auto mapped = compressionMap.find(static_cast<std::int32_t>(i));
        if (mapped != compressionMap.end()) {
            const StringList& record = compressionRecords[static_cast<std::size_t>(mapped->second)];
            DecodeCompressedSection(record.empty() ? std::string() : record.front(), static_cast<int>(i), file);
            continue;
        }
        // One row per label, one value per column; rows past a column's row count keep 0.
        const Section& columns = sections[i];
        SectionValues rows(lists[i].size(), ValueRow(columns.size()));
        for (std::size_t c = 0; c < columns.size(); ++c) ReadColumn(ColumnLayout(columns[c]), c, rows, file);
        values.push_back(std::move(rows));
    }
    return true;
}

}  // namespace zok2
