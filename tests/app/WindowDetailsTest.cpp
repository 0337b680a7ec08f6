// Details of the window measured on the real widgets: disabled shortcuts, where
// the context menu opens, which cells copy, what the value list acts on and
// stores, the recent-file list, the placement, Qt's own Japanese texts, the icon,
// drops, and the settings sheet after a cancelled reload.
#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QScreen>
#include <QTranslator>
#include <QUrl>
#include <unistd.h>

#include "app/AboutBox.h"
#include "qt/Language.h"
#include "app/CMyPropertySheet.h"
#include "app/WindowTestSupport.h"
#include "framework/System.h"

namespace zok2::test {

namespace {

class WindowDetailsTest : public WindowTest {
protected:
    int CountMenus()
    {
        menus = 0;
        view().contextMenuRequested = [this](const QPoint&) { ++menus; };
        return menus;
    }
    QAction* RecentEntry(const std::string& path)
    {
        QMenu* file = frame().menuBar()->actions()[0]->menu();
        emit file->aboutToShow();
        for (QAction* action : file->actions()) {
            if (action->text().endsWith(QString::fromStdString(" " + path))) return action;
        }
        return nullptr;
    }
    int menus = 0;
};

}  // namespace

TEST_F(WindowDetailsTest, ADisabledShortcutDoesNothingOnTheGrid)
{
    Start(sample());
    const std::string price = Shown(8, 1);
    ASSERT_NE(price, "0");
    QGuiApplication::clipboard()->setText(QStringLiteral("untouched"));
    // The current cell shows "--", the selection reaches up into the values above it.
    GoTo(9, 1);
    QTest::keyClick(&grid(), Qt::Key_Up, Qt::ShiftModifier);
    frame().UpdateCommandStates();
    ASSERT_FALSE(frame().Action(command::kCut)->isEnabled());
    QTest::keyClick(&grid(), Qt::Key_Delete, Qt::ShiftModifier);
    EXPECT_EQ(Shown(8, 1), price);
    EXPECT_TRUE(doc().history.UndoLog().empty());
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), "untouched");
    // On a value the same key cuts.
    GoTo(8, 1);
    frame().UpdateCommandStates();
    QTest::keyClick(&grid(), Qt::Key_Delete, Qt::ShiftModifier);
    EXPECT_EQ(Shown(8, 1), "0");
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), price);
}

TEST_F(WindowDetailsTest, TheContextMenuOpensFromRowLabelsEmptyAreaAndTabs)
{
    Start(sample());
    CountMenus();
    GoTo(2, 2);
    QTest::mouseClick(grid().viewport(), Qt::RightButton, Qt::NoModifier, grid().CellRect(4, 0).center());
    EXPECT_EQ(menus, 1);
    EXPECT_EQ(grid().CurrentRow(), 2);  // a row label moves nothing
    // Below the last row.
    const QPoint empty(grid().CellRect(1, 1).center().x(), grid().viewport()->height() - 3);
    int row = 0, column = 0;
    grid().CellAt(empty, &row, &column);
    ASSERT_LT(row, 1);
    QTest::mouseClick(grid().viewport(), Qt::RightButton, Qt::NoModifier, empty);
    EXPECT_EQ(menus, 2);
    // The tab strip passes the request up to the view.
    QContextMenuEvent onTabs(QContextMenuEvent::Mouse, view().Tabs().TabRect(1).center(), view().Tabs().mapToGlobal(view().Tabs().TabRect(1).center()));
    QApplication::sendEvent(&view().Tabs(), &onTabs);
    EXPECT_EQ(menus, 3);
    // A cell still opens exactly one.
    ClickCell(3, 3, Qt::RightButton);
    EXPECT_EQ(menus, 4);
    // Without a table the menu still opens, its cell commands off.
    frame().Run(command::kDiscardData);
    QTest::mouseClick(grid().viewport(), Qt::RightButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_EQ(menus, 5);
}

TEST_F(WindowDetailsTest, ValuesPastTheEndOfTheFileCopyButDoNotChange)
{
    // The items table starts at 0x300 with 8 bytes a row: rows from the fourth on lie past the end.
    WriteFile(sample(), original.substr(0, 0x300 + 8 * 3));
    Start(sample());
    GoTo(5, 1);
    ASSERT_TRUE(grid().readOnlyCell(5, 1));
    frame().UpdateCommandStates();
    EXPECT_TRUE(frame().Action(command::kCopy)->isEnabled());
    EXPECT_FALSE(frame().Action(command::kCut)->isEnabled());
    EXPECT_FALSE(frame().Action(command::kPaste)->isEnabled());
    QTest::keyClick(&grid(), Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(&grid(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), Shown(5, 1) + "\t" + SjisToUtf8(doc().GetEditText(0, 1, 4)));
}

TEST_F(WindowDetailsTest, WithTheValueListFocusedCommandsLeaveTheGridAlone)
{
    Start(sample());
    GoTo(1, 2);  // the kind column, in list display
    view().OpenValueList();
    ASSERT_TRUE(view().ValueList().hasFocus());
    const std::string radix = doc().sections[0][1][ColumnField::radix];
    QGuiApplication::clipboard()->setText(QStringLiteral("5"));
    for (int id : {command::kHex, command::kDelete, command::kPaste, command::kCut, command::kUndo}) {
        view().ValueList().setFocus();
        frame().Run(id);
        EXPECT_EQ(doc().sections[0][1][ColumnField::radix], radix) << id;
        EXPECT_TRUE(doc().history.UndoLog().empty()) << id;
    }
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), "5");
    EXPECT_FALSE(doc().IsModified());
}

