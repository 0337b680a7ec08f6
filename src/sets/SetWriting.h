#pragma once
// Changing a definition set from the program: one column line of a column
// file replaced, inserted or removed (every other byte of the file kept), and
// a new table written as its row-name and column files.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zok2::sets {

enum class ColumnChange { Replace, InsertAfter, Remove };

// The column file `content` with its column line `index` (counted as the
// reader counts columns) replaced by `line`, or removed, or `line` inserted
// after it (index -1: before the first column line, after the comments that
// head the file). `line` comes without a line end; it gets the file's (CR LF
// when the file has them). Nothing when there is no such column line.
std::optional<std::string> ChangeColumnLine(std::string_view content, ColumnChange change, int index, const std::string& line);

struct NewTable {
    std::string name;                 // the files' name without extension, as the file system spells it
    std::uint32_t address = 0;        // first record's offset in the file (the address correction is taken off)
    std::uint32_t recordSize = 1;     // bytes from one record to the next
    std::size_t records = 0;          // used when no labels are given
    std::vector<std::string> labels;  // row labels (Shift-JIS); "00", "01" ... when empty
    std::string caption;              // the first column (Shift-JIS)
    int size = 1;                     // 1 to 4 bytes
    int radix = 16;                   // -10, 10 or 16
};

struct TableFiles {
    std::string rowNames;  // the ".idn" text (Shift-JIS, CR LF)
    std::string columns;   // the ".ini" text
};

// The two files of a new table. The first column reads `size` bytes at the
// record's start, one row per record.
TableFiles MakeTableFiles(const NewTable& table, std::uint32_t addressCorrection);

// Writes the new table's files into the set folder; refused, with the reason,
// when the name is empty, holds a separator, or names a table there already
// (compared without regard to case, as Windows compares).
bool WriteNewTable(const std::string& folder, const NewTable& table, std::uint32_t addressCorrection, std::string* reason);

}  // namespace zok2::sets
