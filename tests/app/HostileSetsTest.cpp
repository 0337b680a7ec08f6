// Broken and hostile definition sets in the real window: every tab shown and
// painted, every kind of key pressed, lists opened, nothing crashes and the
// file changes only by what a save writes.
#include "app/WindowTestSupport.h"

namespace zok2::test {

namespace {

class HostileSetsTest : public WindowTest {
protected:
    void UseSet(const std::vector<std::pair<std::string, std::string>>& files, const std::string& binary)
    {
        const std::string set = root() + "Settings/hostile/";
        std::filesystem::create_directories(set);
        for (const auto& [name, content] : files) WriteFile(set + name, content);
        WriteFile(root() + "zok2.ini", "[Setting]\r\nmode=hostile\r\n");
        WriteFile(root() + "h.bin", binary);
    }
    // A user trying everything on every tab.
    void TryEverything()
    {
        for (int tab = 0; tab < view().Tabs().Count(); ++tab) {
            ClickTab(tab);
            grid().repaint();
            for (int row = 1; row < std::min(grid().RowCount(), 4); ++row) {
                for (int column = 1; column < std::min(grid().ColumnCount(), 6); ++column) {
                    GoTo(row, column);
                    ClickCell(row, column);  // opens the value list of a list cell
                    if (view().ValueList().isVisible()) QTest::keyClick(&view().ValueList(), Qt::Key_Down);
                    grid().setFocus();
                    for (Qt::Key key : {Qt::Key_7, Qt::Key_Return, Qt::Key_F2, Qt::Key_Escape, Qt::Key_Minus, Qt::Key_Return,
                                        Qt::Key_Delete, Qt::Key_Backspace}) {
                        QTest::keyClick(QApplication::focusWidget(), key);
                    }
                }
            }
            QTest::keyClick(&grid(), Qt::Key_A, Qt::ControlModifier);
            QTest::keyClick(&grid(), Qt::Key_C, Qt::ControlModifier);
            QTest::keyClick(&grid(), Qt::Key_End, Qt::ControlModifier);
            QTest::keyClick(&grid(), Qt::Key_V, Qt::ControlModifier);
            for (int i = 0; i < 3; ++i) QTest::keyClick(&grid(), Qt::Key_Z, Qt::ControlModifier);
            QTest::keyClick(&grid(), Qt::Key_Y, Qt::ControlModifier);
            for (int id : {command::kHex, command::kSigned, command::kUnsigned, command::kList}) frame().Run(id);
            grid().repaint();
        }
    }
};

}  // namespace

TEST_F(HostileSetsTest, BrokenColumnsAndHugeTextsNeverBreakTheWindow)
{
    const std::string longLabel(3000, 'L');
    const std::string longCaption(400, 'C');
    UseSet({{"a.idn", "0 zero\r\n" + longLabel + "\r\n\x83\r\n"},
            {"a.ini", "0,A,1\r\nFFFFFF,far,4\r\n1,bits,.9\r\n2,none,0\r\n3,odd,7,0,FFFFFFFF\r\n4," + longCaption +
                          ",2,,,0,,-1,\\n\\n\\n,99\r\n5,idn,1,,,0,,2147483647,,nothing.idn|zz|1\r\n"},
            {"b.idn", "x\r\n"},
            {"b.ini", "COMPRESS_INFO,1,b,FFFF|FFFF|FFFF,0|0\r\n0,v,1\r\n"},
            {"c.idn", ""},
            {"c.ini", "0,no rows,1\r\n"}},
           std::string("\x01\x02\x03\x04\x05\x06", 6));
    Start(root() + "h.bin");
    ASSERT_GE(view().Tabs().Count(), 2);
    TryEverything();
    messages.answers = {IMessageBox::Answer::No};
    frame().close();
    EXPECT_EQ(ReadFile(root() + "h.bin"), std::string("\x01\x02\x03\x04\x05\x06", 6));
}

TEST_F(HostileSetsTest, AnEmptyBinaryAndAnUnusableSetLeaveAWorkingWindow)
{
    UseSet({{"a.idn", "r\r\n"}, {"a.ini", "0,A,2\r\n"}}, std::string());
    Start(root() + "h.bin");
    EXPECT_EQ(view().Tabs().Count(), 1);
    EXPECT_EQ(Shown(1, 1), "0");
    EXPECT_TRUE(grid().readOnlyCell(1, 1));  // past the end of an empty file
    TryEverything();
    EXPECT_TRUE(doc().history.UndoLog().empty());
    // A set whose first row-name file is empty cannot be used: the message, then the empty window.
    WriteFile(root() + "Settings/hostile/a.idn", "");
    EXPECT_FALSE(app->OpenDocumentFile(root() + "h.bin"));
    EXPECT_EQ(messages.shown.back(), "設定ファイルが読み込めません。");
    EXPECT_EQ(view().Tabs().Count(), 0);
    TryEverything();
    QTest::keyClick(&grid(), Qt::Key_7);
    QTest::keyClick(&grid(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_FALSE(std::filesystem::exists(root() + "h.bin.bak"));
}

}  // namespace zok2::test
