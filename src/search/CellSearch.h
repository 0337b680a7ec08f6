#pragma once
// Finding row labels, captions and cells over the tables of a document: by the
// text a grid shows (folded as TextFold folds it) and, for a search text that
// reads as a number, by the value a cell holds whatever its display mode.
// Positions are grid coordinates: row 0 is the captions, column 0 the row labels.
#include <cstdint>
#include <functional>
#include <map>
#include <tuple>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "search/TextFold.h"

namespace zok2 {

class CZOKDoc;
class ColumnCodec;

namespace search {

struct SearchQuery {
    std::string text;        // Shift-JIS
    int onlySection = -1;    // -1: every table
    bool labels = true;      // row labels (column 0)
    bool cells = true;       // the texts cells show
    bool captions = true;    // the captions (row 0)
    bool whole = false;      // the whole text, not a part of it
    bool valueOnly = false;  // only cells whose value equals the number the text reads as
};

struct SearchHit {
    int section = 0, row = 0, column = 0;
    bool operator==(const SearchHit&) const = default;
};

// The number a search text reads as: decimal with an optional sign ("100",
// "-8") or hexadecimal after "0x" / "0X"; nothing for any other text.
struct SearchNumber {
    std::int64_t value = 0;
    bool hexadecimal = false;
};
std::optional<SearchNumber> ReadSearchNumber(const std::string& sjis);
// 1 to `most` hexadecimal digits (either case) and nothing else, as a number.
std::optional<std::uint64_t> ReadHexDigits(std::string_view digits, std::size_t most);

class CellSearch {
public:
    CellSearch(const CZOKDoc& doc, SearchQuery query);

    // Whether the query can find anything at all (a text, somewhere to look).
    bool IsValid() const;
    // The tables searched, in tab order (sections that have columns).
    const std::vector<int>& Sections() const { return m_sections; }
    bool Matches(const SearchHit& at) const;
    // The first match after `from` (before it, backwards), going on from the
    // other end when the end is reached (`wrapped` says so); `from` itself last.
    std::optional<SearchHit> Next(const SearchHit& from, bool forward, bool* wrapped = nullptr) const;
    // Every match in order, at most `limit`; `keepGoing` is asked now and then
    // (with the share done, 0 to 1) and stops the search when it returns false.
    std::vector<SearchHit> All(std::size_t limit, const std::function<bool(double)>& keepGoing = {}) const;

private:
    // What a column's cells are compared by, worked out once per column.
    struct ColumnPlan {
        bool built = false;
        const ColumnCodec* codec = nullptr;  // none: the column holds no values
        std::size_t rows = 0;                // rows holding data
        std::optional<std::uint32_t> value;  // the stored value the search number stands for here
        bool formatCells = false;            // the shown text is formatted and compared
        // How a part of a shown number is looked for without formatting it.
        enum class Digits { Format, Decimal, Hex } digits = Digits::Format;
        int byteSize = 4;
        bool signedForm = false;
        // For columns of one or two bytes: whether each possible value matches,
        // worked out once for every column of the same kind.
        const std::vector<std::uint8_t>* table = nullptr;
        bool listLabels = false;             // list display: labels matched by value below
        std::vector<std::uint32_t> labelValues;  // values whose label matches, sorted
        std::vector<std::uint32_t> labelled;     // values that have a label, sorted
    };
    const ColumnPlan& Plan(int section, int column) const;
    bool MatchesValue(const ColumnPlan& plan, std::uint32_t v, std::string& scratch) const;
    bool MatchesCell(int section, int row, int column) const;
    // Every match of a section in row order, found column by column once and kept.
    const std::vector<SearchHit>& SectionHits(int section) const;
    int RowCountOf(int section) const;     // grid rows below the captions
    int ColumnCountOf(int section) const;  // grid columns right of the labels

    const CZOKDoc& m_doc;
    SearchQuery m_query;
    FoldedText m_pattern;
    std::optional<SearchNumber> m_number;
    std::vector<int> m_sections;
    mutable std::vector<std::vector<ColumnPlan>> m_plans;
    mutable std::vector<std::optional<std::vector<SearchHit>>> m_hits;  // per section, once scanned
    // Value tables of small columns, by display radix, size, list and value target.
    mutable std::map<std::tuple<int, int, int, std::int64_t>, std::vector<std::uint8_t>> m_valueTables;
    bool m_asciiPattern = false;  // the folded pattern is plain ASCII (shown numbers are compared as bytes)
    std::string m_asciiText;      // ... and as that text
    // The pattern as digits, for parts of shown numbers found by arithmetic:
    // its value read in decimal and in hexadecimal, and its length (0: not digits only).
    std::uint64_t m_decimalDigits = 0, m_hexDigits = 0;
    int m_digitCount = 0;
    bool m_decimalOnly = false;  // 0-9 only (a decimal window); A-F make it hexadecimal only
};

}  // namespace search

}  // namespace zok2
