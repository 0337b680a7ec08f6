// Saves when another program changed the binary after the open: rewritten,
// replaced, shrunk or deleted; saves side by side in one folder; sparse backups;
// definition files that are not Shift-JIS; a set whose folder vanished.
#include <fcntl.h>
#include <sys/stat.h>
#ifndef _WIN32
#include <unistd.h>
#endif

#include <atomic>
#include <chrono>
#include <mutex>
#include <filesystem>
#include <fstream>
#include <thread>

#include "framework/File.h"
#include "framework/FileSystem.h"
#include "support/TestFixture.h"

namespace zok2::test {

namespace {

namespace stdfs = std::filesystem;

std::string Pattern(std::size_t n)
{
    std::string bytes(n, '\0');
    for (std::size_t i = 0; i < n; ++i) bytes[i] = static_cast<char>(i * 7 + 3);
    return bytes;
}

class DiskChangeTest : public EditingTest {
protected:
    void SetUp() override
    {
        EditingTest::SetUp();
        OpenSection("100,W,2,10,,16\r\n", original, 8);
        Edit(1, 1, "0x4242");  // bytes 0x100 and 0x101
        doc->chooseSaveAsPath = [this] { return saveAsPath; };
    }
    bool Save() { return doc->DoFileSave(); }
    // Another program writes bytes into the file in place (same file, new time unless kept).
    void Rewrite(std::size_t offset, const std::string& bytes, bool keepTime = false)
    {
        auto write = [&] {
            std::fstream f(path, std::ios::in | std::ios::out | std::ios::binary);
            f.seekp(static_cast<std::streamoff>(offset));
            f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        };
        if (keepTime) {
            KeepingTheTime(path, write);
            return;
        }
        std::error_code error;
        const auto before = stdfs::last_write_time(path, error);
        write();
        stdfs::last_write_time(path, before - std::chrono::seconds(100), error);  // clearly different, whatever the clock's resolution
        ASSERT_FALSE(error) << error.message();
    }
    std::string Patched(std::string bytes) const
    {
        bytes[0x100] = 0x42;
        bytes[0x101] = 0x42;
        return bytes;
    }
    std::string Asked() const { return messages.asked.empty() ? std::string() : messages.asked.back(); }

