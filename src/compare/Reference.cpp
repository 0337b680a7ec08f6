#include "compare/Reference.h"

#include <algorithm>

#include "document/CZOKDoc.h"
#include "saving/BinaryWriter.h"

namespace zok2::compare {

std::unique_ptr<CZOKDoc> OpenReference(const CZOKDoc& doc, const std::string& path)
{
    auto reference = std::make_unique<CZOKDoc>(doc.ServicesInUse());
    reference->modeOverride = doc.LoadedMode();
    reference->correctionPathOverride = doc.GetPathName();
    if (!reference->LoadDocument(path)) return nullptr;
    return reference;
}

namespace {

// The cell's value when it lies in its file (compressed tables count as in it).
bool Held(const CZOKDoc& doc, int section, int row, int column, std::uint32_t* value)
{
    if (!doc.HasData(section, column - 1, row - 1)) return false;
    if (!doc.IsCompressedSection(section) && !doc.IsEditable(section, column - 1, row - 1)) return false;  // past its end
    *value = doc.Value(section, column - 1, row - 1);
    return true;
}

}  // namespace

bool CellDiffers(const CZOKDoc& doc, const CZOKDoc& reference, int section, int row, int column)
{
    std::uint32_t mine = 0, theirs = 0;
    const bool here = Held(doc, section, row, column, &mine);
    const bool there = static_cast<std::size_t>(section) < reference.sections.size() && Held(reference, section, row, column, &theirs);
    return here != there || mine != theirs;
}

namespace {

// Which rows of a column hold a value in their file, looked up once a column.
struct ColumnHeld {
    std::size_t rows = 0;                 // rows holding data
    const ColumnLayout* layout = nullptr;  // none: a compressed table (every data row held)
    std::int64_t fileSize = 0;
    bool Held(std::size_t row) const { return row < rows && (!layout || CellInFile(*layout, static_cast<std::int64_t>(row), fileSize)); }
};

ColumnHeld HeldRows(const CZOKDoc& doc, int section, int column)
{
    ColumnHeld held;
    const auto s = static_cast<std::size_t>(section);
    if (s >= doc.values.size() || s >= doc.sections.size() || static_cast<std::size_t>(column) >= doc.sections[s].size() ||
        !doc.values[s].Contains(0, static_cast<std::size_t>(column))) {
        return held;
    }
    held.rows = std::min<std::size_t>(static_cast<std::size_t>(std::max(doc.CodecOf(section, column).RowCount(), 0)), doc.values[s].Rows());
    held.layout = doc.LayoutOf(section, column);
    held.fileSize = doc.FileSize();
    return held;
}

}  // namespace

std::vector<search::SearchHit> DifferingCells(const CZOKDoc& doc, const CZOKDoc& reference, int onlySection)
{
    std::vector<search::SearchHit> cells;
    for (std::size_t s = 0; s < doc.sections.size(); ++s) {
        const int section = static_cast<int>(s);
        if (doc.sections[s].empty() || (onlySection >= 0 && section != onlySection) || s >= doc.values.size()) continue;
        const std::size_t first = cells.size();
        const ValueTable& mine = doc.values[s];
        const ValueTable* theirs = s < reference.values.size() ? &reference.values[s] : nullptr;
        // Column by column, each column's bounds looked up once; then in row order.
        for (std::size_t c = 0; c < doc.sections[s].size(); ++c) {
            const ColumnHeld here = HeldRows(doc, section, static_cast<int>(c));
            const ColumnHeld there = theirs ? HeldRows(reference, section, static_cast<int>(c)) : ColumnHeld{};
            const std::size_t rows = std::max(here.rows, there.rows);
            for (std::size_t r = 0; r < rows; ++r) {
                const bool a = here.Held(r), b = there.Held(r);
                if (a != b || (a && mine.Get(r, c) != theirs->Get(r, c))) cells.push_back({section, static_cast<int>(r) + 1, static_cast<int>(c) + 1});
            }
        }
        std::sort(cells.begin() + static_cast<std::ptrdiff_t>(first), cells.end(),
                  [](const search::SearchHit& x, const search::SearchHit& y) { return x.row != y.row ? x.row < y.row : x.column < y.column; });
    }
    return cells;
}

}  // namespace zok2::compare
