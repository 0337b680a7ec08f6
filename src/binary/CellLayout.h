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
    // Number of file bytes a value covers.
    int SpanBytes() const { return kind == Kind::Bytes ? byteCount : 1; }
    // The bits of byte i (0 to SpanBytes() - 1) of row r's value that belong to the cell.
    std::uint8_t ByteMask(std::int64_t row, int i) const
    {
        if (kind != Kind::Bytes) return static_cast<std::uint8_t>(1u << BitIn(row));
        return masked ? static_cast<std::uint8_t>(mask >> (8 * i)) : 0xFF;
    }
    // Byte i of the file image of value v (only the cell's own bits are meaningful).
    std::uint8_t ByteOfValue(std::int64_t row, std::uint32_t v, int i) const
    {
        if (kind != Kind::Bytes) return static_cast<std::uint8_t>((v & 1u) << BitIn(row));
        return static_cast<std::uint8_t>(v >> (8 * i));
    }
    // v with byte i of its file image replaced in the bits of `bits`.
    std::uint32_t WithByte(std::int64_t row, std::uint32_t v, int i, std::uint8_t bits, std::uint8_t byte) const
    {
        if (kind != Kind::Bytes) return (bits >> BitIn(row)) & 1u ? (byte >> BitIn(row)) & 1u : v;
        const std::uint32_t field = static_cast<std::uint32_t>(bits) << (8 * i);
        return (v & ~field) | ((static_cast<std::uint32_t>(byte) << (8 * i)) & field);
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
