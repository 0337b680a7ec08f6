// The rest of the commands: the settings sheet, discard data, New, files
// dropped on the view, the description edit's keys, the context menu, and a
// profile that cannot be written.
#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QTabWidget>
#include <QDialogButtonBox>
#include <QMenu>
#include <QMimeData>
#include <QUrl>
#include <sys/stat.h>

#include "app/CMyPropertySheet.h"
#include <QContextMenuEvent>

#include "app/WindowTestSupport.h"

namespace zok2::test {

namespace {

class CommandsTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        // A second set like the first, without the skills table.
        std::filesystem::copy(root() + "Settings/sample", root() + "Settings/alt");
        std::filesystem::remove(root() + "Settings/alt/skills.ini");
    }
    // Chooses a set in the sheet and presses OK, as a user does.
    void Choose(const std::string& name)
    {
        CMyPropertySheet sheet(*app, &frame());
        sheet.show();
        QListWidget& list = sheet.Page().List();
        const QList<QListWidgetItem*> items = list.findItems(QString::fromStdString(name), Qt::MatchExactly);
        ASSERT_EQ(items.size(), 1) << name;
        list.setCurrentItem(items[0]);
        auto* buttons = sheet.findChild<QDialogButtonBox*>();
        QTest::mouseClick(buttons->button(QDialogButtonBox::Ok), Qt::LeftButton);
        EXPECT_FALSE(sheet.isVisible());
    }
    std::string Mode() const { return IniProfile(root() + "zok2.ini").GetString("Setting", "mode"); }
    void EditFirstPrice(const char* digits)
    {
        GoTo(1, 1);
        Type(digits);
        QTest::keyClick(&view().CellEdit(), Qt::Key_Return);
    }
    void DropOn(QWidget* target, const std::vector<std::string>& paths)
    {
        QMimeData data;
        QList<QUrl> urls;
        for (const auto& p : paths) urls.push_back(QUrl::fromLocalFile(QString::fromStdString(p)));
        data.setUrls(urls);
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        view().eventFilter(target, &drop);
    }
};

}  // namespace

TEST_F(CommandsTest, TheSheetListsEverySetSortedWithThePresentOneSelected)
{
    for (const char* folder : {"B", "a", "C", "set.b"}) std::filesystem::create_directory(root() + "Settings/" + folder);
    WriteFile(root() + "Settings/file.txt", "not a set");
    Start();
    CMyPropertySheet sheet(*app, &frame());
    EXPECT_EQ(sheet.windowTitle().toStdString(), "ﾌﾟﾛﾊﾟﾃｨ ｼｰﾄ");
    auto* tabs = sheet.findChild<QTabWidget*>();
    ASSERT_NE(tabs, nullptr);
    EXPECT_EQ(tabs->tabText(0).toStdString(), "設定の選択");
    EXPECT_EQ(sheet.Page().Names(), (std::vector<std::string>{"a", "alt", "B", "C", "sample", "set.b"}));
    ASSERT_NE(sheet.Page().List().currentItem(), nullptr);
    EXPECT_EQ(sheet.Page().List().currentItem()->text().toStdString(), "sample");
    auto* buttons = sheet.findChild<QDialogButtonBox*>();
    EXPECT_EQ(buttons->buttons().size(), 2);  // OK and Cancel, no Apply
    // With no binary open a choice only changes the profile, whole name and all.
    Choose("set.b");
    EXPECT_EQ(Mode(), "set.b");
    EXPECT_TRUE(messages.asked.empty());
}

TEST_F(CommandsTest, ChoosingTheSameSetDoesNothingAndAnUnmodifiedDocumentReloadsWithoutAsking)
{
    Start(sample());
    const std::string columns = ReadFile(root() + "Settings/sample/items.ini");
    Choose("sample");
    EXPECT_EQ(ReadFile(root() + "Settings/sample/items.ini"), columns);  // no save
    GoTo(1, 3);
    frame().Run(command::kSigned);  // a column setting of the old set
    Choose("alt");
    EXPECT_EQ(Mode(), "alt");
    EXPECT_TRUE(messages.asked.empty());
    EXPECT_NE(ReadFile(root() + "Settings/sample/items.ini").find(Utf8ToSjis("105,重さ,,8,8,,")), std::string::npos);
    EXPECT_EQ(view().Tabs().Count(), 3);  // the new set's tables
    EXPECT_EQ(ReadFile(sample()), original);
    EXPECT_FALSE(std::filesystem::exists(sample() + ".bak"));
}

