// A set of hundreds of tables in the real window: the tab rows stop at a third
// of the view and scroll, the grid keeps the rest, the current tab stays in
// sight, and Ctrl+Tab / Ctrl+Shift+Tab go through the tables.
#include <QScrollBar>

#include "app/WindowTestSupport.h"

namespace zok2::test {

namespace {

class ManyTablesTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        const std::string set = root() + "Settings/many/";
        std::filesystem::create_directories(set);
        for (int i = 0; i < kTables; ++i) {
            char name[16];
            std::snprintf(name, sizeof name, "t%03d", i);
            WriteFile(set + name + ".idn", "r0\r\nr1\r\n");
            WriteFile(set + name + ".ini", std::to_string(i % 40) + ",V,1,,,10\r\n");  // addresses are hexadecimal
        }
        WriteFile(root() + "many.bin", std::string(64, '\x05'));
    }
    static constexpr int kTables = 300;
};

}  // namespace

TEST_F(ManyTablesTest, TabRowsStopAtAThirdOfTheViewAndScroll)
{
    ASSERT_TRUE(IniProfile(root() + "zok2.ini").WriteString("Setting", "mode", "many"));
    Start(root() + "many.bin");
    frame().resize(900, 700);
    QCoreApplication::processEvents();
    SectionTabs& tabs = view().Tabs();
    ASSERT_EQ(tabs.Count(), kTables);
    const int pitch = tabs.TabHeight() + 4;
    const int area = tabs.height();
    EXPECT_GT(tabs.RowCount(), tabs.VisibleRowCount());
    EXPECT_LE(tabs.VisibleRowCount() * pitch, area / 3);
    EXPECT_GE(grid().height(), area * 2 / 3 - 8);
    EXPECT_EQ(grid().geometry().top(), tabs.VisibleRowCount() * pitch + 4);
    // Only the tabs in sight are drawn.
    tabs.repaint();
    EXPECT_GT(tabs.TabsPainted(), 0);
    EXPECT_LT(tabs.TabsPainted(), kTables / 2);

    // Ctrl+Shift+Tab from the first table goes to the last, which comes into sight.
    QTest::keyClick(&grid(), Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(tabs.CurrentIndex(), kTables - 1);
    EXPECT_EQ(view().CurrentSection(), view().TabItems().back().section);
    const QRect last = tabs.TabRect(kTables - 1);
    EXPECT_GE(last.top(), 0);
    EXPECT_LE(last.bottom(), tabs.VisibleRowCount() * pitch);
    EXPECT_EQ(tabs.TabAt(last.center()), kTables - 1);
    EXPECT_EQ(Shown(1, 1), std::to_string(5));
    // Ctrl+Tab wraps back to the first.
    QTest::keyClick(&grid(), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(tabs.CurrentIndex(), 0);
    EXPECT_EQ(tabs.FirstVisibleRow(), 0);
    QTest::keyClick(&grid(), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(tabs.CurrentIndex(), 1);
    // The scroll bar shows other rows; a click there picks a tab in sight.
    auto* bar = tabs.findChild<QScrollBar*>();
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(bar->isVisible());
    bar->setValue(bar->maximum());
    EXPECT_EQ(tabs.FirstVisibleRow(), tabs.RowCount() - tabs.VisibleRowCount());
    const int target = tabs.TabAt(QPoint(5, 3));
    ASSERT_GT(target, 1);
    QTest::mouseClick(&tabs, Qt::LeftButton, Qt::NoModifier, QPoint(5, 3));
    EXPECT_EQ(tabs.CurrentIndex(), target);
}

TEST_F(ManyTablesTest, AFewTablesStillWrapWithoutScrolling)
{
    Start(sample());
    SectionTabs& tabs = view().Tabs();
    auto* bar = tabs.findChild<QScrollBar*>();
    ASSERT_NE(bar, nullptr);
    EXPECT_FALSE(bar->isVisible());
    EXPECT_EQ(tabs.VisibleRowCount(), tabs.RowCount());
    QTest::keyClick(&grid(), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(tabs.CurrentIndex(), 1);
    QTest::keyClick(&grid(), Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(tabs.CurrentIndex(), 0);
}

}  // namespace zok2::test
