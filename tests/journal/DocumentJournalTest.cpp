// The journal and the document: edits taken down as changes and applied to a
// fresh open of the same file give the same values, undo takes them back one
// by one and a save writes them; a file changed on disk under an edited cell,
// a set that no longer reads the same way and another file are refused.
#include "document/SectionGrid.h"
#include "editing/GridEditor.h"
#include "framework/FileSystem.h"
#include "journal/DocumentJournal.h"
#include "journal/JournalWriter.h"
#include "support/TestFixture.h"

namespace zok2::test {

namespace {

class DocumentJournalTest : public EditingTest {
protected:
    void SetUp() override
    {
        EditingTest::SetUp();
        // Two words and a byte in 8-byte records from 0x10.
        std::string bytes(0x60, '\0');
        for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i);
        OpenSection("10,W,2,8,,10\r\n12,X,2,8,,16\r\n14,B,1,8,,10\r\n", bytes, 6);
    }
    // What the document would journal after each edit, as the window takes it down.
    void Journal(const journal::Region& region) { changes.push_back(journal::ChangeOf(*doc, region, 1000 + static_cast<int>(changes.size()))); }
    journal::Contents Contents() const
    {
        return journal::Decode(journal::EncodeStart(start) + [this] {
            std::string all;
            for (const journal::Change& c : changes) all += journal::EncodeChange(c);
            return all;
        }());
    }
    // The same file opened again, as the next start does.
    void Reopen()
    {
        doc->SetModifiedFlag(false);
        ASSERT_TRUE(Open(path));
        FillSectionGrid(*doc, view.grid, 0, 1, 1);
        editor = std::make_unique<GridEditor>(*doc, view.grid, clipboard);
        editor->SetCurrentSection(0);
    }

    journal::Start start;
    std::vector<journal::Change> changes;
};

}  // namespace

TEST_F(DocumentJournalTest, EditsComeBackAsTheyWereMadeAndUndoTakesThemBackOneByOne)
{
    start = journal::StartOf(*doc, 1000);
    EXPECT_EQ(start.binaryPath, fs::AbsolutePath(path));
    EXPECT_EQ(start.size, 0x60);
    Edit(1, 1, "1234");
    Journal({0, 1, 1, 1, 1});
    Edit(3, 2, "0xABCD");
    Journal({0, 2, 2, 3, 3});
    Edit(3, 3, "77");
    Journal({0, 1, 3, 3, 3});  // a rectangle: all three cells of row 3
    EXPECT_EQ(changes[0].checks.size(), 1u);
    EXPECT_EQ(changes[0].checks[0].offset, 0x10);
    EXPECT_EQ(changes[0].checks[0].bytes, std::string("\x10\x11", 2));  // the bytes on disk, not the edit
    EXPECT_EQ(changes[2].values.size(), 3u);

    Reopen();  // the edits were never saved: the file as it was
    EXPECT_EQ(Value(0, 0, 0), 0x1110u);
    const journal::Contents contents = Contents();
    const journal::RecoveryCheck check = journal::CheckRecovery(*doc, contents);
    ASSERT_TRUE(check.Restorable()) << check.refusal;
    EXPECT_EQ(check.cells, 1 + 1 + 3);
    journal::Replay(*doc, contents);
    EXPECT_EQ(Value(0, 0, 0), 1234u);
    EXPECT_EQ(Value(0, 2, 1), 0xABCDu);
    EXPECT_EQ(Value(0, 2, 2), 77u);
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(doc->history.UndoLog().size(), 3u);

    editor->Undo();  // the last change first
    EXPECT_EQ(Value(0, 2, 2), 0x24u);
    EXPECT_EQ(Value(0, 2, 1), 0xABCDu);
    editor->Undo();
    EXPECT_EQ(Value(0, 2, 1), 0x2322u);
    EXPECT_EQ(Value(0, 0, 0), 1234u);
    editor->Undo();
    EXPECT_EQ(Value(0, 0, 0), 0x1110u);
}

TEST_F(DocumentJournalTest, ASaveWritesTheRestoredEdits)
{
    start = journal::StartOf(*doc, 1000);
    Edit(2, 1, "513");
    Journal({0, 1, 1, 2, 2});
    Reopen();
    journal::Replay(*doc, Contents());
    ASSERT_TRUE(doc->OnSaveDocument(path));
    const std::string saved = ReadFile(path);
    EXPECT_EQ(saved.substr(0x18, 2), std::string("\x01\x02", 2));  // 513 little-endian
    EXPECT_EQ(saved[0x1A], 0x1A);  // the next cell untouched
}

