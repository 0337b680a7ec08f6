// A table's text coming back from a spreadsheet: rows matched by their labels,
// every changed text checked against its column, all or nothing.
#include "exchange/TableImport.h"
#include "exchange/TableText.h"
#include "support/TestFixture.h"

namespace zok2::test {

namespace {

using exchange::ImportProblem;
using exchange::ImportRefusal;
using exchange::Rows;
using exchange::TableImport;

// Shift-JIS texts of the set.
const std::string kSword = "\x8C\x95", kShield = "\x8F\x82", kHerb = "\x96\xF2", kSpare = "\x97\x5C\x94\xF5";
const std::string kWeapon = "\x95\x90\x8A\xED", kArmour = "\x96\x68\x8B\xEF", kTool = "\x93\xB9\x8B\xEF";
const std::string kFullWidth15 = "\x82\x50\x82\x54";

std::string Same(const std::string& text) { return text; }

class ImportTest : public DocTest {
protected:
    // Four rows of eight bytes: a price (2 bytes, 1 to 999), a kind (a list), a
    // hexadecimal byte, a signed byte, a bit, a masked nibble and a column of two rows.
    void SetUp() override
    {
        DocTest::SetUp();
        Def("t.idn", kSword + "\r\n" + kShield + "\r\n" + kHerb + "\r\n" + kSpare + "\r\n");
        Def("t.ini", "0,Price,2,8,,10,1|3E7\r\n2,Kind,1,8,,0,,,,1 " + kWeapon + "|2 " + kArmour + "|3 " + kTool +
                         "\r\n3,Hex,1,8,,16\r\n4,Sgn,1,8,,-10\r\n5,Flag,.0,8\r\n6,Low,1,8,,16,.0F\r\n7,Rare,1,8,2,10\r\n");
        original = Bytes({100, 0, 1, 0x10, 0xFF, 1, 5, 7,  //
                          200, 0, 2, 0x20, 5, 0, 0x0A, 8,   //
                          0, 0, 3, 0x30, 0x80, 0, 3, 0,     // a price of 0 lies outside its range
                          50, 0, 1, 0, 0, 0, 0, 0});
        OpenBytes(original);
    }
    std::string Tsv() { return exchange::WriteTsv(exchange::ExportRows(*doc, 0)); }
    TableImport Import(const std::string& tsv)
    {
        Rows rows;
        std::string reason;
        if (!exchange::ReadTsv(tsv, &rows, &reason)) AbortTest(reason);
        return exchange::ImportRows(*doc, 0, rows);
    }
    // The values as the document holds them, row by row.
    std::string Values()
    {
        std::string bytes;
        for (int r = 0; r < 4; ++r) {
            for (int c = 0; c < 7; ++c) bytes += static_cast<char>(doc->HasData(0, c, r) ? doc->Value(0, c, r) & 0xFF : 0xEE);
        }
        return bytes;
    }
    // The line of the export that starts with `label`.
    static std::string LineOf(const std::string& tsv, const std::string& label)
    {
        const std::size_t at = tsv.find("\n" + label + "\t") + 1;
        return tsv.substr(at, tsv.find('\n', at) + 1 - at);
    }

