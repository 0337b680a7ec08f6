#pragma once
// What a cell is: where its value lies in the file, its bytes there and its
// value in every form; and which cell holds a given file offset.
#include <cstdint>
#include <optional>
#include <string>

#include "search/CellSearch.h"

namespace zok2 {

class CZOKDoc;

namespace search {

// Checksum: a cell of the checksum table (read-only; the stored value has the
// place of its checksum, the computed value and the state none).
enum class CellState { Editable, None, Compressed, PastEnd, Checksum };

struct CellFacts {
    CellState state = CellState::None;
    std::string table, rowLabel, caption;  // Shift-JIS (the table as its tab shows it, a file-system name)
    std::int64_t offset = -1;              // the file offset of its first byte (the address correction applied)
    int byteCount = 0;                     // bytes of a byte column, 1 for a bit
    int bit = -1;                          // the bit of a bit column within its byte, -1 otherwise
    std::string bytes;                     // the bytes in the file now; an edited cell's own bits as the save writes them
    std::uint32_t value = 0;
    std::int64_t signedValue = 0;          // the value read as a signed number of its size
};

// The facts of grid cell (row, column) of a section (1-based like the grid's value cells).
std::optional<CellFacts> DescribeCell(const CZOKDoc& doc, int section, int row, int column);
// "0x1A2B".
std::string OffsetText(std::int64_t offset);
// The bytes as hexadecimal pairs ("34 12").
std::string HexPairs(const std::string& bytes);

// The cell whose bytes hold `offset` (the first table in tab order, then the
// first row and column; a stored checksum after every table), or else the
// nearest cell that starts before it.
struct OffsetLocation {
    std::optional<SearchHit> holder;
    std::optional<SearchHit> nearestBefore;
};
OffsetLocation LocateOffset(const CZOKDoc& doc, std::int64_t offset);
// "0x1234", "$1234" (hexadecimal offsets); nothing for other texts.
std::optional<std::int64_t> ReadOffset(const std::string& text);

}  // namespace search

}  // namespace zok2
