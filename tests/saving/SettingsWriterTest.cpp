#include <sys/stat.h>

#include <filesystem>

#include "document/Messages.h"
#include "support/FileFaults.h"
#include "support/TestFixture.h"
#include "text/SjisText.h"

namespace zok2::test {

namespace {
using F = ColumnField;

ino_t Inode(const std::string& path)
{
    struct stat st{};
    stat(path.c_str(), &st);
    return st.st_ino;
}

class SettingsTest : public DocTest {
protected:
    void OpenSet(const std::string& ini, int rows = 3)
    {
        std::string idn;
        for (int i = 0; i < rows; ++i) idn += "r\r\n";
        Def("a.idn", idn);
        Def("a.ini", ini);
        OpenBytes(std::string(64, '\0'), "data.dat");
    }
    std::string Ini() const { return ReadFile(SetFolder() + "a.ini"); }
};
}  // namespace

TEST_F(SettingsTest, DefaultsAreLeftEmptyAndCommentsStay)
{
    OpenSet("// header comment\r\n"
            "100,Name,1,1,,-10,,0,,// note\r\n"
            " // one blank before\r\n"
            "COMPRESS_INFO,2,x,1|2|3,4\r\n"
            "\r\n"
            "no comma\r\n"
            "0x1A0,W,2,2,3,16,10|20,300,d,\r\n"
            "10,B,.3,.8,2\r\n"
            "11,C,.0,1\r\n");
    doc->sections[0][0][F::radix] = "16";  // a display change
    doc->SaveSettings();
    EXPECT_EQ(Ini(),
              "// header comment\r\n"
              "100,Name,,,,16,,,,// note\r\n"
              "// one blank before\r\n"
              "COMPRESS_INFO,2,x,1|2|3,4\r\n"
              "\r\n"
              "no comma\r\n"
              "1A0,W,2,,,16,10|20,300,d,\r\n"
              "10,B,.3,.8,2,,,,,\r\n"
              "11,C,.0,,,,,,,\r\n");
    doc->sections[0][0][F::radix] = "-10";
    doc->SaveSettings();
    EXPECT_NE(Ini().find("\r\n100,Name,,,,,,,,// note\r\n"), std::string::npos);
}

TEST_F(SettingsTest, TheAddressCorrectionIsSubtractedAgain)
{
    Profile("[Setting]\r\nmode=set\r\n[File Address Correction]\r\ndat=10\r\n");
    OpenSet("100,A,1,,,16\r\n");
    EXPECT_EQ(Column(0, 0)[F::address], "110");
    doc->sections[0][0][F::width] = "1200";
    doc->SaveSettings();
    EXPECT_EQ(Ini(), "100,A,,,,16,,1200,,\r\n");
}

TEST_F(SettingsTest, DescriptionsAndInlineListsRoundTrip)
{
    Def("b.idn", "x\r\n");
    Def("b.ini", "0,B,1,,,0,,,,5 Five\r\n");  // its list gets another index than a's
    OpenSet("0,V,1,,,0,,,a\\nb,0 Off|1 On\r\n");
    EXPECT_EQ(Column(0, 0)[F::description], "a\r\nb");
    doc->SaveSettings();
    EXPECT_EQ(Ini(), "0,V,,,,0,,,a\\nb,0 Off|1 On\r\n");

    // Line breaks of any kind are escaped; "," and "//" get full-width stand-ins.
    doc->sections[0][0][F::description] = "x,y\nz//w\r";
    doc->SaveSettings();
    EXPECT_EQ(Ini(), "0,V,,,,0,,,x\x81\x43y\\nz\x81\x5E\x81\x5Ew\\n,0 Off|1 On\r\n");
    OpenBytes(std::string(64, '\0'), "data.dat");
    EXPECT_EQ(Column(0, 0)[F::description], "x\x81\x43y\r\nz\x81\x5E\x81\x5Ew\r\n");
    EXPECT_EQ(Column(0, 0)[F::comment], "");
    EXPECT_EQ(doc->lists.at(static_cast<std::size_t>(text::ReadDec(Column(0, 0)[F::listIndex]))), (StringList{"0 Off", "1 On"}));
}

TEST_F(SettingsTest, AListEndingInASlashStaysApartFromTheComment)
{
    OpenSet("0,V,1,,,0,,,,1 a|2 b/,,// note\r\n");
    doc->SaveSettings();
    EXPECT_EQ(Ini(), "0,V,,,,0,,,,1 a|2 b/,// note\r\n");
    OpenBytes(std::string(64, '\0'), "data.dat");
    EXPECT_EQ(doc->lists.at(1), (StringList{"1 a", "2 b/"}));
    EXPECT_EQ(Column(0, 0)[F::comment], "// note");
}

TEST_F(SettingsTest, ExtraColumnLinesAreDroppedAndUnchangedFilesAreNotRewritten)
{
    OpenSet("0,A,1\r\n1,B,1\r\n2,C,1\r\n");
    doc->SaveSettings();
    EXPECT_EQ(Ini(), "0,A,,,,,,,,\r\n1,B,,,,,,,,\r\n2,C,,,,,,,,\r\n");
    const ino_t before = Inode(SetFolder() + "a.ini");
    doc->SaveSettings();
    EXPECT_EQ(Inode(SetFolder() + "a.ini"), before);  // same text: the file was left alone
    doc->sections[0].pop_back();
    doc->SaveSettings();
    EXPECT_EQ(Ini(), "0,A,,,,,,,,\r\n1,B,,,,,,,,\r\n");
}

TEST_F(SettingsTest, FilesWithoutColumnsAreNotTouched)
{
    Def("b.idn", "x\r\n");
    Def("b.ini", "just text\n");
    OpenSet("0,A,1\r\n");
    doc->SaveSettings();
    EXPECT_EQ(ReadFile(SetFolder() + "b.ini"), "just text\n");
}

TEST_F(SettingsTest, AFileChangedOnDiskMeanwhileIsKept)
{
    OpenSet("0,A,1\r\n");
    doc->sections[0][0][F::radix] = "16";
    Def("a.ini", "0,A,1 // edited in a text editor\r\n");
    EXPECT_FALSE(doc->SaveSettings());
    EXPECT_EQ(Ini(), "0,A,1 // edited in a text editor\r\n");
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_NE(messages.shown[0].find("a.ini"), std::string::npos);

    std::filesystem::remove(SetFolder() + "a.ini");  // removed meanwhile: nothing is recreated
    EXPECT_FALSE(doc->SaveSettings());
    EXPECT_FALSE(std::filesystem::exists(SetFolder() + "a.ini"));
}

TEST_F(SettingsTest, AFailedWriteKeepsTheOldContent)
{
    const std::string old = "0,A" + std::string(300, ' ') + ",1\r\n";
    OpenSet(old);
    doc->sections[0][0][F::radix] = "16";
    {
        FileSizeLimit limit(16);
        EXPECT_FALSE(doc->SaveSettings());
    }
    EXPECT_EQ(Ini(), old);
    ASSERT_EQ(messages.shown.size(), 1u);
    // Afterwards the write goes through.
    EXPECT_TRUE(doc->SaveSettings());
    EXPECT_EQ(Ini(), "0,A" + std::string(300, ' ') + ",,,,16,,,,\r\n");
}

TEST_F(SettingsTest, ChangedSettingsReadBackAsTheSameDefinitions)
{
    Profile("[Setting]\r\nmode=set\r\n[File Address Correction]\r\ndat=20\r\n");
    Def("items.idn", "00 A\r\n01 B\r\n");
    OpenSet("// monsters\r\n0,HP,2,10,,,1|3E7,,max\\n999\r\n2,Kind,1,10,2,0,,,,items.idn|FF None\r\n"
            "8,Boss,.0,10\r\n9,Lv,1,10,,16,.0F // low nibble\r\n");
    doc->sections[0][0][F::radix] = "10";
    doc->sections[0][1][F::width] = "2100";
    doc->sections[0][2][F::description] = "one\r\ntwo";
    doc->SaveSettings();
    const std::vector<Section> saved = doc->sections;
    OpenBytes(std::string(64, '\0'), "data.dat");
    ASSERT_EQ(doc->sections[0].size(), saved[0].size());
    for (std::size_t c = 0; c < saved[0].size(); ++c) {
        EXPECT_EQ(doc->sections[0][c], saved[0][c]) << c;
    }
    EXPECT_EQ(Ini().substr(0, 12), "// monsters\r");
}

TEST_F(SettingsTest, CompressedSectionsWriteTheirDecodedCountsAndKeepTheRecordLine)
{
    std::string file(0x100, '\0');
    file[0x10] = static_cast<char>(0x81);
    file[0x20] = static_cast<char>(0x80);  // pointer to 0x80
    const char block[] = {0x02, 0x00, static_cast<char>(0x80), 0x01};  // one record of one byte
    file.replace(0x80, 4, block, 4);
    Def("a.idn", "blk\r\nunused\r\n");
    Def("a.ini", "COMPRESS_INFO,1,m,10|20|1,40|\r\n0,T,1\r\n1,F,.2\r\n");
    OpenBytes(file, "data.bin");
    doc->SaveSettings();
    EXPECT_EQ(ReadFile(SetFolder() + "a.ini"), "COMPRESS_INFO,1,m,10|20|1,40|\r\n0,T,,,1,,,,,\r\n1,F,.2,,1,,,,,\r\n");
}

TEST_F(SettingsTest, TheViewsPendingChangesComeFirstAndTheCommandNeedsSections)
{
    EXPECT_FALSE(doc->CanSaveSettings());
    OpenSet("0,A,1\r\n");
    EXPECT_TRUE(doc->CanSaveSettings());
    doc->SaveSettings();
    EXPECT_EQ(view.widthSaves, 1);
    EXPECT_EQ(view.descriptionStores, 1);
    EXPECT_FALSE(doc->IsModified());
}

}  // namespace zok2::test

