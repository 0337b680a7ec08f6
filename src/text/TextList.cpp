#include "text/TextList.h"

namespace zok2 {

TextList::TextList(std::initializer_list<std::string_view> items)
{
    for (std::string_view item : items) push_back(item);
}

TextList::TextList(const std::vector<std::string>& items)
{
    for (const std::string& item : items) push_back(item);
}

void TextList::shrink_to_fit()
{
    m_starts.shrink_to_fit();
    m_ends.shrink_to_fit();
    m_chars.shrink_to_fit();
}

TextList TextList::Adopt(std::string chars, std::vector<std::uint32_t> starts, std::vector<std::uint32_t> ends)
{
    TextList list;
    list.m_chars = std::move(chars);
    list.m_starts = std::move(starts);
    list.m_ends = std::move(ends);
    return list;
}

bool TextList::operator==(const TextList& other) const
{
    if (size() != other.size()) return false;
    for (std::size_t i = 0; i < size(); ++i) {
        if ((*this)[i] != other[i]) return false;
    }
    return true;
}

bool operator==(const TextList& list, const std::vector<std::string>& strings)
{
    if (list.size() != strings.size()) return false;
    for (std::size_t i = 0; i < strings.size(); ++i) {
        if (list[i] != strings[i]) return false;
    }
    return true;
}

void PrintTo(const TextList& list, std::ostream* os)
{
    *os << "{";
    for (std::size_t i = 0; i < list.size(); ++i) *os << (i ? ", \"" : "\"") << list[i] << "\"";
    *os << "}";
}

}  // namespace zok2
