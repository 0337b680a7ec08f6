#pragma once
// Cells of different columns (or rows) may describe the same bits of the file:
// a bit column over a byte column, masks, a stride smaller than the size, or two
// sections over one table. When one of them changes, the others that share its
// bits take the new bits over, so the value table always tells what the file
// will hold and no cell shows (or records for undo) a stale value.
#include <cstdint>
#include <vector>

#include "binary/CellLayout.h"
#include "binary/ValueTable.h"

namespace zok2 {

struct CellRef {
    int section;
    int column;
    std::int64_t row;
};

class ByteSharing {
public:
    // layouts[s][c]: the file layout of every column of every section; a
    // section whose cells have no place in the file (compressed) has none.
    void Reset(const std::vector<std::vector<ColumnLayout>>* layouts);
    // After cell (s, c, r) took its value: every other cell sharing its bits takes
    // them over; the cells whose value changed are appended to `changed`.
    void Spread(std::vector<ValueTable>& values, int section, int column, std::int64_t row, std::vector<CellRef>* changed);
    // Some cell of the column shares bits with another cell (Spread has work to do).
    bool Shares(int section, int column);

private:
    struct ColumnRef {
        int section, column;
    };
    const std::vector<ColumnRef>& Candidates(int section, int column);

    const std::vector<std::vector<ColumnLayout>>* m_layouts = nullptr;
    std::vector<std::vector<std::vector<ColumnRef>>> m_candidates;  // per column, computed on first use
    std::vector<std::vector<bool>> m_known;
};

}  // namespace zok2
