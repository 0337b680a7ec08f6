#pragma once
// The file's bytes around a place, as the byte pane shows them: the bytes the
// next save would write (edited cells' own bits applied), and for each byte
// whether a cell of the current table holds it, whether it is the current
// cell's, and whether an edited or a differing cell holds it. Only the bytes
// asked for are read, and only the rows whose bytes fall among them are looked
// at, so a window costs the same on a file of any size.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "search/CellSearch.h"

namespace zok2 {

class CZOKDoc;

namespace search {

enum ByteMark : std::uint8_t {
    kByteInTable = 1,    // a cell of the current table holds it
    kByteCurrent = 2,    // the current cell holds it
    kByteEdited = 4,     // an edited cell (of any table) holds it
    kByteDifferent = 8,  // a cell of the current table that differs from the reference holds it
};

struct ByteWindow {
    std::int64_t start = 0;
    std::string bytes;                // fewer than asked where the file ends
    std::vector<std::uint8_t> marks;  // ByteMark bits, one per byte of `bytes`
};

// Whether a cell (section, grid row, grid column) differs from a reference.
using DiffersFn = std::function<bool(int section, int row, int column)>;

// `count` bytes from `start`, marked for the current cell (grid row and column, 1-based) of `section`.
ByteWindow ReadByteWindow(const CZOKDoc& doc, int section, int row, int column, std::int64_t start, int count,
                          const DiffersFn& differs = {});

// The cell a byte belongs to: the current table's first (its first row, then
// column, holding it), else the cell the go-to rule finds.
std::optional<SearchHit> CellOfByte(const CZOKDoc& doc, int section, std::int64_t offset);

}  // namespace search

}  // namespace zok2
