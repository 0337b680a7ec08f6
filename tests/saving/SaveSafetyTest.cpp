// What a save does to the user's files when columns share bytes, when files are
// write-protected, linked, oddly named, or not files at all.
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "document/SectionGrid.h"
#include "editing/GridEditor.h"
#include "support/FileFaults.h"
#include "support/TestFixture.h"

namespace zok2::test {

namespace {

namespace stdfs = std::filesystem;

void ChangeMode(const std::string& path, stdfs::perms perms) { stdfs::permissions(path, perms); }
constexpr auto kReadOnly = stdfs::perms::owner_read | stdfs::perms::group_read | stdfs::perms::others_read;

// Names of the files in a folder that a save left behind besides the expected ones.
std::vector<std::string> Entries(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : stdfs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class SaveTest : public EditingTest {
protected:
    void OpenWith(const std::string& ini, const std::string& bytes, int rows = 4, const std::string& name = "data.bin")
    {
        OpenSection(ini, bytes, rows, name);
    }
};

}  // namespace

// Columns sharing bytes: the latest change of every byte reaches the file, and
// the grid shows what the file will hold.
TEST_F(SaveTest, ColumnsSharingBytesSaveTheLatestChangeOfEachByte)
{
    const std::string twoColumns = "10,Bit0,.0\r\n10,Byte,1,,,16\r\n";
    struct Case {
        const char* name;
        std::string ini;
        std::vector<std::tuple<int, int, const char*>> edits;  // row, column, text; "undo" undoes
        std::string expected;                                  // bytes 0x10.. after the save
        const char* shownByte;                                 // the Byte cell afterwards (or "")
    };
    const Case cases[] = {
        {"byte edited and undone, then bit", twoColumns, {{1, 2, "0x80"}, {0, 0, "undo"}, {1, 1, "1"}}, Bytes({0x01}), "0X01"},
        {"bit, then byte", twoColumns, {{1, 1, "1"}, {1, 2, "0x80"}}, Bytes({0x80}), "0X80"},
        {"bit, then byte, byte undone", twoColumns, {{1, 1, "1"}, {1, 2, "0x80"}, {0, 0, "undo"}}, Bytes({0x01}), "0X01"},
        {"stride below the size", "10,W,2,1,,16\r\n", {{2, 1, "0x2222"}, {1, 1, "0x1111"}}, Bytes({0x11, 0x11, 0x22}), ""},
        {"mask over a word", "10,Hi,1,,,16,.F0\r\n10,W,2,,,16\r\n", {{1, 2, "0x1234"}, {1, 1, "0xA0"}}, Bytes({0xA4, 0x12}), ""},
        // Equal strides: a word that wraps past its stride meets the next row of a byte column.
        {"word wrapping into the next stride", "12,A,4,4,,16\r\n10,B,1,4,,16\r\n", {{1, 1, "0x11223344"}},
         Bytes({0x00, 0x00, 0x44, 0x33, 0x22, 0x11}), "0X00"},
        {"columns side by side", "10,A,2,4,,16\r\n12,B,2,4,,16\r\n", {{1, 1, "0xAAAA"}, {1, 2, "0xBBBB"}},
         Bytes({0xAA, 0xAA, 0xBB, 0xBB}), "0XBBBB"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        OpenWith(c.ini, std::string(0x20, '\0'));
        for (auto [row, column, text] : c.edits) {
            if (std::string(text) == "undo") {
                editor->Undo();
            } else {
                Edit(row, column, text);
            }
        }
        if (*c.shownByte) {
            EXPECT_EQ(view.grid.CellText(1, 2), c.shownByte);
        }
        ASSERT_TRUE(doc->DoFileSave());
        EXPECT_EQ(ReadFile(path).substr(0x10, c.expected.size()), c.expected);
        // A fresh open shows exactly what memory holds.
        CZOKDoc reopened;
        ASSERT_TRUE(reopened.LoadDocument(path));
        EXPECT_EQ(reopened.values, doc->values);
    }
}

TEST_F(SaveTest, CellsPastTheEndOfTheFileAreReadOnly)
{
    // W's row 1 lies at 0x1F..0x20 of a 0x20-byte file: one byte is missing.
    OpenWith("1D,W,2,2,,16\r\n", std::string(0x1F, '\x05') + '\x07', 3);
    EXPECT_TRUE(doc->IsEditable(0, 0, 0));
    EXPECT_FALSE(doc->IsEditable(0, 0, 1));
    EXPECT_EQ(view.grid.CellText(2, 1), "0X0007");  // the byte that exists; the missing one reads 0
    EXPECT_EQ(view.grid.CellText(3, 1), "0X0000");

    Edit(2, 1, "0x1234");
    EXPECT_TRUE(doc->history.UndoLog().empty());
    view.grid.SetCurrentRow(2);
    view.grid.SetSelEndRow(3);
    editor->Delete();
    EXPECT_TRUE(doc->history.UndoLog().empty());
    EXPECT_FALSE(doc->IsModified());

    // A paste over both changes the cell in the file and tells how many it left alone.
    view.grid.SetCurrentRow(1);
    clipboard.SetText("0x4141\r\n0x4242\r\n0x4343\r\n");
    editor->Paste();
    EXPECT_EQ(editor->SkippedCells(), 2);
    ASSERT_TRUE(doc->DoFileSave());
    EXPECT_EQ(ReadFile(path), std::string(0x1D, '\x05') + "\x41\x41\x07");
}

TEST_F(SaveTest, WriteProtectionIsHonouredEvenForTheSuperUser)
{
    OpenWith("0,V,1,,,16\r\n", Bytes({1, 2, 3, 4}));
    Edit(1, 1, "0x7F");
    ChangeMode(path, kReadOnly);

    // Save into the protected file: refused with the reason, nothing written, no backup.
    EXPECT_FALSE(doc->DoFileSave());
    EXPECT_EQ(LastMessage(), "ファイルに書き込めません。ファイルは変更されていません。\n" + path + " (Permission denied)");
    EXPECT_EQ(ReadFile(path), Bytes({1, 2, 3, 4}));
    EXPECT_FALSE(stdfs::exists(path + ".bak"));
    EXPECT_TRUE(doc->IsModified());

    // An existing protected Save As target is not replaced.
    const std::string target = temp.Path() + "other.bin";
    WriteFile(target, "keep");
    ChangeMode(target, kReadOnly);
    EXPECT_FALSE(doc->DoSaveAs(target));
    EXPECT_EQ(ReadFile(target), "keep");
    EXPECT_NE(LastMessage().find(target + " (Permission denied)"), std::string::npos);

    // Save As to a new file: a writable, patched copy of the protected one.
    const std::string copy = temp.Path() + "copy.bin";
    ASSERT_TRUE(doc->DoSaveAs(copy)) << LastMessage();
    EXPECT_EQ(ReadFile(copy), Bytes({0x7F, 2, 3, 4}));
    EXPECT_TRUE((stdfs::status(copy).permissions() & stdfs::perms::owner_write) != stdfs::perms::none);
    EXPECT_EQ(ReadFile(path), Bytes({1, 2, 3, 4}));
    EXPECT_EQ(doc->GetPathName(), copy);
    EXPECT_FALSE(doc->IsModified());
}

TEST_F(SaveTest, AProtectedBackupStopsTheSave)
{
    OpenWith("0,V,1,,,16\r\n", Bytes({1, 2}));
    Edit(1, 1, "9");
    WriteFile(path + ".bak", "old backup");
    ChangeMode(path + ".bak", kReadOnly);
    EXPECT_FALSE(doc->DoFileSave());
    EXPECT_EQ(ReadFile(path + ".bak"), "old backup");
    EXPECT_EQ(ReadFile(path), Bytes({1, 2}));
    EXPECT_NE(LastMessage().find(path + ".bak (Permission denied)"), std::string::npos);
}

TEST_F(SaveTest, LinksAreWrittenThrough)
{
#ifdef _WIN32
    GTEST_SKIP() << "symbolic links need a privilege on Windows, and MinGW's library does not make them";
#endif
    OpenWith("0,V,1,,,16,,,d\r\n", Bytes({1, 2}));
    // The column file and the backup are links to files elsewhere.
    const std::string elsewhere = temp.Path() + "elsewhere/";
    stdfs::create_directories(elsewhere);
    stdfs::rename(SetFolder() + "a.ini", elsewhere + "a.ini");
    stdfs::create_symlink(elsewhere + "a.ini", SetFolder() + "a.ini");
    WriteFile(elsewhere + "data.bak", "old");
    stdfs::create_symlink(elsewhere + "data.bak", path + ".bak");

    Edit(1, 1, "9");
    doc->sections[0][0][ColumnField::radix] = "16";
    ASSERT_TRUE(doc->DoFileSave()) << LastMessage();
    EXPECT_TRUE(stdfs::is_symlink(SetFolder() + "a.ini"));
    EXPECT_EQ(ReadFile(elsewhere + "a.ini"), "0,V,,,,16,,,d,\r\n");
    EXPECT_TRUE(stdfs::is_symlink(path + ".bak"));
    EXPECT_EQ(ReadFile(elsewhere + "data.bak"), Bytes({1, 2}));
    EXPECT_EQ(ReadFile(path), Bytes({9, 2}));
}

TEST_F(SaveTest, ALongFileNameCanBeSavedAndLeftoversAreCleared)
{
    const std::string name = std::string(247, 'n') + ".bin";  // 251 bytes, its backup 255
    OpenWith("0,V,1\r\n", Bytes({1}), 1, name);
    WriteFile(temp.Path() + ".zok2-tmp-AbC123", "left by a save that was killed");
    Edit(1, 1, "3");
    ASSERT_TRUE(doc->DoFileSave()) << LastMessage();
    EXPECT_EQ(ReadFile(path), Bytes({3}));
    EXPECT_EQ(ReadFile(path + ".bak"), Bytes({1}));
    EXPECT_EQ(Entries(temp.Path()), (std::vector<std::string>{name, name + ".bak", "prog"}));
}

TEST_F(SaveTest, AFailedSaveAsLeavesNothingAndSaysSo)
{
    OpenWith("0,V,1\r\n", std::string(0x1000, '\x01'));
    Edit(1, 1, "3");
    const std::string target = temp.Path() + "new.bin";
    {
        FileSizeLimit limit(0x800);  // the copy cannot be completed
        EXPECT_FALSE(doc->DoSaveAs(target));
    }
    EXPECT_EQ(LastMessage().rfind("名前を付けて保存できませんでした。保存先のファイルは変更されていません。\n" + target + " (File too large)", 0), 0u);
    EXPECT_EQ(Entries(temp.Path()), (std::vector<std::string>{"data.bin", "prog"}));
    EXPECT_EQ(doc->GetPathName(), path);
    EXPECT_TRUE(doc->IsModified());
}

TEST_F(SaveTest, OnlyRegularFilesOpen)
{
    Def("a.idn", "r\r\n");
    Def("a.ini", "0,V,1\r\n");
#ifdef _WIN32
    // A folder and a device (the null device) are no files to open.
    const std::string zero = "NUL";
    const std::vector<std::string> notFiles{temp.Path(), zero};
#else
    const std::string fifo = temp.Path() + "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string zero = temp.Path() + "zero.bin";
    stdfs::create_symlink("/dev/zero", zero);
    const std::vector<std::string> notFiles{temp.Path(), fifo, zero};
#endif
    for (const std::string& notAFile : notFiles) {
        SCOPED_TRACE(notAFile);
        messages.shown.clear();
        EXPECT_FALSE(Open(notAFile));
        EXPECT_EQ(messages.shown, (std::vector<std::string>{"ファイルが開けません"}));
        EXPECT_TRUE(doc->sections.empty());
    }
    EXPECT_FALSE(stdfs::exists(zero + ".bak"));
}

TEST_F(SaveTest, APasteOfNothingKeepsTheRedoLog)
{
    OpenWith("0,V,1\r\n", Bytes({1}));
    Edit(1, 1, "5");
    editor->Undo();
    ASSERT_EQ(doc->history.RedoLog().size(), 1u);
    clipboard.hasText = false;
    editor->Paste();
    clipboard.available = false;
    editor->Paste();
    clipboard.available = true;
    clipboard.SetText("");
    editor->Paste();
    EXPECT_EQ(doc->history.RedoLog().size(), 1u);
    editor->Redo();
    EXPECT_EQ(Value(0, 0, 0), 5u);
}

}  // namespace zok2::test
