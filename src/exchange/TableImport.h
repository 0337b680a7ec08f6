#pragma once
// A table's text coming back from a spreadsheet, checked whole before anything
// is stored: rows are matched by their labels, and every changed text must be a
// value its column holds exactly (a number in a form the grid shows, or a label
// of the column's value list). Texts are the document's (Shift-JIS).
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "exchange/TableRows.h"

namespace zok2 {

class CZOKDoc;

namespace exchange {

// How many problems and rows a refusal names; the rest are counted.
constexpr std::size_t kNamedProblems = 10;

// A changed text its column cannot take.
struct ImportProblem {
    enum class Kind {
        Empty,           // an empty cell where the table holds a value
        NotANumber,      // "#VALUE!", "1E3", "abc"
        Fraction,        // "3.5"
        Separators,      // "1,200"
        FullWidth,       // full-width digits
        TooBig,          // more than the column's bytes hold
        OutsideRange,    // outside the column's range (low..high)
        OutsideMask,     // bits outside the column's mask
        NotABit,         // a bit column holds 0 or 1
        UnknownLabel,    // a list column's text that is no label of its list
        AmbiguousLabel,  // a label that more than one item of the list has
        NoValue,         // a text in a cell that holds no value ("--")
        OutsideColumns,  // a text beyond the table's last column
    };
    Kind kind = Kind::NotANumber;
    std::string label;    // the row's label in the file
    std::string caption;  // the column's caption ("" beyond the last column)
    std::string text;     // the cell's text in the file
    int byteSize = 0;     // TooBig: the column's bytes
    std::uint32_t low = 0, high = 0;  // OutsideRange: the range; OutsideMask: the mask in `high`
};

// Why a table's text cannot be matched with the table at all.
struct ImportRefusal {
    enum class Kind {
        None,
        NoCaptionRow,  // the text holds no row
        ColumnCount,   // the caption row has another number of columns
        Caption,       // a caption differs
        Rows,          // rows whose labels the table does not have, or has more than once
    };
    Kind kind = Kind::None;
    std::size_t fileColumns = 0, tableColumns = 0;  // ColumnCount
    std::size_t column = 0;                         // Caption: 1 is the first column, 0 the label's
    std::string fileCaption, tableCaption;          // Caption
    std::string separator;  // ColumnCount, Caption: what the file seems to separate cells with ("" for tabs)
    std::vector<std::string> unknownRows;    // Rows: the first labels the table does not have
    std::size_t unknownCount = 0;
    std::vector<std::string> ambiguousRows;  // Rows: the first labels that match more than one row
    std::size_t ambiguousCount = 0;
};

// One table's text checked against the table: what would change, or why nothing may.
struct TableImport {
    int section = -1;
    ImportRefusal refusal;
    std::vector<ImportProblem> problems;  // the first kNamedProblems
    std::size_t problemCount = 0;
    bool matchedByName = false;  // the file's rows are in another order, or some are missing
    std::size_t readOnly = 0;    // changed texts of cells that cannot change (past the file's end), left alone
    struct Change {
        std::uint32_t row, column;  // 0-based
        std::uint32_t value;
    };
    std::vector<Change> changes;

    bool Accepted() const { return refusal.kind == ImportRefusal::Kind::None && problemCount == 0; }
};

// Checks `rows` (a caption row, then a row per table row, as ExportRows writes
// them) against the section; changes nothing.
TableImport CheckImport(const CZOKDoc& doc, int section, const Rows& rows);
// Stores an accepted check's changes as one edit that undo takes back whole;
// how many cells changed.
std::size_t ApplyImport(CZOKDoc& doc, const TableImport& checked);
// Checks, then stores when every text is accepted.
TableImport ImportRows(CZOKDoc& doc, int section, const Rows& rows);

// English descriptions for the command line; `toOutput` converts the file's
// texts (labels, captions, cells) for the output.
using TextConverter = std::string (*)(const std::string&);
std::string DescribeProblem(const ImportProblem& problem, TextConverter toOutput);
std::string DescribeRefusal(const ImportRefusal& refusal, TextConverter toOutput);

}  // namespace exchange

}  // namespace zok2
