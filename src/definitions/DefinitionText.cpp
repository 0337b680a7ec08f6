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
// its label, found with one scan for line feeds. False sends the caller to the
// general reading.
bool PlainLines(std::string_view content, TextList& labels)
{
    if (content.find("//") != std::string_view::npos) return false;
    const char* const begin = content.data();
    const char* const end = begin + content.size();
    for (const char* p = begin; p < end;) {
        const char* lf = p;
        while (lf < end && *lf != '\n') ++lf;  // lines are short: a plain loop beats a call per line
        if (lf == end) lf = nullptr;
        const char* lineEnd = lf ? lf : end;
        const char* textEnd = lf && lineEnd > p && lineEnd[-1] == '\r' ? lineEnd - 1 : lineEnd;
        // A piece holds at most 499 bytes counting its line feed.
        if (textEnd - p + (lf ? 1 : 0) > static_cast<std::ptrdiff_t>(text::kRowNameBuffer - 1)) return false;
        labels.push_back(std::string_view(p, static_cast<std::size_t>(textEnd - p)));
        p = lf ? lf + 1 : end;
    }
    return true;
}

}  // namespace

TextList RowLabelsOf(std::string_view content)
{
    TextList labels;
    labels.reserve(static_cast<std::size_t>(std::count(content.begin(), content.end(), '\n')) + 1, content.size());
    if (!PlainLines(content, labels)) {
        labels = TextList();
        for (std::string_view piece : text::LinePieces(content, text::kRowNameBuffer)) labels.push_back(StripComment(piece).first);
    }
    labels.shrink_to_fit();
    return labels;
}

}  // namespace zok2
