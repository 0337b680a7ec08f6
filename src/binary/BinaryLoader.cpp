// Decoding the opened binary into the value table.
#include "binary/ByteSource.h"
#include "binary/CellLayout.h"
#include "document/CZOKDoc.h"

namespace zok2 {

namespace {

std::uint32_t ReadCell(const ColumnLayout& layout, std::int64_t row, ByteSource& file)
{
    const std::int64_t offset = layout.Offset(row);
    if (layout.kind != ColumnLayout::Kind::Bytes) return offset < 0 ? 0u : (file.At(offset) >> layout.BitIn(row)) & 1u;
    const std::uint32_t v = file.LittleEndian(offset, layout.byteCount);
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
        // One row per label, one value per column; rows past a column's row count hold 0.
        std::vector<ColumnLayout> layouts(sections[i].begin(), sections[i].end());
        const std::size_t rowTotal = lists[i].size();
        SectionValues rows;
        rows.reserve(rowTotal);
        for (std::size_t r = 0; r < rowTotal; ++r) {
            const std::int64_t row = static_cast<std::int64_t>(r);
            ValueRow& cells = rows.emplace_back(layouts.size());
            for (std::size_t c = 0; c < layouts.size(); ++c) {
                if (row < layouts[c].rowCount) cells[c] = ReadCell(layouts[c], row, file);
            }
        }
        values.push_back(std::move(rows));
    }
    return true;
}

}  // namespace zok2
