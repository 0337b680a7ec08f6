#pragma once
// Tables as text for spreadsheets and version control: a caption row (an empty
// cell, then the captions), then a row per grid row (the row label, then every
// cell's text as copy gives it: list columns by value, "--" cells empty); written
// and read as TSV, CSV (RFC 4180) or JSON (an array of row objects keyed by
// caption, the row label under ""). Texts here are whatever encoding the caller
// keeps (the document's are Shift-JIS; files are UTF-8, converted by the caller).
#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace zok2 {

class CZOKDoc;

namespace exchange {

// A table of texts kept flat: every cell's bytes in one buffer, each followed by
// one separator byte, and where each cell and row starts, so a million cells
// cost a few allocations, and a TSV text is its own buffer (read in place).
class Rows {
public:
    class Row {
    public:
        Row(const Rows& rows, std::size_t first, std::size_t last) : m_rows(&rows), m_first(first), m_last(last) {}
        std::size_t size() const { return m_last - m_first; }
        bool empty() const { return m_last == m_first; }
        std::string_view operator[](std::size_t column) const { return m_rows->CellAt(m_first + column); }
        bool operator==(const Row& other) const;

    private:
        const Rows* m_rows;
        std::size_t m_first, m_last;  // cell indexes
    };

    Rows() = default;
    Rows(std::initializer_list<std::initializer_list<std::string_view>> rows);

    // Building: a row, then its cells; a cell's text may come in pieces.
    void StartRow()
    {
        CloseCell();
        m_rowStarts.push_back(m_cellStarts.size());
    }
    void Append(std::string_view piece)
    {
        OpenCell();
        m_text.append(piece);
    }
    void Append(char ch)
    {
        OpenCell();
        m_text.push_back(ch);
    }
    void EndCell()
    {
        OpenCell();
        CloseCell();
    }
    void AddCell(std::string_view text)
    {
        Append(text);
        CloseCell();
    }
    // Takes a TSV text as the buffer: its lines are rows, its tabs end cells
    // (a line's closing CR is not part of its last cell).
    void AdoptTsv(std::string text);
    void Reserve(std::size_t rows, std::size_t cells, std::size_t bytes);
    void clear();

    std::size_t size() const { return m_rowStarts.size(); }
    bool empty() const { return m_rowStarts.empty(); }
    Row operator[](std::size_t row) const
    {
        return Row(*this, m_rowStarts[row], row + 1 < m_rowStarts.size() ? m_rowStarts[row + 1] : m_cellStarts.size());
    }
    std::size_t CellCount() const { return m_cellStarts.size(); }
    std::string_view CellAt(std::size_t index) const
    {
        const std::size_t begin = m_cellStarts[index];
        // The byte before the next cell (or the buffer's end) is this one's separator.
        std::size_t end = (index + 1 < m_cellStarts.size() ? m_cellStarts[index + 1] : m_text.size()) - 1;
        if (m_text[end] == '\n' && end > begin && m_text[end - 1] == '\r') --end;
        return std::string_view(m_text.data() + begin, end - begin);
    }
    // Every byte below 0x80: the same in UTF-8 and Shift-JIS.
    bool IsAscii() const;
    bool operator==(const Rows& other) const;

private:
    void OpenCell()
    {
        if (m_open) return;
        m_cellStarts.push_back(m_text.size());
        m_open = true;
    }
    void CloseCell()
    {
        if (!m_open) return;
        m_text.push_back('\t');
        m_open = false;
    }

    std::string m_text;
    std::vector<std::size_t> m_cellStarts;  // where each cell's text starts in m_text
    std::vector<std::size_t> m_rowStarts;   // each row's first cell
    bool m_open = false;                    // the last cell takes more text
};

// The same rows with every cell converted (between the document's Shift-JIS and
// the files' UTF-8); cells of ASCII only are copied as they are.
Rows ConvertCells(Rows rows, std::string (*convert)(const std::string&));

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
