// The window on the sample: what it shows, typing in every display mode, the
// value list, radix switching, tab switches, saving, the placement, and the
// questions before anything could drop an edit.
#include "app/WindowTestSupport.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QUrl>

#include "app/AboutBox.h"

#include "CliCommands.h"

namespace zok2::test {

namespace {

// Every menu's labels in order ("-" a separator), submenus by their title.
std::vector<std::string> MenuLabels(QMenu* menu)
{
    std::vector<std::string> labels;
    for (QAction* action : menu->actions()) {
        if (action->isSeparator()) {
            labels.push_back("-");
        } else if (action->isVisible()) {
            labels.push_back(action->text().toStdString());
        }
    }
    return labels;
}

}  // namespace

TEST_F(WindowTest, ShowsTheSampleExactlyAsTheCommandLineToolDumpsIt)
{
    Start(sample());
    EXPECT_EQ(frame().windowTitle().toStdString(), "sample.dat - ZOK2");
    const CliResult dump = RunCli({"--root", root(), "dump", sample()}, "/nonexistent", [] { return std::string(); });
    ASSERT_EQ(dump.status, 0) << dump.err;
    std::vector<std::string> shown;
    ASSERT_EQ(view().Tabs().Count(), 4);
    for (int tab = 0; tab < view().Tabs().Count(); ++tab) {
        ClickTab(tab);
        ASSERT_EQ(view().Tabs().CurrentIndex(), tab);
        if (tab > 0) shown.push_back("");
        shown.push_back("[" + view().Tabs().TabText(tab).toStdString() + "]");
        for (int r = 0; r < grid().RowCount(); ++r) {
            std::string line;
            for (int c = 0; c < grid().ColumnCount(); ++c) line += (c ? "\t" : "") + Shown(r, c);
            shown.push_back(line);
        }
    }
    EXPECT_EQ(shown, TextLines(dump.out));
    // The section without column definitions has no tab, and tabs map to their sections.
    EXPECT_EQ(view().TabItems()[3].section, 4);
}

TEST_F(WindowTest, TheMenusCarryEveryItemWithItsShortcutAndInitialState)
{
    Start();
    const QList<QAction*> menus = frame().menuBar()->actions();
    ASSERT_EQ(menus.size(), 4);
    std::vector<std::string> titles;
    for (QAction* menu : menus) titles.push_back(menu->text().toStdString());
    EXPECT_EQ(titles, (std::vector<std::string>{"ﾌｧｲﾙ(&F)", "編集(&E)", "表示(&V)", "その他(&O)"}));
    EXPECT_EQ(MenuLabels(menus[0]->menu()),
              (std::vector<std::string>{"開く(&O)\tCtrl+O", "上書き保存(&S)\tCtrl+S", "名前を付けて保存(&A)...", "設定の保存", "-",
                                        "最近使ったﾌｧｲﾙ", "-", "データの破棄\tCtrl+Shift+W", "-", "終了(&X)",
                                        // the program's own, after the items of old
                                        "-", "比較元を開く(&R)...", "比較元を閉じる", "パッチの作成(&P)...", "パッチの適用(&L)...",
                                        "この表のエクスポート(&E)...", "すべての表のエクスポート...", "インポート(&I)..."}));
    EXPECT_EQ(MenuLabels(menus[1]->menu()),
              (std::vector<std::string>{"元に戻す(&U)\tCtrl+Z", "やり直し(&R)\tCtrl+Y", "-", "切り取り(&T)\tCtrl+X",
                                        "ｺﾋﾟｰ(&C)\tCtrl+C", "貼り付け(&P)\tCtrl+V", "削除(&D)\tDel", "-", "すべて選択(&A)\tCtrl+A",
                                        // the program's own, after the items of old
                                        "-", "検索(&F)...\tCtrl+F", "次を検索(&N)\tF3", "前を検索(&V)\tShift+F3",
                                        "移動(&G)...\tCtrl+G", "アドレスをコピー(&O)", "次の相違(&I)\tF4", "前の相違\tShift+F4",
                                        "相違の一覧(&L)..."}));
    EXPECT_EQ(MenuLabels(menus[2]->menu()), (std::vector<std::string>{"選択セクションの表示", "-", "ステータス バー(&S)", "バイナリ(&B)"}));
    EXPECT_EQ(MenuLabels(menus[2]->menu()->actions()[0]->menu()),
              (std::vector<std::string>{"16進数", "符号付き10進数", "符号無し10進数", "リスト"}));
    EXPECT_EQ(MenuLabels(menus[3]->menu()),
              (std::vector<std::string>{"設定(&E)", "ZOK のﾊﾞｰｼﾞｮﾝ情報(&A)...", "-", "定義の検査(&C)...", "テーブルの追加(&T)...", "列の定義(&F)...", "言語 / Language(&L)"}));
    EXPECT_TRUE(frame().Action(command::kOpen)->isEnabled());
    EXPECT_FALSE(frame().Action(command::kSave)->isEnabled());
    EXPECT_FALSE(frame().Action(command::kSaveAs)->isEnabled());
    EXPECT_FALSE(frame().Action(command::kRecentFile)->isEnabled());
    EXPECT_FALSE(frame().Action(command::kUndo)->isEnabled());  // no log yet
    // The accelerator table's second keys.
    EXPECT_EQ(frame().Action(command::kCopy)->shortcuts().value(1), QKeySequence(Qt::CTRL | Qt::Key_Insert));
    EXPECT_EQ(frame().Action(command::kPaste)->shortcuts().value(1), QKeySequence(Qt::SHIFT | Qt::Key_Insert));
    EXPECT_EQ(frame().Action(command::kCut)->shortcuts().value(1), QKeySequence(Qt::SHIFT | Qt::Key_Delete));
    EXPECT_EQ(frame().Action(command::kUndo)->shortcuts().value(1), QKeySequence(Qt::ALT | Qt::Key_Backspace));
}

TEST_F(WindowTest, TypingInEveryDisplayModeAndCtrlSWriteExactlyTheEditedBytes)
{
    Start(sample());
    // Unsigned: 値段 of row 1 (4 bytes at 0x300), typed digits replace the value.
    GoTo(1, 1);
    Type("123");
    EXPECT_TRUE(view().CellEdit().isVisible());
    EXPECT_EQ(view().CellEdit().text().toStdString(), "123");
    QTest::keyClick(&view().CellEdit(), Qt::Key_Return);
    EXPECT_FALSE(view().CellEdit().isVisible());
    EXPECT_EQ(Shown(1, 1), "123");
    EXPECT_EQ(frame().windowTitle().toStdString(), "sample.dat * - ZOK2");
    // Signed: 効果 of row 2 (2 bytes at 0x30E), the main keyboard's minus starts the edit.
    GoTo(2, 4);
    QTest::keyClick(&grid(), Qt::Key_Minus);
    EXPECT_EQ(view().CellEdit().text().toStdString(), "-");
    Type("5");
    QTest::keyClick(&view().CellEdit(), Qt::Key_Return);
    EXPECT_EQ(Shown(2, 4), "-5");
    // Hexadecimal: 重さ of row 3 (1 byte at 0x315), typed with its prefix.
    GoTo(3, 3);
    Type("0x2a");
    QTest::keyClick(&view().CellEdit(), Qt::Key_Return);
    EXPECT_EQ(Shown(3, 3), "0X2A");
    // List: 種類 of row 4 (1 byte at 0x31C), chosen from the value list.
    GoTo(4, 2);
    ASSERT_TRUE(view().DropButton().isVisible());
    QTest::mouseClick(&view().DropButton(), Qt::LeftButton);
    ASSERT_TRUE(view().ValueList().isVisible());
    const QList<QListWidgetItem*> found = view().ValueList().findItems(QStringLiteral("3 貴重品"), Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1);
    const QRect item = view().ValueList().visualItemRect(found[0]);
    QTest::mouseClick(view().ValueList().viewport(), Qt::LeftButton, Qt::NoModifier, item.center());
    EXPECT_FALSE(view().ValueList().isVisible());
    EXPECT_EQ(Shown(4, 2), "貴重品");
    EXPECT_EQ(doc().history.UndoLog().size(), 4u);
    EXPECT_TRUE(frame().Action(command::kSave)->isEnabled());

    QTest::keyClick(&grid(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(messages.shown.empty()) << messages.shown.front();
    EXPECT_FALSE(doc().IsModified());
    EXPECT_EQ(frame().windowTitle().toStdString(), "sample.dat - ZOK2");
    EXPECT_EQ(ReadFile(sample() + ".bak"), original);
    std::string expected = original;
    expected.replace(0x300, 4, std::string("\x7B\x00\x00\x00", 4));
    expected.replace(0x30E, 2, "\xFB\xFF");
    expected[0x315] = 0x2A;
    expected[0x31C] = 0x03;
    EXPECT_EQ(ReadFile(sample()), expected);
}

TEST_F(WindowTest, F2OpensTheExactValueSelectedAndEscapeChangesNothing)
{
    Start(sample());
    GoTo(3, 3);
    QTest::keyClick(&grid(), Qt::Key_F2);
    ASSERT_TRUE(view().CellEdit().isVisible());
    EXPECT_EQ(view().CellEdit().text().toStdString(), "0X0C");
    EXPECT_EQ(view().CellEdit().selectedText().toStdString(), "0X0C");
    EXPECT_EQ(view().CellEdit().geometry(), view().GetCellRect());
    EXPECT_EQ(view().CellEdit().palette().color(QPalette::Base), QColor(233, 255, 255));
    Type("3F");
    QTest::keyClick(&view().CellEdit(), Qt::Key_Escape);
    EXPECT_FALSE(view().CellEdit().isVisible());
    EXPECT_TRUE(grid().hasFocus());
    EXPECT_EQ(Shown(3, 3), "0X0C");
    EXPECT_TRUE(doc().history.UndoLog().empty());
    EXPECT_FALSE(doc().IsModified());
    // Enter and a double click open the same editor; leaving it unchanged records nothing.
    QTest::keyClick(&grid(), Qt::Key_Return);
    EXPECT_EQ(view().CellEdit().text().toStdString(), "0X0C");
    QTest::keyClick(&view().CellEdit(), Qt::Key_Return);
    QTest::mouseDClick(grid().viewport(), Qt::LeftButton, Qt::NoModifier, grid().CellRect(3, 3).center());
    EXPECT_TRUE(view().CellEdit().isVisible());
    grid().setFocus();
    EXPECT_FALSE(view().CellEdit().isVisible());
    EXPECT_TRUE(doc().history.UndoLog().empty());
}

TEST_F(WindowTest, TheValueListOpensBelowTheCellOrAboveItNearTheBottom)
{
    Start(sample());
    // Short enough that a list under the last rows would reach the description edit.
    frame().resize(700, 380);
    QCoreApplication::processEvents();
    const int descriptionTop = view().Description().geometry().top();
    bool sawBelow = false, sawAbove = false;
    for (int row = 1; row <= 8; ++row) {
        GoTo(row, 2);
        ClickCell(row, 2);  // a click on the current list cell opens the list
        ASSERT_TRUE(view().ValueList().isVisible()) << row;
        const QRect cell = view().GetCellRect(), list = view().ValueList().geometry();
        EXPECT_EQ(list.left(), cell.left());
        EXPECT_GE(list.width(), cell.width());  // wider when an item needs it
        if (cell.bottom() + 1 + list.height() > descriptionTop) {
            EXPECT_EQ(list.bottom() + 1, cell.top()) << row;
            sawAbove = true;
        } else {
            EXPECT_EQ(list.top(), cell.bottom() + 1) << row;
            sawBelow = true;
        }
        QTest::keyClick(&view().ValueList(), Qt::Key_Escape);
        EXPECT_FALSE(view().ValueList().isVisible());
    }
    EXPECT_TRUE(sawBelow);
    EXPECT_TRUE(sawAbove);
    EXPECT_TRUE(doc().history.UndoLog().empty());  // opening and closing chose nothing
}

TEST_F(WindowTest, RadixCommandsSwitchTheCurrentColumnWithCheckMarks)
{
    Start(sample());
    GoTo(3, 3);
    auto checked = [this] {
        std::string marks;
        for (int id : {command::kHex, command::kSigned, command::kUnsigned, command::kList}) {
            QAction* a = frame().Action(id);
            marks += a->isEnabled() ? (a->isChecked() ? "X" : "o") : "-";
        }
        return marks;
    };
    EXPECT_EQ(checked(), "Xoo-");  // hexadecimal, and no value list to show
    frame().Run(command::kSigned);
    EXPECT_EQ(Shown(3, 3), "12");
    EXPECT_EQ(checked(), "oXo-");
    EXPECT_EQ((*doc().Column(0, 2))[ColumnField::radix], "-10");
    GoTo(2, 2);
    EXPECT_EQ(checked(), "oooX");
    EXPECT_TRUE(view().DropButton().isVisible());
    frame().Run(command::kHex);
    EXPECT_EQ(Shown(2, 2), "0X02");
    EXPECT_FALSE(view().DropButton().isVisible());
    frame().Run(command::kList);
    EXPECT_EQ(Shown(2, 2), "道具");
    EXPECT_TRUE(view().DropButton().isVisible());
    // With the focus in the description edit the commands change nothing.
    view().Description().setFocus();
    frame().Run(command::kUnsigned);
    EXPECT_EQ((*doc().Column(0, 1))[ColumnField::radix], "0");
    EXPECT_TRUE(doc().history.UndoLog().empty());
}

TEST_F(WindowTest, SwitchingTabsStoresTheDescriptionAndTheWidthsAndShowsThemAgain)
{
    Start(sample());
    GoTo(1, 1);
    EXPECT_EQ(view().Description().toPlainText().toStdString(), "店での買値（ゴールド）\n売値はこの半分");
    view().Description().setFocus();
    view().Description().moveCursor(QTextCursor::End);
    QTest::keyClick(&view().Description(), Qt::Key_Return);
    Type("abc");
    const int before = grid().ColumnWidthTwips(2);
    const QPoint edge(grid().CellRect(0, 2).right() + 1, 5);
    QTest::mousePress(grid().viewport(), Qt::LeftButton, Qt::NoModifier, edge);
    QMouseEvent drag(QEvent::MouseMove, edge + QPoint(30, 0), grid().viewport()->mapToGlobal(edge + QPoint(30, 0)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(grid().viewport(), &drag);
    QTest::mouseRelease(grid().viewport(), Qt::LeftButton, Qt::NoModifier, edge + QPoint(30, 0));
    EXPECT_EQ((*doc().Column(0, 1))[ColumnField::width], "0");  // not stored before the tab is left

    ClickTab(2);
    EXPECT_EQ(view().CurrentSection(), 2);
    EXPECT_EQ((*doc().Column(0, 0))[ColumnField::description], Utf8ToSjis("店での買値（ゴールド）\r\n売値はこの半分\r\nabc"));
    EXPECT_EQ((*doc().Column(0, 1))[ColumnField::width], std::to_string(before + 30 * 15));
    EXPECT_EQ(view().Description().toPlainText().toStdString(), "最大 999");
    ClickTab(0);
    EXPECT_EQ(view().Description().toPlainText().toStdString(), "店での買値（ゴールド）\n売値はこの半分\nabc");
    EXPECT_EQ(grid().ColumnWidthTwips(2), before + 30 * 15);
    EXPECT_EQ(view().DescriptionColumn(), 1);
}

TEST_F(WindowTest, ThePlacementGoesThroughTheProfileAndMaximizedComesBack)
{
    Start();
    frame().showNormal();
    frame().setGeometry(110, 120, 640, 480);
    QCoreApplication::processEvents();
    frame().close();
    IniProfile profile(root() + "zok2.ini");
    EXPECT_EQ(profile.GetString("Setting", "maximize"), "0");
    EXPECT_EQ(profile.GetInt("Setting", "left", 0), 110);
    EXPECT_EQ(profile.GetInt("Setting", "top", 0), 120);
    EXPECT_EQ(profile.GetInt("Setting", "right", 0), 750);
    EXPECT_EQ(profile.GetInt("Setting", "bottom", 0), 600);
    EXPECT_EQ(profile.GetString("Setting", "mode"), "sample");  // the rest of the profile stays

    Start();
    EXPECT_EQ(frame().geometry(), QRect(110, 120, 640, 480));
    EXPECT_FALSE(frame().isMaximized());
    ASSERT_TRUE(profile.WriteString("Setting", "maximize", "1"));
    ASSERT_TRUE(profile.WriteInt("Setting", "left", 0));  // 0: this edge is not restored
    Start();
    EXPECT_TRUE(frame().isMaximized());
    EXPECT_EQ(frame().normalGeometry().top(), 120);
    EXPECT_EQ(frame().normalGeometry().bottom() + 1, 600);
}

TEST_F(WindowTest, AModifiedDocumentAsksBeforeEveryOpenAndCancelKeepsEverything)
{
    Start(sample());
    GoTo(1, 1);
    Type("7");  // still in the editor: the open commits it first
    messages.answers = {IMessageBox::Answer::Cancel};
    EXPECT_FALSE(app->OpenDocumentFile(sample()));
    ASSERT_EQ(messages.asked.size(), 1u);
    EXPECT_EQ(messages.asked[0], "sample.dat への変更を保存しますか?");
    EXPECT_EQ(Shown(1, 1), "7");
    EXPECT_TRUE(doc().IsModified());

    messages.answers = {IMessageBox::Answer::No};
    EXPECT_TRUE(app->OpenDocumentFile(sample()));
    EXPECT_EQ(Shown(1, 1), "8");  // reloaded from the file, the edit dropped as answered
    EXPECT_FALSE(doc().IsModified());
    EXPECT_EQ(ReadFile(sample()), original);

    GoTo(1, 1);
    Type("9");
    QTest::keyClick(&view().CellEdit(), Qt::Key_Return);
    messages.answers = {IMessageBox::Answer::Yes};
    EXPECT_TRUE(app->OpenDocumentFile(sample()));
    EXPECT_EQ(messages.asked.size(), 3u);
    EXPECT_EQ(Shown(1, 1), "9");
    EXPECT_EQ(static_cast<unsigned char>(ReadFile(sample())[0x300]), 9);
    EXPECT_EQ(app->RecentFiles(), std::vector<std::string>{sample()});
}

TEST_F(WindowTest, AFailedOpenLeavesAnEmptyWindowThatSavesNothing)
{
    Start(sample());
    // The file opens but the profile names a set that is not there.
    ASSERT_TRUE(IniProfile(root() + "zok2.ini").WriteString("Setting", "mode", "missing"));
    EXPECT_FALSE(app->OpenDocumentFile(sample()));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0], "設定ファイルが読み込めません。");
    EXPECT_EQ(view().Tabs().Count(), 0);
    EXPECT_TRUE(view().TabItems().empty());
    EXPECT_EQ(view().DescriptionColumn(), 0);
    EXPECT_EQ(grid().RowCount(), 2);
    QTest::keyClick(&grid(), Qt::Key_7);
    QTest::keyClick(&grid(), Qt::Key_Delete);
    EXPECT_FALSE(view().CellEdit().isVisible());
    EXPECT_FALSE(frame().Action(command::kSave)->isEnabled());
    QTest::keyClick(&grid(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_FALSE(std::filesystem::exists(sample() + ".bak"));
    EXPECT_EQ(ReadFile(sample()), original);
    // A file named on the command line that fails leaves the program running, empty.
    Start(root() + "missing.dat");
    EXPECT_TRUE(frame().isVisible());
    EXPECT_EQ(view().Tabs().Count(), 0);
}

TEST_F(WindowTest, AFolderOrAMissingFileIsRefusedAndTheDataStays)
{
    Start(sample());
    GoTo(1, 1);
    Type("3");
    QTest::keyClick(&view().CellEdit(), Qt::Key_Return);
    std::filesystem::create_directory(root() + "folder.dat");
    for (const std::string& path : {root() + "folder.dat", root() + "missing.dat"}) {
        messages.shown.clear();
        EXPECT_FALSE(app->OpenDocumentFile(path));
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].rfind("ファイルが開けません\n" + path + " (", 0), 0u) << messages.shown[0];
        EXPECT_TRUE(messages.asked.empty());  // nothing to decide: the document stays as it is
        EXPECT_EQ(view().Tabs().Count(), 4);
        EXPECT_EQ(Shown(1, 1), "3");
        EXPECT_TRUE(doc().IsModified());
        EXPECT_EQ(doc().GetPathName(), sample());
    }
}

TEST_F(WindowTest, ReadOnlyCellsOpenNoEditorAndSayWhy)
{
    Start(sample());
    ClickTab(1);  // maps: compressed
    GoTo(1, 1);
    EXPECT_TRUE(grid().readOnlyCell(1, 1));
    EXPECT_TRUE(view().ReadOnlyNote().isVisible());
    EXPECT_EQ(view().ReadOnlyNote().text().toStdString(), "圧縮されたセクションの値は編集できません");
    const std::string before = Shown(1, 1);
    QTest::keyClick(&grid(), Qt::Key_7);
    QTest::keyClick(&grid(), Qt::Key_F2);
    QTest::keyClick(&grid(), Qt::Key_Delete);
    EXPECT_FALSE(view().CellEdit().isVisible());
    EXPECT_EQ(Shown(1, 1), before);
    EXPECT_TRUE(doc().history.UndoLog().empty());
    ClickTab(0);
    EXPECT_FALSE(view().ReadOnlyNote().isVisible());
    EXPECT_FALSE(grid().readOnlyCell(1, 1));
}

TEST_F(WindowTest, ASectionWithoutRowsHasNoCellForAnyCommand)
{
    const std::string set = root() + "Settings/tiny/";
    std::filesystem::create_directories(set);
    WriteFile(set + "a.idn", "r0\r\n");
    WriteFile(set + "a.ini", "0000,A,1\r\n");
    WriteFile(set + "b.idn", "");
    WriteFile(set + "b.ini", "0000,B,1\r\n");
    WriteFile(root() + "zok2.ini", "[Setting]\r\nmode=tiny\r\n");
    WriteFile(root() + "t.bin", std::string("\x05\x06", 2));
    Start(root() + "t.bin");
    ASSERT_EQ(view().Tabs().Count(), 2);
    ClickTab(1);
    EXPECT_EQ(grid().RowCount(), 1);
    clipboard.SetText("keep");
    for (Qt::Key key : {Qt::Key_7, Qt::Key_F2, Qt::Key_Delete, Qt::Key_Return}) QTest::keyClick(&grid(), key);
    for (int id : {command::kCopy, command::kCut, command::kPaste, command::kDelete, command::kSelectAll}) frame().Run(id);
    EXPECT_FALSE(view().CellEdit().isVisible());
    EXPECT_TRUE(doc().history.UndoLog().empty());
    std::string text;
    ASSERT_TRUE(clipboard.GetText(text));
    EXPECT_EQ(text, "keep");
    EXPECT_FALSE(frame().Action(command::kCopy)->isEnabled());
}

}  // namespace zok2::test

namespace zok2::test {

TEST_F(WindowTest, ClosingAsksAboutUnsavedEditsAndCommitsAnOpenEditFirst)
{
    Start(sample());
    GoTo(1, 1);
    Type("5");  // the editor is still open when the window is asked to close
    messages.answers = {IMessageBox::Answer::Cancel};
    EXPECT_FALSE(frame().close());
    EXPECT_TRUE(frame().isVisible());
    EXPECT_EQ(messages.asked.size(), 1u);
    EXPECT_EQ(Shown(1, 1), "5");
    messages.answers = {IMessageBox::Answer::Yes};
    EXPECT_TRUE(frame().close());
    EXPECT_EQ(static_cast<unsigned char>(ReadFile(sample())[0x300]), 5);
    EXPECT_EQ(ReadFile(sample() + ".bak"), original);
}

TEST_F(WindowTest, RecentFilesKeepFourNewestFirstAndReopenFromTheMenu)
{
    Start();
    std::vector<std::string> copies;
    for (int i = 0; i < 5; ++i) {
        copies.push_back(root() + "copy" + std::to_string(i) + ".dat");
        WriteFile(copies.back(), original);
        ASSERT_TRUE(app->OpenDocumentFile(copies.back()));
    }
    EXPECT_EQ(app->RecentFiles(), (std::vector<std::string>{copies[4], copies[3], copies[2], copies[1]}));
    EXPECT_EQ(IniProfile(root() + "zok2.ini").GetString(CZOKApp::kRecentSection, "File1"), copies[4]);
    QMenu* file = frame().menuBar()->actions()[0]->menu();
    emit file->aboutToShow();
    std::vector<std::string> labels = MenuLabels(file);
    EXPECT_EQ(labels[5], "&1 " + copies[4]);
    EXPECT_EQ(labels[8], "&4 " + copies[1]);
    EXPECT_FALSE(frame().Action(command::kRecentFile)->isVisible());
    // The entry of another file opens it.
    for (QAction* action : file->actions()) {
        if (action->text().toStdString() == "&4 " + copies[1]) action->trigger();
    }
    EXPECT_EQ(doc().GetPathName(), copies[1]);
    EXPECT_EQ(app->RecentFiles().front(), copies[1]);
    EXPECT_GT(wait.begins, 0);
    EXPECT_EQ(wait.depth, 0);
}

TEST_F(WindowTest, AFileDroppedOnTheFrameOpensTheFirstOnly)
{
    Start();
    WriteFile(root() + "second.dat", original);
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(sample())), QUrl::fromLocalFile(QString::fromStdString(root() + "second.dat"))});
    EXPECT_TRUE(frame().acceptDrops());
    EXPECT_TRUE(frame().OpenDropped(data));
    EXPECT_EQ(doc().GetPathName(), sample());
    EXPECT_EQ(view().Tabs().Count(), 4);
    EXPECT_EQ(app->RecentFiles(), std::vector<std::string>{sample()});
}

