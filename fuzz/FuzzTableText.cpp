// libFuzzer target: an input read as a TSV, a CSV and a JSON table; what a
// reader takes must read back the same after the matching writer wrote it, and
// the TSV reader (sixteen bytes at a time) must split a text without quotes as
// a plain loop does.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "exchange/TableText.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    zok2::exchange::Rows rows, again;
    std::string reason;
    if (zok2::exchange::ReadCsv(text, &rows, &reason)) {
        if (!zok2::exchange::ReadCsv(zok2::exchange::WriteCsv(rows), &again, &reason) || again != rows) std::abort();
    }
    if (zok2::exchange::ReadJson(text, &rows, &reason) && !rows.empty() && rows.size() > 1) {
        if (!zok2::exchange::ReadJson(zok2::exchange::WriteJson(rows), &again, &reason) || again != rows) std::abort();
    }
    const bool tsvRead = zok2::exchange::ReadTsv(text, &rows, &reason);
    std::string_view rest = text.substr(0, 3) == "\xEF\xBB\xBF" ? text.substr(3) : text;
    if (rest.find('"') != std::string_view::npos) {
        // Quoted cells: what was read comes back the same after the writer quoted it.
        if (tsvRead && (!zok2::exchange::ReadTsv(zok2::exchange::WriteTsv(rows), &again, &reason) || again != rows)) std::abort();
        return 0;
    }
    // Without quotes, the plain way: lines at line feeds (a closing CR dropped), cells at tabs.
    if (!tsvRead) std::abort();
    zok2::exchange::Rows plain;
    while (!rest.empty()) {
        const std::size_t end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        plain.StartRow();
        for (;;) {
            const std::size_t tab = line.find('\t');
            plain.AddCell(line.substr(0, tab));
            if (tab == std::string_view::npos) break;
            line.remove_prefix(tab + 1);
        }
    }
    if (!(plain == rows)) std::abort();
    return 0;
}
