#pragma once
// The values of one section in one contiguous block: rows one after another,
// each column stored in as many bytes as the column's values occupy in the
// file (1 to 4), so a table of a million one-byte cells takes about a megabyte.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace zok2 {

class ValueTable {
public:
    ValueTable() = default;
    // widths: bytes per value of each column (clamped to 1..4); every value starts as 0.
    ValueTable(const std::vector<int>& widths, std::size_t rows);

    std::size_t Rows() const { return m_rows; }
    std::size_t Columns() const { return m_offsets.size(); }
    bool Contains(std::size_t row, std::size_t column) const { return row < m_rows && column < m_offsets.size(); }

    std::uint32_t Get(std::size_t row, std::size_t column) const
    {
        const std::uint8_t* p = m_data.data() + row * m_rowBytes + m_offsets[column];
        std::uint32_t v = p[0];
        switch (m_widths[column]) {
        case 4: v |= static_cast<std::uint32_t>(p[3]) << 24; [[fallthrough]];
        case 3: v |= static_cast<std::uint32_t>(p[2]) << 16; [[fallthrough]];
        case 2: v |= static_cast<std::uint32_t>(p[1]) << 8; [[fallthrough]];
        default: break;
        }
        return v;
    }
    // Keeps the bytes of v that the column holds.
    void Set(std::size_t row, std::size_t column, std::uint32_t v)
    {
        std::uint8_t* p = m_data.data() + row * m_rowBytes + m_offsets[column];
        for (int i = 0; i < m_widths[column]; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
    }

    // Direct access for loading a whole column: the first byte of (row, column),
    // the distance from one row to the next, and the column's width.
    std::uint8_t* CellBytes(std::size_t row, std::size_t column) { return m_data.data() + row * m_rowBytes + m_offsets[column]; }
    const std::uint8_t* CellBytes(std::size_t row, std::size_t column) const { return m_data.data() + row * m_rowBytes + m_offsets[column]; }
    std::size_t RowBytes() const { return m_rowBytes; }
    int Width(std::size_t column) const { return m_widths[column]; }

    bool operator==(const ValueTable& other) const;
    // Bytes held, for the memory figures.
    std::size_t MemoryBytes() const;

private:
    std::size_t m_rows = 0;
    std::size_t m_rowBytes = 0;
    std::vector<std::uint8_t> m_widths;
    std::vector<std::uint32_t> m_offsets;
    std::vector<std::uint8_t> m_data;
};

}  // namespace zok2
