#pragma once
#include <cstdint>

namespace zok2 {

// File offset of a banked 16-bit pointer: for banks 0x80 to 0xFF this is
// a + (bank - 0x80) * 0x8000 - 0x8000. Negative results lie before the file.
std::int64_t BankedPointerToOffset(std::int32_t a, std::int32_t bank);

// Blocks whose length field announces more than this many bytes are skipped.
constexpr std::uint32_t kMaxBlockLength = 10000;

}  // namespace zok2
