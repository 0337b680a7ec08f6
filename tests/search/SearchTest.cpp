// Finding labels, captions and cells, by text and by value; what a cell is;
// which cell holds a file offset.
#include "search/CellFacts.h"
#include "search/CellSearch.h"
#include "search/TextFold.h"
#include "support/TestFixture.h"
#include "text/SjisText.h"

namespace zok2::test {

namespace {

using search::CellSearch;
using search::SearchHit;
using search::SearchQuery;

// Shift-JIS of a UTF-8 literal, for the tests' own texts (no Qt in the core tests).
std::string Sjis(std::initializer_list<int> bytes) { return Bytes(bytes); }

class SearchTest : public DocTest {
protected:
    void SetUp() override
    {
        DocTest::SetUp();
        // Two tables. "a": a signed word, a hexadecimal byte, a list byte, a bit; "b": one unsigned word.
        Def("a.idn", "Slime\r\n" + Sjis({0xB6, 0xDE, 0xB0, 0xB8}) + "\r\nBat\r\n");  // "ｶﾞｰｸ"
        Def("a.ini", "10,Might,2,8,,-10\r\n12,Kind,1,8,,16\r\n13,Type,1,8,,0,,,,0 fire|1 Ice|A water\r\n14,Flag,.2,8\r\n");
        Def("b.idn", "one\r\ntwo\r\n");
        Def("b.ini", "40,Sum,2,2,,10\r\n");
        std::string bytes(0x60, '\0');
        auto put = [&](int at, std::initializer_list<int> values) {
            for (int v : values) bytes[static_cast<std::size_t>(at++)] = static_cast<char>(v);
        };
        put(0x10, {0xF8, 0xFF, 0x64, 0x01, 0x04});  // row 1: -8, 0X64, Ice, flag bit 2 set
        put(0x18, {0x64, 0x00, 0x1A, 0x0A});        // row 2: 100, 0X1A, water
        put(0x20, {0x00, 0x00, 0x08, 0x07});        // row 3: 0, 0X08, 0X07 (no label)
        put(0x40, {0x64, 0x00, 0xF8, 0xFF});        // b: 100, 65528
        OpenBytes(bytes);
    }
    std::vector<SearchHit> All(SearchQuery q) { return CellSearch(*doc, std::move(q)).All(1000); }
    SearchQuery Q(const std::string& text)
    {
        SearchQuery q;
        q.text = text;
        return q;
    }
};

}  // namespace

TEST(TextFold, LettersKanaAndWidthsFoldAsAUserReadsThem)
{
    using search::Fold;
    EXPECT_EQ(Fold("abcXYZ"), Fold("ABCxyz"));
    EXPECT_EQ(Fold(Bytes({0x82, 0x60, 0x82, 0x81, 0x82, 0x4F})), Fold("Aa0"));       // "Ａａ０"
    EXPECT_EQ(Fold(Bytes({0xB6})), Fold(Bytes({0x83, 0x4A})));                        // ｶ and カ
    EXPECT_EQ(Fold(Bytes({0xB6, 0xDE})), Fold(Bytes({0x83, 0x4B})));                  // ｶﾞ and ガ
    EXPECT_EQ(Fold(Bytes({0xCA, 0xDF})), Fold(Bytes({0x83, 0x70})));                  // ﾊﾟ and パ
    EXPECT_EQ(Fold(Bytes({0xB3, 0xDE})), Fold(Bytes({0x83, 0x94})));                  // ｳﾞ and ヴ
    EXPECT_EQ(Fold(Bytes({0xDE})), Fold(Bytes({0x81, 0x4A})));                        // a lone ﾞ is ゛
    EXPECT_NE(Fold(Bytes({0x82, 0xA9})), Fold(Bytes({0x83, 0x4A})));                  // hiragana か stays apart
    EXPECT_TRUE(search::Contains(Fold("Golden Slime"), Fold("SLIME"), false));
    EXPECT_FALSE(search::Contains(Fold("Golden Slime"), Fold("SLIME"), true));
    EXPECT_FALSE(search::Contains(Fold("x"), Fold(""), false));
    // A trail byte that looks like "A" is no letter: 0x8341 is "ア".
    EXPECT_FALSE(search::Contains(Fold(Bytes({0x83, 0x41})), Fold("A"), false));
}

TEST(SearchNumbers, DecimalSignedAndHexadecimalTexts)
{
    using search::ReadSearchNumber;
    EXPECT_EQ(ReadSearchNumber("100")->value, 100);
    EXPECT_EQ(ReadSearchNumber("-8")->value, -8);
    EXPECT_TRUE(ReadSearchNumber("0x1A")->hexadecimal);
    EXPECT_EQ(ReadSearchNumber("0x1A")->value, 0x1A);
    EXPECT_EQ(ReadSearchNumber("4294967295")->value, 0xFFFFFFFFll);
    for (const char* text : {"", "-", "1 0", " 1", "0x", "0xG", "4294967296", "abc", "0x123456789"}) {
        EXPECT_FALSE(ReadSearchNumber(text).has_value()) << text;
    }
    EXPECT_EQ(search::ReadOffset("0x1234"), 0x1234);
    EXPECT_EQ(search::ReadOffset("$1a2B"), 0x1A2B);
    EXPECT_FALSE(search::ReadOffset("1234").has_value());
}

TEST_F(SearchTest, LabelsCaptionsAndShownTextsAreFoundInTableOrder)
{
    // A half-width search finds the full-width label and the other way round.
    EXPECT_EQ(All(Q(Sjis({0x83, 0x4B}))), (std::vector<SearchHit>{{0, 2, 0}}));  // "ガ"
    EXPECT_EQ(All(Q("ice")), (std::vector<SearchHit>{{0, 1, 3}}));                // a list label
    EXPECT_EQ(All(Q("sum")), (std::vector<SearchHit>{{1, 0, 1}}));                // a caption
    // "0X1A" is a hexadecimal cell's text; the value 0x1A also matches it.
    EXPECT_EQ(All(Q("0X1A")), (std::vector<SearchHit>{{0, 2, 2}}));
    // Part of a shown text, or the whole of it.
    EXPECT_EQ(All(Q("1A")), (std::vector<SearchHit>{{0, 2, 2}}));
    SearchQuery whole = Q("1A");
    whole.whole = true;
    EXPECT_TRUE(All(whole).empty());
    // Only labels, only one table.
    SearchQuery labels = Q("o");
    labels.cells = labels.captions = false;
    EXPECT_EQ(All(labels), (std::vector<SearchHit>{{1, 1, 0}, {1, 2, 0}}));
    labels.onlySection = 0;
    EXPECT_TRUE(All(labels).empty());
}

TEST_F(SearchTest, NumbersMatchValuesAsEachColumnReadsThem)
{
    // 100 is the hexadecimal 0X64, the signed 100 (none here), the unsigned 100.
    SearchQuery hundred = Q("100");
    hundred.valueOnly = true;
    EXPECT_EQ(All(hundred), (std::vector<SearchHit>{{0, 1, 2}, {0, 2, 1}, {1, 1, 1}}));
    // -8 is a signed word showing -8; 65528 is the same bits under unsigned display.
    SearchQuery minus = Q("-8");
    minus.valueOnly = true;
    EXPECT_EQ(All(minus), (std::vector<SearchHit>{{0, 1, 1}}));
    SearchQuery unsignedForm = Q("65528");
    unsignedForm.valueOnly = true;
    EXPECT_EQ(All(unsignedForm), (std::vector<SearchHit>{{1, 2, 1}}));
    // A list cell by its value, whatever its label; a bit by 1.
    SearchQuery ten = Q("10");
    ten.valueOnly = true;
    EXPECT_EQ(All(ten), (std::vector<SearchHit>{{0, 2, 3}}));
    SearchQuery one = Q("1");
    one.valueOnly = true;
    EXPECT_EQ(All(one), (std::vector<SearchHit>{{0, 1, 3}, {0, 1, 4}}));
    SearchQuery label = Q("Slime");
    label.valueOnly = true;
    EXPECT_FALSE(CellSearch(*doc, label).IsValid());
}

TEST_F(SearchTest, NextAndPreviousWrapAndSayWhenTheyDid)
{
    const CellSearch finder(*doc, Q("o"));  // only the labels "one" and "two" hold an "o"
    bool wrapped = true;
    auto next = finder.Next({1, 1, 0}, true, &wrapped);
    ASSERT_TRUE(next);
    EXPECT_EQ(*next, (SearchHit{1, 2, 0}));
    EXPECT_FALSE(wrapped);
    next = finder.Next(*next, true, &wrapped);
    ASSERT_TRUE(next);
    EXPECT_EQ(*next, (SearchHit{1, 1, 0}));  // round again from the first table
    EXPECT_TRUE(wrapped);
    auto previous = finder.Next({1, 1, 0}, false, &wrapped);
    ASSERT_TRUE(previous);
    EXPECT_EQ(*previous, (SearchHit{1, 2, 0}));
    EXPECT_TRUE(wrapped);
    // Nothing at all: no hit, and the search ends.
    EXPECT_FALSE(CellSearch(*doc, Q("zzz")).Next({0, 1, 1}, true, &wrapped));
    // Find-all can be stopped.
    EXPECT_TRUE(CellSearch(*doc, Q("o")).All(1000, [](double) { return false; }).empty());
}

TEST_F(SearchTest, CellFactsAndOffsets)
{
    auto facts = search::DescribeCell(*doc, 0, 1, 1);
    ASSERT_TRUE(facts);
    EXPECT_EQ(facts->state, search::CellState::Editable);
    EXPECT_EQ(facts->offset, 0x10);
    EXPECT_EQ(facts->byteCount, 2);
    EXPECT_EQ(search::HexPairs(facts->bytes), "F8 FF");
    EXPECT_EQ(facts->value, 0xFFF8u);
    EXPECT_EQ(facts->signedValue, -8);
    auto bit = search::DescribeCell(*doc, 0, 1, 4);
    ASSERT_TRUE(bit);
    EXPECT_EQ(bit->bit, 2);
    EXPECT_EQ(bit->offset, 0x14);
    EXPECT_EQ(bit->value, 1u);
    EXPECT_FALSE(search::DescribeCell(*doc, 0, 4, 1));  // outside the grid
    EXPECT_EQ(search::OffsetText(0x1A2B), "0x1A2B");
    // Edited and not yet saved: the bytes are those the save will write.
    doc->StoreCellText(0, 0, 0, "300");
    doc->StoreCellText(0, 3, 0, "0");
    EXPECT_EQ(search::HexPairs(search::DescribeCell(*doc, 0, 1, 1)->bytes), "2C 01");
    EXPECT_EQ(search::HexPairs(search::DescribeCell(*doc, 0, 1, 4)->bytes), "00");
    doc->StoreCellText(0, 0, 0, "-8");  // back as it was: the file's bytes
    EXPECT_EQ(search::HexPairs(search::DescribeCell(*doc, 0, 1, 1)->bytes), "F8 FF");

    // The second byte of a word is held by the word; the first table in tab order wins.
    auto at = search::LocateOffset(*doc, 0x19);
    ASSERT_TRUE(at.holder);
    EXPECT_EQ(*at.holder, (SearchHit{0, 2, 1}));
    // A bit column's byte.
    at = search::LocateOffset(*doc, 0x1C);
    ASSERT_TRUE(at.holder);
    EXPECT_EQ(*at.holder, (SearchHit{0, 2, 4}));
    // An offset no cell holds: the nearest cell that starts before it.
    at = search::LocateOffset(*doc, 0x30);
    EXPECT_FALSE(at.holder);
    ASSERT_TRUE(at.nearestBefore);
    EXPECT_EQ(*at.nearestBefore, (SearchHit{0, 3, 4}));
    EXPECT_FALSE(search::LocateOffset(*doc, 0x5).nearestBefore);
}

}  // namespace zok2::test

