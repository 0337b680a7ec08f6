#pragma once
// The file's bytes under a change's cells, as the journal keeps them to tell on
// the next start whether the file changed under the edits. Where they lie is
// taken from the document when the change is made (a plan: each column's layout
// and how many rows hold data); the bytes themselves may then be read later, on
// the journal's own thread, from a handle on the file as it was opened.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "binary/CellLayout.h"
#include "journal/JournalFormat.h"

namespace zok2::journal {

struct CheckPlan {
    struct Column {
        std::optional<ColumnLayout> layout;  // none: the column has no place in the file (compressed, or none)
        std::int64_t dataRows = 0;           // rows that hold a value
    };
    Region region;
    std::vector<Column> columns;  // the region's columns, first to last
    std::int64_t fileSize = 0;    // the file's size at the open
};

// Reads up to `count` bytes at `offset` of the file as opened (fewer where it ends).
using ReadBytes = std::function<std::string(std::int64_t offset, std::size_t count)>;

// Each cell of the plan's rectangle that lies in the file, row by row: its grid
// row and column, where its bytes lie and what the file holds there now.
void VisitCellBytes(const CheckPlan& plan, const ReadBytes& read,
                    const std::function<void(int row, int column, std::int64_t offset, std::string_view bytes)>& visit);
std::vector<ByteCheck> ReadChecks(const CheckPlan& plan, const ReadBytes& read);

}  // namespace zok2::journal
