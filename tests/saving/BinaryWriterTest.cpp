#include <sys/stat.h>

#include <filesystem>

#include "editing/GridEditor.h"
#include "document/SectionGrid.h"
#include "support/FileFaults.h"
#include "support/TestFixture.h"

namespace zok2::test {

namespace {

ino_t Inode(const std::string& path)
{
    struct stat st{};
    stat(path.c_str(), &st);
    return st.st_ino;
}

std::string Pattern(std::size_t n)
{
    std::string bytes(n, '\0');
    for (std::size_t i = 0; i < n; ++i) bytes[i] = static_cast<char>(i * 37 + 11);
    return bytes;
}

// The file with the given bytes replaced.
std::string Patched(std::string bytes, std::initializer_list<std::pair<std::size_t, int>> changes)
{
    for (auto [at, value] : changes) bytes[at] = static_cast<char>(value);
    return bytes;
}

class WriterTest : public EditingTest {
protected:
    // Opens `ini` (one section "a" with `rows` labels) over the pattern file.
    void OpenWith(const std::string& ini, int rows = 8) { OpenSection(ini, original, rows); }
    bool Save() { return doc->DoFileSave(); }
    std::string OnDisk() const { return ReadFile(path); }

    std::string original = Pattern(0x200);
};

}  // namespace

TEST_F(WriterTest, SavingAnUnmodifiedDocumentMakesNoBackupAndLeavesTheFile)
{
    OpenWith("100,W,2,10,,16\r\n");
    EXPECT_FALSE(doc->CanSave());
    EXPECT_TRUE(Save());
    EXPECT_FALSE(std::filesystem::exists(path + ".bak"));
    EXPECT_EQ(OnDisk(), original);
    EXPECT_EQ(view.widthSaves, 1);  // the settings are saved all the same
}

TEST_F(WriterTest, ByteColumnsWriteTheirBytesLowestFirst)
{
    OpenWith("100,W,2,10,,16\r\n0,D,4,4,,16\r\n80,S,1\r\n");
    Edit(3, 1, "0x1234");
    Edit(2, 2, "0xA1B2C3D4");
    Edit(1, 3, "0x1FF");  // a one-byte column writes only the lowest byte
    ASSERT_TRUE(doc->CanSave());
    const ino_t inode = Inode(path);
    ASSERT_TRUE(Save());
    EXPECT_EQ(Inode(path), inode);  // patched in place, not replaced by a rewritten copy
    EXPECT_EQ(ReadFile(path + ".bak"), original);
    EXPECT_EQ(OnDisk(), Patched(original, {{0x120, 0x34}, {0x121, 0x12}, {4, 0xD4}, {5, 0xC3}, {6, 0xB2}, {7, 0xA1}, {0x80, 0xFF}}));
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(doc->GetTitle(), "data.bin");
    EXPECT_EQ(doc->history.SavedUndoDepth(), 3);
}

TEST_F(WriterTest, BitColumnsChangeOnlyTheirBit)
{
    original[0x40] = static_cast<char>(0x00);
    original[0x41] = static_cast<char>(0xFE);
    original[0x60] = static_cast<char>(0x5A);
    OpenWith("40,P,.3,.1\r\n60,B,.7,1\r\n");
    EXPECT_EQ(Value(0, 5, 0), 0u);  // row 5 is bit 0 of 0x41
    Edit(6, 1, "1");
    Edit(1, 1, "1");                // bit 3 of 0x40
    Edit(1, 2, "1");                // bit 7 of 0x60
    ASSERT_TRUE(Save());
    EXPECT_EQ(OnDisk(), Patched(original, {{0x41, 0xFF}, {0x40, 0x08}, {0x60, 0xDA}}));
}

TEST_F(WriterTest, MaskedColumnsSharingAByteKeepEachOthersBits)
{
    original[0x10] = static_cast<char>(0xA7);
    original[0x20] = static_cast<char>(0x34);
    original[0x21] = static_cast<char>(0x12);
    OpenWith("10,Lo,1,,,16,.0F\r\n10,Hi,1,,,16,.F0\r\n10,Bit,.3\r\n20,W,2,,,16,.0FF0\r\n");
    Edit(1, 1, "0x0C");   // low nibble: A7 -> AC
    Edit(1, 2, "0x50");   // high nibble: AC -> 5C
    Edit(1, 3, "0");      // bit 3 of 5C -> 54
    Edit(1, 4, "0xFFFF"); // only bits 4..11 of the word: 1234 -> 1FF4
    ASSERT_TRUE(Save());
    EXPECT_EQ(OnDisk(), Patched(original, {{0x10, 0x54}, {0x20, 0xF4}, {0x21, 0x1F}}));
}

TEST_F(WriterTest, SaveUndoSaveRedoSaveRestoresAndReappliesBytes)
{
    OpenWith("100,W,2,10,,16\r\n");
    Edit(1, 1, "0xBEEF");
    const std::string edited = Patched(original, {{0x100, 0xEF}, {0x101, 0xBE}});
    ASSERT_TRUE(Save());
    EXPECT_EQ(OnDisk(), edited);

    editor->Undo();
    EXPECT_TRUE(doc->IsModified());  // the file holds the edit, memory does not
    ASSERT_TRUE(Save());
    EXPECT_EQ(OnDisk(), original);
    EXPECT_EQ(ReadFile(path + ".bak"), edited);  // the second backup is the file before the second save

    editor->Redo();
    EXPECT_TRUE(doc->IsModified());
    ASSERT_TRUE(Save());
    EXPECT_EQ(OnDisk(), edited);
}

TEST_F(WriterTest, EditAndUndoIsUnmodifiedAgain)
{
    OpenWith("100,W,2,10,,16\r\n");
    Edit(1, 1, "7");
    EXPECT_EQ(doc->GetTitle(), "data.bin *");
    editor->Undo();
    EXPECT_FALSE(doc->IsModified());
    EXPECT_FALSE(doc->CanSave());
    EXPECT_EQ(doc->GetTitle(), "data");
    editor->Redo();
    EXPECT_TRUE(doc->IsModified());
}

TEST_F(WriterTest, UndoPastTheSaveAndNewEditsWriteEveryChangedRegion)
{
    OpenWith("100,W,2,10,,16\r\n");
    Edit(1, 1, "0x1111");  // A
    ASSERT_TRUE(Save());
    editor->Undo();        // A undone in memory only
    Edit(2, 1, "0x2222");  // B: the undo log has the saved length again, with other content
    EXPECT_EQ(doc->history.UndoLog().size(), static_cast<std::size_t>(doc->history.SavedUndoDepth()));
    EXPECT_TRUE(doc->IsModified());
    ASSERT_TRUE(Save());
    EXPECT_EQ(OnDisk(), Patched(original, {{0x110, 0x22}, {0x111, 0x22}}));

    // Redo back to the saved length along a different branch is not the saved state.
    Edit(4, 1, "0x4444");  // C
    ASSERT_TRUE(Save());
    editor->Undo();        // C undone in memory
    Edit(5, 1, "0x5555");  // D, at the saved length
    editor->Undo();
    editor->Redo();        // D again: same length as at the save, other content
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(doc->GetTitle(), "data.bin *");

    // Undo back to the saved length after a different branch is not the saved state.
    ASSERT_TRUE(Save());
    Edit(3, 1, "0x3333");
    editor->Undo();
    EXPECT_FALSE(doc->IsModified());
    editor->Undo();  // B undone: memory differs from the file
    EXPECT_TRUE(doc->IsModified());
    editor->Redo();
    EXPECT_FALSE(doc->IsModified());
}

TEST_F(WriterTest, SaveAsWritesTheWholeDataToTheNewFile)
{
    OpenWith("100,W,2,10,,16\r\n");
    Edit(1, 1, "0xABCD");
    const std::string target = temp.Path() + "copy.bin";
    WriteFile(target, "old contents");
    ASSERT_TRUE(doc->DoSaveAs(target));
    EXPECT_EQ(ReadFile(target), Patched(original, {{0x100, 0xCD}, {0x101, 0xAB}}));
    EXPECT_EQ(ReadFile(target + ".bak"), "old contents");
    EXPECT_EQ(OnDisk(), original);  // the opened file is left as it was
    EXPECT_EQ(doc->GetPathName(), target);
    EXPECT_FALSE(doc->IsModified());

    // A later Save patches the new file.
    Edit(2, 1, "0x0102");
    ASSERT_TRUE(Save());
    EXPECT_EQ(ReadFile(target), Patched(original, {{0x100, 0xCD}, {0x101, 0xAB}, {0x110, 0x02}, {0x111, 0x01}}));
}

TEST_F(WriterTest, SaveAsOfAnUnmodifiedDocumentStillCopiesTheFile)
{
    OpenWith("100,W,2,10,,16\r\n");
    const std::string target = temp.Path() + "fresh.bin";
    ASSERT_TRUE(doc->DoSaveAs(target));
    EXPECT_EQ(ReadFile(target), original);
    EXPECT_FALSE(std::filesystem::exists(target + ".bak"));
}

TEST_F(WriterTest, AFailedBackupStopsTheSave)
{
    OpenWith("100,W,2,10,,16\r\n");
    Edit(1, 1, "0x4242");
    std::filesystem::create_directories(path + ".bak/occupied");  // the backup cannot replace a folder
    EXPECT_FALSE(Save());
    EXPECT_EQ(OnDisk(), original);
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(doc->history.SavedUndoDepth(), 0);
    ASSERT_FALSE(messages.shown.empty());
    EXPECT_NE(messages.shown.back().find(path + ".bak"), std::string::npos);

    // A full disk while copying is a failed backup too.
    std::filesystem::remove_all(path + ".bak");
    {
        FileSizeLimit limit(0x80);
        EXPECT_FALSE(Save());
    }
    EXPECT_EQ(OnDisk(), original);
    EXPECT_FALSE(std::filesystem::exists(path + ".bak"));
    EXPECT_TRUE(doc->IsModified());
}

TEST_F(WriterTest, AFileThatCannotBeWrittenReportsAndKeepsTheHistory)
{
    OpenWith("100,W,2,10,,16\r\n");
    Edit(1, 1, "0x4242");
    std::string reason;
    EXPECT_FALSE(doc->WriteEdits(temp.Path(), &reason));  // a folder cannot be opened for update
    EXPECT_EQ(reason, "Is a directory");

    // Windows keeps a file deleted while open until its last handle closes (the
    // file layer reads its pending deletion as gone); Wine does not report that state.
    if (UnderWine()) GTEST_SKIP() << "Wine deletes a held file only when it is closed and reports no pending deletion meanwhile";
    std::filesystem::remove(path);  // the file went away after the open: the save asks, and a Cancel keeps all
    EXPECT_FALSE(Save());
    EXPECT_FALSE(std::filesystem::exists(path));  // never created
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(doc->history.UndoLog().size(), 1u);
    EXPECT_EQ(doc->history.SavedUndoDepth(), 0);
    ASSERT_EQ(messages.asked.size(), 1u);
    EXPECT_EQ(messages.asked[0].rfind("このファイルは開いた後で削除されたか、名前が変わっています。\n" + path + "\n\n", 0), 0u);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(WriterTest, AWriteFailingHalfWayIsReported)
{
    OpenWith("100,W,2,10,,16\r\n");
    Edit(1, 1, "0x4242");
    Edit(8, 1, "0x4343");  // at 0x170
    {
        FileSizeLimit limit(0x168);  // the backup (0x200 bytes) fails first
        EXPECT_FALSE(Save());
    }
    EXPECT_EQ(OnDisk(), original);
    EXPECT_FALSE(std::filesystem::exists(path + ".bak"));
    {
        FileSizeLimit limit(0x168);  // writes past 0x168 fail
        std::string reason;
        EXPECT_FALSE(doc->WriteEdits(path, &reason));
        EXPECT_EQ(reason, "File too large");
    }
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(doc->history.SavedUndoDepth(), 0);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].rfind("バックアップを作成できないため保存を中止しました。ファイルは変更されていません。\n" + path + ".bak (", 0), 0u);
}

TEST_F(WriterTest, RowsBeyondTheRowCountAreSkipped)
{
    OpenWith("0,A,1,1,3\r\n20,B,1,1,1\r\n");
    view.grid.SetCurrentRow(1);
    view.grid.SetCurrentColumn(1);
    clipboard.SetText("9\t8\r\n9\t8\r\n9\t8\r\n9\t8\r\n");
    editor->Paste();
    ASSERT_TRUE(Save());
    EXPECT_EQ(OnDisk(), Patched(original, {{0, 9}, {1, 9}, {2, 9}, {0x20, 8}}));
}

}  // namespace zok2::test