TEST_F(WindowDetailsTest, AnItemWithoutABlankStoresZeroAndTheListIsWideEnough)
{
    // Drops name a list of beasts whose first label is a bare name starting with a hexadecimal digit.
    const std::string set = root() + "Settings/sample/";
    WriteFile(set + "beasts.idn", Utf8ToSjis("Dragon\r\n0A Bat with a very long name that no cell is wide enough for\r\n"));
    std::string monsters = ReadFile(set + "monsters.ini");
    const std::size_t at = monsters.find("items.idn");
    ASSERT_NE(at, std::string::npos);
    WriteFile(set + "monsters.ini", monsters.replace(at, 9, "beasts.idn"));
    Start(sample());
    ClickTab(2);
    ASSERT_EQ(SjisToUtf8(doc().sections[view().CurrentSection()][5][ColumnField::caption]), "ドロップ");
    GoTo(1, 6);
    view().OpenValueList();
    QListWidget& list = view().ValueList();
    ASSERT_EQ(list.count(), 2);
    // The long item shows whole: no horizontal scroll bar, and within the view.
    EXPECT_GE(list.viewport()->width(), list.fontMetrics().horizontalAdvance(list.item(0)->text()));
    EXPECT_LE(list.geometry().right(), view().width());
    int dragon = -1;
    for (int i = 0; i < list.count(); ++i) {
        if (list.item(i)->text() == QStringLiteral("Dragon")) dragon = i;
    }
    ASSERT_GE(dragon, 0);
    if (list.currentRow() == dragon) list.setCurrentRow(1 - dragon);  // a change is what chooses
    view().OpenValueList();
    list.setCurrentRow(dragon);
    EXPECT_EQ(doc().Value(view().CurrentSection(), 5, 0), 0u);
    EXPECT_EQ(Shown(1, 6), SjisToUtf8(doc().DisplayText(view().CurrentSection(), 5, 0)));
}

TEST_F(WindowDetailsTest, RecentFilesHoldFullPathsAndLoseEntriesThatNoLongerOpen)
{
    char* previous = getcwd(nullptr, 0);
    ASSERT_EQ(chdir(root().c_str()), 0);
    Start("./sample.dat");
    ASSERT_EQ(chdir(previous), 0);
    free(previous);
    EXPECT_EQ(doc().GetPathName(), sample());
    EXPECT_EQ(app->RecentFiles(), std::vector<std::string>{sample()});
    ASSERT_TRUE(app->OpenDocumentFile(sample()));
    EXPECT_EQ(app->RecentFiles(), std::vector<std::string>{sample()});

    const std::string second = root() + "second.dat";
    WriteFile(second, original);
    ASSERT_TRUE(app->OpenDocumentFile(second));
    ASSERT_TRUE(app->OpenDocumentFile(sample()));
    std::filesystem::remove(second);
    // A cancelled save question keeps the entry; a failed open removes it.
    GoTo(1, 1);
    Type("5");
    QTest::keyClick(&view().CellEdit(), Qt::Key_Return);
    std::filesystem::copy(sample(), second);
    messages.answers = {IMessageBox::Answer::Cancel};
    ASSERT_NE(RecentEntry(second), nullptr);
    RecentEntry(second)->trigger();
    EXPECT_EQ(app->RecentFiles(), (std::vector<std::string>{sample(), second}));
    std::filesystem::remove(second);
    messages.shown.clear();
    RecentEntry(second)->trigger();
    EXPECT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(app->RecentFiles(), std::vector<std::string>{sample()});
    EXPECT_EQ(RecentEntry(second), nullptr);
}

