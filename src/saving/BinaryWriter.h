#pragma once
// Patching values into the binary by their layouts.
#include <cstdint>
#include <string>
#include <vector>

#include "binary/CellLayout.h"
#include "binary/ValueTable.h"
#include "document/EditRecord.h"
#include "framework/File.h"

namespace zok2 {

// Writes, region after region and in each region row after row, every cell that
// holds data and lies wholly in the file: byte columns write their bytes (a
// masked column only its mask's bits), bit columns their bit, leaving the other
// bits of the byte as they are. Sections without layouts (compressed ones) are
// skipped. Only the bytes written are changed; false (with the reason) when the
// file could not be read or written.
bool PatchRegions(fs::File& file, const std::vector<EditRegion>& regions,
                  const std::vector<std::vector<ColumnLayout>>& layouts, const std::vector<ValueTable>& values,
                  std::string* reason);

// Whether every byte of row r's value lies in a file of `size` bytes.
bool CellInFile(const ColumnLayout& layout, std::int64_t row, std::int64_t size);

}  // namespace zok2
