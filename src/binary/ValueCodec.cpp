// Converting stored values to display and edit texts and typed texts back to values.
#include <algorithm>

#include "definitions/DefinitionText.h"
#include "document/CZOKDoc.h"
#include "grid/CMSFlexGrid.h"
#include "text/SjisText.h"

namespace zok2 {

namespace {

const StringList kNoLabels;

std::uint32_t SizeMask(int n)
{
    return n >= 4 ? 0xFFFFFFFFu : ((1u << (8 * n)) - 1u);
}

std::string HexForm(std::uint32_t v, int n) { return "0X" + text::FormatHexPadded(v, 2 * n); }

std::string RadixText(std::uint32_t v, int n, int radix)
{
    switch (radix) {
    case 16:
    case 0:
        return HexForm(v, n);
    case 10:
        return text::FormatUnsigned(v);
    case -10: {
        const int bits = 8 * (n < 1 ? 1 : (n > 4 ? 4 : n));
        std::int64_t x = v & SizeMask(bits / 8);
        if (bits < 32 && (x & (std::int64_t{1} << (bits - 1)))) x -= std::int64_t{1} << bits;
        if (bits == 32) x = static_cast<std::int32_t>(v);
        return text::FormatDec(x);
    }
    default:
        return std::string();
    }
}

// The value a typed text stands for: hexadecimal after "0X"/"0x", decimal otherwise.
// Decimal input is read into 64 bits and reduced modulo 2^32.
std::uint32_t ParseInput(const std::string& input)
{
    if (input.size() >= 2 && input[0] == '0' && (input[1] == 'X' || input[1] == 'x')) {
        return text::ReadHex(std::string_view(input).substr(2));
    }
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(text::ReadDec64(input)));
}

}  // namespace

const StringList& CZOKDoc::RowLabels(int section) const
{
    auto mapped = compressionMap.find(section);
    if (mapped != compressionMap.end() && mapped->second >= 0 &&
        static_cast<std::size_t>(mapped->second) < compressionRecords.size()) {
        const StringList& record = compressionRecords[static_cast<std::size_t>(mapped->second)];
        if (!record.empty() && record[0] == "1" && record.size() >= 5) {
            std::int32_t index = text::ReadDec(record[4]);
            if (index >= 0 && static_cast<std::size_t>(index) < lists.size()) return lists[static_cast<std::size_t>(index)];
        }
    }
    if (section >= 0 && static_cast<std::size_t>(section) < lists.size()) return lists[static_cast<std::size_t>(section)];
    return kNoLabels;
}

bool CZOKDoc::HasData(int section, int column, int row) const
{
    if (section < 0 || column < 0 || row < 0) return false;
    const auto s = static_cast<std::size_t>(section);
    if (s >= sections.size() || s >= values.size()) return false;
    if (static_cast<std::size_t>(column) >= sections[s].size()) return false;
    if (row >= GetFieldNumber(static_cast<int>(ColumnField::rowCount), section, column)) return false;
    const SectionValues& rows = values[s];
    return static_cast<std::size_t>(row) < rows.size() && static_cast<std::size_t>(column) < rows[static_cast<std::size_t>(row)].size();
}

StringList CZOKDoc::ResolveValueList(int listIndex) const
{
    StringList entries;
    if (listIndex < 0 || static_cast<std::size_t>(listIndex) >= lists.size()) return entries;
    for (const std::string& item : lists[static_cast<std::size_t>(listIndex)]) {
        if (!text::EndsWith(item, ".idn")) {
            entries.push_back(item);
            continue;
        }
        const std::string name = item.substr(0, item.size() - 4);
        for (std::size_t i = 0; i < definitionNames.size() && i < lists.size(); ++i) {
            if (definitionNames[i] == name) {
                entries.insert(entries.end(), lists[i].begin(), lists[i].end());
                break;
            }
        }
    }
    return entries;
}

std::map<std::uint32_t, std::string> CZOKDoc::BuildValueListMap(int listIndex) const
{
    std::map<std::uint32_t, std::string> labels;
    for (const std::string& entry : ResolveValueList(listIndex)) {
        std::size_t blank = text::FindChar(entry, ' ');
        if (blank == text::npos) {
            labels.emplace(0u, entry);
        } else {
            labels.emplace(text::ReadHex(std::string_view(entry).substr(0, blank)), entry.substr(blank + 1));
        }
    }
    return labels;
}

std::string CZOKDoc::GetEditText(int section, int column, int row) const
{
    const auto s = static_cast<std::size_t>(section);
    if (section < 0 || column < 0 || row < 0 || s >= values.size() || s >= sections.size() ||
        static_cast<std::size_t>(row) >= values[s].size() ||
        static_cast<std::size_t>(column) >= values[s][static_cast<std::size_t>(row)].size()) {
        return std::string();
    }
    const ColumnDefinition& d = sections[s][static_cast<std::size_t>(column)];
    return RadixText(values[s][static_cast<std::size_t>(row)][static_cast<std::size_t>(column)], d.ByteSize(),
                     text::ReadDec(d[ColumnField::radix]));
}

