#include "binary/CellLayout.h"

#include "text/SjisText.h"

namespace zok2 {

ColumnLayout::ColumnLayout(const ColumnDefinition& d)
    : kind(Kind::Bytes),
      address(text::ReadHex(d[ColumnField::address])),
      stride(0),
      bitStride(0),
      bit(0),
      byteCount(1),
      masked(false),
      mask(0xFFFFFFFFu),
      rowCount(text::ReadDec(d[ColumnField::rowCount]))
{
    if (d.HasBitSize()) {
        bit = d.BitNumber();
        if (d.HasBitStride()) {
            kind = Kind::PackedBit;
            bitStride = text::ReadDec(std::string_view(d[ColumnField::stride]).substr(1));
        } else {
            kind = Kind::Bit;
            stride = text::ReadHex(d[ColumnField::stride]);
        }
    } else {
        kind = Kind::Bytes;
        stride = text::ReadHex(d[ColumnField::stride]);
        byteCount = d.ByteSize();
        if (byteCount < 1) byteCount = 1;
        if (byteCount > 4) byteCount = 4;
        const std::string& limit = d[ColumnField::limit];
        if (!limit.empty() && limit[0] == '.') {
            masked = true;
            mask = text::ReadHex(std::string_view(limit).substr(1));
        }
    }
}

}  // namespace zok2
