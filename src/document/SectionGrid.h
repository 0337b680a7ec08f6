#pragma once
// Filling a grid with one section: row labels, captions, sizes and every cell's
// display text. The view's ShowSection and the command-line tool both use it.
#include <vector>

#include "definitions/ColumnDefinition.h"
#include "grid/CMSFlexGrid.h"

namespace zok2 {

class CZOKDoc;

// Twips per byte of a row label and of a caption, and the smallest widths.
constexpr int kLabelTwipsPerByte = 105;
constexpr int kMinLabelColumnTwips = 1000;
constexpr int kCaptionTwipsPerByte = 150;
constexpr int kAutoColumnTwips = 995;
constexpr int kHeaderLineTwips = 225;

// Fills `grid` (the document's view grid) with `section` and makes (row, column)
// the current cell.
void FillSectionGrid(CZOKDoc& doc, CMSFlexGrid& grid, int section, int column, int row);
// The grid filled as FillSectionGrid fills it, but with `columns` in place of
// the section's own, their cells read from `source` (a preview of definitions
// not written yet) and aligned by `aligns`.
void FillPreviewGrid(CZOKDoc& doc, CMSFlexGrid& grid, int section, const Section& columns, const std::vector<int>& aligns,
                     const ICellTextSource& source, int column, int row);

}  // namespace zok2
