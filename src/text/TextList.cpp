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

void TextList::reserve(std::size_t items, std::size_t chars)
{
    m_ends.reserve(items);
    m_chars.reserve(chars);
}

void TextList::shrink_to_fit()
{
    m_ends.shrink_to_fit();
    m_chars.shrink_to_fit();
}

std::vector<std::string> TextList::ToStrings() const
{
    std::vector<std::string> out;
    out.reserve(size());
    for (std::string_view item : *this) out.emplace_back(item);
    return out;
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
