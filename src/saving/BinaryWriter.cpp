#include "saving/BinaryWriter.h"

#include "binary/ByteSource.h"

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

namespace {

// Calls visit(layout, row, value) for every cell of the regions that holds data,
// region after region and in each region row after row; a false return stops the walk.
template <typename Visit>
bool ForEachCell(const std::vector<EditRegion>& regions, const std::vector<std::vector<ColumnLayout>>& layouts,
                 const std::vector<ValueTable>& values, Visit visit)
{
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
                if (r >= layout.rowCount) continue;
                if (!visit(layout, r, table.Get(static_cast<std::size_t>(r), static_cast<std::size_t>(c)))) return false;
            }
        }
    }
    return true;
}

}  // namespace

DiskState CheckFileOnDisk(const std::string& path, const fs::FileIdentity& opened, const std::vector<EditRegion>& regions,
                          const std::vector<std::vector<ColumnLayout>>& layouts, const std::vector<ValueTable>& valuesAsRead)
{
    DiskState state;
    fs::FileIdentity now;
    if (!fs::IdentityOf(path, &now)) {
        state.change = DiskChange::Deleted;
        state.cellsInFile = false;
        return state;
    }
    // The cells that were in the file at the open must still be there.
    ForEachCell(regions, layouts, valuesAsRead, [&](const ColumnLayout& layout, std::int64_t r, std::uint32_t) {
        if (CellInFile(layout, r, opened.size) && !CellInFile(layout, r, now.size)) state.cellsInFile = false;
        return state.cellsInFile;
    });
    if (!now.SameFile(opened)) {
        state.change = DiskChange::Replaced;
    } else if (now.size < opened.size) {
        state.change = DiskChange::Shrank;
    } else if (now.size != opened.size || now.modifiedNs != opened.modifiedNs) {
        state.change = DiskChange::Changed;
    }
    if (state.change != DiskChange::None) return state;
    // Same file, size and time: the bytes a save would write over are checked too
    // (a program may keep the time it found).
    ByteSource file;
    if (!file.Open(path)) {
        state.change = DiskChange::Changed;
        return state;
    }
    const bool same = ForEachCell(regions, layouts, valuesAsRead, [&](const ColumnLayout& layout, std::int64_t r, std::uint32_t v) {
        if (!CellInFile(layout, r, opened.size)) return true;
        for (int i = 0; i < layout.SpanBytes(); ++i) {
            const std::uint8_t mask = layout.ByteMask(r, i);
            if ((file.At(layout.Offset(r) + i) & mask) != (layout.ByteOfValue(r, v, i) & mask)) return false;
        }
        return true;
    });
    if (!same) state.change = DiskChange::Changed;
    return state;
}

bool PatchRegions(fs::File& file, const std::vector<EditRegion>& regions,
                  const std::vector<std::vector<ColumnLayout>>& layouts, const std::vector<ValueTable>& values,
                  std::string* reason)
{
    PatchBuffer buffer(file);
    const bool written = ForEachCell(regions, layouts, values, [&](const ColumnLayout& layout, std::int64_t r, std::uint32_t v) {
        if (!CellInFile(layout, r, file.Size())) return true;
        for (int i = 0; i < layout.SpanBytes(); ++i) {
            const std::uint8_t mask = layout.ByteMask(r, i);
            if (mask != 0 && !buffer.SetBits(layout.Offset(r) + i, mask, layout.ByteOfValue(r, v, i))) return false;
        }
        return true;
    });
    if (!written) {
        if (reason) *reason = file.Reason();
        return false;
    }
    if (!buffer.Flush()) {
        if (reason) *reason = file.Reason();
        return false;
    }
    return true;
}

}  // namespace zok2