TEST_F(WindowDetailsTest, ADoubleDashEndsTheOptions)
{
    const std::string dashed = root() + "-x.dat";
    WriteFile(dashed, original);
    ASSERT_EQ(chdir(root().c_str()), 0);
    std::string error;
    {
        AppServices services;
        services.document = Services{&messages, &wait, &keys, &names};
        services.clipboard = &clipboard;
        CZOKApp refused(services);
        EXPECT_FALSE(refused.InitInstance({"--root", root(), "-x.dat"}, "/nonexistent/zok2", &error));
    }
    EXPECT_EQ(error, "usage: zok2 [--root DIR] [FILE]");
    AppServices services;
    services.document = Services{&messages, &wait, &keys, &names};
    services.clipboard = &clipboard;
    app = std::make_unique<CZOKApp>(services);
    const bool started = app->InitInstance({"--root", root(), "--", "-x.dat"}, "/nonexistent/zok2");
    ASSERT_EQ(chdir("/"), 0);
    ASSERT_TRUE(started);
    EXPECT_EQ(doc().GetPathName(), dashed);
    EXPECT_EQ(view().Tabs().Count(), 4);
}

TEST_F(WindowDetailsTest, PlacementMinimizedFromMaximizedAndOffEveryScreen)
{
    Start();
    frame().showMaximized();
    frame().setWindowState(frame().windowState() | Qt::WindowMinimized);
    ASSERT_TRUE(frame().isMinimized());
    frame().close();
    IniProfile profile(root() + "zok2.ini");
    EXPECT_EQ(profile.GetString("Setting", "maximize"), "0");

    // A rectangle left by a monitor that is gone comes back onto the primary screen, its size kept.
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect gone(screen.right() + 5000, screen.bottom() + 3000, 400, 300);
    EXPECT_TRUE(CMainFrame::OnSomeScreen(gone).intersects(screen));
    EXPECT_EQ(CMainFrame::OnSomeScreen(gone).size(), QSize(400, 300));
    EXPECT_TRUE(screen.contains(CMainFrame::OnSomeScreen(QRect(-90000, 0, screen.width() * 2, 50))));
    const QRect partly(screen.right() - 50, screen.top() + 10, 400, 300);
    EXPECT_EQ(CMainFrame::OnSomeScreen(partly), partly);  // partly visible: left as the user put it
    ASSERT_TRUE(profile.WriteInt("Setting", "left", gone.left()));
    ASSERT_TRUE(profile.WriteInt("Setting", "right", gone.left() + 400));
    ASSERT_TRUE(profile.WriteInt("Setting", "top", gone.top()));
    ASSERT_TRUE(profile.WriteInt("Setting", "bottom", gone.top() + 300));
    app.reset();
    Start();
    EXPECT_TRUE(frame().geometry().intersects(screen));
    EXPECT_EQ(frame().geometry().size(), QSize(400, 300));
}

TEST_F(WindowDetailsTest, StandardDialogsSpeakJapaneseAndTheWindowsCarryTheIcon)
{
    ASSERT_TRUE(InstallLanguage(*QCoreApplication::instance(), Language::Japanese)) << "qt6-translations-l10n is not installed";
    {
        QMessageBox box(QMessageBox::Question, QStringLiteral("ZOK2"), QStringLiteral("?"),
                        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        EXPECT_EQ(box.button(QMessageBox::Yes)->text().remove(QLatin1Char('&')).toStdString().rfind("はい", 0), 0u);
        EXPECT_EQ(box.button(QMessageBox::No)->text().remove(QLatin1Char('&')).toStdString().rfind("いいえ", 0), 0u);
        EXPECT_EQ(box.button(QMessageBox::Cancel)->text().remove(QLatin1Char('&')).toStdString().rfind("キャンセル", 0), 0u);
        QFileDialog dialog(nullptr, QStringLiteral("開く"));
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        auto* buttons = dialog.findChild<QDialogButtonBox*>();
        ASSERT_NE(buttons, nullptr);
        const QString open = buttons->button(QDialogButtonBox::Open)->text();
        EXPECT_TRUE(open.contains(QStringLiteral("開く"))) << open.toStdString();
    }
    RemoveLanguage();

    ASSERT_FALSE(ProgramIcon().isNull());
    EXPECT_FALSE(ProgramIcon().pixmap(64, 64).isNull()) << "the SVG icon engine is missing";
    Start();
    EXPECT_FALSE(frame().windowIcon().pixmap(32, 32).isNull());
    AboutBox about(&frame());
    auto* icon = about.findChild<QLabel*>("icon");
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon->pixmap().toImage(), ProgramIcon().pixmap(32, 32).toImage());
}

