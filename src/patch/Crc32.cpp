#include "patch/Crc32.h"

#include <array>

namespace zok2::patch {

namespace {

// Four tables, so four bytes are folded in at a time ("slicing by four").
std::array<std::array<std::uint32_t, 256>, 4> MakeTables()
{
    std::array<std::array<std::uint32_t, 256>, 4> tables{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t c = i;
        for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        tables[0][i] = c;
    }
    for (std::uint32_t i = 0; i < 256; ++i) {
        for (int t = 1; t < 4; ++t) tables[t][i] = (tables[t - 1][i] >> 8) ^ tables[0][tables[t - 1][i] & 0xFF];
    }
    return tables;
}

}  // namespace

std::uint32_t Crc32(std::string_view bytes)
{
    static const auto tables = MakeTables();
    std::uint32_t crc = 0xFFFFFFFFu;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    std::size_t n = bytes.size();
    while (n >= 4) {
        crc ^= static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) | (static_cast<std::uint32_t>(p[2]) << 16) |
               (static_cast<std::uint32_t>(p[3]) << 24);
        crc = tables[3][crc & 0xFF] ^ tables[2][(crc >> 8) & 0xFF] ^ tables[1][(crc >> 16) & 0xFF] ^ tables[0][crc >> 24];
        p += 4;
        n -= 4;
    }
    while (n-- > 0) crc = tables[0][(crc ^ *p++) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

}  // namespace zok2::patch
