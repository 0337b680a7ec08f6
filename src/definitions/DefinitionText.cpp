#include "definitions/DefinitionText.h"

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

TextList RowLabelsOf(std::string_view content)
{
    TextList labels;
    const text::LinePieces pieces(content, text::kRowNameBuffer);
    labels.reserve(pieces.size(), content.size());
    const bool comments = content.find("//") != std::string_view::npos;
    for (std::string_view piece : pieces) {
        // Most files hold no comment at all: then every piece is its label.
        if (!comments) {
            labels.push_back(piece);
        } else {
            labels.push_back(StripComment(piece).first);
        }
    }
    labels.shrink_to_fit();
    return labels;
}

}  // namespace zok2