    std::string original = Pattern(0x200);
    std::string saveAsPath;
};

}  // namespace

TEST_F(DiskChangeTest, RewrittenBytesAreOverwrittenOnlyAfterAYes)
{
    Rewrite(0x150, "THEIRS");
    const std::string theirs = ReadFile(path);
    // Cancel: nothing is written, not even the backup.
    messages.answers = {IMessageBox::Answer::Cancel};
    EXPECT_FALSE(Save());
    EXPECT_EQ(Asked().rfind("このファイルは開いた後で他のプログラムによって書き換えられています。\n" + path, 0), 0u);
    EXPECT_NE(Asked().find("はい: 編集したセルをこのファイルに上書き保存します"), std::string::npos);
    EXPECT_EQ(ReadFile(path), theirs);
    EXPECT_FALSE(stdfs::exists(path + ".bak"));
    EXPECT_TRUE(doc->IsModified());
    // Yes: their file is backed up as it is now, and only the edited bytes change.
    messages.answers = {IMessageBox::Answer::Yes};
    EXPECT_TRUE(Save());
    EXPECT_EQ(ReadFile(path + ".bak"), theirs);
    EXPECT_EQ(ReadFile(path), Patched(theirs));
    EXPECT_FALSE(doc->IsModified());
    // The saved file is the one the document knows now: the next save asks nothing.
    Edit(2, 1, "0x0101");
    EXPECT_TRUE(Save());
    EXPECT_EQ(messages.asked.size(), 2u);
}

// Another program rewrote the file in place under cells nobody edited: Save As
// says where the bytes outside the tables come from before writing anything, and
// writes every cell as the grid shows it.
TEST_F(DiskChangeTest, SaveAsAfterARewriteWritesEveryCellAsShown)
{
    Rewrite(0x110, "\x09\x03");  // the second row's word: 0x0309 on disk
    ASSERT_EQ(doc->Value(0, 0, 1), 0x7A73u);  // the grid still shows what was opened
    messages.answers = {IMessageBox::Answer::Cancel};
    EXPECT_FALSE(doc->OnSaveDocument(temp.Path() + "copy.bin"));
    EXPECT_EQ(Asked().rfind("開いたファイルは開いた後に他のプログラムに変更されています。", 0), 0u);
    EXPECT_FALSE(stdfs::exists(temp.Path() + "copy.bin"));
    messages.answers = {IMessageBox::Answer::Yes};
    EXPECT_TRUE(doc->OnSaveDocument(temp.Path() + "copy.bin"));
    std::string expected = Patched(ReadFile(path));  // their bytes outside the table...
    expected[0x110] = original[0x110];               // ... and every cell as the grid shows it
    expected[0x111] = original[0x111];
    EXPECT_TRUE(ReadFile(temp.Path() + "copy.bin") == expected);
}

// Overwriting a file another program changed: cells nobody edited still show what
// the file held at the open, and the document says so until it is opened again.
TEST_F(DiskChangeTest, AnOverwriteOfAChangedFileIsRememberedUntilTheNextOpen)
{
    Rewrite(0x110, "\x09\x03");
    messages.answers = {IMessageBox::Answer::Yes};
    EXPECT_TRUE(Save());
    EXPECT_TRUE(doc->ShowsValuesNotOnDisk());
    EXPECT_FALSE(doc->IsModified());
    ASSERT_TRUE(doc->OnOpenDocument(path));
    EXPECT_FALSE(doc->ShowsValuesNotOnDisk());
    EXPECT_EQ(doc->Value(0, 0, 1), 0x0309u);
}

TEST_F(DiskChangeTest, BytesUnderAnEditChangedWithTheTimeKeptAreNoticed)
{
    Rewrite(0x1F0, "elsewhere", true);  // same time, outside every edited cell: nothing to fear
    EXPECT_TRUE(Save());
    EXPECT_TRUE(messages.asked.empty()) << messages.asked.front();
    EXPECT_EQ(ReadFile(path).substr(0x1F0, 9), "elsewhere");
    Edit(3, 1, "0x3333");  // 0x120
    Rewrite(0x121, "X", true);
    messages.answers = {IMessageBox::Answer::Cancel};
    EXPECT_FALSE(Save());
    ASSERT_EQ(messages.asked.size(), 1u);
    EXPECT_EQ(ReadFile(path)[0x121], 'X');
}

TEST_F(DiskChangeTest, AReplacedFileIsNotPatchedAndSaveAsKeepsTheOpenedBytes)
{
    const std::string other = Pattern(0x300).substr(0x40, 0x200);
    WriteFile(path + ".new", other);
    ReplaceHeldFile(path + ".new", path);  // a new file under the old name
    saveAsPath = temp.Path() + "mine.bin";
    messages.answers = {IMessageBox::Answer::No};  // save as another file
    EXPECT_TRUE(Save());
    EXPECT_EQ(Asked().rfind("このファイルは開いた後で別のファイルに置き換えられています。", 0), 0u);
    EXPECT_EQ(ReadFile(path), other);  // their file untouched
    EXPECT_FALSE(stdfs::exists(path + ".bak"));
    EXPECT_EQ(ReadFile(saveAsPath), Patched(original));
    EXPECT_EQ(doc->GetPathName(), saveAsPath);
    EXPECT_FALSE(doc->IsModified());
}

TEST_F(DiskChangeTest, AShrunkFileNeverCostsTheBackupOrTheEdit)
{
    WriteFile(path + ".bak", original);  // a good backup from an earlier save
    for (std::size_t size : {std::size_t{0x100}, std::size_t{0}}) {
        stdfs::resize_file(path, size);
        messages.answers = {IMessageBox::Answer::Cancel};
        EXPECT_FALSE(Save()) << size;
        EXPECT_NE(Asked().find("上書きできません"), std::string::npos) << size;
        EXPECT_TRUE(ReadFile(path + ".bak") == original) << size;
        EXPECT_EQ(ReadFile(path).size(), size);
        EXPECT_TRUE(doc->IsModified());
    }
    // Yes saves elsewhere. The bytes cut off outside the table cannot be known: the
    // copy keeps the opened length, every cell's value and the edit, zeros elsewhere, and says so.
    saveAsPath = temp.Path() + "kept.bin";
    messages.answers = {IMessageBox::Answer::Yes, IMessageBox::Answer::Yes};
    messages.shown.clear();
    EXPECT_TRUE(Save());
    EXPECT_EQ(Asked().rfind("開いたファイルは開いた後に他のプログラムに変更されています。", 0), 0u);
    std::string expected(original.size(), '\0');
    for (std::size_t row = 0; row < 8; ++row) expected.replace(0x100 + 0x10 * row, 2, original.substr(0x100 + 0x10 * row, 2));
    EXPECT_TRUE(ReadFile(saveAsPath) == Patched(expected));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0], "開いたファイルが他のプログラムに短くされていたため、表の値以外の次の範囲の内容は分からず、0 として保存しました。\n" +
                                     saveAsPath + " (0x0 - 0x1FF)\n次の表のデータはその範囲にありました（圧縮された表は画面の値を保存できません）:\na");
    EXPECT_TRUE(ReadFile(temp.Path() + "data.bin.bak") == original);
}