TEST_F(CommandsTest, AModifiedDocumentIsAskedAboutAndEachAnswerIsKept)
{
    Start(sample());
    EditFirstPrice("4");
    messages.answers = {IMessageBox::Answer::Cancel};
    Choose("alt");
    ASSERT_EQ(messages.asked.size(), 1u);
    EXPECT_EQ(messages.asked[0], "設定とバイナリを再読み込みします。\r\n現在のデータを保存しますか？");
    EXPECT_EQ(Mode(), "alt");  // stored whatever the answer
    EXPECT_EQ(view().Tabs().Count(), 4);
    EXPECT_EQ(Shown(1, 1), "4");
    EXPECT_TRUE(doc().IsModified());

    ASSERT_TRUE(IniProfile(root() + "zok2.ini").WriteString("Setting", "mode", "sample"));
    messages.answers = {IMessageBox::Answer::No};
    Choose("alt");
    EXPECT_EQ(view().Tabs().Count(), 3);
    EXPECT_EQ(Shown(1, 1), "8");
    EXPECT_FALSE(doc().IsModified());
    EXPECT_EQ(ReadFile(sample()), original);

    EditFirstPrice("5");
    messages.answers = {IMessageBox::Answer::Yes};
    Choose("sample");
    EXPECT_EQ(view().Tabs().Count(), 4);
    EXPECT_EQ(Shown(1, 1), "5");
    EXPECT_EQ(static_cast<unsigned char>(ReadFile(sample())[0x300]), 5);
    EXPECT_EQ(ReadFile(sample() + ".bak"), original);
}

TEST_F(CommandsTest, AFailedSaveDoesNotReloadAndAReadOnlyProfileChangesNothing)
{
    Start(sample());
    EditFirstPrice("6");
    ASSERT_EQ(chmod(sample().c_str(), 0444), 0);
    messages.answers = {IMessageBox::Answer::Yes};
    Choose("alt");
    EXPECT_FALSE(messages.shown.empty());  // the save said why
    EXPECT_EQ(view().Tabs().Count(), 4);
    EXPECT_EQ(Shown(1, 1), "6");
    EXPECT_TRUE(doc().IsModified());
    EXPECT_EQ(ReadFile(sample()), original);

    chmod(sample().c_str(), 0644);
    ASSERT_TRUE(IniProfile(root() + "zok2.ini").WriteString("Setting", "mode", "sample"));
    ASSERT_EQ(chmod((root() + "zok2.ini").c_str(), 0444), 0);
    messages.shown.clear();
    messages.asked.clear();
    Choose("alt");
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].rfind("設定の選択をプロファイルに保存できませんでした。", 0), 0u);
    EXPECT_TRUE(messages.asked.empty());
    EXPECT_EQ(Mode(), "sample");
    EXPECT_EQ(view().Tabs().Count(), 4);
    chmod((root() + "zok2.ini").c_str(), 0644);
}

