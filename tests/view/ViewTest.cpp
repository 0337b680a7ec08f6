// The view's geometry and its edit commands on the real window: margins and
// wrapping tab rows, the start keys, Backspace, the right click's selection,
// copy, paste, undo and redo through the system clipboard and across tabs.
#include <QClipboard>
#include <QGuiApplication>

#include "app/WindowTestSupport.h"

namespace zok2::test {

using ViewTest = WindowTest;

TEST_F(ViewTest, ControlsArePlacedByTheirMarginsAndTabRowsPushTheGridDown)
{
    Start(sample());
    const int w = view().width(), h = view().height();
    EXPECT_EQ(view().Tabs().geometry(), QRect(2, 2, w, h - 107));
    EXPECT_EQ(view().Description().geometry(), QRect(0, h - 105, w, 105));
    const int row = view().Tabs().TabHeight() + 4;
    ASSERT_EQ(view().Tabs().RowCount(), 1);
    EXPECT_EQ(grid().geometry(), QRect(4, row + 4, w - 8, h - 107 - row - 4));
    // Too narrow for the four tabs on one row: they wrap and the grid moves down a row each.
    frame().resize(160, frame().height());
    QCoreApplication::processEvents();
    const int rows = view().Tabs().RowCount();
    EXPECT_GT(rows, 1);
    EXPECT_EQ(grid().geometry().top(), rows * row + 4);
    EXPECT_EQ(view().Tabs().TabRect(rows - 1 == 0 ? 0 : view().Tabs().Count() - 1).top(), (rows - 1) * row + 1);
    // A visible drop button follows its cell; a visible value list closes.
    frame().resize(800, 600);
    QCoreApplication::processEvents();
    GoTo(2, 2);
    ClickCell(2, 2);
    ASSERT_TRUE(view().ValueList().isVisible());
    frame().resize(700, 500);
    QCoreApplication::processEvents();
    EXPECT_FALSE(view().ValueList().isVisible());
    const QRect cell = view().GetCellRect();
    EXPECT_EQ(view().DropButton().geometry(), QRect(cell.right() + 1 - 15, cell.top(), 15, cell.height()));
}

TEST_F(ViewTest, StartKeysTypeExactlyTheirCharacterAndBackspaceDeletes)
{
    Start(sample());
    struct Case {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        const char* text;
    };
    for (const Case& c : {Case{Qt::Key_Minus, Qt::KeypadModifier, "-"}, Case{Qt::Key_Plus, Qt::KeypadModifier, "+"},
                          Case{Qt::Key_4, Qt::KeypadModifier, "4"}, Case{Qt::Key_Plus, Qt::NoModifier, "+"},
                          Case{Qt::Key_D, Qt::NoModifier, "d"}}) {
        GoTo(2, 4);
        QTest::keyClick(&grid(), c.key, c.modifiers);
        ASSERT_TRUE(view().CellEdit().isVisible()) << c.text;
        EXPECT_EQ(view().CellEdit().text().toStdString(), c.text);
        EXPECT_TRUE(view().CellEdit().isModified());
        QTest::keyClick(&view().CellEdit(), Qt::Key_Escape);
    }
    // Keys held with Ctrl, and keys outside the table, open nothing.
    for (Qt::Key key : {Qt::Key_G, Qt::Key_Space, Qt::Key_Period}) {
        QTest::keyClick(&grid(), key);
        EXPECT_FALSE(view().CellEdit().isVisible()) << key;
    }
    QTest::keyClick(&grid(), Qt::Key_1, Qt::ControlModifier);
    EXPECT_FALSE(view().CellEdit().isVisible());
    EXPECT_TRUE(doc().history.UndoLog().empty());
    // Backspace on a selection clears it like the delete command, with one undo record.
    GoTo(1, 1);
    QTest::keyClick(&grid(), Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(&grid(), Qt::Key_Backspace);
    EXPECT_EQ(Shown(1, 1), "0");
    EXPECT_EQ(Shown(2, 1), "0");
    EXPECT_EQ(doc().history.UndoLog().size(), 1u);
}

TEST_F(ViewTest, ARightClickOutsideTheSelectionMovesItAndInsideKeepsIt)
{
    Start(sample());
    int menus = 0;
    view().contextMenuRequested = [&](const QPoint&) { ++menus; };
    GoTo(1, 1);
    QTest::keyClick(&grid(), Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(&grid(), Qt::Key_Right, Qt::ShiftModifier);
    ClickCell(2, 2, Qt::RightButton);
    EXPECT_EQ(grid().CurrentRow(), 1);
    EXPECT_EQ(grid().SelEndRow(), 2);
    EXPECT_EQ(grid().SelEndColumn(), 2);
    EXPECT_EQ(view().DescriptionColumn(), 2);
    ClickCell(5, 4, Qt::RightButton);
    EXPECT_EQ(grid().CurrentRow(), 5);
    EXPECT_EQ(grid().CurrentColumn(), 4);
    EXPECT_EQ(grid().SelEndRow(), 5);
    EXPECT_EQ(view().Description().toPlainText().toStdString(), "回復量はプラス、ダメージはマイナス");
    EXPECT_EQ(menus, 2);
    // On a "--" cell the cell commands are disabled.
    ClickCell(9, 1, Qt::RightButton);
    EXPECT_FALSE(frame().Action(command::kCopy)->isEnabled());
    EXPECT_FALSE(frame().Action(command::kPaste)->isEnabled());
    EXPECT_TRUE(frame().Action(command::kSelectAll)->isEnabled());
}

TEST_F(ViewTest, CopyPasteUndoAndRedoGoThroughTheSystemClipboardAndAcrossTabs)
{
    Start(sample());
    GoTo(1, 3);
    QTest::keyClick(&grid(), Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(&grid(), Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(&grid(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), "0X01\t30\r\n0X01\t0");
    // A spreadsheet's text (Unicode, "\n" rows, a final break) pastes at the current cell.
    QGuiApplication::clipboard()->setText(QStringLiteral("77\t88\n99\t11\n"));
    GoTo(3, 1);
    QTest::keyClick(&grid(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Shown(3, 1), "77");
    EXPECT_EQ(Shown(4, 2), "0X0B");  // 11 has no label: the list column shows the value
    EXPECT_EQ(grid().SelEndRow(), 4);
    EXPECT_EQ(grid().SelEndColumn(), 2);
    // Undo from another tab switches back to the record's tab first.
    ClickTab(2);
    QTest::keyClick(&grid(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(view().CurrentSection(), 0);
    EXPECT_EQ(view().Tabs().CurrentIndex(), 0);
    EXPECT_EQ(Shown(3, 1), "30");
    EXPECT_EQ(grid().CurrentRow(), 3);
    EXPECT_EQ(grid().SelEndColumn(), 2);
    EXPECT_FALSE(doc().IsModified());
    EXPECT_TRUE(frame().Action(command::kRedo)->isEnabled());
    QTest::keyClick(&grid(), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(Shown(3, 1), "77");
    EXPECT_TRUE(doc().IsModified());
    // Shift+Delete cuts, Alt+Backspace undoes it.
    QTest::keyClick(&grid(), Qt::Key_Delete, Qt::ShiftModifier);
    EXPECT_EQ(Shown(3, 1), "0");
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), "77\t0X58\r\n99\t0X0B");
    QTest::keyClick(&grid(), Qt::Key_Backspace, Qt::AltModifier);
    EXPECT_EQ(Shown(3, 1), "77");
}

}  // namespace zok2::test

namespace zok2::test {

TEST_F(ViewTest, PasteKeepsToTheGridAndRepeatsAShortLinesLastCell)
{
    Start(sample());
    ClickTab(2);  // monsters: eleven columns
    const int last = grid().ColumnCount() - 1;
    GoTo(1, last - 1);
    QGuiApplication::clipboard()->setText(QStringLiteral("16\t2\t3\r\n32\t5\t6\r\n"));
    QTest::keyClick(&grid(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Shown(1, last - 1), "0X10");  // ランク: the high four bits, shown in hexadecimal
    EXPECT_EQ(Shown(2, last - 1), "0X20");
    EXPECT_EQ(Shown(1, last), "2");
    EXPECT_EQ(Shown(2, last), "5");
    EXPECT_EQ(grid().SelEndColumn(), last);  // the third cells fell off the grid
    EXPECT_EQ(grid().SelEndRow(), 2);
    // A second line with one cell fills the rest of its row with it; a final empty line gives 0.
    QGuiApplication::clipboard()->setText(QStringLiteral("7\t8\t9\n6\n\n"));
    GoTo(3, 1);
    QTest::keyClick(&grid(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Shown(3, 3), "9");
    EXPECT_EQ(Shown(4, 1), "6");
    EXPECT_EQ(Shown(4, 2), "6");
    EXPECT_EQ(Shown(4, 3), "6");
    EXPECT_EQ(grid().SelEndRow(), 5);
    EXPECT_EQ(Shown(5, 3), "0");
    EXPECT_EQ(Shown(5, 1), "1");  // HP keeps to its range 1 to 999
}

TEST_F(ViewTest, UndoScrollsTheChangeBackIntoViewAndStatesFollowTheCell)
{
    Start(sample());
    frame().resize(600, 300);  // only a few rows on screen
    QCoreApplication::processEvents();
    ClickTab(2);
    GoTo(8, 1);
    Type("77");
    QTest::keyClick(&view().CellEdit(), Qt::Key_Return);
    QTest::keyClick(&grid(), Qt::Key_Home, Qt::ControlModifier);
    ASSERT_FALSE(grid().RowVisible(8));
    ClickTab(0);
    QTest::keyClick(&grid(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(view().CurrentSection(), 2);
    EXPECT_EQ(grid().CurrentRow(), 8);
    EXPECT_TRUE(grid().RowVisible(8));
    EXPECT_EQ(Shown(8, 1), "999");
    EXPECT_FALSE(frame().Action(command::kUndo)->isEnabled());
    EXPECT_TRUE(frame().Action(command::kRedo)->isEnabled());
    // A read-only cell may be copied and nothing else.
    ClickTab(1);
    GoTo(1, 1);
    EXPECT_TRUE(frame().Action(command::kCopy)->isEnabled());
    EXPECT_FALSE(frame().Action(command::kCut)->isEnabled());
    EXPECT_FALSE(frame().Action(command::kPaste)->isEnabled());
    EXPECT_FALSE(frame().Action(command::kDelete)->isEnabled());
}

}  // namespace zok2::test