TEST_F(DiskChangeTest, AFileShrunkAboveTheEditsCanStillBeOverwritten)
{
    stdfs::resize_file(path, 0x1F0);
    messages.answers = {IMessageBox::Answer::Yes};
    EXPECT_TRUE(Save());
    EXPECT_EQ(Asked().rfind("このファイルは開いた後で他のプログラムによって短くされています。", 0), 0u);
    EXPECT_EQ(ReadFile(path), Patched(original).substr(0, 0x1F0));
}

TEST_F(DiskChangeTest, ADeletedFileCanStillBeSavedAsAnotherFileWhole)
{
    stdfs::remove(path);
    const std::string target = temp.Path() + "again.bin";
    EXPECT_TRUE(doc->DoSaveAs(target));
    EXPECT_EQ(ReadFile(target), Patched(original));
    EXPECT_FALSE(stdfs::exists(path));
    EXPECT_TRUE(messages.shown.empty());
}

TEST(ParallelSaves, SavesSideBySideInOneFolderKeepEachOthersFiles)
{
    TempDir temp;
    const std::string source = temp.Path() + "source.bin";
    WriteFile(source, Pattern(200000));
    std::atomic<int> failures{0};
    std::mutex reasonLock;
    std::string firstReason;
    std::vector<std::thread> savers;
    for (int t = 0; t < 12; ++t) {
        savers.emplace_back([&, t] {
            const std::string name = temp.Path() + "file" + std::to_string(t);
            for (int i = 0; i < 15; ++i) {
                std::string reason;
                const bool written = fs::WriteFileAtomically(name + ".ini", std::string(5000 + i, 'a' + t), &reason) &&
                                     fs::CopyFileReplacing(source, name + ".bak", &reason);
                if (!written) {
                    ++failures;
                    const std::lock_guard<std::mutex> hold(reasonLock);
                    if (firstReason.empty()) firstReason = reason;
                }
            }
        });
    }
    for (std::thread& saver : savers) saver.join();
    EXPECT_EQ(failures.load(), 0) << firstReason;
    for (int t = 0; t < 12; ++t) {
        EXPECT_TRUE(ReadFile(temp.Path() + "file" + std::to_string(t) + ".ini") == std::string(5014, 'a' + t)) << t;
        EXPECT_TRUE(ReadFile(temp.Path() + "file" + std::to_string(t) + ".bak") == ReadFile(source)) << t;
    }
    // A leftover of an interrupted save goes; the file of a save still running stays.
    WriteFile(temp.Path() + ".zok2-tmp-abcdef", "left over");
    fs::ReplacementFile running(temp.Path() + "busy.bin");
    ASSERT_TRUE(running.IsCreated());
    fs::RemoveLeftoverTemporaries(temp.Path() + "x");
    EXPECT_FALSE(stdfs::exists(temp.Path() + ".zok2-tmp-abcdef"));
    EXPECT_TRUE(stdfs::exists(running.Path()));
    EXPECT_TRUE(running.Write("done") && running.Commit(0644));
    EXPECT_EQ(ReadFile(temp.Path() + "busy.bin"), "done");
}

