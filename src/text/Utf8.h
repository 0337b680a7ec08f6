#pragma once
// Checking that a text from outside is UTF-8 before it is converted.
#include <cstddef>
#include <string_view>

namespace zok2::text {

// Where the first byte lies that is not part of well-formed UTF-8 (overlong
// forms, surrogates and code points past U+10FFFF included), or npos.
std::size_t FirstInvalidUtf8(std::string_view text);

// The 1-based line (counted at line feeds) of the byte at `offset`.
std::size_t LineOfOffset(std::string_view text, std::size_t offset);

}  // namespace zok2::text
