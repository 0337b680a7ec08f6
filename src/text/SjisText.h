#pragma once
// Shift-JIS aware scanning and the C-runtime-like number reading and writing
// that every definition file and every typed value goes through.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace zok2::text {

constexpr std::size_t npos = std::string_view::npos;

// Lead bytes of a double-byte character in code page 932.
inline bool IsLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

// Length in bytes of the character starting at s[i] (1 or 2; 1 at the end of s).
inline std::size_t CharLength(std::string_view s, std::size_t i)
{
    return (IsLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size()) ? 2 : 1;
}

// Position of the first character `ch` at or after `from` (a character boundary), or npos.
// The trail byte of a double-byte character never matches.
std::size_t FindChar(std::string_view s, char ch, std::size_t from = 0);
// Position of the first occurrence of `seq` starting on a character boundary, or npos.
std::size_t FindSeq(std::string_view s, std::string_view seq, std::size_t from = 0);
// Position of the last character `ch`, or npos.
std::size_t FindLastChar(std::string_view s, char ch);
// Number of characters `ch` in s.
std::size_t CountChar(std::string_view s, char ch);
// Every occurrence of `from` (on character boundaries) replaced by `to`.
std::string ReplaceAll(std::string_view s, std::string_view from, std::string_view to);
// Letters a-z of single-byte characters turned to A-Z.
std::string ToUpperAscii(std::string_view s);
// Equality ignoring the case of single-byte letters.
bool EqualsNoCase(std::string_view a, std::string_view b);
// Ordering ignoring the case of ASCII letters (byte-wise otherwise).
int CompareNoCase(std::string_view a, std::string_view b);

bool StartsWith(std::string_view s, std::string_view prefix);
// The text starts with a UTF-8 or UTF-16 byte-order mark (it is no Shift-JIS text).
bool StartsWithByteOrderMark(std::string_view s);
bool EndsWith(std::string_view s, std::string_view suffix);

// Like strtoul(s, nullptr, 16): leading white space, optional 0x/0X, hexadecimal
// digits; no digits gives 0; too many digits saturate at 0xFFFFFFFF.
std::uint32_t ReadHex(std::string_view s);
// Like atol with a 32-bit long: leading white space, optional sign, decimal digits;
// saturates at the limits of a signed 32-bit value.
std::int32_t ReadDec(std::string_view s);
// The same reading into 64 bits (saturating at the 64-bit limits).
std::int64_t ReadDec64(std::string_view s);

std::string FormatHex(std::uint32_t v);                    // "%X"
std::string FormatHexPadded(std::uint32_t v, int digits);  // "%0<digits>X"
std::string FormatDec(std::int64_t v);                     // "%d"
std::string FormatUnsigned(std::uint32_t v);               // "%u"

}  // namespace zok2::text
