#pragma once
// Compressed sections: a pointer table into token-stream blocks that copy from
// a dictionary in the same file, expanded into fixed-length records.
#include <cstdint>
#include <string>

#include "binary/ByteSource.h"
#include "binary/ValueTable.h"
#include "definitions/ColumnDefinition.h"

namespace zok2 {

// File offset of a banked 16-bit pointer: for banks 0x80 to 0xFF this is
// a + (bank - 0x80) * 0x8000 - 0x8000. Negative results lie before the file.
std::int64_t BankedPointerToOffset(std::int32_t a, std::int32_t bank);

// Blocks whose length field announces more than this many bytes are skipped.
constexpr std::uint32_t kMaxBlockLength = 10000;

struct DecodedSection {
    ValueTable values;
    TextList labels;  // the block's label on its first row, "" on the others
    std::int64_t extent = 0;  // one past the last file byte the decoding read (its data lie before)
};

// Expands the blocks of a section with compression record `record` (method "1"
// and exactly four parameters; anything else gives no rows). The columns
// describe one record: a column's offset in it is its address minus the
// address correction K. Decoding stops at a pointer-table entry that does not
// lie wholly in the file, and never produces more than a fixed multiple of the
// file's size, so a hostile count cannot exhaust the memory.
DecodedSection DecodeBlocks(const StringList& record, const Section& columns, const TextList& blockLabels,
                            std::uint32_t K, ByteSource& file);

}  // namespace zok2
