#pragma once
// Positioned byte reads from the opened binary. The file is read in pages on
// first use, so a table read byte by byte costs about one pass over the bytes
// it touches. A byte that does not exist (before the start or past the end of
// the file) reads as 0.
#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "framework/File.h"

namespace zok2 {

class ByteSource {
public:
    ByteSource() = default;
    ~ByteSource();
    ByteSource(const ByteSource&) = delete;
    ByteSource& operator=(const ByteSource&) = delete;

    // Opens a regular file for reading; false (with the system's reason) otherwise.
    bool Open(const std::string& path);
    // Reads a file already open elsewhere (the same file, whatever its name is now).
    bool OpenFile(const fs::File& file);
    // Reads the file another source has open, with pages of its own (for another thread).
    bool OpenSame(const ByteSource& other);
    const std::string& Reason() const { return m_file.Reason(); }
    void Close();
    std::int64_t Size() const { return m_size; }
    bool Contains(std::int64_t offset) const { return offset >= 0 && offset < m_size; }

    std::uint8_t At(std::int64_t offset)
    {
        if (offset < 0 || offset >= m_size) return 0;
        std::int64_t page = offset >> kPageShift;
        if (page != m_lastPage) Load(page);
        return m_lastData[offset & (kPageSize - 1)];
    }

    // n bytes (up to 4) little-endian from offset.
    std::uint32_t LittleEndian(std::int64_t offset, int n)
    {
        if (offset >= 0 && (offset >> kPageShift) == m_lastPage && ((offset + n - 1) >> kPageShift) == m_lastPage &&
            offset + n <= m_size) {
            const std::int64_t inPage = offset & (kPageSize - 1);
            const std::uint8_t* p = m_lastData + inPage;
            if constexpr (std::endian::native == std::endian::little) {
                if (inPage + 4 <= kPageSize) {  // one 4-byte load, then keep n bytes
                    std::uint32_t word;
                    std::memcpy(&word, p, 4);
                    return n >= 4 ? word : word & ((1u << (8 * n)) - 1u);
                }
            }
            std::uint32_t v = 0;
            for (int i = 0; i < n; ++i) v |= static_cast<std::uint32_t>(p[i]) << (8 * i);
            return v;
        }
        std::uint32_t v = 0;
        for (int i = 0; i < n; ++i) v |= static_cast<std::uint32_t>(At(offset + i)) << (8 * i);
        return v;
    }

    // The n bytes at offset in one piece of memory, when they lie in one page of
    // the file; nullptr otherwise (the caller then reads byte by byte).
    const std::uint8_t* Span(std::int64_t offset, int n)
    {
        if (offset < 0 || offset + n > m_size || (offset >> kPageShift) != ((offset + n - 1) >> kPageShift)) return nullptr;
        const std::int64_t page = offset >> kPageShift;
        if (page != m_lastPage) Load(page);
        return m_lastData + (offset & (kPageSize - 1));
    }

    // The bytes from offset to the end of its page (or of the file) in one piece
    // of memory; *length receives their count (0 and nullptr outside the file).
    const std::uint8_t* Run(std::int64_t offset, std::int64_t* length)
    {
        if (offset < 0 || offset >= m_size) {
            *length = 0;
            return nullptr;
        }
        const std::int64_t page = offset >> kPageShift;
        if (page != m_lastPage) Load(page);
        *length = std::min((page + 1) << kPageShift, m_size) - offset;
        return m_lastData + (offset & (kPageSize - 1));
    }

private:
    static constexpr int kPageShift = 16;  // 64 KiB pages: a table reads about the bytes it covers
    static constexpr std::int64_t kPageSize = std::int64_t{1} << kPageShift;
    void Load(std::int64_t page);

    // A few pages are held at a time, the least recently used one giving way; their
    // buffers come from a pool shared by every source, which the next open reuses,
    // so reopening touches no fresh memory.
    static constexpr std::size_t kSlots = 64;
    struct Slot {
        std::unique_ptr<std::uint8_t[]> data;
        std::int64_t page = -1;
        std::uint64_t used = 0;
    };

    fs::File m_file;
    std::int64_t m_size = 0;
    std::vector<std::int32_t> m_slotOfPage;
    std::vector<Slot> m_slots;
    std::uint64_t m_clock = 0;
    std::int64_t m_lastPage = -1;
    const std::uint8_t* m_lastData = nullptr;
};

}  // namespace zok2