    std::string original;
};

}  // namespace

TEST_F(ImportTest, TheExportReadsAsTheDocumentShowsIt)
{
    EXPECT_EQ(Tsv(), "\tPrice\tKind\tHex\tSgn\tFlag\tLow\tRare\n" + kSword + "\t100\t0X01\t0X10\t-1\t1\t0X05\t7\n" + kShield +
                         "\t200\t0X02\t0X20\t5\t0\t0X0A\t8\n" + kHerb + "\t0\t0X03\t0X30\t-128\t0\t0X03\t\n" + kSpare +
                         "\t50\t0X01\t0X00\t0\t0\t0X00\t\n");
}

TEST_F(ImportTest, SortedOrShortenedRowsAreMatchedByTheirLabels)
{
    const std::string tsv = Tsv();
    const std::string caption = tsv.substr(0, tsv.find('\n') + 1);
    // Sorted the other way round in a spreadsheet, one price changed: only that price moves.
    std::string sorted = caption + LineOf(tsv, kSpare) + LineOf(tsv, kHerb) + LineOf(tsv, kShield) + LineOf(tsv, kSword);
    sorted.replace(sorted.find("\t200\t"), 5, "\t201\t");
    TableImport result = Import(sorted);
    ASSERT_TRUE(result.Accepted());
    EXPECT_TRUE(result.matchedByName);
    ASSERT_EQ(result.changes.size(), 1u);
    std::string expected = Values();
    expected[7 * 1 + 0] = static_cast<char>(201);
    EXPECT_EQ(Values(), expected);
    ASSERT_TRUE(doc->WriteEdits(doc->GetPathName()));
    std::string bytes = original;
    bytes[8] = static_cast<char>(201);
    EXPECT_EQ(ReadFile(doc->GetPathName()), bytes);
    EXPECT_EQ(doc->history.UndoLog().size(), 1u);

    // A row deleted: the rows after it are still matched by label, and the
    // missing row is left alone.
    std::string shorter = caption + LineOf(tsv, kSword) + LineOf(tsv, kHerb) + LineOf(tsv, kSpare);
    shorter.replace(shorter.find("\t50\t"), 4, "\t51\t");
    result = Import(shorter);
    ASSERT_TRUE(result.Accepted());
    EXPECT_TRUE(result.matchedByName);
    ASSERT_EQ(result.changes.size(), 1u);
    EXPECT_EQ(doc->Value(0, 0, 3), 51u);
    EXPECT_EQ(doc->Value(0, 0, 1), 201u);  // the missing row keeps what it had

    // The last rows missing keeps the table's order: matched by position, no note.
    result = Import(caption + LineOf(tsv, kSword));
    EXPECT_TRUE(result.Accepted());
    EXPECT_FALSE(result.matchedByName);
}

TEST_F(ImportTest, UnknownOrAmbiguousRowsStoreNothing)
{
    const std::string tsv = Tsv();
    const std::string caption = tsv.substr(0, tsv.find('\n') + 1);
    const std::string before = Values();
    std::string withUnknown = caption + LineOf(tsv, kShield) + LineOf(tsv, kSword);
    withUnknown.replace(withUnknown.find("\t200\t"), 5, "\t300\t");
    withUnknown += "Axe\t1\t0X01\t0X00\t0\t0\t0\t\nBow\t1\t0X01\t0X00\t0\t0\t0\t\n";
    TableImport result = Import(withUnknown);
    EXPECT_FALSE(result.Accepted());
    EXPECT_EQ(result.refusal.kind, ImportRefusal::Kind::Rows);
    EXPECT_EQ(result.refusal.unknownRows, (std::vector<std::string>{"Axe", "Bow"}));
    EXPECT_TRUE(result.changes.empty());
    EXPECT_EQ(Values(), before);
    EXPECT_EQ(exchange::DescribeRefusal(result.refusal, Same), "rows the table does not have: \"Axe\", \"Bow\"");

    // The same label twice in the file names no one row.
    std::string twice = caption + LineOf(tsv, kShield) + LineOf(tsv, kSword) + LineOf(tsv, kSword);
    twice.replace(twice.find("\t200\t"), 5, "\t300\t");
    result = Import(twice);
    EXPECT_EQ(result.refusal.kind, ImportRefusal::Kind::Rows);
    EXPECT_EQ(result.refusal.ambiguousRows, std::vector<std::string>{kSword});
    EXPECT_EQ(doc->Value(0, 0, 1), 200u);
    EXPECT_TRUE(doc->history.UndoLog().empty());
    EXPECT_FALSE(doc->IsModified());
}

TEST_F(ImportTest, ATableWithALabelTwiceImportsInItsOwnOrderOnly)
{
    Def("t.idn", kSword + "\r\n" + kSword + "\r\n" + kHerb + "\r\n" + kSpare + "\r\n");
    OpenBytes(original);
    const std::string tsv = Tsv();
    std::string edited = tsv;
    edited.replace(edited.find("\t200\t"), 5, "\t202\t");
    ASSERT_TRUE(Import(edited).Accepted());
    EXPECT_EQ(doc->Value(0, 0, 1), 202u);
    // Reordered, the twice-used label cannot say which row it is.
    const std::string caption = tsv.substr(0, tsv.find('\n') + 1);
    const TableImport result = Import(caption + LineOf(tsv, kHerb) + LineOf(tsv, kSword));
    EXPECT_EQ(result.refusal.kind, ImportRefusal::Kind::Rows);
    EXPECT_EQ(result.refusal.ambiguousRows, std::vector<std::string>{kSword});
    EXPECT_TRUE(result.refusal.unknownRows.empty());
}

TEST_F(ImportTest, EveryTextThatIsNoValueOfItsColumnStopsTheImportNamingTheCell)
{
    struct Case {
        std::string label, column, from, to;
        ImportProblem::Kind kind;
    };
    const std::vector<Case> cases = {
        {kSword, "Price", "100", "#VALUE!", ImportProblem::Kind::NotANumber},
        {kSword, "Price", "100", "", ImportProblem::Kind::Empty},
        {kSword, "Price", "100", kFullWidth15, ImportProblem::Kind::FullWidth},
        {kSword, "Price", "100", "3.5", ImportProblem::Kind::Fraction},
        {kSword, "Price", "100", "1,200", ImportProblem::Kind::Separators},
        {kSword, "Price", "100", "1E3", ImportProblem::Kind::NotANumber},
        {kSword, "Price", "100", "99999999999", ImportProblem::Kind::TooBig},
        {kSword, "Price", "100", "65536", ImportProblem::Kind::TooBig},
        {kSword, "Price", "100", "1000", ImportProblem::Kind::OutsideRange},
        {kSword, "Price", "100", "0", ImportProblem::Kind::OutsideRange},
        {kSword, "Price", "100", " 15", ImportProblem::Kind::NotANumber},
        {kSword, "Kind", "0X01", kSpare, ImportProblem::Kind::UnknownLabel},
        {kSword, "Hex", "0X10", "0X100", ImportProblem::Kind::TooBig},
        {kSword, "Sgn", "-1", "-129", ImportProblem::Kind::TooBig},
        {kSword, "Flag", "1", "2", ImportProblem::Kind::NotABit},
        {kSword, "Low", "0X05", "0X10", ImportProblem::Kind::OutsideMask},
        {kHerb, "Rare", "", "5", ImportProblem::Kind::NoValue},
    };
    const std::string tsv = Tsv();
    const std::vector<std::string> captions = {"Price", "Kind", "Hex", "Sgn", "Flag", "Low", "Rare"};
    const std::string before = Values();
    for (const Case& test : cases) {
        // The row's cell of that column replaced, and one good change beside it.
        std::string line = LineOf(tsv, test.label);
        std::vector<std::string> cells;
        for (std::size_t at = 0;;) {
            const std::size_t tab = line.find_first_of("\t\n", at);
            cells.push_back(line.substr(at, tab - at));
            if (line[tab] == '\n') break;
            at = tab + 1;
        }
        const std::size_t column = static_cast<std::size_t>(std::find(captions.begin(), captions.end(), test.column) - captions.begin()) + 1;
        ASSERT_EQ(cells[column], test.from) << test.to;
        cells[column] = test.to;
        if (test.column != "Hex") cells[3] = "0X11";
        std::string edited;
        for (std::size_t c = 0; c < cells.size(); ++c) edited += (c ? "\t" : "") + cells[c];
        std::string file = tsv;
        file.replace(file.find(line), line.size(), edited + "\n");
        const TableImport result = Import(file);
        EXPECT_FALSE(result.Accepted()) << test.to;
        ASSERT_EQ(result.problems.size(), 1u) << test.to;
        EXPECT_EQ(result.problems[0].kind, test.kind) << test.to;
        EXPECT_EQ(result.problems[0].label, test.label);
        EXPECT_EQ(result.problems[0].caption, test.column);
        EXPECT_EQ(result.problems[0].text, test.to);
        EXPECT_EQ(Values(), before) << test.to;
    }
    EXPECT_TRUE(doc->history.UndoLog().empty());
    EXPECT_FALSE(doc->IsModified());
}

TEST_F(ImportTest, EveryFormTheGridShowsIsStoredAsItsValue)
{
    std::string tsv = Tsv();
    // Row 剣: a price with a sign, a kind by its label, a signed column's
    // hexadecimal form; row 盾: a price in hexadecimal, a kind by value, the
    // signed column's smallest value, a full mask. Row 薬 keeps its price of 0,
    // outside the range: an unchanged text is never a problem.
    std::string sword = LineOf(tsv, kSword), shield = LineOf(tsv, kShield);
    tsv.replace(tsv.find(sword), sword.size(), kSword + "\t+150\t" + kArmour + "\t16\t0XFE\t0\t0X0F\t9\n");
    tsv.replace(tsv.find(shield), shield.size(), kShield + "\t0x12C\t0X03\t0X20\t-128\t1\t10\t8\n");
    const TableImport result = Import(tsv);
    ASSERT_TRUE(result.Accepted()) << (result.problems.empty() ? "" : exchange::DescribeProblem(result.problems[0], Same));
    // "16" is the hexadecimal 0X10 the cell holds already: no change.
    EXPECT_EQ(result.changes.size(), 10u);
    std::string bytes = original;
    for (auto [offset, value] : std::vector<std::pair<int, int>>{{0, 150}, {2, 2}, {4, 0xFE}, {5, 0}, {6, 0x0F}, {7, 9},  //
                                                                  {8, 0x2C}, {9, 1}, {10, 3}, {12, 0x80}, {13, 1}}) {
        bytes[static_cast<std::size_t>(offset)] = static_cast<char>(value);
    }
    ASSERT_TRUE(doc->WriteEdits(doc->GetPathName()));
    EXPECT_EQ(ReadFile(doc->GetPathName()), bytes);
}

TEST_F(ImportTest, TheFirstTenProblemsAreNamedAndTheRestCounted)
{
    const std::string before = Values();
    std::string bad = "\tPrice\tKind\tHex\tSgn\tFlag\tLow\tRare\n";
    for (const std::string& label : {kSword, kShield}) bad += label + "\tx\tx\tx\tx\tx\tx\tx\tmore\n";
    const TableImport result = Import(bad);
    EXPECT_EQ(result.problemCount, 16u);
    ASSERT_EQ(result.problems.size(), exchange::kNamedProblems);
    EXPECT_EQ(exchange::DescribeProblem(result.problems[0], Same), "row \"" + kSword + "\", column \"Price\": \"x\" is not a number");
    EXPECT_EQ(exchange::DescribeProblem(result.problems[1], Same), "row \"" + kSword + "\", column \"Kind\": \"x\" is not a label of the column's value list");
    EXPECT_EQ(exchange::DescribeProblem(result.problems[7], Same), "row \"" + kSword + "\", beyond the last column: \"more\" is beyond the table's last column");
    EXPECT_EQ(Values(), before);
    EXPECT_FALSE(doc->IsModified());
    ImportProblem range;
    range.kind = ImportProblem::Kind::OutsideRange;
    range.label = "a";
    range.caption = "b";
    range.text = "1000";
    range.low = 1;
    range.high = 0x3E7;
    EXPECT_EQ(exchange::DescribeProblem(range, Same), "row \"a\", column \"b\": \"1000\" is outside the column's range 0X1 to 0X3E7");
}

TEST_F(ImportTest, ACaptionRowThatDoesNotFitSaysWhereAndHow)
{
    const std::string tsv = Tsv();
    const std::string body = tsv.substr(tsv.find('\n'));
    TableImport result = Import("\tPrice\tKind\tHex!\tSgn\tFlag\tLow\tRare" + body);
    EXPECT_EQ(result.refusal.kind, ImportRefusal::Kind::Caption);
    EXPECT_EQ(exchange::DescribeRefusal(result.refusal, Same), "caption 3 is \"Hex!\" in the file and \"Hex\" in the table");
    // Empty columns after the last are what spreadsheets add: accepted. One with a caption is not.
    EXPECT_TRUE(Import("\tPrice\tKind\tHex\tSgn\tFlag\tLow\tRare\t\t" + body).Accepted());
    result = Import("\tPrice\tKind\tHex\tSgn\tFlag\tLow\tRare\tNote" + body);
    EXPECT_EQ(exchange::DescribeRefusal(result.refusal, Same), "its caption row has 8 columns, the table 7");
    result = Import(";Price;Kind;Hex;Sgn;Flag;Low;Rare\n" + kSword + ";100\n");
    EXPECT_EQ(exchange::DescribeRefusal(result.refusal, Same),
              "its caption row has 0 columns, the table 7; the file seems to separate cells with \";\", not tabs");
    result = Import("x\tPrice\tKind\tHex\tSgn\tFlag\tLow\tRare" + body);
    EXPECT_EQ(exchange::DescribeRefusal(result.refusal, Same), "its caption row starts with \"x\" where the table's is empty");
    EXPECT_EQ(Import("").refusal.kind, ImportRefusal::Kind::NoCaptionRow);
    EXPECT_FALSE(doc->IsModified());
}

TEST_F(ImportTest, WhatSpreadsheetsWriteIsReadAsTheyMeanIt)
{
    // "Quote all text cells": captions, labels and hexadecimal texts quoted,
    // numbers not; a byte-order mark, CRLF and no line end at the end.
    std::string calc = "\xEF\xBB\xBF\"\"\t\"Price\"\t\"Kind\"\t\"Hex\"\t\"Sgn\"\t\"Flag\"\t\"Low\"\t\"Rare\"\r\n";
    calc += "\"" + kSword + "\"\t100\t\"0X01\"\t\"0X10\"\t-1\t1\t\"0X05\"\t7\r\n";
    calc += "\"" + kShield + "\"\t\"250\"\t\"0X02\"\t\"0X20\"\t5\t0\t\"0X0A\"\t8";
    Rows rows;
    std::string reason;
    ASSERT_TRUE(exchange::ReadTsv(calc, &rows, &reason)) << reason;
    const TableImport result = exchange::ImportRows(*doc, 0, rows);
    ASSERT_TRUE(result.Accepted());
    EXPECT_EQ(result.changes.size(), 1u);
    EXPECT_EQ(doc->Value(0, 0, 1), 250u);
}

TEST(TableTextReaders, QuotedTsvCellsAndTheirFaults)
{
    Rows rows;
    std::string reason;
    ASSERT_TRUE(exchange::ReadTsv("\"a\"\"b\"\t\"tab\there\"\tplain\"quote\r\n\"two\nlines\"\t\"\"\n", &rows, &reason)) << reason;
    EXPECT_EQ(rows, (Rows{{"a\"b", "tab\there", "plain\"quote"}, {"two\nlines", ""}}));
    EXPECT_FALSE(exchange::ReadTsv("a\tb\n\"1\"2\tc\n", &rows, &reason));
    EXPECT_EQ(reason, "line 2: text follows a quoted cell's closing quote");
    EXPECT_FALSE(exchange::ReadTsv("a\n\"open\nstill\n", &rows, &reason));
    EXPECT_EQ(reason, "line 2: a quoted cell has no closing quote");
    // What the writer quotes comes back as it was.
    const Rows odd = {{"\xEF\xBB\xBFmark", "x"}, {"\"quoted\" label", "a\tb"}, {"line\r\nbreak", "1"}};
    ASSERT_TRUE(exchange::ReadTsv(exchange::WriteTsv(odd), &rows, &reason));
    EXPECT_EQ(rows, odd);
}

TEST(TableTextReaders, StrictCsvAndJsonAndTextThatIsNotUtf8)
{
    Rows rows;
    std::string reason;
    EXPECT_FALSE(exchange::ReadCsv(",x\r\na,\"1\"2\r\n", &rows, &reason));
    EXPECT_EQ(reason, "line 2: text follows a quoted field's closing quote");
    EXPECT_FALSE(exchange::ReadCsv(",x\r\n\"multi\nline\",1\r\nb,1\"2\r\n", &rows, &reason));
    EXPECT_EQ(reason.substr(0, 32), "line 4: a quote inside a field t");
    ASSERT_TRUE(exchange::ReadCsv(",x\r\na,\"1\"\"2\"\r\n", &rows, &reason)) << reason;
    EXPECT_EQ(rows, (Rows{{"", "x"}, {"a", "1\"2"}}));
    // JSON rows carry the label under "" first, as export writes them.
    EXPECT_FALSE(exchange::ReadJson("[{\"name\": \"a\", \"x\": \"1\"}]", &rows, &reason));
    EXPECT_EQ(reason, "a JSON row does not start with the row label's key \"\"");
    EXPECT_TRUE(exchange::ReadJson("[{\"\": \"a\", \"x\": \"1\"}]", &rows, &reason));
    // Shift-JIS saved by mistake: the line is named.
    EXPECT_FALSE(exchange::ReadTable(".tsv", "\tPrice\n\xE2\x9C\x93\t1\n\x8C\x95\t2\n", &rows, &reason));
    EXPECT_EQ(reason, "line 3 is not UTF-8 (save the table as UTF-8; Shift-JIS is not read)");
    for (const char* bad : {"\xC0\x80", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xE3\x81", "\xFF"}) {
        EXPECT_FALSE(exchange::ReadTable(".csv", bad, &rows, &reason)) << bad;
    }
}

}  // namespace zok2::test
