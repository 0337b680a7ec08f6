// The status bar under the view: the current cell's information line, copying
// its address, edited cells marked until a save, and the note of a paste or an
// edit whose texts were not plain numbers.
#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QStatusBar>

#include "app/InfoLine.h"
#include "app/WindowTestSupport.h"

namespace zok2::test {

namespace {

class CellInfoTest : public WindowTest {
protected:
    std::string Info() { return frame().InfoLabel().Text().toStdString(); }
    // The note in whole (the label shows what fits beside the information line).
    std::string Note() { return frame().NoteLabel().isVisible() ? frame().Note().toStdString() : std::string(); }
    bool Edited(int row, int column) { return grid().editedCell(row, column); }
    void PasteAt(int row, int column, const QString& text)
    {
        GoTo(row, column);
        QGuiApplication::clipboard()->setText(text);
        QTest::keyClick(&grid(), Qt::Key_V, Qt::ControlModifier);
    }
};

}  // namespace

TEST_F(CellInfoTest, TheLineSaysWhereACellLiesItsBytesAndItsValues)
{
    Start(sample());
    ASSERT_TRUE(frame().statusBar()->isVisible());
    GoTo(1, 1);
    EXPECT_EQ(Info(), "items  00 やくそう  値段  │  0x300  4 バイト  [08 00 00 00]  │  16進 0x8  符号付き 8  符号無し 8");
    GoTo(1, 2);  // a list column: the value, not its label
    EXPECT_EQ(Info(), "items  00 やくそう  種類  │  0x304  1 バイト  [02]  │  16進 0x2  符号付き 2  符号無し 2");
    GoTo(1, 4);  // signed -8 is 0xFFF8 in two bytes
    frame().Run(command::kCopyAddress);
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), "0x306");
    GoTo(9, 1);
    EXPECT_EQ(Info(), "items  08 (予備)  値段  │  値はありません（--）");
    EXPECT_FALSE(frame().Action(command::kCopyAddress)->isEnabled());
    ClickTab(2);  // monsters: a bit column's byte and bit
    GoTo(3, 8);
    EXPECT_EQ(Info(), "monsters  コウモリ  飛行  │  0x228  ビット 1  [A2]  │  16進 0x1  符号付き 1  符号無し 1");
    ClickTab(1);  // maps: compressed
    GoTo(1, 1);
    EXPECT_EQ(Info(), "maps  01 はじまりの村  タイル  │  圧縮されたセクションの値（ファイル上の位置はありません）  │  16進 0x1  符号付き 1  符号無し 1");
}

TEST_F(CellInfoTest, CellsPastTheEndOfTheFileSaySo)
{
    WriteFile(sample(), original.substr(0, 0x300 + 8 * 3));
    Start(sample());
    GoTo(5, 1);
    EXPECT_EQ(Info().rfind("items  04 かわのたて  値段  │  0x320  4 バイト  ファイルの終わりより後ろ  │  16進 0x", 0), 0u);
    frame().Run(command::kCopyAddress);
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), "0x320");
}

