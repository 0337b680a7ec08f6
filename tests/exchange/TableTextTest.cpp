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
    EXPECT_EQ(reason, "a quoted CSV field has no closing quote");
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
}

}  // namespace zok2::test
