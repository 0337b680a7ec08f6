// The file layer's rules on every system: names outside ASCII, both separators
// and drive letters on Windows, a file replaced by a save that exists already,
// a folder read as a folder, the program's folder with its drive.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

#include "framework/AppPath.h"
#include "framework/File.h"
#include "framework/FileSystem.h"
#include "framework/System.h"
#include "support/TestFixture.h"

namespace zok2::test {

namespace {

namespace stdfs = std::filesystem;

// The entries of a folder by their UTF-8 names.
std::vector<std::string> Entries(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : stdfs::directory_iterator(fs::sys::PathOf(folder))) names.push_back(fs::sys::TextOf(entry.path().filename()));
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

TEST(PortableFiles, JapaneseNamesAreWrittenReadListedAndCopied)
{
    TempDir temp;
    const std::string folder = temp.Path() + "定義セット";
    ASSERT_TRUE(stdfs::create_directory(fs::sys::PathOf(folder)));
    const std::string file = folder + "/データ.bin";
    std::string reason;
    ASSERT_TRUE(fs::WriteFileAtomically(file, "バイト", &reason)) << reason;
    std::string back;
    ASSERT_TRUE(fs::ReadFile(file, back, &reason)) << reason;
    EXPECT_EQ(back, "バイト");
    EXPECT_TRUE(fs::IsRegularFile(file));
    EXPECT_EQ(fs::FileSize(file), 9);
    EXPECT_EQ(fs::FindFilesWithExtension(folder, ".BIN"), (std::vector<std::string>{"データ.bin"}));
    EXPECT_EQ(fs::FindSubFolders(temp.Path()), (std::vector<std::string>{"定義セット"}));
    ASSERT_TRUE(fs::CopyFileReplacing(file, file + ".bak", &reason)) << reason;
    EXPECT_EQ(Entries(folder), (std::vector<std::string>{"データ.bin", "データ.bin.bak"}));
    fs::FileIdentity identity;
    EXPECT_TRUE(fs::IdentityOf(file, &identity));
    EXPECT_TRUE(fs::SameFile(file, folder + "/./データ.bin"));
    EXPECT_FALSE(fs::SameFile(file, file + ".bak"));
}

TEST(PortableFiles, ASaveReplacesAnExistingFileAndLeavesNoTemporaryAnywhere)
{
    TempDir temp;
#ifdef _WIN32
    // Backslashes and a drive: the temporary is made beside the target, not in the working folder.
    std::string folder = temp.Path();
    for (char& c : folder) c = c == '/' ? '\\' : c;
    ASSERT_EQ(folder[1], ':');
    const std::string file = folder + "sub\\f.dat";
    stdfs::create_directory(fs::sys::PathOf(folder + "sub"));
#else
    const std::string file = temp.Path() + "sub/f.dat";
    stdfs::create_directory(temp.Path() + "sub");
#endif
    const std::vector<std::string> workingBefore = Entries(".");
    std::string reason;
    for (const char* content : {"first", "second, longer", "3"}) {
        ASSERT_TRUE(fs::WriteFileAtomically(file, content, &reason)) << content << ": " << reason;
        std::string back;
        ASSERT_TRUE(fs::ReadFile(file, back));
        EXPECT_EQ(back, content);
        ASSERT_TRUE(fs::CopyFileReplacing(file, file + ".bak", &reason)) << reason;
    }
    EXPECT_EQ(Entries(temp.Path() + "sub"), (std::vector<std::string>{"f.dat", "f.dat.bak"}));
    EXPECT_EQ(Entries("."), workingBefore);
}

TEST(PortableFiles, AFolderReadsAsAFolderAndAMissingFileAsMissing)
{
    TempDir temp;
    fs::File file;
    EXPECT_FALSE(file.Open(temp.Path(), fs::File::Mode::Read));
    EXPECT_EQ(file.Reason(), fs::ReasonText(EISDIR));
    EXPECT_FALSE(file.Open(temp.Path(), fs::File::Mode::Update));
    EXPECT_EQ(file.Reason(), fs::ReasonText(EISDIR));
    EXPECT_FALSE(file.Open(temp.Path() + "none.bin", fs::File::Mode::Read));
    EXPECT_FALSE(file.Reason().empty());
    EXPECT_EQ(fs::KindOf(temp.Path()), fs::EntryKind::Folder);
    EXPECT_EQ(fs::KindOf(temp.Path() + "none.bin"), fs::EntryKind::Missing);
    std::string reason;
    EXPECT_FALSE(fs::CanWrite(temp.Path(), &reason));
    EXPECT_EQ(reason, fs::ReasonText(EISDIR));
}

TEST(PortableFiles, TheProgramsFolderKeepsItsDrive)
{
#ifdef _WIN32
    SetProgramPath("D:\\tools\\zok2\\zok2.exe");
    EXPECT_EQ(GetAppPath(PathPart::ProgramFolder), "D:\\tools\\zok2\\");
    EXPECT_EQ(GetAppPath(PathPart::ProfilePath), "D:\\tools\\zok2\\zok2.ini");
    EXPECT_EQ(SettingsFolder(), "D:\\tools\\zok2\\Settings/");
    SetProgramPath("D:/tools/zok2.exe");
    EXPECT_EQ(GetAppPath(PathPart::ProgramFolder), "D:/tools/");
#else
    SetProgramPath("/opt/zok2/zok2");
    EXPECT_EQ(GetAppPath(PathPart::ProgramFolder), "/opt/zok2/");
    EXPECT_EQ(GetAppPath(PathPart::ProfilePath), "/opt/zok2/zok2.ini");
    EXPECT_EQ(SettingsFolder(), "/opt/zok2/Settings/");
#endif
}

}  // namespace zok2::test
