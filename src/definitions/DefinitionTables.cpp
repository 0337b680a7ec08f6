#include "definitions/DefinitionTables.h"

#include "text/SjisText.h"

namespace zok2 {

namespace {
const TextList kNoLabels;
}

bool DefinitionTables::HasTab(int section) const
{
    return section >= 0 && static_cast<std::size_t>(section) < sections.size() && !sections[static_cast<std::size_t>(section)].empty();
}

std::vector<int> DefinitionTables::TabSections() const
{
    std::vector<int> tabs;
    for (std::size_t s = 0; s < sections.size(); ++s) {
        if (HasTab(static_cast<int>(s))) tabs.push_back(static_cast<int>(s));
    }
    return tabs;
}

const TextList& DefinitionTables::RowLabels(int section) const
{
    auto mapped = compressionMap.find(section);
    if (mapped != compressionMap.end() && mapped->second >= 0 &&
        static_cast<std::size_t>(mapped->second) < compressionRecords.size()) {
        const StringList& record = compressionRecords[static_cast<std::size_t>(mapped->second)];
        if (!record.empty() && record[0] == "1" && record.size() >= 5) {
            const std::int32_t index = text::ReadDec(record[4]);
            if (index >= 0 && static_cast<std::size_t>(index) < lists.size()) return lists[static_cast<std::size_t>(index)];
        }
    }
    if (section >= 0 && static_cast<std::size_t>(section) < lists.size()) return lists[static_cast<std::size_t>(section)];
    return kNoLabels;
}

const ColumnDefinition* DefinitionTables::Column(int section, int column) const
{
    if (section < 0 || static_cast<std::size_t>(section) >= sections.size()) return nullptr;
    const Section& columns = sections[static_cast<std::size_t>(section)];
    if (column < 0 || static_cast<std::size_t>(column) >= columns.size()) return nullptr;
    return &columns[static_cast<std::size_t>(column)];
}

std::int32_t DefinitionTables::GetFieldNumber(int field, int section, int column) const
{
    const ColumnDefinition* d = Column(section, column);
    if (!d || field < 0 || field >= kColumnFieldCount) return 0;
    const std::string& text = d->fields[static_cast<std::size_t>(field)];
    switch (static_cast<ColumnField>(field)) {
    case ColumnField::address:
    case ColumnField::stride:
        return static_cast<std::int32_t>(text::ReadHex(text));
    case ColumnField::rowCount:
    case ColumnField::radix:
    case ColumnField::width:
    case ColumnField::listIndex:
        return text::ReadDec(text);
    default:
        return 0;
    }
}

StringList DefinitionTables::ResolveValueList(int listIndex) const
{
    StringList entries;
    if (listIndex < 0 || static_cast<std::size_t>(listIndex) >= lists.size()) return entries;
    for (std::string_view item : lists[static_cast<std::size_t>(listIndex)]) {
        if (!text::EndsWith(item, ".idn")) {
            entries.emplace_back(item);
            continue;
        }
        const std::string_view name = item.substr(0, item.size() - 4);
        for (std::size_t i = 0; i < definitionNames.size() && i < lists.size(); ++i) {
            if (definitionNames[i] == name) {
                entries.insert(entries.end(), lists[i].begin(), lists[i].end());
                break;
            }
        }
    }
    return entries;
}

void DefinitionTables::ClearDefinitions()
{
    lists.clear();
    definitionNames.clear();
    sections.clear();
    compressionRecords.clear();
    compressionMap.clear();
}

}  // namespace zok2
