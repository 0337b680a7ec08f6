#pragma once
// Large definition sets and binaries for the benchmarks, built once per process
// in a temporary folder.
#include <string>
#include <vector>

namespace zok2 {
class CZOKDoc;
}

namespace zok2::bench {

struct BigSet {
    std::string root;        // program folder (ends with "/"), holds Settings/<mode>/ and zok2.ini
    std::string binaryPath;
    std::string setFolder;   // root + "Settings/<mode>/"
    std::vector<std::pair<long long, long long>> compressedBytes;  // file ranges the compressed section reads
};

// `sections` sections of `rows` rows and 8 columns each (bytes of sizes 1 to 4,
// a bit, a mask, a list, packed bits) plus a compressed section of 2,100 rows.
// 64 x 2,000 is about one million cells; 64 x 32,000 about sixteen million.
const BigSet& GetBigSet(int sections = 64, int rows = 2000);
// One section of `rows` one-byte cells, for pastes of a million lines.
const BigSet& GetTallSet(int rows);
// `count` definitions of one column each, the files named in capitals
// ("NAME.IDN", "NAME.INI") as a set copied from Windows has them, or in lower case.
const BigSet& GetManyDefinitions(int count, bool capitals);

// The first table's own export with every text changed (its last digit's lowest
// bit flipped, so each keeps its column's form and limits): an import of it
// stores every cell.
std::string ChangedExport(const CZOKDoc& doc);

}  // namespace zok2::bench
