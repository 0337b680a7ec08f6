#pragma once
// A table of texts kept flat (see Rows), as the exchange formats read and write it.
#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace zok2::exchange {

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

// The text after a UTF-8 byte-order mark, or the whole text without one.
std::string_view WithoutByteOrderMark(std::string_view text);

}  // namespace zok2::exchange