TEST_F(DocumentJournalTest, ChangedBytesAnotherSetAndAnotherFileAreRefused)
{
    start = journal::StartOf(*doc, 1000);
    Edit(2, 1, "513");
    Journal({0, 1, 1, 2, 2});
    Edit(4, 3, "9");
    Journal({0, 3, 3, 4, 4});

    // Another program wrote 0xFF over the byte of row 4's B (at 0x2C).
    std::string bytes = ReadFile(path);
    bytes[0x2C] = static_cast<char>(0xFF);
    WriteFile(path, bytes);
    Reopen();
    journal::RecoveryCheck check = journal::CheckRecovery(*doc, Contents());
    EXPECT_TRUE(check.refusal.empty()) << check.refusal;
    ASSERT_EQ(check.changedOnDisk.size(), 1u);
    EXPECT_EQ(check.changedOnDisk[0].row, 4);
    EXPECT_EQ(check.changedOnDisk[0].column, 3);
    EXPECT_EQ(check.changedOnDisk[0].offset, 0x2C);
    EXPECT_FALSE(check.Restorable());

    // The set changed: a column moved.
    Def("a.ini", "10,W,2,8,,10\r\n12,X,2,8,,16\r\n15,B,1,8,,10\r\n");
    Reopen();
    check = journal::CheckRecovery(*doc, Contents());
    EXPECT_NE(check.refusal.find("has changed"), std::string::npos) << check.refusal;

    // A journal of another file.
    journal::Contents other = Contents();
    other.start.binaryPath = "/elsewhere/data.bin";
    EXPECT_NE(journal::CheckRecovery(*doc, other).refusal.find("another file"), std::string::npos);
}

// A value no edit could have made (wider than its column's bytes) refuses the
// whole journal before anything is stored.
TEST_F(DocumentJournalTest, AValueItsColumnCannotHoldRefusesTheWholeJournal)
{
    start = journal::StartOf(*doc, 1000);
    Edit(1, 1, "7");
    Journal({0, 1, 1, 1, 1});
    Edit(2, 3, "9");
    Journal({0, 3, 3, 2, 2});
    changes[1].values[0] = 0x1FF;  // B is one byte
    Reopen();
    const journal::RecoveryCheck check = journal::CheckRecovery(*doc, Contents());
    EXPECT_EQ(check.why, journal::Refusal::ValuesDoNotFit);
    EXPECT_FALSE(check.Restorable());
    changes[1].values[0] = 0xFF;
    EXPECT_TRUE(journal::CheckRecovery(*doc, Contents()).Restorable());
}

// The window hands the journal a change's values and where its bytes lie; the
// journal's thread reads them from its own handle on the file as opened, even
// after another program replaced the file, and writes what ChangeOf gives.
TEST_F(DocumentJournalTest, ChecksReadByTheJournalsThreadAreThoseOfTheFileAsOpened)
{
    Edit(2, 1, "9");
    Edit(2, 3, "8");
    const journal::Region region{0, 1, 3, 1, 6};  // every cell, past the data rows too
    const journal::Change expected = journal::ChangeOf(*doc, region, 5000);
    ASSERT_EQ(expected.checks.size(), 18u);
    const std::string journalPath = temp.Path() + "planned.journal";
    {
        journal::JournalWriter writer(journalPath, journal::StartOf(*doc, 5000), &doc->OpenedFile());
        WriteFile(temp.Path() + "new.bin", std::string(0x60, '\x7F'));
        ReplaceHeldFile(temp.Path() + "new.bin", path);  // another program writes the file anew
        writer.Append(journal::ValuesOf(*doc, region, 5000), journal::PlanOf(*doc, region));
        writer.Flush();
    }
    const journal::Contents written = journal::Decode(ReadFile(journalPath));
    ASSERT_EQ(written.changes.size(), 1u);
    EXPECT_EQ(written.changes[0], expected);
    EXPECT_EQ(written.changes[0].checks[1].bytes, std::string("\x12\x13", 2));
}

}  // namespace zok2::test
