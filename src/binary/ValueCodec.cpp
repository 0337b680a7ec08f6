#include "binary/ValueCodec.h"

#include "text/SjisText.h"

namespace zok2 {

namespace {

std::uint32_t SizeMask(int n) { return n >= 4 ? 0xFFFFFFFFu : ((1u << (8 * n)) - 1u); }

std::string HexForm(std::uint32_t v, int n) { return "0X" + text::FormatHexPadded(v, 2 * n); }

std::string RadixText(std::uint32_t v, int n, int radix)
{
    switch (radix) {
    case 16:
    case 0:
        return HexForm(v, n);
    case 10:
        return text::FormatUnsigned(v);
    case -10: {
        const int bits = 8 * (n < 1 ? 1 : (n > 4 ? 4 : n));
        if (bits == 32) return text::FormatDec(static_cast<std::int32_t>(v));
        std::int64_t x = v & SizeMask(bits / 8);
        if (x & (std::int64_t{1} << (bits - 1))) x -= std::int64_t{1} << bits;
        return text::FormatDec(x);
    }
    default:
        return std::string();
    }
}

}  // namespace

ColumnCodec::ColumnCodec(const ColumnDefinition& d, const DefinitionTables* tables)
    : m_byteSize(d.ByteSize()),
      m_radix(text::ReadDec(d[ColumnField::radix])),
      m_rowCount(text::ReadDec(d[ColumnField::rowCount])),
      m_bit(d.HasBitSize())
{
    const std::string& limit = d[ColumnField::limit];
    if (!limit.empty() && limit[0] == '.') {
        m_masked = true;
        m_mask = text::ReadHex(std::string_view(limit).substr(1));
    } else if (const std::size_t bar = text::FindChar(limit, '|'); bar != text::npos) {
        m_ranged = true;
        m_low = text::ReadHex(std::string_view(limit).substr(0, bar));
        m_high = text::ReadHex(std::string_view(limit).substr(bar + 1));
    }
    if (m_radix == 0 && tables) m_labels = ValueListLabels(*tables, text::ReadDec(d[ColumnField::listIndex]));
}

std::string ColumnCodec::DisplayText(std::uint32_t v) const
{
    if (m_radix == 0) {
        auto found = m_labels.find(v);
        if (found != m_labels.end()) return found->second;
    }
    return RadixText(v, m_byteSize, m_radix);
}

std::string ColumnCodec::EditText(std::uint32_t v) const { return RadixText(v, m_byteSize, m_radix); }

std::uint32_t ColumnCodec::Parse(std::string_view input, bool applyRange) const
{
    std::uint32_t v;
    if (input.size() >= 2 && input[0] == '0' && (input[1] == 'X' || input[1] == 'x')) {
        v = text::ReadHex(input.substr(2));
    } else {
        v = static_cast<std::uint32_t>(static_cast<std::uint64_t>(text::ReadDec64(input)));
    }
    v &= SizeMask(m_byteSize);
    if (m_masked) {
        v &= m_mask;
    } else if (m_ranged && applyRange) {
        if (m_low > v) {
            v = m_low;
        } else if (m_high < v) {
            v = m_high;
        }
        // A bound wider than the column cannot be stored in the file.
        v &= SizeMask(m_byteSize);
    }
    if (m_bit && v != 0) v = 1;
    return v;
}

std::map<std::uint32_t, std::string> ValueListLabels(const DefinitionTables& tables, int listIndex)
{
    std::map<std::uint32_t, std::string> labels;
    for (const std::string& entry : tables.ResolveValueList(listIndex)) {
        const std::size_t blank = text::FindChar(entry, ' ');
        if (blank == text::npos) {
            labels.emplace(0u, entry);
        } else {
            labels.emplace(text::ReadHex(std::string_view(entry).substr(0, blank)), entry.substr(blank + 1));
        }
    }
    return labels;
}

std::map<std::uint32_t, std::string> ValueListChoices(const DefinitionTables& tables, int listIndex)
{
    std::map<std::uint32_t, std::string> choices;
    for (const std::string& entry : tables.ResolveValueList(listIndex)) {
        const std::size_t blank = text::FindChar(entry, ' ');
        choices.emplace(text::ReadHex(std::string_view(entry).substr(0, blank == text::npos ? entry.size() : blank)), entry);
    }
    return choices;
}

}  // namespace zok2
