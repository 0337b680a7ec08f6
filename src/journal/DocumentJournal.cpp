#include "journal/DocumentJournal.h"

#include <algorithm>
#include <string_view>

#include "document/CZOKDoc.h"
#include "document/EditRecord.h"
#include "framework/FileSystem.h"

namespace zok2::journal {

namespace {

// The cells of a rectangle that lie in the file, in the rectangle's order: where and how many bytes.
template <typename Visit>
void ForEachCellInFile(const CZOKDoc& doc, const Region& g, Visit visit)
{
    for (int r = g.firstRow; r <= g.lastRow; ++r) {
        for (int c = g.firstColumn; c <= g.lastColumn; ++c) {
            if (!doc.HasData(g.section, c - 1, r - 1)) continue;
            const ColumnLayout* layout = doc.LayoutOf(g.section, c - 1);
            if (!layout) continue;
            const std::int64_t offset = layout->Offset(r - 1);
            const int span = layout->SpanBytes();
            if (offset < 0 || offset + span > doc.FileSize()) continue;
            visit(r, c, offset, span);
        }
    }
}

// The opened file's bytes read a window at a time, one window a column: a
// column's cells lie in order, so a million of them take a few reads, not a
// million, however the columns of a record lie apart.
class OpenedBytes {
public:
    // `rows` and `columns`: the rectangle asked about (a typed edit reads a few bytes, not a window).
    OpenedBytes(const CZOKDoc& doc, std::int64_t rows, int columns)
        : m_doc(doc),
          m_windowSize(static_cast<std::size_t>(std::clamp<std::int64_t>(rows * 16, 64, kWindow))),
          m_windows(static_cast<std::size_t>(std::max(columns, 1)))
    {
    }
    std::string_view At(int column, std::int64_t offset, int span)
    {
        Window& w = m_windows[static_cast<std::size_t>(column) % m_windows.size()];
        if (offset < w.start || offset + span > w.start + static_cast<std::int64_t>(w.bytes.size())) {
            w.start = offset;
            w.bytes = m_doc.ReadOpenedBytes(offset, std::max(m_windowSize, static_cast<std::size_t>(span)));
        }
        const auto from = static_cast<std::size_t>(offset - w.start);
        return std::string_view(w.bytes).substr(from, static_cast<std::size_t>(span));
    }

private:
    static constexpr std::int64_t kWindow = 1 << 20;
    struct Window {
        std::int64_t start = 0;
        std::string bytes;
    };
    const CZOKDoc& m_doc;
    const std::size_t m_windowSize;
    std::vector<Window> m_windows;
};

bool RegionFits(const CZOKDoc& doc, const Region& g)
{
    if (g.section < 0 || static_cast<std::size_t>(g.section) >= doc.values.size()) return false;
    const ValueTable& table = doc.values[static_cast<std::size_t>(g.section)];
    return static_cast<std::size_t>(g.lastColumn) <= table.Columns() && static_cast<std::size_t>(g.lastRow) <= table.Rows();
}

}  // namespace

std::uint64_t SetFingerprint(const CZOKDoc& doc)
{
    std::uint64_t hash = Fingerprint("zok2 set");
    std::vector<std::string> names = fs::FindFilesWithExtension(doc.definitionFolder, ".ini");
    for (const std::string& name : fs::FindFilesWithExtension(doc.definitionFolder, ".idn")) names.push_back(name);
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) {
        std::string bytes;
        fs::ReadFile(doc.definitionFolder + name, bytes);
        hash = Fingerprint(name + '\0' + std::to_string(bytes.size()) + '\0', hash);
        hash = Fingerprint(bytes, hash);
    }
    return Fingerprint("correction " + std::to_string(doc.addressCorrection), hash);
}

Start StartOf(const CZOKDoc& doc, std::int64_t nowMs)
{
    Start s;
    s.binaryPath = fs::AbsolutePath(doc.GetPathName());
    s.size = doc.OpenedIdentity().size;
    s.modifiedNs = doc.OpenedIdentity().modifiedNs;
    s.setFolder = doc.definitionFolder;
    s.setFingerprint = SetFingerprint(doc);
    s.startedMs = nowMs;
    return s;
}

