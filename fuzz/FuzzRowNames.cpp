// libFuzzer target: a row-name file read as the open reads it. The quick path
// for plain files must give the labels the general reader (line pieces of at
// most 499 bytes, each without its comment) gives.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "definitions/DefinitionText.h"
#include "text/LineReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string content(reinterpret_cast<const char*>(data), size);
    const zok2::TextList labels = zok2::RowLabelsOf(content);
    std::size_t i = 0;
    for (std::string_view piece : zok2::text::LinePieces(content, zok2::text::kRowNameBuffer)) {
        if (i >= labels.size() || labels[i] != zok2::StripComment(piece).first) std::abort();
        ++i;
    }
    if (i != labels.size()) std::abort();
    return 0;
}
