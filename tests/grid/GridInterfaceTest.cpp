#include "grid/GridInterfaceTest.h"

#include "grid/MemoryGrid.h"

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

INSTANTIATE_TEST_SUITE_P(Grids, GridInterfaceTest,
                         ::testing::Values(GridFactory{"MemoryGrid", [] { return std::make_unique<MemoryGrid>(20, 8); }}),
                         GridName);

}  // namespace zok2::test
