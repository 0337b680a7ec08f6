#include "document/SectionGrid.h"

#include <algorithm>

#include "document/CZOKDoc.h"
#include "grid/CMSFlexGrid.h"
#include "text/SjisText.h"

namespace zok2 {

namespace {

// The grid's rows, labels and captions for `columns` of a section.
void FillHeaders(CZOKDoc& doc, CMSFlexGrid& grid, int section, const Section& columns, int column, int row)
{
    const TextList& labels = doc.RowLabels(section);
    grid.SetDrawingEnabled(false);
    grid.ClearCells();
    grid.SetColumnCount(static_cast<int>(columns.size()) + 1);
    grid.SetRowCount(static_cast<int>(labels.size()) + 1);
    grid.SetCurrentRow(row);
    grid.SetCurrentColumn(column);
    grid.SetHeaderColumnCount(1);
    grid.SetHeaderRowCount(1);
    grid.SetLiveScroll(true);
    grid.SetColumnAlign(0, 0);

    std::size_t longest = 0;
    for (std::size_t i = 0; i < labels.size(); ++i) longest = std::max(longest, labels[i].size());
    if (longest > 0) grid.SetColumnWidthTwips(0, std::max(static_cast<int>(kLabelTwipsPerByte * longest), kMinLabelColumnTwips));
    // A grid that draws only what is on screen reads the labels when it draws them.
    if (!grid.RowLabelsFromSource(doc, section)) {
        for (std::size_t i = 0; i < labels.size(); ++i) grid.SetCellText(static_cast<int>(i) + 1, 0, std::string(labels[i]));
    }

    int headerLines = 2;
    for (std::size_t j = 0; j < columns.size(); ++j) {
        const ColumnDefinition& d = columns[j];
        const int captionTwips = kCaptionTwipsPerByte * static_cast<int>(d[ColumnField::caption].size());
        const int width = text::ReadDec(d[ColumnField::width]);
        int lines;
        if (width != 0) {
            lines = captionTwips / width;
            grid.SetColumnWidthTwips(static_cast<int>(j) + 1, width);
        } else {
            lines = captionTwips / kAutoColumnTwips;
            grid.SetColumnWidthTwips(static_cast<int>(j) + 1, std::max(captionTwips / 3, kAutoColumnTwips));
        }
        headerLines = std::max(headerLines, lines);
        grid.SetCellText(0, static_cast<int>(j) + 1, d[ColumnField::caption]);
    }
    grid.SetRowHeightTwips(0, kHeaderLineTwips);
    grid.SetRowHeightTwips(0, std::min(headerLines, 3) * kHeaderLineTwips);
}

}  // namespace

void FillSectionGrid(CZOKDoc& doc, CMSFlexGrid& grid, int section, int column, int row)
{
    if (section < 0 || static_cast<std::size_t>(section) >= doc.sections.size()) return;
    FillHeaders(doc, grid, section, doc.sections[static_cast<std::size_t>(section)], column, row);
    doc.RefreshCells(section, 0, -1, 0, -1);
    grid.SetDrawingEnabled(true);
}

void FillPreviewGrid(CZOKDoc& doc, CMSFlexGrid& grid, int section, const Section& columns, const std::vector<int>& aligns,
                     const ICellTextSource& source, int column, int row)
{
    if (section < 0 || static_cast<std::size_t>(section) >= doc.sections.size()) return;
    FillHeaders(doc, grid, section, columns, std::clamp(column, 1, std::max<int>(1, static_cast<int>(columns.size()))), row);
    const int rows = static_cast<int>(doc.RowLabels(section).size());
    for (std::size_t c = 0; c < columns.size() && c < aligns.size(); ++c) grid.SetColumnAlign(static_cast<int>(c) + 1, aligns[c]);
    if (rows > 0 && !columns.empty()) grid.RefreshFromSource(source, section, 1, rows, 1, static_cast<int>(columns.size()));
    grid.SetDrawingEnabled(true);
}

}  // namespace zok2
