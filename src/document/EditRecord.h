#pragma once
// The edit record: the one text form of a change in the history, written and
// read only here. "section,firstColumn,lastColumn,firstRow,lastRow,text" with
// grid coordinates (1 is the first data column / row) and the rectangle's text
// as it was before the change (cells by tab, rows by CR LF).
#include <string>
#include <string_view>

namespace zok2 {

// A rectangle of grid cells of one section.
struct EditRegion {
    int section = 0, firstColumn = 0, lastColumn = 0, firstRow = 0, lastRow = 0;
    bool operator==(const EditRegion&) const = default;
};

std::string FormatEditRecord(const EditRegion& region, std::string_view text);
// False when the record does not start with five comma-separated numbers.
bool ParseEditRecord(std::string_view record, EditRegion* region, std::string_view* text = nullptr);

}  // namespace zok2
