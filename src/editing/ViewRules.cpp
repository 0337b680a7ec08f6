#include "editing/ViewRules.h"

#include <algorithm>

#include "binary/ValueCodec.h"
#include "document/CZOKDoc.h"
#include "grid/CMSFlexGrid.h"
#include "text/SjisText.h"

namespace zok2 {

namespace {

bool CurrentHoldsValue(const CZOKDoc& doc, int section, const CMSFlexGrid& grid)
{
    return doc.HasData(section, grid.CurrentColumn() - 1, grid.CurrentRow() - 1);
}

}  // namespace

std::string RadixOfCommand(int command)
{
    switch (command) {
    case kCommandHex: return "16";
    case kCommandSigned: return "-10";
    case kCommandUnsigned: return "10";
    case kCommandList: return "0";
    default: return std::string();
    }
}

CommandState DisplayModeState(const CZOKDoc& doc, int section, const CMSFlexGrid& grid, int command)
{
    CommandState state;
    const ColumnDefinition* d = doc.HasSections() ? doc.Column(section, grid.CurrentColumn() - 1) : nullptr;
    if (!d) return state;
    if (command == kCommandList && (*d)[ColumnField::listIndex].empty()) return state;
    state.enabled = true;
    state.checked = (*d)[ColumnField::radix] == RadixOfCommand(command);
    return state;
}

bool SetColumnRadix(CZOKDoc& doc, int section, const CMSFlexGrid& grid, int command, bool focusOnGrid)
{
    if (!focusOnGrid || !doc.HasSections() || RadixOfCommand(command).empty()) return false;
    ColumnDefinition* d = doc.Column(section, grid.CurrentColumn() - 1);
    if (!d) return false;
    (*d)[ColumnField::radix] = RadixOfCommand(command);
    const int column = grid.CurrentColumn() - 1;
    doc.RefreshCells(section, 0, -1, column, column);
    return true;
}

EditCommandStates EditStates(const CZOKDoc& doc, int section, const CMSFlexGrid& grid)
{
    EditCommandStates states;
    states.selectAll = states.discardData = doc.HasSections();
    const int column = grid.CurrentColumn() - 1, row = grid.CurrentRow() - 1;
    // Every cell that shows a value can be copied, read-only ones too; only "--"
    // cells hold nothing. Changing commands need a value that can change.
    const bool holdsValue = doc.HasSections() && doc.HasData(section, column, row);
    states.copy = holdsValue;
    states.cut = states.paste = states.remove = holdsValue && doc.IsEditable(section, column, row);
    states.undo = !doc.history.UndoLog().empty();
    states.redo = !doc.history.RedoLog().empty();
    return states;
}

bool CanBeginCellEdit(const CZOKDoc& doc, int section, const CMSFlexGrid& grid)
{
    return doc.HasSections() && doc.IsEditable(section, grid.CurrentColumn() - 1, grid.CurrentRow() - 1);
}

std::string CellEditText(const CZOKDoc& doc, int section, const CMSFlexGrid& grid)
{
    return doc.GetEditText(section, grid.CurrentColumn() - 1, grid.CurrentRow() - 1);
}

bool IsEditStartKey(int key)
{
    return (key >= 0x30 && key <= 0x46) || (key >= 0x60 && key <= 0x69) || key == 0x6B || key == 0x6D || key == 0xBB ||
           key == 0xBD;
}

void CollapseSelection(CMSFlexGrid& grid)
{
    grid.SetSelEndRow(grid.CurrentRow());
    grid.SetSelEndColumn(grid.CurrentColumn());
}

bool ShowsDropButton(const CZOKDoc& doc, int section, const CMSFlexGrid& grid)
{
    const ColumnDefinition* d = doc.HasSections() ? doc.Column(section, grid.CurrentColumn() - 1) : nullptr;
    return d && (*d)[ColumnField::radix] == "0" && CurrentHoldsValue(doc, section, grid);
}

ValueListView BuildValueList(const CZOKDoc& doc, int section, const CMSFlexGrid& grid)
{
    ValueListView view;
    const ColumnDefinition* d = doc.Column(section, grid.CurrentColumn() - 1);
    if (!d) return view;
    const auto choices = ValueListChoices(doc, text::ReadDec((*d)[ColumnField::listIndex]));
    for (const auto& [value, item] : choices) view.items.push_back(item);
    std::stable_sort(view.items.begin(), view.items.end(),
                     [](const std::string& a, const std::string& b) { return text::CompareNoCase(a, b) < 0; });
    if (view.items.empty()) return view;
    // The current value's text is looked for as a prefix from the top; no text selects the first item.
    const std::uint32_t value = text::ReadHex(CellEditText(doc, section, grid));
    auto found = choices.find(value);
    const std::string wanted = found == choices.end() ? std::string() : found->second;
    view.selected = 0;
    for (std::size_t i = 0; i < view.items.size() && !wanted.empty(); ++i) {
        if (view.items[i].size() >= wanted.size() && text::CompareNoCase(std::string_view(view.items[i]).substr(0, wanted.size()), wanted) == 0) {
            view.selected = static_cast<int>(i);
            break;
        }
    }
    return view;
}

std::string ChoiceInput(const std::string& item)
{
    // An item without a blank has no value in front of a label: it stands for "0X" alone.
    const std::size_t blank = text::FindChar(item, ' ');
    return blank == text::npos ? std::string("0X") : "0X" + item.substr(0, blank);
}

int ValueListTop(int cellTop, int cellBottom, int listHeight, int limitY)
{
    return cellBottom + listHeight > limitY ? cellTop - listHeight : cellBottom;
}

int RightClickSelect(CMSFlexGrid& grid, int pointerRow, int pointerColumn)
{
    if (pointerColumn == 0) return 0;
    if (pointerRow == 0) return pointerColumn;
    const int firstRow = std::min(grid.CurrentRow(), grid.SelEndRow()), lastRow = std::max(grid.CurrentRow(), grid.SelEndRow());
    const int firstColumn = std::min(grid.CurrentColumn(), grid.SelEndColumn());
    const int lastColumn = std::max(grid.CurrentColumn(), grid.SelEndColumn());
    const bool inside = pointerRow >= firstRow && pointerRow <= lastRow && pointerColumn >= firstColumn && pointerColumn <= lastColumn;
    if (!inside) {
        grid.SetFocusFrame(0);
        grid.SetHighlightMode(0);
        grid.SetCurrentRow(pointerRow);
        grid.SetCurrentColumn(pointerColumn);
        grid.SetFocusFrame(2);
        grid.SetHighlightMode(1);
    }
    return pointerColumn;
}

void ResetGridForDiscard(CMSFlexGrid& grid)
{
    grid.ClearCells();
    grid.SetColumnCount(2);
    grid.SetRowCount(2);
    grid.SetRowHeightTwips(0, 225);
    grid.SetColumnWidthTwips(0, 900);
    grid.SetColumnWidthTwips(1, 900);
}

void SaveColumnWidths(CZOKDoc& doc, int section, const CMSFlexGrid& grid)
{
    if (grid.ColumnCount() < 2 || section < 0 || static_cast<std::size_t>(section) >= doc.sections.size()) return;
    Section& columns = doc.sections[static_cast<std::size_t>(section)];
    for (int c = 1; c < grid.ColumnCount() && static_cast<std::size_t>(c - 1) < columns.size(); ++c) {
        columns[static_cast<std::size_t>(c - 1)][ColumnField::width] = text::FormatDec(grid.ColumnWidthTwips(c));
    }
}

void StoreDescription(CZOKDoc& doc, int section, int column, const IDescriptionEdit& edit)
{
    if (column == 0 || !edit.IsModified()) return;
    if (ColumnDefinition* d = doc.Column(section, column - 1)) (*d)[ColumnField::description] = edit.Text();
}

void LoadDescription(const CZOKDoc& doc, int section, int column, IDescriptionEdit& edit)
{
    if (column == 0) return;
    const ColumnDefinition* d = doc.Column(section, column - 1);
    edit.SetText(d ? (*d)[ColumnField::description] : std::string());
    edit.SetModified(false);
}

}  // namespace zok2
