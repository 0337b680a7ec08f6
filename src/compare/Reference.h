#pragma once
// A reference file (the original a modded file came from) read with the same
// definition set and address correction as the open file, and the cells whose
// values differ between the two. A cell that lies in one file but not in the
// other (a file of another size) differs too.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "search/CellSearch.h"

namespace zok2 {

class CZOKDoc;

namespace compare {

// Reads `path` as `doc`'s open file is read (its set, its address correction);
// null (with the document's message shown) when it cannot be read.
std::unique_ptr<CZOKDoc> OpenReference(const CZOKDoc& doc, const std::string& path);

// Whether the cell (grid coordinates of a value cell) differs between the two.
bool CellDiffers(const CZOKDoc& doc, const CZOKDoc& reference, int section, int row, int column);
// The label of a row that differs: the file's, or the reference's for a row
// only the reference has (a compressed table read longer there), or "".
std::string_view RowLabelOf(const CZOKDoc& doc, const CZOKDoc& reference, int section, int row);

// Every differing cell, table by table in tab order (or of one table), row by row.
std::vector<search::SearchHit> DifferingCells(const CZOKDoc& doc, const CZOKDoc& reference, int onlySection = -1);

}  // namespace compare

}  // namespace zok2
