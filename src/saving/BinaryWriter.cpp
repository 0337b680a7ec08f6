#include "saving/BinaryWriter.h"

#include <algorithm>
#include <map>
#include <memory>

namespace zok2 {

namespace {

// The pages of the file that a save touches, changed in memory and written back
// as runs of the bytes that were changed, so a large save costs a few system calls.
class PatchBuffer {
public:
    explicit PatchBuffer(fs::File& file) : m_file(file) {}

    bool SetBits(std::int64_t offset, std::uint8_t mask, std::uint8_t bits)
    {
        Page* page = PageOf(offset);
        if (!page) return false;
        const std::size_t at = static_cast<std::size_t>(offset & (kPageSize - 1));
        page->bytes[at] = static_cast<std::uint8_t>((page->bytes[at] & ~mask) | (bits & mask));
        page->dirty[at] = true;
        return true;
    }

    bool Flush()
    {
        for (auto& [number, page] : m_pages) {
            const std::int64_t start = number * kPageSize;
            std::size_t i = 0;
            while (i < page->size) {
                if (!page->dirty[i]) {
                    ++i;
                    continue;
                }
                std::size_t end = i;
                while (end < page->size && page->dirty[end]) ++end;
                if (!m_file.WriteAt(start + static_cast<std::int64_t>(i), page->bytes.data() + i, end - i)) return false;
                i = end;
            }
        }
        return true;
    }

private:
    static constexpr std::int64_t kPageSize = 1 << 16;
    struct Page {
        std::vector<std::uint8_t> bytes;
        std::vector<bool> dirty;
        std::size_t size = 0;
    };

    Page* PageOf(std::int64_t offset)
    {
        const std::int64_t number = offset / kPageSize;
        auto found = m_pages.find(number);
        if (found != m_pages.end()) return found->second.get();
        auto page = std::make_unique<Page>();
        const std::int64_t start = number * kPageSize;
        page->size = static_cast<std::size_t>(std::min(kPageSize, m_file.Size() - start));
        page->bytes.resize(page->size);
        page->dirty.assign(page->size, false);
        if (m_file.ReadAt(start, page->bytes.data(), page->size) != static_cast<std::int64_t>(page->size)) return nullptr;
        return m_pages.emplace(number, std::move(page)).first->second.get();
    }

    fs::File& m_file;
    std::map<std::int64_t, std::unique_ptr<Page>> m_pages;
};

}  // namespace

bool CellInFile(const ColumnLayout& layout, std::int64_t row, std::int64_t size)
{
    const std::int64_t offset = layout.Offset(row);
    return offset >= 0 && offset + layout.SpanBytes() <= size;
}

bool PatchRegions(fs::File& file, const std::vector<EditRegion>& regions,
                  const std::vector<std::vector<ColumnLayout>>& layouts, const std::vector<ValueTable>& values,
                  std::string* reason)
{
    PatchBuffer buffer(file);
    for (const EditRegion& region : regions) {
        const auto s = static_cast<std::size_t>(region.section);
        if (region.section < 0 || s >= layouts.size() || s >= values.size()) continue;
        const std::vector<ColumnLayout>& columns = layouts[s];
        const ValueTable& table = values[s];
        const int firstColumn = std::max(region.firstColumn - 1, 0);
        const int lastColumn = std::min<int>(region.lastColumn - 1, static_cast<int>(columns.size()) - 1);
        for (std::int64_t r = std::max(region.firstRow - 1, 0); r <= region.lastRow - 1; ++r) {
            if (static_cast<std::size_t>(r) >= table.Rows()) break;
            for (int c = firstColumn; c <= lastColumn; ++c) {
                const ColumnLayout& layout = columns[static_cast<std::size_t>(c)];
                if (r >= layout.rowCount || !CellInFile(layout, r, file.Size())) continue;
                const std::uint32_t v = table.Get(static_cast<std::size_t>(r), static_cast<std::size_t>(c));
                for (int i = 0; i < layout.SpanBytes(); ++i) {
                    const std::uint8_t mask = layout.ByteMask(r, i);
                    if (mask != 0 && !buffer.SetBits(layout.Offset(r) + i, mask, layout.ByteOfValue(r, v, i))) {
                        if (reason) *reason = file.Reason();
                        return false;
                    }
                }
            }
        }
    }
    if (!buffer.Flush()) {
        if (reason) *reason = file.Reason();
        return false;
    }
    return true;
}

}  // namespace zok2
