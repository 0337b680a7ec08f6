#include "grid/GridInterfaceTest.h"

#include <QCoreApplication>

#include "grid/MemoryGrid.h"
#include "gridwidget/QtFlexGrid.h"

namespace zok2::test {

TEST_P(GridInterfaceTest, CellTextsComeBackExactlyHeadersIncluded)
{
    grid->SetColumnCount(4);
    grid->SetRowCount(5);
    grid->SetHeaderRowCount(1);
    grid->SetHeaderColumnCount(1);
    grid->SetCellText(0, 0, "");
    grid->SetCellText(0, 2, "\x83\x7C caption");
    grid->SetCellText(3, 0, "label ");
    grid->SetCellText(4, 3, "0X00FF");
    EXPECT_EQ(grid->RowCount(), 5);
    EXPECT_EQ(grid->ColumnCount(), 4);
    EXPECT_EQ(grid->CellText(0, 2), "\x83\x7C caption");
    EXPECT_EQ(grid->CellText(3, 0), "label ");
    EXPECT_EQ(grid->CellText(4, 3), "0X00FF");
    grid->SetCurrentRow(4);
    grid->SetCurrentColumn(3);
    EXPECT_EQ(grid->CurrentText(), "0X00FF");
    grid->ClearCells();
    EXPECT_EQ(grid->CellText(4, 3), "");
    EXPECT_EQ(grid->CellText(0, 2), "");
}

TEST_P(GridInterfaceTest, SettingTheCurrentCellCollapsesTheSelection)
{
    grid->SetColumnCount(6);
    grid->SetRowCount(8);
    grid->SetCurrentRow(2);
    grid->SetCurrentColumn(2);
    grid->SetSelEndRow(5);
    grid->SetSelEndColumn(4);
    EXPECT_EQ(grid->SelEndRow(), 5);
    EXPECT_EQ(grid->SelEndColumn(), 4);
    grid->SetCurrentRow(3);
    EXPECT_EQ(grid->CurrentRow(), 3);
    EXPECT_EQ(grid->SelEndRow(), 3);
    EXPECT_EQ(grid->SelEndColumn(), 2);
    grid->SetSelEndColumn(5);
    grid->SetCurrentColumn(1);
    EXPECT_EQ(grid->SelEndColumn(), 1);
}

TEST_P(GridInterfaceTest, WidthsHeightsAndAlignments)
{
    grid->SetColumnCount(3);
    grid->SetRowCount(3);
    grid->SetColumnWidthTwips(1, 1500);
    grid->SetRowHeightTwips(0, 675);
    grid->SetColumnAlign(1, 7);
    grid->SetColumnAlign(2, 1);
    EXPECT_EQ(grid->ColumnWidthTwips(1), 1500);
    EXPECT_EQ(grid->RowHeightTwips(0), 675);
    EXPECT_EQ(grid->ColumnAlign(1), 7);
    EXPECT_EQ(grid->ColumnAlign(2), 1);
    grid->SetCurrentRow(1);
    grid->SetCurrentColumn(1);
    EXPECT_EQ(grid->CurrentCellWidth(), 1500);
}

TEST_P(GridInterfaceTest, ScrollingMakesRowsVisible)
{
    grid->SetColumnCount(3);
    grid->SetRowCount(1001);
    grid->SetFirstVisibleRow(900);
    EXPECT_TRUE(grid->RowVisible(900));
    EXPECT_FALSE(grid->RowVisible(1));
    EXPECT_TRUE(grid->RowVisible(0));  // the header row stays
    grid->SetFirstVisibleRow(1);
    EXPECT_TRUE(grid->RowVisible(1));
    EXPECT_FALSE(grid->RowVisible(1000));
}

TEST_P(GridInterfaceTest, TheCurrentCellStaysInsideTheDataCells)
{
    grid->SetColumnCount(4);
    grid->SetRowCount(6);
    grid->SetHeaderRowCount(1);
    grid->SetHeaderColumnCount(1);
    grid->SetCurrentRow(99);
    grid->SetCurrentColumn(99);
    EXPECT_EQ(grid->CurrentRow(), 5);
    EXPECT_EQ(grid->CurrentColumn(), 3);
    grid->SetCurrentRow(-4);
    grid->SetCurrentColumn(0);
    EXPECT_EQ(grid->CurrentRow(), 1);
    EXPECT_EQ(grid->CurrentColumn(), 1);
    grid->SetSelEndRow(50);
    grid->SetSelEndColumn(50);
    EXPECT_EQ(grid->SelEndRow(), 5);
    EXPECT_EQ(grid->SelEndColumn(), 3);
    // Shrinking the grid pulls the current cell and the selection end in.
    grid->SetCurrentRow(5);
    grid->SetRowCount(3);
    EXPECT_EQ(grid->CurrentRow(), 2);
    EXPECT_EQ(grid->SelEndRow(), 2);
}

TEST_P(GridInterfaceTest, ResizingKeepsTheCellsThatRemain)
{
    grid->SetColumnCount(3);
    grid->SetRowCount(3);
    grid->SetCellText(1, 1, "a");
    grid->SetCellText(2, 2, "b");
    grid->SetCellText(0, 2, "caption");
    grid->SetRowCount(10);
    grid->SetColumnCount(5);
    EXPECT_EQ(grid->CellText(1, 1), "a");
    EXPECT_EQ(grid->CellText(2, 2), "b");
    EXPECT_EQ(grid->CellText(0, 2), "caption");
    EXPECT_EQ(grid->CellText(9, 4), "");
    grid->SetRowCount(2);
    grid->SetRowCount(3);
    EXPECT_EQ(grid->CellText(1, 1), "a");
    EXPECT_EQ(grid->CellText(2, 2), "");  // dropped with its row
    EXPECT_EQ(grid->CellText(7, 1), "");  // outside the grid
}

TEST_P(GridInterfaceTest, TheCurrentCellsGeometryFollowsWidthsHeightsAndScrolling)
{
    grid->SetColumnCount(5);
    grid->SetRowCount(30);
    grid->SetHeaderRowCount(1);
    grid->SetHeaderColumnCount(1);
    grid->SetColumnWidthTwips(0, 1000);
    for (int c = 1; c < 5; ++c) grid->SetColumnWidthTwips(c, 600 * c);
    grid->SetRowHeightTwips(0, 450);
    for (int r = 1; r < 30; ++r) grid->SetRowHeightTwips(r, 240);
    grid->SetCurrentRow(3);
    grid->SetCurrentColumn(3);
    EXPECT_EQ(grid->CurrentCellLeft(), 1000 + 600 + 1200);
    EXPECT_EQ(grid->CurrentCellTop(), 450 + 2 * 240);
    EXPECT_EQ(grid->CurrentCellWidth(), 1800);
    EXPECT_EQ(grid->CurrentCellHeight(), 240);
    // Scrolled: the headers stay, the first visible row follows them.
    grid->SetFirstVisibleRow(3);
    EXPECT_EQ(grid->CurrentCellTop(), 450);
    EXPECT_TRUE(grid->RowVisible(3));
    EXPECT_FALSE(grid->RowVisible(2));
}

// Value cells may come from the document on demand; either way they read back
// exactly what the last refresh or SetCellText gave them.
TEST_P(GridInterfaceTest, RefreshedCellsShowTheSourceUntilATextIsSet)
{
    struct Source : ICellTextSource {
        std::string DisplayText(int section, int column, int row) const override
        {
            return std::to_string(section) + ":" + std::to_string(column) + ":" + std::to_string(row) + suffix;
        }
        std::string RowLabelText(int, int row) const override { return "row " + std::to_string(row); }
        std::string suffix;
    } source;
    auto refresh = [&](int firstRow, int lastRow, int firstColumn, int lastColumn) {
        if (grid->RefreshFromSource(source, 7, firstRow, lastRow, firstColumn, lastColumn)) return;
        for (int r = firstRow; r <= lastRow; ++r) {
            for (int c = firstColumn; c <= lastColumn; ++c) grid->SetCellText(r, c, source.DisplayText(7, c - 1, r - 1));
        }
    };
    grid->SetColumnCount(4);
    grid->SetRowCount(200);
    grid->SetCellText(0, 1, "caption");
    if (!grid->RowLabelsFromSource(source, 7)) {
        for (int r = 1; r < 200; ++r) grid->SetCellText(r, 0, source.RowLabelText(7, r - 1));
    }
    EXPECT_EQ(grid->CellText(199, 0), "row 198");
    grid->SetCellText(130, 0, "label");
    refresh(1, 199, 1, 3);
    EXPECT_EQ(grid->CellText(1, 1), "7:0:0");
    EXPECT_EQ(grid->CellText(199, 3), "7:2:198");
    EXPECT_EQ(grid->CellText(0, 1), "caption");
    EXPECT_EQ(grid->CellText(130, 0), "label");
    grid->SetCellText(64, 2, "typed");
    EXPECT_EQ(grid->CellText(64, 2), "typed");
    source.suffix = "'";
    refresh(64, 64, 2, 2);
    EXPECT_EQ(grid->CellText(64, 2), "7:1:63'");
    grid->ClearCells();
    EXPECT_EQ(grid->CellText(64, 2), "");
    EXPECT_EQ(grid->CellText(1, 1), "");
}

INSTANTIATE_TEST_SUITE_P(Grids, GridInterfaceTest,
                         ::testing::Values(GridFactory{"MemoryGrid", [] { return std::make_unique<MemoryGrid>(20, 8); }},
                                           GridFactory{"QtFlexGrid",
                                                       [] {
                                                           // On screen (offscreen), a dozen rows high.
                                                           auto grid = std::make_unique<QtFlexGrid>();
                                                           grid->resize(400, 300);
                                                           grid->show();
                                                           QCoreApplication::processEvents();
                                                           return grid;
                                                       }}),
                         GridName);

}  // namespace zok2::test
