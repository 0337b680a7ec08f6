#include "binary/ByteSource.h"

#include <algorithm>
#include <cstring>

namespace zok2 {

ByteSource::~ByteSource() { Close(); }

bool ByteSource::Open(const std::string& path)
{
    Close();
    if (!m_file.Open(path, fs::File::Mode::Read)) return false;
    m_size = m_file.Size();
    m_pages.resize(static_cast<std::size_t>((m_size + kPageSize - 1) / kPageSize));
    return true;
}

void ByteSource::Close()
{
    m_file.Close();
    m_size = 0;
    m_pages.clear();
    m_lastPage = -1;
    m_lastData = nullptr;
}

void ByteSource::Load(std::int64_t page)
{
    auto& slot = m_pages[static_cast<std::size_t>(page)];
    if (!slot) {
        slot.reset(new std::uint8_t[static_cast<std::size_t>(kPageSize)]);  // filled below, no zeroing first
        const std::int64_t start = page * kPageSize;
        const std::int64_t want = std::min(kPageSize, m_size - start);
        const std::int64_t got = std::max<std::int64_t>(m_file.ReadAt(start, slot.get(), static_cast<std::size_t>(want)), 0);
        // A short read (the file shrank meanwhile, or an I/O error) leaves zeros.
        std::memset(slot.get() + got, 0, static_cast<std::size_t>(kPageSize - got));
    }
    m_lastPage = page;
    m_lastData = slot.get();
}

}  // namespace zok2
