#pragma once
// The two text routines shared by every reader of definition files.
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "text/SjisText.h"
#include "text/TextList.h"

namespace zok2 {

// (code, comment): LF characters removed, then split at the first "//";
// the comment keeps its "//".
std::pair<std::string, std::string> StripComment(std::string_view line);

// (piece, rest) around the separator at `position` (dropped), or (text, "")
// when position is npos.
std::pair<std::string, std::string> SplitHead(std::string_view text, std::size_t position);

// SplitHead at the first `separator` character of text.
inline std::pair<std::string, std::string> SplitAtFirst(std::string_view text, char separator)
{
    return SplitHead(text, text::FindChar(text, separator));
}

}  // namespace zok2

namespace zok2 {

// The row labels of a row-name file: one per line piece of at most 499 bytes,
// each without its comment.
TextList RowLabelsOf(std::string content);

}  // namespace zok2
