// A definition set changed by another program while its file is open: the
// change is noticed without polling and offered for reloading, unsaved edits
// get the usual question, and what the program writes itself is never offered.
#include <gtest/gtest.h>

#include <QDeadlineTimer>

#include "app/WindowTestSupport.h"
#include "qt/SjisCodec.h"

namespace zok2::test {

namespace {

class SetWatchWindowTest : public WindowTest {
protected:
    template <typename Condition>
    bool WaitFor(Condition condition, int milliseconds = 10000)
    {
        QDeadlineTimer deadline(milliseconds);
        while (!condition() && !deadline.hasExpired()) QTest::qWait(20);
        return condition();
    }
    std::string Items() const { return root() + "Settings/sample/items.ini"; }
    // Another program renames the first column of the items table.
    void RenamePrice()
    {
        std::string text = SjisToUtf8(ReadFile(Items()));
        const std::size_t at = text.find("0100,値段,");
        ASSERT_NE(at, std::string::npos);
        text.replace(at, std::string("0100,値段,").size(), "0100,価格,");
        WriteFile(Items(), Utf8ToSjis(text));
    }
    std::string FirstCaption() { return SjisToUtf8(doc().sections[0][0][ColumnField::caption]); }
};

}  // namespace

TEST_F(SetWatchWindowTest, AChangedColumnFileIsOfferedAndReloaded)
{
    Start(sample());
    ASSERT_EQ(FirstCaption(), "値段");
    messages.answers = {IMessageBox::Answer::Yes};
    RenamePrice();
    ASSERT_TRUE(WaitFor([&] { return !messages.asked.empty(); }));
    EXPECT_EQ(messages.asked[0].rfind("定義ファイルが他のプログラムによって変更されました。\n設定とバイナリを再読み込みしますか？\n" + root() + "Settings/sample/", 0), 0u)
        << messages.asked[0];
    EXPECT_EQ(FirstCaption(), "価格");
    EXPECT_EQ(messages.asked.size(), 1u);  // nothing unsaved: no second question
}

TEST_F(SetWatchWindowTest, UnsavedEditsGetTheUsualQuestionAndNoKeepsTheSetShown)
{
    Start(sample());
    GoTo(1, 1);
    Type("7");
    QTest::keyClick(&view().CellEdit(), Qt::Key_Return);
    ASSERT_TRUE(doc().IsModified());
    // Reload, then do not save the edit: the file stays as it was, the new set shows.
    messages.answers = {IMessageBox::Answer::Yes, IMessageBox::Answer::No};
    RenamePrice();
    ASSERT_TRUE(WaitFor([&] { return messages.asked.size() == 2; }));
    EXPECT_NE(messages.asked[1].find("への変更を保存しますか"), std::string::npos) << messages.asked[1];
    EXPECT_EQ(FirstCaption(), "価格");
    EXPECT_FALSE(doc().IsModified());
    EXPECT_EQ(ReadFile(sample()), original);
    // Declining the reload keeps everything; the same change is not offered twice.
    messages.answers = {IMessageBox::Answer::No};
    std::string text = ReadFile(Items());
    WriteFile(Items(), text + "\r\n");
    ASSERT_TRUE(WaitFor([&] { return messages.asked.size() == 3; }));
    QTest::qWait(300);
    EXPECT_EQ(messages.asked.size(), 3u);
}

TEST_F(SetWatchWindowTest, WhatTheProgramWritesItselfIsNotOffered)
{
    Start(sample());
    GoTo(1, 1);
    frame().Run(command::kHex);  // the column's display goes into items.ini at the save
    Type("9");
    QTest::keyClick(&view().CellEdit(), Qt::Key_Return);
    const std::string before = ReadFile(Items());
    QTest::keyClick(&grid(), Qt::Key_S, Qt::ControlModifier);
    ASSERT_NE(ReadFile(Items()), before);  // the program did write the column file
    frame().Run(command::kSaveSettings);
    EXPECT_FALSE(WaitFor([&] { return !messages.asked.empty(); }, 1500));
}

}  // namespace zok2::test
