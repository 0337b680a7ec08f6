// The view's rules on the in-memory grid: command states, edit guards and
// texts, start keys, the value list, the right click, discarding, widths and
// descriptions.
#include "document/SectionGrid.h"
#include "editing/GridEditor.h"
#include "editing/ViewRules.h"
#include "support/TestFixture.h"

namespace zok2::test {

namespace {

class FakeDescription : public IDescriptionEdit {
public:
    std::string Text() const override { return text; }
    void SetText(const std::string& t) override { text = t; }
    bool IsModified() const override { return modified; }
    void SetModified(bool m) override { modified = m; }
    std::string text;
    bool modified = false;
};

class ViewRulesTest : public DocTest {
protected:
    void SetUp() override
    {
        DocTest::SetUp();
        Def("a.idn", "r0\r\nr1\r\nr2\r\n");
        Def("names.idn", "0A zed\r\n0B Alpha\r\n");
        // Hex word; a list column (rows 0 and 1 only); a column whose row 1 lies past the end.
        Def("a.ini", "0,W,2,2,,16,,1200,first\\nline\r\n4,K,1,1,2,0,,,,1 fire|2 Ice|names.idn|0 none\r\n7,E,1,1\r\n");
        OpenBytes(Bytes({0xFF, 0x00, 0, 0, 0x0B, 0x01, 0, 9}));
        FillSectionGrid(*doc, view.grid, 0, 1, 1);
    }
    MemoryGrid& grid() { return view.grid; }
    void At(int row, int column)
    {
        grid().SetCurrentRow(row);
        grid().SetCurrentColumn(column);
    }
};

}  // namespace

TEST_F(ViewRulesTest, DisplayModeCommandsFollowTheCurrentColumn)
{
    At(1, 1);  // hexadecimal, no value list
    EXPECT_EQ(DisplayModeState(*doc, 0, grid(), kCommandHex), (CommandState{true, true}));
    EXPECT_EQ(DisplayModeState(*doc, 0, grid(), kCommandSigned), (CommandState{true, false}));
    EXPECT_EQ(DisplayModeState(*doc, 0, grid(), kCommandList), (CommandState{false, false}));
    At(1, 2);  // list display
    EXPECT_EQ(DisplayModeState(*doc, 0, grid(), kCommandList), (CommandState{true, true}));
    EXPECT_EQ(DisplayModeState(*doc, 0, grid(), kCommandUnsigned), (CommandState{true, false}));

    // Only with the focus on the grid; the column is shown again at once.
    EXPECT_FALSE(SetColumnRadix(*doc, 0, grid(), kCommandHex, false));
    EXPECT_EQ(grid().CellText(1, 2), "Alpha");
    EXPECT_TRUE(SetColumnRadix(*doc, 0, grid(), kCommandHex, true));
    EXPECT_EQ(Column(0, 1)[ColumnField::radix], "16");
    EXPECT_EQ(grid().CellText(1, 2), "0X0B");
    EXPECT_EQ(grid().ColumnAlign(2), 7);
    EXPECT_EQ(grid().CellText(3, 2), "--");

    doc->ClearContents();
    EXPECT_EQ(DisplayModeState(*doc, 0, grid(), kCommandHex), (CommandState{false, false}));
}

TEST_F(ViewRulesTest, EditCommandStatesByCell)
{
    struct Case {
        int row, column;
        bool copy, change;
    } cases[] = {
        {1, 1, true, true},    // a value
        {3, 2, false, false},  // "--"
        {2, 3, true, false},   // past the end of the file: shown, so copied, never changed
    };
    for (const Case& c : cases) {
        At(c.row, c.column);
        const EditCommandStates s = EditStates(*doc, 0, grid());
        EXPECT_TRUE(s.selectAll && s.discardData);
        EXPECT_EQ(s.copy, c.copy) << c.row << "," << c.column;
        EXPECT_EQ(s.cut && s.paste && s.remove, c.change) << c.row << "," << c.column;
        EXPECT_EQ(s.cut || s.paste || s.remove, c.change) << c.row << "," << c.column;
        EXPECT_EQ(CanBeginCellEdit(*doc, 0, grid()), c.change);
    }
    RecordingClipboard clipboard;
    GridEditor editor(*doc, grid(), clipboard);
    At(1, 1);
    EXPECT_FALSE(EditStates(*doc, 0, grid()).undo);
    editor.CommitCellText("5");
    EXPECT_TRUE(EditStates(*doc, 0, grid()).undo);
    editor.Undo();
    EXPECT_EQ(EditStates(*doc, 0, grid()), (EditCommandStates{true, true, true, true, true, true, false, true}));
}

TEST_F(ViewRulesTest, EditTextsStartKeysAndTheDropButton)
{
    At(1, 1);
    EXPECT_EQ(CellEditText(*doc, 0, grid()), "0X00FF");
    EXPECT_FALSE(ShowsDropButton(*doc, 0, grid()));
    At(2, 2);
    EXPECT_EQ(CellEditText(*doc, 0, grid()), "0X01");  // the value, not its label
    EXPECT_TRUE(ShowsDropButton(*doc, 0, grid()));
    At(3, 2);
    EXPECT_FALSE(ShowsDropButton(*doc, 0, grid()));

    for (int key : {0x30, 0x39, 0x3A, 0x41, 0x46, 0x60, 0x69, 0x6B, 0x6D, 0xBB, 0xBD}) EXPECT_TRUE(IsEditStartKey(key)) << key;
    for (int key : {0x2F, 0x47, 0x6A, 0x6C, 0x6E, 0x71, 0xBC, 0x08, 0x2E, 0x0D}) EXPECT_FALSE(IsEditStartKey(key)) << key;

    grid().SetSelEndRow(3);
    CollapseSelection(grid());
    EXPECT_EQ(grid().SelEndRow(), 3);
    EXPECT_EQ(grid().SelEndColumn(), 2);
}

TEST_F(ViewRulesTest, TheValueListOffersSortedChoicesAndSelectsTheValue)
{
    At(1, 2);  // value 0x0B: "0B Alpha" from names.idn
    ValueListView list = BuildValueList(*doc, 0, grid());
    EXPECT_EQ(list.items, (std::vector<std::string>{"0 none", "0A zed", "0B Alpha", "1 fire", "2 Ice"}));
    EXPECT_EQ(list.selected, 2);
    At(2, 2);  // value 1
    EXPECT_EQ(BuildValueList(*doc, 0, grid()).selected, 3);
    EXPECT_EQ(ChoiceInput("0B Alpha"), "0X0B");
    // An item without a blank (a row label "Dragon") is no value: it stands for 0.
    EXPECT_EQ(ChoiceInput("Dragon"), "0X");
    EXPECT_EQ(ChoiceInput("7F"), "0X");
    EXPECT_EQ(ValueListTop(100, 120, 50, 400), 120);  // below the cell
    EXPECT_EQ(ValueListTop(100, 120, 50, 160), 50);   // above it near the bottom
}

TEST_F(ViewRulesTest, ARightClickKeepsASelectionItFallsIn)
{
    At(1, 1);
    grid().SetSelEndRow(3);
    grid().SetSelEndColumn(2);
    EXPECT_EQ(RightClickSelect(grid(), 2, 2), 2);
    EXPECT_EQ(grid().CurrentRow(), 1);
    EXPECT_EQ(grid().SelEndRow(), 3);
    EXPECT_EQ(RightClickSelect(grid(), 2, 3), 3);
    EXPECT_EQ(grid().CurrentRow(), 2);
    EXPECT_EQ(grid().CurrentColumn(), 3);
    EXPECT_EQ(grid().SelEndRow(), 2);
    EXPECT_EQ(grid().FocusFrame(), 2);
    EXPECT_EQ(RightClickSelect(grid(), 1, 0), 0);
    EXPECT_EQ(grid().CurrentRow(), 2);
}

TEST_F(ViewRulesTest, WidthsAndDescriptionsTravelWithTheirColumns)
{
    FakeDescription edit;
    LoadDescription(*doc, 0, 1, edit);
    EXPECT_EQ(edit.text, "first\r\nline");
    EXPECT_FALSE(edit.modified);
    StoreDescription(*doc, 0, 2, edit);  // unmodified: nothing stored
    EXPECT_EQ(Column(0, 1)[ColumnField::description], "");
    edit.text = "new\r\ntext";
    edit.modified = true;
    StoreDescription(*doc, 0, 2, edit);
    EXPECT_EQ(Column(0, 1)[ColumnField::description], "new\r\ntext");
    StoreDescription(*doc, 0, 0, edit);  // no column
    LoadDescription(*doc, 0, 0, edit);
    EXPECT_TRUE(edit.modified);

    grid().SetColumnWidthTwips(3, 2345);
    SaveColumnWidths(*doc, 0, grid());
    EXPECT_EQ(Column(0, 0)[ColumnField::width], "1200");
    EXPECT_EQ(Column(0, 2)[ColumnField::width], "2345");

    ResetGridForDiscard(grid());
    EXPECT_EQ(grid().RowCount(), 2);
    EXPECT_EQ(grid().ColumnCount(), 2);
    EXPECT_EQ(grid().RowHeightTwips(0), 225);
    EXPECT_EQ(grid().ColumnWidthTwips(1), 900);
    EXPECT_EQ(grid().CellText(1, 1), "");
}

}  // namespace zok2::test
