#pragma once
// Writing column definitions back into the text of their column file.
#include <cstddef>
#include <string>
#include <string_view>

#include "definitions/DefinitionTables.h"

namespace zok2 {

// The written form of a column definition, without its line end: every field
// holding its default left empty, the address without the correction, line
// breaks of the description escaped and inline lists written out in full.
// labelCount is the number of row labels of its definition name.
std::string WrittenColumnLine(const ColumnDefinition& d, std::size_t labelCount, const DefinitionTables& tables);

struct RewrittenFile {
    std::string content;
    // A column line would be longer than the parser reads as one line: the file must be kept.
    bool lineTooLong = false;
};

// The column file `content` with each column line replaced by the written form
// of the next column definition: comment lines and other lines stay, lines end
// in CR LF, column lines beyond the definitions are dropped.
RewrittenFile RewriteColumnFile(std::string_view content, const Section& columns, std::size_t labelCount,
                                const DefinitionTables& tables);

}  // namespace zok2
