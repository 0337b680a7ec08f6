#include "exchange/TableRows.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace zok2::exchange {

std::string_view WithoutByteOrderMark(std::string_view text)
{
    return text.substr(0, 3) == "\xEF\xBB\xBF" ? text.substr(3) : text;
}

Rows::Rows(std::initializer_list<std::initializer_list<std::string_view>> rows)
{
    for (const auto& row : rows) {
        StartRow();
        for (std::string_view cell : row) AddCell(cell);
    }
}

bool Rows::Row::operator==(const Row& other) const
{
    if (size() != other.size()) return false;
    for (std::size_t c = 0; c < size(); ++c) {
        if ((*this)[c] != other[c]) return false;
    }
    return true;
}

bool Rows::operator==(const Rows& other) const
{
    if (size() != other.size() || CellCount() != other.CellCount()) return false;
    for (std::size_t r = 0; r < size(); ++r) {
        if (!((*this)[r] == other[r])) return false;
    }
    return true;
}

void Rows::AdoptTsv(std::string text)
{
    clear();
    m_text = std::move(text);
    const std::size_t first = m_text.size() - WithoutByteOrderMark(m_text).size();
    if (m_text.size() <= first) return;
    if (m_text.back() != '\n') m_text.push_back('\n');
    // A tab starts a cell, a line end starts a row. Cells are a few bytes long,
    // so the pass takes no branch on the bytes: every byte writes where a cell
    // would start after it, and only a separator keeps what it wrote.
    const char* bytes = m_text.data();
    const std::size_t size = m_text.size();
    std::size_t tabs = 0, lines = 0;
    for (std::size_t i = first; i < size; ++i) {
        tabs += bytes[i] == '\t';
        lines += bytes[i] == '\n';
    }
    m_cellStarts.resize(tabs + lines + 1);
    m_rowStarts.resize(lines + 1);
    std::size_t* cells = m_cellStarts.data();
    std::size_t* rows = m_rowStarts.data();
    std::size_t cellCount = 1, rowCount = 1;
    cells[0] = first;
    rows[0] = 0;
    std::size_t i = first;
#if defined(__SSE2__)
    // Sixteen bytes at a time: a mask of the separators, then one step per separator.
    const __m128i tab = _mm_set1_epi8('\t'), lineFeed = _mm_set1_epi8('\n');
    for (; i + 16 <= size; i += 16) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + i));
        const unsigned lineMask = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, lineFeed)));
        unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, tab))) | lineMask;
        while (mask != 0) {
            const int bit = __builtin_ctz(mask);
            cells[cellCount] = i + static_cast<std::size_t>(bit) + 1;
            rows[rowCount] = cellCount;
            rowCount += (lineMask >> bit) & 1u;
            ++cellCount;
            mask &= mask - 1;
        }
    }
#endif
    for (; i < size; ++i) {
        const bool lineEnd = bytes[i] == '\n';
        cells[cellCount] = i + 1;
        rows[rowCount] = cellCount;
        cellCount += static_cast<std::size_t>(lineEnd || bytes[i] == '\t');
        rowCount += static_cast<std::size_t>(lineEnd);
    }
    // The text ends with a line end, which started a row and a cell of nothing.
    m_cellStarts.resize(cellCount - 1);
    m_rowStarts.resize(rowCount - 1);
}

void Rows::Reserve(std::size_t rows, std::size_t cells, std::size_t bytes)
{
    m_rowStarts.reserve(rows);
    m_cellStarts.reserve(cells);
    m_text.reserve(bytes);
}

void Rows::clear()
{
    m_text.clear();
    m_cellStarts.clear();
    m_rowStarts.clear();
    m_open = false;
}

bool Rows::IsAscii() const
{
    unsigned char high = 0;
    for (std::size_t i = m_cellStarts.empty() ? m_text.size() : m_cellStarts[0]; i < m_text.size(); ++i) {
        high |= static_cast<unsigned char>(m_text[i]);
    }
    return high < 0x80;
}

Rows ConvertCells(Rows rows, std::string (*convert)(const std::string&))
{
    if (rows.IsAscii()) return rows;
    Rows out;
    std::string cell;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        out.StartRow();
        const Rows::Row row = rows[r];
        for (std::size_t c = 0; c < row.size(); ++c) {
            const std::string_view text = row[c];
            bool ascii = true;
            for (const char ch : text) ascii = ascii && static_cast<unsigned char>(ch) < 0x80;
            if (ascii) {
                out.AddCell(text);
            } else {
                cell.assign(text);
                out.AddCell(convert(cell));
            }
        }
    }
    return out;
}

}  // namespace zok2::exchange