std::string CZOKDoc::DisplayText(int section, int column, int row) const
{
    if (!HasData(section, column, row)) return "--";
    const ColumnDefinition& d = sections[static_cast<std::size_t>(section)][static_cast<std::size_t>(column)];
    const int radix = text::ReadDec(d[ColumnField::radix]);
    const std::uint32_t v = values[static_cast<std::size_t>(section)][static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
    if (radix == 0) {
        auto labels = BuildValueListMap(text::ReadDec(d[ColumnField::listIndex]));
        auto found = labels.find(v);
        if (found != labels.end()) return found->second;
    }
    return RadixText(v, d.ByteSize(), radix);
}

void CZOKDoc::RefreshCells(int section, int firstRow, int lastRow, int firstColumn, int lastColumn)
{
    CMSFlexGrid* grid = ViewGrid();
    if (!grid || section < 0 || static_cast<std::size_t>(section) >= sections.size()) return;
    const StringList& labels = RowLabels(section);
    const int rowTotal = static_cast<int>(labels.size());
    const Section& columns = sections[static_cast<std::size_t>(section)];
    const int columnTotal = static_cast<int>(columns.size());
    if (columnTotal == 0 || firstColumn < 0 || firstColumn >= columnTotal || firstRow < 0 || firstRow >= rowTotal) return;
    const int columnEnd = lastColumn == -1 ? columnTotal : std::min(lastColumn + 1, columnTotal);
    const int rowEnd = lastRow == -1 ? rowTotal : std::min(lastRow + 1, rowTotal);

    const SectionValues* rows = static_cast<std::size_t>(section) < values.size() ? &values[static_cast<std::size_t>(section)] : nullptr;
    for (int c = firstColumn; c < columnEnd; ++c) {
        const ColumnDefinition& d = columns[static_cast<std::size_t>(c)];
        const int n = d.ByteSize();
        const int count = text::ReadDec(d[ColumnField::rowCount]);
        const int radix = text::ReadDec(d[ColumnField::radix]);
        std::map<std::uint32_t, std::string> labelsOfValues;
        if (radix == 0) labelsOfValues = BuildValueListMap(text::ReadDec(d[ColumnField::listIndex]));
        grid->SetColumnAlign(c + 1, radix == 0 ? 1 : 7);
        for (int r = firstRow; r < rowEnd; ++r) {
            // Rows past the row count, or past what a section's value table holds, have no data.
            if (r >= count || !rows || static_cast<std::size_t>(r) >= rows->size() ||
                static_cast<std::size_t>(c) >= (*rows)[static_cast<std::size_t>(r)].size()) {
                grid->SetCellText(r + 1, c + 1, "--");
                continue;
            }
            const std::uint32_t v = (*rows)[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)];
            if (radix == 0) {
                auto found = labelsOfValues.find(v);
                if (found != labelsOfValues.end()) {
                    grid->SetCellText(r + 1, c + 1, found->second);
                    continue;
                }
            }
            grid->SetCellText(r + 1, c + 1, RadixText(v, n, radix));
        }
    }
}

namespace {

std::uint32_t ConstrainValue(const ColumnDefinition& d, std::uint32_t v, bool applyRange)
{
    v &= SizeMask(d.ByteSize());
    const std::string& limit = d[ColumnField::limit];
    if (!limit.empty() && limit[0] == '.') {
        v &= text::ReadHex(std::string_view(limit).substr(1));
    } else if (applyRange) {
        std::size_t bar = text::FindChar(limit, '|');
        if (bar != text::npos) {
            const std::uint32_t lo = text::ReadHex(std::string_view(limit).substr(0, bar));
            const std::uint32_t hi = text::ReadHex(std::string_view(limit).substr(bar + 1));
            if (lo > v) {
                v = lo;
            } else if (hi < v) {
                v = hi;
            }
        }
    }
    if (d.HasBitSize() && v != 0) v = 1;
    return v;
}

}  // namespace

void CZOKDoc::StoreCellText(int section, int column, int row, const std::string& input)
{
    StoreInput(section, column, row, input, true);
}

void CZOKDoc::StoreRecordedText(int section, int column, int row, const std::string& input)
{
    StoreInput(section, column, row, input, false);
}

void CZOKDoc::StoreInput(int section, int column, int row, const std::string& input, bool applyRange)
{
    if (!HasData(section, column, row)) return;
    const ColumnDefinition& d = sections[static_cast<std::size_t>(section)][static_cast<std::size_t>(column)];
    values[static_cast<std::size_t>(section)][static_cast<std::size_t>(row)][static_cast<std::size_t>(column)] =
        ConstrainValue(d, ParseInput(input), applyRange);
    MarkModified();
}

}  // namespace zok2
