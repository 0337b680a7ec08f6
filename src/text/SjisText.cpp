#include "text/SjisText.h"

#include <cstdio>
#include <limits>

namespace zok2::text {

namespace {
bool IsSpace(unsigned char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
int HexDigit(unsigned char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}
unsigned char FoldAscii(unsigned char c) { return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 32) : c; }
}  // namespace

std::size_t FindChar(std::string_view s, char ch, std::size_t from)
{
    if (s.find(ch, from) == std::string_view::npos) return npos;  // not even as a byte
    for (std::size_t i = from; i < s.size(); i += CharLength(s, i)) {
        if (s[i] == ch) return i;
    }
    return npos;
}

std::size_t FindSeq(std::string_view s, std::string_view seq, std::size_t from)
{
    if (seq.empty()) return from <= s.size() ? from : npos;
    if (s.find(seq, from) == std::string_view::npos) return npos;  // not even as bytes
    for (std::size_t i = from; i < s.size(); i += CharLength(s, i)) {
        if (s.compare(i, seq.size(), seq) == 0) return i;
    }
    return npos;
}

std::size_t FindLastChar(std::string_view s, char ch)
{
    std::size_t found = npos;
    for (std::size_t i = 0; i < s.size(); i += CharLength(s, i)) {
        if (s[i] == ch) found = i;
    }
    return found;
}

std::size_t CountChar(std::string_view s, char ch)
{
    std::size_t n = 0;
    for (std::size_t i = 0; i < s.size(); i += CharLength(s, i)) {
        if (s[i] == ch) ++n;
    }
    return n;
}

std::string ReplaceAll(std::string_view s, std::string_view from, std::string_view to)
{
    std::string out;
    out.reserve(s.size());
    if (from.empty()) return std::string(s);
    // Unchanged runs are copied whole; a match is tried only where a character
    // starts with the first byte of `from`.
    std::size_t i = 0, run = 0;
    while (i < s.size()) {
        if (s[i] == from[0] && s.compare(i, from.size(), from) == 0) {
            out.append(s.substr(run, i - run));
            out.append(to);
            i += from.size();
            run = i;
            continue;
        }
        i += CharLength(s, i);
    }
    out.append(s.substr(run));
    return out;
}

std::string ToUpperAscii(std::string_view s)
{
    std::string out(s);
    for (std::size_t i = 0; i < out.size(); i += CharLength(out, i)) {
        out[i] = static_cast<char>(FoldAscii(static_cast<unsigned char>(out[i])));
    }
    return out;
}

bool EqualsNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    std::size_t i = 0;
    while (i < a.size()) {
        std::size_t n = CharLength(a, i);
        if (n == 2) {
            if (a.compare(i, 2, b.substr(i, 2)) != 0) return false;
        } else if (FoldAscii(static_cast<unsigned char>(a[i])) != FoldAscii(static_cast<unsigned char>(b[i]))) {
            return false;
        }
        i += n;
    }
    return true;
}

int CompareNoCase(std::string_view a, std::string_view b)
{
    std::size_t n = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < n; ++i) {
        unsigned char x = FoldAscii(static_cast<unsigned char>(a[i]));
        unsigned char y = FoldAscii(static_cast<unsigned char>(b[i]));
        if (x != y) return x < y ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

bool StartsWith(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }
bool EndsWith(std::string_view s, std::string_view suffix)
{
    return s.size() >= suffix.size() && s.substr(s.size() - suffix.size()) == suffix;
}

bool StartsWithByteOrderMark(std::string_view s)
{
    return StartsWith(s, "\xEF\xBB\xBF") || StartsWith(s, "\xFF\xFE") || StartsWith(s, "\xFE\xFF");
}

std::uint32_t ReadHex(std::string_view s)
{
    std::size_t i = 0;
    while (i < s.size() && IsSpace(static_cast<unsigned char>(s[i]))) ++i;
    if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X') && i + 2 < s.size() &&
        HexDigit(static_cast<unsigned char>(s[i + 2])) >= 0) {
        i += 2;
    }
    std::uint64_t v = 0;
    for (; i < s.size(); ++i) {
        int d = HexDigit(static_cast<unsigned char>(s[i]));
        if (d < 0) break;
        v = v * 16 + static_cast<unsigned>(d);
        if (v > 0xFFFFFFFFull) v = 0x100000000ull;  // stays saturated, never overflows
    }
    return v > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<std::uint32_t>(v);
}

std::int64_t ReadDec64(std::string_view s)
{
    std::size_t i = 0;
    while (i < s.size() && IsSpace(static_cast<unsigned char>(s[i]))) ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    constexpr std::uint64_t kMaxMagnitude = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()) + 1;
    std::uint64_t v = 0;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
        if (v <= kMaxMagnitude) v = v * 10 + static_cast<unsigned>(s[i] - '0');
        if (v > kMaxMagnitude) v = kMaxMagnitude + 1;
    }
    if (negative) {
        if (v >= kMaxMagnitude) return std::numeric_limits<std::int64_t>::min();
        return -static_cast<std::int64_t>(v);
    }
    if (v >= kMaxMagnitude) return std::numeric_limits<std::int64_t>::max();
    return static_cast<std::int64_t>(v);
}

std::int32_t ReadDec(std::string_view s)
{
    std::int64_t v = ReadDec64(s);
    if (v > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
    if (v < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(v);
}

std::string FormatHex(std::uint32_t v)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%X", v);
    return buf;
}

std::string FormatHexPadded(std::uint32_t v, int digits)
{
    char buf[24];
    std::snprintf(buf, sizeof buf, "%0*X", digits, v);
    return buf;
}

std::string FormatDec(std::int64_t v)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%lld", static_cast<long long>(v));
    return buf;
}

std::string FormatUnsigned(std::uint32_t v)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%u", v);
    return buf;
}

}  // namespace zok2::text
