// A reference file in the real window: cells that differ from it marked, the
// tabs of tables with differences, F4 and Shift+F4 across tables, the list of
// differences, the reference's value in the information line.
#include <QAction>
#include <QDialog>
#include <QListWidget>

#include "app/InfoLine.h"
#include "app/WindowTestSupport.h"

namespace zok2::test {

namespace {

class ReferenceTest : public WindowTest {
protected:
    std::string Tab() { return view().Tabs().TabText(view().Tabs().CurrentIndex()).toStdString(); }
    std::pair<int, int> Cell() { return {grid().CurrentRow(), grid().CurrentColumn()}; }
    void EditTo(int row, int column, const char* digits)
    {
        GoTo(row, column);
        Type(digits);
        QTest::keyClick(&view().CellEdit(), Qt::Key_Return);
    }
};

}  // namespace

TEST_F(ReferenceTest, DifferencesAreMarkedListedAndGoneThrough)
{
    const std::string reference = root() + "original.orig";  // another extension: read as the .dat is
    WriteFile(reference, original);
    Start(sample());
    EditTo(2, 1, "77");  // items: a price
    ClickTab(2);         // monsters: an HP
    EditTo(3, 1, "99");
    app->chooseReferencePath = [&] { return reference; };
    frame().Run(command::kOpenReference);
    ASSERT_NE(app->Reference(), nullptr);
    EXPECT_TRUE(grid().differentCell(3, 1));
    EXPECT_FALSE(grid().differentCell(2, 1));
    EXPECT_EQ(view().Tabs().TabText(0).toStdString(), "● items");
    EXPECT_EQ(view().Tabs().TabText(1).toStdString(), "maps");
    EXPECT_EQ(view().Tabs().TabText(2).toStdString(), "● monsters");
    GoTo(3, 1);
    EXPECT_NE(frame().InfoLabel().Text().toStdString().find("比較元 0xF"), std::string::npos) << frame().InfoLabel().Text().toStdString();

    // F4 from here goes round to the first difference; Shift+F4 back.
    QTest::keyClick(&grid(), Qt::Key_F4);
    EXPECT_EQ(Tab(), "● items");
    EXPECT_EQ(Cell(), std::make_pair(2, 1));
    QTest::keyClick(&grid(), Qt::Key_F4);
    EXPECT_EQ(Tab(), "● monsters");
    EXPECT_EQ(Cell(), std::make_pair(3, 1));
    QTest::keyClick(&grid(), Qt::Key_F4, Qt::ShiftModifier);
    EXPECT_EQ(Tab(), "● items");
    EXPECT_EQ(Cell(), std::make_pair(2, 1));

    // The list: both cells, with the reference's text and the present one.
    frame().Run(command::kDifferenceList);
    QListWidget& list = frame().DifferenceItems();
    ASSERT_EQ(list.count(), 2);
    EXPECT_EQ(list.item(0)->text().toStdString(), "items  │  01 どくけしそう  │  値段  │  10 → 77  │  0x308");
    emit list.itemActivated(list.item(1));
    EXPECT_EQ(Tab(), "● monsters");
    EXPECT_EQ(Cell(), std::make_pair(3, 1));

    // Undoing the edit there takes the table's mark away; closing the reference takes all.
    QTest::keyClick(&grid(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(view().Tabs().TabText(2).toStdString(), "monsters");
    frame().Run(command::kCloseReference);
    EXPECT_EQ(app->Reference(), nullptr);
    EXPECT_EQ(view().Tabs().TabText(0).toStdString(), "items");
    EXPECT_FALSE(grid().differentCell(3, 1));
    EXPECT_FALSE(frame().Action(command::kNextDifference)->isEnabled());
}

TEST_F(ReferenceTest, TheReferenceStaysOnReopenAndGoesWithAnotherFile)
{
    const std::string reference = root() + "original.dat";
    std::string changed = original;
    changed[0x300] = 9;  // the first price differs
    WriteFile(reference, changed);
    Start(sample());
    ASSERT_TRUE(app->OpenReference(reference));
    EXPECT_TRUE(grid().differentCell(1, 1));
    ASSERT_TRUE(app->OpenDocumentFile(sample()));  // the same file again
    ASSERT_NE(app->Reference(), nullptr);
    EXPECT_EQ(app->ReferencePath(), reference);
    EXPECT_TRUE(grid().differentCell(1, 1));
    WriteFile(root() + "other.dat", original);
    ASSERT_TRUE(app->OpenDocumentFile(root() + "other.dat"));
    EXPECT_EQ(app->Reference(), nullptr);
    EXPECT_FALSE(grid().differentCell(1, 1));
}

TEST_F(ReferenceTest, EachFilesReferenceIsRememberedAndAVanishedOneDropped)
{
    const std::string reference = root() + "original.dat";
    WriteFile(reference, original);
    Start(sample());
    ASSERT_TRUE(app->OpenReference(reference));
    frame().close();
    app.reset();
    // Tomorrow: the same file opens with its reference again.
    Start(sample());
    ASSERT_NE(app->Reference(), nullptr);
    EXPECT_EQ(app->ReferencePath(), reference);
    frame().close();
    app.reset();
    // A reference that has gone is dropped, with a note.
    std::filesystem::remove(reference);
    messages.shown.clear();
    Start(sample());
    EXPECT_EQ(app->Reference(), nullptr);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0], "比較元が見つからないため、比較元を外しました。\n" + reference);
    frame().close();
    app.reset();
    messages.shown.clear();
    Start(sample());
    EXPECT_TRUE(messages.shown.empty());  // forgotten
    // Closing it on purpose forgets it too.
    WriteFile(reference, original);
    ASSERT_TRUE(app->OpenReference(reference));
    frame().Run(command::kCloseReference);
    frame().close();
    app.reset();
    Start(sample());
    EXPECT_EQ(app->Reference(), nullptr);
}

}  // namespace zok2::test