TEST_F(WindowTest, TheAboutBoxNamesTheVersion)
{
    AboutBox box;
    EXPECT_EQ(box.windowTitle().toStdString(), "ZOKのﾊﾞｰｼﾞｮﾝ情報");
    auto* version = box.findChild<QLabel*>("version");
    ASSERT_NE(version, nullptr);
    EXPECT_EQ(version->text().toStdString(), "ZOK2 Version 0.02");
    auto* ok = box.findChild<QPushButton*>();
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->text().toStdString(), "OK");
    box.show();
    QTest::mouseClick(ok, Qt::LeftButton);
    EXPECT_EQ(box.result(), QDialog::Accepted);
}

}  // namespace zok2::test

namespace zok2::test {

TEST_F(WindowTest, OpenSaveAsAndSaveSettingsFromTheFileMenu)
{
    Start();
    app->chooseOpenPath = [this] { return sample(); };
    frame().Run(command::kOpen);
    ASSERT_EQ(view().Tabs().Count(), 4);
    GoTo(1, 1);
    Type("6");
    app->chooseSaveAsPath = [this] { return root() + "other.dat"; };
    frame().Run(command::kSaveAs);  // the open edit is committed first
    EXPECT_EQ(static_cast<unsigned char>(ReadFile(root() + "other.dat")[0x300]), 6);
    EXPECT_EQ(ReadFile(sample()), original);
    EXPECT_EQ(doc().GetPathName(), root() + "other.dat");
    EXPECT_EQ(frame().windowTitle().toStdString(), "other.dat - ZOK2");
    EXPECT_FALSE(frame().Action(command::kSave)->isEnabled());

    // "設定の保存" writes the column settings and leaves the binary alone.
    const std::string columns = root() + "Settings/sample/items.ini";
    const std::string before = ReadFile(columns);
    GoTo(1, 3);
    frame().Run(command::kSigned);
    EXPECT_NE(ReadFile(columns).find(Utf8ToSjis("105,重さ,,8,8,16,")), std::string::npos);
    frame().Run(command::kSaveSettings);
    EXPECT_NE(ReadFile(columns), before);
    EXPECT_NE(ReadFile(columns).find(Utf8ToSjis("105,重さ,,8,8,,1|63,")), std::string::npos);  // signed: the default radix, written empty
    EXPECT_EQ(static_cast<unsigned char>(ReadFile(root() + "other.dat")[0x300]), 6);
    EXPECT_FALSE(std::filesystem::exists(root() + "other.dat.bak"));
}

}  // namespace zok2::test
