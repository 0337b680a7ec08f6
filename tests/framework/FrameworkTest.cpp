#include <filesystem>

#include "framework/AppPath.h"
#include "framework/FileSystem.h"
#include "framework/IniProfile.h"
#include "support/FileFaults.h"
#include "support/TestFixture.h"

namespace zok2::test {

TEST(IniProfile, NamesMatchWithoutRegardToCaseAndValuesAreTrimmed)
{
    TempDir temp;
    WriteFile(temp.Path() + "p.ini", "; a comment\r\n[setting]\r\n MODE = \x83\x7C sample \r\nq=\"quoted\"\r\n[Other]\r\nmode=x\r\n");
    IniProfile profile(temp.Path() + "p.ini");
    EXPECT_EQ(profile.GetString("Setting", "mode"), "\x83\x7C sample");
    EXPECT_EQ(profile.GetString("SETTING", "Q"), "quoted");
    EXPECT_EQ(profile.GetString("Setting", "missing", "dflt"), "dflt");
    EXPECT_EQ(profile.GetString("Nowhere", "mode"), "");
    EXPECT_EQ(profile.GetInt("Other", "mode", 7), 0);
    EXPECT_EQ(profile.GetInt("Other", "none", 7), 7);
    EXPECT_EQ(IniProfile(temp.Path() + "absent.ini").GetString("Setting", "mode", "d"), "d");
}

TEST(IniProfile, WritesKeepEveryOtherLine)
{
    TempDir temp;
    const std::string path = temp.Path() + "p.ini";
    WriteFile(path, "; keep me\r\n[Setting]\r\nmode=old\r\nleft=5\r\n\r\n[Recent File List]\r\nFile1=a\r\n");
    IniProfile profile(path);
    ASSERT_TRUE(profile.WriteString("SETTING", "Mode", "new"));
    ASSERT_TRUE(profile.WriteInt("Setting", "top", 12));
    ASSERT_TRUE(profile.WriteString("File Address Correction", "dat", "200"));
    EXPECT_EQ(ReadFile(path),
              "; keep me\r\n[Setting]\r\nMode=new\r\nleft=5\r\ntop=12\r\n\r\n[Recent File List]\r\nFile1=a\r\n"
              "[File Address Correction]\r\ndat=200\r\n");
    EXPECT_EQ(profile.GetInt("setting", "TOP", 0), 12);
    // No temporary file is left beside it.
    int entries = 0;
    for (auto& e : std::filesystem::directory_iterator(temp.Path())) entries += e.is_regular_file() ? 1 : 0;
    EXPECT_EQ(entries, 1);
}

TEST(IniProfile, AFailedWriteLeavesTheFileAsItWas)
{
    TempDir temp;
    const std::string path = temp.Path() + "p.ini";
    const std::string old = "[Setting]\r\nmode=old\r\n; " + std::string(100, 'c') + "\r\n";
    WriteFile(path, old);
    IniProfile profile(path);
    {
        FileSizeLimit fullDisk(32);
        EXPECT_FALSE(profile.WriteString("Setting", "mode", "new"));
    }
    EXPECT_EQ(ReadFile(path), old);
    int entries = 0;
    for (auto& e : std::filesystem::directory_iterator(temp.Path())) entries += e.is_regular_file() ? 1 : 0;
    EXPECT_EQ(entries, 1);  // the temporary file is gone again
}

TEST(AppPath, EveryMode)
{
    SetProgramPath("/opt/zok/bin/zok2");
    EXPECT_EQ(GetAppPath(PathPart::ProgramPath), "/opt/zok/bin/zok2");
    EXPECT_EQ(GetAppPath(PathPart::ProgramFolder), "/opt/zok/bin/");
    EXPECT_EQ(GetAppPath(PathPart::ProfilePath), "/opt/zok/bin/zok2.ini");
    SetProgramPath("/opt/zok/tool.exe");
    EXPECT_EQ(GetAppPath(PathPart::ProfilePath), "/opt/zok/tool.ini");
    EXPECT_EQ(GetAppPath(PathPart::NameWithExtension, "/x/y/a.b.c"), "a.b.c");
    EXPECT_EQ(GetAppPath(PathPart::NameOnly, "/x/y/a.b.c"), "a.b");
    EXPECT_EQ(GetAppPath(PathPart::ExtensionOnly, "/x/y/a.b.c"), ".c");
    EXPECT_EQ(GetAppPath(PathPart::ExtensionOnly, "/x.d/noext"), "");
    EXPECT_EQ(GetAppPath(PathPart::NameOnly, "/x.d/noext"), "noext");
    EXPECT_EQ(GetAppPath(static_cast<PathPart>(9), "/x/a.b"), "");
}

TEST(FileSystem, ExtensionSearchIgnoresCaseAndSkipsFolders)
{
    TempDir temp;
    WriteFile(temp.Path() + "b.IDN", "");
    WriteFile(temp.Path() + "a.idn", "");
    WriteFile(temp.Path() + "C.Idn", "");
    WriteFile(temp.Path() + "d.idnx", "");
    std::filesystem::create_directories(temp.Path() + "e.idn");
    EXPECT_EQ(fs::FindFilesWithExtension(temp.Path(), ".idn"), (std::vector<std::string>{"a.idn", "b.IDN", "C.Idn"}));
    EXPECT_EQ(fs::FolderIndex(temp.Path()).Resolve("B.idn"), "b.IDN");
    EXPECT_EQ(fs::FolderIndex(temp.Path()).Resolve("z.ini"), "z.ini");
    EXPECT_TRUE(fs::FindFilesWithExtension(temp.Path() + "none/", ".idn").empty());
}

}  // namespace zok2::test
