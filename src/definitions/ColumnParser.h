#pragma once
// The column-file grammar: field rules, inline value lists, COMPRESS_INFO.
#include <optional>
#include <string_view>

#include "definitions/DefinitionTables.h"

namespace zok2 {

// The column definitions of the column file `content` of section i. Inline
// value lists are appended to tables.lists (with an empty definition name each)
// and COMPRESS_INFO records to tables.compressionRecords / compressionMap.
// tables.lists[i] must hold the section's row labels; tables.addressCorrection
// is added to every address.
Section ParseColumnFile(std::string_view content, int sectionIndex, DefinitionTables& tables);
// One column-file line (a comment after "//" allowed) read as the reader reads
// it for a table of `labelCount` row labels: nothing when the reader drops or
// ignores it (a COMPRESS_INFO line is stored as a record of section i).
std::optional<ColumnDefinition> ParseColumnLine(std::string_view line, std::size_t labelCount, int sectionIndex, DefinitionTables& tables);
// Stores the record of "COMPRESS_INFO," + parameters for section i, unless a parameter is empty.
void ParseCompressInfo(std::string_view parameters, int sectionIndex, DefinitionTables& tables);
// Whether a column-file line (its code part) is one that becomes a column definition.
bool IsColumnLine(std::string_view code);

}  // namespace zok2
