#include "binary/ValueCodec.h"

#include <algorithm>
#include <cstdio>
#include <cctype>
#include <cstring>

#include "text/SjisText.h"

namespace zok2 {

namespace {

std::uint32_t SizeMask(int n) { return n >= 4 ? 0xFFFFFFFFu : ((1u << (8 * n)) - 1u); }

// "%X" padded with zeros to `width` digits, "%u" and "%lld", written by hand:
// the same digits as the C library's, without parsing a format for each of a
// million cells.
int FormatHex(char* out, std::uint32_t v, int width)
{
    int count = 1;
    while (count < 8 && (v >> (4 * count)) != 0) ++count;
    if (count < width) count = width;
    for (int i = count - 1; i >= 0; --i) {
        out[i] = "0123456789ABCDEF"[v & 15];
        v >>= 4;
    }
    return count;
}

// Two decimal digits at a time, from a table of the hundred pairs.
constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

int FormatDecimal(char* out, std::int64_t v)
{
    const bool negative = v < 0;
    std::uint64_t magnitude = negative ? 0 - static_cast<std::uint64_t>(v) : static_cast<std::uint64_t>(v);
    int digits = 1;
    for (std::uint64_t power = 10; digits < 20 && magnitude >= power; power *= 10) ++digits;
    if (negative) *out++ = '-';
    char* p = out + digits;
    while (magnitude >= 100) {
        const std::size_t pair = static_cast<std::size_t>(magnitude % 100) * 2;
        magnitude /= 100;
        p -= 2;
        p[0] = kDigitPairs[pair];
        p[1] = kDigitPairs[pair + 1];
    }
    if (magnitude >= 10) {
        p[-2] = kDigitPairs[magnitude * 2];
        p[-1] = kDigitPairs[magnitude * 2 + 1];
    } else {
        p[-1] = static_cast<char>('0' + magnitude);
    }
    return (negative ? 1 : 0) + digits;
}

// The radix form of v into buf (at least 40 bytes); its length.
int FormatRadix(char* buf, std::uint32_t v, int n, int radix)
{
    switch (radix) {
    case 16:
    case 0: {
        buf[0] = '0';
        buf[1] = 'X';
        if (n >= 1 && n <= 4) return 2 + FormatHex(buf + 2, v, 2 * n);
        // Odd sizes of broken definitions keep the C library's exact (and bounded) text.
        const std::string padded = text::FormatHexPadded(v, 2 * n);
        padded.copy(buf + 2, std::min<std::size_t>(padded.size(), 24));
        return 2 + static_cast<int>(std::min<std::size_t>(padded.size(), 24));
    }
    case 10:
        return FormatDecimal(buf, v);
    case -10: {
        const int bits = 8 * (n < 1 ? 1 : (n > 4 ? 4 : n));
        if (bits == 32) return FormatDecimal(buf, static_cast<std::int32_t>(v));
        std::int64_t x = v & SizeMask(bits / 8);
        if (x & (std::int64_t{1} << (bits - 1))) x -= std::int64_t{1} << bits;
        return FormatDecimal(buf, x);
    }
    default:
        return 0;
    }
}

std::string RadixText(std::uint32_t v, int n, int radix)
{
    char buf[40];
    return std::string(buf, static_cast<std::size_t>(FormatRadix(buf, v, n, radix)));
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

void ColumnCodec::AppendText(std::uint32_t v, bool exactValue, std::string& out) const
{
    if (m_radix == 0 && !exactValue) {
        auto found = m_labels.find(v);
        if (found != m_labels.end()) {
            out += found->second;
            return;
        }
    }
    char buf[40];
    out.append(buf, static_cast<std::size_t>(FormatRadix(buf, v, m_byteSize, m_radix)));
}

int ColumnCodec::WriteEditText(char* buf, std::uint32_t v) const { return FormatRadix(buf, v, m_byteSize, m_radix); }

bool IsPlainNumber(std::string_view text)
{
    auto all = [](std::string_view digits, bool hex) {
        return !digits.empty() && std::all_of(digits.begin(), digits.end(), [hex](char c) {
            return (c >= '0' && c <= '9') || (hex && ((c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')));
        });
    };
    if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) return all(text.substr(2), true);
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) text.remove_prefix(1);
    return all(text, false);
}

std::uint32_t ColumnCodec::Parse(std::string_view input, bool applyRange) const { return Parse(input, applyRange, nullptr); }

std::uint32_t ColumnCodec::Parse(std::string_view input, bool applyRange, ParseNote* note) const
{
    if (note) note->notANumber = !IsPlainNumber(input);
    std::uint32_t v;
    if (input.size() >= 2 && input[0] == '0' && (input[1] == 'X' || input[1] == 'x')) {
        v = text::ReadHex(input.substr(2));
        if (note) {
            // Significant digits past the column's bytes (ReadHex stops at 32 bits).
            std::string_view digits = input.substr(2);
            while (digits.size() > 1 && digits[0] == '0') digits.remove_prefix(1);
            std::size_t hexDigits = 0;
            while (hexDigits < digits.size() && std::isxdigit(static_cast<unsigned char>(digits[hexDigits]))) ++hexDigits;
            note->cut = hexDigits > 8 || v > SizeMask(m_byteSize);
        }
    } else {
        const std::int64_t read = text::ReadDec64(input);
        v = static_cast<std::uint32_t>(static_cast<std::uint64_t>(read));
        if (note) {
            // A negative number down to the smallest of the column's signed form is that form.
            const int bits = 8 * std::clamp(m_byteSize, 1, 4);
            note->cut = read > static_cast<std::int64_t>(SizeMask(m_byteSize)) || read < -(std::int64_t{1} << (bits - 1));
        }
    }
    return Constrain(v, applyRange, note);
}

std::uint32_t ColumnCodec::Constrain(std::uint32_t v, bool applyRange, ParseNote* note) const
{
    v &= SizeMask(m_byteSize);
    if (m_masked) {
        v &= m_mask;
    } else if (m_ranged && applyRange) {
        const std::uint32_t read = v;
        if (m_low > v) {
            v = m_low;
        } else if (m_high < v) {
            v = m_high;
        }
        if (note) note->clamped = v != read;
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
