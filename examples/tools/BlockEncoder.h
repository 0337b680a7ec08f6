#pragma once
// Test tooling only: builds compressed blocks in the token-stream format the
// program expands (the program itself has no compressor).
#include <cstdint>
#include <vector>

namespace zok2::tools {

using Bytes = std::vector<std::uint8_t>;

// A block: the 16-bit length field N = data size + 1, then the token stream.
// References copy 3 to 18 bytes from `dictionary` (at most its first 4096 bytes);
// everything else goes as literals.
Bytes EncodeBlock(const Bytes& data, const Bytes& dictionary);

// The 16-bit pointer that BankedPointerToOffset(correction + pointer, bank) turns into offset.
std::uint16_t PointerFor(std::int64_t offset, std::uint8_t bank, std::uint32_t correction);

void PutLittleEndian(Bytes& file, std::size_t offset, std::uint32_t value, int byteCount);

}  // namespace zok2::tools
