// The window's journal of unsaved edits: written while edits are unsaved and
// gone with them, offered back after a window ended without being asked
// (restored, kept or thrown away), refused when the file or the set changed
// under it, and left alone by a second window on the same file.
#include <QStatusBar>

#include "app/JournalKeeper.h"
#include "journal/JournalPlace.h"
#include "journal/JournalWriter.h"
#include "WindowTestSupport.h"

namespace zok2::test {

namespace {

class JournalWindowTest : public WindowTest {
protected:
    // An in-place edit of the items table's cell, committed with Return.
    void Edit(int row, int column, const char* text)
    {
        GoTo(row, column);
        Type(text);
        QTest::keyClick(&view().CellEdit(), Qt::Key_Return);
    }
    std::string JournalPath() const { return journal::JournalPathFor(sample()); }
    journal::Contents Journal() const { return journal::ReadJournal(JournalPath()).contents; }
    // The window ends without being asked (a crash, a killed session): what was appended is on disk.
    void EndUnasked()
    {
        app->Journal().Flush();
        app.reset();
    }
    std::uint32_t Value(int row, int column) { return doc().Value(0, column - 1, row - 1); }
    // The items table's price (値段) of a record as the file holds it: 4 bytes, little-endian.
    static std::uint32_t U32(const std::string& bytes, std::size_t at)
    {
        std::uint32_t v = 0;
        for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
        return v;
    }
};

TEST_F(JournalWindowTest, UnsavedEditsAreJournaledAndGoWithASaveOrAnUndo)
{
    Start(sample());
    EXPECT_FALSE(std::filesystem::exists(JournalPath()));  // nothing before the first change
    Edit(1, 1, "6");
    Edit(2, 1, "7");
    app->Journal().Flush();
    journal::Contents contents = Journal();
    ASSERT_TRUE(contents.readable) << contents.problem;
    EXPECT_EQ(contents.start.binaryPath, sample());
    EXPECT_EQ(contents.start.size, static_cast<std::int64_t>(original.size()));
    ASSERT_EQ(contents.changes.size(), 2u);
    EXPECT_EQ(contents.changes[0].region, (journal::Region{0, 1, 1, 1, 1}));
    EXPECT_EQ(contents.changes[0].values, std::vector<std::uint32_t>{6});
    EXPECT_EQ(contents.changes[1].values, std::vector<std::uint32_t>{7});
    ASSERT_EQ(contents.changes[0].checks.size(), 1u);
    EXPECT_EQ(contents.changes[0].checks[0].offset, 0x300);
    EXPECT_EQ(contents.changes[0].checks[0].bytes, original.substr(0x300, 4));
    // Undone back to the file as saved: no unsaved edit, no journal; redone: a journal again.
    QTest::keyClick(&grid(), Qt::Key_Z, Qt::ControlModifier);
    app->Journal().Flush();
    EXPECT_EQ(Journal().changes.size(), 3u);  // the undo is a change too
    QTest::keyClick(&grid(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_FALSE(doc().IsModified());
    EXPECT_FALSE(std::filesystem::exists(JournalPath()));
    EXPECT_FALSE(std::filesystem::exists(JournalPath() + ".lock"));
    QTest::keyClick(&grid(), Qt::Key_Y, Qt::ControlModifier);
    app->Journal().Flush();
    ASSERT_EQ(Journal().changes.size(), 1u);
    EXPECT_EQ(Journal().changes[0].values, std::vector<std::uint32_t>{6});
    // A save leaves nothing to recover.
    QTest::keyClick(&grid(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(U32(ReadFile(sample()), 0x300), 6u);
    EXPECT_FALSE(std::filesystem::exists(JournalPath()));
    // Closing with "do not save" neither.
    Edit(1, 1, "9");
    app->Journal().Flush();
    EXPECT_TRUE(std::filesystem::exists(JournalPath()));
    messages.answers.push_back(IMessageBox::Answer::No);
    EXPECT_TRUE(frame().close());
    EXPECT_FALSE(std::filesystem::exists(JournalPath()));
    EXPECT_FALSE(std::filesystem::exists(JournalPath() + ".lock"));
}

TEST_F(JournalWindowTest, RestoredEditsComeBackAsTheEditHistory)
{
    Start(sample());
    Edit(1, 1, "6");
    Edit(2, 1, "7");
    Edit(1, 1, "8");
    EndUnasked();
    ASSERT_TRUE(std::filesystem::exists(JournalPath()));
    EXPECT_EQ(ReadFile(sample()), original);

    recoveryAnswer = CZOKApp::RecoveryAnswer::Restore;
    Start(sample());
    ASSERT_EQ(recoveryQuestions.size(), 1u);
    EXPECT_TRUE(recoveryQuestions[0].restorable);
    EXPECT_NE(recoveryQuestions[0].text.find("3 回の変更、3 セル"), std::string::npos) << recoveryQuestions[0].text;
    EXPECT_NE(recoveryQuestions[0].text.find(sample()), std::string::npos);
    EXPECT_TRUE(doc().IsModified());
    EXPECT_EQ(frame().Note().toStdString(), "保存されていない 3 回の変更を復元しました。");
    EXPECT_EQ(Value(1, 1), 8u);
    EXPECT_EQ(Value(2, 1), 7u);
    EXPECT_EQ(Shown(1, 1), "8");
    EXPECT_TRUE(frame().windowTitle().contains(QLatin1Char('*'))) << frame().windowTitle().toStdString();
    // Undo takes them back one by one, the last first.
    QTest::keyClick(&grid(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Value(1, 1), 6u);
    QTest::keyClick(&grid(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Value(2, 1), U32(original, 0x308));
    QTest::keyClick(&grid(), Qt::Key_Y, Qt::ControlModifier);
    QTest::keyClick(&grid(), Qt::Key_Y, Qt::ControlModifier);
    // The restored edits are this window's unsaved edits: journaled, and saved like typed ones.
    app->Journal().Flush();
    EXPECT_TRUE(std::filesystem::exists(JournalPath()));
    QTest::keyClick(&grid(), Qt::Key_S, Qt::ControlModifier);
    const std::string saved = ReadFile(sample());
    EXPECT_EQ(U32(saved, 0x300), 8u);
    EXPECT_EQ(U32(saved, 0x308), 7u);
    EXPECT_FALSE(std::filesystem::exists(JournalPath()));
}

TEST_F(JournalWindowTest, AKeptJournalStaysAsItWasAndADiscardedOneGoes)
{
    Start(sample());
    Edit(1, 1, "6");
    EndUnasked();
    const std::string kept = ReadFile(JournalPath());

    recoveryAnswer = CZOKApp::RecoveryAnswer::Keep;
    Start(sample());
    ASSERT_EQ(recoveryQuestions.size(), 1u);
    EXPECT_FALSE(doc().IsModified());
    EXPECT_EQ(Value(1, 1), U32(original, 0x300));
    // This window's edits do not replace the journal kept for later.
    Edit(2, 1, "5");
    app->Journal().Flush();
    EXPECT_EQ(ReadFile(JournalPath()), kept);
    EXPECT_FALSE(app->Journal().NotJournaledBecause().isEmpty());
    messages.answers.push_back(IMessageBox::Answer::No);
    EXPECT_TRUE(frame().close());
    EXPECT_EQ(ReadFile(JournalPath()), kept);

    recoveryAnswer = CZOKApp::RecoveryAnswer::Discard;
    Start(sample());
    ASSERT_EQ(recoveryQuestions.size(), 2u);
    EXPECT_FALSE(std::filesystem::exists(JournalPath()));
    EXPECT_FALSE(doc().IsModified());
    // Edits after the answer are journaled again.
    Edit(2, 1, "5");
    app->Journal().Flush();
    ASSERT_EQ(Journal().changes.size(), 1u);
    EXPECT_EQ(Journal().changes[0].region, (journal::Region{0, 1, 1, 2, 2}));
}

TEST_F(JournalWindowTest, AFileChangedUnderTheEditsRestoresNothingAndNamesTheCells)
{
    Start(sample());
    Edit(1, 1, "6");
    Edit(3, 2, "1");
    EndUnasked();
    std::string changed = original;
    changed[0x300] = static_cast<char>(changed[0x300] ^ 0x01);
    WriteFile(sample(), changed);

    recoveryAnswer = CZOKApp::RecoveryAnswer::Restore;  // asked anyway: nothing happens unasked
    Start(sample());
    ASSERT_EQ(recoveryQuestions.size(), 1u);
    EXPECT_FALSE(recoveryQuestions[0].restorable);
    const std::string& text = recoveryQuestions[0].text;
    EXPECT_NE(text.find("何も復元しません"), std::string::npos) << text;
    EXPECT_NE(text.find("items 1 行目 値段 (0x300)"), std::string::npos) << text;
    EXPECT_EQ(text.find("0x314"), std::string::npos) << text;  // the other cell did not change
    EXPECT_FALSE(doc().IsModified());
    EXPECT_EQ(Value(1, 1), U32(changed, 0x300));
    EXPECT_TRUE(std::filesystem::exists(JournalPath()));  // kept, not applied

    // A set that reads otherwise now refuses the journal with its reason.
    WriteFile(root() + "Settings/sample/items.ini", ReadFile(root() + "Settings/sample/items.ini") + "// \r\n");
    Start(sample());
    ASSERT_EQ(recoveryQuestions.size(), 2u);
    EXPECT_FALSE(recoveryQuestions[1].restorable);
    EXPECT_NE(recoveryQuestions[1].text.find("定義ファイルが変更を記録した後に変わりました"), std::string::npos) << recoveryQuestions[1].text;
    EXPECT_FALSE(doc().IsModified());
}

TEST_F(JournalWindowTest, ASecondWindowSaysSoAndLeavesTheFirstWindowsJournalAlone)
{
    Start(sample());
    Edit(1, 1, "6");
    app->Journal().Flush();
    const std::string first = ReadFile(JournalPath());

    AppServices services;
    services.document = Services{&messages, &wait, &keys, &names};
    services.clipboard = &clipboard;
    auto second = std::make_unique<CZOKApp>(services);
    int asked = 0;
    second->askRecovery = [&](const QString&, bool) {
        ++asked;
        return CZOKApp::RecoveryAnswer::Discard;
    };
    ASSERT_TRUE(second->InitInstance({"--root", root(), sample()}, "/nonexistent/zok2"));
    EXPECT_EQ(asked, 0);
    ASSERT_FALSE(messages.shown.empty());
    EXPECT_NE(messages.shown.back().find("別の zok2 のウィンドウがこのファイルの保存していない変更を持っています"), std::string::npos);
    // Its own edits and its close leave the first window's journal as it is.
    second->Doc().StoreCellText(0, 0, 1, "3");
    second->Doc().MarkModified();
    second->Doc().TellValuesChanged({0, 1, 1, 2, 2});
    second->Journal().Flush();
    EXPECT_EQ(ReadFile(JournalPath()), first);
    second.reset();
    EXPECT_EQ(ReadFile(JournalPath()), first);
    // The first window goes on journaling.
    Edit(2, 1, "4");
    app->Journal().Flush();
    EXPECT_EQ(Journal().changes.size(), 2u);
}

#ifndef _WIN32
TEST_F(JournalWindowTest, AStateFolderThatCannotBeMadeIsSaidOnceAndEditingGoesOn)
{
    WriteFile(root() + "afile", "not a folder");
    setenv("XDG_STATE_HOME", (root() + "afile/state").c_str(), 1);
    Start(sample());
    Edit(1, 1, "6");
    Edit(2, 1, "7");
    ASSERT_EQ(messages.shown.size(), 1u);  // once, not at every edit
    EXPECT_EQ(messages.shown[0], "保存していない変更を記録できません: " + root() + "afile/state/zok2/");
    EXPECT_EQ(app->Journal().NotJournaledBecause().toStdString(), messages.shown[0]);
    EXPECT_EQ(Value(2, 1), 7u);  // the edits themselves are as ever
    QTest::keyClick(&grid(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(U32(ReadFile(sample()), 0x308), 7u);
}
#endif

}  // namespace

}  // namespace zok2::test
