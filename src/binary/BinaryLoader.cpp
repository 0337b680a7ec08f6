// Decoding the opened binary into the value table.
#include "binary/ByteSource.h"
#include "binary/CellLayout.h"
#include "document/CZOKDoc.h"

namespace zok2 {

namespace {

std::uint32_t ReadCell(const ColumnLayout& layout, std::int64_t row, ByteSource& file)
{
    std::int64_t offset = layout.Offset(row);
    if (offset < 0) return 0;
    switch (layout.kind) {
    case ColumnLayout::Kind::PackedBit:
    case ColumnLayout::Kind::Bit:
        return (file.At(offset) >> layout.BitIn(row)) & 1u;
    case ColumnLayout::Kind::Bytes:
        break;
    }
    std::uint32_t v = file.LittleEndian(offset, layout.byteCount);
    return layout.masked ? (v & layout.mask) : v;
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
        const Section& columns = sections[i];
        std::vector<ColumnLayout> layouts;
        layouts.reserve(columns.size());
        for (const ColumnDefinition& d : columns) layouts.emplace_back(d);

        const std::size_t rowTotal = lists[i].size();
        SectionValues rows;
        rows.reserve(rowTotal);
        for (std::size_t r = 0; r < rowTotal; ++r) {
            ValueRow row(layouts.size());
            for (std::size_t c = 0; c < layouts.size(); ++c) {
                const std::int64_t rowIndex = static_cast<std::int64_t>(r);
                row[c] = rowIndex >= layouts[c].rowCount ? 0 : ReadCell(layouts[c], rowIndex, file);
            }
            rows.push_back(std::move(row));
        }
        values.push_back(std::move(rows));
    }
    return true;
}

}  // namespace zok2
