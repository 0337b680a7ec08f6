#include "text/LineReader.h"

#include "text/SjisText.h"

namespace zok2::text {

std::vector<std::string> SplitLinePieces(std::string_view content, std::size_t bufferSize)
{
    // Text mode: CR LF becomes LF, a lone CR stays.
    std::string text;
    text.reserve(content.size());
    for (std::size_t i = 0; i < content.size(); ++i) {
        if (content[i] == '\r' && i + 1 < content.size() && content[i + 1] == '\n') continue;
        text.push_back(content[i]);
    }

    const std::size_t maxPiece = bufferSize - 1;
    std::vector<std::string> pieces;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t i = pos;
        bool sawLineFeed = false;
        while (i < text.size() && i - pos < maxPiece) {
            std::size_t n = CharLength(text, i);
            if (text[i] == '\n') {
                ++i;
                sawLineFeed = true;
                break;
            }
            if (i - pos + n > maxPiece) break;  // a double-byte character that would be cut
            i += n;
        }
        if (!sawLineFeed && i == pos) i = pos + 1;  // cannot happen with maxPiece >= 2; guards progress
        pieces.emplace_back(text.substr(pos, i - pos));
        pos = i;
    }
    return pieces;
}

}  // namespace zok2::text
