// A column line changed in a column file (every other byte kept), and a new
// table's files written, read back by the reader itself.
#include <gtest/gtest.h>

#include "definitions/ColumnParser.h"
#include "sets/SetWriting.h"
#include "support/TestFixture.h"

namespace zok2::test {

namespace {

using sets::ColumnChange;

const std::string kFile = "// head\r\n// fields\r\n0100,A,4,8\r\n0104,B,1,8 // note\r\n\r\n// tail\r\n0106,C,2,8\r\n";

Section Parse(const std::string& content, std::size_t labels, std::uint32_t correction = 0)
{
    DefinitionTables tables;
    tables.definitionNames = {"t"};
    tables.lists.resize(1);
    for (std::size_t i = 0; i < labels; ++i) tables.lists[0].push_back("r");
    tables.addressCorrection = correction;
    return ParseColumnFile(content, 0, tables);
}

}  // namespace

TEST(SetWriting, OneColumnLineChangesAndEveryOtherByteStays)
{
    EXPECT_EQ(sets::ChangeColumnLine(kFile, ColumnChange::Replace, 1, "0104,Kind,1,8"),
              "// head\r\n// fields\r\n0100,A,4,8\r\n0104,Kind,1,8\r\n\r\n// tail\r\n0106,C,2,8\r\n");
    EXPECT_EQ(sets::ChangeColumnLine(kFile, ColumnChange::InsertAfter, 0, "0104,New,1,8"),
              "// head\r\n// fields\r\n0100,A,4,8\r\n0104,New,1,8\r\n0104,B,1,8 // note\r\n\r\n// tail\r\n0106,C,2,8\r\n");
    EXPECT_EQ(sets::ChangeColumnLine(kFile, ColumnChange::InsertAfter, -1, "00FF,First,1,8"),
              "// head\r\n// fields\r\n00FF,First,1,8\r\n0100,A,4,8\r\n0104,B,1,8 // note\r\n\r\n// tail\r\n0106,C,2,8\r\n");
    EXPECT_EQ(sets::ChangeColumnLine(kFile, ColumnChange::Remove, 2, ""), "// head\r\n// fields\r\n0100,A,4,8\r\n0104,B,1,8 // note\r\n\r\n// tail\r\n");
    EXPECT_FALSE(sets::ChangeColumnLine(kFile, ColumnChange::Replace, 3, "x,y"));
    EXPECT_FALSE(sets::ChangeColumnLine(kFile, ColumnChange::Remove, -1, ""));
    // The file's own line ends, and a last line without one.
    EXPECT_EQ(sets::ChangeColumnLine("0,A,1\n1,B,1\n", ColumnChange::InsertAfter, 0, "2,C,1"), "0,A,1\n2,C,1\n1,B,1\n");
    EXPECT_EQ(sets::ChangeColumnLine("0,A,1", ColumnChange::InsertAfter, 0, "1,B,1"), "0,A,1\r\n1,B,1");
    EXPECT_EQ(sets::ChangeColumnLine("0,A,1", ColumnChange::Replace, 0, "0,Z,1"), "0,Z,1");
    // COMPRESS_INFO and dropped lines are no columns: the count is the reader's.
    EXPECT_EQ(sets::ChangeColumnLine("COMPRESS_INFO,1,x,0|0|1,0\r\n,bad,1\r\n0,A,1\r\n", ColumnChange::Replace, 0, "0,B,1"),
              "COMPRESS_INFO,1,x,0|0|1,0\r\n,bad,1\r\n0,B,1\r\n");
    // Empty: the first column of a file that had none.
    EXPECT_EQ(sets::ChangeColumnLine("// only a comment\r\n", ColumnChange::InsertAfter, -1, "0,A,1"), "// only a comment\r\n0,A,1\r\n");
    const Section read = Parse(*sets::ChangeColumnLine(kFile, ColumnChange::Replace, 1, "0104,Kind,1,8"), 4);
    ASSERT_EQ(read.size(), 3u);
    EXPECT_EQ(read[1][ColumnField::caption], "Kind");
    EXPECT_EQ(read[1][ColumnField::comment], "");
    EXPECT_EQ(read[0][ColumnField::caption], "A");
}

TEST(SetWriting, ANewTablesFilesReadBackAsTheTableAsked)
{
    sets::NewTable table;
    table.name = "monsters2";
    table.address = 0x500;
    table.recordSize = 0x10;
    table.records = 3;
    table.caption = "HP";
    table.size = 2;
    table.radix = 10;
    sets::TableFiles files = sets::MakeTableFiles(table, 0x200);
    EXPECT_EQ(files.rowNames, "00\r\n01\r\n02\r\n");
    EXPECT_EQ(files.columns, "300,HP,2,10,,10,,,,\r\n");
    const Section read = Parse(files.columns, 3, 0x200);
    ASSERT_EQ(read.size(), 1u);
    EXPECT_EQ(read[0][ColumnField::address], "500");
    EXPECT_EQ(read[0][ColumnField::size], "2");
    EXPECT_EQ(read[0][ColumnField::stride], "10");
    EXPECT_EQ(read[0][ColumnField::rowCount], "3");
    EXPECT_EQ(read[0][ColumnField::radix], "10");
    // Labels as given; numbers as wide as the last one needs.
    table.labels = {"\x83\x58\x83\x89\x83\x43\x83\x80", "b"};
    EXPECT_EQ(sets::MakeTableFiles(table, 0).rowNames, "\x83\x58\x83\x89\x83\x43\x83\x80\r\nb\r\n");
    table.labels.clear();
    table.records = 300;
    files = sets::MakeTableFiles(table, 0);
    EXPECT_EQ(files.rowNames.substr(0, 10), "000\r\n001\r\n");
    EXPECT_EQ(files.rowNames.substr(files.rowNames.size() - 5), "12B\r\n");
    table.size = 1;
    table.recordSize = 1;
    table.radix = -10;
    EXPECT_EQ(sets::MakeTableFiles(table, 0).columns, "500,HP,,,,,,,,\r\n");
}

TEST(SetWriting, ANewTableNeverTakesTheNameOfOneThere)
{
    TempDir temp;
    const std::string folder = temp.Path();
    WriteFile(folder + "items.idn", "00\r\n");
    WriteFile(folder + "items.ini", "0,A,1\r\n");
    sets::NewTable table;
    table.records = 2;
    table.caption = "X";
    std::string reason;
    for (const char* name : {"ITEMS", "items", "", "a/b", "a:b"}) {
        table.name = name;
        EXPECT_FALSE(sets::WriteNewTable(folder, table, 0, &reason)) << name;
        EXPECT_FALSE(reason.empty()) << name;
    }
    EXPECT_EQ(ReadFile(folder + "items.ini"), "0,A,1\r\n");
    table.name = "stats";
    table.caption.clear();
    EXPECT_FALSE(sets::WriteNewTable(folder, table, 0, &reason));
    table.caption = "X";
    ASSERT_TRUE(sets::WriteNewTable(folder, table, 0, &reason)) << reason;
    EXPECT_EQ(ReadFile(folder + "stats.idn"), "00\r\n01\r\n");
    EXPECT_EQ(ReadFile(folder + "stats.ini"), "0,X,,,,16,,,,\r\n");
}

}  // namespace zok2::test
