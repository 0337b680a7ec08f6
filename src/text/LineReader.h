#pragma once
// Text-mode line reading as the definition files have always been read:
// a CR LF pair is one line end, and a line comes in pieces like fgets with a
// fixed buffer, so an over-long physical line continues as further lines.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace zok2::text {

constexpr std::size_t kRowNameBuffer = 500;   // row-name files: pieces of at most 499 bytes
constexpr std::size_t kColumnBuffer = 5000;   // column files: pieces of at most 4999 bytes

// Splits file content into line pieces. Each piece keeps its LF when it had one.
// A piece never ends between the two bytes of a double-byte character: such a
// piece ends one byte early, so a trail byte is never read as a separator.
std::vector<std::string> SplitLinePieces(std::string_view content, std::size_t bufferSize);

}  // namespace zok2::text
