#include "document/SectionGrid.h"
#include "support/TestFixture.h"

namespace zok2::test {

TEST_F(DocTest, FillingTheGridSizesColumnsAndTheHeaderRow)
{
    Def("a.idn", "short\r\n" + std::string(12, 'L') + "\r\n\r\n");
    Def("a.ini",
        "0,ABCDEFGHIJKLMNOPQRST,1\r\n"  // 20 bytes, automatic width: 1000, three header lines
        "1,Cap5x,1,,,,,1500\r\n"        // 5 bytes in 1500: no extra line
        "2,C,1,,2,16\r\n");
    OpenBytes(Bytes({1, 2, 3, 4, 5, 6}));
    MemoryGrid& grid = view.grid;
    FillSectionGrid(*doc, grid, 0, 2, 3);
    EXPECT_EQ(grid.RowCount(), 4);
    EXPECT_EQ(grid.ColumnCount(), 4);
    EXPECT_EQ(grid.CurrentRow(), 3);
    EXPECT_EQ(grid.CurrentColumn(), 2);
    EXPECT_EQ(grid.ColumnWidthTwips(0), 12 * 105);
    EXPECT_EQ(grid.ColumnWidthTwips(1), 1000);
    EXPECT_EQ(grid.ColumnWidthTwips(2), 1500);
    EXPECT_EQ(grid.ColumnWidthTwips(3), 995);
    EXPECT_EQ(grid.RowHeightTwips(0), 675);
    EXPECT_EQ(grid.CellText(0, 1), "ABCDEFGHIJKLMNOPQRST");
    EXPECT_EQ(grid.CellText(2, 0), std::string(12, 'L'));
    EXPECT_EQ(grid.CellText(3, 0), "");
    EXPECT_EQ(grid.CellText(1, 3), "0X03");
    EXPECT_EQ(grid.CellText(3, 3), "--");
    EXPECT_EQ(grid.ColumnAlign(0), 0);
    EXPECT_TRUE(grid.DrawingEnabled());
}

TEST_F(DocTest, ShortLabelsKeepTheMinimumLabelWidthAndTwoHeaderLines)
{
    Def("a.idn", "ab\r\n");
    Def("a.ini", "0,Cap5x,1,,,,,1500\r\n");
    OpenBytes(Bytes({1}));
    FillSectionGrid(*doc, view.grid, 0, 1, 1);
    EXPECT_EQ(view.grid.ColumnWidthTwips(0), 1000);
    EXPECT_EQ(view.grid.RowHeightTwips(0), 450);
}

}  // namespace zok2::test