TEST_F(CommandsTest, DiscardDataLeavesAnEmptyGridAndTheFileUntouched)
{
    Start(sample());
    EditFirstPrice("9");
    QTest::keyClick(&grid(), Qt::Key_W, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(messages.asked.empty());
    EXPECT_EQ(view().Tabs().Count(), 0);
    EXPECT_EQ(grid().RowCount(), 2);
    EXPECT_EQ(grid().ColumnCount(), 2);
    EXPECT_EQ(grid().RowHeightTwips(0), 225);
    EXPECT_EQ(grid().ColumnWidthTwips(0), 900);
    EXPECT_EQ(grid().ColumnWidthTwips(1), 900);
    EXPECT_TRUE(view().Description().toPlainText().isEmpty());
    EXPECT_FALSE(frame().Action(command::kUndo)->isEnabled());
    EXPECT_FALSE(frame().Action(command::kRedo)->isEnabled());
    EXPECT_FALSE(frame().Action(command::kSave)->isEnabled());
    EXPECT_EQ(frame().windowTitle().toStdString(), "無題 - ZOK2");
    EXPECT_EQ(ReadFile(sample()), original);
    EXPECT_EQ(frame().Action(command::kDiscardData)->statusTip().toStdString(), "保持しているデータの破棄");
    EXPECT_EQ(frame().Action(command::kDiscardData)->toolTip().toStdString(), "データをを破棄する");
}

TEST_F(CommandsTest, NewAsksFirstAndLeavesNothingASaveCouldPatch)
{
    Start(sample());
    EditFirstPrice("2");
    messages.answers = {IMessageBox::Answer::Cancel};
    QTest::keyClick(&grid(), Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(view().Tabs().Count(), 4);
    EXPECT_TRUE(doc().IsModified());
    messages.answers = {IMessageBox::Answer::No};
    QTest::keyClick(&grid(), Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(messages.asked.size(), 2u);
    EXPECT_EQ(view().Tabs().Count(), 0);
    EXPECT_TRUE(doc().GetPathName().empty());
    EXPECT_FALSE(frame().Action(command::kSave)->isEnabled());
    EXPECT_FALSE(frame().Action(command::kSaveAs)->isEnabled());
    QTest::keyClick(&grid(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(ReadFile(sample()), original);
    EXPECT_FALSE(std::filesystem::exists(sample() + ".bak"));
}

TEST_F(CommandsTest, FilesDroppedOnTheViewOpenTheFirstAndAskWhenModified)
{
    Start();
    WriteFile(root() + "second.dat", original);
    DropOn(&view().Tabs(), {sample(), root() + "second.dat"});
    EXPECT_EQ(doc().GetPathName(), sample());
    EXPECT_EQ(app->RecentFiles(), std::vector<std::string>{sample()});
    EditFirstPrice("1");
    messages.answers = {IMessageBox::Answer::Cancel};
    DropOn(view().Description().viewport(), {root() + "second.dat"});
    EXPECT_EQ(messages.asked.size(), 1u);
    EXPECT_EQ(doc().GetPathName(), sample());
    EXPECT_EQ(Shown(1, 1), "1");
    std::filesystem::create_directory(root() + "folder");
    DropOn(&view().CellEdit(), {root() + "folder"});
    EXPECT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(Shown(1, 1), "1");
}

TEST_F(CommandsTest, TheDescriptionEditsKeysActOnItsOwnText)
{
    Start(sample());
    GoTo(1, 1);
    EditFirstPrice("7");
    view().Description().setFocus();
    view().Description().moveCursor(QTextCursor::End);
    Type("xy");
    QTest::keyClick(&view().Description(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(view().Description().toPlainText().toStdString(), "店での買値（ゴールド）\n売値はこの半分");
    EXPECT_EQ(Shown(1, 1), "7");  // the grid's edit stays
    EXPECT_EQ(doc().history.UndoLog().size(), 1u);
    QGuiApplication::clipboard()->setText(QStringLiteral("!"));
    QTest::keyClick(&view().Description(), Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(view().Description().toPlainText().toStdString(), "店での買値（ゴールド）\n売値はこの半分!");
    // Ctrl+P on the grid does nothing.
    grid().setFocus();
    QTest::keyClick(&grid(), Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(Shown(1, 1), "7");
    EXPECT_FALSE(view().CellEdit().isVisible());
    // Select all and Ctrl+Delete clear the edit's text only.
    view().Description().setFocus();
    QTest::keyClick(&view().Description(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(&view().Description(), Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_TRUE(view().Description().toPlainText().isEmpty());
    EXPECT_EQ(doc().history.UndoLog().size(), 1u);
}

TEST_F(CommandsTest, TheContextMenuOpensFromTheKeyboardAtTheViewsCornerWithItsStates)
{
    Start(sample());
    std::vector<QPoint> at;
    view().contextMenuRequested = [&](const QPoint& p) { at.push_back(p); };
    QTest::keyClick(&grid(), Qt::Key_F10, Qt::ShiftModifier);
    QTest::keyClick(&grid(), Qt::Key_Menu);
    // The menu key as the platform reports it: a keyboard context-menu event at the grid's centre.
    QContextMenuEvent fromKey(QContextMenuEvent::Keyboard, grid().rect().center(), grid().mapToGlobal(grid().rect().center()));
    QApplication::sendEvent(&grid(), &fromKey);
    // The mouse opens it under the pointer.
    QContextMenuEvent fromMouse(QContextMenuEvent::Mouse, QPoint(40, 40), view().mapToGlobal(QPoint(40, 40)));
    QApplication::sendEvent(&view(), &fromMouse);
    ASSERT_EQ(at.size(), 4u);
    EXPECT_EQ(at[0], view().mapToGlobal(QPoint(5, 5)));
    EXPECT_EQ(at[1], view().mapToGlobal(QPoint(5, 5)));
    EXPECT_EQ(at[2], view().mapToGlobal(QPoint(5, 5)));
    EXPECT_EQ(at[3], view().mapToGlobal(QPoint(40, 40)));
    GoTo(9, 1);  // a "--" cell
    std::unique_ptr<QMenu> menu = frame().BuildContextMenu();
    std::vector<std::string> items;
    for (QAction* a : menu->actions()) {
        items.push_back(a->isSeparator() ? "-" : a->text().toStdString() + (a->isEnabled() ? "" : " (off)") + (a->isChecked() ? " (X)" : ""));
    }
    EXPECT_EQ(items, (std::vector<std::string>{"元に戻す(&U) (off)", "やり直し(&R) (off)", "-", "切り取り(&T) (off)", "ｺﾋﾟｰ(&C) (off)",
                                               "貼り付け(&P) (off)", "削除(&D) (off)", "-", "すべて選択(&A)", "-", "16進数で表示",
                                               "符号付き10進数で表示", "符号無し10進数で表示 (X)", "リスト表示 (off)", "-", "列の定義(&F)..."}));
}

TEST_F(CommandsTest, AProfileThatCannotBeWrittenIsReportedOnce)
{
    ASSERT_EQ(chmod((root() + "zok2.ini").c_str(), 0444), 0);
    Start(sample());
    WriteFile(root() + "second.dat", original);
    app->OpenDocumentFile(root() + "second.dat");
    frame().close();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].rfind("プロファイルに書き込めません。", 0), 0u);
    chmod((root() + "zok2.ini").c_str(), 0644);
}

}  // namespace zok2::test
