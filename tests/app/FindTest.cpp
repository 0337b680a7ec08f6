// Find and go to in the real window: labels, shown texts and values across
// tables, F3 and Shift+F3 going round, find-all and its list, rows and file offsets.
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

#include "app/FindDialog.h"
#include "app/WindowTestSupport.h"
#include "search/CellFacts.h"

namespace zok2::test {

namespace {

class FindTest : public WindowTest {
protected:
    FindDialog& Dialog() { return frame().Finder(); }
    void Search(const QString& text, bool whole = false)
    {
        QTest::keyClick(&grid(), Qt::Key_F, Qt::ControlModifier);
        ASSERT_TRUE(Dialog().isVisible());
        Dialog().Text().setText(text);
        Dialog().Whole().setChecked(whole);
        QTest::mouseClick(Dialog().findChild<QPushButton*>("next"), Qt::LeftButton);
    }
    std::string Tab() { return view().Tabs().TabText(view().Tabs().CurrentIndex()).toStdString(); }
    std::pair<int, int> Cell() { return {grid().CurrentRow(), grid().CurrentColumn()}; }
    std::string NoteText() { return Dialog().Note().text().toStdString(); }
};

}  // namespace

TEST_F(FindTest, LabelsTextsAndValuesAreFoundInOtherTables)
{
    Start(sample());
    // A row label in another table: its row is selected.
    Search(QStringLiteral("スライム"));
    EXPECT_EQ(Tab(), "monsters");
    EXPECT_EQ(Cell(), std::make_pair(1, 1));
    EXPECT_EQ(grid().SelEndColumn(), grid().ColumnCount() - 1);
    // A list label shown in a cell.
    Search(QStringLiteral("火"), true);
    EXPECT_EQ(Tab(), "monsters");
    EXPECT_EQ(Cell(), std::make_pair(6, 5));
    // 12: by value in a hexadecimal cell (0X0C) first, then cells showing 12, across tables.
    ClickTab(0);
    Search(QStringLiteral("12"), true);
    EXPECT_EQ(Tab(), "items");
    EXPECT_EQ(Cell(), std::make_pair(3, 3));
    EXPECT_EQ(Shown(3, 3), "0X0C");
    QTest::keyClick(&grid(), Qt::Key_F3);
    EXPECT_EQ(Tab(), "monsters");
    EXPECT_EQ(Cell(), std::make_pair(2, 3));
    QTest::keyClick(&grid(), Qt::Key_F3);
    EXPECT_EQ(Cell(), std::make_pair(5, 9));
    EXPECT_EQ(NoteText(), "");
    // Round again to the first, with a note; Shift+F3 goes back round the other way.
    QTest::keyClick(&grid(), Qt::Key_F3);
    EXPECT_EQ(Tab(), "items");
    EXPECT_EQ(Cell(), std::make_pair(3, 3));
    EXPECT_EQ(NoteText(), "最後まで検索したので先頭から検索しました");
    QTest::keyClick(&grid(), Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ(Tab(), "monsters");
    EXPECT_EQ(Cell(), std::make_pair(5, 9));
    EXPECT_EQ(NoteText(), "先頭まで検索したので最後から検索しました");
    // Nothing to find.
    Search(QStringLiteral("ない文字列"));
    EXPECT_EQ(NoteText(), "見つかりません");
}

TEST_F(FindTest, FindAllListsEveryHitAndGoesToTheChosenOne)
{
    Start(sample());
    QTest::keyClick(&grid(), Qt::Key_F, Qt::ControlModifier);
    Dialog().Text().setText(QStringLiteral("12"));
    Dialog().Whole().setChecked(true);
    QTest::mouseClick(Dialog().findChild<QPushButton*>("all"), Qt::LeftButton);
    QListWidget& hits = Dialog().Hits();
    ASSERT_EQ(hits.count(), 3);
    EXPECT_EQ(hits.item(1)->text().toStdString(), "monsters  │  ゴブリン  │  攻撃力  │  12");
    EXPECT_EQ(NoteText(), "3 件見つかりました");
    QTest::mouseClick(hits.viewport(), Qt::LeftButton, Qt::NoModifier, hits.visualItemRect(hits.item(2)).center());
    EXPECT_EQ(Tab(), "monsters");
    EXPECT_EQ(Cell(), std::make_pair(5, 9));
    // Only this table, only captions.
    Dialog().findChild<QRadioButton*>()->setChecked(true);  // "このテーブル"
    Dialog().Labels().setChecked(false);
    Dialog().Cells().setChecked(false);
    Dialog().Text().setText(QStringLiteral("HP"));
    EXPECT_EQ(Dialog().FindAll(), 1);
    EXPECT_EQ(Dialog().Hits().item(0)->text().toStdString(), "monsters  │    │  HP  │  HP");
}

TEST_F(FindTest, GoToARowOrAFileOffset)
{
    Start(sample());
    QString answer;
    frame().askGoTo = [&] { return answer; };
    answer = QStringLiteral("3");
    QTest::keyClick(&grid(), Qt::Key_G, Qt::ControlModifier);
    EXPECT_EQ(Cell(), std::make_pair(3, 1));
    // Inside a two-byte cell: the monsters' first HP (0x200, the correction applied).
    answer = QStringLiteral("0x201");
    QTest::keyClick(&grid(), Qt::Key_G, Qt::ControlModifier);
    EXPECT_EQ(Tab(), "monsters");
    EXPECT_EQ(Cell(), std::make_pair(1, 1));
    // A bit column's byte: the first column whose bits lie there.
    answer = QStringLiteral("$208");
    QTest::keyClick(&grid(), Qt::Key_G, Qt::ControlModifier);
    EXPECT_EQ(Cell(), std::make_pair(1, 7));
    // No cell holds it: the message names the nearest cell before it.
    answer = QStringLiteral("0x7FF");
    messages.shown.clear();
    QTest::keyClick(&grid(), Qt::Key_G, Qt::ControlModifier);
    ASSERT_EQ(messages.shown.size(), 1u);
    const search::OffsetLocation place = search::LocateOffset(doc(), 0x7FF);
    ASSERT_TRUE(place.nearestBefore);
    EXPECT_EQ(messages.shown[0].rfind("アドレス 0x7FF を含むセルはありません。\n直前のセル: ", 0), 0u) << messages.shown[0];
    EXPECT_EQ(Cell(), std::make_pair(1, 7));  // nothing moved
    // A row that does not exist, and a text that is neither.
    answer = QStringLiteral("99");
    QTest::keyClick(&grid(), Qt::Key_G, Qt::ControlModifier);
    EXPECT_EQ(messages.shown.back(), "行 99 はありません（1 から 8 まで）。");
    answer = QStringLiteral("abc");
    QTest::keyClick(&grid(), Qt::Key_G, Qt::ControlModifier);
    EXPECT_EQ(messages.shown.back(), "行番号か、0x1234 や $1234 の形のアドレスを入力してください。");
}

}  // namespace zok2::test
