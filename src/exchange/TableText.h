#pragma once
// Tables as text for spreadsheets and version control: a caption row (an empty
// cell, then the captions), then a row per grid row (the row label, then every
// cell's text as copy gives it: list columns by value, "--" cells empty); written
// and read as TSV (cells quoted as spreadsheets quote them when needed), CSV
// (RFC 4180) or JSON (an array of row objects keyed by caption, the row label
// under ""). Texts here are whatever encoding the caller keeps (the document's
// are Shift-JIS; files are UTF-8, converted by the caller). Reading them back
// into a table is TableImport's.
#include <string>
#include <string_view>

#include "exchange/TableRows.h"

namespace zok2 {

class CZOKDoc;

namespace exchange {

// The texts of a table as copy gives them.
Rows ExportRows(const CZOKDoc& doc, int section);

std::string WriteTsv(const Rows& rows);
std::string WriteCsv(const Rows& rows);   // with a UTF-8 byte-order mark, so spreadsheets read Japanese right
std::string WriteJson(const Rows& rows);
// False (with a reason) for text that is not of the format.
bool ReadTsv(std::string_view text, Rows* rows, std::string* reason);
bool ReadCsv(std::string_view text, Rows* rows, std::string* reason);
bool ReadJson(std::string_view text, Rows* rows, std::string* reason);
// As its file's extension says: ".csv", ".json", otherwise TSV; a text that is
// not UTF-8 is refused, naming its line.
bool ReadTable(std::string_view extension, std::string_view text, Rows* rows, std::string* reason);

}  // namespace exchange

}  // namespace zok2
