// Tables as text: TSV, CSV (RFC 4180) and JSON written and read back, and the
// forms other programs write read as they mean them.
#include <gtest/gtest.h>

#include "exchange/TableText.h"

namespace zok2::test {

namespace {
using exchange::Rows;
const Rows kRows = {{"", "name", "note"}, {"a", "1", "x, \"quoted\""}, {"b", "", "two\r\nlines"}, {"c", "\t", "\\ and \x01"}};
}  // namespace

TEST(TableText, CsvQuotesOnlyWhatNeedsItAndReadsItBack)
{
    const std::string csv = exchange::WriteCsv(kRows);
    EXPECT_EQ(csv, "\xEF\xBB\xBF,name,note\r\na,1,\"x, \"\"quoted\"\"\"\r\nb,,\"two\r\nlines\"\r\nc,\t,\\ and \x01\r\n");
    Rows back;
    std::string reason;
    ASSERT_TRUE(exchange::ReadCsv(csv, &back, &reason)) << reason;
    EXPECT_EQ(back, kRows);
    // As spreadsheets write it: LF line ends, no final line break, no mark.
    ASSERT_TRUE(exchange::ReadCsv(",x\na,\"1\"\"2\"", &back, &reason));
    EXPECT_EQ(back, (Rows{{"", "x"}, {"a", "1\"2"}}));
    EXPECT_FALSE(exchange::ReadCsv("a,\"open", &back, &reason));
    EXPECT_EQ(reason, "line 1: a quoted CSV field has no closing quote");
}

TEST(TableText, JsonRowsKeyedByCaptionAndReadBack)
{
    const std::string json = exchange::WriteJson(kRows);
    EXPECT_EQ(json.substr(0, 60), "[\n  {\"\": \"a\", \"name\": \"1\", \"note\": \"x, \\\"quoted\\\"\"},\n  {\"\": ");
    EXPECT_NE(json.find("\"\\\\ and \\u0001\""), std::string::npos);
    Rows back;
    std::string reason;
    ASSERT_TRUE(exchange::ReadJson(json, &back, &reason)) << reason;
    EXPECT_EQ(back, kRows);
    // Escapes other writers use: \u forms, surrogate pairs, "/".
    ASSERT_TRUE(exchange::ReadJson("[{\"\": \"\\u85ac\", \"k\": \"\\ud83d\\ude00\\/\"}]", &back, &reason)) << reason;
    EXPECT_EQ(back, (Rows{{"", "k"}, {"\xE8\x96\xAC", "\xF0\x9F\x98\x80/"}}));
    for (const char* bad : {"{}", "[{\"a\": 1}]", "[{\"a\": \"x\"}, {\"b\": \"y\"}]", "[{\"a\": \"x\"}", "[] x", "[{\"a\": \"\\ud83d\"}]"}) {
        EXPECT_FALSE(exchange::ReadJson(bad, &back, &reason)) << bad;
    }
}

TEST(TableText, TsvOneLineARow)
{
    const Rows plain = {{"", "a", "b"}, {"r", "1", ""}};
    EXPECT_EQ(exchange::WriteTsv(plain), "\ta\tb\nr\t1\t\n");
    Rows back;
    std::string reason;
    ASSERT_TRUE(exchange::ReadTsv("\xEF\xBB\xBF\ta\tb\r\nr\t1\t\r\n", &back, &reason));
    EXPECT_EQ(back, plain);
    // Only a line's closing CR goes; a CR inside a line stays, a last line needs no
    // line end, an empty line is a row of one empty cell, a mark alone is no row.
    ASSERT_TRUE(exchange::ReadTsv("a\r\tb\r\n\nc", &back, &reason));
    EXPECT_EQ(back, (Rows{{"a\r", "b"}, {""}, {"c"}}));
    ASSERT_TRUE(exchange::ReadTsv("\xEF\xBB\xBF", &back, &reason));
    EXPECT_TRUE(back.empty());
    ASSERT_TRUE(exchange::ReadTsv("", &back, &reason));
    EXPECT_TRUE(back.empty());
}

TEST(TableText, LongTsvLinesReadCellForCell)
{
    // Lines of every length around the sixteen bytes read at a time, cells of
    // 0 to 20 bytes: every cell comes back where it was written.
    Rows rows;
    for (int r = 0; r < 40; ++r) {
        rows.StartRow();
        for (int c = 0; c <= r % 7; ++c) rows.AddCell(std::string(static_cast<std::size_t>((r * 7 + c * 3) % 21), static_cast<char>('a' + c)));
    }
    Rows back;
    std::string reason;
    ASSERT_TRUE(exchange::ReadTsv(exchange::WriteTsv(rows), &back, &reason));
    EXPECT_EQ(back, rows);
    ASSERT_EQ(back.size(), 40u);
    EXPECT_EQ(back[39].size(), 5u);
    EXPECT_EQ(back[39][4], std::string(((39 * 7 + 12) % 21), 'e'));
    // Converting cells leaves ASCII alone and converts each other cell by itself.
    const Rows mixed{{"", "x"}, {"r", "\xE8\x96\xAC"}};
    const Rows converted = exchange::ConvertCells(mixed, [](const std::string& cell) { return "<" + cell + ">"; });
    EXPECT_EQ(converted, (Rows{{"", "x"}, {"r", "<\xE8\x96\xAC>"}}));
}

}  // namespace zok2::test