namespace zok2::test {

// A reference whose compressed table reads longer than the file's (its block
// claims more rows), and the reverse: the list shows rows one side lacks with
// that side empty, and F4 goes round the cells the grid has.
TEST_F(ReferenceTest, ACompressedTableReadLongerOnOneSideIsListedAndGoneRound)
{
    std::string longer = original;
    longer[0x500] = 0x7B;  // a block length inside the compressed maps
    longer[0x501] = 0x00;
    for (const bool referenceLonger : {true, false}) {
        SCOPED_TRACE(referenceLonger ? "the reference is longer" : "the file is longer");
        const std::string reference = root() + "reference.dat";
        WriteFile(reference, referenceLonger ? longer : original);
        WriteFile(sample(), referenceLonger ? original : longer);
        Start(sample());
        ASSERT_TRUE(app->OpenReference(reference));
        frame().Run(command::kDifferenceList);
        QListWidget& list = frame().DifferenceItems();
        ASSERT_GT(list.count(), 0);
        const std::string last = list.item(list.count() - 1)->text().toStdString();
        EXPECT_NE(last.find(referenceLonger ? "0XFFFF → （なし）" : "（なし） → 0XFFFF"), std::string::npos) << last;
        frame().DifferenceList().close();
        // Back from the first difference to the last the grid can show, and on
        // from there round to the first again.
        GoTo(1, 1);
        QTest::keyClick(&grid(), Qt::Key_F4);
        const std::pair<int, int> first = Cell();
        const std::string firstTab = Tab();
        QTest::keyClick(&grid(), Qt::Key_F4, Qt::ShiftModifier);
        EXPECT_LE(grid().CurrentRow(), grid().RowCount() - 1);
        EXPECT_TRUE(grid().differentCell(grid().CurrentRow(), grid().CurrentColumn()));
        QTest::keyClick(&grid(), Qt::Key_F4);
        EXPECT_EQ(Tab(), firstTab);
        EXPECT_EQ(Cell(), first);
        frame().close();
        app.reset();
    }
}

}  // namespace zok2::test