TEST_F(CellInfoTest, EditedCellsAreMarkedUntilSavedAndUnmarkedByUndo)
{
    Start(sample());
    GoTo(1, 1);
    Type("9");
    QTest::keyClick(&view().CellEdit(), Qt::Key_Return);
    EXPECT_TRUE(Edited(1, 1));
    EXPECT_FALSE(Edited(2, 1));
    PasteAt(2, 1, QStringLiteral("10\t2\n77\t2"));  // the first cell keeps its value: no mark
    EXPECT_FALSE(Edited(2, 1));
    EXPECT_FALSE(Edited(2, 2));
    EXPECT_TRUE(Edited(3, 1));
    QTest::keyClick(&grid(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_FALSE(Edited(3, 1));
    QTest::keyClick(&grid(), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_TRUE(Edited(3, 1));
    // A save clears every mark; an edit and its undo back to the saved value leave none.
    QTest::keyClick(&grid(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_FALSE(Edited(1, 1));
    EXPECT_FALSE(Edited(3, 1));
    GoTo(4, 1);
    Type("5");
    QTest::keyClick(&view().CellEdit(), Qt::Key_Return);
    EXPECT_TRUE(Edited(4, 1));
    QTest::keyClick(&grid(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_FALSE(Edited(4, 1));
    EXPECT_FALSE(doc().IsModified());
}

TEST_F(CellInfoTest, APasteSaysWhatItCouldNotReadAsANumber)
{
    Start(sample());
    // Kind is a list column (a label is no value); weight keeps to 1..0x63.
    PasteAt(1, 2, QStringLiteral("防具\t#DIV/0!\n 0x1A\t200"));
    const GridEditor::InputReport& report = view().Editor().LastInput();
    EXPECT_EQ(report.notNumbers, 3);
    EXPECT_EQ(report.clamped, 2);  // "#DIV/0!" read as 0 and 200 both moved into the range
    EXPECT_EQ(Note(), "数値として読めない文字列 3 個（読める部分、なければ 0 を格納）、範囲に合わせた値 2 個。最初: 1 行目「00 やくそう」の「種類」。"
                      "リストの列には名前でなく値（0X01 など）を貼り付けてください");
    EXPECT_EQ(Shown(2, 3), "0X63");
    // Plain numbers leave no note; a typed text that is no number does.
    PasteAt(1, 1, QStringLiteral("5"));
    EXPECT_EQ(Note(), "");
    GoTo(2, 3);
    Type("A");  // "A" starts an edit: no plain number, and below the range
    QTest::keyClick(&view().CellEdit(), Qt::Key_Return);
    EXPECT_EQ(Note(), "数値として読めない文字列 1 個（読める部分、なければ 0 を格納）、範囲に合わせた値 1 個。最初: 2 行目「01 どくけしそう」の「重さ」");
}

// At 800 pixels the information line keeps its whole text beside a long note;
// the note has the room left (whole in its tooltip) and goes with the next move.
TEST_F(CellInfoTest, ANoteLeavesTheInformationLineWholeAndGoesWithTheNextMove)
{
    Start(sample());
    frame().resize(800, 600);
    QCoreApplication::processEvents();
    PasteAt(1, 2, QStringLiteral("防具\t#DIV/0!\n 0x1A\t200"));
    QCoreApplication::processEvents();
    const InfoLine& info = frame().InfoLabel();
    ASSERT_FALSE(info.Text().isEmpty());
    // Wider fonts (Windows') need a wider window for the same room.
    const int needed = info.fontMetrics().horizontalAdvance(info.Text());
    if (needed > 500) {
        frame().resize(needed + 300, 600);
        QCoreApplication::processEvents();
    }
    EXPECT_GE(info.width(), info.fontMetrics().horizontalAdvance(info.Text())) << info.Text().toStdString();
    ASSERT_TRUE(frame().NoteLabel().isVisible());
    EXPECT_EQ(frame().NoteLabel().toolTip(), frame().Note());
    EXPECT_GE(frame().NoteLabel().x(), info.x() + info.fontMetrics().horizontalAdvance(info.Text()));
    // The next move: the note is done, the line is the new cell's.
    QTest::keyClick(&grid(), Qt::Key_Down);
    EXPECT_FALSE(frame().NoteLabel().isVisible());
    EXPECT_TRUE(frame().Note().isEmpty());
}

TEST_F(CellInfoTest, TheStatusBarCanBeHiddenAndTheChoiceIsKept)
{
    Start(sample());
    // A menu item's prompt shows there while it is pointed at.
    frame().Action(command::kDiscardData)->showStatusText(&frame());
    EXPECT_EQ(frame().statusBar()->currentMessage().toStdString(), "保持しているデータの破棄");
    frame().statusBar()->clearMessage();
    const int withBar = view().height();
    frame().Run(command::kStatusBar);
    QCoreApplication::processEvents();
    EXPECT_FALSE(frame().statusBar()->isVisible());
    EXPECT_FALSE(frame().Action(command::kStatusBar)->isChecked());
    EXPECT_GT(view().height(), withBar);  // the view fills the client area
    EXPECT_EQ(IniProfile(root() + "zok2.ini").GetString("Setting", "statusbar"), "0");
    // Hidden, a paste that stored texts as 0 says so in a message.
    PasteAt(1, 1, QStringLiteral("abc"));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].rfind("数値として読めない文字列 1 個", 0), 0u);
    PasteAt(2, 3, QStringLiteral("200"));  // only clamped: no message
    EXPECT_EQ(messages.shown.size(), 1u);
    frame().close();
    app.reset();
    Start(sample());
    EXPECT_FALSE(frame().statusBar()->isVisible());
}

}  // namespace zok2::test
