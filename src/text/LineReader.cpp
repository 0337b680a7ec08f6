#include "text/LineReader.h"

#include <algorithm>
#include <cstring>

#include "text/SjisText.h"

namespace zok2::text {

LinePieces::LinePieces(std::string_view content, std::size_t bufferSize)
{
    const std::size_t maxPiece = bufferSize - 1;
    std::size_t pos = 0;
    while (pos < content.size()) {
        // Look one byte further than a piece holds: the CR of a CR LF pair does not count.
        const std::size_t reach = std::min(maxPiece + 1, content.size() - pos);
        const void* found = std::memchr(content.data() + pos, '\n', reach);
        if (found) {
            const std::size_t lineFeed = static_cast<std::size_t>(static_cast<const char*>(found) - content.data());
            std::size_t textEnd = lineFeed;
            if (textEnd > pos && content[textEnd - 1] == '\r') --textEnd;
            if (textEnd - pos + 1 <= maxPiece) {  // the text and its LF fit, like fgets
                m_pieces.push_back(content.substr(pos, textEnd - pos));
                pos = lineFeed + 1;
                continue;
            }
        } else if (content.size() - pos <= maxPiece) {
            m_pieces.push_back(content.substr(pos));  // the last line, without a line end
            break;
        }
        // The buffer is full: cut after maxPiece bytes, but not inside a double-byte character.
        std::size_t i = pos;
        while (i < pos + maxPiece) {
            const std::size_t n = CharLength(content, i);
            if (i + n > pos + maxPiece) break;
            i += n;
        }
        if (i == pos) i = pos + maxPiece;
        m_pieces.push_back(content.substr(pos, i - pos));
        pos = i;
    }
}

}  // namespace zok2::text
