#pragma once
// The journal of unsaved edits as it lies on disk: what identifies the binary
// and the definition set it was read with, then one record a change (a
// rectangle of cells, the values it took and the file's bytes under its cells
// as they were). Every record carries its length and its CRC-32, so a journal
// cut short by a crash or a power cut reads up to its last whole record and
// never past a damaged one.
//
//   "ZOK2JNL1"                                    8 bytes, once
//   record   u32 length, u32 CRC-32 of the payload, the payload (length bytes)
//   payload  u8 kind, then
//     1 start   str binary, i64 size, i64 modified (ns), str set, u64 set fingerprint, i64 started (ms)
//     2 change  i64 when (ms), i32 section, i32 first column, i32 last column,
//               i32 first row, i32 last row (grid coordinates: 1 is the first
//               data column and row), u32 n, n x u32 values (row by row),
//               u32 m, m x (i64 offset, u8 length 1 to 4, the bytes)
//   str      u32 length, the bytes; every integer little-endian
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zok2::journal {

inline constexpr std::string_view kMagic = "ZOK2JNL1";

struct Start {
    std::string binaryPath;           // absolute, as the file system spells it
    std::int64_t size = 0;            // the binary's size and modification time when it was opened
    std::int64_t modifiedNs = 0;
    std::string setFolder;            // the definition set's folder
    std::uint64_t setFingerprint = 0; // of every file of the set, as it read them
    std::int64_t startedMs = 0;       // the first edit, milliseconds since 1970
    bool operator==(const Start&) const = default;
};

struct Region {
    int section = 0, firstColumn = 1, lastColumn = 1, firstRow = 1, lastRow = 1;
    std::int64_t Cells() const
    {
        return static_cast<std::int64_t>(lastColumn - firstColumn + 1) * (lastRow - firstRow + 1);
    }
    bool operator==(const Region&) const = default;
};

// The file's bytes under a cell before any edit (what the edit was made against).
struct ByteCheck {
    std::int64_t offset = 0;
    std::string bytes;  // 1 to 4
    bool operator==(const ByteCheck&) const = default;
};

struct Change {
    std::int64_t whenMs = 0;
    Region region;
    std::vector<std::uint32_t> values;  // the rectangle's values after the change, row by row
    std::vector<ByteCheck> checks;
    bool operator==(const Change&) const = default;
};

std::string EncodeStart(const Start& start);  // the magic and the start record
std::string EncodeChange(const Change& change);

struct Contents {
    bool readable = false;
    std::string problem;        // why it is not (the journal's words, in English)
    Start start;
    std::vector<Change> changes;
    std::int64_t wholeBytes = 0;  // the bytes up to the end of the last whole record
    bool cutShort = false;        // bytes after it (a record cut off or damaged)
};
// Reads every whole record; a journal without its magic or its start record is not readable.
Contents Decode(std::string_view file);

// FNV-1a, 64 bits: the set's fingerprint and the journal's name.
std::uint64_t Fingerprint(std::string_view bytes, std::uint64_t previous = 0xcbf29ce484222325ULL);
// The journal's file name for a binary's absolute path ("<16 hex digits>.journal").
std::string JournalName(const std::string& binaryPath);

}  // namespace zok2::journal