Change ChangeOf(const CZOKDoc& doc, const Region& region, std::int64_t whenMs)
{
    Change change;
    change.whenMs = whenMs;
    change.region = region;
    if (!RegionFits(doc, region)) return change;
    const ValueTable& table = doc.values[static_cast<std::size_t>(region.section)];
    change.values.reserve(static_cast<std::size_t>(region.Cells()));
    change.checks.reserve(static_cast<std::size_t>(region.Cells()));
    for (int r = region.firstRow; r <= region.lastRow; ++r) {
        for (int c = region.firstColumn; c <= region.lastColumn; ++c) {
            change.values.push_back(table.Get(static_cast<std::size_t>(r - 1), static_cast<std::size_t>(c - 1)));
        }
    }
    OpenedBytes opened(doc, region.lastRow - region.firstRow + 1, region.lastColumn - region.firstColumn + 1);
    ForEachCellInFile(doc, region, [&](int, int c, std::int64_t offset, int span) {
        change.checks.push_back({offset, std::string(opened.At(c - region.firstColumn, offset, span))});
    });
    return change;
}

RecoveryCheck CheckRecovery(const CZOKDoc& doc, const Contents& contents)
{
    RecoveryCheck check;
    if (!contents.readable) {
        check.why = Refusal::Unreadable;
        check.refusal = contents.problem;
        return check;
    }
    if (contents.start.binaryPath != fs::AbsolutePath(doc.GetPathName())) {
        check.why = Refusal::OtherFile;
        check.refusal = "the journal is of another file: " + contents.start.binaryPath;
        return check;
    }
    if (contents.start.setFingerprint != SetFingerprint(doc)) {
        check.why = Refusal::SetChanged;
        check.refusal = "the definition set " + contents.start.setFolder + " has changed since the edits were made";
        return check;
    }
    for (const Change& change : contents.changes) {
        if (!RegionFits(doc, change.region) || static_cast<std::int64_t>(change.values.size()) != change.region.Cells()) {
            check.why = Refusal::CellsMoved;
            check.refusal = "the journal names cells the tables do not have";
            return check;
        }
        check.cells += change.region.Cells();
        const Region& g = change.region;
        OpenedBytes opened(doc, g.lastRow - g.firstRow + 1, g.lastColumn - g.firstColumn + 1);
        std::size_t i = 0;
        bool sameCells = true;
        ForEachCellInFile(doc, change.region, [&](int r, int c, std::int64_t offset, int span) {
            if (i >= change.checks.size() || change.checks[i].offset != offset || change.checks[i].bytes.size() != static_cast<std::size_t>(span)) {
                sameCells = false;
            } else if (opened.At(c - g.firstColumn, offset, span) != change.checks[i].bytes) {
                check.changedOnDisk.push_back({change.region.section, r, c, offset});
            }
            ++i;
        });
        if (!sameCells || i != change.checks.size()) {
            check.why = Refusal::CellsMoved;
            check.refusal = "the cells of the journal no longer lie where they lay";
            return check;
        }
    }
    return check;
}

void Replay(CZOKDoc& doc, const Contents& contents)
{
    for (const Change& change : contents.changes) {
        const Region& g = change.region;
        if (!RegionFits(doc, g)) continue;
        const ValueTable& table = doc.values[static_cast<std::size_t>(g.section)];
        // What the rectangle holds before, as the undo log keeps it (cells by tab, rows by CR LF).
        std::string before;
        char cell[48];
        std::vector<CZOKDoc::ColumnStore> stores;
        for (int c = g.firstColumn; c <= g.lastColumn; ++c) stores.push_back(doc.PrepareStore(g.section, c - 1));
        for (int r = g.firstRow; r <= g.lastRow; ++r) {
            for (int c = g.firstColumn; c <= g.lastColumn; ++c) {
                if (doc.HasData(g.section, c - 1, r - 1)) {
                    const ColumnCodec& codec = doc.CodecOf(g.section, c - 1);
                    before.append(cell, static_cast<std::size_t>(codec.WriteEditText(cell, table.Get(static_cast<std::size_t>(r - 1), static_cast<std::size_t>(c - 1)))));
                }
                if (c < g.lastColumn) before += '\t';
            }
            if (r < g.lastRow) before += "\r\n";
        }
        doc.history.RecordEdit(FormatEditRecord({g.section, g.firstColumn, g.lastColumn, g.firstRow, g.lastRow}, before));
        doc.history.ClearRedo();
        doc.BeginStores();
        std::size_t i = 0;
        for (int r = g.firstRow; r <= g.lastRow; ++r) {
            for (int c = g.firstColumn; c <= g.lastColumn; ++c, ++i) {
                const CZOKDoc::ColumnStore& store = stores[static_cast<std::size_t>(c - g.firstColumn)];
                if (store.codec && doc.CanStore(store, r - 1)) doc.StoreValue(store, g.section, c - 1, r - 1, change.values[i]);
            }
        }
    }
    doc.MarkModified();
}

}  // namespace zok2::journal
