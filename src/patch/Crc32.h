#pragma once
// CRC-32 as zlib, PNG and the BPS format compute it (polynomial 0xEDB88320,
// reflected, starting from and finished with all ones).
#include <cstdint>
#include <string_view>

namespace zok2::patch {

std::uint32_t Crc32(std::string_view bytes);
// The CRC-32 of what gave `previous` followed by `bytes` (a text's CRC-32 from its pieces; 0 before the first).
std::uint32_t Crc32Update(std::uint32_t previous, std::string_view bytes);

}  // namespace zok2::patch
