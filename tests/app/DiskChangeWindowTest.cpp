// The window and a binary that another program changes while it is open: the
// change is noticed without polling and offered for reloading, values the disk
// no longer holds are marked, and a save asks before touching the changed file.
#include <QAction>
#include <QDeadlineTimer>
#include <fstream>

#include "app/WindowTestSupport.h"

namespace zok2::test {

namespace {

class DiskChangeWindowTest : public WindowTest {
protected:
    // Another program writes bytes into the sample in place.
    void Rewrite(std::size_t offset, const std::string& bytes)
    {
        std::fstream f(sample(), std::ios::in | std::ios::out | std::ios::binary);
        f.seekp(static_cast<std::streamoff>(offset));
        f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    // Runs the event loop until the condition holds (the file watcher reports
    // asynchronously); the deadline only keeps a broken build from hanging.
    template <typename Condition>
    bool WaitFor(Condition condition)
    {
        QDeadlineTimer deadline(10000);
        while (!condition() && !deadline.hasExpired()) QTest::qWait(20);
        return condition();
    }
    bool CaptionSaysStale() { return frame().windowTitle().contains(QStringLiteral("[ディスク上で変更済み]")); }

    // The items table starts at 0x300: the first price is four bytes there.
    static constexpr std::size_t kFirstPrice = 0x300;
};

}  // namespace

TEST_F(DiskChangeWindowTest, AChangeOnDiskIsOfferedAndReloaded)
{
    Start(sample());
    ASSERT_NE(Shown(1, 1), "12345");
    messages.answers = {IMessageBox::Answer::Yes};
    Rewrite(kFirstPrice, std::string("\x39\x30\0\0", 4));
    ASSERT_TRUE(WaitFor([&] { return !messages.asked.empty(); }));
    EXPECT_EQ(messages.asked[0], "このファイルは他のプログラムによって変更されました。\n再読み込みしますか？\n" + sample());
    EXPECT_EQ(Shown(1, 1), "12345");
    EXPECT_FALSE(CaptionSaysStale());
    EXPECT_FALSE(doc().IsModified());
    // The reloaded file is watched again: a second change is offered too.
    messages.answers = {IMessageBox::Answer::Yes};
    Rewrite(kFirstPrice, std::string("\x10\x27\0\0", 4));
    ASSERT_TRUE(WaitFor([&] { return messages.asked.size() == 2; }));
    EXPECT_EQ(Shown(1, 1), "10000");
}

TEST_F(DiskChangeWindowTest, AReplacedFileIsOfferedAndItsNameWatchedAgain)
{
    Start(sample());
    std::string other = original;
    other.replace(kFirstPrice, 4, std::string("\x2A\0\0\0", 4));
    WriteFile(sample() + ".new", other);
    messages.answers = {IMessageBox::Answer::Yes};
    ReplaceHeldFile(sample() + ".new", sample());  // a new file under the old name
    ASSERT_TRUE(WaitFor([&] { return !messages.asked.empty(); }));
    EXPECT_EQ(Shown(1, 1), "42");
    // The new file under the name is the one watched now.
    messages.answers = {IMessageBox::Answer::Yes};
    Rewrite(kFirstPrice, std::string("\x2B\0\0\0", 4));
    ASSERT_TRUE(WaitFor([&] { return messages.asked.size() == 2; }));
    EXPECT_EQ(Shown(1, 1), "43");
}

TEST_F(DiskChangeWindowTest, KeptValuesAreMarkedAndASaveAsksBeforeOverwriting)
{
    Start(sample());
    const std::string shown = Shown(1, 1);
    messages.answers = {IMessageBox::Answer::No};
    Rewrite(kFirstPrice, std::string("\x39\x30\0\0", 4));
    ASSERT_TRUE(WaitFor([&] { return !messages.asked.empty(); }));
    EXPECT_EQ(Shown(1, 1), shown);
    EXPECT_TRUE(CaptionSaysStale());
    const std::string theirs = ReadFile(sample());
    // An edit elsewhere, then Ctrl+S: the save asks, and Cancel writes nothing at all.
    GoTo(2, 1);
    Type("7");
    QTest::keyClick(&view().CellEdit(), Qt::Key_Return);
    messages.answers = {IMessageBox::Answer::Cancel};
    QTest::keyClick(&grid(), Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(messages.asked.size(), 2u);
    EXPECT_EQ(messages.asked[1].rfind("このファイルは開いた後で他のプログラムによって書き換えられています。", 0), 0u);
    EXPECT_TRUE(ReadFile(sample()) == theirs);
    EXPECT_FALSE(std::filesystem::exists(sample() + ".bak"));
    EXPECT_TRUE(doc().IsModified());
    // Yes overwrites only the edited bytes, under the wait cursor; the mark stays,
    // since the first price still shows what was opened, not the disk's 12345.
    const int waits = wait.begins;
    messages.answers = {IMessageBox::Answer::Yes};
    QTest::keyClick(&grid(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_GT(wait.begins, waits);
    EXPECT_EQ(wait.depth, 0);
    EXPECT_TRUE(ReadFile(sample() + ".bak") == theirs);
    std::string expected = theirs;
    expected.replace(kFirstPrice + 8, 4, std::string("\x07\0\0\0", 4));
    EXPECT_TRUE(ReadFile(sample()) == expected);
    EXPECT_FALSE(doc().IsModified());
    EXPECT_TRUE(CaptionSaysStale());
}

TEST_F(DiskChangeWindowTest, ADeletedFileIsMarkedAndItsDataSavedElsewhereWhole)
{
    if (UnderWine()) GTEST_SKIP() << "Wine deletes a held file only when it is closed and reports no pending deletion meanwhile";
    Start(sample());
    std::filesystem::remove(sample());
    ASSERT_TRUE(WaitFor([&] { return CaptionSaysStale(); }));
    EXPECT_TRUE(messages.asked.empty());  // nothing to reload: the mark says it
    GoTo(1, 1);
    Type("9");
    QTest::keyClick(&view().CellEdit(), Qt::Key_Return);
    app->chooseSaveAsPath = [this] { return root() + "rescued.dat"; };
    messages.answers = {IMessageBox::Answer::Yes};  // save elsewhere: overwriting is impossible
    QTest::keyClick(&grid(), Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(messages.asked.size(), 1u);
    EXPECT_NE(messages.asked[0].find("上書きできません"), std::string::npos);
    std::string expected = original;
    expected.replace(kFirstPrice, 4, std::string("\x09\0\0\0", 4));
    EXPECT_TRUE(ReadFile(root() + "rescued.dat") == expected);
    EXPECT_EQ(doc().GetPathName(), root() + "rescued.dat");
    EXPECT_FALSE(std::filesystem::exists(sample()));
    EXPECT_FALSE(CaptionSaysStale());
}

}  // namespace zok2::test

namespace zok2::test {

// Declining the reload and overwriting anyway: the grid keeps what was opened
// in the cells nobody edited, so the caption keeps the mark until a reload.
TEST_F(DiskChangeWindowTest, AfterAnOverwriteAnywayTheCaptionKeepsTheMarkUntilAReload)
{
    Start(sample());
    messages.answers = {IMessageBox::Answer::No};  // keep the values shown
    Rewrite(kFirstPrice + 8, std::string("\x09\x03\0\0", 4));  // the second price: 777 on disk
    ASSERT_TRUE(WaitFor([&] { return !messages.asked.empty(); }));
    ASSERT_TRUE(CaptionSaysStale());
    GoTo(1, 1);
    Type("5");
    QTest::keyClick(&view().CellEdit(), Qt::Key_Return);
    messages.answers = {IMessageBox::Answer::Yes};  // overwrite anyway
    QTest::keyClick(&grid(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_FALSE(doc().IsModified());
    EXPECT_EQ(Shown(2, 1), "10");  // what was opened, not the disk's 777
    EXPECT_TRUE(CaptionSaysStale());
    ASSERT_TRUE(app->OpenDocumentFile(sample()));
    EXPECT_EQ(Shown(2, 1), "777");
    EXPECT_FALSE(CaptionSaysStale());
}

// A file cut short before Save As: the message names the tables whose data lay
// in the lost part, the compressed one included.
TEST_F(DiskChangeWindowTest, ACutFileNamesTheTablesWhoseDataWereLost)
{
    Start(sample());
    GoTo(1, 1);
    Type("5");
    QTest::keyClick(&view().CellEdit(), Qt::Key_Return);
    std::filesystem::resize_file(sample(), 0x400);
    messages.answers = {IMessageBox::Answer::No, IMessageBox::Answer::Yes};  // save elsewhere; yes, with the bytes as left
    doc().chooseSaveAsPath = [&] { return root() + "kept.dat"; };
    messages.shown.clear();
    QTest::keyClick(&grid(), Qt::Key_S, Qt::ControlModifier);
    ASSERT_FALSE(messages.shown.empty());
    const std::string said = messages.shown.back();
    EXPECT_NE(said.find("次の表のデータはその範囲にありました"), std::string::npos) << said;
    EXPECT_NE(said.find("\nmaps"), std::string::npos) << said;
    EXPECT_EQ(said.find("\nitems"), std::string::npos) << said;
}

}  // namespace zok2::test

namespace zok2::test {

// The reload declined to keep the values shown, then 名前を付けて保存: the window
// says where the bytes outside the tables come from, and the new file holds every
// cell as the grid shows it, not the other program's value.
TEST_F(DiskChangeWindowTest, SaveAsAfterADeclinedReloadWritesTheGridsValues)
{
    Start(sample());
    messages.answers = {IMessageBox::Answer::No};  // keep the values shown
    Rewrite(kFirstPrice + 8, std::string("\x09\x03\0\0", 4));  // the second price: 777 on disk
    ASSERT_TRUE(WaitFor([&] { return !messages.asked.empty(); }));
    GoTo(1, 1);
    Type("5");
    QTest::keyClick(&view().CellEdit(), Qt::Key_Return);
    app->chooseSaveAsPath = [&] { return root() + "mine.dat"; };
    messages.answers = {IMessageBox::Answer::Yes};
    frame().Run(command::kSaveAs);
    ASSERT_EQ(messages.asked.size(), 2u);
    EXPECT_EQ(messages.asked[1].rfind("開いたファイルは開いた後に他のプログラムに変更されています。", 0), 0u);
    std::string expected = ReadFile(sample());
    expected.replace(kFirstPrice, 4, std::string("\x05\0\0\0", 4));
    expected.replace(kFirstPrice + 8, 4, std::string("\x0A\0\0\0", 4));  // 10, as the grid shows it
    EXPECT_TRUE(ReadFile(root() + "mine.dat") == expected);
}

}  // namespace zok2::test
