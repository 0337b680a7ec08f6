#pragma once
// Tables as text for spreadsheets and version control: a caption row (an empty
// cell, then the captions), then a row per grid row (the row label, then every
// cell's text as copy gives it: list columns by value, "--" cells empty); written
// and read as TSV, CSV (RFC 4180) or JSON (an array of row objects keyed by
// caption, the row label under ""). Texts here are whatever encoding the caller
// keeps (the document's are Shift-JIS; files are UTF-8, converted by the caller).
#include <string>
#include <string_view>

#include "exchange/TableRows.h"

namespace zok2 {

class CZOKDoc;

namespace exchange {

// The texts of a table as copy gives them.
Rows ExportRows(const CZOKDoc& doc, int section);

struct ImportReport {
    int changed = 0;       // cells whose text differed and were stored
    int readOnly = 0;      // cells that differ but cannot change (past the end of the file)
    int outside = 0;       // texts beyond the table's rows or columns, left alone
    std::string refused;   // why nothing was stored (a wrong caption row), or ""
};
// Stores, through the paste rules, every cell whose text differs from what
// ExportRows gives now; a table whose caption row differs is refused whole.
ImportReport ImportRows(CZOKDoc& doc, int section, const Rows& rows);

std::string WriteTsv(const Rows& rows);
std::string WriteCsv(const Rows& rows);   // with a UTF-8 byte-order mark, so spreadsheets read Japanese right
std::string WriteJson(const Rows& rows);
// False (with a reason) for text that is not of the format.
bool ReadTsv(std::string_view text, Rows* rows, std::string* reason);
bool ReadCsv(std::string_view text, Rows* rows, std::string* reason);
bool ReadJson(std::string_view text, Rows* rows, std::string* reason);
// As its file's extension says: ".csv", ".json", otherwise TSV.
bool ReadTable(std::string_view extension, std::string_view text, Rows* rows, std::string* reason);

}  // namespace exchange

}  // namespace zok2
