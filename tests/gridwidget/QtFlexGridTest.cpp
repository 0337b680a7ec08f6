// The widget grid under real key and mouse events: navigation, selection,
// column resizing, the pointer cell, repaints, and cost that follows the screen.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTest>
#include <limits>

#include "gridwidget/QtFlexGrid.h"

namespace zok2::test {

namespace {

class CountingSource : public ICellTextSource {
public:
    std::string DisplayText(int, int column, int row) const override
    {
        ++calls;
        return std::to_string(row * 10 + column);
    }
    std::string RowLabelText(int, int row) const override
    {
        ++calls;
        return "label " + std::to_string(row);
    }
    mutable int calls = 0;
};

class QtFlexGridTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        grid.resize(480, 320);
        grid.show();
        QCoreApplication::processEvents();
        grid.SetColumnCount(6);
        grid.SetRowCount(101);
        for (int c = 0; c < 6; ++c) grid.SetColumnWidthTwips(c, 900);
        grid.SetRowHeightTwips(0, 450);
        grid.SetRowHeightTwips(1, 300);
        grid.setFocus();
    }
    // The centre of a cell in the viewport.
    QPoint At(int row, int column) const { return grid.CellRect(row, column).center(); }
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) { QTest::keyClick(&grid, key, modifiers); }

    QtFlexGrid grid;
};

}  // namespace

