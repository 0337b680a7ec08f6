// The read-only table of the set's checksums: one row a rule, shown after the
// file's own tables, so that finding, going to an offset and the information
// line reach the stored checksums as they reach any cell.
#include <algorithm>

#include "binary/BinaryLoader.h"
#include "document/CZOKDoc.h"
#include "text/SjisText.h"

namespace zok2 {

namespace {

enum ChecksumColumn { kStored = 0, kComputed = 1, kState = 2 };
enum ChecksumState : std::uint32_t { kMatches = 0, kDiffers = 1, kUnknown = 2 };
constexpr unsigned char kStoredHeld = 1, kComputedHeld = 2;

ColumnDefinition TableColumn(const std::string& caption, int size, int radix, int rows, int listIndex, int twips)
{
    ColumnDefinition d;
    d[ColumnField::address] = "0";
    d[ColumnField::caption] = caption;
    d[ColumnField::size] = text::FormatDec(size);
    d[ColumnField::stride] = text::FormatDec(size);
    d[ColumnField::rowCount] = text::FormatDec(rows);
    d[ColumnField::radix] = text::FormatDec(radix);
    d[ColumnField::width] = text::FormatDec(twips);
    if (listIndex >= 0) d[ColumnField::listIndex] = text::FormatDec(listIndex);
    return d;
}

// The value the bytes of a store hold, read in its byte order.
std::uint32_t StoredValue(const std::string& bytes, bool bigEndian)
{
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<std::uint8_t>(bytes[bigEndian ? i : bytes.size() - 1 - i]);
        v = (v << 8) | byte;
    }
    return v;
}

}  // namespace

void CZOKDoc::AddChecksumTable()
{
    m_checksumSection = -1;
    m_checksumRules = {};
    m_checksumOutcomes.clear();
    m_checksumHeld.clear();
    if (!checksumTable) return;
    m_checksumRules = checksum::ReadSetRules(definitionFolder, addressCorrection);
    const std::vector<checksum::Rule>& rules = m_checksumRules.rules.rules;
    if (rules.empty()) return;
    const ChecksumTableTexts& texts = *checksumTable;
    int size = 1;
    for (const checksum::Rule& rule : rules) {
        if (!rule.stores.empty()) size = std::max(size, rule.stores.front().size);
    }
    const int rows = static_cast<int>(rules.size());
    // The labels of the state column: a list of its own, which no name can refer to.
    const int stateList = static_cast<int>(lists.size());
    lists.push_back(TextList({"0 " + texts.matches, "1 " + texts.differs, "2 " + texts.unknown}));
    definitionNames.push_back("\nchecksum states");
    sections.emplace_back();
    values.emplace_back();
    m_layouts.emplace_back();

    Section columns;
    // Wide enough for "0X" and every digit, and for the longest state.
    const int valueTwips = 150 * (2 * size + 4);
    columns.push_back(TableColumn(texts.stored, size, 16, rows, -1, valueTwips));
    columns.push_back(TableColumn(texts.computed, size, 16, rows, -1, valueTwips));
    columns.push_back(TableColumn(texts.state, 1, 0, rows, stateList, 1500));
    TextList names;
    for (const checksum::Rule& rule : rules) names.push_back(rule.name);
    m_checksumSection = static_cast<int>(sections.size());
    lists.push_back(std::move(names));
    definitionNames.push_back(texts.table);
    values.push_back(ValueTable(ValueWidths(columns), rules.size()));
    sections.push_back(std::move(columns));
    m_layouts.emplace_back();  // its values have no place of a column in the file
    ComputeChecksumTable();
}

void CZOKDoc::ComputeChecksumTable()
{
    if (m_checksumSection < 0 || !m_opened.IsOpen()) return;
    const std::vector<checksum::Rule>& rules = m_checksumRules.rules.rules;
    const std::int64_t size = m_opened.Size();
    m_checksumOutcomes = checksum::Compute(rules, size, [this](std::int64_t offset, char* buffer, std::size_t count) {
        return m_opened.ReadAt(offset, buffer, count);
    });
    ValueTable& table = values[static_cast<std::size_t>(m_checksumSection)];
    m_checksumHeld.assign(rules.size(), 0);
    for (std::size_t r = 0; r < rules.size() && r < m_checksumOutcomes.size(); ++r) {
        const checksum::Outcome& o = m_checksumOutcomes[r];
        std::uint32_t stored = o.stored;
        bool storedHeld = o.computable;
        if (!o.computable && !rules[r].stores.empty()) {
            // The rule cannot be computed, but its stored value may still lie in the file.
            const checksum::Store& store = rules[r].stores.front();
            const std::string bytes = ReadOpenedBytes(store.offset, static_cast<std::size_t>(store.size));
            storedHeld = store.offset >= 0 && bytes.size() == static_cast<std::size_t>(store.size);
            if (storedHeld) stored = StoredValue(bytes, store.bigEndian);
        }
        m_checksumHeld[r] = static_cast<unsigned char>((storedHeld ? kStoredHeld : 0) | (o.computable ? kComputedHeld : 0));
        table.Set(r, kStored, storedHeld ? stored : 0);
        table.Set(r, kComputed, o.computable ? o.computed : 0);
        table.Set(r, kState, !o.computable ? kUnknown : o.matches ? kMatches : kDiffers);
    }
    // What the file holds now is what the table shows: nothing of it is an edit.
    if (m_valuesAsReadKept && static_cast<std::size_t>(m_checksumSection) < m_valuesAsRead.size()) {
        m_valuesAsRead[static_cast<std::size_t>(m_checksumSection)] = table;
    }
}

std::optional<CZOKDoc::ChecksumPlace> CZOKDoc::ChecksumPlaceOf(int section, int row) const
{
    if (!IsChecksumSection(section) || row < 0 || static_cast<std::size_t>(row) >= m_checksumHeld.size() ||
        !(m_checksumHeld[static_cast<std::size_t>(row)] & kStoredHeld)) {
        return std::nullopt;
    }
    const checksum::Rule& rule = m_checksumRules.rules.rules[static_cast<std::size_t>(row)];
    if (rule.stores.empty()) return std::nullopt;
    return ChecksumPlace{rule.stores.front().offset, rule.stores.front().size};
}

bool CZOKDoc::ChecksumCellHeld(int column, int row) const
{
    if (row < 0 || static_cast<std::size_t>(row) >= m_checksumHeld.size()) return false;
    const unsigned char held = m_checksumHeld[static_cast<std::size_t>(row)];
    return column == kStored ? (held & kStoredHeld) != 0 : column == kComputed ? (held & kComputedHeld) != 0 : true;
}

}  // namespace zok2
