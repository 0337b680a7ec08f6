#pragma once
// A column definition: the eleven normalised texts of one accepted column-file line.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "text/TextList.h"

namespace zok2 {

enum class ColumnField : int {
    comment = 0,
    address = 1,
    caption = 2,
    size = 3,
    stride = 4,
    rowCount = 5,
    radix = 6,
    limit = 7,
    width = 8,
    description = 9,
    listIndex = 10,
};

constexpr int kColumnFieldCount = 11;

struct ColumnDefinition {
    std::array<std::string, kColumnFieldCount> fields;

    std::string& operator[](ColumnField f) { return fields[static_cast<std::size_t>(f)]; }
    const std::string& operator[](ColumnField f) const { return fields[static_cast<std::size_t>(f)]; }
    bool operator==(const ColumnDefinition&) const = default;

    // A single-bit column: its size is ".b".
    bool HasBitSize() const { return !(*this)[ColumnField::size].empty() && (*this)[ColumnField::size][0] == '.'; }
    // A packed-bit column's stride is ".s", a bit distance.
    bool HasBitStride() const { return !(*this)[ColumnField::stride].empty() && (*this)[ColumnField::stride][0] == '.'; }
    // Bytes a value occupies: 1 for a bit column, otherwise the decimal size.
    int ByteSize() const;
    // Bit number of a bit column (the decimal value after the dot).
    int BitNumber() const;
};

using Section = std::vector<ColumnDefinition>;
using StringList = std::vector<std::string>;

}  // namespace zok2
