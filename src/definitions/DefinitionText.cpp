#include "definitions/DefinitionText.h"

#include <algorithm>
#include <cstring>

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

// Most row-name files hold no comment and no over-long line: then every line is
// its label, and the file's text serves as the labels' text as it is. False
// sends the caller to the general reading.
bool PlainLines(std::string_view content, TextList& labels)
{
    if (content.find("//") != std::string_view::npos) return false;
    const std::size_t lines = content.size() / 8 + 1;  // a guess: labels are short
    std::vector<std::uint32_t> starts, ends;
    starts.reserve(lines);
    ends.reserve(lines);
    const char* const begin = content.data();
    const std::size_t size = content.size();
    for (std::size_t pos = 0; pos < size;) {
        const void* found = std::memchr(begin + pos, '\n', size - pos);
        const std::size_t lf = found ? static_cast<std::size_t>(static_cast<const char*>(found) - begin) : size;
        std::size_t textEnd = lf;
        if (found && lf > pos && begin[lf - 1] == '\r') --textEnd;  // CR LF is one line end
        // A piece holds at most 499 bytes counting its line feed.
        if (textEnd - pos + (found ? 1 : 0) > text::kRowNameBuffer - 1) return false;
        starts.push_back(static_cast<std::uint32_t>(pos));
        ends.push_back(static_cast<std::uint32_t>(textEnd));
        pos = lf + 1;
    }
    starts.shrink_to_fit();
    ends.shrink_to_fit();
    labels = TextList::Adopt(std::string(content), std::move(starts), std::move(ends));
    return true;
}

}  // namespace

TextList RowLabelsOf(std::string_view content)
{
    TextList labels;
    if (!PlainLines(content, labels)) {
        for (std::string_view piece : text::LinePieces(content, text::kRowNameBuffer)) labels.push_back(StripComment(piece).first);
        labels.shrink_to_fit();
    }
    return labels;
}

}  // namespace zok2
