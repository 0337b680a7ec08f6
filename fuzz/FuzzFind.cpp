// libFuzzer target: find on the bundled sample with a text from the input (its
// first byte chooses whole text, value only, where to look). The model is what
// the user sees: a text that does not read as a number finds exactly the cells,
// labels and captions whose shown text holds it (folded as the search folds);
// one that reads as a number finds at least those. The number reader is checked
// against a plain reading of the same forms.
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>

#include "FuzzSupport.h"
#include "document/CZOKDoc.h"
#include "framework/AppPath.h"
#include "search/CellSearch.h"
#include "search/TextFold.h"

namespace {

using zok2::search::SearchHit;

// "0x" and 1 to 8 hexadecimal digits, or a sign and 1 to 10 decimal digits up to 0xFFFFFFFF.
bool ReadsAsNumber(const std::string& text)
{
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        return text.size() <= 10 && text.find_first_not_of("0123456789abcdefABCDEF", 2) == std::string::npos;
    }
    const std::size_t start = !text.empty() && (text[0] == '-' || text[0] == '+') ? 1 : 0;
    if (start >= text.size() || text.size() - start > 10 || text.find_first_not_of("0123456789", start) != std::string::npos) return false;
    return std::stoull(text.substr(start)) <= 0xFFFFFFFFull;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1 || size > 64) return 0;
    static zok2::CZOKDoc* doc = nullptr;
    if (!doc) {
        zok2::SetProgramPath(zok2::fuzz::SampleRoot() + "zok2");
        doc = new zok2::CZOKDoc;
        if (!doc->OnOpenDocument(zok2::fuzz::SampleRoot() + "sample.dat")) std::abort();
    }
    const std::uint8_t flags = data[0];
    zok2::search::SearchQuery query;
    query.text.assign(reinterpret_cast<const char*>(data + 1), size - 1);
    query.whole = flags & 1;
    query.valueOnly = flags & 2;
    query.labels = !(flags & 4);
    query.captions = !(flags & 8);
    if (zok2::search::ReadSearchNumber(query.text).has_value() != ReadsAsNumber(query.text)) std::abort();

    // The search reads the number from the text as folded (full-width digits are digits).
    const zok2::search::FoldedText folded = zok2::search::Fold(query.text);
    std::string ascii;
    for (std::uint16_t c : folded) ascii.push_back(c < 0x80 ? static_cast<char>(c) : '\x7F');
    const bool number = ReadsAsNumber(ascii);
    const zok2::search::CellSearch search(*doc, query);
    std::set<std::tuple<int, int, int>> found;
    if (search.IsValid()) {
        for (const SearchHit& hit : search.All(1000000)) found.insert({hit.section, hit.row, hit.column});
    }
    if (query.valueOnly || !search.IsValid()) return 0;
    const zok2::search::FoldedText pattern = zok2::search::Fold(query.text);
    auto holds = [&](const std::string& shown) { return zok2::search::Contains(zok2::search::Fold(shown), pattern, query.whole); };
    for (int section : search.Sections()) {
        const auto& columns = doc->sections[static_cast<std::size_t>(section)];
        const int rows = static_cast<int>(doc->RowLabels(section).size());
        for (int c = 1; c <= static_cast<int>(columns.size()); ++c) {
            const bool expected = query.captions && holds(columns[static_cast<std::size_t>(c - 1)][zok2::ColumnField::caption]);
            if (expected != found.count({section, 0, c}) > 0) std::abort();
        }
        for (int r = 1; r <= rows; ++r) {
            const bool expected = query.labels && holds(std::string(doc->RowLabels(section)[static_cast<std::size_t>(r - 1)]));
            if (expected != found.count({section, r, 0}) > 0) std::abort();
            for (int c = 1; c <= static_cast<int>(columns.size()); ++c) {
                if (!doc->HasData(section, c - 1, r - 1)) {
                    if (found.count({section, r, c})) std::abort();  // "--" shows nothing to find
                    continue;
                }
                const bool shows = holds(doc->DisplayText(section, c - 1, r - 1));
                const bool hit = found.count({section, r, c}) > 0;
                // A number may find a cell by its value as well; any other text only by what it shows.
                if (number ? (shows && !hit) : (shows != hit)) std::abort();
            }
        }
    }
    return 0;
}
