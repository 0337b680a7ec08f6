#pragma once
// A list of texts kept in one block of characters: a row-label list of a
// million rows costs its characters and four bytes a row, not a string object each.
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace zok2 {

class TextList {
public:
    TextList() = default;
    TextList(std::initializer_list<std::string_view> items);
    explicit TextList(const std::vector<std::string>& items);

    std::size_t size() const { return m_ends.size(); }
    bool empty() const { return m_ends.empty(); }
    std::string_view operator[](std::size_t i) const
    {
        return std::string_view(m_chars.data() + m_starts[i], m_ends[i] - m_starts[i]);
    }
    std::string_view front() const { return (*this)[0]; }
    std::string_view back() const { return (*this)[size() - 1]; }
    void push_back(std::string_view text)
    {
        m_starts.push_back(static_cast<std::uint32_t>(m_chars.size()));
        m_chars.append(text);
        m_ends.push_back(static_cast<std::uint32_t>(m_chars.size()));
    }
    void shrink_to_fit();
    // Bytes held, for the memory figures.
    std::size_t MemoryBytes() const
    {
        return sizeof(*this) + m_chars.capacity() + (m_starts.capacity() + m_ends.capacity()) * sizeof(std::uint32_t);
    }
    // A list of texts inside `chars`: item i runs from starts[i] to ends[i], so a
    // file's text can serve as it is, line ends between the items.
    static TextList Adopt(std::string chars, std::vector<std::uint32_t> starts, std::vector<std::uint32_t> ends);

    class const_iterator {
    public:
        using iterator_category = std::random_access_iterator_tag;
        using value_type = std::string_view;
        using difference_type = std::ptrdiff_t;
        using pointer = void;
        using reference = std::string_view;
        const_iterator(const TextList* list, std::size_t i) : m_list(list), m_i(i) {}
        std::string_view operator*() const { return (*m_list)[m_i]; }
        const_iterator& operator++() { ++m_i; return *this; }
        const_iterator operator++(int) { const_iterator old = *this; ++m_i; return old; }
        const_iterator& operator--() { --m_i; return *this; }
        const_iterator& operator+=(difference_type n) { m_i += static_cast<std::size_t>(n); return *this; }
        const_iterator operator+(difference_type n) const { return {m_list, m_i + static_cast<std::size_t>(n)}; }
        difference_type operator-(const const_iterator& other) const { return static_cast<difference_type>(m_i) - static_cast<difference_type>(other.m_i); }
        bool operator==(const const_iterator& other) const { return m_i == other.m_i; }
        bool operator!=(const const_iterator& other) const { return m_i != other.m_i; }

    private:
        const TextList* m_list;
        std::size_t m_i;
    };
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, size()}; }

    bool operator==(const TextList& other) const;
    friend bool operator==(const TextList& list, const std::vector<std::string>& strings);

private:
    std::string m_chars;
    std::vector<std::uint32_t> m_starts, m_ends;  // item i is m_chars[m_starts[i], m_ends[i])
};

// For test output.
void PrintTo(const TextList& list, std::ostream* os);

}  // namespace zok2
