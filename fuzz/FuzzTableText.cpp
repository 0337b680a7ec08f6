// libFuzzer target: an input read as a TSV, a CSV and a JSON table; what a
// reader takes must read back the same after the matching writer wrote it.
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
    zok2::exchange::ReadTsv(text, &rows, &reason);
    return 0;
}
