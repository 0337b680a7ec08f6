#pragma once
// Text-mode line reading as the definition files have always been read:
// a CR LF pair is one line end, and a line comes in pieces like fgets with a
// fixed buffer, so an over-long physical line continues as further lines.
#include <cstddef>
#include <string_view>
#include <vector>

namespace zok2::text {

constexpr std::size_t kRowNameBuffer = 500;   // row-name files: pieces of at most 499 bytes
constexpr std::size_t kColumnBuffer = 5000;   // column files: pieces of at most 4999 bytes

// The line pieces of a file's content, as views into it without their line end
// (the LF, or the CR LF pair that text mode reads as one LF). A piece holds at
// most bufferSize - 1 bytes counting its LF. A piece never ends between the two
// bytes of a double-byte character: such a piece ends one byte early, so a trail
// byte is never read as a separator.
class LinePieces {
public:
    LinePieces(std::string_view content, std::size_t bufferSize);
    auto begin() const { return m_pieces.begin(); }
    auto end() const { return m_pieces.end(); }
    std::size_t size() const { return m_pieces.size(); }

private:
    std::vector<std::string_view> m_pieces;
};

}  // namespace zok2::text
