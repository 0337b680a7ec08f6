#pragma once
// Where a cell's value lies in the binary: the one place for the three storage
// kinds, used by the loader and the writer alike.
#include <cstdint>

#include "definitions/ColumnDefinition.h"

namespace zok2 {

struct ColumnLayout {
    enum class Kind { Bytes, Bit, PackedBit };

    explicit ColumnLayout(const ColumnDefinition& d);

    Kind kind;
    std::uint32_t address;   // hexadecimal `address` (correction already added)
    std::uint32_t stride;    // byte distance (Bytes, Bit)
    std::int64_t bitStride;  // bit distance (PackedBit)
    int bit;                 // bit number (Bit, PackedBit)
    int byteCount;           // 1 to 4 (Bytes)
    bool masked;             // a mask limit ".hh" applies (Bytes)
    std::uint32_t mask;
    std::int64_t rowCount;   // rows that hold data

    // Byte offset of row r's value (its first byte); for PackedBit the byte that
    // holds its bit. Negative means the value has no place in the file.
    std::int64_t Offset(std::int64_t row) const
    {
        if (kind == Kind::PackedBit) {
            const std::int64_t position = bit + bitStride * row;
            return position < 0 ? -1 : static_cast<std::int64_t>(address) + position / 8;
        }
        return static_cast<std::int64_t>(address) + static_cast<std::int64_t>(stride) * row;
    }
    // Bit number within the byte at Offset (Bit, PackedBit).
    int BitIn(std::int64_t row) const
    {
        if (kind != Kind::PackedBit) return bit;
        const std::int64_t position = bit + bitStride * row;
        return position < 0 ? 0 : static_cast<int>(position % 8);
    }
};

}  // namespace zok2
