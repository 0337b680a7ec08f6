// The column-file grammar, parsed from text (no disk): field rules, inline value
// lists, COMPRESS_INFO records, ignored lines and over-long lines.
#include <gtest/gtest.h>

#include "definitions/ColumnParser.h"
#include "definitions/DefinitionText.h"
#include "support/TestFixture.h"

namespace zok2::test {

namespace {
using F = ColumnField;

// Section 0 with three row labels, as the open has them before the column files.
DefinitionTables ThreeRows(std::uint32_t correction = 0)
{
    DefinitionTables tables;
    tables.definitionNames = {"a"};
    tables.lists = {TextList{"row0", "row1", "row2"}};
    tables.addressCorrection = correction;
    return tables;
}

Section Parse(const std::string& content, DefinitionTables& tables) { return ParseColumnFile(content, 0, tables); }

ColumnDefinition ParseOne(const std::string& line, std::uint32_t correction = 0)
{
    DefinitionTables tables = ThreeRows(correction);
    const Section section = Parse(line, tables);
    EXPECT_EQ(section.size(), 1u) << line;
    return section.empty() ? ColumnDefinition{} : section[0];
}

}  // namespace

TEST(ColumnParser, FieldRules)
{
    struct Case {
        const char* line;
        ColumnField field;
        const char* expected;
    };
    const Case cases[] = {
        // Defaults of a short line.
        {"0x1A0,Name,2", F::address, "1A0"}, {"0x1A0,Name,2", F::size, "2"}, {"0x1A0,Name,2", F::stride, "2"},
        {"0x1A0,Name,2", F::rowCount, "3"}, {"0x1A0,Name,2", F::radix, "-10"}, {"0x1A0,Name,2", F::limit, ""},
        {"0x1A0,Name,2", F::width, "0"}, {"0x1A0,Name,2", F::listIndex, ""}, {"100,Name", F::size, "1"},
        {"100,Name", F::stride, "1"},
        // Sizes and strides.
        {"100,Flags,.3,.8", F::stride, ".8"}, {"100,Flags,.3,.8", F::limit, ""}, {"100,Flags,.9", F::size, ".7"},
        {"100,Flags,.9", F::stride, "1"}, {"100,Flags,.-2", F::size, ".0"}, {"100,V,2,.5", F::stride, "2"},
        {"100,V,6", F::size, "4"}, {"100,V,0", F::size, "1"}, {"100,V,-3", F::size, "1"}, {"100,V,1,a", F::stride, "A"},
        {"100,V,.2,1c", F::stride, "1C"},
        // Limits.
        {"100,V,1,,,,.FF", F::limit, ".FF"}, {"100,V,1,,,,.1FF", F::limit, ""}, {"100,V,2,,,,.1FFF", F::limit, ".1FFF"},
        {"100,V,2,,,,10|20", F::limit, "10|20"}, {"100,V,2,,,,20", F::limit, ""}, {"100,V,.1,,,,10|20", F::limit, ""},
        // Row counts, radixes, widths.
        {"100,V,1,,2", F::rowCount, "2"}, {"100,V,1,,0", F::rowCount, "3"}, {"100,V,1,,-1", F::rowCount, "3"},
        {"100,V,1,,4", F::rowCount, "3"}, {"100,V,1,,,8", F::radix, "-10"}, {"100,V,1,,,16", F::radix, "16"},
        {"100,V,1,,,10", F::radix, "10"}, {"100,V,1,,,0", F::radix, "-10"}, {"100,V,1,,,0,,,,0 A|1 B", F::radix, "0"},
        {"100,V,1,,,,,50000", F::width, "0"}, {"100,V,1,,,,,49999", F::width, "49999"}, {"100,V,1,,,,,-5", F::width, "0"},
        // Descriptions, comments, extra fields; trail bytes ("ソ" 83 5C, "ポ" 83 7C) are never separators.
        {"100,V,1,,,,,,a\\nb", F::description, "a\r\nb"}, {"100,Name // note", F::caption, "Name "},
        {"100,Name // note", F::comment, "// note"}, {"100,V,1,,,,,,see http://x", F::description, "see http:"},
        {"100,V,1,,,,,,see http://x", F::comment, "//x"}, {"100,N,1,1,1,10,,,d,,extra", F::description, "d"},
        {"100,N,1,1,1,10,,,d,,extra", F::listIndex, ""}, {"100,\x83\x7C\x83\x5C,1,,,,,,\x83\x5Cn", F::caption, "\x83\x7C\x83\x5C"},
        {"100,\x83\x7C\x83\x5C,1,,,,,,\x83\x5Cn", F::description, "\x83\x5Cn"},
    };
    for (const Case& c : cases) EXPECT_EQ(ParseOne(c.line)[c.field], c.expected) << c.line;

    // The address correction is added in 32 bits.
    EXPECT_EQ(ParseOne("100,A,1", 0x10)[F::address], "110");
    EXPECT_EQ(ParseOne("FFFFFFFF,A,1", 0x10)[F::address], "F");
    EXPECT_EQ(ParseOne("FFFFFFFF,A,1", 1)[F::address], "0");
    // A section without row labels gets row count 0.
    DefinitionTables empty;
    empty.definitionNames = {"b"};
    empty.lists = {TextList{}};
    EXPECT_EQ(ParseColumnFile("100,V,1,,5\r\n", 0, empty).at(0)[F::rowCount], "0");
}

TEST(ColumnParser, IgnoredDroppedAndOverlongLines)
{
    DefinitionTables tables = ThreeRows();
    Section section = Parse("// only a comment\r\n,Name,1\r\n100,,1\r\nno comma here\r\n\r\n200,Kept,1\r\n", tables);
    ASSERT_EQ(section.size(), 1u);
    EXPECT_EQ(section[0][F::address], "200");

    // 4999 bytes end the first piece inside the description; the rest is a line of its own.
    const std::string line = "100,V,1,,,,,," + std::string(4999 - 13, 'd') + "200,Next,2";
    section = Parse(line + "\r\n", tables);
    ASSERT_EQ(section.size(), 2u);
    EXPECT_EQ(section[0][F::description].size(), 4999u - 13u);
    EXPECT_EQ(section[1][F::address], "200");
    EXPECT_EQ(section[1][F::size], "2");
}

TEST(ColumnParser, InlineValueListsAppendAListAndAnEmptyName)
{
    DefinitionTables tables = ThreeRows();
    const std::string longItem = "2 " + std::string(150, 'x');
    const Section section = Parse("100,V,1,,,0,,,,0 Off|1 On|bad||other.idn\r\n101,W,1,,,0,,,,1 \x83\x7C|" + longItem + "\r\n", tables);
    ASSERT_EQ(section.size(), 2u);
    EXPECT_EQ(section[0][F::listIndex], "1");
    EXPECT_EQ(section[1][F::listIndex], "2");
    EXPECT_EQ(tables.definitionNames, (StringList{"a", "", ""}));
    EXPECT_EQ(tables.lists[1], (StringList{"0 Off", "1 On", "other.idn"}));
    EXPECT_EQ(tables.lists[2], (StringList{"1 \x83\x7C", longItem}));  // long items kept whole
}

TEST(ColumnParser, CompressInfoRecords)
{
    DefinitionTables tables = ThreeRows();
    Section section = Parse("COMPRESS_INFO,1,x,2|3|4,5|6\r\n100,V,1\r\nCOMPRESS_INFO,9,y,1|2|3,4\r\n", tables);
    EXPECT_EQ(section.size(), 1u);
    ASSERT_EQ(tables.compressionRecords.size(), 2u);
    EXPECT_EQ(tables.compressionRecords[0], (StringList{"1", "x", "2|3|4", "5|6"}));
    EXPECT_EQ(tables.compressionMap.at(0), 0);  // the first record applies

    tables = ThreeRows();
    Parse("COMPRESS_INFO,1,,2\r\nCOMPRESS_INFO,\r\nCOMPRESS_INFO\r\n100,V,1\r\n", tables);
    EXPECT_TRUE(tables.compressionRecords.empty());
    EXPECT_TRUE(tables.compressionMap.empty());

    Parse("COMPRESS_INFO,1,a,\r\n", tables);  // a trailing comma adds nothing
    ASSERT_EQ(tables.compressionRecords.size(), 1u);
    EXPECT_EQ(tables.compressionRecords[0], (StringList{"1", "a"}));
}

TEST(ColumnParser, GetFieldNumberReadsFieldsByTheirBase)
{
    DefinitionTables tables = ThreeRows();
    tables.sections.push_back(Parse("1A0,V,.3,.5,2,16,,300,,\r\n110,W,2,10\r\n", tables));
    EXPECT_EQ(tables.GetFieldNumber(1, 0, 0), 0x1A0);
    EXPECT_EQ(tables.GetFieldNumber(4, 0, 0), 0);  // a bit stride reads as hexadecimal 0
    EXPECT_EQ(tables.GetFieldNumber(4, 0, 1), 0x10);
    EXPECT_EQ(tables.GetFieldNumber(5, 0, 0), 2);
    EXPECT_EQ(tables.GetFieldNumber(6, 0, 0), 16);
    EXPECT_EQ(tables.GetFieldNumber(8, 0, 0), 300);
    EXPECT_EQ(tables.GetFieldNumber(2, 0, 0), 0);
    EXPECT_EQ(tables.GetFieldNumber(3, 0, 1), 0);
    EXPECT_EQ(tables.GetFieldNumber(1, 0, 9), 0);  // no such column
}

// Through the open: the correction comes from the profile by the file's extension.
TEST_F(DocTest, TheAddressCorrectionIsTheProfilesForTheExtension)
{
    Profile("[Setting]\r\nmode=set\r\n[File Address Correction]\r\nbin=10\r\n");
    Def("a.idn", "r\r\n");
    Def("a.ini", "100,A,1\r\n");
    const std::pair<const char*, const char*> cases[] = {{"data.bin", "110"}, {"data.dat", "100"}, {"data", "100"}};
    for (auto [name, address] : cases) {
        OpenBytes(std::string(4, '\0'), name);
        EXPECT_EQ(Column(0, 0)[F::address], address) << name;
    }
}

}  // namespace zok2::test

namespace zok2::test {

TEST(RowNameFile, OneLabelPerLinePieceWithoutItsComment)
{
    const std::string x498(498, 'x'), x499(499, 'x');
    const std::pair<std::string, StringList> cases[] = {
        {"", {}},
        {"a\r\nb", {"a", "b"}},
        {"a\r\n", {"a"}},
        {"\r\n\r\n", {"", ""}},
        {"a\rb\nc\r\r\n", {"a\rb", "c\r"}},
        {"01 Fire // boss\r\nplain", {"01 Fire ", "plain"}},
        {x498 + "\r\n", {x498}},
        {x499 + "\n", {x499, ""}},  // the piece is full: the line feed ends an empty one
        {x499 + "y", {x499, "y"}},
    };
    for (const auto& [content, labels] : cases) EXPECT_EQ(RowLabelsOf(content), labels) << content.substr(0, 20);
}

}  // namespace zok2::test
