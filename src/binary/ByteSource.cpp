#include "binary/ByteSource.h"

#include <algorithm>
#include <cstring>

namespace zok2 {

bool SeekFile(std::FILE* file, std::int64_t offset)
{
#ifdef _WIN32
    return _fseeki64(file, offset, SEEK_SET) == 0;
#else
    return fseeko(file, static_cast<off_t>(offset), SEEK_SET) == 0;
#endif
}

std::int64_t OpenFileSize(std::FILE* file)
{
#ifdef _WIN32
    if (_fseeki64(file, 0, SEEK_END) != 0) return -1;
    return _ftelli64(file);
#else
    if (fseeko(file, 0, SEEK_END) != 0) return -1;
    return static_cast<std::int64_t>(ftello(file));
#endif
}

ByteSource::~ByteSource() { Close(); }

bool ByteSource::Open(const std::string& path)
{
    Close();
    m_file = std::fopen(path.c_str(), "rb");
    if (!m_file) return false;
    m_size = OpenFileSize(m_file);
    if (m_size < 0) {
        Close();
        return false;
    }
    m_pages.resize(static_cast<std::size_t>((m_size + kPageSize - 1) / kPageSize));
    return true;
}

void ByteSource::Close()
{
    if (m_file) std::fclose(m_file);
    m_file = nullptr;
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
        std::int64_t start = page * kPageSize;
        std::int64_t want = std::min(kPageSize, m_size - start);
        std::size_t got = 0;
        if (m_file && SeekFile(m_file, start)) got = std::fread(slot.get(), 1, static_cast<std::size_t>(want), m_file);
        // A short read (the file shrank meanwhile, or an I/O error) leaves zeros.
        std::memset(slot.get() + got, 0, static_cast<std::size_t>(kPageSize) - got);
    }
    m_lastPage = page;
    m_lastData = slot.get();
}

}  // namespace zok2
