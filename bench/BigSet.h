#pragma once
// A large definition set and binary for the benchmarks: 64 sections of 2,000
// rows and 8 columns each (about one million cells) on a 16 MiB binary, plus a
// compressed section of 2,100 rows.
#include <string>

namespace zok2::bench {

struct BigSet {
    std::string root;        // program folder (ends with "/"), holds Settings/big/ and zok2.ini
    std::string binaryPath;  // the 16 MiB binary
    std::string setFolder;   // root + "Settings/big/"
};

constexpr int kSections = 64;
constexpr int kRows = 2000;
constexpr int kColumns = 8;
constexpr int kCompressedBlocks = 21;
constexpr int kRowsPerBlock = 100;

// Builds the set once per process (in a temporary folder) and returns it.
const BigSet& GetBigSet();

}  // namespace zok2::bench
