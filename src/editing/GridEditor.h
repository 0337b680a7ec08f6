#pragma once
// The edit commands on the grid's selection: select all, delete, copy, cut,
// paste, undo and redo, with the edit records that are the document's history.
// The view wires keys and menus to these; the command-line tool uses them headless.
#include <functional>
#include <string>

#include "binary/ValueCodec.h"
#include "document/EditRecord.h"

namespace zok2 {

class CZOKDoc;
class CMSFlexGrid;
class IClipboard;

enum class RangeMode { Clear, Copy, RecordUndo, RecordRedo };
enum class ApplyKind { Paste, Undo, Redo };

struct GridRect {
    int firstColumn, lastColumn, firstRow, lastRow;
};

class GridEditor {
public:
    GridEditor(CZOKDoc& doc, CMSFlexGrid& grid, IClipboard& clipboard);

    // The section the grid shows (the view keeps it in step with the selected tab).
    void SetCurrentSection(int section) { m_section = section; }
    int CurrentSection() const { return m_section; }

    // Shows another section for an undo or redo: the view stores the description,
    // selects the section's tab, shows it and loads the description. Without it the
    // editor fills the grid itself.
    std::function<void(int section, int column, int row)> showSection;
    // Runs at the end of every command but select all (the view updates its drop button).
    std::function<void()> afterCommand;

    void SelectAll();
    void Delete();
    void Copy();
    void Cut();
    void Paste();
    void Undo();
    void Redo();
    // Commits an in-place edit or a list choice of the current cell: records the
    // old text, stores the new one and redisplays the cell. The redo log stays.
    void CommitCellText(const std::string& text);

    // Whether any cell of the rectangle may change ("--" cells, cells of compressed
    // sections and cells past the end of the file may not).
    bool CanChange(const GridRect& rect) const;
    GridRect Selection() const;
    void RangeOperation(RangeMode mode, int firstColumn, int lastColumn, int firstRow, int lastRow);
    // False when nothing changed (an empty or unavailable clipboard, nothing editable, an empty log).
    bool ApplyText(ApplyKind kind);
    // Cells holding a value that the last paste could not change (past the end of the file).
    int SkippedCells() const { return m_skipped; }
    // What the last paste or typed edit could not take as it was: texts that were
    // no plain number (stored as what could be read of them, mostly 0), values
    // the column's range moved and values cut to the column's size; the first
    // such cell (grid coordinates), and
    // whether a list column was given a text (its labels are no values).
    struct InputReport {
        int notNumbers = 0, clamped = 0, cut = 0;
        int firstRow = 0, firstColumn = 0;
        bool textInList = false;
        bool operator==(const InputReport&) const = default;
    };
    const InputReport& LastInput() const { return m_input; }
    void EnsureRangeVisible(int firstColumn, int lastColumn, int firstRow, int lastRow);
    // Shows a rectangle of a section, switching to its table as undo does, and
    // selects it with the current cell at its first row and column.
    void GoTo(int section, int firstColumn, int lastColumn, int firstRow, int lastRow);

    // The tab-separated text of a rectangle (copy and edit records use it).
    std::string RangeText(int firstColumn, int lastColumn, int firstRow, int lastRow) const;

private:
    bool HasSection() const;
    void WriteText(const std::string& text, int firstColumn, int lastColumn, int firstRow, int lastRow, bool recorded);
    void SelectRange(int firstColumn, int lastColumn, int firstRow, int lastRow);
    // Shows another section as undo does; false when it is the one shown.
    bool SwitchTo(int section, int column, int row);
    void Finish();
    // Redisplays the cells of this section that took bits from a stored cell.
    void RefreshSharedCells();

    CZOKDoc& m_doc;
    CMSFlexGrid& m_grid;
    IClipboard& m_clipboard;
    int m_section = 0;
    bool m_redoing = false;
    int m_skipped = 0;
    InputReport m_input;
    EditRegion m_applied;  // the rectangle the last paste, undo or redo wrote
    void Note(int row, int column, const ColumnCodec::ParseNote& note);
};

}  // namespace zok2
