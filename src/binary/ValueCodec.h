#pragma once
// Converting between a column's stored values and texts: the display text, the
// edit text, and a typed text parsed and constrained by the column's rules.
#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "definitions/DefinitionTables.h"

namespace zok2 {

class ColumnCodec {
public:
    // With `tables`, list display looks labels up in the column's value list;
    // without, it shows the hexadecimal form (enough for parsing and edit texts).
    explicit ColumnCodec(const ColumnDefinition& column, const DefinitionTables* tables = nullptr);

    // Rows below this hold values; the others show "--".
    int RowCount() const { return m_rowCount; }
    int Radix() const { return m_radix; }
    // Grid alignment: 1 (left) for list display, 7 (right) otherwise.
    int Alignment() const { return m_radix == 0 ? 1 : 7; }
    // The text the grid shows: the radix form, or for list display the label.
    std::string DisplayText(std::uint32_t v) const;
    // The exact value as text: list display gives the hexadecimal form.
    std::string EditText(std::uint32_t v) const;
    // EditText (exactValue) or DisplayText appended to out, without a text of its own.
    void AppendText(std::uint32_t v, bool exactValue, std::string& out) const;
    // EditText written into buf (at least 40 bytes); its length.
    int WriteEditText(char* buf, std::uint32_t v) const;
    // "0X..." is hexadecimal, anything else decimal (read into 64 bits, reduced
    // modulo 2^32); then the size, the mask or (when applyRange) the range, and
    // a bit column's 0/1. A recorded text is stored without the range so the
    // recorded value comes back exactly.
    std::uint32_t Parse(std::string_view input, bool applyRange) const;
    // What a parse did beyond reading a number: the text was no plain number
    // (its readable start, often nothing, was taken), the range moved the value,
    // or the value was cut to the column's size.
    struct ParseNote {
        bool notANumber = false;
        bool clamped = false;
        bool cut = false;  // the number read was more than the column's bytes hold (70000 into two)
    };
    std::uint32_t Parse(std::string_view input, bool applyRange, ParseNote* note) const;
    // What the column stores for a value read from a text: its size, then the
    // mask or (when applyRange) the range, then a bit column's 0/1. A value
    // that comes back unchanged is one the column can hold exactly.
    std::uint32_t Constrain(std::uint32_t v, bool applyRange, ParseNote* note = nullptr) const;
    int ByteSize() const { return m_byteSize; }
    bool IsBit() const { return m_bit; }
    bool IsMasked() const { return m_masked; }
    std::uint32_t Mask() const { return m_mask; }
    bool IsRanged() const { return m_ranged; }
    std::uint32_t Low() const { return m_low; }
    std::uint32_t High() const { return m_high; }
    // Value -> label of a list column (empty for other columns or without tables).
    const std::map<std::uint32_t, std::string>& Labels() const { return m_labels; }

private:
    int m_byteSize;
    int m_radix;
    int m_rowCount;
    bool m_bit;
    bool m_masked = false;
    std::uint32_t m_mask = 0;
    bool m_ranged = false;
    std::uint32_t m_low = 0, m_high = 0;
    std::map<std::uint32_t, std::string> m_labels;  // list display only
};

// Value -> label of a value list: an entry is split at its first blank into a
// hexadecimal value and its label; the first entry of a value wins.
std::map<std::uint32_t, std::string> ValueListLabels(const DefinitionTables& tables, int listIndex);
// A text that is exactly a number: decimal with an optional sign, or "0x" and hexadecimal digits.
bool IsPlainNumber(std::string_view text);
// The choices a value list offers: value -> the whole item text, first text of a value winning.
std::map<std::uint32_t, std::string> ValueListChoices(const DefinitionTables& tables, int listIndex);

}  // namespace zok2
