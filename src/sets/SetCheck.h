#pragma once
// The check of a definition set: every line the reader ignores, drops or reads
// otherwise than it was written, said once, with its file and line, before it
// shows up as a wrong table or a missing column.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace zok2::sets {

enum class Severity { Warning, Error };

enum class ProblemKind {
    // the files
    ByteOrderMark,            // error: a Unicode file, not Shift-JIS
    NotShiftJis,              // error: bytes no Shift-JIS text holds (line)
    ColumnFileWithoutRowNames,  // warning: a ".ini" no ".idn" makes a table of
    NamesDifferOnlyByCase,    // warning: text = the other name
    // lines dropped or ignored
    NoComma,                  // warning: a line with text but no comma is ignored
    NoAddress,                // error: the line is dropped
    NoCaption,                // error: the line is dropped
    TextAfterTenthField,      // warning: text = what is ignored
    // fields read otherwise than written
    SizeOutOfRange,           // error: text = as written, value = as read
    BitOutOfRange,            // error: text = as written, value = as read
    BitStrideOnByteColumn,    // warning: text = the stride
    RowsOutOfRange,           // warning: text = as written, value = the labels
    UnknownDisplay,           // warning: text = as written
    ListDisplayWithoutList,   // warning
    LimitOnBitColumn,         // warning: text = the limit
    MaskTooLong,              // warning: text = the mask
    MaskWithoutBits,          // error: text = the mask
    RangeMinAboveMax,         // error: text = the range
    LimitNotMaskOrRange,      // warning: text = the limit
    WidthOutOfRange,          // warning: text = as written
    // value lists
    ItemWithoutBlank,         // warning: text = the item
    SameValueTwice,           // warning: text = the item, value = its value
    MissingRowNameFile,       // error: text = the ".idn" the list names
    // COMPRESS_INFO
    CompressEmptyParameter,   // error: the record is discarded
    CompressNotFour,          // error: value = the count of parameters
    CompressUnknownMethod,    // error: text = the method
    CompressNotFirst,         // warning: only a file's first record is used
    // tables
    SameBytes,                // warning: text = the other column's caption, value = its line
    // with the binary
    ColumnPastEnd,            // error: value = the bytes the column needs
    CompressedPastEnd,        // error: text = what lies past the end, value = its offset
    // checksum rules
    ChecksumRuleUnusable,     // error: text = the line, detail = why
};

struct SetProblem {
    Severity severity = Severity::Warning;
    ProblemKind kind = ProblemKind::NoComma;
    std::string file;      // the file's name in the set folder, as the file system spells it
    int line = 0;          // 1-based; 0 for the file as a whole
    std::string caption;   // the column's caption (Shift-JIS), when the line is a column
    std::string text;      // what the kind names (Shift-JIS as written)
    std::int64_t value = 0;
    std::int64_t limit = 0;  // a second figure (the file's size, a size as read)
    int section = -1;      // the table the line belongs to (discovery order), or -1
    int column = -1;       // the column of that table, or -1
    std::string detail;    // what is wrong, in words, where the kind needs them (English)
};

struct SetCheckInput {
    std::string folder;  // the definition folder, with its closing separator
    std::uint32_t addressCorrection = 0;
    // The binary's size, when a file is given: columns and compressed data
    // past its end are reported.
    std::optional<std::int64_t> fileSize;
    // A file name (the file system's) as Shift-JIS, for the ".idn" references
    // of value lists; nothing when Shift-JIS cannot write it.
    std::function<std::optional<std::string>(const std::string&)> toSjis;
};

// Every problem of the set, in file order (row-name and column files of each
// table in discovery order, then folder-wide ones).
std::vector<SetProblem> CheckSet(const SetCheckInput& input);

// The problems of one column line (without its line end) as it would stand in
// `columnFile` of a table with `labelCount` row labels, each on line 1: what
// the line alone says, without the other columns of its table.
std::vector<SetProblem> CheckColumnLine(const SetCheckInput& input, const std::string& columnFile, const std::string& line,
                                        std::size_t labelCount);
// One line for zok2-cli, TAB-separated: "error" or "warning", the file, the
// line number, what is wrong (texts as UTF-8 through `toUtf8`).
std::string DescribeProblem(const SetProblem& problem, const std::function<std::string(const std::string&)>& toUtf8);

}  // namespace zok2::sets
