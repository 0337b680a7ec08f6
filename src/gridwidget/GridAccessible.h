#pragma once
// What screen readers read of the grid: a table of the table's records and
// columns, the captions as column headers and the row labels as row headers,
// each cell's text as shown. A cell is made only when a reader asks for it, and
// the cells made are kept only while the table stays the same, so a table of a
// million rows costs what the reader looks at.
class QWidget;

namespace zok2 {

class QtFlexGrid;

// Puts the grid's reading in place of Qt's (once; any later call does nothing).
void InstallGridAccessibility();

// After a change of the grid: a new table (rows, columns or their texts'
// source), a move of the current cell, or a new text in it, told to the
// readers listening. Nothing is done while none listens.
void TellReadersAboutGrid(QtFlexGrid& grid);

}  // namespace zok2