TEST_F(WindowDetailsTest, DroppedFilesAreTakenAsCopiesNeverMoves)
{
    Start();
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(sample()))});
    // Shift held: a source offering both proposes a move.
    for (QObject* target : std::initializer_list<QObject*>{&frame(), &view().Tabs()}) {
        QDragEnterEvent enter(QPoint(5, 5), Qt::MoveAction | Qt::CopyAction, &data, Qt::LeftButton, Qt::ShiftModifier);
        ASSERT_EQ(enter.proposedAction(), Qt::MoveAction);
        QApplication::sendEvent(target, &enter);
        EXPECT_TRUE(enter.isAccepted());
        EXPECT_EQ(enter.dropAction(), Qt::CopyAction);
        QDropEvent drop(QPointF(5, 5), Qt::MoveAction | Qt::CopyAction, &data, Qt::LeftButton, Qt::ShiftModifier);
        QApplication::sendEvent(target, &drop);
        EXPECT_EQ(drop.dropAction(), Qt::CopyAction);
        EXPECT_EQ(doc().GetPathName(), sample());
    }
    EXPECT_EQ(ReadFile(sample()), original);
    // A source that offers only a move is refused.
    QDropEvent moveOnly(QPointF(5, 5), Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&frame(), &moveOnly);
    EXPECT_FALSE(moveOnly.isAccepted());
}

// A name outside the ANSI code page, dropped and saved: the window hands the
// core UTF-8 with the system's separators, and the file itself is written.
TEST_F(WindowDetailsTest, ANonAsciiFileNameFromQtOpensAndSavesThatFile)
{
    Start();
    const std::string named = root() + "道具 データ.dat";
    std::filesystem::copy_file(fs::sys::PathOf(sample()), fs::sys::PathOf(named));
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(named))});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&frame(), &enter);
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&frame(), &drop);
    ASSERT_EQ(doc().GetPathName(), named);
    EXPECT_TRUE(frame().windowTitle().startsWith(QStringLiteral("道具 データ.dat")));
    GoTo(1, 1);
    Type("7");
    QTest::keyClick(&view().CellEdit(), Qt::Key_Return);
    QTest::keyClick(&grid(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_FALSE(doc().IsModified());
    EXPECT_NE(ReadFile(named), original);
    EXPECT_EQ(ReadFile(named + ".bak"), original);
    EXPECT_EQ(ReadFile(sample()), original);
}

TEST_F(WindowDetailsTest, ChoosingTheSameSetAfterACancelledReloadReloads)
{
    std::filesystem::copy(root() + "Settings/sample", root() + "Settings/alt");
    std::filesystem::remove(root() + "Settings/alt/skills.ini");
    Start(sample());
    GoTo(1, 1);
    Type("5");
    QTest::keyClick(&view().CellEdit(), Qt::Key_Return);
    messages.answers = {IMessageBox::Answer::Cancel};
    ChooseDefinitionSet(*app, "alt");
    EXPECT_EQ(IniProfile(root() + "zok2.ini").GetString("Setting", "mode"), "alt");
    EXPECT_EQ(view().Tabs().Count(), 4);  // still the sample set's tables
    EXPECT_EQ(messages.asked.size(), 1u);
    // The same choice again asks again, and this time reloads.
    messages.answers = {IMessageBox::Answer::No};
    ChooseDefinitionSet(*app, "alt");
    EXPECT_EQ(messages.asked.size(), 2u);
    EXPECT_EQ(view().Tabs().Count(), 3);
    EXPECT_FALSE(doc().IsModified());
    // Now that it shows the set, choosing it once more does nothing.
    ChooseDefinitionSet(*app, "alt");
    EXPECT_EQ(messages.asked.size(), 2u);
}

}  // namespace zok2::test
