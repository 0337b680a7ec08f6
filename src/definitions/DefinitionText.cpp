#include "definitions/DefinitionText.h"

#include "text/SjisText.h"

namespace zok2 {

std::pair<std::string, std::string> StripComment(std::string_view line)
{
    std::string code;
    code.reserve(line.size());
    for (char c : line) {
        if (c != '\n') code.push_back(c);
    }
    std::size_t at = text::FindSeq(code, "//");
    if (at == text::npos) return {code, std::string()};
    return {code.substr(0, at), code.substr(at)};
}

std::pair<std::string, std::string> SplitHead(std::string_view text, std::size_t position)
{
    if (position == text::npos || position >= text.size()) return {std::string(text), std::string()};
    return {std::string(text.substr(0, position)), std::string(text.substr(position + 1))};
}

}  // namespace zok2