namespace zok2::test {

// Whatever the user typed, the written file reads back as the same definitions,
// or it is kept and named.
TEST_F(SettingsTest, WrittenLinesReadBackAsWritten)
{
    OpenSet("100,A,1\r\n101,B,1\r\n");
    doc->sections[0][0][F::description] = "C:\\new\r\nnext, line // not a comment";
    ASSERT_TRUE(doc->SaveSettings());
    EXPECT_EQ(Ini(), "100,A,,,,,,,C:\x81\x5Fnew\\nnext\x81\x43 line \x81\x5E\x81\x5E not a comment,\r\n101,B,,,,,,,,\r\n");
    OpenBytes(std::string(64, '\0'), "data.dat");
    ASSERT_EQ(doc->sections[0].size(), 2u);
    EXPECT_EQ(doc->sections[0][0][F::description], "C:\x81\x5Fnew\r\nnext\x81\x43 line \x81\x5E\x81\x5E not a comment");
    EXPECT_EQ(doc->sections[0][1][F::caption], "B");

    // A line the parser would read as two: the file stays as it was.
    const std::string before = Ini();
    doc->sections[0][0][F::description] = std::string(4990, 'd');
    EXPECT_FALSE(doc->SaveSettings());
    EXPECT_EQ(Ini(), before);
    ASSERT_FALSE(messages.shown.empty());
    EXPECT_EQ(messages.shown.back(), "設定ファイルの行が長すぎて正しく読み直せないため、上書きせずに残しました。\na.ini");
}

TEST_F(SettingsTest, AProtectedOrUnreadableColumnFileIsKeptAndNamed)
{
    OpenSet("100,A,1\r\n");
    doc->sections[0][0][F::radix] = "16";
    std::filesystem::permissions(SetFolder() + "a.ini", std::filesystem::perms::owner_read);
    EXPECT_FALSE(doc->SaveSettings());
    EXPECT_EQ(Ini(), "100,A,1\r\n");
    EXPECT_EQ(messages.shown.back(), "設定ファイルに書き込めないため、上書きせずに残しました。\na.ini (Permission denied)");

    // (Windows deletes no read-only file: the protection goes first.)
    std::filesystem::permissions(SetFolder() + "a.ini", std::filesystem::perms::owner_all);
    std::filesystem::remove(SetFolder() + "a.ini");
    std::filesystem::create_directory(SetFolder() + "a.ini");
    EXPECT_FALSE(doc->SaveSettings());
    EXPECT_EQ(messages.shown.back(), "設定ファイルを読み込めないため、上書きせずに残しました。\na.ini (Is a directory)");
}

}  // namespace zok2::test
