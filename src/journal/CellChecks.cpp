#include "journal/CellChecks.h"

#include <algorithm>

namespace zok2::journal {

namespace {

// The file's bytes read a window at a time, one window a column: a column's
// cells lie in order, so a million of them take a few reads, not a million,
// however far apart the columns of a record lie.
class Windows {
public:
    // `rows`: the rectangle's height (a typed edit reads a few bytes, not a window).
    Windows(const ReadBytes& read, std::int64_t rows, std::size_t columns)
        : m_read(read), m_size(static_cast<std::size_t>(std::clamp<std::int64_t>(rows * 16, 64, kMost))), m_windows(std::max<std::size_t>(columns, 1))
    {
    }
    std::string_view At(std::size_t column, std::int64_t offset, int span)
    {
        Window& w = m_windows[column % m_windows.size()];
        if (offset < w.start || offset + span > w.start + static_cast<std::int64_t>(w.bytes.size())) {
            w.start = offset;
            w.bytes = m_read(offset, std::max(m_size, static_cast<std::size_t>(span)));
        }
        // A file cut short since the open gives fewer bytes (and so a difference).
        const auto from = std::min(static_cast<std::size_t>(offset - w.start), w.bytes.size());
        return std::string_view(w.bytes).substr(from, static_cast<std::size_t>(span));
    }

private:
    static constexpr std::int64_t kMost = 1 << 20;
    struct Window {
        std::int64_t start = 0;
        std::string bytes;
    };
    const ReadBytes& m_read;
    const std::size_t m_size;
    std::vector<Window> m_windows;
};

}  // namespace

void VisitCellBytes(const CheckPlan& plan, const ReadBytes& read,
                    const std::function<void(int row, int column, std::int64_t offset, std::string_view bytes)>& visit)
{
    const Region& g = plan.region;
    Windows windows(read, static_cast<std::int64_t>(g.lastRow) - g.firstRow + 1, plan.columns.size());
    for (int r = g.firstRow; r <= g.lastRow; ++r) {
        for (std::size_t i = 0; i < plan.columns.size(); ++i) {
            const CheckPlan::Column& column = plan.columns[i];
            if (!column.layout || r - 1 >= column.dataRows) continue;
            const std::int64_t offset = column.layout->Offset(r - 1);
            const int span = column.layout->SpanBytes();
            if (offset < 0 || offset + span > plan.fileSize) continue;
            visit(r, g.firstColumn + static_cast<int>(i), offset, windows.At(i, offset, span));
        }
    }
}

std::vector<ByteCheck> ReadChecks(const CheckPlan& plan, const ReadBytes& read)
{
    std::vector<ByteCheck> checks;
    checks.reserve(static_cast<std::size_t>(plan.region.Cells()));
    VisitCellBytes(plan, read, [&](int, int, std::int64_t offset, std::string_view bytes) { checks.push_back({offset, std::string(bytes)}); });
    return checks;
}

}  // namespace zok2::journal
