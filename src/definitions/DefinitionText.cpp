#include "definitions/DefinitionText.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "text/LineReader.h"
#include "text/SjisText.h"

namespace zok2 {

std::pair<std::string, std::string> StripComment(std::string_view line)
{
    std::string code;
    if (line.find('\n') == std::string_view::npos) {
        code.assign(line);
    } else {
        code.reserve(line.size());
        for (char c : line) {
            if (c != '\n') code.push_back(c);
        }
    }
    const std::size_t at = text::FindSeq(code, "//");
    if (at == text::npos) return {std::move(code), std::string()};
    std::string comment = code.substr(at);
    code.resize(at);
    return {std::move(code), std::move(comment)};
}

std::pair<std::string, std::string> SplitHead(std::string_view text, std::size_t position)
{
    if (position == text::npos || position >= text.size()) return {std::string(text), std::string()};
    return {std::string(text.substr(0, position)), std::string(text.substr(position + 1))};
}

}  // namespace zok2

namespace zok2 {

namespace {

// Bit k set where p[k] is c, for the 16 bytes from p.
inline std::uint32_t MatchMask(const char* p, char c)
{
#if defined(__SSE2__)
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    return static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, _mm_set1_epi8(c))));
#else
    std::uint32_t mask = 0;
    for (int k = 0; k < 16; ++k) mask |= static_cast<std::uint32_t>(p[k] == c) << k;
    return mask;
#endif
}

// Set bits of a 16-bit mask (the baseline instruction set has no population count).
inline int CountBits(std::uint32_t mask)
{
    static constexpr auto kBits = [] {
        std::array<std::uint8_t, 256> bits{};
        for (int i = 0; i < 256; ++i) bits[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>((i & 1) + bits[static_cast<std::size_t>(i / 2)]);
        return bits;
    }();
    return kBits[mask & 0xFF] + kBits[(mask >> 8) & 0xFF];
}

// Most row-name files hold no comment and no over-long line: then every line is
// its label, and the file's text serves as the labels' text as it is. False
// (content untouched) sends the caller to the general reading. Sixteen bytes
// are tested at a time, without a branch per line.
bool PlainLines(std::string& content, TextList& labels)
{
    const char* const text = content.data();
    const std::size_t size = content.size();
    const std::size_t blocks = size / 16 * 16;
    std::size_t lineFeeds = 0;
    std::uint32_t slashes = 0;
    for (std::size_t i = 0; i < blocks; i += 16) {
        lineFeeds += static_cast<std::size_t>(CountBits(MatchMask(text + i, '\n')));
        slashes |= MatchMask(text + i, '/');
    }
    for (std::size_t i = blocks; i < size; ++i) {
        lineFeeds += text[i] == '\n';
        slashes |= text[i] == '/';
    }
    if (slashes != 0 && content.find("//") != std::string::npos) return false;

    // Where every line feed is; two slots to spare for the unconditional stores.
    std::vector<std::uint32_t> ends(lineFeeds + 2);
    std::uint32_t* out = ends.data();
    for (std::size_t i = 0; i < blocks; i += 16) {
        std::uint32_t mask = MatchMask(text + i, '\n');
        const int count = CountBits(mask);
        const auto at = static_cast<std::uint32_t>(i);
        out[0] = at + static_cast<std::uint32_t>(std::countr_zero(mask | 0x10000u));
        mask &= mask - 1;
        out[1] = at + static_cast<std::uint32_t>(std::countr_zero(mask | 0x10000u));
        for (int k = 2; k < count; ++k) {
            mask &= mask - 1;
            out[k] = at + static_cast<std::uint32_t>(std::countr_zero(mask));
        }
        out += count;
    }
    for (std::size_t i = blocks; i < size; ++i) {
        if (text[i] == '\n') *out++ = static_cast<std::uint32_t>(i);
    }
    const bool unterminated = size > 0 && text[size - 1] != '\n';
    const std::size_t lines = lineFeeds + (unterminated ? 1 : 0);
    ends.resize(lines);
    if (unterminated) ends[lines - 1] = static_cast<std::uint32_t>(size);

    // Each line from the byte after the previous line feed; CR LF is one line end.
    // A piece holds at most 499 bytes counting its line feed.
    std::vector<std::uint32_t> starts(lines);
    std::uint32_t start = 0;
    std::uint32_t longest = 0;
    for (std::size_t k = 0; k < lines; ++k) {
        const std::uint32_t end = ends[k];
        const bool lineFeed = end < size;
        starts[k] = start;
        longest = std::max(longest, end - start + (lineFeed ? 1u : 0u));
        ends[k] = end - (lineFeed && end > start && text[end - 1] == '\r' ? 1u : 0u);
        start = end + 1;
    }
    if (longest > text::kRowNameBuffer - 1) return false;
    ends.shrink_to_fit();
    labels = TextList::Adopt(std::move(content), std::move(starts), std::move(ends));
    return true;
}

}  // namespace

TextList RowLabelsOf(std::string content)
{
    TextList labels;
    if (!PlainLines(content, labels)) {
        for (std::string_view piece : text::LinePieces(content, text::kRowNameBuffer)) labels.push_back(StripComment(piece).first);
        labels.shrink_to_fit();
    }
    return labels;
}

}  // namespace zok2
