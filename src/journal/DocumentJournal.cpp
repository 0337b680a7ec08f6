#include "journal/DocumentJournal.h"

#include <algorithm>
#include <string_view>

#include "document/CZOKDoc.h"
#include "document/EditRecord.h"
#include "framework/FileSystem.h"

namespace zok2::journal {

namespace {

ReadBytes ReaderOf(const CZOKDoc& doc)
{
    return [&doc](std::int64_t offset, std::size_t count) { return doc.ReadOpenedBytes(offset, count); };
}

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

CheckPlan PlanOf(const CZOKDoc& doc, const Region& region)
{
    CheckPlan plan;
    plan.region = region;
    plan.fileSize = doc.FileSize();
    if (!RegionFits(doc, region)) return plan;
    const ValueTable& table = doc.values[static_cast<std::size_t>(region.section)];
    for (int c = region.firstColumn; c <= region.lastColumn; ++c) {
        CheckPlan::Column column;
        if (doc.Column(region.section, c - 1)) {
            column.dataRows = std::min<std::int64_t>(doc.CodecOf(region.section, c - 1).RowCount(), static_cast<std::int64_t>(table.Rows()));
            if (const ColumnLayout* layout = doc.LayoutOf(region.section, c - 1)) column.layout = *layout;
        }
        plan.columns.push_back(column);
    }
    return plan;
}

Change ValuesOf(const CZOKDoc& doc, const Region& region, std::int64_t whenMs)
{
    Change change;
    change.whenMs = whenMs;
    change.region = region;
    if (!RegionFits(doc, region)) return change;
    const ValueTable& table = doc.values[static_cast<std::size_t>(region.section)];
    change.values.reserve(static_cast<std::size_t>(region.Cells()));
    for (int r = region.firstRow; r <= region.lastRow; ++r) {
        for (int c = region.firstColumn; c <= region.lastColumn; ++c) {
            change.values.push_back(table.Get(static_cast<std::size_t>(r - 1), static_cast<std::size_t>(c - 1)));
        }
    }
    return change;
}

Change ChangeOf(const CZOKDoc& doc, const Region& region, std::int64_t whenMs)
{
    Change change = ValuesOf(doc, region, whenMs);
    change.checks = ReadChecks(PlanOf(doc, region), ReaderOf(doc));
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
        // Values a column cannot hold (wider than its bytes, bits outside its mask) come from no edit.
        std::size_t k = 0;
        for (int r = change.region.firstRow; r <= change.region.lastRow; ++r) {
            for (int c = change.region.firstColumn; c <= change.region.lastColumn; ++c, ++k) {
                if (!doc.HasData(change.region.section, c - 1, r - 1)) continue;
                const std::uint32_t v = change.values[k];
                if (doc.CodecOf(change.region.section, c - 1).Constrain(v, false) != v) {
                    check.why = Refusal::ValuesDoNotFit;
                    check.refusal = "the journal holds a value its column cannot hold";
                    return check;
                }
            }
        }
        check.cells += change.region.Cells();
        std::size_t i = 0;
        bool sameCells = true;
        VisitCellBytes(PlanOf(doc, change.region), ReaderOf(doc), [&](int r, int c, std::int64_t offset, std::string_view bytes) {
            if (i >= change.checks.size() || change.checks[i].offset != offset || change.checks[i].bytes.size() != bytes.size()) {
                sameCells = false;
            } else if (bytes != change.checks[i].bytes) {
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
