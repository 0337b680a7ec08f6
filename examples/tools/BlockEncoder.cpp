#include "BlockEncoder.h"

#include <algorithm>

namespace zok2::tools {

Bytes EncodeBlock(const Bytes& data, const Bytes& dictionary)
{
    Bytes block;
    const std::uint32_t n = static_cast<std::uint32_t>(data.size()) + 1;
    block.push_back(static_cast<std::uint8_t>(n));
    block.push_back(static_cast<std::uint8_t>(n >> 8));
    const std::size_t window = std::min<std::size_t>(dictionary.size(), 4096);

    std::size_t pos = 0;
    std::size_t flagAt = 0;
    int tokensInGroup = 8;
    while (pos < data.size()) {
        if (tokensInGroup == 8) {
            flagAt = block.size();
            block.push_back(0);
            tokensInGroup = 0;
        }
        std::size_t bestLength = 0, bestOffset = 0;
        for (std::size_t off = 0; off < window; ++off) {
            std::size_t length = 0;
            while (length < 18 && off + length < window && pos + length < data.size() &&
                   dictionary[off + length] == data[pos + length]) {
                ++length;
            }
            if (length > bestLength) {
                bestLength = length;
                bestOffset = off;
            }
        }
        if (bestLength >= 3) {
            block.push_back(static_cast<std::uint8_t>(((bestLength - 3) << 4) | (bestOffset >> 8)));
            block.push_back(static_cast<std::uint8_t>(bestOffset & 0xFF));
            pos += bestLength;
        } else {
            block[flagAt] |= static_cast<std::uint8_t>(0x80 >> tokensInGroup);
            block.push_back(data[pos++]);
        }
        ++tokensInGroup;
    }
    return block;
}

std::uint16_t PointerFor(std::int64_t offset, std::uint8_t bank, std::uint32_t correction)
{
    const std::int64_t a = offset - (static_cast<std::int64_t>(bank) - 0x80) * 0x8000 + 0x8000;
    return static_cast<std::uint16_t>(a - correction);
}

void PutLittleEndian(Bytes& file, std::size_t offset, std::uint32_t value, int byteCount)
{
    if (file.size() < offset + static_cast<std::size_t>(byteCount)) file.resize(offset + static_cast<std::size_t>(byteCount));
    for (int i = 0; i < byteCount; ++i) file[offset + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
}

}  // namespace zok2::tools
