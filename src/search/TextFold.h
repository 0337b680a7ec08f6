#pragma once
// Texts as a user compares them when searching: Shift-JIS characters turned into
// codes in which the forms a user reads as the same letter are one code.
// - ASCII letters without case (a and A);
// - full-width letters, digits, the full-width space, plus and minus as their
//   ASCII forms (Ａ and A, ０ and 0);
// - half-width katakana as full-width katakana, a voiced or semi-voiced mark
//   joined to the kana before it (ｶ and カ, ｶﾞ and ガ, ﾊﾟ and パ).
// Hiragana and katakana stay apart, as do kanji and every other character.
#include <cstdint>
#include <string_view>
#include <vector>

namespace zok2::search {

using FoldedText = std::vector<std::uint16_t>;

// Appends the folded codes of a Shift-JIS text to `out`.
void AppendFolded(std::string_view sjis, FoldedText& out);
FoldedText Fold(std::string_view sjis);

// Whether `text` holds `pattern` (whole: equals it). An empty pattern matches nothing.
bool Contains(const FoldedText& text, const FoldedText& pattern, bool whole);

}  // namespace zok2::search
