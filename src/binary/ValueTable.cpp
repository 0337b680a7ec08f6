#include "binary/ValueTable.h"

#include <algorithm>

namespace zok2 {

ValueTable::ValueTable(const std::vector<int>& widths, std::size_t rows) : m_rows(rows)
{
    for (int w : widths) {
        m_offsets.push_back(static_cast<std::uint32_t>(m_rowBytes));
        const int width = std::clamp(w, 1, 4);
        m_widths.push_back(static_cast<std::uint8_t>(width));
        m_rowBytes += static_cast<std::size_t>(width);
    }
    m_data.assign(m_rowBytes * rows, 0);
}

bool ValueTable::operator==(const ValueTable& other) const
{
    if (m_rows != other.m_rows || Columns() != other.Columns()) return false;
    for (std::size_t r = 0; r < m_rows; ++r) {
        for (std::size_t c = 0; c < Columns(); ++c) {
            if (Get(r, c) != other.Get(r, c)) return false;
        }
    }
    return true;
}

std::size_t ValueTable::MemoryBytes() const
{
    return sizeof(*this) + m_data.capacity() + m_widths.capacity() + m_offsets.capacity() * sizeof(std::uint32_t);
}

}  // namespace zok2
