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

// How many rows of a column hold a value in their file: the rows holding data,
// cut where the file ends (a cell's bytes lie further on row by row, so the rows
// in the file are the first ones; a compressed table holds all of its rows).
std::size_t HeldRows(const CZOKDoc& doc, int section, int column)
{
    const auto s = static_cast<std::size_t>(section);
    if (s >= doc.values.size() || s >= doc.sections.size() || static_cast<std::size_t>(column) >= doc.sections[s].size() ||
        !doc.values[s].Contains(0, static_cast<std::size_t>(column))) {
        return 0;
    }
    const std::size_t rows = std::min<std::size_t>(static_cast<std::size_t>(std::max(doc.CodecOf(section, column).RowCount(), 0)), doc.values[s].Rows());
    const ColumnLayout* layout = doc.LayoutOf(section, column);
    if (!layout) return rows;
    std::size_t low = 0, high = rows;  // the first row past the end, found by halving
    while (low < high) {
        const std::size_t middle = low + (high - low) / 2;
        if (CellInFile(*layout, static_cast<std::int64_t>(middle), doc.FileSize())) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    return low;
}

}  // namespace

std::string_view RowLabelOf(const CZOKDoc& doc, const CZOKDoc& reference, int section, int row)
{
    const auto r = static_cast<std::size_t>(row - 1);
    if (row < 1) return std::string_view();
    if (r < doc.RowLabels(section).size()) return doc.RowLabels(section)[r];
    if (static_cast<std::size_t>(section) < reference.sections.size() && r < reference.RowLabels(section).size()) return reference.RowLabels(section)[r];
    return std::string_view();
}

std::vector<search::SearchHit> DifferingCells(const CZOKDoc& doc, const CZOKDoc& reference, int onlySection)
{
    std::vector<search::SearchHit> cells;
    for (std::size_t s = 0; s < doc.sections.size(); ++s) {
        const int section = static_cast<int>(s);
        // The checksum table holds what the rules compute, not cells of the file.
        if (doc.sections[s].empty() || (onlySection >= 0 && section != onlySection) || s >= doc.values.size() ||
            doc.IsChecksumSection(section)) {
            continue;
        }
        const ValueTable& mine = doc.values[s];
        const ValueTable* theirs = s < reference.values.size() ? &reference.values[s] : nullptr;
        const std::size_t columns = doc.sections[s].size();
        std::vector<std::size_t> here(columns), there(columns);
        std::size_t rows = 0;
        for (std::size_t c = 0; c < columns; ++c) {
            here[c] = HeldRows(doc, section, static_cast<int>(c));
            there[c] = theirs ? HeldRows(reference, section, static_cast<int>(c)) : 0;
            rows = std::max({rows, here[c], there[c]});
        }
        // Row by row, as the values lie in memory: both held and equal, or not.
        for (std::size_t r = 0; r < rows; ++r) {
            for (std::size_t c = 0; c < columns; ++c) {
                const bool a = r < here[c], b = r < there[c];
                if (a != b || (a && mine.Get(r, c) != theirs->Get(r, c))) cells.push_back({section, static_cast<int>(r) + 1, static_cast<int>(c) + 1});
            }
        }
    }
    return cells;
}

}  // namespace zok2::compare
