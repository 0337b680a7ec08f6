#pragma once
// Everything a definition set says about a binary format, as the document holds
// it: sections of column definitions, definition names, the list table and the
// compression records, index-aligned by section.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "definitions/ColumnDefinition.h"

namespace zok2 {

struct DefinitionTables {
    std::vector<Section> sections;
    std::vector<std::string> definitionNames;  // Shift-JIS
    std::vector<TextList> lists;
    std::vector<StringList> compressionRecords;
    std::map<std::int32_t, std::int32_t> compressionMap;
    std::uint32_t addressCorrection = 0;

    bool HasSections() const { return !sections.empty(); }
    // Sections with at least one column definition get a tab, in index order.
    bool HasTab(int section) const;
    std::vector<int> TabSections() const;
    bool IsCompressedSection(int section) const { return compressionMap.count(section) != 0; }
    // The row labels a section is shown with: a decoded compressed section has its own list.
    const TextList& RowLabels(int section) const;
    // A field read as a number: address and stride hexadecimal; row count, radix,
    // width and list index decimal; anything else 0 (also for a missing column).
    std::int32_t GetFieldNumber(int field, int section, int column) const;
    const ColumnDefinition* Column(int section, int column) const;
    ColumnDefinition* Column(int section, int column)
    {
        return const_cast<ColumnDefinition*>(static_cast<const DefinitionTables&>(*this).Column(section, column));
    }
    // Every item of a value list with ".idn" references replaced by the row labels
    // of the first definition of that name, in list order.
    StringList ResolveValueList(int listIndex) const;
    void ClearDefinitions();
};

}  // namespace zok2
