#include "binary/ByteSource.h"

#include <algorithm>
#include <cstring>
#include <mutex>

namespace zok2 {

namespace {
// Page buffers of closed sources, for the next open.
std::mutex g_spareLock;
std::vector<std::unique_ptr<std::uint8_t[]>> g_spareBuffers;
constexpr std::size_t kSpareLimit = 128;
}  // namespace

ByteSource::~ByteSource() { Close(); }

bool ByteSource::Open(const std::string& path)
{
    Close();
    if (!m_file.Open(path, fs::File::Mode::Read)) return false;
    m_size = m_file.Size();
    m_slotOfPage.assign(static_cast<std::size_t>((m_size + kPageSize - 1) / kPageSize), -1);
    return true;
}

bool ByteSource::OpenFile(const fs::File& file)
{
    Close();
    if (!m_file.OpenSame(file)) return false;
    m_size = file.Size();
    m_slotOfPage.assign(static_cast<std::size_t>((m_size + kPageSize - 1) / kPageSize), -1);
    return true;
}

bool ByteSource::OpenSame(const ByteSource& other)
{
    Close();
    if (!m_file.OpenSame(other.m_file)) return false;
    m_size = other.m_size;
    m_slotOfPage.assign(static_cast<std::size_t>((m_size + kPageSize - 1) / kPageSize), -1);
    return true;
}

void ByteSource::Close()
{
    m_file.Close();
    m_size = 0;
    if (!m_slots.empty()) {
        const std::lock_guard<std::mutex> hold(g_spareLock);
        for (Slot& slot : m_slots) {
            if (g_spareBuffers.size() < kSpareLimit) g_spareBuffers.push_back(std::move(slot.data));
        }
    }
    m_slots.clear();
    m_slotOfPage.clear();
    m_lastPage = -1;
    m_lastData = nullptr;
}

void ByteSource::Load(std::int64_t page)
{
    std::int32_t& held = m_slotOfPage[static_cast<std::size_t>(page)];
    if (held < 0) {
        if (m_slots.size() < kSlots) {
            Slot slot;
            {
                const std::lock_guard<std::mutex> hold(g_spareLock);
                if (!g_spareBuffers.empty()) {
                    slot.data = std::move(g_spareBuffers.back());
                    g_spareBuffers.pop_back();
                }
            }
            if (!slot.data) {
                slot.data.reset(new std::uint8_t[static_cast<std::size_t>(kPageSize)]);  // filled below, no zeroing first
            }
            m_slots.push_back(std::move(slot));
            held = static_cast<std::int32_t>(m_slots.size() - 1);
        } else {
            auto oldest = std::min_element(m_slots.begin(), m_slots.end(), [](const Slot& a, const Slot& b) { return a.used < b.used; });
            m_slotOfPage[static_cast<std::size_t>(oldest->page)] = -1;
            held = static_cast<std::int32_t>(oldest - m_slots.begin());
        }
        Slot& slot = m_slots[static_cast<std::size_t>(held)];
        slot.page = page;
        const std::int64_t start = page * kPageSize;
        const std::int64_t want = std::min(kPageSize, m_size - start);
        const std::int64_t got = std::max<std::int64_t>(m_file.ReadAt(start, slot.data.get(), static_cast<std::size_t>(want)), 0);
        // A short read (the file shrank meanwhile, or an I/O error) leaves zeros.
        std::memset(slot.data.get() + got, 0, static_cast<std::size_t>(kPageSize - got));
    }
    Slot& slot = m_slots[static_cast<std::size_t>(held)];
    slot.used = ++m_clock;
    m_lastPage = page;
    m_lastData = slot.data.get();
}

}  // namespace zok2
