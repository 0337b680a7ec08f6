#include <filesystem>

#include "support/TestFixture.h"

namespace zok2::test {

namespace {
using F = ColumnField;

class ColumnParserTest : public DocTest {
protected:
    // Opens a set of one section "a" with `labels` rows and the column file `ini`.
    void OpenSet(const std::string& ini, int labels = 3, const std::string& binaryName = "data.bin")
    {
        std::string idn;
        for (int i = 0; i < labels; ++i) idn += "row" + std::to_string(i) + "\r\n";
        Def("a.idn", idn);
        Def("a.ini", ini);
        OpenBytes(std::string(64, '\0'), binaryName);
    }
    ColumnDefinition ParseLine(const std::string& line, int labels = 3)
    {
        OpenSet(line + "\r\n", labels);
        EXPECT_EQ(doc->sections.at(0).size(), 1u) << line;
        return doc->sections.at(0).empty() ? ColumnDefinition{} : doc->sections[0][0];
    }
};
}  // namespace

TEST_F(ColumnParserTest, DefaultsFillEveryFieldOfAShortLine)
{
    ColumnDefinition d = ParseLine("0x1A0,Name,2");
    EXPECT_EQ(d[F::address], "1A0");
    EXPECT_EQ(d[F::caption], "Name");
    EXPECT_EQ(d[F::size], "2");
    EXPECT_EQ(d[F::stride], "2");
    EXPECT_EQ(d[F::rowCount], "3");
    EXPECT_EQ(d[F::radix], "-10");
    EXPECT_EQ(d[F::limit], "");
    EXPECT_EQ(d[F::width], "0");
    EXPECT_EQ(d[F::description], "");
    EXPECT_EQ(d[F::listIndex], "");
    EXPECT_EQ(d[F::comment], "");

    d = ParseLine("100,Name");
    EXPECT_EQ(d[F::size], "1");
    EXPECT_EQ(d[F::stride], "1");
    EXPECT_EQ(d[F::radix], "-10");
}

TEST_F(ColumnParserTest, AddressCorrectionComesFromTheProfileByExtension)
{
    Profile("[Setting]\r\nmode=set\r\n[File Address Correction]\r\nbin=10\r\n");
    EXPECT_EQ(ParseLine("100,A,1")[F::address], "110");
    EXPECT_EQ(doc->addressCorrection, 0x10u);
    EXPECT_EQ(ParseLine("FFFFFFFF,A,1")[F::address], "F");  // wraps in 32 bits
    Profile("[Setting]\r\nmode=set\r\n[File Address Correction]\r\nbin=1\r\n");
    EXPECT_EQ(ParseLine("FFFFFFFF,A,1")[F::address], "0");

    // Another extension has no correction; so has a name without extension.
    OpenSet("100,A,1\r\n", 3, "data.dat");
    EXPECT_EQ(Column(0, 0)[F::address], "100");
    OpenSet("100,A,1\r\n", 3, "data");
    EXPECT_EQ(doc->addressCorrection, 0u);
}

TEST_F(ColumnParserTest, SizeAndStrideRules)
{
    ColumnDefinition d = ParseLine("100,Flags,.3,.8");
    EXPECT_EQ(d[F::size], ".3");
    EXPECT_EQ(d[F::stride], ".8");
    EXPECT_EQ(d[F::limit], "");
    d = ParseLine("100,Flags,.9");
    EXPECT_EQ(d[F::size], ".7");
    EXPECT_EQ(d[F::stride], "1");
    EXPECT_EQ(ParseLine("100,Flags,.-2")[F::size], ".0");
    EXPECT_EQ(ParseLine("100,V,2,.5")[F::stride], "2");
    EXPECT_EQ(ParseLine("100,V,6")[F::size], "4");
    EXPECT_EQ(ParseLine("100,V,0")[F::size], "1");
    EXPECT_EQ(ParseLine("100,V,-3")[F::size], "1");
    EXPECT_EQ(ParseLine("100,V,1,a")[F::stride], "A");
    EXPECT_EQ(ParseLine("100,V,.2,1c")[F::stride], "1C");
}

TEST_F(ColumnParserTest, LimitRules)
{
    EXPECT_EQ(ParseLine("100,V,1,,,,.FF")[F::limit], ".FF");
    EXPECT_EQ(ParseLine("100,V,1,,,,.1FF")[F::limit], "");
    EXPECT_EQ(ParseLine("100,V,2,,,,.1FFF")[F::limit], ".1FFF");
    EXPECT_EQ(ParseLine("100,V,2,,,,10|20")[F::limit], "10|20");
    EXPECT_EQ(ParseLine("100,V,2,,,,20")[F::limit], "");
    EXPECT_EQ(ParseLine("100,V,.1,,,,10|20")[F::limit], "");
}

TEST_F(ColumnParserTest, RowCountRadixWidthRules)
{
    EXPECT_EQ(ParseLine("100,V,1,,2")[F::rowCount], "2");
    EXPECT_EQ(ParseLine("100,V,1,,0")[F::rowCount], "3");
    EXPECT_EQ(ParseLine("100,V,1,,-1")[F::rowCount], "3");
    EXPECT_EQ(ParseLine("100,V,1,,4")[F::rowCount], "3");
    Def("b.idn", "");  // a later section may have no rows at all
    Def("b.ini", "100,V,1,,5\r\n");
    OpenSet("100,V,1\r\n");
    EXPECT_EQ(Column(1, 0)[F::rowCount], "0");
    std::filesystem::remove(SetFolder() + "b.idn");
    EXPECT_EQ(ParseLine("100,V,1,,,8")[F::radix], "-10");
    EXPECT_EQ(ParseLine("100,V,1,,,16")[F::radix], "16");
    EXPECT_EQ(ParseLine("100,V,1,,,10")[F::radix], "10");
    EXPECT_EQ(ParseLine("100,V,1,,,0")[F::radix], "-10");  // no list: no list mode
    EXPECT_EQ(ParseLine("100,V,1,,,0,,,,0 A|1 B")[F::radix], "0");
    EXPECT_EQ(ParseLine("100,V,1,,,,,50000")[F::width], "0");
    EXPECT_EQ(ParseLine("100,V,1,,,,,49999")[F::width], "49999");
    EXPECT_EQ(ParseLine("100,V,1,,,,,-5")[F::width], "0");
}

TEST_F(ColumnParserTest, DescriptionsCommentsAndExtraFields)
{
    EXPECT_EQ(ParseLine("100,V,1,,,,,,a\\nb")[F::description], "a\r\nb");
    ColumnDefinition d = ParseLine("100,Name // note");
    EXPECT_EQ(d[F::caption], "Name ");
    EXPECT_EQ(d[F::comment], "// note");
    d = ParseLine("100,V,1,,,,,,see http://x");
    EXPECT_EQ(d[F::description], "see http:");
    EXPECT_EQ(d[F::comment], "//x");
    d = ParseLine("100,N,1,1,1,10,,,d,,extra");
    EXPECT_EQ(d[F::description], "d");
    EXPECT_EQ(d[F::listIndex], "");
    // Trail bytes are never separators: "ソ" is 83 5C ("\\"), "ポ" is 83 7C ("|").
    d = ParseLine("100,\x83\x7C\x83\x5C,1,,,,,,\x83\x5Cn");
    EXPECT_EQ(d[F::caption], "\x83\x7C\x83\x5C");
    EXPECT_EQ(d[F::description], "\x83\x5Cn");
    d = ParseLine("100,V,1,,,0,,,,1 \x83\x7C|2 B");
    EXPECT_EQ(doc->lists.at(1), (StringList{"1 \x83\x7C", "2 B"}));
}

TEST_F(ColumnParserTest, LinesThatAreIgnoredOrDropped)
{
    OpenSet("// only a comment\r\n"
            ",Name,1\r\n"
            "100,,1\r\n"
            "no comma here\r\n"
            "\r\n"
            "200,Kept,1\r\n");
    ASSERT_EQ(doc->sections[0].size(), 1u);
    EXPECT_EQ(Column(0, 0)[F::address], "200");
}

TEST_F(ColumnParserTest, InlineValueListsAppendAListAndAnEmptyName)
{
    Def("b.idn", "x\r\n");
    Def("b.ini", "10,B,1,,,0,,,,7 Seven\r\n");
    OpenSet("100,V,1,,,0,,,,0 Off|1 On|bad||other.idn\r\n");
    // a, b, then one empty name per inline list (in parse order).
    ASSERT_EQ(doc->definitionNames.size(), 4u);
    EXPECT_EQ(doc->definitionNames[2], "");
    EXPECT_EQ(doc->definitionNames[3], "");
    EXPECT_EQ(Column(0, 0)[F::listIndex], "2");
    EXPECT_EQ(doc->lists[2], (StringList{"0 Off", "1 On", "other.idn"}));
    EXPECT_EQ(Column(1, 0)[F::listIndex], "3");
    EXPECT_EQ(doc->lists[3], (StringList{"7 Seven"}));
    EXPECT_EQ(doc->sections.size(), 4u);
    EXPECT_TRUE(doc->sections[2].empty());
    EXPECT_EQ(doc->values.size(), 4u);
    EXPECT_EQ(doc->values[2].Rows(), 3u);  // one empty row per item
}

TEST_F(ColumnParserTest, LongInlineItemsAreKeptWhole)
{
    const std::string item = "1 " + std::string(150, 'x');
    EXPECT_EQ(ParseLine("100,V,1,,,0,,,,0 A|" + item)[F::listIndex], "1");
    EXPECT_EQ(doc->lists.at(1)[1], item);
}

TEST_F(ColumnParserTest, CompressInfoRecords)
{
    OpenSet("COMPRESS_INFO,1,x,2|3|4,5|6\r\n100,V,1\r\nCOMPRESS_INFO,9,y,1|2|3,4\r\n");
    ASSERT_EQ(doc->compressionRecords.size(), 2u);
    EXPECT_EQ(doc->compressionRecords[0][0], "1");
    EXPECT_EQ(doc->compressionRecords[0][1], "x");
    EXPECT_EQ(doc->compressionRecords[0][2], "2|3|4");
    EXPECT_EQ(doc->compressionRecords[0][3], "5|6");
    EXPECT_EQ(doc->compressionMap.at(0), 0);  // the first record applies
    EXPECT_EQ(doc->sections[0].size(), 1u);

    OpenSet("COMPRESS_INFO,1,,2\r\nCOMPRESS_INFO,\r\nCOMPRESS_INFO\r\n100,V,1\r\n");
    EXPECT_TRUE(doc->compressionRecords.empty());
    EXPECT_TRUE(doc->compressionMap.empty());

    OpenSet("COMPRESS_INFO,1,a,\r\n100,V,1\r\n");  // a trailing comma adds nothing
    ASSERT_EQ(doc->compressionRecords.size(), 1u);
    EXPECT_EQ(doc->compressionRecords[0], (StringList{"1", "a"}));
}

TEST_F(ColumnParserTest, OverlongLinesContinueAsLinesOfTheirOwn)
{
    // 4999 bytes end the first piece inside the description; the rest is a line of its own.
    std::string line = "100,V,1,,,,,," + std::string(4999 - 13, 'd') + "200,Next,2";
    OpenSet(line + "\r\n");
    ASSERT_EQ(doc->sections[0].size(), 2u);
    EXPECT_EQ(Column(0, 0)[F::description].size(), 4999u - 13u);
    EXPECT_EQ(Column(0, 1)[F::address], "200");
    EXPECT_EQ(Column(0, 1)[F::size], "2");
}

TEST_F(ColumnParserTest, GetFieldNumberReadsFieldsByTheirBase)
{
    OpenSet("1A0,V,.3,.5,2,16,,300,,\r\n110,W,2,10\r\n");
    EXPECT_EQ(doc->GetFieldNumber(1, 0, 0), 0x1A0);
    EXPECT_EQ(doc->GetFieldNumber(4, 0, 0), 0);     // a bit stride reads as hexadecimal 0
    EXPECT_EQ(doc->GetFieldNumber(4, 0, 1), 0x10);
    EXPECT_EQ(doc->GetFieldNumber(5, 0, 0), 2);
    EXPECT_EQ(doc->GetFieldNumber(6, 0, 0), 16);
    EXPECT_EQ(doc->GetFieldNumber(8, 0, 0), 300);
    EXPECT_EQ(doc->GetFieldNumber(2, 0, 0), 0);
    EXPECT_EQ(doc->GetFieldNumber(3, 0, 1), 0);
}

}  // namespace zok2::test