TEST_F(QtFlexGridTest, KeysMoveTheCurrentCellAndShiftExtendsTheSelection)
{
    int changes = 0;
    grid.currentCellChanged = [&] { ++changes; };
    Key(Qt::Key_Down);
    Key(Qt::Key_Right);
    EXPECT_EQ(grid.CurrentRow(), 2);
    EXPECT_EQ(grid.CurrentColumn(), 2);
    EXPECT_EQ(changes, 2);
    Key(Qt::Key_Down, Qt::ShiftModifier);
    Key(Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(grid.CurrentRow(), 2);  // the current cell stays, the other corner moves
    EXPECT_EQ(grid.SelEndRow(), 3);
    EXPECT_EQ(grid.SelEndColumn(), 3);
    Key(Qt::Key_Left);  // without Shift the selection collapses
    EXPECT_EQ(grid.SelEndRow(), grid.CurrentRow());
    EXPECT_EQ(grid.CurrentColumn(), 1);
    Key(Qt::Key_Left);
    EXPECT_EQ(grid.CurrentColumn(), 1);  // never into the row labels
    Key(Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(grid.CurrentRow(), 100);
    EXPECT_EQ(grid.CurrentColumn(), 5);
    EXPECT_TRUE(grid.RowVisible(100));
    EXPECT_FALSE(grid.RowVisible(1));
    Key(Qt::Key_Home);
    EXPECT_EQ(grid.CurrentColumn(), 1);
    EXPECT_EQ(grid.CurrentRow(), 100);
    Key(Qt::Key_PageUp);
    EXPECT_LT(grid.CurrentRow(), 100);
    EXPECT_GT(grid.CurrentRow(), 80);
    EXPECT_TRUE(grid.RowVisible(grid.CurrentRow()));
    Key(Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(grid.CurrentRow(), 1);
    EXPECT_TRUE(grid.RowVisible(1));
}

TEST_F(QtFlexGridTest, TheViewSeesKeysFirstAsPlatformKeyCodes)
{
    std::vector<int> keys;
    grid.keyDown = [&](int key, int, const QString&) {
        keys.push_back(key);
        return key == 0x37;  // the view takes "7"
    };
    Key(Qt::Key_7);
    Key(Qt::Key_Plus, Qt::KeypadModifier);
    Key(Qt::Key_Minus, Qt::KeypadModifier);
    Key(Qt::Key_3, Qt::KeypadModifier);
    Key(Qt::Key_Minus);
    Key(Qt::Key_Plus);
    Key(Qt::Key_F);
    Key(Qt::Key_F2);
    Key(Qt::Key_Delete);
    Key(Qt::Key_Backspace);
    Key(Qt::Key_Down);
    EXPECT_EQ(keys, (std::vector<int>{0x37, 0x6B, 0x6D, 0x63, 0xBD, 0xBB, 0x46, 0x71, 0x2E, 0x08, 0x28}));
    EXPECT_EQ(grid.CurrentRow(), 2);  // keys the view leaves move the grid
}

TEST_F(QtFlexGridTest, ClicksAndDragsSelectAndThePointerCellIsKnownDuringThePress)
{
    int pointerRow = -1, pointerColumn = -1, button = 0;
    grid.mouseDown = [&](int b, int, int, int) {
        pointerRow = grid.PointerRow();
        pointerColumn = grid.PointerColumn();
        button = b;
    };
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, Qt::NoModifier, At(3, 2));
    EXPECT_EQ(grid.CurrentRow(), 3);
    EXPECT_EQ(grid.CurrentColumn(), 2);
    EXPECT_EQ(pointerRow, 3);
    EXPECT_EQ(pointerColumn, 2);
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, Qt::ShiftModifier, At(5, 4));
    EXPECT_EQ(grid.CurrentRow(), 3);
    EXPECT_EQ(grid.SelEndRow(), 5);
    EXPECT_EQ(grid.SelEndColumn(), 4);
    // A right click tells the view where it was and moves nothing itself.
    QTest::mouseClick(grid.viewport(), Qt::RightButton, Qt::NoModifier, At(0, 3));
    EXPECT_EQ(button, 2);
    EXPECT_EQ(pointerRow, 0);
    EXPECT_EQ(pointerColumn, 3);
    EXPECT_EQ(grid.SelEndRow(), 5);
    // Dragging from one cell to another selects the rectangle between them.
    QTest::mousePress(grid.viewport(), Qt::LeftButton, Qt::NoModifier, At(2, 1));
    QMouseEvent move(QEvent::MouseMove, At(4, 3), grid.viewport()->mapToGlobal(At(4, 3)), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(grid.viewport(), &move);
    QTest::mouseRelease(grid.viewport(), Qt::LeftButton, Qt::NoModifier, At(4, 3));
    EXPECT_EQ(grid.CurrentRow(), 2);
    EXPECT_EQ(grid.CurrentColumn(), 1);
    EXPECT_EQ(grid.SelEndRow(), 4);
    EXPECT_EQ(grid.SelEndColumn(), 3);
}

TEST_F(QtFlexGridTest, DraggingAHeaderEdgeResizesItsColumnInTwips)
{
    const int edge = grid.CellRect(0, 2).right() + 1;
    const QPoint start(edge, 10);
    QTest::mousePress(grid.viewport(), Qt::LeftButton, Qt::NoModifier, start);
    QMouseEvent move(QEvent::MouseMove, start + QPoint(40, 0), grid.viewport()->mapToGlobal(start + QPoint(40, 0)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(grid.viewport(), &move);
    QTest::mouseRelease(grid.viewport(), Qt::LeftButton, Qt::NoModifier, start + QPoint(40, 0));
    EXPECT_EQ(grid.ColumnWidthTwips(2), 900 + 40 * 15);
    EXPECT_EQ(grid.ColumnWidthTwips(1), 900);
    EXPECT_EQ(grid.CurrentColumn(), 1);  // resizing selects nothing
}

TEST_F(QtFlexGridTest, WidthsAndHeightsFromAHostileSetStayOnAScreen)
{
    grid.SetColumnWidthTwips(1, std::numeric_limits<int>::max());
    grid.SetColumnWidthTwips(2, std::numeric_limits<int>::max());
    grid.SetColumnWidthTwips(3, -70);
    grid.SetRowHeightTwips(5, std::numeric_limits<int>::max());
    EXPECT_EQ(grid.ColumnWidthTwips(3), 0);
    EXPECT_LE(grid.ColumnWidthTwips(1), 1'000'000);
    grid.SetCurrentRow(100);
    grid.SetCurrentColumn(5);
    EXPECT_GT(grid.CurrentCellLeft(), 1'000'000);
    EXPECT_GT(grid.CurrentCellTop(), 0);
    Key(Qt::Key_Left);  // scrolling to a column wider than the screen ends
    Key(Qt::Key_Left);
    Key(Qt::Key_Left);
    EXPECT_EQ(grid.CurrentColumn(), 2);
    grid.repaint();
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(300, 100));
    EXPECT_GE(grid.CurrentColumn(), 1);
}

TEST_F(QtFlexGridTest, DrawingSwitchedOffHoldsRepaintsUntilOneAtTheEnd)
{
    CountingSource source;
    QCoreApplication::processEvents();
    const int requests = grid.RepaintRequests(), paints = grid.Paints();
    grid.SetDrawingEnabled(false);
    for (int r = 1; r < 101; ++r) grid.SetCellText(r, 0, "label");
    grid.RefreshFromSource(source, 0, 1, 100, 1, 5);
    QCoreApplication::processEvents();
    EXPECT_EQ(grid.RepaintRequests(), requests);
    EXPECT_EQ(grid.Paints(), paints);
    grid.SetDrawingEnabled(true);
    EXPECT_EQ(grid.RepaintRequests(), requests + 1);
    QCoreApplication::processEvents();
    EXPECT_EQ(grid.Paints(), paints + 1);
}

TEST_F(QtFlexGridTest, AMillionCellsCostTheCellsOnScreen)
{
    CountingSource source;
    grid.SetColumnCount(11);
    grid.SetRowCount(100001);
    grid.RefreshFromSource(source, 0, 1, 100000, 1, 10);
    grid.RowLabelsFromSource(source, 0);
    EXPECT_EQ(source.calls, 0);
    grid.repaint();
    EXPECT_GT(source.calls, 0);
    EXPECT_LT(source.calls, 400);  // a screen of cells, not a section
    EXPECT_EQ(grid.CellText(100000, 10), "999999");
    EXPECT_EQ(grid.CellText(100000, 0), "label 99999");
    EXPECT_LT(grid.MemoryBytes(), 100000u * 10 / 4);  // well under a byte a cell
    grid.SetFirstVisibleRow(99990);
    EXPECT_TRUE(grid.RowVisible(100000));
}

}  // namespace zok2::test
