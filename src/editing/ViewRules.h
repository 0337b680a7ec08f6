#pragma once
// The rules of the view, free of any toolkit: which commands are enabled and
// checked, when a cell may be edited and with which text, which keys start an
// edit, what the value list offers and where it opens, how a right click moves
// the selection, what discarding the data leaves in the grid, and how column
// widths and descriptions travel between the grid, the description edit and the
// column definitions. The window maps its events to these and draws.
#include <string>
#include <vector>

namespace zok2 {

class CZOKDoc;
class CMSFlexGrid;

// Command ids of the display modes.
constexpr int kCommandHex = 32771;
constexpr int kCommandSigned = 32772;
constexpr int kCommandUnsigned = 32773;
constexpr int kCommandList = 32779;

struct CommandState {
    bool enabled = false;
    bool checked = false;
    bool operator==(const CommandState&) const = default;
};

// The radix text a display-mode command stores ("16", "-10", "10", "0"), or "".
std::string RadixOfCommand(int command);
// Enabled while sections are loaded, checked when the current column shows that
// mode; list display also needs a value list.
CommandState DisplayModeState(const CZOKDoc& doc, int section, const CMSFlexGrid& grid, int command);
// Stores the radix of the current column and redisplays the column; only with
// the focus on the grid or the drop button. False when nothing changed.
bool SetColumnRadix(CZOKDoc& doc, int section, const CMSFlexGrid& grid, int command, bool focusOnGrid);

// The edit commands' states (select all and discard data need sections; cut,
// copy, paste and delete a current cell that holds a changeable value; undo and
// redo their log).
struct EditCommandStates {
    bool selectAll = false, discardData = false, cut = false, copy = false, paste = false, remove = false, undo = false,
         redo = false;
    bool operator==(const EditCommandStates&) const = default;
};
EditCommandStates EditStates(const CZOKDoc& doc, int section, const CMSFlexGrid& grid);

// An in-place edit may open on the current cell: it holds a value that can change.
bool CanBeginCellEdit(const CZOKDoc& doc, int section, const CMSFlexGrid& grid);
// The text the editor opens with (without a start key): the exact value.
std::string CellEditText(const CZOKDoc& doc, int section, const CMSFlexGrid& grid);
// Virtual-key codes that start an edit with the key typed: digits, A to F (and
// 0x3A to 0x40), the keypad digits, plus and minus of both keyboards.
bool IsEditStartKey(int virtualKey);
// Collapses the selection to the current cell.
void CollapseSelection(CMSFlexGrid& grid);

// The drop button shows at the current cell of a list-display column that holds a value.
bool ShowsDropButton(const CZOKDoc& doc, int section, const CMSFlexGrid& grid);

// What the value list of the current cell offers, sorted as the list shows it
// (by text, without regard to case), and which item is selected at opening.
struct ValueListView {
    std::vector<std::string> items;
    int selected = -1;
};
ValueListView BuildValueList(const CZOKDoc& doc, int section, const CMSFlexGrid& grid);
// The input a chosen item stands for: "0X" and the text before its first blank.
std::string ChoiceInput(const std::string& item);
// The list's top: right below the cell, or right above it when it would reach
// below `limitY` (the top of the description edit).
int ValueListTop(int cellTop, int cellBottom, int listHeight, int limitY);

// A right click at the pointer cell: outside the selection it becomes the current
// cell (the selection collapses); inside, the selection stays. Returns the grid
// column whose description is then shown, or 0 for a click on the row labels.
int RightClickSelect(CMSFlexGrid& grid, int pointerRow, int pointerColumn);

// Discarding the data leaves an empty 2 x 2 grid.
void ResetGridForDiscard(CMSFlexGrid& grid);

// The description edit as the rules see it: Shift-JIS text with CR LF line breaks.
class IDescriptionEdit {
public:
    virtual ~IDescriptionEdit() = default;
    virtual std::string Text() const = 0;
    virtual void SetText(const std::string& text) = 0;
    virtual bool IsModified() const = 0;
    virtual void SetModified(bool modified) = 0;
};
// Every grid column's width into its definition's `width` (decimal twips).
void SaveColumnWidths(CZOKDoc& doc, int section, const CMSFlexGrid& grid);
// An edited description into the definition of grid column `column` (0: none).
void StoreDescription(CZOKDoc& doc, int section, int column, const IDescriptionEdit& edit);
// The description of grid column `column` into the edit, its modified flag cleared.
void LoadDescription(const CZOKDoc& doc, int section, int column, IDescriptionEdit& edit);

}  // namespace zok2