namespace zok2::test {

// Parts of shown numbers are found by arithmetic; the hits are exactly those a
// plain search of every text shown gives.
TEST_F(DocTest, PartsOfShownNumbersAreFoundAsInTheTexts)
{
    std::string labels;
    for (int i = 0; i < 100; ++i) labels += "r\r\n";
    Def("n.idn", labels);
    Def("n.ini", "0,H1,1,10,,16\r\n1,H2,2,10,,16\r\n3,U1,1,10,,10\r\n4,U2,2,10,,10\r\n6,S1,1,10,,-10\r\n7,S2,2,10,,-10\r\n"
                 "9,U4,4,10,,10\r\nD,S3,3,10,,-10\r\n");
    std::string bytes(0x10 * 100, '\0');
    std::uint32_t seed = 7;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        seed = seed * 1103515245u + 12345u;
        bytes[i] = static_cast<char>((seed >> 16) & (i % 7 == 0 ? 0x0F : 0xFF));  // small values too
    }
    OpenBytes(bytes);
    for (const char* pattern : {"0", "1", "12", "05", "255", "128", "00", "F", "0F", "A0", "FF0", "-", "-1", "X", "0X0", "65535", "3"}) {
        search::SearchQuery query;
        query.text = pattern;
        query.labels = query.captions = false;
        std::vector<search::SearchHit> expected;
        const std::optional<search::SearchNumber> number = search::ReadSearchNumber(pattern);
        for (int r = 1; r <= 100; ++r) {
            for (int c = 1; c <= 8; ++c) {
                const std::string shown = doc->DisplayText(0, c - 1, r - 1);
                bool hit = shown.find(pattern) != std::string::npos;
                if (!hit && number) {
                    const std::uint32_t v = doc->Value(0, c - 1, r - 1);
                    const int size = doc->sections[0][static_cast<std::size_t>(c - 1)].ByteSize();
                    const bool signedForm = doc->sections[0][static_cast<std::size_t>(c - 1)][ColumnField::radix] == "-10";
                    std::int64_t read = v;
                    if (signedForm && size < 4 && (v >> (8 * size - 1)) & 1) read -= std::int64_t{1} << (8 * size);
                    hit = number->hexadecimal || !signedForm ? number->value == static_cast<std::int64_t>(v) : number->value == read;
                }
                if (hit) expected.push_back({0, r, c});
            }
        }
        EXPECT_EQ(search::CellSearch(*doc, query).All(100000), expected) << pattern;
    }
}

}  // namespace zok2::test

namespace zok2::test {

// A list cell shows its label: texts made of a number's characters find it only
// where its label holds them, or by value when the text reads as a number.
TEST_F(SearchTest, ListCellsMatchOnTheLabelTheyShow)
{
    auto typeRows = [&](const std::string& text) {
        std::vector<int> rows;
        for (const SearchHit& hit : All(Q(text))) {
            if (hit.section == 0 && hit.column == 3 && hit.row >= 1) rows.push_back(hit.row);
        }
        return rows;
    };
    // Row 1 shows "Ice", row 2 "water", row 3 "0X07" (a value without a label).
    EXPECT_EQ(typeRows("x"), std::vector<int>{3});
    EXPECT_EQ(typeRows("0x"), std::vector<int>{3});
    EXPECT_EQ(typeRows("X0"), std::vector<int>{3});
    EXPECT_EQ(typeRows("e"), (std::vector<int>{1, 2}));
    // "1" reads as a number: the cell holding 1 (shown as "Ice") is found by its value.
    EXPECT_EQ(typeRows("1"), std::vector<int>{1});
}

}  // namespace zok2::test
