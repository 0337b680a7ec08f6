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

// How the file on disk differs from the one that was opened.
enum class DiskChange { None, Changed, Replaced, Shrank, Deleted };
struct DiskState {
    DiskChange change = DiskChange::None;
    // Every cell a save would write still lies in the file (false when it is gone).
    bool cellsInFile = true;
};
// Compares the file at path with the one opened (its identity) and, while it is
// the same file, the bytes under every cell of `regions` with the values read at
// the open: a save may patch the file only when nothing of it changed.
DiskState CheckFileOnDisk(const std::string& path, const fs::FileIdentity& opened, const std::vector<EditRegion>& regions,
                          const std::vector<std::vector<ColumnLayout>>& layouts, const std::vector<ValueTable>& valuesAsRead);

// Whether every byte of row r's value lies in a file of `size` bytes.
bool CellInFile(const ColumnLayout& layout, std::int64_t row, std::int64_t size);

}  // namespace zok2