TEST(SparseBackups, TheBackupOfASparseFileKeepsItsHoles)
{
#ifdef _WIN32
    GTEST_SKIP() << "made and measured with POSIX calls; SystemFiles.TheBackupOfASparseFileIsSparse is its Windows form";
#else
    TempDir temp;
    const std::string path = temp.Path() + "sparse.bin";
    constexpr std::int64_t kSize = std::int64_t{256} << 20;
    {
        const int fd = ::open(path.c_str(), O_CREAT | O_WRONLY, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::pwrite(fd, "head", 4, 0), 4);
        ASSERT_EQ(::pwrite(fd, "middle", 6, kSize / 2), 6);
        ASSERT_EQ(::ftruncate(fd, kSize), 0);
        ::close(fd);
    }
    struct stat source{};
    ASSERT_EQ(stat(path.c_str(), &source), 0);
    if (source.st_blocks * 512 > (8 << 20)) GTEST_SKIP() << "this file system keeps no holes";
    std::string reason;
    ASSERT_TRUE(fs::CopyFileReplacing(path, path + ".bak", &reason)) << reason;
    struct stat backup{};
    ASSERT_EQ(stat((path + ".bak").c_str(), &backup), 0);
    EXPECT_EQ(backup.st_size, kSize);
    EXPECT_LT(backup.st_blocks * 512, 8 << 20);
    fs::File copy;
    ASSERT_TRUE(copy.Open(path + ".bak", fs::File::Mode::Read));
    char bytes[6] = {};
    ASSERT_EQ(copy.ReadAt(0, bytes, 4), 4);
    EXPECT_EQ(std::string(bytes, 4), "head");
    ASSERT_EQ(copy.ReadAt(kSize / 2, bytes, 6), 6);
    EXPECT_EQ(std::string(bytes, 6), "middle");
    ASSERT_EQ(copy.ReadAt(kSize / 2 - 6, bytes, 6), 6);
    EXPECT_EQ(std::string(bytes, 6), std::string(6, '\0'));
#endif
}

class DefinitionTroubleTest : public DocTest {};

TEST_F(DefinitionTroubleTest, AFileWithAByteOrderMarkIsRefusedByName)
{
    Def("a.idn", "r0\r\nr1\r\n");
    Def("b.idn", "r0\r\n");
    Def("b.ini", "0,B,1\r\n");
    for (const char* mark : {"\xEF\xBB\xBF", "\xFF\xFE", "\xFE\xFF"}) {
        Def("a.ini", std::string(mark) + "100,W,2\r\n");
        messages.shown.clear();
        EXPECT_FALSE(Open(Binary(std::string(0x400, '\x11'))));
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0],
                  "設定ファイルが Shift-JIS ではありません（UTF-8 または UTF-16 の印で始まっています）。Shift-JIS で保存し直してください。\na.ini");
        EXPECT_FALSE(doc->HasSections());
    }
    // Without the mark the same set opens and the column reads its own address.
    Def("a.ini", "100,W,2\r\n");
    ASSERT_TRUE(Open(Binary(std::string(0x100, '\0') + "\x34\x12" + std::string(0x100, '\0'))));
    EXPECT_EQ(Value(0, 0, 0), 0x1234u);
}

TEST_F(DefinitionTroubleTest, AVanishedSetFolderIsReportedOnceForAllItsFiles)
{
    for (int i = 0; i < 12; ++i) {
        const std::string name = "t" + std::to_string(10 + i);
        Def(name + ".idn", "r0\r\n");
        Def(name + ".ini", "0,C,1\r\n");
    }
    ASSERT_TRUE(Open(Binary(std::string(16, '\0'))));
    stdfs::rename(SetFolder(), root + "Settings/moved");
    const std::string missing = MissingReason(SetFolder() + "t10.ini");  // "No such file or directory"
    EXPECT_FALSE(doc->SaveSettings());
    ASSERT_EQ(messages.shown.size(), 1u);
    const std::string& message = messages.shown[0];
    EXPECT_EQ(message.rfind("設定ファイルを読み込めないため、上書きせずに残しました。\nt10.ini (" + missing + ")\nt11.ini", 0), 0u) << message;
    EXPECT_NE(message.find("\nt14.ini (" + missing + ")\nほか 7 個のファイル"), std::string::npos);
}

}  // namespace zok2::test
