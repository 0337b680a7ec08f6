#include "definitions/ColumnDefinition.h"

#include "text/SjisText.h"

namespace zok2 {

int ColumnDefinition::ByteSize() const
{
    if (HasBitSize()) return 1;
    return text::ReadDec((*this)[ColumnField::size]);
}

int ColumnDefinition::BitNumber() const
{
    const std::string& size = (*this)[ColumnField::size];
    return size.empty() ? 0 : text::ReadDec(std::string_view(size).substr(1));
}

}  // namespace zok2
